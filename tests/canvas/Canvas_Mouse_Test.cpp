// Dragging on the canvas: the move threshold, grid snapping, groups with locked members,
// resizing through flips, double clicks; every edit of a line is one undo step.

#include "Canvas_Test_Support.h"

#include "model/CRDBarcode.h"
#include "model/CRDLine.h"

using namespace canvas_test;

namespace {

class Canvas_Mouse : public Canvas_Test {
 protected:
  CRDGrid grid;
};

TEST_F(Canvas_Mouse, MoveStartsAtTwoPointsAndHidesHandlesUntilRelease) {
  canvas->setZoomFactor(10);  // fractions of a point are whole pixels
  add({Rect_Shape({10, 10, 30, 30})});
  press({20, 20});
  move({21.9, 21.9});
  EXPECT_EQ(list()[0]->bounds(), QRectF(10, 10, 30, 30));
  EXPECT_FALSE(canvas->isHidingHandles());
  move({22, 20});
  EXPECT_EQ(list()[0]->bounds(), QRectF(12, 10, 30, 30));
  EXPECT_TRUE(canvas->isHidingHandles());
  move({25, 24});
  release({25, 24});
  EXPECT_EQ(list()[0]->bounds(), QRectF(15, 14, 30, 30));
  EXPECT_FALSE(canvas->isHidingHandles());
  EXPECT_EQ(window.sidebar.last(), list()[0]);
  // One drag is one undo step.
  QApplication::processEvents();
  canvas->undo();
  EXPECT_EQ(list()[0]->bounds(), QRectF(10, 10, 30, 30));
}

TEST_F(Canvas_Mouse, GridSnapsTheGroupOriginNotThePointer) {
  grid.setConstraining(true);  // spacing 9
  canvas->setGrid(&grid);
  add({Rect_Shape({10, 10, 20, 20}), Rect_Shape({40, 30, 10, 10})});
  canvas->selectAll();
  drag({15, 15}, {30, 30});
  EXPECT_EQ(CRDGraphic::boundsOfGraphics(list()).topLeft(), QPointF(27, 27));
  EXPECT_EQ(list()[1]->bounds(), QRectF(57, 47, 10, 10));
}

TEST_F(Canvas_Mouse, GroupMoveLeavesLockedMembersInPlace) {
  add({Rect_Shape({10, 10, 20, 20}), Rect_Shape({40, 10, 20, 20})});
  list()[1]->ctrl_is_locked = true;
  canvas->selectAll();
  drag({15, 15}, {25, 35});
  EXPECT_EQ(bounds_of_list(), QList<QRectF>({{20, 30, 20, 20}, {40, 10, 20, 20}}));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0, 1}));
}

TEST_F(Canvas_Mouse, ResizeFollowsTheHandleThatFlipping) {
  add({Rect_Shape({20, 20, 100, 50})});
  canvas->changeSelectionIndexes({0});
  // Handle 5 (right middle) dragged across the left edge becomes handle 4.
  press({120, 45});
  move({0, 40});
  EXPECT_EQ(list()[0]->bounds(), QRectF(0, 20, 20, 50));
  move({10, 40});
  release({10, 40});
  EXPECT_EQ(list()[0]->bounds(), QRectF(10, 20, 10, 50));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));

  // The dragged point snaps to a constraining grid.
  grid.setConstraining(true);
  canvas->setGrid(&grid);
  drag({20, 70}, {61, 58});
  EXPECT_EQ(list()[0]->bounds(), QRectF(10, 20, 53, 34));
}

TEST_F(Canvas_Mouse, DoubleClickOpensTheBarcodeDesignerOnUnlockedBarcodesOnly) {
  auto barcode = std::make_shared<CRDBarcode>();
  barcode->setBounds({10, 10, 60, 30});
  auto shape = Rect_Shape({100, 10, 40, 40});
  add({shape, barcode});  // the barcode's sample picture reaches under the shape
  double_click({40, 25});
  EXPECT_EQ(window.barcode_windows, 1);
  EXPECT_EQ(canvas->Selected_Graphic(), barcode);
  double_click({120, 30});
  EXPECT_EQ(window.barcode_windows, 1);

  barcode->ctrl_is_locked = true;
  canvas->deselectAll();
  double_click({40, 25});
  EXPECT_EQ(window.barcode_windows, 1);
  EXPECT_EQ(canvas->Selected_Graphic(), barcode);
}

TEST_F(Canvas_Mouse, InactiveWindowTakesAClickOnlyWhileNothingIsSelected) {
  add({Rect_Shape({10, 10, 30, 30}), Rect_Shape({60, 10, 30, 30})});
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  click({20, 20});
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  click({70, 20});
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));
}

TEST_F(Canvas_Mouse, KeysWaitWhileTheButtonIsHeld) {
  add({Rect_Shape({10, 10, 30, 30})});
  press({20, 20});
  key(Qt::Key_Right);
  key(Qt::Key_Delete);
  release({20, 20});
  EXPECT_EQ(list().size(), 1u);
  EXPECT_EQ(list()[0]->bounds(), QRectF(10, 10, 30, 30));
}

// A line records its geometry for undo as its two end points, while its edits change its
// bounds: each edit must still be one step of its own, taken back whole by one Undo,
// leaving the step before it alone.
TEST_F(Canvas_Mouse, EveryEditOfALineIsOneUndoStep) {
  const struct {
    const char* name;
    std::function<void()> edit;
    QPointF begin, end;  // where the edit takes the line
  } cases[] = {
      {"dragged", [this] { drag({50, 40}, {60, 45}); }, {30, 25}, {90, 65}},
      {"end handle dragged",
       [this] {
         canvas->changeSelectionIndexes({1});
         drag({80, 60}, {120, 30});
       },
       {20, 20},
       {120, 30}},
      {"aligned",
       [this] {
         canvas->selectAll();
         canvas->alignLeftEdges();
       },
       {5, 20},
       {65, 60}},
      {"nudged",
       [this] {
         canvas->changeSelectionIndexes({1});
         key(Qt::Key_Right);
       },
       {21, 20},
       {81, 60}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    without_undo([&] { document.Clear_All_Undo_Redo(); });
    auto line = std::make_shared<CRDLine>();
    line->setBeginPoint({20, 20});
    line->setEndPoint({80, 60});
    auto shape = Rect_Shape({5, 70, 10, 10});
    add({shape, line});
    // An earlier, unrelated step.
    shape->setFillColor(CRDColor::redColor());
    QApplication::processEvents();
    const CRDColor red = shape->_fillColor;

    c.edit();
    QApplication::processEvents();
    ASSERT_EQ(line->beginPoint(), c.begin);
    ASSERT_EQ(line->endPoint(), c.end);

    canvas->undo();
    EXPECT_EQ(line->beginPoint(), QPointF(20, 20));
    EXPECT_EQ(line->endPoint(), QPointF(80, 60));
    EXPECT_EQ(shape->_fillColor, red);  // the earlier step is still there
    canvas->redo();
    EXPECT_EQ(line->beginPoint(), c.begin);
    EXPECT_EQ(line->endPoint(), c.end);
    canvas->undo();
    canvas->undo();
    EXPECT_NE(shape->_fillColor, red);
  }
}

}  // namespace
