// The rulers of the design window's canvases: the check box under the tools that toggles
// all three, the Edit menu's "Show Ruler" / "Hide Ruler" for the canvas the menu acts on, and
// the rulers given to the scroll views at start-up. Also the window's observation of the
// document's canvas size.

#include "canvas/ui/CRDZoomingScrollView.h"
#include "window/ui/CRDWindowController.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QMenu>
#include <QSignalBlocker>

void CRDWindowController::add_ruler_check_box() {
  auto* palette = findChild<QWidget*>(QStringLiteral("Tool_Palette"));
  auto* tools = qobject_cast<QGridLayout*>(palette->layout());
  Show_Ruler_chk = new QCheckBox(QStringLiteral("Ruler"), palette);
  Show_Ruler_chk->setObjectName(QStringLiteral("Show_Ruler_chk"));
  Show_Ruler_chk->setToolTip(QStringLiteral("Show or hide the rulers"));
  // Start-up turns the rulers on through this box.
  Show_Ruler_chk->setChecked(true);
  // The keyboard stays with the canvas.
  Show_Ruler_chk->setFocusPolicy(Qt::NoFocus);
  connect(Show_Ruler_chk, &QCheckBox::clicked, this, &CRDWindowController::Show_Hide_Ruler_ChkBox);
  // The first free row; the space below the palette's controls moves one row down.
  int row = 0;
  while (row < tools->rowCount() && tools->itemAtPosition(row, 0)) ++row;
  tools->addWidget(Show_Ruler_chk, row, 0, 1, 2);
  for (int r = 0; r < tools->rowCount(); ++r) tools->setRowStretch(r, 0);
  tools->setRowStretch(row + 1, 1);
}

void CRDWindowController::add_ruler_menu_item() {
  Edit_menu->addSeparator();
  Show_Hide_Ruler_menu_item = Edit_menu->addAction(QStringLiteral("Show Ruler"));
  Show_Hide_Ruler_menu_item->setObjectName(QStringLiteral("Show_Hide_Ruler_menu_item"));
  connect(Show_Hide_Ruler_menu_item, &QAction::triggered, this, [this] {
    run_edit_command(CRDGraphicView::Command::showOrHideRulers,
                     &CRDGraphicView::showOrHideRulers);
    Show_Ruler_State();
  });
  // The title names what the item will do for the canvas it acts on now.
  connect(Edit_menu, &QMenu::aboutToShow, this, &CRDWindowController::Show_Ruler_State);
}

void CRDWindowController::Show_Hide_Ruler_ChkBox() {
  for (CRDGraphicView* canvas : {_graphicView, _graphicView_BACK, _graphicView_TEMP})
    if (canvas) canvas->showOrHideRulers();
  Show_Ruler_State();
}

void CRDWindowController::Give_Canvases_Rulers() {
  for (CRDZoomingScrollView* scroll :
       {_zoomingScrollView, _zoomingScrollView_BACK, _zoomingScrollView_TEMP}) {
    if (!scroll) continue;
    scroll->setRulerUnit(Ruler_Unit::Millimetres);
    scroll->setHasHorizontalRuler(true);
    scroll->setHasVerticalRuler(true);
  }
  Show_Ruler_State();
}

void CRDWindowController::Show_Ruler_State() {
  if (Show_Ruler_chk) {
    // The side on show, else the side the commands act on.
    CRDGraphicView* shown = current_canvas();
    const std::pair<QWidget*, CRDGraphicView*> sides[] = {
        {first_view, _graphicView}, {second_view, _graphicView_BACK},
        {temp_design_view, _graphicView_TEMP}};
    for (const auto& [view, canvas] : sides)
      if (view && !view->isHidden()) shown = canvas;
    if (shown) {
      const QSignalBlocker quiet(Show_Ruler_chk);
      Show_Ruler_chk->setChecked(shown->rulersShown());
    }
  }
  if (Show_Hide_Ruler_menu_item)
    if (CRDGraphicView* canvas = command_canvas())
      Show_Hide_Ruler_menu_item->setText(canvas->rulerMenuItemTitle());
}

// ---- The document's canvas size ------------------------------------------------------------

void CRDWindowController::observe_canvas_size(CRDDocument* document) {
  disconnect(canvas_size_connection_);
  canvas_size_connection_ = {};
  if (document)
    canvas_size_connection_ = connect(document, &CRDDocument::canvasSizeDidChange, this,
                                      &CRDWindowController::Document_Canvas_Size_Changed);
}

void CRDWindowController::Document_Canvas_Size_Changed(const QVariant& canvas_size) {
  if (canvas_size.isNull() || !canvas_size.canConvert<QSizeF>()) return;
  SetDocumentCanvasSize(canvas_size.toSizeF());
}
