// The zooming scroll view and its centring clip view: the zoom pop-up, centring, scroll
// limits, following the card size, the backdrop and the card's silhouette; and the small
// pattern and text views.

#include "Canvas_Test_Support.h"

#include "canvas/Zoom_Geometry.h"
#include "canvas/ui/CRDZoomingScrollView.h"
#include "canvas/ui/Small_Views.h"

#include <QComboBox>
#include <QScrollBar>
#include <QSignalSpy>

using namespace canvas_test;

namespace {

class Zooming : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    view = std::make_unique<CRDZoomingScrollView>();
    canvas = new CRDGraphicView;
    canvas->setFrameSize({243, 154});
    ASSERT_TRUE(canvas->bind(CRDGraphicViewGraphicsBindingName, &document));
    view->setDocumentView(canvas);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);  // a steady viewport size
    view->show();
    set_viewport({800, 600});
  }
  void TearDown() override {
    view.reset();
    Design_Test::TearDown();
  }
  // Sizes the scroll view so that its viewport has the size.
  void set_viewport(QSize size) {
    for (int i = 0; i < 3 && view->viewport()->size() != size; ++i)
      view->resize(view->size() + size - view->viewport()->size());
    ASSERT_EQ(view->viewport()->size(), size);
  }

  Window_Double window;
  CRDDocument document;
  std::unique_ptr<CRDZoomingScrollView> view;
  CRDGraphicView* canvas = nullptr;
};

TEST_F(Zooming, SmallCardIsCentredAtEveryZoom) {
  view->setFactor(2);
  EXPECT_EQ(view->clipSize(), QSizeF(400, 300));
  EXPECT_EQ(view->scrollOrigin(), QPointF(-79, -73));
  EXPECT_EQ(canvas->geometry(), QRect(158, 146, 486, 308));
  EXPECT_EQ(canvas->bounds(), QRectF(0, 0, 243, 154));  // zooming leaves the card in points

  // A new card size re-centres at once.
  canvas->setFrameSize({100, 50});
  EXPECT_EQ(view->scrollOrigin(), QPointF(-150, -125));
  EXPECT_EQ(canvas->geometry(), QRect(300, 250, 200, 100));
}

TEST_F(Zooming, LargeCardScrollsInWholePointsInsideItself) {
  canvas->setFrameSize({1000, 800.4});
  EXPECT_EQ(view->scrollOrigin(), QPointF(0, 0));
  struct Case {
    QPointF proposed, expected;
  } cases[] = {
      {{-50, -0.4}, {0, 0}},
      {{120.4, 130.6}, {120, 131}},
      {{500, 500}, {200, 200}},
  };
  for (const Case& c : cases) {
    view->scrollToPoint(c.proposed);
    EXPECT_EQ(view->scrollOrigin(), c.expected) << c.proposed;
    EXPECT_EQ(canvas->pos(), -c.expected.toPoint());
  }
  EXPECT_EQ(view->horizontalScrollBar()->maximum(), 200);
  view->horizontalScrollBar()->setValue(50);
  EXPECT_EQ(view->scrollOrigin(), QPointF(50, 200));
  EXPECT_EQ(canvas->pos(), QPoint(-50, -200));

  // At 50 % the same card fits across: it is centred on that axis only.
  view->setFactor(0.5);
  EXPECT_EQ(view->clipSize(), QSizeF(1600, 1200));
  EXPECT_EQ(view->scrollOrigin(), QPointF(-300, -200));
}

TEST_F(Zooming, PopUpOffersTheElevenFactors) {
  QComboBox* pop_up = view->factorPopUpButton();
  ASSERT_EQ(pop_up->count(), 11);
  const char* labels[] = {"10%",  "25%",  "50%",  "75%",  "100%", "125%",
                          "150%", "200%", "400%", "800%", "1600%"};
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(pop_up->itemText(i), QLatin1String(labels[i]));
    EXPECT_EQ(pop_up->itemData(i).toDouble(), Zoom_Table()[size_t(i)].factor);
  }
  EXPECT_EQ(pop_up->itemData(0).toDouble(), 0.10000000149011612);
  EXPECT_EQ(pop_up->currentIndex(), 4);

  QSignalSpy chosen(view.get(), &CRDZoomingScrollView::factorChanged);
  emit pop_up->activated(7);
  EXPECT_EQ(view->factor(), 2.0);
  EXPECT_EQ(canvas->zoomFactor(), 2.0);
  EXPECT_EQ(canvas->size(), QSize(486, 308));
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toDouble(), 2.0);

  view->setFactor(1.25);
  EXPECT_EQ(pop_up->currentIndex(), 5);
  view->setFactor(0.3);
  EXPECT_EQ(pop_up->currentIndex(), -1);
  EXPECT_EQ(chosen.count(), 1);
}

TEST_F(Zooming, BackdropShadowAndTheCardsOutline) {
  const QRect card = canvas->geometry();  // (279, 223, 243, 154)
  auto grab = [&] {
    QImage image(view->viewport()->size(), QImage::Format_ARGB32);
    view->viewport()->render(&image);
    return image;
  };
  struct Case {
    int shape;
    bool corner_is_card;
  } cases[] = {{0, true}, {1, false}, {2, false}, {7, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    Card_Shape = c.shape;
    const QImage image = grab();
    EXPECT_EQ(image.pixelColor(card.center()), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(card.topLeft() + QPoint(1, 1)) == QColor(Qt::white),
              c.corner_is_card);
    // Below the card lies its shadow, darker than the backdrop beside it.
    const int y = card.bottom() + 6;
    EXPECT_LT(qGray(image.pixel(card.center().x(), y)), qGray(image.pixel(20, y)) - 20);
    // The gradient runs from light at the top to darker at the bottom.
    EXPECT_GT(qGray(image.pixel(5, 5)), qGray(image.pixel(5, 590)));
  }
}

TEST_F(Zooming, DragsScrollTheCanvasWhenThePointerLeavesTheView) {
  canvas->setFrameSize({1000, 800});
  const auto send = [&](QEvent::Type type, QPoint local) {
    QMouseEvent event(type, local, canvas->mapToGlobal(QPointF(local)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &event);
  };
  send(QEvent::MouseButtonPress, {100, 100});
  send(QEvent::MouseMove, {830, 100});  // 30 pixels right of the viewport
  EXPECT_EQ(view->scrollOrigin(), QPointF(30, 0));
  send(QEvent::MouseButtonRelease, {830, 100});
  EXPECT_EQ(canvas->pos(), QPoint(-30, 0));
}

// ---- Small views ------------------------------------------------------------------------

// A 4 x 4 pattern whose every pixel has its own colour.
class Pattern_Window : public Window_Double {
 public:
  Picture Loaded_Picture(const QString& name) override {
    requested << name;
    QImage image(4, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) image.setPixelColor(x, y, QColor(x * 60, y * 60, 0));
    return Picture(image, QSizeF(4, 4));
  }
  QStringList requested;
};

QColor pattern_at(int x, int y) {
  auto wrap = [](int v) { return ((v % 4) + 4) % 4; };
  return QColor(wrap(x) * 60, wrap(y) * 60, 0);
}

TEST(Small_Views, PatternsStartAtTheViewOrLieAlongTheWindow) {
  Pattern_Window window;
  QWidget top;
  top.resize(40, 30);
  auto* banner = new Repeat_Image(&top);
  auto* promotion = new Promotion_Pattern(&top);
  banner->setGeometry(5, 3, 10, 10);
  promotion->setGeometry(1, 13, 10, 10);
  top.show();
  auto grab = [](QWidget* w) {
    QImage image(w->size(), QImage::Format_ARGB32);
    w->render(&image);
    return image;
  };
  EXPECT_EQ(grab(banner).pixelColor(0, 0), pattern_at(0, 0));
  EXPECT_EQ(grab(banner).pixelColor(2, 1), pattern_at(2, 1));
  banner->move(6, 2);
  EXPECT_EQ(grab(banner).pixelColor(0, 0), pattern_at(0, 0));

  // The promotion pattern's tiles meet at the window's lower-left corner.
  EXPECT_EQ(grab(promotion).pixelColor(0, 0), pattern_at(1, 13 - 30));
  promotion->move(2, 14);
  EXPECT_EQ(grab(promotion).pixelColor(0, 0), pattern_at(2, 14 - 30));
  EXPECT_TRUE(window.requested.contains(QStringLiteral("banner_image")));
  EXPECT_TRUE(window.requested.contains(QStringLiteral("promotion_pattern_image")));
}

TEST(Small_Views, TextIsCentredVertically) {
  EXPECT_EQ(VerticallyCenteredTextFieldCell::titleRectForBounds({0, 0, 100, 40}, 16),
            QRectF(0, 12, 100, 28));
  EXPECT_EQ(VerticallyCenteredTextFieldCell::titleRectForBounds({10, 20, 50, 10}, 16),
            QRectF(10, 17, 50, 13));
}

}  // namespace
