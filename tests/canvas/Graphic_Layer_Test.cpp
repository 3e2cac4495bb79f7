// The graphics layer painted in bands on several threads looks like the same graphics
// painted in one pass, also where graphics cross band edges, at fractional zooms and on
// high resolution screens; and a graphic that cannot draw leaves only its own area empty.

#include "Canvas_Test_Support.h"

#include "canvas/Graphic_Layer.h"
#include "model/CRDLine.h"
#include "model/CRDText.h"
#include "model/Shape_Control.h"
#include "support/Test_Support.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

std::vector<Layer_Item> mixed_items() {
  std::vector<Layer_Item> items;
  for (int i = 0; i < 40; ++i)
    items.push_back(
        {canvas_test::Mixed_Shape(i, QRectF(5 + (i % 8) * 29, 4 + (i / 8) * 37.5, 40, 45)), false,
         i % 7 == 0});
  for (int i = 0; i < 6; ++i) {
    auto text = std::make_shared<CRDText>();
    text->setBounds(QRectF(10 + i * 35, 20 + i * 28, 90, 40));
    text->Text_Value = QStringLiteral("Many happy returns %1").arg(i);
    items.push_back({text, i == 2, false});
  }
  auto line = std::make_shared<CRDLine>();
  line->setBounds({0, 0, 240, 190});
  items.push_back({line, false, true});
  return items;
}

QImage one_pass(const std::vector<Layer_Item>& items, QSize size, double zoom, double ratio) {
  QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  image.setDevicePixelRatio(ratio);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(zoom, zoom);
  Paint_Layer_Items(painter, items);
  return image;
}

TEST(Graphic_Layer, BandsLookLikeOnePass) {
  const std::vector<Layer_Item> items = mixed_items();
  // Every band paints copies: a text's styled text, made when it is first painted, is
  // made on the copies only.
  const CRDGraphic& text = *items[40].graphic;
  Paint_Layer_In_Bands(items, QRect(0, 0, 250, 200), 1, 1);
  EXPECT_EQ(text._Text_contents, nullptr);

  struct Case {
    double zoom, ratio;
  } cases[] = {{1, 1}, {2, 1}, {1.25, 1}, {2, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zoom);
    SCOPED_TRACE(c.ratio);
    const QSize size = (QSizeF(250, 200) * c.zoom).toSize();
    const QImage expected = one_pass(items, size, c.zoom, c.ratio);
    const QImage bands = Paint_Layer_In_Bands(items, QRect(QPoint(0, 0), size), c.zoom, c.ratio);
    ASSERT_EQ(bands.size(), expected.size());
    EXPECT_EQ(bands.devicePixelRatio(), c.ratio);
    // Curves are flattened a little differently where a band edge cuts them: a few levels
    // of antialiasing at most.
    EXPECT_LE(test_support::Largest_Difference(bands, expected), 4);

    // An area inside the widget: the picture starts at the area's corner.
    const QRect area(13, 150, size.width() / 2, size.height() - 150);
    const QImage part = Paint_Layer_In_Bands(items, area, c.zoom, c.ratio);
    const QRect pixels(QPointF(area.topLeft() * c.ratio).toPoint(), part.size());
    EXPECT_LE(test_support::Largest_Difference(part, expected.copy(pixels)), 4);
  }
  EXPECT_NE(text._Text_contents, nullptr);  // painting the items themselves made it
}

// The items with the pictures of their graphics at the zoom and ratio.
std::vector<Layer_Item> with_pictures(std::vector<Layer_Item> items, double zoom, double ratio) {
  for (Layer_Item& item : items)
    if (!item.being_created)
      item.picture = Render_Graphic_Picture(*item.graphic->clone(), zoom, ratio, 1e7);
  return items;
}

TEST(Graphic_Layer, PicturesLookLikePaintingTheGraphics) {
  const std::vector<Layer_Item> items = mixed_items();
  struct Case {
    double zoom, ratio;
  } cases[] = {{1, 1}, {2, 1}, {1.25, 1}, {2, 2}, {3.3, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " ratio " << c.ratio);
    const std::vector<Layer_Item> pictured = with_pictures(items, c.zoom, c.ratio);
    for (const Layer_Item& item : pictured)
      ASSERT_TRUE(item.being_created || !item.picture.isNull());
    const QSize size = (QSizeF(250, 200) * c.zoom).toSize();
    const QImage expected = one_pass(items, size, c.zoom, c.ratio);
    // Each picture is composed on its own first: a level of rounding at most where
    // translucent antialiased edges overlap.
    EXPECT_LE(test_support::Largest_Difference(one_pass(pictured, size, c.zoom, c.ratio), expected),
              1);
    const QImage bands = Paint_Layer_In_Bands(pictured, QRect(QPoint(0, 0), size), c.zoom, c.ratio);
    EXPECT_LE(test_support::Largest_Difference(bands, expected), 4);
    // A picture of another scale is not used: the graphic is painted.
    const std::vector<Layer_Item> other = with_pictures(items, c.zoom * 2, c.ratio);
    EXPECT_EQ(test_support::Largest_Difference(one_pass(other, size, c.zoom, c.ratio), expected),
              0);
  }
}

TEST(Graphic_Layer, PictureCacheKeepsPicturesOfLiveGraphicsWithinItsBudget) {
  auto shape = std::make_shared<Shape_Control>();
  shape->setBounds({0, 0, 40, 30});
  Graphic_Picture_Cache cache(300'000);  // 300,000 bytes, 30,000 (7,500 pixels) a picture
  cache.Set_Scale(2, 1);
  const Graphic_Picture picture = Render_Graphic_Picture(*shape, 2, 1, cache.maxPicturePixels());
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.image.size(), QSize(2 * 47, 2 * 37));  // drawing bounds: 3 points more
  EXPECT_EQ(picture.origin, QPoint(-6, -6));
  EXPECT_TRUE(cache.Store(shape, picture));
  ASSERT_NE(cache.Find(shape), nullptr);
  EXPECT_EQ(cache.Find(shape)->origin, picture.origin);

  cache.Set_Scale(2, 1);  // the same scale keeps the pictures
  EXPECT_EQ(cache.count(), 1);
  cache.Set_Scale(2, 2);  // another ratio drops them
  EXPECT_EQ(cache.count(), 0);
  EXPECT_EQ(cache.bytes(), 0);

  EXPECT_TRUE(cache.Store(shape, picture));
  cache.Drop(shape.get());
  EXPECT_EQ(cache.Find(shape), nullptr);

  // Too large for one picture: not rendered, and not kept.
  auto large = std::make_shared<Shape_Control>();
  large->setBounds({0, 0, 200, 200});
  EXPECT_TRUE(Render_Graphic_Picture(*large, 2, 1, cache.maxPicturePixels()).isNull());
  EXPECT_FALSE(cache.Store(large, Render_Graphic_Picture(*large, 2, 1, 1e9)));

  // A picture outlives no graphic: a new graphic never finds a removed one's picture,
  // and the room of removed graphics is taken back when the budget runs out.
  Graphic_List graphics;
  for (int i = 0; i < 12; ++i) {
    auto g = std::make_shared<Shape_Control>();
    g->setBounds({0, 0, 40, 30});
    graphics.push_back(g);
  }
  int kept = 0;
  for (const auto& g : graphics) kept += cache.Store(g, picture);
  EXPECT_EQ(kept, 10);  // ten pictures of 94 x 74 pixels, 27,824 bytes each
  EXPECT_FALSE(cache.hasRoomFor(94 * 74));
  graphics.erase(graphics.begin());
  auto newcomer = std::make_shared<Shape_Control>();
  EXPECT_EQ(cache.Find(newcomer), nullptr);
  EXPECT_TRUE(cache.Store(newcomer, picture));
  EXPECT_EQ(cache.count(), 10);
}

TEST(Graphic_Layer, PicturesRenderedMeanwhileAreKeptUnlessTheirGraphicChanged) {
  const std::vector<Layer_Item> items = mixed_items();
  Graphic_List graphics;
  for (const Layer_Item& item : items) graphics.push_back(item.graphic);
  Graphic_Picture_Cache cache;
  cache.Set_Scale(1.5, 1);
  cache.Render_Later(graphics);
  EXPECT_TRUE(cache.isRendering());
  cache.Drop(graphics[4].get());  // changed while the worker renders
  cache.Collect(true);
  EXPECT_FALSE(cache.isRendering());
  EXPECT_EQ(cache.count(), int(graphics.size()) - 1);
  EXPECT_EQ(cache.Find(graphics[4]), nullptr);
  const Graphic_Picture* picture = cache.Find(graphics[7]);
  ASSERT_NE(picture, nullptr);
  const Graphic_Picture here = Render_Graphic_Picture(*graphics[7]->clone(), 1.5, 1, 1e7);
  EXPECT_EQ(picture->origin, here.origin);
  EXPECT_EQ(picture->image, here.image);

  // A new scale or a clear abandons a rendering: nothing of it is kept.
  cache.Clear();
  cache.Render_Later(graphics);
  cache.Set_Scale(3, 1);
  EXPECT_FALSE(cache.isRendering());
  cache.Collect(true);
  EXPECT_EQ(cache.count(), 0);
}

TEST(Graphic_Layer, AFailingGraphicLeavesOnlyItsOwnAreaEmpty) {
  // A bare record has no outline of its own: asking for one throws.
  struct Broken : CRDGraphic {
    void drawContentsInView(QPainter& painter, bool) override {
      painter.fillRect(bounds(), Qt::red);
      bezierPathForDrawing();
    }
    std::shared_ptr<CRDGraphic> clone() const override { return clone_as<Broken>(); }
  };
  auto broken = std::make_shared<Broken>();
  broken->setBounds({10, 10, 20, 20});
  auto after = std::make_shared<Shape_Control>();
  after->setBounds({50, 10, 20, 20});
  after->_fillColor = CRDColor::rgb(0, 0, 1);
  const std::vector<Layer_Item> items = {{broken, false, false}, {after, false, false}};
  const QImage image = one_pass(items, {100, 50}, 1, 1);
  EXPECT_EQ(image.pixelColor(60, 20), QColor(Qt::blue));
  EXPECT_EQ(image.pixelColor(5, 5).alpha(), 0);
  // It has no picture either: it is painted (and fails) every time.
  EXPECT_TRUE(Render_Graphic_Picture(*broken, 1, 1, 1e6).isNull());
}

}  // namespace
