#include "model/CRDImage.h"
#include "model/Painting_Support.h"

#include <QDir>

using namespace painting_test;

namespace {

class Picture_Object : public test_support::Design_Test {
 protected:
  // A picture file in the resource folder.
  QString save(const QImage& image, const QString& name) {
    const QString path = QDir(resource_path()).filePath(name);
    EXPECT_TRUE(image.save(path));
    return path;
  }
  QString quadrants(QSize pixels = {40, 20}) {
    return save(Quadrant_Image(pixels), "quadrants.png");
  }
};

TEST_F(Picture_Object, CreationFromAFileCentresThePicture) {
  Window_Double window;
  const QString path = save(Solid_Picture({200, 100}, Qt::red).image(), "red.png");
  CRDImage image(QPointF(300, 300), path);
  EXPECT_EQ(image.bounds(), QRectF(200, 250, 200, 100));
  EXPECT_EQ(image._file_path, path);

  Library_Selected_Image = "/library/pick.png";
  CRDImage given(QPointF(10, 10), Solid_Picture({20, 40}, Qt::blue));
  EXPECT_EQ(given.bounds(), QRectF(0, -10, 20, 40));
  EXPECT_EQ(given._file_path, "/library/pick.png");
  // Making a picture asks the window nothing (the window resets its panel itself).
  EXPECT_EQ(window.image_control_resets, 0);
}

TEST_F(Picture_Object, SizeCapAppliesOnceWhenLoaded) {
  struct Case {
    QSize pixels;
    QSizeF points;
  } cases[] = {
      {{1000, 300}, {724, 300}},
      {{700, 400}, {700, 400}},
      {{300, 900}, {300, 468}},
      {{800, 500}, {724, 468}},  // each side on its own: the proportions change
  };
  for (const auto& c : cases) {
    CRDImage image;
    image.setFilePath(save(Solid_Picture(c.pixels, Qt::green).image(), "big.png"));
    EXPECT_EQ(image._contents.size(), c.points) << c.pixels.width();
    EXPECT_EQ(image._contents.image().size(), c.pixels);  // the pixels are kept
  }
}

TEST_F(Picture_Object, EmptyPathPaintsNothingButIsStillHit) {
  CRDImage image;
  image._bounds = QRectF(10, 10, 40, 20);
  image._contents = Solid_Picture({4, 4}, Qt::red);
  image._isDrawingStroke = true;
  image._file_path = "";
  EXPECT_FALSE(Has_Ink(Paint(image, {60, 40}), 0, 39));
  EXPECT_TRUE(image.isContentsUnderPoint({20, 20}));
}

TEST_F(Picture_Object, UnreadableFileLeavesTheBorderOnly) {
  CRDImage image;
  image.setFilePath(QDir(resource_path()).filePath("missing.png"));
  EXPECT_TRUE(image._contents.isNull());
  image._bounds = QRectF(10, 10, 40, 20);
  image._strokeColor = CRDColor::rgb(1, 0, 0);
  image._strokeWidth = 2;
  const QImage painted = Paint(image, {60, 40});
  EXPECT_TRUE(Near(At(painted, 10, 20), Qt::red));
  EXPECT_TRUE(Transparent(painted, 30, 20));
}

TEST_F(Picture_Object, WholePictureFittedAndMirroredInsideTheBounds) {
  CRDImage image;
  image.setFilePath(quadrants());
  image._bounds = QRectF(10, 10, 80, 40);
  image._isDrawingStroke = false;
  struct Case {
    bool h, v;
    QColor top_left, bottom_right;
  } cases[] = {
      {false, false, Qt::red, Qt::yellow},
      {true, false, Qt::green, Qt::blue},
      {false, true, Qt::blue, Qt::green},
      {true, true, Qt::yellow, Qt::red},
  };
  for (const auto& c : cases) {
    image.setFlippedHorizontally(c.h);
    image.setFlippedVertically(c.v);
    const QImage painted = Paint(image, {100, 60});
    EXPECT_TRUE(Near(At(painted, 12, 12), c.top_left)) << c.h << c.v;
    EXPECT_TRUE(Near(At(painted, 87, 47), c.bottom_right)) << c.h << c.v;
    EXPECT_TRUE(Transparent(painted, 8, 30));
    EXPECT_TRUE(Transparent(painted, 92, 30));
    EXPECT_EQ(image.bounds(), QRectF(10, 10, 80, 40));
  }

  // A picture whose pixel size differs from its size in points is still shown whole.
  QImage dense = Quadrant_Image({200, 100});
  dense.setDotsPerMeterX(qRound(144 / 0.0254));
  dense.setDotsPerMeterY(qRound(144 / 0.0254));
  image.setFilePath(save(dense, "dense.png"));
  ASSERT_NEAR(image._contents.size().width(), 100, 0.01);
  image.setFlippedHorizontally(false);
  image.setFlippedVertically(false);
  const QImage painted = Paint(image, {100, 60});
  EXPECT_TRUE(Near(At(painted, 87, 47), Qt::yellow));
}

TEST_F(Picture_Object, OpacityAppliesToThePictureOnly) {
  CRDImage image;
  image.setFilePath(save(Solid_Picture({10, 10}, Qt::blue).image(), "blue.png"));
  image._bounds = QRectF(10, 10, 40, 40);
  image._strokeWidth = 4;
  image._strokeColor = CRDColor::rgb(1, 0, 0);
  image.img_trnsp_val = 50;
  const QImage painted = Paint(image, {60, 60});
  EXPECT_TRUE(Near(At(painted, 30, 30), QColor(0, 0, 255, 128)));
  EXPECT_TRUE(Near(At(painted, 9, 30), Qt::red));  // the outer half of the border
  image.img_trnsp_val = 250;                       // out of range: fully opaque
  EXPECT_TRUE(Near(At(Paint(image, {60, 60}), 30, 30), Qt::blue));
}

TEST_F(Picture_Object, RotationIsTruncatedToWholeDegrees) {
  struct Case {
    float field;
    int degrees;
  } cases[] = {
      {45.9f, 45},       {-89.9f, -89}, {450, 90}, {-720.5f, 0}, {2e9f, int(std::fmod(2e9, 360.0))},
      {std::nanf(""), 0}};
  CRDImage image;
  for (const auto& c : cases) {
    image.rotate_image = c.field;
    EXPECT_EQ(image.Adjustments().rotate, c.degrees) << c.field;
  }
  EXPECT_EQ(CRDImage().Adjustments(), Picture_Adjustments());  // the record's defaults are neutral
}

TEST_F(Picture_Object, NaturalSize) {
  CRDImage image;
  image.setFilePath(quadrants({30, 70}));
  image._bounds = QRectF(5, 6, 100, 100);
  image.setFlippedHorizontally(true);
  image.setFlippedVertically(true);
  image.ctrl_is_locked = true;
  image.makeNaturalSize();
  EXPECT_EQ(image.bounds(), QRectF(5, 6, 100, 100));
  EXPECT_TRUE(image._isFlippedHorizontally);
  image.ctrl_is_locked = false;
  image.makeNaturalSize();
  EXPECT_EQ(image.bounds(), QRectF(5, 6, 30, 70));
  EXPECT_FALSE(image._isFlippedHorizontally);
  EXPECT_FALSE(image._isFlippedVertically);

  CRDImage empty;  // no picture: the bounds stay rather than collapse
  empty._bounds = QRectF(1, 2, 30, 40);
  empty.makeNaturalSize();
  EXPECT_EQ(empty.bounds(), QRectF(1, 2, 30, 40));
}

class Key_Log : public Graphic_Observer {
 public:
  void graphicWillChange(CRDGraphic&, const QString& key) override { log << "will " + key; }
  void graphicDidChange(CRDGraphic&, const QString& key) override { log << "did " + key; }
  QStringList log;
};

TEST_F(Picture_Object, FlipsAreObservedUndoableKeys) {
  CRDImage image;
  image._bounds = QRectF(0, 0, 100, 50);
  Key_Log observer;
  image.setObserver(&observer);
  // Dragging the right edge across the left one mirrors the picture.
  image.resizeByMovingHandle(5, {-20, 30});
  EXPECT_TRUE(image._isFlippedHorizontally);
  EXPECT_EQ(observer.log, QStringList({"will flippedHorizontally", "did flippedHorizontally",
                                       "will bounds", "did bounds"}));
  EXPECT_TRUE(image.setValueForKey(CRDImageIsFlippedVerticallyKey, true));
  EXPECT_EQ(image.valueForKey(CRDImageIsFlippedVerticallyKey).toBool(), true);
  image.setObserver(nullptr);

  const QStringList keys = image.keysForValuesToObserveForUndo();
  EXPECT_TRUE(keys.contains(CRDImageIsFlippedHorizontallyKey));
  EXPECT_TRUE(keys.contains(CRDImageIsFlippedVerticallyKey));
  EXPECT_TRUE(keys.contains(CRDGraphicBoundsKey));
  EXPECT_EQ(image.keysAffectedBy(CRDImageIsFlippedVerticallyKey),
            QStringList({CRDGraphicDrawingContentsKey}));
  EXPECT_EQ(image.presentablePropertyNameForKey(CRDImageIsFlippedHorizontallyKey),
            "Horizontal Flipping");
  EXPECT_EQ(image.presentablePropertyNameForKey(CRDImageIsFlippedVerticallyKey),
            "Vertical Flipping");
  EXPECT_FALSE(image.isDrawingFill());
  EXPECT_FALSE(image.canSetDrawingFill());
  EXPECT_FALSE(image.canSetDrawingStroke());
}

TEST_F(Picture_Object, CloneKeepsThePicture) {
  CRDImage image;
  image.setFilePath(quadrants());
  const auto copy = image.clone();
  auto* copied = dynamic_cast<CRDImage*>(copy.get());
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->_contents, image._contents);
  image.setFilePath("");
  EXPECT_FALSE(copied->_contents.isNull());
}

}  // namespace
