// The design window with its canvases: tool buttons create on the current side at the
// cascade, one undo step each; clicks on a canvas reach the sidebar; side views show
// their own canvases; the zoom holds for all sides; the Edit menu acts on the canvas.

#include "Window_Fixture.h"
#include "canvas/ui/CRDGraphicView.h"
#include "canvas/ui/CRDZoomingScrollView.h"
#include "model/CRDBarcode.h"
#include "model/CRDDocument.h"
#include "model/CRDSignature.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"
#include "window/Tool_Placement.h"
#include "window/ui/CRDWindowController.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace {

using Window_Canvas = test_support::Window_Fixture;

TEST_F(Window_Canvas, ToolButtonsCreateTheirObjectsAtTheCascadeAndShowThem) {
  const CRDWindowController& w = *window;
  struct Case {
    const char* button;
    const char* kind;
    const char* code;  // shape code, or signature kind ("": none to check)
    QSizeF size;
    QWidget* page;
    QPointF at;
  };
  // An empty front side of 243 x 154 points: the cascade walks down and wraps.
  const Case cases[] = {
      {"Rect_Tool_btn", "Shape_Control", "R", {50, 50}, w.shape_tab, {30, 30}},
      {"Line_Tool_btn", "CRDLine", "", {50, 50}, w.line_tab, {50, 50}},
      {"Text_Tool_btn", "CRDText", "", {50, 50}, w.text_edtng_tab, {70, 70}},
      {"Circle_Tool_btn", "Shape_Control", "C", {50, 50}, w.shape_tab, {90, 90}},
      {"Round_Rect_Tool_btn", "Shape_Control", "RR", {50, 50}, w.shape_tab, {110, 10}},
      {"Triangle_Tool_btn", "Shape_Control", "T", {50, 50}, w.shape_tab, {130, 30}},
      {"Barcode_Tool_btn", "CRDBarcode", "", {120, 60}, w.barcode_tab, {150, 50}},
      {"Signature_Tool_btn", "CRDSignature", "S", {100, 50}, w.sign_tab, {170, 70}},
      {"Fingure_Print_Tool_btn", "CRDSignature", "F", {45, 60}, w.sign_tab, {190, 90}},
      {"Diamond_Tool_btn", "Shape_Control", "D", {50, 50}, w.shape_tab, {10, 10}},
      {"Star_Tool_btn", "Shape_Control", "S", {50, 50}, w.shape_tab, {30, 30}},
      {"Double_Star_Tool_btn", "Shape_Control", "DS", {50, 50}, w.shape_tab, {50, 50}},
      {"Polygon_Tool_btn", "Shape_Control", "P", {50, 50}, w.shape_tab, {70, 70}},
  };
  size_t count = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    press_tool(c.button);
    ASSERT_EQ(document.graphics().size(), ++count);
    const std::shared_ptr<CRDGraphic> made = document.graphics().front();
    EXPECT_EQ(made->className(), QString::fromLatin1(c.kind));
    if (*c.code) {
      const QString code = made->className() == QLatin1String("CRDSignature")
                               ? made->sign_or_fingureprint
                               : made->_shape_type;
      EXPECT_EQ(code, QString::fromLatin1(c.code));
    }
    // A barcode's frame grows where its symbol is larger.
    const auto* barcode = dynamic_cast<const CRDBarcode*>(made.get());
    EXPECT_EQ(made->bounds(),
              QRectF(c.at, barcode ? c.size.expandedTo(barcode->_barcode_image.size()) : c.size));
    // Selected alone, remembered by the canvas, shown by the sidebar; the arrow again.
    EXPECT_EQ(w._graphicView->selectionIndexes(), Index_Set({0}));
    EXPECT_EQ(w._graphicView->Selected_Graphic(), made);
    EXPECT_EQ(w.Last_Selected_Graphic.lock(), made);
    EXPECT_EQ(first_page(), c.page);
    EXPECT_EQ(w.Selected_Control_Tool, Arrow_Tool);
  }
  // Signatures and fingerprints show the window's sample pictures.
  const auto* fingerprint = dynamic_cast<const CRDSignature*>(document.graphics()[4].get());
  ASSERT_NE(fingerprint, nullptr);
  EXPECT_FALSE(w.fp_sample_img.isNull());
  EXPECT_EQ(fingerprint->_contents_img, w.fp_sample_img);

  // The arrow, and the picture tools with their file choice cancelled, make nothing.
  for (const char* button : {"Arrow_Tool_btn", "Image_Tool_btn", "Image_Library_Tool_btn"}) {
    SCOPED_TRACE(button);
    press_tool(button);
    EXPECT_EQ(document.graphics().size(), count);
    EXPECT_EQ(w.Selected_Control_Tool, Arrow_Tool);
  }
  EXPECT_TRUE(document.graphics_back().empty());
  EXPECT_TRUE(document.graphics_temp().empty());
}

TEST_F(Window_Canvas, BackSideToolsCreateOnTheBackCanvas) {
  Card_Front_Or_Back = 1;
  window->changeViewController(1);
  for (int i = 0; i < 25; ++i) add_shape(CRDDocument::Side::Back, "R", {0, 0, 10, 10});
  const auto front_shape = add_shape(CRDDocument::Side::Front, "C", {10, 10, 20, 20});
  window->_graphicView->changeSelectionIndexes({0});

  press_tool("Rect_Tool_btn");
  ASSERT_EQ(document.graphics_back().size(), 26u);
  const auto made = document.graphics_back().front();
  // The step is the back side's count before the object came.
  EXPECT_EQ(made->bounds(), QRectF(35, 35, 50, 50));
  EXPECT_EQ(window->_graphicView_BACK->selectionIndexes(), Index_Set({0}));
  EXPECT_EQ(window->_graphicView_BACK->Selected_Graphic(), made);
  EXPECT_EQ(window->Last_Selected_Graphic.lock(), made);
  // The front side is left as it was; the creation is a step of the back side's history.
  EXPECT_EQ(document.graphics().size(), 1u);
  EXPECT_EQ(window->_graphicView->selectionIndexes(), Index_Set({0}));
  EXPECT_FALSE(document.undoManager()->canUndo());
  EXPECT_TRUE(document.undoManager(CRDDocument::Side::Back)->canUndo());

  // The card's sidebar clears the selection of the current side only.
  window->Show_RHS_Properties(nullptr);
  EXPECT_TRUE(window->_graphicView_BACK->selectionIndexes().isEmpty());
  EXPECT_EQ(window->_graphicView->selectionIndexes(), Index_Set({0}));
}

TEST_F(Window_Canvas, EachToolCreationIsOneUndoStepOfTheEditMenu) {
  ASSERT_EQ(window->focusWidget(), window->_graphicView);
  press_tool("Text_Tool_btn");
  press_tool("Rect_Tool_btn");
  ASSERT_EQ(document.graphics().size(), 2u);
  const auto text = document.graphics()[1];

  menu_item("Undo_menu_item")->trigger();
  ASSERT_EQ(document.graphics().size(), 1u);
  EXPECT_EQ(document.graphics()[0], text);
  menu_item("Undo_menu_item")->trigger();
  EXPECT_TRUE(document.graphics().empty());
  menu_item("Redo_menu_item")->trigger();
  ASSERT_EQ(document.graphics().size(), 1u);
  EXPECT_EQ(document.graphics()[0], text);
  EXPECT_EQ(window->_graphicView->selectionIndexes(), Index_Set({0}));

  // Shown items follow the canvas: Delete while something is selected, with the focus on
  // the canvas or in the sidebar.
  auto enabled_items = [&] {
    window->Edit_menu->popup(QPoint(0, 0));
    QStringList enabled;
    for (QAction* action : window->Edit_menu->actions())
      if (!action->isSeparator() && action->isEnabled()) enabled << action->text();
    window->Edit_menu->hide();
    return enabled;
  };
  EXPECT_EQ(enabled_items(), QStringList({"Undo", "Redo", "Cut", "Copy", "Paste", "Delete",
                                          "Select All", "Hide Ruler"}));
  menu_item("Delete_menu_item")->trigger();
  EXPECT_TRUE(document.graphics().empty());
  EXPECT_EQ(first_page(), window->card_setting_tab);
  EXPECT_EQ(enabled_items(), QStringList({"Undo", "Paste", "Select All", "Hide Ruler"}));
  window->Sides_ComboBox->setFocus();
  EXPECT_EQ(enabled_items(), QStringList({"Undo", "Paste", "Select All", "Hide Ruler"}));
  // Items hidden as disabled still answer their shortcuts afterwards.
  EXPECT_TRUE(menu_item("Cut_menu_item")->isEnabled());
  menu_item("Undo_menu_item")->trigger();
  ASSERT_EQ(document.graphics().size(), 1u);
  EXPECT_EQ(window->_graphicView->selectionIndexes(), Index_Set({0}));
}

// Every side keeps a history of its own: Undo and Redo take back what was done on the
// side shown, never a change on a side out of sight, and the toolbar and the Edit menu
// show that side's history.
TEST_F(Window_Canvas, UndoAndRedoActOnTheSideShown) {
  const auto front = add_shape(CRDDocument::Side::Front, "R", {20, 20, 40, 30});
  const auto back = add_shape(CRDDocument::Side::Back, "C", {60, 60, 30, 30});
  const auto drag = [&](CRDGraphicView* canvas, QPointF from, QPointF to) {
    mouse(canvas, QEvent::MouseButtonPress, from);
    mouse(canvas, QEvent::MouseMove, (from + to) / 2);
    mouse(canvas, QEvent::MouseMove, to);
    mouse(canvas, QEvent::MouseButtonRelease, to);
    QApplication::processEvents();
  };
  // Undo and Redo as the toolbar and the Edit menu show them.
  const auto history = [&] {
    window->Edit_menu->popup(QPoint(0, 0));
    const QString menu = QStringLiteral("%1%2")
                             .arg(menu_item("Undo_menu_item")->isEnabled() ? "U" : "-")
                             .arg(menu_item("Redo_menu_item")->isEnabled() ? "R" : "-");
    window->Edit_menu->hide();
    const QString buttons = QStringLiteral("%1%2")
                                .arg(window->Undo_btn->isEnabled() ? "U" : "-")
                                .arg(window->Redo_btn->isEnabled() ? "R" : "-");
    return menu == buttons ? buttons : menu + QStringLiteral(" menu, buttons ") + buttons;
  };

  drag(window->_graphicView, {30, 30}, {40, 30});
  ASSERT_EQ(front->bounds(), QRectF(30, 20, 40, 30));
  window->Back_Side_btn->click();
  EXPECT_EQ(history(), "--");
  drag(window->_graphicView_BACK, {75, 75}, {85, 75});
  ASSERT_EQ(back->bounds(), QRectF(70, 60, 30, 30));
  EXPECT_EQ(history(), "U-");

  window->Undo_btn->click();
  EXPECT_EQ(back->bounds(), QRectF(60, 60, 30, 30));
  EXPECT_EQ(front->bounds(), QRectF(30, 20, 40, 30));  // out of sight, untouched
  EXPECT_EQ(history(), "-R");
  menu_item("Undo_menu_item")->trigger();  // nothing left on this side
  EXPECT_EQ(front->bounds(), QRectF(30, 20, 40, 30));

  window->Front_Card_Btn->click();
  EXPECT_EQ(history(), "U-");
  menu_item("Undo_menu_item")->trigger();
  EXPECT_EQ(front->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_EQ(back->bounds(), QRectF(60, 60, 30, 30));
  EXPECT_EQ(history(), "-R");

  // The preview side starts without history; what is done there is undone there.
  window->Temp_Card_Btn->click();
  EXPECT_EQ(history(), "--");
  drag(window->_graphicView_TEMP, {25, 25}, {35, 45});
  ASSERT_EQ(front->bounds(), QRectF(30, 40, 40, 30));
  EXPECT_EQ(history(), "U-");
  window->Undo_btn->click();
  EXPECT_EQ(front->bounds(), QRectF(20, 20, 40, 30));
  window->Front_Card_Btn->click();
  EXPECT_EQ(history(), "-R");  // the front side's own redo is still there
  window->Redo_btn->click();
  EXPECT_EQ(front->bounds(), QRectF(30, 20, 40, 30));
}

// Select All and Paste select without the mouse: the sidebar and the toolbar follow the
// front-most selected object as after a click, on either side.
TEST_F(Window_Canvas, SelectAllAndPasteShowTheSelectionInTheSidebarAndToolbar) {
  const auto rectangle = add_shape(CRDDocument::Side::Front, "R", {20, 20, 60, 40});
  add_shape(CRDDocument::Side::Front, "C", {120, 30, 80, 80});
  struct Case {
    const char* what;
    int side;
    std::function<void()> select;
  };
  const Case cases[] = {
      {"Select All on the front", 0, [&] { menu_item("Select_All_menu_item")->trigger(); }},
      {"Paste on the front", 0, [&] { window->Paste_btn->click(); }},
      {"Paste on the back", 1, [&] { window->Paste_btn->click(); }},
      {"Select All on the back", 1, [&] { menu_item("Select_All_menu_item")->trigger(); }},
  };
  // Copied once: both shapes are on the clipboard.
  window->_graphicView->changeSelectionIndexes({0, 1});
  window->Copy_Clicked();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    (c.side == 0 ? window->Front_Card_Btn : window->Back_Side_btn)->click();
    ASSERT_EQ(first_page(), window->card_setting_tab);
    c.select();
    CRDGraphicView* canvas = window->current_canvas();
    ASSERT_FALSE(canvas->selectionIndexes().isEmpty());
    const auto front_most = canvas->selectedGraphics().front();
    EXPECT_EQ(canvas->Selected_Graphic(), front_most);
    EXPECT_EQ(window->Last_Selected_Graphic.lock(), front_most);
    EXPECT_EQ(first_page(), window->shape_tab);
    for (QToolButton* b : {window->Cut_btn, window->Copy_btn, window->Delete_btn,
                           window->Begin_Front_btn, window->Send_Back_btn, window->Lock_btn})
      EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(window->Unlock_btn->isEnabled());
  }
  EXPECT_EQ(document.graphics()[2], rectangle);  // the front's own, behind the pasted two
}

TEST_F(Window_Canvas, ClicksOnTheCanvasReachTheSidebar) {
  CRDGraphicView* canvas = window->_graphicView;
  const auto rectangle = add_shape(CRDDocument::Side::Front, "R", {20, 20, 60, 40});
  const auto ellipse = add_shape(CRDDocument::Side::Front, "C", {120, 30, 80, 80});

  click(canvas, {50, 40});
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));
  EXPECT_EQ(window->Last_Selected_Graphic.lock(), rectangle);
  EXPECT_EQ(first_page(), window->shape_tab);
  EXPECT_EQ(window->sett_tab->tabText(0), QStringLiteral("Rectangle Properties"));

  click(canvas, {160, 70});
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({1}));
  EXPECT_EQ(window->Last_Selected_Graphic.lock(), ellipse);
  EXPECT_EQ(window->sett_tab->tabText(0), QStringLiteral("Ellipse Properties"));

  // Moving it by a drag keeps it shown; a click beside every object shows the card.
  mouse(canvas, QEvent::MouseButtonPress, {160, 70});
  mouse(canvas, QEvent::MouseMove, {165, 75});
  mouse(canvas, QEvent::MouseButtonRelease, {170, 80});
  EXPECT_EQ(ellipse->bounds(), QRectF(130, 40, 80, 80));
  EXPECT_EQ(window->Last_Selected_Graphic.lock(), ellipse);
  click(canvas, {5, 140});
  EXPECT_TRUE(canvas->selectionIndexes().isEmpty());
  EXPECT_TRUE(window->Last_Selected_Graphic.expired());
  EXPECT_EQ(first_page(), window->card_setting_tab);
}

TEST_F(Window_Canvas, EveryDragIsOneUndoStepWhileTheEventLoopRunsBetweenMoves) {
  CRDGraphicView* canvas = window->_graphicView;
  const auto shape = add_shape(CRDDocument::Side::Front, "R", {20, 20, 60, 40});
  click(canvas, {50, 40});
  struct Case {
    const char* what;
    QPointF from, to;
    QRectF dragged;
  };
  const Case cases[] = {
      {"move", {50, 40}, {80, 70}, {50, 50, 60, 40}},
      {"resize by the lower right handle", {80, 60}, {100, 90}, {20, 20, 80, 70}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mouse(canvas, QEvent::MouseButtonPress, c.from);
    for (int step = 1; step <= 4; ++step) {
      mouse(canvas, QEvent::MouseMove, c.from + (c.to - c.from) * step / 4);
      QCoreApplication::processEvents();
    }
    mouse(canvas, QEvent::MouseButtonRelease, c.to);
    QCoreApplication::processEvents();
    EXPECT_EQ(shape->bounds(), c.dragged);
    menu_item("Undo_menu_item")->trigger();
    EXPECT_EQ(shape->bounds(), QRectF(20, 20, 60, 40));
    EXPECT_FALSE(document.undoManager()->canUndo());
  }
}

TEST_F(Window_Canvas, PressWithACreationToolDrawsTheObjectOutAndEndsWithTheArrow) {
  CRDGraphicView* canvas = window->_graphicView;
  window->Selected_Control_Tool = Round_Rect_Tool;  // as the fills set it
  mouse(canvas, QEvent::MouseButtonPress, {40, 40});
  mouse(canvas, QEvent::MouseMove, {55, 50});
  mouse(canvas, QEvent::MouseButtonRelease, {70, 60});
  ASSERT_EQ(document.graphics().size(), 1u);
  EXPECT_EQ(document.graphics()[0]->_shape_type, QStringLiteral("RR"));
  EXPECT_EQ(document.graphics()[0]->bounds(), QRectF(40, 40, 30, 20));
  // The drawn object is not remembered, so the sidebar shows the card.
  EXPECT_EQ(window->Selected_Control_Tool, Arrow_Tool);
  EXPECT_EQ(first_page(), window->card_setting_tab);
  canvas->undo();
  EXPECT_TRUE(document.graphics().empty());
}

TEST_F(Window_Canvas, SideViewsShowTheirOwnCanvases) {
  struct Side {
    CRDGraphicView* canvas;
    CRDZoomingScrollView* scroll;
    QWidget* view;
    CRDDocument::Side list;
  };
  const Side sides[] = {
      {window->_graphicView, window->_zoomingScrollView, window->first_view,
       CRDDocument::Side::Front},
      {window->_graphicView_BACK, window->_zoomingScrollView_BACK, window->second_view,
       CRDDocument::Side::Back},
      {window->_graphicView_TEMP, window->_zoomingScrollView_TEMP, window->temp_design_view,
       CRDDocument::Side::Temp},
  };
  for (int index : {1, 2, 0}) {
    SCOPED_TRACE(index);
    window->changeViewController(index);
    const Side& shown = sides[index];
    EXPECT_EQ(shown.canvas->document(), &document);
    EXPECT_EQ(shown.canvas->side(), shown.list);
    EXPECT_EQ(shown.canvas->grid(), window->_grid);
    EXPECT_EQ(shown.canvas->frameSize(), QSizeF(243, 154));
    EXPECT_EQ(shown.scroll->documentView(), shown.canvas);
    EXPECT_TRUE(shown.view->isAncestorOf(shown.scroll));
    EXPECT_TRUE(shown.canvas->isVisible());
    EXPECT_EQ(window->focusWidget(), shown.canvas);
    // The view's extra height lies above the design area: the zoom pop-up is in sight.
    QWidget* pop_up = shown.scroll->factorPopUpButton();
    EXPECT_TRUE(pop_up->isVisible());
    const QRect pop_up_in_area(pop_up->mapTo(window->myTargetView, QPoint(0, 0)), pop_up->size());
    EXPECT_TRUE(window->myTargetView->rect().contains(pop_up_in_area)) << QRectF(pop_up_in_area);
    for (const Side& other : sides) {
      if (other.canvas != shown.canvas) {
        EXPECT_FALSE(other.canvas->isVisible());
      }
    }
  }

  // Another document's lists, then none.
  CRDDocument other;
  window->setDocument(&other);
  for (const Side& side : sides) EXPECT_EQ(&side.canvas->graphics(), &other.list(side.list));
  window->setDocument(nullptr);
  for (const Side& side : sides) EXPECT_FALSE(side.canvas->isBound());
  window->setDocument(&document);
}

TEST_F(Window_Canvas, ZoomChosenOnOneSideHoldsForAllSides) {
  QComboBox* pop_up = window->_zoomingScrollView_BACK->factorPopUpButton();
  const int twice = pop_up->findText(QStringLiteral("200%"));
  ASSERT_GE(twice, 0);
  pop_up->setCurrentIndex(twice);
  emit pop_up->activated(twice);

  EXPECT_EQ(window->_zoomFactor, 2.0);
  for (CRDZoomingScrollView* scroll : {window->_zoomingScrollView, window->_zoomingScrollView_BACK,
                                       window->_zoomingScrollView_TEMP}) {
    EXPECT_EQ(scroll->factor(), 2.0) << scroll->objectName();
    EXPECT_EQ(scroll->factorPopUpButton()->currentText(), QStringLiteral("200%"));
    EXPECT_EQ(scroll->documentView()->size(), QSize(486, 308));
  }
  // The card keeps its size in points, and so do new objects and their places.
  EXPECT_EQ(window->Front_Canvas_Bounds(), QRectF(0, 0, 243, 154));
  press_tool("Rect_Tool_btn");
  ASSERT_EQ(document.graphics().size(), 1u);
  EXPECT_EQ(document.graphics()[0]->bounds(), QRectF(30, 30, 50, 50));
}

}  // namespace
