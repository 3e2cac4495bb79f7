// The rulers of the design window: shown on every side from the start, the toolbar's
// check box and the Edit menu's Show/Hide Ruler, the marks of a drag; and the window's
// observation of the document's canvas size.

#include "Window_Fixture.h"

#include "canvas/ui/CRDRulerView.h"

#include <QCheckBox>

using test_support::Window_Fixture;

namespace {

class Window_Rulers : public Window_Fixture {
 protected:
  QList<CRDZoomingScrollView*> scroll_views() const {
    return {window->_zoomingScrollView, window->_zoomingScrollView_BACK,
            window->_zoomingScrollView_TEMP};
  }
  // Which of the front, back and temporary sides show their rulers.
  QList<bool> shown() const {
    QList<bool> states;
    for (CRDZoomingScrollView* scroll : scroll_views()) states << scroll->rulersVisible();
    return states;
  }
  QCheckBox* check_box() const {
    return window->findChild<QCheckBox*>(QStringLiteral("Show_Ruler_chk"));
  }
  QAction* ruler_item() const { return menu_item("Show_Hide_Ruler_menu_item"); }
  // The menu item's title as the opened Edit menu shows it.
  QString shown_title() const {
    emit window->Edit_menu->aboutToShow();
    const QString title = ruler_item()->text();
    emit window->Edit_menu->aboutToHide();
    return title;
  }
};

TEST_F(Window_Rulers, EverySideHasRulersInMillimetresFromTheStart) {
  const QList<QToolButton*> side_buttons = {window->Front_Card_Btn, window->Back_Side_btn,
                                            window->Temp_Card_Btn};
  for (int side = 0; side < 3; ++side) {
    CRDZoomingScrollView* scroll = scroll_views()[side];
    SCOPED_TRACE(scroll->objectName().toStdString());
    side_buttons[side]->click();
    EXPECT_TRUE(scroll->horizontalRulerView()->isVisible());
    EXPECT_TRUE(scroll->hasHorizontalRuler());
    EXPECT_TRUE(scroll->hasVerticalRuler());
    EXPECT_TRUE(scroll->rulersVisible());
    ASSERT_NE(scroll->horizontalRulerView(), nullptr);
    EXPECT_EQ(scroll->horizontalRulerView()->unit(), Ruler_Unit::Millimetres);
    EXPECT_EQ(scroll->verticalRulerView()->unit(), Ruler_Unit::Millimetres);
    // The card's left edge reads 0 where the canvas shows it.
    CRDGraphicView* canvas = scroll->documentView();
    EXPECT_EQ(Ruler_Pixel(scroll->horizontalRulerView()->scale(), 0), canvas->x());
    EXPECT_EQ(scroll->horizontalRulerView()->cardExtent(), 243);
  }
  ASSERT_NE(check_box(), nullptr);
  EXPECT_TRUE(check_box()->isChecked());
  ASSERT_NE(ruler_item(), nullptr);
  EXPECT_EQ(shown_title(), "Hide Ruler");

  // A zoom chosen on one side moves every side's rulers with it.
  window->setZoomFactor(4);
  for (CRDZoomingScrollView* scroll : scroll_views())
    EXPECT_EQ(scroll->verticalRulerView()->scale().zoom, 4);
}

// The check box toggles all three sides, each from its own state; the menu item toggles
// the side it acts on; the check box and the title follow.
TEST_F(Window_Rulers, CheckBoxAndMenuItemToggleTheRulers) {
  check_box()->click();
  EXPECT_EQ(shown(), (QList<bool>{false, false, false}));
  EXPECT_FALSE(check_box()->isChecked());
  EXPECT_EQ(shown_title(), "Show Ruler");
  EXPECT_FALSE(window->_zoomingScrollView->horizontalRulerView()->isVisible());

  check_box()->click();
  EXPECT_EQ(shown(), (QList<bool>{true, true, true}));
  EXPECT_TRUE(check_box()->isChecked());
  EXPECT_EQ(shown_title(), "Hide Ruler");

  // The menu item on the back side hides the back side's rulers only.
  window->Back_Side_btn->click();
  ruler_item()->trigger();
  EXPECT_EQ(shown(), (QList<bool>{true, false, true}));
  EXPECT_EQ(ruler_item()->text(), "Show Ruler");
  EXPECT_FALSE(check_box()->isChecked());  // the back side is on show

  // The check box now turns the front and temporary sides off and the back side on.
  check_box()->click();
  EXPECT_EQ(shown(), (QList<bool>{false, true, false}));
  EXPECT_TRUE(check_box()->isChecked());
  EXPECT_EQ(shown_title(), "Hide Ruler");

  // Back on the front side, the box and the title speak of the front's rulers.
  window->Front_Card_Btn->click();
  EXPECT_FALSE(check_box()->isChecked());
  EXPECT_EQ(shown_title(), "Show Ruler");
  ruler_item()->trigger();
  EXPECT_EQ(shown(), (QList<bool>{true, true, false}));

  // The temporary side's own state shows while it is on show.
  window->Temp_Card_Btn->click();
  EXPECT_FALSE(check_box()->isChecked());
}

// A drag with the rulers shown marks the dragged rectangle's edges and middle on both
// rulers of its side, and the marks go at the release.
TEST_F(Window_Rulers, DragMarksTheRulersOfItsSide) {
  auto shape = add_shape(CRDDocument::Side::Front, "R", QRectF(40, 30, 60, 40));
  CRDGraphicView* canvas = window->_graphicView;
  CRDRulerView* across = window->_zoomingScrollView->horizontalRulerView();
  CRDRulerView* down = window->_zoomingScrollView->verticalRulerView();
  mouse(canvas, QEvent::MouseButtonPress, {50, 40});
  mouse(canvas, QEvent::MouseMove, {60, 45});
  mouse(canvas, QEvent::MouseMove, {70, 50});
  // Moved by (20, 10).
  EXPECT_EQ(across->rulerlines(), (QList<double>{60, 90, 120}));
  EXPECT_EQ(down->rulerlines(), (QList<double>{40, 60, 80}));
  // Other sides are not marked.
  EXPECT_TRUE(window->_zoomingScrollView_BACK->horizontalRulerView()->rulerlines().isEmpty());
  mouse(canvas, QEvent::MouseButtonRelease, {70, 50});
  EXPECT_EQ(shape->bounds(), QRectF(60, 40, 60, 40));
  EXPECT_TRUE(across->rulerlines().isEmpty());
  EXPECT_TRUE(down->rulerlines().isEmpty());

  // With the rulers hidden a drag marks nothing.
  check_box()->click();
  mouse(canvas, QEvent::MouseButtonPress, {70, 50});
  mouse(canvas, QEvent::MouseMove, {80, 50});
  EXPECT_TRUE(across->rulerlines().isEmpty());
  mouse(canvas, QEvent::MouseButtonRelease, {80, 50});
  EXPECT_EQ(shape->bounds(), QRectF(70, 40, 60, 40));
}

// A new print info announces "canvasSize" with no value: the card keeps its size. A size
// announced reaches all three canvases; values that are no size are ignored.
TEST_F(Window_Rulers, DocumentPrintInfoAndCanvasSize) {
  auto sizes = [&] {
    return QList<QSizeF>{window->_graphicView->frameSize(), window->_graphicView_BACK->frameSize(),
                         window->_graphicView_TEMP->frameSize()};
  };
  const QList<QSizeF> start = sizes();
  EXPECT_EQ(start, (QList<QSizeF>(3, QSizeF(243, 154))));

  document.setPrintInfo(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, {}));
  EXPECT_EQ(sizes(), start);
  emit document.canvasSizeDidChange(QVariant(QStringLiteral("300 x 200")));
  EXPECT_EQ(sizes(), start);

  emit document.canvasSizeDidChange(QVariant(QSizeF(300, 200)));
  EXPECT_EQ(sizes(), (QList<QSizeF>(3, QSizeF(300, 200))));
  EXPECT_EQ(window->_zoomingScrollView->horizontalRulerView()->cardExtent(), 300);

  // A window without the document hears nothing more of it.
  window->setDocument(nullptr);
  emit document.canvasSizeDidChange(QVariant(QSizeF(100, 100)));
  EXPECT_EQ(sizes(), (QList<QSizeF>(3, QSizeF(300, 200))));
}

}  // namespace
