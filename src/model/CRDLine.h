#pragma once
// A straight line between two opposite corners of the bounds. Two direction flags say
// which corner is the begin point and which the end point. Always stroked, never filled.

#include "model/CRDGraphic.h"

extern const QString CRDLineBeginPointKey;  // "beginPoint"
extern const QString CRDLineEndPointKey;    // "endPoint"

class CRDLine : public CRDGraphic {
 public:
  CRDLine() = default;
  explicit CRDLine(Bare bare) : CRDGraphic(bare) {}

  QString className() const override { return QStringLiteral("CRDLine"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDLine>(); }

  // Direction: the begin point on the left (top) edge and the end point on the right
  // (bottom) edge when true, the reverse when false.
  bool _pointsRight = false;
  bool _pointsDown = false;

  QPointF beginPoint() const;
  QPointF endPoint() const;
  // Move one end; the bounds and both flags follow (through setBounds).
  void setBeginPoint(const QPointF& point);
  void setEndPoint(const QPointF& point);
  // The rectangle spanned by the two points; right and down are set when the begin point
  // lies strictly left of (above) the end point.
  static QRectF boundsWithBeginPoint(const QPointF& begin, const QPointF& end,
                                     bool* pointsRight = nullptr, bool* pointsDown = nullptr);

  // From the begin point to the end point, with the stroke width and cap style.
  QPainterPath bezierPathForDrawing() const override;
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;
  void drawHandlesInView(QPainter& painter, bool lock_hai) const override;
  // 1 at the begin point, 2 at the end point, 0 elsewhere.
  int handleUnderPoint(const QPointF& point) const override;
  // Handle 1 moves the begin point, 2 the end point; a line never swaps handles.
  int resizeByMovingHandle(int handle, const QPointF& point) override;
  int creationSizingHandle() const override { return 2; }
  // Within half the stroke width plus 2 points of the line, measured vertically (or
  // horizontally for a vertical line), and within the bounds grown by that tolerance.
  bool isContentsUnderPoint(const QPointF& point) const override;

  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return true; }
  bool canSetDrawingFill() const override { return false; }
  bool canSetDrawingStroke() const override { return false; }
  bool canMakeNaturalSize() const override { return false; }

  // Colours the line (the record's setColor colours the fill).
  void setColor(const CRDColor& color);

  QVariant valueForKey(const QString& key) override;
  bool setValueForKey(const QString& key, const QVariant& value) override;
  // The record's keys without "bounds", with "beginPoint" and "endPoint": undo records
  // a line's geometry as its two points.
  QStringList keysForValuesToObserveForUndo() const override;
  // Both points depend on the bounds.
  QStringList keysAffectedBy(const QString& key) const override;
  QString presentablePropertyNameForKey(const QString& key) const override;

 private:
  void move_ends(const QPointF& begin, const QPointF& end);
};
