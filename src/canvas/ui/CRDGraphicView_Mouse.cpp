// The mouse on the canvas: a press selects, moves, resizes, draws a rubber band or draws
// out a new graphic. Each press is a small state machine that ends at its release.

#include "canvas/CRDGrid.h"
#include "canvas/ui/CRDGraphicView.h"
#include "canvas/ui/CRDZoomingScrollView.h"
#include "model/Common_Functions.h"
#include "model/Design_Window_Services.h"
#include "model/Shared_Design_State.h"
#include "model/Undo_Manager.h"

#include <QFileInfo>
#include <QMouseEvent>

#include <cmath>

namespace {
// The distance the pointer must travel before a press moves the selection.
constexpr double Move_Threshold = 2.0;

QString side_code() { return Card_Front_Or_Back == 1 ? QStringLiteral("B") : QStringLiteral("F"); }
}  // namespace

void CRDGraphicView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  event->accept();
  // A release that never arrived (the grab was taken away) ends the last press first.
  if (drag_.kind != Drag_Kind::None) end_drag();
  // A click into an inactive window only activates it while something is selected.
  if (!window()->isActiveWindow() && !selection_.isEmpty()) {
    window()->activateWindow();
    return;
  }
  mouseDown(event, 1);
}

void CRDGraphicView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  event->accept();
  if (drag_.kind != Drag_Kind::None) end_drag();
  mouseDown(event, 2);
}

void CRDGraphicView::mouseMoveEvent(QMouseEvent* event) {
  if (drag_.kind == Drag_Kind::None) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  event->accept();
  if (drag_.kind == Drag_Kind::Swallow) return;
  track(drag_point(event));
}

void CRDGraphicView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || drag_.kind == Drag_Kind::None) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  event->accept();
  if (drag_.kind != Drag_Kind::Swallow) track(drag_point(event));
  end_drag();
}

// The canvas point of a drag event, after scrolling the canvas when the pointer has left
// the visible area.
QPointF CRDGraphicView::drag_point(QMouseEvent* event) {
  const QPointF global = event->globalPosition();
  for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
    if (auto* scroll_view = qobject_cast<CRDZoomingScrollView*>(w)) {
      scroll_view->autoscroll(global);
      break;
    }
  }
  return pointFromWidget(mapFromGlobal(global));
}

void CRDGraphicView::mouseDown(QMouseEvent* event, int click_count) {
  stopEditing();
  const QPointF point = pointFromWidget(event->position());
  press_ending_ = Press_Ending{};
  const QString graphic_class = Window_Current_Graphic_Class();
  if (!graphic_class.isEmpty()) {
    // A press with a creation tool draws out a new graphic; it is not remembered, so the
    // sidebar turns to the card at the release.
    press_ending_.forget_selected_graphic = true;
    press_ending_.show_card_if_none = true;
    createGraphicOfClass(graphic_class, event, false, QRectF(), side_code(), QString(), QString());
    if (drag_.kind == Drag_Kind::None) end_press();
    return;
  }
  selected_graphic_.reset();
  press_ending_.show_card_if_none = true;
  if (click_count >= 2) {
    if (auto hit = graphicUnderPoint(point)) {
      selected_graphic_ = hit->graphic;
      if (!hit->graphic->ctrl_is_visible) {
        press_ending_ = Press_Ending{};
        return;
      }
      if (!hit->graphic->ctrl_is_locked) {
        startEditingGraphic(hit->graphic);
        if (hit->graphic->className() == QLatin1String("CRDBarcode")) Window_Open_Barcode_Window();
      }
      end_press();
      return;
    }
  }
  selectAndTrackMouseWithEvent(event);
  if (drag_.kind == Drag_Kind::None) end_press();
}

void CRDGraphicView::selectAndTrackMouseWithEvent(QMouseEvent* event) {
  const bool extending = event->modifiers().testFlag(Qt::ShiftModifier);
  const QPointF point = pointFromWidget(event->position());
  const auto hit = graphicUnderPoint(point);
  if (!hit) {
    if (!extending) changeSelectionIndexes({});
    marqueeSelectWithEvent(event);
    return;
  }
  const auto& graphic = hit->graphic;
  selected_graphic_ = graphic;
  Show_NSLog_Message(QFileInfo(graphic->_file_path).fileName());
  if (!graphic->ctrl_is_visible) return;
  press_ending_.show_selected_graphic = true;

  if (graphic->ctrl_is_locked) {
    if (!hit->isSelected) changeSelectionIndexes({hit->index});
    Window_Refresh_Canvas();
    return;
  }
  if (hit->handle != CRDGraphicNoHandle) {
    resizeGraphic(graphic, hit->handle, event);
    return;
  }
  bool now_selected = true;
  if (!extending) {
    if (!hit->isSelected) changeSelectionIndexes({hit->index});
  } else {
    Index_Set selection = selection_;
    if (hit->isSelected) {
      selection.removeAll(hit->index);
      now_selected = false;
    } else {
      selection << hit->index;
    }
    changeSelectionIndexes(selection);
  }
  if (now_selected) {
    moveSelectedGraphicsWithEvent(event);
  } else {
    drag_ = Drag{};
    drag_.kind = Drag_Kind::Swallow;
  }
}

void CRDGraphicView::moveSelectedGraphicsWithEvent(QMouseEvent* event) {
  drag_ = Drag{};
  drag_.kind = Drag_Kind::Move;
  drag_.start = drag_.last = pointFromWidget(event->position());
  drag_.group = selectedGraphics();
  drag_.group_bounds = CRDGraphic::boundsOfGraphics(drag_.group);
  drag_.offset = drag_.start - drag_.group_bounds.topLeft();
  hold_undo_group();
  begin_drag_echo();
}

void CRDGraphicView::resizeGraphic(const std::shared_ptr<CRDGraphic>& graphic, int handle,
                                   QMouseEvent* event) {
  if (!graphic || graphic->ctrl_is_locked) return;
  drag_ = Drag{};
  drag_.kind = Drag_Kind::Resize;
  drag_.start = pointFromWidget(event->position());
  drag_.graphic = graphic;
  drag_.handle = handle;
  hold_undo_group();
  begin_drag_echo();
}

// The changes of a whole drag are one undo step: grouping by event would make one of every
// pointer move.
void CRDGraphicView::hold_undo_group() {
  if (!document_) return;
  Undo_Manager* undo = document_->undoManager(side_);
  drag_.grouped_by_event = undo->groupsByEvent();
  undo->setGroupsByEvent(false);
  undo->beginUndoGrouping();
  drag_.undo_group = undo;
}

void CRDGraphicView::marqueeSelectWithEvent(QMouseEvent* event) {
  drag_ = Drag{};
  drag_.kind = Drag_Kind::Marquee;
  drag_.start = pointFromWidget(event->position());
  drag_.base_selection = selection_;
}

// One pass of the drag loop with the pointer at the canvas point.
void CRDGraphicView::track(const QPointF& point) {
  switch (drag_.kind) {
    case Drag_Kind::Move: {
      if (!drag_.moving) {
        if (std::abs(point.x() - drag_.start.x()) < Move_Threshold &&
            std::abs(point.y() - drag_.start.y()) < Move_Threshold)
          return;
        drag_.moving = true;
        hiding_handles_ = true;
        setNeedsDisplayInRect(CRDGraphic::drawingBoundsOfGraphics(drag_.group));
      }
      // The group's origin, not the pointer, lands on the grid.
      QPointF p = point;
      if (grid_) p = grid_->constrainedPoint(p - drag_.offset) + drag_.offset;
      if (p != drag_.last)
        CRDGraphic::translateGraphics(drag_.group, p.x() - drag_.last.x(), p.y() - drag_.last.y());
      drag_.last = p;
      break;
    }
    case Drag_Kind::Resize:
    case Drag_Kind::Create: {
      const QPointF p = grid_ ? grid_->constrainedPoint(point) : point;
      drag_.handle = drag_.graphic->resizeByMovingHandle(drag_.handle, p);
      break;
    }
    case Drag_Kind::Marquee: {
      const QRectF band(
          QPointF(std::min(drag_.start.x(), point.x()), std::min(drag_.start.y(), point.y())),
          QSizeF(std::abs(point.x() - drag_.start.x()), std::abs(point.y() - drag_.start.y())));
      if (band == marquee_) return;
      // The old and the new band are redrawn so that the band follows the pointer.
      setNeedsDisplayInRect(marquee_.adjusted(-1, -1, 1, 1));
      marquee_ = band;
      setNeedsDisplayInRect(marquee_.adjusted(-1, -1, 1, 1));
      const Index_Set touched = indexesOfGraphicsIntersectingRect(band);
      if (touched.isEmpty()) return;
      Index_Set selection = drag_.base_selection;
      for (int i : touched) {
        if (selection.contains(i))
          selection.removeAll(i);
        else
          selection << i;
      }
      changeSelectionIndexes(selection);
      break;
    }
    case Drag_Kind::None:
    case Drag_Kind::Swallow: break;
  }
  echo_drag();
}

void CRDGraphicView::end_drag() {
  stopEchoingMoveToRulers();
  const Drag drag = std::exchange(drag_, Drag{});
  if (Undo_Manager* undo = drag.undo_group) {
    undo->endUndoGrouping();
    undo->setGroupsByEvent(drag.grouped_by_event);
  }
  switch (drag.kind) {
    case Drag_Kind::Move:
      if (drag.moving) {
        hiding_handles_ = false;
        setNeedsDisplayInRect(CRDGraphic::drawingBoundsOfGraphics(drag.group));
      }
      Window_Refresh_Canvas();
      break;
    case Drag_Kind::Marquee:
      setNeedsDisplayInRect(marquee_.adjusted(-1, -1, 1, 1));
      marquee_ = QRectF();
      Window_Refresh_Canvas();
      break;
    case Drag_Kind::Create: finish_creation(); break;
    case Drag_Kind::Resize:
    case Drag_Kind::Swallow:
    case Drag_Kind::None: break;
  }
  end_press();
}

// What follows a press once its drag is over: the sidebar shows the clicked graphic, or
// the card when nothing is remembered.
void CRDGraphicView::end_press() {
  const Press_Ending ending = std::exchange(press_ending_, Press_Ending{});
  if (ending.forget_selected_graphic) selected_graphic_.reset();
  if (ending.show_selected_graphic) Window_Show_RHS_Properties(Selected_Graphic());
  if (ending.show_card_if_none && !Selected_Graphic()) Window_Show_RHS_Properties(nullptr);
}
