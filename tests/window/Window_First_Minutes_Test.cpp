// What a new user meets in the first minutes with the design window: the Edit commands
// and the keys reach the selection wherever the focus went, handles of a covered object
// stay in sight and in reach, and the layout keeps the card in place and usable.

#include "Window_Fixture.h"
#include "canvas/ui/CRDGraphicView.h"
#include "canvas/ui/CRDZoomingScrollView.h"
#include "model/CRDDocument.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"
#include "window/Tool_Placement.h"
#include "window/Window_Placement.h"
#include "window/ui/Text_Panel.h"
#include "window/ui/CRDWindowController.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace {

class First_Minutes : public test_support::Window_Fixture {
 protected:
  std::shared_ptr<CRDGraphic> add_shape(const char* code, const QRectF& bounds) {
    return Window_Fixture::add_shape(CRDDocument::Side::Front, code, bounds);
  }
  void mouse(QEvent::Type type, QPointF point) {
    Window_Fixture::mouse(window->_graphicView, type, point);
  }
  void click(QPointF point) { Window_Fixture::click(window->_graphicView, point); }
  // A key as the user types it: to the widget with the focus, shortcuts first.
  static void type(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key(key), modifiers);
  }
};

// The zoom pop-up and the grey backdrop used to keep the keyboard: the Edit shortcuts,
// Delete and the arrows then missed the selected object.
TEST_F(First_Minutes, KeysActOnTheSelectionAfterTheZoomPopUpOrABackdropClick) {
  CRDZoomingScrollView* scroll = window->_zoomingScrollView;
  CRDGraphicView* canvas = window->_graphicView;
  auto* pop_up = scroll->findChild<QComboBox*>(QStringLiteral("_factorPopUpButton"));
  ASSERT_NE(pop_up, nullptr);
  struct Case {
    const char* what;
    std::function<void()> steal_focus;
    double zoom;
  };
  const Case cases[] = {
      {"a zoom chosen in the pop-up",
       [&] {
         window->Sides_ComboBox->setFocus();  // wherever the focus was before
         QTest::mouseClick(pop_up, Qt::LeftButton);
         QAbstractItemView* list = pop_up->view();
         ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
         QTest::keyClick(list, Qt::Key_Down);  // 100% -> 125%
         QTest::keyClick(list, Qt::Key_Return);
       },
       1.25},
      {"a click on the backdrop",
       [&] {
         window->Sides_ComboBox->setFocus();
         const QPoint backdrop(3, 3);
         ASSERT_FALSE(canvas->geometry().contains(backdrop));
         QTest::mouseClick(scroll->viewport(), Qt::LeftButton, {}, backdrop);
       },
       1.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto first = add_shape("R", {20, 20, 60, 40});
    const auto second = add_shape("C", {120, 30, 60, 60});
    canvas->changeSelectionIndexes({0});
    c.steal_focus();
    EXPECT_EQ(canvas->zoomFactor(), c.zoom);
    EXPECT_EQ(QApplication::focusWidget(), canvas);

    type(Qt::Key_Right);
    type(Qt::Key_Down);
    EXPECT_EQ(first->bounds(), QRectF(21, 21, 60, 40));
    type(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0, 1}));
    type(Qt::Key_C, Qt::ControlModifier);
    type(Qt::Key_Delete);
    EXPECT_TRUE(document.graphics().empty());
    type(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(document.graphics().size(), 2u);
    canvas->selectAll();
    canvas->delete_();
  }
}

// The Edit commands and their shortcuts act on the current side's canvas with the focus
// anywhere in the window; a text field keeps its own.
TEST_F(First_Minutes, EditCommandsReachTheCanvasWhileTextFieldsKeepTheirOwn) {
  CRDGraphicView* canvas = window->_graphicView;
  const auto shape = add_shape("R", {20, 20, 60, 40});
  canvas->changeSelectionIndexes({0});

  window->Sides_ComboBox->setFocus();
  type(Qt::Key_Delete);
  EXPECT_TRUE(document.graphics().empty());
  type(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(document.graphics().size(), 1u);

  // A text field: its text is copied and deleted, the object stays.
  auto* field = new QLineEdit(window->card_setting_tab);
  field->show();
  field->setText(QStringLiteral("85.6"));
  field->setFocus();
  field->selectAll();
  canvas->changeSelectionIndexes({0});
  menu_item("Copy_menu_item")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("85.6"));
  menu_item("Delete_menu_item")->trigger();
  EXPECT_TRUE(field->text().isEmpty());
  type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(field->text(), QStringLiteral("85.6"));
  EXPECT_EQ(document.graphics().size(), 1u);
  // Undo stays with the design.
  menu_item("Select_All_menu_item")->trigger();
  EXPECT_EQ(field->selectedText(), QStringLiteral("85.6"));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));
}

// A new text shows "Text here" selected in the Text panel: what the user types next
// replaces it there and in the text on the card (the keys once went nowhere).
TEST_F(First_Minutes, TypingAfterTheTextToolGoesIntoTheNewText) {
  for (const bool back : {false, true}) {
    SCOPED_TRACE(back ? "back" : "front");
    if (back) press_tool("Back_Side_btn");
    press_tool("Text_Tool_btn");
    const Graphic_List& list = document.list(back ? CRDDocument::Side::Back : CRDDocument::Side::Front);
    ASSERT_FALSE(list.empty());
    const std::shared_ptr<CRDGraphic> created = list.front();
    ASSERT_EQ(created->className(), QStringLiteral("CRDText"));
    // Typed as the user types: to the widget that has the keyboard focus.
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus, window->text_panel->Text_value_Edit) << focus->objectName().toStdString();
    QTest::keyClicks(focus, QStringLiteral("Hi there"));
    EXPECT_EQ(created->Text_contents()->string(), QStringLiteral("Hi there"));
  }
}

// X11's own bindings for Redo lack Ctrl+Y (the offscreen platform's hold it).
TEST_F(First_Minutes, RedoAnswersCtrlYAndCtrlShiftZ) {
  const QList<QKeySequence> keys = menu_item("Redo_menu_item")->shortcuts();
  EXPECT_TRUE(keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
  EXPECT_TRUE(keys.contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
  window->_graphicView->setFocus();
  for (const QKeyCombination redo : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
    window->Rect_Tool_Clicked();
    ASSERT_EQ(document.graphics().size(), 1u);
    type(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(document.graphics().empty());
    type(redo.key(), redo.keyboardModifiers());
    EXPECT_EQ(document.graphics().size(), 1u) << QKeySequence(redo).toString();
    type(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(document.graphics().empty());
  }
}

// A selected object under a later one shows its handles over it and answers them.
TEST_F(First_Minutes, HandlesOfACoveredSelectionShowAndAnswer) {
  CRDGraphicView* canvas = window->_graphicView;
  const auto over = add_shape("R", {60, 40, 60, 40});  // the front-most, filled blue
  over->setFillColor(CRDColor::fromQColor(Qt::blue));
  over->setDrawingFill(true);
  const auto under = add_shape("R", {20, 20, 60, 40});

  click({30, 30});
  ASSERT_EQ(canvas->selectionIndexes(), Index_Set({1}));
  EXPECT_EQ(canvas->Selected_Graphic(), under);
  EXPECT_EQ(window->Last_Selected_Graphic.lock(), under);

  // The lower right handle of the one under, at (80, 60), inside the one over.
  const QImage shown = canvas->grab().toImage();
  const QColor handle(128, 128, 128);
  EXPECT_EQ(shown.pixelColor(80, 60), handle);
  EXPECT_EQ(shown.pixelColor(81, 61), handle);
  EXPECT_EQ(shown.pixelColor(90, 70), QColor(Qt::blue));

  mouse(QEvent::MouseButtonPress, {80, 60});
  mouse(QEvent::MouseMove, {90, 75});
  mouse(QEvent::MouseButtonRelease, {100, 90});
  EXPECT_EQ(under->bounds(), QRectF(20, 20, 80, 70));
  EXPECT_EQ(over->bounds(), QRectF(60, 40, 60, 40));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({1}));

  // Away from the handles the one over still takes the click.
  click({110, 75});
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));
  EXPECT_EQ(canvas->Selected_Graphic(), over);
}

// The card stays where it is whatever the sidebar shows.
TEST_F(First_Minutes, SidebarKeepsOneWidthOnEveryPage) {
  CRDGraphicView* canvas = window->_graphicView;
  const int width = window->sett_tab->width();
  const QPoint card = canvas->mapTo(window.get(), QPoint(0, 0));
  for (const char* button : {"Text_Tool_btn", "Line_Tool_btn", "Rect_Tool_btn", "Barcode_Tool_btn",
                             "Signature_Tool_btn"}) {
    SCOPED_TRACE(button);
    window->findChild<QToolButton*>(QString::fromLatin1(button))->click();
    QCoreApplication::processEvents();
    ASSERT_NE(window->sett_tab->widget(0), window->card_setting_tab);
    EXPECT_EQ(window->sett_tab->width(), width);
    EXPECT_EQ(canvas->mapTo(window.get(), QPoint(0, 0)), card);
  }
  window->Show_RHS_Properties(nullptr);
  QCoreApplication::processEvents();
  EXPECT_EQ(window->sett_tab->width(), width);
}

TEST_F(First_Minutes, TheSmallestWindowKeepsTheCanvasUsableAndScrollBarsFollow) {
  CRDZoomingScrollView* scroll = window->_zoomingScrollView;
  QScrollBar* vertical = scroll->verticalScrollBar();
  const QSize start = window->size();
  auto resize = [&](QSize size) {
    window->resize(size);
    QTest::qWait(50);  // the resizes reach every widget in their own time
  };

  resize({500, 350});  // below the minimum width: the minimum holds
  EXPECT_EQ(window->size(), window->minimumSize().expandedTo(QSize(500, 350)));
  resize(window->minimumSize());
  // A zoom at which the card is a little taller than the smallest viewport.
  const int card_height = scroll->viewport()->height() + 40;
  window->setZoomFactor(card_height / window->_graphicView->bounds().height());
  QTest::qWait(50);
  EXPECT_GE(scroll->viewport()->width(), CRDWindowController::Minimum_Canvas_Viewport.width());
  EXPECT_GE(scroll->viewport()->height(), CRDWindowController::Minimum_Canvas_Viewport.height());
  // The scroll view fills the design area, its bars wholly in sight.
  EXPECT_EQ(window->first_view->geometry(), window->myTargetView->rect());
  EXPECT_TRUE(scroll->rect().contains(QRect(vertical->mapTo(scroll, QPoint()), vertical->size())));
  ASSERT_LT(scroll->viewport()->height(), card_height);
  EXPECT_TRUE(vertical->isVisible());

  // Back at its size the card fits again and the vertical bar goes.
  resize(start);
  ASSERT_GT(scroll->viewport()->height(), card_height);
  EXPECT_FALSE(vertical->isVisible());
  EXPECT_EQ(vertical->maximum(), 0);
}

TEST(Window_Placement, TheFrameLiesInsideTheScreensFreeArea) {
  struct Case {
    const char* what;
    QRect available;
    QSize minimum;
    QRect placed;
  };
  const QSize wanted(1000, 800);
  const QPoint offset(100, 0);
  const Case cases[] = {
      {"room enough", {0, 0, 1600, 1000}, {700, 400}, {100, 0, 1000, 800}},
      {"a panel on top", {0, 32, 1600, 968}, {700, 400}, {100, 32, 1000, 800}},
      {"a panel on the left, narrow", {64, 0, 1000, 768}, {700, 400}, {64, 0, 1000, 768}},
      {"a second screen", {1920, 0, 1280, 1024}, {700, 400}, {2020, 0, 1000, 800}},
      {"a little room to the right", {0, 0, 1050, 900}, {700, 400}, {50, 0, 1000, 800}},
      {"smaller than the minimum", {0, 0, 640, 480}, {700, 500}, {0, 0, 700, 500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Place_Window_Frame(c.available, wanted, c.minimum, offset), c.placed);
  }
}

}  // namespace
