#include "model/Painting_Support.h"
#include "model/Shape_Control.h"

#include <QDir>

using namespace painting_test;

namespace {

std::vector<QPointF> vertices(const QPainterPath& path) {
  std::vector<QPointF> points;
  for (int i = 0; i < path.elementCount(); ++i) points.push_back(path.elementAt(i));
  return points;
}

Shape_Control shape(const QString& code, QRectF bounds = {0, 0, 100, 100}) {
  Shape_Control s;
  s.Set_Shape_Type(code);
  s._bounds = bounds;
  return s;
}

class Shape_Painting : public test_support::Design_Test {};

TEST(ShapePaths, StarsAndPolygonsFollowTheirVariants) {
  struct Case {
    QString code;
    int variant;
    int vertices;  // path elements, closing point included; 0: an empty path
  } cases[] = {
      {"S", 1, 6},    // pentagram
      {"DS", 1, 8},   // 7 points
      {"DS", 3, 12},  // 11 points
      {"DS", 5, 16},  // 15 points
      {"P", 2, 11},   // pentagon traced twice: 10 vertices
      {"P", 5, 17},   // octagon traced twice
      {"P", 1, 9},    // four-pointed star, 8 vertices
      {"P", 8, 9},    // a stored 8 is the four-pointed star too
      {"DS", 7, 8},   // values outside 1 to 5 are the vertex count itself
      {"DS", 0, 0},  {"P", -3, 0},
      {"P", 65, 0},  {"DS", 2000000000, 0},  // must not build a path of that size
      {"X", 1, 0},   {"", 1, 0},
  };
  for (const auto& c : cases) {
    Shape_Control s = shape(c.code);
    s.double_star_type = c.variant;
    s.polygon_type = c.variant;
    const QPainterPath path = s.bezierPathForDrawing();
    EXPECT_EQ(path.fillRule(), Qt::WindingFill) << c.code;
    if (c.vertices == 0) {
      EXPECT_TRUE(path.isEmpty()) << c.code << " " << c.variant;
      EXPECT_FALSE(s.isContentsUnderPoint({50, 50})) << c.code << " " << c.variant;
      EXPECT_FALSE(Has_Ink(Paint(s, {100, 100}), 0, 99)) << c.code << " " << c.variant;
    } else {
      EXPECT_EQ(path.elementCount(), c.vertices) << c.code << " " << c.variant;
    }
  }
}

TEST(ShapePaths, VertexPositions) {
  Shape_Control star = shape("S", {10, 20, 100, 60});
  const auto star_points = vertices(star.bezierPathForDrawing());
  EXPECT_EQ(star_points.front(), QPointF(60, 20));  // first point at the top centre

  Shape_Control triangle = shape("T", {10, 20, 100, 60});
  EXPECT_EQ(vertices(triangle.bezierPathForDrawing()),
            (std::vector<QPointF>{{10, 80}, {60, 20}, {110, 80}, {10, 80}}));

  Shape_Control diamond = shape("D", {10, 20, 100, 60});
  EXPECT_EQ(vertices(diamond.bezierPathForDrawing()),
            (std::vector<QPointF>{{10, 50}, {60, 20}, {110, 50}, {60, 80}, {10, 50}}));

  Shape_Control four = shape("P", {0, 0, 80, 40});
  four.polygon_type = 1;
  EXPECT_EQ(
      vertices(four.bezierPathForDrawing()),
      (std::vector<QPointF>{
          {0, 0}, {40, 10}, {80, 0}, {60, 20}, {80, 40}, {40, 30}, {0, 40}, {20, 20}, {0, 0}}));

  // An even count visits n/2 points twice: the regular polygon of n/2 sides.
  Shape_Control pentagon = shape("P", {0, 0, 100, 100});
  pentagon.polygon_type = 2;
  const auto p = vertices(pentagon.bezierPathForDrawing());
  for (int i = 0; i < 5; ++i) {
    EXPECT_NEAR(p[i].x(), p[i + 5].x(), 1e-4);
    EXPECT_NEAR(p[i].y(), p[i + 5].y(), 1e-4);
  }
}

TEST(ShapePaths, NonZeroWindingFillsAndHitsTheStarsCentre) {
  Shape_Control star = shape("S");
  star._isDrawingFill = false;  // the hit test ignores fill and border
  star._isDrawingStroke = true;
  EXPECT_TRUE(star.isContentsUnderPoint({50, 52}));  // inner pentagon
  EXPECT_FALSE(star.isContentsUnderPoint({3, 3}));
  Shape_Control octagon = shape("P");
  octagon.polygon_type = 5;
  EXPECT_TRUE(octagon.isContentsUnderPoint({50, 50}));

  star._isDrawingFill = true;
  star._fillColor = CRDColor::redColor();
  star._isDrawingStroke = false;
  const QImage image = Paint(star, {100, 100});
  EXPECT_TRUE(Near(At(image, 50, 52), Qt::red));
}

TEST(ShapePaths, ThickBorderDoesNotWidenTheHitArea) {
  Shape_Control rect = shape("R", {20, 20, 60, 60});
  rect._strokeWidth = 10;
  EXPECT_TRUE(rect.isContentsUnderPoint({22, 50}));   // inner half of the border
  EXPECT_FALSE(rect.isContentsUnderPoint({17, 50}));  // outer half
}

TEST(ShapePaths, RoundedRectangleBetweenRectangleAndOval) {
  auto pixels = [](const QString& code, float radius) {
    Shape_Control s = shape(code, {4, 4, 60, 40});
    s.cor_rad_val_val = radius;
    s._fillColor = CRDColor::blackColor();
    s._isDrawingStroke = false;
    return Paint(s, {68, 48});
  };
  EXPECT_EQ(pixels("RR", 0), pixels("R", 0));
  const QImage big = pixels("RR", 500), oval = pixels("C", 0);
  int different = 0;
  for (int y = 0; y < oval.height(); ++y)
    for (int x = 0; x < oval.width(); ++x)
      if (std::abs(qAlpha(big.pixel(x, y)) - qAlpha(oval.pixel(x, y))) > 40) ++different;
  EXPECT_LE(different, 4);
  EXPECT_TRUE(Transparent(big, 5, 5));  // the corner is cut away
}

TEST_F(Shape_Painting, FillsAndBorderWithOpacity) {
  Shape_Control s = shape("R", {10, 10, 40, 40});
  s._fillColor = CRDColor::rgb(0, 0, 1);
  s._strokeColor = CRDColor::rgb(1, 0, 0);
  s._strokeWidth = 4;
  s.alpha_val = 0.5f;
  const QImage image = Paint(s, {60, 60});
  EXPECT_TRUE(Near(At(image, 30, 30), QColor(0, 0, 255, 128)));
  EXPECT_TRUE(Near(At(image, 10, 30), QColor(255, 0, 0)));  // border keeps its own opacity
  EXPECT_TRUE(Transparent(image, 5, 5));

  s._isDrawingFill = false;
  EXPECT_TRUE(Transparent(Paint(s, {60, 60}), 30, 30));
  s.Set_Ctrl_Is_Visible(false);
  EXPECT_FALSE(Has_Ink(Paint(s, {60, 60}), 0, 59));
}

TEST_F(Shape_Painting, DashLengthsAreAbsolutePoints) {
  // A 10-point wide "DD" border along the top edge: 24 on, 10 off, 6 on, 10 off.
  Shape_Control s = shape("R", {0, 20, 200, 60});
  s._isDrawingFill = false;
  s._strokeWidth = 10;
  s._stroke_border_type = "DD";
  const QImage image = Paint(s, {220, 100});
  const auto runs = Runs(image, 20, 0, 120);
  ASSERT_GE(runs.size(), 6u);
  const std::vector<std::pair<bool, int>> expected = {{true, 24},  {false, 10}, {true, 6},
                                                      {false, 10}, {true, 24},  {false, 10}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(runs[i].first, expected[i].first) << i;
    EXPECT_NEAR(runs[i].second, expected[i].second, 1) << i;
  }
  EXPECT_TRUE(Border_Dash_Pattern("Q").isEmpty());
  EXPECT_TRUE(Border_Dash_Pattern("S").isEmpty());
}

TEST_F(Shape_Painting, GradientAngle) {
  // 0 degrees runs from the start colour at the left to the end colour at the right; 90
  // from the top to the bottom of the canvas.
  Shape_Control s = shape("R", {0, 0, 100, 100});
  s._isDrawingStroke = false;
  s._fill_type = "G";
  s._fill_Grad_clr1 = CRDColor::rgb(1, 0, 0);
  s._fill_Grad_clr2 = CRDColor::rgb(0, 0, 1);
  QImage image = Paint(s, {100, 100});
  EXPECT_GT(At(image, 2, 50).red(), 240);
  EXPECT_GT(At(image, 97, 50).blue(), 240);
  EXPECT_TRUE(Near(At(image, 50, 2), At(image, 50, 97), 4));
  s._fill_grad_angle = 90;
  image = Paint(s, {100, 100});
  EXPECT_GT(At(image, 50, 2).red(), 240);
  EXPECT_GT(At(image, 50, 97).blue(), 240);
  s._fill_grad_angle = 45;  // corner to corner
  image = Paint(s, {100, 100});
  EXPECT_GT(At(image, 1, 1).red(), 245);
  EXPECT_GT(At(image, 98, 98).blue(), 245);
  EXPECT_TRUE(Near(At(image, 98, 1), At(image, 1, 98), 4));
}

TEST_F(Shape_Painting, HatchTilesFromTheCanvasOriginOverTheBackground) {
  // A 4 x 4 pattern with one black pixel in its top-left corner.
  QImage pattern(4, 4, QImage::Format_ARGB32);
  pattern.fill(Qt::transparent);
  pattern.setPixelColor(0, 0, Qt::black);
  ASSERT_TRUE(pattern.save(QDir(resource_path()).filePath("Fill_Style_Image/Dots.png")));

  Shape_Control s = shape("R", {5, 5, 30, 30});
  s._isDrawingStroke = false;
  s._fill_type = "H";
  s._fill_htch_clr = CRDColor::rgb(0, 1, 0);
  s._fill_hatch_type = "Dots";
  QImage image = Paint(s, {40, 40});
  EXPECT_TRUE(Near(At(image, 8, 8), Qt::black));  // multiples of 4 from the origin
  EXPECT_TRUE(Near(At(image, 12, 20), Qt::black));
  EXPECT_TRUE(Near(At(image, 5, 5), Qt::green));  // not the shape's corner
  EXPECT_TRUE(Near(At(image, 9, 9), Qt::green));

  // Moving the shape does not move the tiles.
  s._bounds.translate(1, 1);
  image = Paint(s, {40, 40});
  EXPECT_TRUE(Near(At(image, 8, 8), Qt::black));

  // No pattern file (the default name is empty): the background colour alone.
  s._fill_hatch_type = "";
  image = Paint(s, {40, 40});
  EXPECT_TRUE(Near(At(image, 8, 8), Qt::green));
}

// A hatch name is the name of a shipped pattern, never a path: "../../../../x/red" once made
// the card paint any PNG on the disk, which then went out in exported and mailed cards.
TEST_F(Shape_Painting, HatchNamesAreThoseOfTheShippedPatterns) {
  QStringList shipped =
      QDir(QStringLiteral(LUMIGROVE_SOURCE_DIR "/resources/Fill_Style_Image")).entryList({"*.png"}, QDir::Files);
  for (QString& name : shipped) name.chop(4);
  EXPECT_EQ(Shipped_Hatch_Names(), shipped);

  const QString folder = resource_path();
  QImage red(4, 4, QImage::Format_ARGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(QDir(folder).mkpath("x"));
  ASSERT_TRUE(red.save(QDir(folder).filePath("x/red.png")));
  ASSERT_TRUE(red.save(QDir(folder).filePath("Fill_Style_Image/Mine.png")));
  ASSERT_TRUE(red.save(QDir(folder).filePath("Fill_Style_Image/Dots.png")));
  const struct {
    const char* name;
    bool painted;
  } cases[] = {
      {"Dots", true},
      {"../x/red", false},
      {"../../../../x/red", false},
      {"Dots/../../x/red", false},
      {"./Dots", false},
      {"dots", false},
      {"Dots.png", false},
      {"Mine", false},  // a picture in the folder, yet not one the program ships
      {"", false},
  };
  Shape_Control s = shape("R", {0, 0, 20, 20});
  s._isDrawingStroke = false;
  s._fill_type = "H";
  s._fill_htch_clr = CRDColor::rgb(0, 1, 0);
  for (const auto& c : cases) {
    s._fill_hatch_type = QString::fromLatin1(c.name);
    EXPECT_EQ(Hatch_Pattern_Path(folder, s._fill_hatch_type).isEmpty(), !c.painted) << c.name;
    EXPECT_TRUE(Near(At(Paint(s, {20, 20}), 10, 10), c.painted ? Qt::red : Qt::green)) << c.name;
  }
}

}  // namespace
