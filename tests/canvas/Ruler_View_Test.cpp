// The rulers of the zooming scroll view: where they sit, how they follow the zoom and the
// scroll position, their pixels, the lines that mark a drag on the canvas and what those
// lines repaint, and the canvas's ruler switch.

#include "Canvas_Test_Support.h"

#include "canvas/ui/CRDRulerView.h"
#include "canvas/ui/CRDZoomingScrollView.h"

#include <QPaintEvent>
#include <QScrollBar>

using namespace canvas_test;

namespace {

// Records the areas each watched widget paints.
class Paint_Recorder : public QObject {
 public:
  explicit Paint_Recorder(std::initializer_list<QWidget*> widgets) {
    for (QWidget* w : widgets) w->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      painted[watched] += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
  QHash<QObject*, QRegion> painted;
};

// How dark a pixel is (0 white, 255 black).
int darkness(const QImage& image, int x, int y) { return 255 - qGray(image.pixel(x, y)); }

class Rulers : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    view = std::make_unique<CRDZoomingScrollView>();
    canvas = new CRDGraphicView;
    canvas->setFrameSize({243, 154});
    ASSERT_TRUE(canvas->bind(CRDGraphicViewGraphicsBindingName, &document));
    view->setDocumentView(canvas);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->resize(900, 700);
    view->show();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
  }
  void TearDown() override {
    view.reset();
    Design_Test::TearDown();
  }
  void show_rulers() {
    view->setHasHorizontalRuler(true);
    view->setHasVerticalRuler(true);
    view->setRulersVisible(true);
  }
  CRDRulerView* across() const { return view->horizontalRulerView(); }
  CRDRulerView* down() const { return view->verticalRulerView(); }
  void settle() {
    QCoreApplication::processEvents();
    QTest::qWait(20);
    QCoreApplication::processEvents();
  }
  void mouse(QEvent::Type type, QPointF point) {
    test_support::Send_Canvas_Mouse(canvas, canvas->zoomFactor(), type, point);
  }

  Window_Double window;
  CRDDocument document;
  std::unique_ptr<CRDZoomingScrollView> view;
  CRDGraphicView* canvas = nullptr;
};

TEST_F(Rulers, SitAboveAndLeftOfTheVisibleAreaWhileShown) {
  EXPECT_EQ(across(), nullptr);
  const QRect plain = view->viewport()->geometry();

  // Had but not shown: nothing changes on screen.
  view->setHasHorizontalRuler(true);
  view->setHasVerticalRuler(true);
  ASSERT_NE(across(), nullptr);
  ASSERT_NE(down(), nullptr);
  EXPECT_FALSE(across()->isVisible());
  EXPECT_EQ(view->viewport()->geometry(), plain);

  view->setRulersVisible(true);
  const int t = view->rulerThickness();
  EXPECT_GE(t, 12);
  const QRect area = view->viewport()->geometry();
  EXPECT_EQ(area, plain.adjusted(t, t, 0, 0));
  EXPECT_TRUE(across()->isVisible());
  EXPECT_TRUE(down()->isVisible());
  EXPECT_EQ(across()->geometry(), QRect(area.x(), area.y() - t, area.width(), t));
  EXPECT_EQ(down()->geometry(), QRect(area.x() - t, area.y(), t, area.height()));
  auto* corner = view->findChild<CRDRulerCorner*>();
  ASSERT_NE(corner, nullptr);
  EXPECT_TRUE(corner->isVisible());
  EXPECT_EQ(corner->geometry(), QRect(area.x() - t, area.y() - t, t, t));
  // The canvas is centred in the smaller visible area.
  EXPECT_EQ(view->scrollOrigin().x(), std::round((243 - area.width()) / 2.0));

  // Without the vertical ruler only the top margin stays.
  view->setHasVerticalRuler(false);
  EXPECT_EQ(view->viewport()->geometry(), plain.adjusted(0, t, 0, 0));
  EXPECT_FALSE(down()->isVisible());
  EXPECT_FALSE(corner->isVisible());

  view->setRulersVisible(false);
  EXPECT_EQ(view->viewport()->geometry(), plain);
  EXPECT_FALSE(across()->isVisible());
}

// The card's top-left corner reads 0 exactly where the canvas shows it, at every zoom and
// scroll position; its ticks are one pixel wide.
TEST_F(Rulers, FollowTheZoomAndTheScrollPosition) {
  show_rulers();
  canvas->setFrameSize({600, 400});
  struct Case {
    double factor;
    QPointF scroll;
  } cases[] = {{1, {0, 0}}, {0.25, {0, 0}}, {4, {100, 50}}, {4, {1500.5, 1200}}, {2, {37, 11}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.factor);
    view->setFactor(c.factor);
    view->scrollToPoint(c.scroll);
    const QPoint card_at = canvas->pos();
    for (CRDRulerView* ruler : {across(), down()}) {
      const bool horizontal = ruler == across();
      const Ruler_Scale scale = ruler->scale();
      EXPECT_EQ(scale.zoom, c.factor);
      EXPECT_EQ(Ruler_Pixel(scale, 0), horizontal ? card_at.x() : card_at.y());
      EXPECT_EQ(scale.length,
                horizontal ? view->viewport()->width() : view->viewport()->height());
      EXPECT_EQ(ruler->cardExtent(), horizontal ? 600 : 400);
    }
    // The horizontal ruler's ticks as drawn: the card's 0 when it is on the ruler, or
    // the first labelled tick, is a dark column one pixel wide.
    const QImage image = across()->grab().toImage();
    ASSERT_EQ(image.width(), across()->width());
    double at = card_at.x();
    if (at < 0)
      for (const Ruler_Tick& tick : Ruler_Ticks(across()->unit(), across()->scale(),
                                                across()->spacing()))
        if (tick.level == 0 && tick.pixel >= 2) {
          at = tick.pixel;
          break;
        }
    const int column = int(std::floor(at));
    const int row = image.height() - 3;  // above the edge line, where every tick reaches
    EXPECT_GT(darkness(image, column, row), 100) << column;
    EXPECT_LT(darkness(image, column - 1, row), 40) << column;
    EXPECT_LT(darkness(image, column + 1, row), 40) << column;
  }
}

TEST_F(Rulers, UnitsShowOnTheRulersAndInTheCorner) {
  show_rulers();
  for (double factor : {double(0.1f), 1.0, 4.0, 16.0}) {
    view->setFactor(factor);
    for (Ruler_Unit unit : {Ruler_Unit::Millimetres, Ruler_Unit::Inches, Ruler_Unit::Points}) {
      SCOPED_TRACE(Ruler_Unit_Abbreviation(unit).toStdString() + " " + std::to_string(factor));
      view->setRulerUnit(unit);
      EXPECT_EQ(across()->unit(), unit);
      EXPECT_EQ(down()->unit(), unit);
      EXPECT_EQ(view->findChild<CRDRulerCorner*>()->unit(), unit);
      // Numbers never run into each other, whatever their length.
      const QFontMetricsF metrics(across()->labelFont());
      const Ruler_Tick* previous = nullptr;
      int labels = 0;
      for (const Ruler_Tick& tick :
           Ruler_Ticks(unit, across()->scale(), across()->spacing())) {
        if (tick.level != 0) continue;
        ++labels;
        if (previous) {
          EXPECT_GE(tick.pixel - previous->pixel, metrics.horizontalAdvance(previous->label) + 4)
              << previous->label.toStdString();
        }
        previous = &tick;
      }
      EXPECT_GE(labels, 2);
    }
  }
}

// A line repaints the strips of its old and new places, on its ruler only.
TEST_F(Rulers, LinesRepaintOnlyTheirStrips) {
  show_rulers();
  settle();
  Paint_Recorder recorder({across(), down(), canvas, view->viewport()});
  auto strips = [](CRDRulerView* ruler, std::initializer_list<double> points) {
    QRegion region;
    for (double p : points) region += ruler->rulerlineRect(p);
    return region;
  };
  auto painted_area = [&](QObject* widget) {
    int area = 0;
    for (const QRect& r : recorder.painted.value(widget)) area += r.width() * r.height();
    return area;
  };

  canvas->beginEchoingMoveToRulers(QRectF(10, 20, 100, 40));
  EXPECT_EQ(across()->rulerlines(), (QList<double>{10, 60, 110}));
  EXPECT_EQ(down()->rulerlines(), (QList<double>{20, 40, 60}));
  EXPECT_EQ(canvas->rulerEchoedBounds(), QRectF(10, 20, 100, 40));
  settle();
  EXPECT_EQ(recorder.painted.value(across()), strips(across(), {10, 60, 110}));
  EXPECT_EQ(recorder.painted.value(down()), strips(down(), {20, 40, 60}));
  EXPECT_FALSE(recorder.painted.contains(canvas));
  EXPECT_FALSE(recorder.painted.contains(view->viewport()));

  recorder.painted.clear();
  canvas->continueEchoingMoveToRulers(QRectF(15, 20, 100, 40));  // across only
  EXPECT_EQ(across()->rulerlines(), (QList<double>{15, 65, 115}));
  settle();
  EXPECT_EQ(recorder.painted.value(across()), strips(across(), {10, 60, 110, 15, 65, 115}));
  EXPECT_LE(painted_area(across()), 6 * 3 * across()->height());
  EXPECT_FALSE(recorder.painted.contains(down()));
  EXPECT_FALSE(recorder.painted.contains(canvas));

  recorder.painted.clear();
  canvas->stopEchoingMoveToRulers();
  EXPECT_TRUE(across()->rulerlines().isEmpty());
  EXPECT_TRUE(down()->rulerlines().isEmpty());
  EXPECT_EQ(canvas->rulerEchoedBounds(), QRectF());
  settle();
  EXPECT_EQ(recorder.painted.value(down()), strips(down(), {20, 40, 60}));
  EXPECT_FALSE(recorder.painted.contains(canvas));

  // Drawn in the highlight colour over the ruler, one pixel wide.
  across()->moveRulerline(std::nullopt, 50);
  const QImage image = across()->grab().toImage();
  const int x = int(std::floor(Ruler_Pixel(across()->scale(), 50)));
  const QColor highlight = across()->palette().color(QPalette::Highlight);
  EXPECT_EQ(image.pixelColor(x, 2), highlight);
  EXPECT_NE(image.pixelColor(x + 1, 2), highlight);
  EXPECT_NE(image.pixelColor(x - 1, 2), highlight);
}

// Six lines follow a moved, resized or drawn-out rectangle while the rulers are shown,
// and go at the release; with the rulers hidden there are none.
TEST_F(Rulers, DragsMarkTheDraggedRectangle) {
  show_rulers();
  struct Case {
    const char* name;
    bool shown;
    const char* tool;   // a creation tool's class, or none
    QPointF press, to;  // canvas points
    QRectF during;      // the rectangle marked after the move
  } cases[] = {
      {"move", true, "", {40, 30}, {52, 37}, {32, 23, 60, 44}},
      {"resize", true, "", {80, 60}, {100, 90}, {20, 16, 80, 74}},
      {"create", true, "Shape_Control", {150, 20}, {190, 50}, {150, 20, 40, 30}},
      {"hidden", false, "", {40, 30}, {52, 37}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view->setRulersVisible(c.shown);
    document.Enable_Disable_Undo_Registraion(false);
    document.Clear_All_Undo_Redo();
    auto shape = Rect_Shape({20, 16, 60, 44});
    ASSERT_TRUE(document.insertGraphics({shape}, {0}));
    document.Enable_Disable_Undo_Registraion(true);
    canvas->changeSelectionIndexes({0});
    window.tool_class = QString::fromLatin1(c.tool);

    mouse(QEvent::MouseButtonPress, c.press);
    mouse(QEvent::MouseMove, (c.press + c.to) / 2);
    mouse(QEvent::MouseMove, c.to);
    const QRectF r = c.during;
    if (c.shown) {
      EXPECT_EQ(across()->rulerlines(), (QList<double>{r.left(), r.center().x(), r.right()}));
      EXPECT_EQ(down()->rulerlines(), (QList<double>{r.top(), r.center().y(), r.bottom()}));
      EXPECT_EQ(canvas->rulerEchoedBounds(), r);
    } else {
      EXPECT_TRUE(across()->rulerlines().isEmpty());
      EXPECT_TRUE(down()->rulerlines().isEmpty());
    }
    mouse(QEvent::MouseButtonRelease, c.to);
    EXPECT_TRUE(across()->rulerlines().isEmpty());
    EXPECT_TRUE(down()->rulerlines().isEmpty());
    EXPECT_EQ(canvas->rulerEchoedBounds(), QRectF());
  }
}

TEST_F(Rulers, CanvasSwitchAndItsMenuTitle) {
  show_rulers();
  EXPECT_TRUE(canvas->validateMenuItem(CRDGraphicView::Command::showOrHideRulers));
  EXPECT_TRUE(canvas->rulersShown());
  EXPECT_EQ(canvas->rulerMenuItemTitle(), "Hide Ruler");
  canvas->showOrHideRulers();
  EXPECT_FALSE(view->rulersVisible());
  EXPECT_EQ(canvas->rulerMenuItemTitle(), "Show Ruler");
  canvas->showOrHideRulers();
  EXPECT_TRUE(view->rulersVisible());

  // A canvas outside a scroll view has no rulers to switch.
  CRDGraphicView alone;
  alone.showOrHideRulers();
  EXPECT_FALSE(alone.rulersShown());
  EXPECT_EQ(alone.rulerMenuItemTitle(), "Show Ruler");
  alone.beginEchoingMoveToRulers(QRectF(1, 2, 3, 4));
  EXPECT_EQ(alone.rulerEchoedBounds(), QRectF());
}

}  // namespace
