// The canvas and the rulers of its scroll view: the switch that shows and hides them, and
// the marks of a drag. Marks are ruler lines only: moving them repaints narrow strips of
// the rulers and nothing of the canvas.

#include "canvas/ui/CRDGraphicView.h"
#include "canvas/ui/CRDRulerView.h"
#include "canvas/ui/CRDZoomingScrollView.h"

#include <QCoreApplication>

namespace {

// The three places a rectangle marks on each ruler: its start, middle and end.
struct Marks {
  double across[3];  // on the horizontal ruler
  double down[3];    // on the vertical ruler
};

Marks marks_of(const QRectF& r) {
  return {{r.x(), r.x() + r.width() / 2, r.x() + r.width()},
          {r.y(), r.y() + r.height() / 2, r.y() + r.height()}};
}

// Moves each of a ruler's three lines from its old place (none: added) to its new place
// (none: removed).
void move_lines(CRDRulerView* ruler, const double* from, const double* to) {
  if (!ruler) return;
  for (int i = 0; i < 3; ++i)
    ruler->moveRulerline(from ? std::optional<double>(from[i]) : std::nullopt,
                         to ? std::optional<double>(to[i]) : std::nullopt);
}

}  // namespace

CRDZoomingScrollView* CRDGraphicView::enclosingScrollView() const {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget())
    if (auto* scroll_view = qobject_cast<CRDZoomingScrollView*>(w)) return scroll_view;
  return nullptr;
}

void CRDGraphicView::showOrHideRulers() {
  if (CRDZoomingScrollView* scroll_view = enclosingScrollView())
    scroll_view->setRulersVisible(!scroll_view->rulersVisible());
}

bool CRDGraphicView::rulersShown() const {
  const CRDZoomingScrollView* scroll_view = enclosingScrollView();
  return scroll_view && scroll_view->rulersVisible();
}

QString CRDGraphicView::rulerMenuItemTitle() const {
  return rulersShown() ? QCoreApplication::translate("CRDGraphicView", "Hide Ruler")
                       : QCoreApplication::translate("CRDGraphicView", "Show Ruler");
}

void CRDGraphicView::beginEchoingMoveToRulers(const QRectF& rect) {
  CRDZoomingScrollView* scroll_view = enclosingScrollView();
  if (!scroll_view) return;
  if (echoing_to_rulers_) stopEchoingMoveToRulers();
  const Marks to = marks_of(rect);
  move_lines(scroll_view->horizontalRulerView(), nullptr, to.across);
  move_lines(scroll_view->verticalRulerView(), nullptr, to.down);
  ruler_echoed_bounds_ = rect;
  echoing_to_rulers_ = true;
}

void CRDGraphicView::continueEchoingMoveToRulers(const QRectF& rect) {
  if (!echoing_to_rulers_) return;
  if (rect == ruler_echoed_bounds_) return;
  if (CRDZoomingScrollView* scroll_view = enclosingScrollView()) {
    const Marks from = marks_of(ruler_echoed_bounds_), to = marks_of(rect);
    move_lines(scroll_view->horizontalRulerView(), from.across, to.across);
    move_lines(scroll_view->verticalRulerView(), from.down, to.down);
  }
  ruler_echoed_bounds_ = rect;
}

void CRDGraphicView::stopEchoingMoveToRulers() {
  if (!echoing_to_rulers_) return;
  if (CRDZoomingScrollView* scroll_view = enclosingScrollView()) {
    const Marks from = marks_of(ruler_echoed_bounds_);
    move_lines(scroll_view->horizontalRulerView(), from.across, nullptr);
    move_lines(scroll_view->verticalRulerView(), from.down, nullptr);
  }
  ruler_echoed_bounds_ = QRectF();
  echoing_to_rulers_ = false;
}

void CRDGraphicView::begin_drag_echo() {
  if (!rulersShown()) return;
  switch (drag_.kind) {
    case Drag_Kind::Move: beginEchoingMoveToRulers(drag_.group_bounds); break;
    case Drag_Kind::Resize:
    case Drag_Kind::Create:
      if (drag_.graphic) beginEchoingMoveToRulers(drag_.graphic->bounds());
      break;
    default: break;
  }
}

void CRDGraphicView::echo_drag() {
  if (!echoing_to_rulers_) return;
  switch (drag_.kind) {
    case Drag_Kind::Move:
      if (drag_.moving)
        continueEchoingMoveToRulers(QRectF(drag_.last - drag_.offset, drag_.group_bounds.size()));
      break;
    case Drag_Kind::Resize:
    case Drag_Kind::Create:
      if (drag_.graphic) continueEchoingMoveToRulers(drag_.graphic->bounds());
      break;
    default: break;
  }
}
