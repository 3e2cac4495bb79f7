#include "model/CRDSignature.h"
#include "model/Painting_Support.h"

#include <QDir>

#include <thread>

using namespace painting_test;

namespace {

class Signature : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    // Samples of one colour each, so a painting shows which one it is.
    ASSERT_TRUE(Solid_Picture({20, 10}, Qt::red).image().save(Resource_Path + "/sign_sample.png"));
    ASSERT_TRUE(
        Solid_Picture({9, 12}, Qt::green).image().save(Resource_Path + "/fingerprints.png"));
  }
  // True when the 40 x 40 painting is covered by the colour, corner to corner.
  static bool shows(const QImage& painted, QColor color) {
    return Near(At(painted, 0, 0), color) && Near(At(painted, 39, 39), color) &&
           Near(At(painted, 20, 20), color);
  }
};

TEST_F(Signature, NewObjectsShowTheSampleOfTheirKind) {
  Window_Double window;
  struct Case {
    QString kind, file;
    QColor color;
  } cases[] = {{"S", "sign_sample.png", Qt::red},
               {"F", "fingerprints.png", Qt::green},
               {"X", "fingerprints.png", Qt::green}};
  for (const auto& c : cases) {
    const Picture sample = Picture::fromFile(Resource_Path + "/" + c.file);
    CRDSignature signature(QPointF(100, 100), sample, c.kind);
    EXPECT_EQ(signature._file_path, Resource_Path + "/" + c.file);
    EXPECT_EQ(signature.file_path, signature._file_path);
    EXPECT_EQ(signature.Sign_Or_FP_Val(), c.kind);
    EXPECT_EQ(signature.bounds().center(), QPointF(100, 100));
    EXPECT_EQ(signature.bounds().size(), sample.size());
    signature._bounds = QRectF(0, 0, 40, 40);
    signature._isDrawingStroke = false;
    EXPECT_TRUE(shows(Paint(signature, {40, 40}), c.color)) << c.kind;  // stretched
  }
  EXPECT_EQ(window.image_control_resets, 0);  // the window resets its panel itself
}

TEST_F(Signature, NewPathIsLoadedAtTheNextPainting) {
  CRDSignature signature(QPointF(20, 20), Picture(), "F");
  signature._bounds = QRectF(0, 0, 40, 40);
  signature._isDrawingStroke = false;
  signature.Set_Sign_Or_FP("S");
  signature._file_path = "Default";  // as the signature panel writes it
  const QImage painted = Paint(signature, {40, 40});
  EXPECT_EQ(signature._file_path, Resource_Path + "/sign_sample.png");
  EXPECT_EQ(signature.file_path, signature._file_path);
  EXPECT_TRUE(shows(painted, Qt::red));

  // A file that cannot be read leaves the border alone.
  signature._file_path = QDir(resource_path()).filePath("gone.png");
  signature._isDrawingStroke = true;
  signature._strokeWidth = 2;
  signature._strokeColor = CRDColor::rgb(0, 0, 1);
  const QImage bordered = Paint(signature, {40, 40});
  EXPECT_TRUE(signature._contents_img.isNull());
  EXPECT_TRUE(Near(At(bordered, 0, 20), Qt::blue));
  EXPECT_TRUE(Transparent(bordered, 20, 20));
}

TEST_F(Signature, ReadBackFromADesignLoadsOnFirstPainting) {
  // Decoding gives the record's fields only: the loaded path is empty.
  CRDSignature decoded{CRDGraphic::Bare()};
  decoded._file_path = Resource_Path + "/fingerprints.png";
  decoded._bounds = QRectF(0, 0, 40, 40);
  decoded.ctrl_is_visible = true;
  Paint(decoded, {40, 40});
  EXPECT_FALSE(decoded._contents_img.isNull());
  EXPECT_EQ(decoded.file_path, decoded._file_path);
}

TEST_F(Signature, PictureAdjustmentsDoNotApply) {
  CRDSignature signature(QPointF(20, 20), Picture(Quadrant_Image({20, 20})), "S");
  signature._bounds = QRectF(0, 0, 40, 40);
  signature._isDrawingStroke = false;
  const QImage plain = Paint(signature, {40, 40});
  EXPECT_TRUE(Near(At(plain, 5, 5), Qt::red));
  signature.setFlippedHorizontally(true);
  signature.img_trnsp_val = 10;
  signature.invert_clr = true;
  signature.rotate_image = 90;
  EXPECT_EQ(Paint(signature, {40, 40}), plain);
  EXPECT_FALSE(signature.isDrawingFill());
}

TEST_F(Signature, ClonesPaintedOnWorkerThreadsReloadTheirOwnPictures) {
  CRDSignature signature(QPointF(20, 20), Picture(), "F");
  signature._bounds = QRectF(0, 0, 40, 40);
  signature._isDrawingStroke = false;
  signature._file_path = "Default";
  std::vector<std::shared_ptr<CRDGraphic>> copies;
  for (int i = 0; i < 4; ++i) copies.push_back(signature.clone());
  std::vector<QImage> results(copies.size());
  std::vector<std::thread> workers;
  for (size_t i = 0; i < copies.size(); ++i)
    workers.emplace_back([&, i] { results[i] = Paint(*copies[i], {40, 40}); });
  for (auto& worker : workers) worker.join();
  for (const QImage& result : results) EXPECT_TRUE(shows(result, Qt::green));
  EXPECT_EQ(signature._file_path, "Default");  // the original is not touched
}

}  // namespace
