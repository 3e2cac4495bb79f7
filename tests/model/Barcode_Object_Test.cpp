#include "model/CRDBarcode.h"
#include "model/Painting_Support.h"

using namespace painting_test;

namespace {

class Barcode_Object : public test_support::Design_Test {};

TEST_F(Barcode_Object, NewObjectShowsTheSampleAtItsOwnSize) {
  CRDBarcode barcode(QPointF(100, 100), Solid_Picture({5, 5}, Qt::red));
  const Picture sample = Picture::fromFile(Resource_Path + "/barcode_sample.png");
  ASSERT_EQ(sample.size(), QSizeF(160, 80));
  EXPECT_EQ(barcode.bounds(), QRectF(20, 60, 160, 80));  // the picture argument is not used
  barcode._bounds = QRectF(10, 10, 120, 60);

  const QImage painted = Paint(barcode, {200, 120});
  QImage expected(200, 120, QImage::Format_ARGB32_Premultiplied);
  expected.fill(Qt::transparent);
  QPainter(&expected).drawImage(QPointF(10, 10), sample.image());
  EXPECT_EQ(painted, expected);  // from the top-left corner, not scaled, past the bounds
}

TEST_F(Barcode_Object, PaintsTheStoredBarcodeWholeAndNotScaled) {
  CRDBarcode barcode(QPointF(0, 0), Picture());
  barcode._bounds = QRectF(10, 10, 120, 60);
  barcode.Set_Barcode_image(Solid_Picture({300, 150}, Qt::blue));
  barcode._isDrawingFill = true;
  barcode._isDrawingStroke = true;
  barcode._fillColor = CRDColor::rgb(1, 0, 0);
  const QImage painted = Paint(barcode, {400, 200});
  EXPECT_TRUE(Near(At(painted, 300, 150), Qt::blue));  // all of it, far past the bounds
  EXPECT_TRUE(Near(At(painted, 11, 11), Qt::blue));    // no fill, no border
  EXPECT_TRUE(Transparent(painted, 311, 161));
  EXPECT_FALSE(barcode.isDrawingFill());
  EXPECT_FALSE(barcode.isDrawingStroke());

  // Larger bounds do not enlarge it.
  barcode._bounds = QRectF(10, 10, 380, 180);
  EXPECT_TRUE(Transparent(Paint(barcode, {400, 200}), 350, 100));
}

TEST_F(Barcode_Object, DrawingAndHitAreasCoverThePicture) {
  CRDBarcode barcode(QPointF(0, 0), Picture());
  barcode._bounds = QRectF(10, 10, 120, 60);
  barcode.Set_Barcode_image(Solid_Picture({300, 150}, Qt::blue));
  EXPECT_EQ(barcode.drawingBounds(), QRectF(7, 7, 307, 157));
  EXPECT_TRUE(barcode.isContentsUnderPoint({250, 120}));
  EXPECT_FALSE(barcode.isContentsUnderPoint({320, 120}));

  // A picture smaller than the bounds: the bounds still count.
  barcode.Set_Barcode_image(Solid_Picture({20, 10}, Qt::blue));
  EXPECT_EQ(barcode.drawingBounds(), QRectF(7, 7, 127, 67));
  EXPECT_TRUE(barcode.isContentsUnderPoint({100, 60}));
}

TEST_F(Barcode_Object, WithoutPictureAndSampleNothingIsPainted) {
  QFile::remove(Resource_Path + "/barcode_sample.png");
  CRDBarcode barcode(QPointF(50, 50), Picture());
  EXPECT_EQ(barcode.bounds(), QRectF(50, 50, 0, 0));
  barcode._bounds = QRectF(10, 10, 120, 60);
  EXPECT_FALSE(Has_Ink(Paint(barcode, {200, 100}), 0, 99));
  EXPECT_EQ(barcode.drawingBounds(), QRectF(7, 7, 127, 67));
}

}  // namespace
