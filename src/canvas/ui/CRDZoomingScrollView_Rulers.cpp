// The rulers of the zooming scroll view: a horizontal ruler above and a vertical ruler
// left of the visible area, in the room the view keeps free beside it, with the corner
// square where they meet. Each ruler's start lies at the visible area's start, so a card
// point lies on the ruler exactly where the canvas shows it.

#include "canvas/ui/CRDGraphicView.h"
#include "canvas/ui/CRDRulerView.h"
#include "canvas/ui/CRDZoomingScrollView.h"

void CRDZoomingScrollView::setHasHorizontalRuler(bool has) {
  has_horizontal_ruler_ = has;
  if (has && !horizontal_ruler_) {
    horizontal_ruler_ = new CRDRulerView(Qt::Horizontal, this);
    horizontal_ruler_->setUnit(ruler_unit_);
    horizontal_ruler_->installEventFilter(this);
    horizontal_ruler_->hide();
  }
  tile_rulers();
}

void CRDZoomingScrollView::setHasVerticalRuler(bool has) {
  has_vertical_ruler_ = has;
  if (has && !vertical_ruler_) {
    vertical_ruler_ = new CRDRulerView(Qt::Vertical, this);
    vertical_ruler_->setUnit(ruler_unit_);
    vertical_ruler_->installEventFilter(this);
    vertical_ruler_->hide();
  }
  tile_rulers();
}

void CRDZoomingScrollView::setRulersVisible(bool visible) {
  if (visible == rulers_visible_) return;
  rulers_visible_ = visible;
  tile_rulers();
}

void CRDZoomingScrollView::setRulerUnit(Ruler_Unit unit) {
  ruler_unit_ = unit;
  if (horizontal_ruler_) horizontal_ruler_->setUnit(unit);
  if (vertical_ruler_) vertical_ruler_->setUnit(unit);
  if (ruler_corner_) ruler_corner_->setUnit(unit);
}

int CRDZoomingScrollView::rulerThickness() const {
  if (horizontal_ruler_) return horizontal_ruler_->ruleThickness();
  if (vertical_ruler_) return vertical_ruler_->ruleThickness();
  return CRDRulerView::Thickness_For_Font(font());
}

void CRDZoomingScrollView::tile_rulers() {
  const bool horizontal = rulers_visible_ && has_horizontal_ruler_ && horizontal_ruler_;
  const bool vertical = rulers_visible_ && has_vertical_ruler_ && vertical_ruler_;
  const int thickness = rulerThickness();
  const QMargins margins(vertical ? thickness : 0, horizontal ? thickness : 0, 0, 0);
  // New margins lay the view out again, which comes back here with the same margins.
  if (viewportMargins() != margins) setViewportMargins(margins);

  const QRect area = viewport()->geometry();
  if (horizontal_ruler_) {
    if (horizontal)
      horizontal_ruler_->setGeometry(area.x(), area.y() - thickness, area.width(), thickness);
    horizontal_ruler_->setVisible(horizontal);
  }
  if (vertical_ruler_) {
    if (vertical)
      vertical_ruler_->setGeometry(area.x() - thickness, area.y(), thickness, area.height());
    vertical_ruler_->setVisible(vertical);
  }
  if (horizontal && vertical && !ruler_corner_) {
    ruler_corner_ = new CRDRulerCorner(this);
    ruler_corner_->setUnit(ruler_unit_);
  }
  if (ruler_corner_) {
    if (horizontal && vertical)
      ruler_corner_->setGeometry(area.x() - thickness, area.y() - thickness, thickness, thickness);
    ruler_corner_->setVisible(horizontal && vertical);
  }
  update_rulers();
}

// Where the card lies in the visible area, in pixels, gives each ruler its offset: the
// canvas sits at minus the scroll position times the zoom, rounded to whole pixels.
void CRDZoomingScrollView::update_rulers() {
  if (!horizontal_ruler_ && !vertical_ruler_) return;
  const QPointF card_at = canvas_ ? QPointF(canvas_->pos()) : -origin_ * factor_;
  const QSizeF card = document_size();
  if (horizontal_ruler_) horizontal_ruler_->setScale(factor_, -card_at.x() / factor_, card.width());
  if (vertical_ruler_) vertical_ruler_->setScale(factor_, -card_at.y() / factor_, card.height());
}
