#pragma once
// The scroll view around a canvas: a zoom pop-up at the left end of the horizontal scroll
// bar, and a clip view (the viewport) that keeps a canvas smaller than the visible area
// centred in it, keeps scrolling inside a larger one, and paints the backdrop around the
// card: a grey gradient and, under the card, its outline with a drop shadow.
//
// Zooming scales what is shown only: the canvas keeps its bounds in card points, so card
// pictures do not depend on the zoom. Scroll positions are whole card points: the visible
// area (the clip) is the viewport's size divided by the zoom factor, and its origin is
// where the clip's top-left corner lies in canvas points (negative while centring).
//
// Rulers: a horizontal ruler above and a vertical ruler left of the visible area, shown
// while the view has them and its rulers are visible (CRDZoomingScrollView_Rulers.cpp).
// They follow the zoom and the scroll position and count from the card's top-left corner.

#include "canvas/Ruler_Geometry.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QSizeF>
#include <QWidget>

class CRDGraphicView;
class CRDRulerCorner;
class CRDRulerView;
class CRDZoomingScrollView;
class QComboBox;

// The viewport: backdrop and the card's shadowed silhouette under the canvas. (The scroll
// view receives the viewport's paint events and has it draw through drawRect.)
class SWCenteringClipView : public QWidget {
  Q_OBJECT

 public:
  explicit SWCenteringClipView(CRDZoomingScrollView* scroll_view);

  // Centres a canvas smaller than the clip, clamps the scroll position otherwise.
  void centerDocument();
  // The scroll position rule (canvas points): inside the canvas when the canvas is at
  // least as large as the clip on that axis, otherwise the centred position.
  QPointF constrainScrollPoint(const QPointF& proposed) const;

  // Paints the backdrop and the silhouette over the area.
  void drawRect(QPainter& painter, const QRect& area);

 private:
  const QImage& shadow_picture(const QSize& card_pixels, int card_shape, QRect* target);

  CRDZoomingScrollView* scroll_view_;
  QImage shadow_;
  QSize shadow_card_size_;
  int shadow_card_shape_ = -1;
};

class CRDZoomingScrollView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CRDZoomingScrollView(QWidget* parent = nullptr);
  ~CRDZoomingScrollView() override;

  // Puts the canvas into the clip view (the scroll view takes it over) and gives it the
  // current zoom factor.
  void setDocumentView(CRDGraphicView* canvas);
  CRDGraphicView* documentView() const { return canvas_; }
  SWCenteringClipView* clipView() const { return clip_view_; }
  // The zoom pop-up beside the horizontal scroll bar: the labels of Zoom_Table, each item
  // carrying its factor.
  QComboBox* factorPopUpButton() const { return factor_pop_up_; }

  double factor() const { return factor_; }
  // Scales the canvas by the factor (greater than 0) and re-centres; the pop-up shows the
  // matching item (none for a factor outside the table).
  void setFactor(double factor);

  // The visible area in canvas points: its origin and its size (viewport / factor).
  QPointF scrollOrigin() const { return origin_; }
  QSizeF clipSize() const;
  // Scrolls to the point after the scroll position rule.
  void scrollToPoint(const QPointF& origin);
  // Scrolls by the distance the pointer (global coordinates) lies outside the visible
  // area; false when it lies inside.
  bool autoscroll(const QPointF& global_position);

  // ---- Rulers ---------------------------------------------------------------------------
  // Gives the view a ruler (made at the first call) or takes it away.
  void setHasHorizontalRuler(bool has);
  bool hasHorizontalRuler() const { return has_horizontal_ruler_; }
  void setHasVerticalRuler(bool has);
  bool hasVerticalRuler() const { return has_vertical_ruler_; }
  // Shows or hides the rulers the view has.
  void setRulersVisible(bool visible);
  bool rulersVisible() const { return rulers_visible_; }
  // The rulers, once made (nullptr before).
  CRDRulerView* horizontalRulerView() const { return horizontal_ruler_; }
  CRDRulerView* verticalRulerView() const { return vertical_ruler_; }
  // The unit of both rulers (millimetres at first).
  void setRulerUnit(Ruler_Unit unit);
  Ruler_Unit rulerUnit() const { return ruler_unit_; }
  // The breadth a shown ruler takes beside the visible area.
  int rulerThickness() const;

 signals:
  // The user chose a factor in the pop-up (the scroll view has applied it already).
  void factorChanged(double factor);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class SWCenteringClipView;
  void layout_document();
  QSizeF document_size() const;
  // Rulers: the room beside the visible area and their places; their scales.
  void tile_rulers();
  void update_rulers();

  SWCenteringClipView* clip_view_ = nullptr;
  QComboBox* factor_pop_up_ = nullptr;
  QPointer<CRDGraphicView> canvas_;
  double factor_ = 1.0;
  QPointF origin_;
  bool laying_out_ = false;

  CRDRulerView* horizontal_ruler_ = nullptr;
  CRDRulerView* vertical_ruler_ = nullptr;
  CRDRulerCorner* ruler_corner_ = nullptr;
  bool has_horizontal_ruler_ = false;
  bool has_vertical_ruler_ = false;
  bool rulers_visible_ = false;
  Ruler_Unit ruler_unit_ = Ruler_Unit::Millimetres;
};
