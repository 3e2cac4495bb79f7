#include "canvas/CRDRenderingView.h"
#include "canvas/ImageProcesser.h"
#include "model/Painting_Support.h"

#include <QDir>

#include "support/Watchdog.h"

#include <latch>
#include <thread>
#include <vector>

using namespace painting_test;

namespace {

// A 4 x 1 picture of four known colours.
Picture swatch() {
  QImage image(4, 1, QImage::Format_ARGB32);
  image.setPixelColor(0, 0, QColor(200, 40, 40));
  image.setPixelColor(1, 0, QColor(40, 180, 60));
  image.setPixelColor(2, 0, QColor(30, 60, 220));
  image.setPixelColor(3, 0, QColor(128, 128, 128, 128));
  return Picture(image);
}

QColor pixel(const Picture& picture, int x, int y = 0) { return picture.image().pixelColor(x, y); }

class Adjustments : public ::testing::Test {
 protected:
  void SetUp() override { ImageProcesser::Clear_Cache(); }
};

TEST_F(Adjustments, NeutralSettingsAreTheIdentity) {
  const Picture source = swatch();
  const Picture same = ImageProcesser::Get_Processed_Image(source, Picture_Adjustments());
  EXPECT_EQ(same.size(), source.size());
  for (int x = 0; x < 4; ++x) EXPECT_TRUE(Near(pixel(same, x), pixel(source, x), 1)) << x;
  // Every filter at its neutral value answers its input itself.
  EXPECT_EQ(ImageProcesser::adjust_Hue(source, 0).image().cacheKey(), source.image().cacheKey());
  EXPECT_EQ(ImageProcesser::adjust_Color_Control(source, 1, 0, 1).image().cacheKey(),
            source.image().cacheKey());
  EXPECT_EQ(ImageProcesser::adjust_Sharpness(source, 0).image().cacheKey(),
            source.image().cacheKey());
  EXPECT_EQ(ImageProcesser::adjust_boxBlur(source, 0.4f).image().cacheKey(),
            source.image().cacheKey());
  EXPECT_EQ(ImageProcesser::adjust_EV(source, 0).image().cacheKey(), source.image().cacheKey());
  EXPECT_EQ(ImageProcesser::adjust_Gamma(source, 1).image().cacheKey(), source.image().cacheKey());
  for (float turn : {0.f, 360.f, -360.f, 720.f})
    EXPECT_EQ(ImageProcesser::imageRotated(source, turn).image().cacheKey(),
              source.image().cacheKey());
  // Unusable numbers count as neutral rather than poisoning the picture.
  Picture_Adjustments broken;
  broken.hue = std::nanf("");
  broken.saturation = INFINITY;
  broken.blur = std::nanf("");
  const Picture unharmed = ImageProcesser::Get_Processed_Image(source, broken);
  for (int x = 0; x < 4; ++x) EXPECT_TRUE(Near(pixel(unharmed, x), pixel(source, x), 1)) << x;
}

TEST_F(Adjustments, ColourFilters) {
  const Picture source = swatch();
  auto luma = [](QColor c) {
    return qRound(0.2126 * c.red() + 0.7152 * c.green() + 0.0722 * c.blue());
  };
  const Picture grey = ImageProcesser::GrayScale(source);
  for (int x = 0; x < 4; ++x) {
    const QColor in = pixel(source, x), out = pixel(grey, x);
    EXPECT_NEAR(out.red(), luma(in), 1);
    EXPECT_EQ(out.red(), out.green());
    EXPECT_EQ(out.green(), out.blue());
    EXPECT_EQ(out.alpha(), in.alpha());  // transparency kept
  }
  // A grey picture through sepia: the warm brown of its brightness.
  const QColor sepia =
      pixel(ImageProcesser::Sepia(Picture(Solid_Picture({1, 1}, QColor(100, 100, 100)))), 0);
  EXPECT_NEAR(sepia.red(), qRound(100 * (0.393 + 0.769 + 0.189)), 1);
  EXPECT_NEAR(sepia.green(), qRound(100 * (0.349 + 0.686 + 0.168)), 1);
  EXPECT_NEAR(sepia.blue(), qRound(100 * (0.272 + 0.534 + 0.131)), 1);

  const QColor inverted = pixel(ImageProcesser::Invert_Color(source), 0);
  EXPECT_EQ(inverted, QColor(55, 215, 215));

  // Saturation 0 is grey of the same brightness; contrast 0 is middle grey; brightness adds.
  EXPECT_NEAR(pixel(ImageProcesser::adjust_Color_Control(source, 0, 0, 1), 0).green(),
              luma(pixel(source, 0)), 2);
  EXPECT_TRUE(Near(pixel(ImageProcesser::adjust_Color_Control(source, 1, 0, 0), 2),
                   QColor(128, 128, 128), 1));
  EXPECT_TRUE(Near(pixel(ImageProcesser::adjust_Color_Control(source, 1, 0.2f, 1), 1),
                   QColor(91, 231, 111), 1));

  // A half turn of hue swaps red for cyan-ish and keeps greys grey; a full turn changes
  // nothing.
  const Picture half = ImageProcesser::adjust_Hue(source, float(M_PI));
  EXPECT_LT(pixel(half, 0).red(), pixel(half, 0).green());
  EXPECT_TRUE(Near(pixel(half, 3), pixel(source, 3), 2));
  const Picture full = ImageProcesser::adjust_Hue(source, float(2 * M_PI));
  for (int x = 0; x < 4; ++x) EXPECT_TRUE(Near(pixel(full, x), pixel(source, x), 2)) << x;

  // One stop more doubles the light: sRGB 0.5 (linear 0.214) becomes linear 0.428.
  const QColor brighter =
      pixel(ImageProcesser::adjust_EV(Solid_Picture({1, 1}, QColor(128, 128, 128)), 1), 0);
  EXPECT_NEAR(brighter.red(), 175, 2);
  EXPECT_NEAR(
      pixel(ImageProcesser::adjust_Gamma(Solid_Picture({1, 1}, QColor(128, 128, 128)), 2), 0).red(),
      64, 1);
}

TEST_F(Adjustments, BlurAndSharpnessKeepTheSize) {
  QImage dot(9, 9, QImage::Format_ARGB32);
  dot.fill(Qt::transparent);
  dot.setPixelColor(4, 4, QColor(255, 0, 0));
  const Picture blurred = ImageProcesser::adjust_boxBlur(Picture(dot), 1);
  ASSERT_EQ(blurred.image().size(), QSize(9, 9));
  // The dot spreads over 3 x 3 pixels, keeping its colour (transparent pixels lend none).
  EXPECT_TRUE(Near(pixel(blurred, 3, 3), QColor(255, 0, 0, 28), 2));
  EXPECT_TRUE(Near(pixel(blurred, 5, 4), QColor(255, 0, 0, 28), 2));
  EXPECT_EQ(pixel(blurred, 2, 4).alpha(), 0);
  const Picture huge = ImageProcesser::adjust_boxBlur(Picture(dot), 1e9f);  // capped radius
  EXPECT_EQ(huge.image().size(), QSize(9, 9));

  // Sharpening raises the contrast at an edge.
  QImage edge(8, 1, QImage::Format_ARGB32);
  for (int x = 0; x < 8; ++x)
    edge.setPixelColor(x, 0, x < 4 ? QColor(100, 100, 100) : QColor(150, 150, 150));
  const Picture sharp = ImageProcesser::adjust_Sharpness(Picture(edge), 1);
  EXPECT_EQ(sharp.image().size(), QSize(8, 1));
  EXPECT_LT(pixel(sharp, 3).red(), 100);
  EXPECT_GT(pixel(sharp, 4).red(), 150);
  EXPECT_EQ(pixel(sharp, 0).red(), 100);  // flat areas unchanged
}

TEST_F(Adjustments, Rotation) {
  const Picture source(Quadrant_Image({40, 20}), QSizeF(40, 20));
  struct Case {
    float degrees;
    QSize pixels;
    QColor top_left;  // colour near the new top-left corner
  } cases[] = {
      {90, {20, 40}, Qt::green},  // counter-clockwise: the top-right quadrant comes up left
      {450, {20, 40}, Qt::green}, {-270, {20, 40}, Qt::green}, {-90, {20, 40}, Qt::blue},
      {270, {20, 40}, Qt::blue},  {180, {40, 20}, Qt::yellow}, {-180, {40, 20}, Qt::yellow},
  };
  for (const auto& c : cases) {
    const Picture turned = ImageProcesser::imageRotated(source, c.degrees);
    EXPECT_EQ(turned.image().size(), c.pixels) << c.degrees;
    EXPECT_EQ(turned.size(), QSizeF(c.pixels)) << c.degrees;
    EXPECT_TRUE(Near(pixel(turned, 1, 1), c.top_left)) << c.degrees;
  }

  // Another angle: the canvas is the bounding box of the turned picture, so no corner is
  // lost; the picture stays centred.
  const Picture square(Quadrant_Image({100, 50}), QSizeF(100, 50));
  const Picture turned = ImageProcesser::imageRotated(square, 45);
  const double side = (100 + 50) * std::sqrt(0.5);
  EXPECT_NEAR(turned.image().width(), side, 1);
  EXPECT_NEAR(turned.image().height(), side, 1);
  EXPECT_NEAR(turned.size().width(), side, 0.01);
  const QImage& img = turned.image();
  const QPointF centre(img.width() / 2.0, img.height() / 2.0);
  // The original corners, turned 45 degrees counter-clockwise about the centre (y down).
  auto corner = [&](double x, double y) {
    const double a = -M_PI / 4, dx = x - 50, dy = y - 25;
    return QPoint(qRound(centre.x() + dx * std::cos(a) - dy * std::sin(a)),
                  qRound(centre.y() + dx * std::sin(a) + dy * std::cos(a)));
  };
  const QPoint tl = corner(4, 4), tr = corner(96, 4), bl = corner(4, 46), br = corner(96, 46);
  EXPECT_TRUE(Near(img.pixelColor(tl), Qt::red, 30));
  EXPECT_TRUE(Near(img.pixelColor(tr), Qt::green, 30));
  EXPECT_TRUE(Near(img.pixelColor(bl), Qt::blue, 30));
  EXPECT_TRUE(Near(img.pixelColor(br), Qt::yellow, 30));
  EXPECT_EQ(img.pixelColor(0, 0).alpha(), 0);
}

TEST_F(Adjustments, ChainOrderAndSizeCap) {
  const Picture wide(Solid_Picture({1000, 300}, Qt::red));
  EXPECT_EQ(ImageProcesser::Set_Dimaension(wide).size(), QSizeF(724, 300));
  EXPECT_EQ(ImageProcesser::Set_Dimaension(Solid_Picture({700, 400}, Qt::red)).size(),
            QSizeF(700, 400));

  // Steps whose order changes the colours, each pair against what the other order gives.
  const struct {
    const char* name;
    QColor source;
    bool grayscale, sepia, invert;
    float exposure;
    int rotate;
    QColor expected;
  } orders[] = {
      // Black inverted is white, three stops darker (linear 1/8); the other way round it
      // would turn white only.
      {"inversion before exposure", Qt::black, false, false, true, -3, 90, QColor(99, 99, 99)},
      // Blue in grey tones is 18 (its luminance), in sepia the brown of that; the other way
      // round, sepia (48, 43, 33) then grey tones, it would come out grey (43, 43, 43).
      {"grey tones before sepia", Qt::blue, true, true, false, 0, 0, QColor(24, 22, 17)},
      // Grey 100 in sepia is (135, 120, 94), inverted a cold blue; the other way round,
      // inverted 155 then sepia, it would come out a warm brown (209, 186, 145).
      {"sepia before inversion", QColor(100, 100, 100), false, true, true, 0, 0,
       QColor(120, 135, 161)},
  };
  for (const auto& c : orders) {
    SCOPED_TRACE(c.name);
    const Picture adjusted = ImageProcesser::Get_Processed_Image(
        Solid_Picture({2, 2}, c.source), c.grayscale, c.sepia, c.invert, 0, 1, 0, 1, c.rotate, 0,
        c.exposure, 0, 100);
    EXPECT_EQ(adjusted.image().size(), QSize(2, 2));
    EXPECT_TRUE(Near(pixel(adjusted, 0), c.expected, 2)) << pixel(adjusted, 0).name().toStdString();
  }
}

TEST_F(Adjustments, ResultsAreCachedPerPictureAndSettings) {
  const Picture source = Solid_Picture({50, 50}, Qt::red);
  Picture_Adjustments inverted;
  inverted.invert = true;
  const Picture first = ImageProcesser::Get_Processed_Image(source, inverted);
  const Picture again = ImageProcesser::Get_Processed_Image(source, inverted);
  EXPECT_EQ(first.image().cacheKey(), again.image().cacheKey());  // not recomputed
  EXPECT_EQ(ImageProcesser::Cached_Pictures(), 1u);

  inverted.rotate = 90;
  const Picture turned = ImageProcesser::Get_Processed_Image(source, inverted);
  EXPECT_NE(turned.image().cacheKey(), first.image().cacheKey());
  // A picture whose pixels changed is a new picture.
  Picture edited = source;
  QImage pixels = edited.image();
  pixels.setPixelColor(0, 0, Qt::blue);
  edited = Picture(pixels, source.size());
  EXPECT_TRUE(Near(pixel(ImageProcesser::Get_Processed_Image(edited, inverted), 0, 49),
                   QColor(255, 255, 0)));
  EXPECT_EQ(ImageProcesser::Cached_Pictures(), 3u);
  ImageProcesser::Clear_Cache();
  EXPECT_EQ(ImageProcesser::Cached_Pictures(), 0u);
}

// Eight threads asking at once for the same adjustment of one large picture: one thread
// computes it, the others wait for it and share the very result; another setting is
// computed apart.
TEST_F(Adjustments, ThreadsAskingForOnePictureShareOneComputation) {
  test_support::Watchdog watchdog("8 threads adjusting one picture");
  const Picture source = Solid_Picture({2000, 1500}, QColor(200, 120, 40));
  Picture_Adjustments settings;
  settings.blur = 3;
  settings.sepia = true;
  constexpr int threads = 8;
  const std::size_t runs_before = ImageProcesser::Chain_Runs();
  std::vector<Picture> results(threads);
  std::latch start(threads);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&, t] {
      start.arrive_and_wait();
      results[t] = ImageProcesser::Get_Processed_Image(source, settings);
    });
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(ImageProcesser::Chain_Runs() - runs_before, 1u);
  for (const Picture& result : results) {
    ASSERT_FALSE(result.isNull());
    EXPECT_EQ(result.image().cacheKey(), results[0].image().cacheKey());
  }
  settings.blur = 4;
  ImageProcesser::Get_Processed_Image(source, settings);
  EXPECT_EQ(ImageProcesser::Chain_Runs() - runs_before, 2u);
}

class Adjusted_Picture_Object : public test_support::Design_Test {};

TEST_F(Adjusted_Picture_Object, DrawsThroughTheChainFittedToItsBounds) {
  ImageProcesser::Install();
  const QString path = QDir(resource_path()).filePath("quadrants.png");
  ASSERT_TRUE(Quadrant_Image({40, 20}).save(path));
  CRDImage image;
  image.setFilePath(path);
  image._bounds = QRectF(0, 0, 60, 60);
  image._isDrawingStroke = false;
  image.rotate_image = 90.7f;  // a quarter turn: the canvas turns from 40 x 20 to 20 x 40
  image.invert_clr = true;
  const QImage painted = Paint(image, {60, 60});
  EXPECT_TRUE(Near(At(painted, 5, 5), QColor(255, 0, 255)));    // green, inverted
  EXPECT_TRUE(Near(At(painted, 55, 55), QColor(255, 255, 0)));  // blue, inverted
  EXPECT_EQ(image._contents.size(), QSizeF(40, 20));            // the object's picture is untouched
}

}  // namespace
