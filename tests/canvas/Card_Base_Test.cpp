#include "canvas/Card_Base.h"
#include "model/Painting_Support.h"

#include <QDir>

using namespace painting_test;

namespace {

class Card_Base : public test_support::Design_Test {
 protected:
  // The base of the side painted on a 100 x 60 card with a 10-point margin around it.
  QImage paint(const Card_Property& side, int shape = 0,
               QRectF stretch_area = QRectF(10, 10, 100, 60)) const {
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Paint_Card_Base(painter, card, side, shape, stretch_area, Resource_Path);
    return image;
  }
  const QRectF card{10, 10, 100, 60};
};

TEST_F(Card_Base, OutlinesInWhite) {
  const Card_Property plain;  // fill and border off
  struct Case {
    int shape;
    bool corner_painted, edge_middle_painted;
  } cases[] = {
      {0, true, true},  {3, true, true}, {-1, true, true},  // rectangles
      {1, false, true},                                     // 10-point corners
      {2, false, true},                                     // ellipse
  };
  for (const auto& c : cases) {
    const QImage image = paint(plain, c.shape);
    EXPECT_TRUE(Near(At(image, 60, 40), Qt::white)) << c.shape;
    EXPECT_EQ(!Transparent(image, 10, 10), c.corner_painted) << c.shape;
    EXPECT_EQ(!Transparent(image, 60, 10), c.edge_middle_painted) << c.shape;
    EXPECT_TRUE(Transparent(image, 5, 40)) << c.shape;
  }
  // The rounded corner is a 10-point arc: 3 points in along the diagonal is outside it,
  // 4 points in along an edge is inside.
  const QImage rounded = paint(plain, 1);
  EXPECT_TRUE(Transparent(rounded, 11, 11));
  EXPECT_FALSE(Transparent(rounded, 20, 11));
  const QImage ellipse = paint(plain, 2);
  EXPECT_TRUE(Transparent(ellipse, 20, 12));  // outside the ellipse, inside the rectangle
}

TEST_F(Card_Base, FillsBySideSettings) {
  Card_Property side;
  side.Card_fill_chk = true;
  side.Card_fill_clr = CRDColor::rgb(1, 0, 0, 0.5);  // the side's opacity is in the colour
  EXPECT_TRUE(Near(At(paint(side), 60, 40), QColor(255, 127, 127)));  // over the white base

  side.Card_fill_style = "G";
  side.Card_fill_Grd_1_clr = CRDColor::rgb(1, 0, 0);
  side.Card_fill_Grd_2_clr = CRDColor::rgb(0, 0, 1);
  side.Card_grad_Stepper = 90;  // top to bottom on the card
  QImage image = paint(side);
  EXPECT_GT(At(image, 60, 11).red(), 240);
  EXPECT_GT(At(image, 60, 68).blue(), 240);
  side.Card_grad_Stepper = 0;
  image = paint(side);
  EXPECT_GT(At(image, 11, 40).red(), 240);
  EXPECT_GT(At(image, 108, 40).blue(), 240);

  side.Card_fill_chk = false;  // the switch wins over the style
  EXPECT_TRUE(Near(At(paint(side), 60, 40), Qt::white));

  side.Card_fill_chk = true;
  side.Card_fill_style = "Q";       // any other code: the plain colour
  side.Card_fill_clr = CRDColor();  // an absent colour paints nothing
  EXPECT_TRUE(Near(At(paint(side), 60, 40), Qt::white));
}

TEST_F(Card_Base, HatchOverItsBackground) {
  QImage pattern(5, 5, QImage::Format_ARGB32);
  pattern.fill(Qt::transparent);
  pattern.setPixelColor(0, 0, Qt::black);
  ASSERT_TRUE(pattern.save(QDir(resource_path()).filePath("Fill_Style_Image/Checker.png")));
  Card_Property side;
  side.Card_fill_chk = true;
  side.Card_fill_style = "H";
  side.Card_hatch_bk_clr = CRDColor::rgb(0, 1, 0);
  side.Card_hatch_style = "Checker";
  QImage image = paint(side);
  EXPECT_TRUE(Near(At(image, 15, 15), Qt::black));  // tiles from the canvas origin
  EXPECT_TRUE(Near(At(image, 16, 15), Qt::green));
  side.Card_hatch_style = "";  // looks for ".png": the background alone
  image = paint(side);
  EXPECT_TRUE(Near(At(image, 15, 15), Qt::green));
}

TEST_F(Card_Base, BackgroundPictureTiledOrStretched) {
  Card_Property side;
  ASSERT_TRUE(Apply_Card_BG_Image(side, [&] {
    const QString path = QDir(resource_path()).filePath("Background/blue.png");
    EXPECT_TRUE(Quadrant_Image({20, 20}).save(path));
    return path;
  }()));
  EXPECT_TRUE(side.Card_fill_chk);
  EXPECT_EQ(side.Card_fill_style, "I");
  EXPECT_EQ(side.Card_BG_Image.size(), QSizeF(20, 20));

  // Stretched over the canvas bounds, inside the outline: nothing beyond the corners of a
  // rounded card or outside an elliptical one.
  QImage image = paint(side, 0);
  EXPECT_TRUE(Near(At(image, 12, 12), Qt::red));
  EXPECT_TRUE(Near(At(image, 107, 67), Qt::yellow));
  EXPECT_TRUE(Near(At(image, 62, 42), Qt::yellow));  // just past the middle of both
  for (const int shape : {1, 2}) {
    SCOPED_TRACE(shape);
    image = paint(side, shape);
    EXPECT_TRUE(Transparent(image, 11, 11));
    EXPECT_TRUE(Transparent(image, 108, 68));
    EXPECT_TRUE(Near(At(image, 30, 30), Qt::red));
    EXPECT_TRUE(Near(At(image, 62, 42), Qt::yellow));
  }

  // Tiled: repeats inside the outline only, tiles aligned to the origin.
  side.Card_BG_Image_Layout = "Tile";
  image = paint(side, 2);
  EXPECT_TRUE(Near(At(image, 22, 42), Qt::red));     // (20, 40): start of a tile
  EXPECT_TRUE(Near(At(image, 55, 35), Qt::yellow));  // (40, 20) + (15, 15)
  EXPECT_TRUE(Transparent(image, 12, 12));

  // The side's opacity applies to either layout; the start value 100 is opaque.
  side.Card_alpha_Stepper = 0.5f;
  image = paint(side, 0);
  EXPECT_TRUE(Near(At(image, 22, 42), QColor(255, 127, 127)));
  side.Card_BG_Image_Layout = "Stretch";
  image = paint(side, 0);
  EXPECT_TRUE(Near(At(image, 12, 12), QColor(255, 127, 127)));

  // A file that cannot be read leaves picture fill without a picture: the white outline.
  EXPECT_FALSE(Apply_Card_BG_Image(side, QDir(resource_path()).filePath("none.png")));
  EXPECT_EQ(side.Card_fill_style, "I");
  EXPECT_TRUE(Near(At(paint(side), 60, 40), Qt::white));
}

TEST_F(Card_Base, DashedBorderStartsAtTheFirstPoint) {
  Card_Property side;
  side.Card_border_chk = true;
  side.Card_bor_Stepper = 3;
  side.Card_border_style = "DD";
  side.Card_bordr_clr = CRDColor::rgb(0, 0, 1);
  QImage image(200, 60, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    Paint_Card_Base(painter, QRectF(10, 10, 180, 40), side, 0, {}, Resource_Path);
  }
  // Along the top edge from the top-left corner: 24 on, 10 off, 6 on, 10 off.
  auto blue_runs = [&](int y) {
    std::vector<std::pair<bool, int>> runs;
    for (int x = 10; x < 150; ++x) {
      const bool blue = At(image, x, y).blue() > 200 && At(image, x, y).red() < 100;
      if (runs.empty() || runs.back().first != blue)
        runs.push_back({blue, 1});
      else
        ++runs.back().second;
    }
    return runs;
  };
  const auto runs = blue_runs(10);
  ASSERT_GE(runs.size(), 5u);
  const int expected[] = {24, 10, 6, 10, 24};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(runs[i].first, i % 2 == 0) << i;
    EXPECT_NEAR(runs[i].second, expected[i], 1) << i;
  }
  EXPECT_GT(At(image, 20, 9).alpha(), 200);  // centred on the outline: half lies outside
  side.Card_border_style = "X";              // any other code: solid
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    Paint_Card_Base(painter, QRectF(10, 10, 180, 40), side, 0, {}, Resource_Path);
  }
  EXPECT_EQ(blue_runs(10).size(), 1u);
}

TEST_F(Card_Base, DrawingFollowsTheCurrentSide) {
  Window_Double window;
  window.canvas = QRectF(10, 10, 100, 60);
  window.front.Card_fill_chk = true;
  window.front.Card_fill_clr = CRDColor::rgb(1, 0, 0);
  window.back.Card_fill_chk = true;
  window.back.Card_fill_clr = CRDColor::rgb(0, 0, 1);
  auto base = [&] {
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Card_Base_Drawing(painter, QRectF(10, 10, 100, 60));
    return image;
  };
  EXPECT_TRUE(Near(At(base(), 60, 40), Qt::red));
  Card_Front_Or_Back = 1;
  EXPECT_TRUE(Near(At(base(), 60, 40), Qt::blue));
  Card_Shape = 2;
  EXPECT_TRUE(Transparent(base(), 12, 12));
}

TEST_F(Card_Base, SettingTheBackgroundOfASide) {
  Window_Double window;
  const QString path = QDir(resource_path()).filePath("Background/bg.png");
  ASSERT_TRUE(Solid_Picture({8, 8}, Qt::red).image().save(path));

  // The back side's background while the front is current: only the back changes.
  set_Back_BG_Image(path);
  EXPECT_EQ(window.back.Card_fill_style, "I");
  EXPECT_EQ(window.back.Card_BG_Image_Path, path);
  EXPECT_FALSE(window.back.Card_BG_Image.isNull());
  EXPECT_EQ(window.front.Card_fill_style, "S");
  EXPECT_FALSE(window.front.Card_fill_chk);
  EXPECT_EQ(window.shown_paths, QStringList({path}));
  EXPECT_EQ(window.sidebar_rebuilds, 1);

  // An empty path only empties the panel's path; the side keeps its fill.
  set_Front_BG_Image(path);
  set_Front_BG_Image("");
  EXPECT_EQ(window.front.Card_fill_style, "I");
  EXPECT_EQ(window.front.Card_BG_Image_Path, path);
  EXPECT_EQ(window.shown_paths, QStringList({path, path, ""}));
  EXPECT_EQ(window.sidebar_rebuilds, 2);
}

}  // namespace
