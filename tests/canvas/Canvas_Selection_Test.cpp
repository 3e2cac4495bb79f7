// Selection on the canvas: clicks, shift-clicks, the rubber band, hidden and locked
// graphics, the selection following list changes, handles and partial redraws.

#include "Canvas_Test_Support.h"

#include <QPaintEvent>

using namespace canvas_test;

namespace {

class Canvas_Selection : public Canvas_Test {
 protected:
  void SetUp() override {
    Canvas_Test::SetUp();
    // Three shapes side by side; index 0 is the front-most.
    add({Rect_Shape({10, 10, 30, 30}), Rect_Shape({60, 10, 30, 30}),
         Rect_Shape({110, 10, 30, 30})});
  }
};

TEST_F(Canvas_Selection, ClickShiftClickAndEmptyClick) {
  click({20, 20});
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));
  EXPECT_EQ(canvas->Selected_Graphic(), list()[0]);
  ASSERT_FALSE(window.sidebar.isEmpty());
  EXPECT_EQ(window.sidebar.last(), list()[0]);

  click({70, 20}, Qt::ShiftModifier);
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0, 1}));
  EXPECT_EQ(window.sidebar.last(), list()[1]);

  // Shift-clicking a selected graphic takes it out and does not move anything.
  drag({20, 20}, {40, 40}, Qt::ShiftModifier);
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({1}));
  EXPECT_EQ(list()[0]->bounds(), QRectF(10, 10, 30, 30));

  // A plain click on a selected graphic keeps the others selected (it may start a move).
  click({120, 20}, Qt::ShiftModifier);
  click({70, 20});
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({1, 2}));

  window.sidebar.clear();
  click({100, 80});
  EXPECT_TRUE(canvas->selectionIndexes().isEmpty());
  EXPECT_EQ(canvas->Selected_Graphic(), nullptr);
  EXPECT_EQ(window.sidebar, QList<std::shared_ptr<CRDGraphic>>({nullptr}));
}

TEST_F(Canvas_Selection, HiddenGraphicInFrontTakesTheClick) {
  auto hidden = Rect_Shape({50, 5, 50, 50});
  hidden->Set_Ctrl_Is_Visible(false);
  document.insertGraphics({hidden}, {0});
  canvas->changeSelectionIndexes({3});
  window.sidebar.clear();
  drag({70, 20}, {90, 30});  // over the hidden graphic and the one behind it
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({3}));
  EXPECT_EQ(list()[2]->bounds(), QRectF(60, 10, 30, 30));
  EXPECT_EQ(canvas->Selected_Graphic(), hidden);
  EXPECT_TRUE(window.sidebar.isEmpty());
}

TEST_F(Canvas_Selection, LockedGraphicIsSelectedButNeitherMovedNorResized) {
  list()[1]->ctrl_is_locked = true;
  canvas->changeSelectionIndexes({0});
  drag({70, 20}, {90, 50});
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({1}));
  EXPECT_EQ(list()[1]->bounds(), QRectF(60, 10, 30, 30));
  EXPECT_GT(window.refreshes, 0);
  EXPECT_EQ(window.sidebar.last(), list()[1]);
  // Its bottom-right handle resizes nothing either.
  drag({90, 40}, {120, 70});
  EXPECT_EQ(list()[1]->bounds(), QRectF(60, 10, 30, 30));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({1}));
}

TEST_F(Canvas_Selection, RubberBandTogglesAgainstTheSelectionItStartedFrom) {
  canvas->changeSelectionIndexes({0});
  press({5, 60}, Qt::ShiftModifier);
  move({30, 5});  // meets the first graphic only: it leaves the selection
  EXPECT_TRUE(canvas->selectionIndexes().isEmpty());
  move({80, 5});  // meets both: the first leaves, the second joins
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({1}));
  EXPECT_EQ(canvas->marqueeSelectionBounds(), QRectF(5, 5, 75, 55));
  move({6, 59});  // meets nothing: the last selection stands
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({1}));
  const int refreshes = window.refreshes;
  release({6, 59});
  EXPECT_EQ(canvas->marqueeSelectionBounds(), QRectF());
  EXPECT_EQ(window.refreshes, refreshes + 1);

  // Without Shift the band starts from an empty selection.
  drag({5, 60}, {150, 5});
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0, 1, 2}));
}

TEST_F(Canvas_Selection, SelectionFollowsItsGraphicsThroughListChanges) {
  const auto middle = list()[1];
  click({70, 20});
  ASSERT_EQ(canvas->Selected_Graphic(), middle);
  without_undo([&] { document.insertGraphics({Rect_Shape({0, 60, 10, 10})}, {0}); });
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({2}));
  without_undo([&] { document.removeGraphicsAtIndexes({0, 3}); });
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({1}));
  EXPECT_EQ(canvas->selectedGraphics(), Graphic_List({middle}));

  // The remembered graphic is forgotten once it leaves the list, even while the undo
  // history keeps it alive.
  canvas->delete_();
  EXPECT_TRUE(canvas->selectionIndexes().isEmpty());
  EXPECT_EQ(canvas->Selected_Graphic(), nullptr);
  canvas->undo();
  EXPECT_EQ(canvas->selectedGraphics(), Graphic_List({middle}));
}

TEST_F(Canvas_Selection, SameSizeButtonsFollowTheSelectionCount) {
  canvas->changeSelectionIndexes({0, 2});
  canvas->changeSelectionIndexes({2});
  canvas->selectAll();
  canvas->deselectAll();
  EXPECT_EQ(window.same_size_buttons, QList<bool>({true, false, true, false}));
}

TEST_F(Canvas_Selection, RememberedGraphicIsTheFrontMostNewlySelected) {
  canvas->changeSelectionIndexes({1, 2});
  EXPECT_EQ(canvas->Selected_Graphic(), list()[1]);
  canvas->changeSelectionIndexes({1, 2, 0});
  EXPECT_EQ(canvas->Selected_Graphic(), list()[0]);
}

TEST_F(Canvas_Selection, EmptySideShowsTheCardInTheSidebar) {
  window.sidebar.clear();
  document.removeGraphicsAtIndexes({0, 1});
  QApplication::processEvents();
  EXPECT_TRUE(window.sidebar.isEmpty());
  document.removeGraphicsAtIndexes({0});
  QApplication::processEvents();
  EXPECT_EQ(window.sidebar, QList<std::shared_ptr<CRDGraphic>>({nullptr}));
}

// ---- Drawing -----------------------------------------------------------------------------

QImage render(CRDGraphicView& canvas) {
  QImage image(canvas.size(), QImage::Format_ARGB32);
  image.fill(Qt::white);
  canvas.render(&image);
  return image;
}

TEST_F(Canvas_Selection, HandlesShowSelectionLockAndHiding) {
  // Handle 1 of each graphic sits on its top-left corner; its square is 6 points wide.
  auto handle_colour = [&](const QImage& image, int index) {
    const QPointF corner = list()[size_t(index)]->bounds().topLeft();
    return image.pixelColor(corner.toPoint() + QPoint(-1, -1));
  };
  list()[1]->ctrl_is_locked = true;
  list()[2]->Set_Ctrl_Is_Visible(false);
  canvas->changeSelectionIndexes({1, 2});
  QImage image = render(*canvas);
  EXPECT_EQ(handle_colour(image, 0), QColor(Qt::white));  // not selected
  EXPECT_EQ(handle_colour(image, 1), QColor(Qt::red));    // locked
  EXPECT_EQ(handle_colour(image, 2), QColor(128, 128, 128));
  // The hidden graphic draws nothing inside its handles.
  EXPECT_EQ(image.pixelColor(125, 25), QColor(Qt::white));

  canvas->moveRight();
  image = render(*canvas);
  EXPECT_TRUE(canvas->isHidingHandles());
  EXPECT_EQ(handle_colour(image, 2), QColor(Qt::white));
}

// A canvas that records the areas it repaints.
class Recording_Canvas : public CRDGraphicView {
 public:
  QRegion painted;

 protected:
  void paintEvent(QPaintEvent* event) override {
    painted += event->region();
    CRDGraphicView::paintEvent(event);
  }
};

TEST_F(Canvas_Selection, OnlyTheChangedAreasAreRedrawn) {
  canvas.reset();
  auto* recording = new Recording_Canvas;
  canvas.reset(recording);
  canvas->setFrameSize(QSizeF(200, 100));
  ASSERT_TRUE(canvas->bind(CRDGraphicViewGraphicsBindingName, &document));
  canvas->show();
  canvas->changeSelectionIndexes({1});
  QTest::qWait(20);

  // The drawing bounds of a 30 x 30 shape at (x, 10): 3 points around, 1 more in size, and
  // one pixel of margin for antialiasing.
  auto area = [](int x) { return QRect(x - 4, 6, 39, 39); };
  struct Case {
    const char* what;
    std::function<void()> change;
    QRegion expected;
  } cases[] = {
      {"joining the selection",
       [&] {
         canvas->changeSelectionIndexes({1, 2});
       },
       area(110)},
      {"moving",
       [&] {
         list()[0]->setBounds({20, 10, 30, 30});
       },
       QRegion(area(10)) + area(20)},
      {"removing", [&] { document.removeGraphicsAtIndexes({2}); }, area(110)},
  };
  for (const Case& c : cases) {
    recording->painted = QRegion();
    c.change();
    QTest::qWait(20);
    EXPECT_EQ(recording->painted, c.expected) << c.what;
  }
}

}  // namespace
