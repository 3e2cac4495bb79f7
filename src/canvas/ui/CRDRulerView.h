#pragma once
// A ruler beside a canvas's visible area: ticks and numbers in a unit (millimetres,
// inches or points), following the zoom and the scroll position, counted from the card's
// top-left corner. The card's extent shows lighter than the rest. The zooming scroll view
// places one above and one left of the visible area and keeps their scales in step.
//
// Ruler lines mark card points on the ruler (the edges and middle of a rectangle being
// dragged on the canvas). Moving one repaints only the narrow strips of its old and new
// places; the ticks come from a picture kept until the scale, size, look or unit changes.
//
// Lines fall on whole device pixels, one device pixel wide, so the ruler is sharp at
// every device pixel ratio. Colours come from the palette (window, base, window text,
// mid, highlight); the numbers use the widget's font at a smaller size.

#include "canvas/Ruler_Geometry.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

#include <optional>

class CRDRulerView : public QWidget {
  Q_OBJECT

 public:
  explicit CRDRulerView(Qt::Orientation orientation, QWidget* parent = nullptr);

  Qt::Orientation orientation() const { return orientation_; }

  void setUnit(Ruler_Unit unit);
  Ruler_Unit unit() const { return unit_; }

  // The zoom (pixels per card point), the card point at the ruler's start and the
  // card's extent along the ruler (its width or height in points).
  void setScale(double zoom, double offset, double card_extent);
  // The scale with the ruler's current length.
  Ruler_Scale scale() const;
  double cardExtent() const { return card_extent_; }
  // The division of the ruler at its zoom, for its font.
  Ruler_Spacing spacing() const;

  // The font of the numbers: the widget's font, smaller.
  QFont labelFont() const;
  // The ruler's breadth across: room for a number and the ticks.
  int ruleThickness() const { return Thickness_For_Font(font()); }
  static int Thickness_For_Font(const QFont& font);

  // Moves a ruler line from one card point to another: none (nullopt) to a point adds a
  // line, a point to none removes the line there, and a move between points moves it.
  void moveRulerline(std::optional<double> from, std::optional<double> to);
  // The card points of the lines shown, in the order they were added.
  const QList<double>& rulerlines() const { return lines_; }
  // The area a line at the card point repaints.
  QRect rulerlineRect(double point) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void paint_ruler(QPainter& painter, double ratio) const;
  void invalidate();

  Qt::Orientation orientation_;
  Ruler_Unit unit_ = Ruler_Unit::Millimetres;
  double zoom_ = 1;
  double offset_ = 0;
  double card_extent_ = 0;
  QList<double> lines_;
  QPixmap picture_;  // the ruler without its lines
  bool picture_valid_ = false;
};

// The square where the two rulers meet; it names the unit.
class CRDRulerCorner : public QWidget {
  Q_OBJECT

 public:
  explicit CRDRulerCorner(QWidget* parent = nullptr);
  void setUnit(Ruler_Unit unit);
  Ruler_Unit unit() const { return unit_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Ruler_Unit unit_ = Ruler_Unit::Millimetres;
};
