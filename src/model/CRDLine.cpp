#include "model/CRDLine.h"

#include "model/Shape_Control.h"

#include <QCoreApplication>
#include <QPainter>

#include <cmath>

const QString CRDLineBeginPointKey = QStringLiteral("beginPoint");
const QString CRDLineEndPointKey = QStringLiteral("endPoint");

QPointF CRDLine::beginPoint() const {
  const QRectF b = bounds();
  return QPointF(_pointsRight ? b.left() : b.right(), _pointsDown ? b.top() : b.bottom());
}

QPointF CRDLine::endPoint() const {
  const QRectF b = bounds();
  return QPointF(_pointsRight ? b.right() : b.left(), _pointsDown ? b.bottom() : b.top());
}

QRectF CRDLine::boundsWithBeginPoint(const QPointF& begin, const QPointF& end, bool* pointsRight,
                                     bool* pointsDown) {
  if (pointsRight) *pointsRight = begin.x() < end.x();
  if (pointsDown) *pointsDown = begin.y() < end.y();
  return QRectF(std::min(begin.x(), end.x()), std::min(begin.y(), end.y()),
                std::abs(end.x() - begin.x()), std::abs(end.y() - begin.y()));
}

void CRDLine::setBeginPoint(const QPointF& point) { move_ends(point, endPoint()); }

void CRDLine::setEndPoint(const QPointF& point) { move_ends(beginPoint(), point); }

void CRDLine::move_ends(const QPointF& begin, const QPointF& end) {
  bool right = false, down = false;
  const QRectF b = boundsWithBeginPoint(begin, end, &right, &down);
  // Announced as a change of the bounds; the flags change inside it, so an observer
  // reads both points before and after consistently.
  willChangeValueForKey(CRDGraphicBoundsKey);
  _bounds = b;
  _pointsRight = right;
  _pointsDown = down;
  didChangeValueForKey(CRDGraphicBoundsKey);
}

QPainterPath CRDLine::bezierPathForDrawing() const {
  QPainterPath path;
  path.moveTo(beginPoint());
  path.lineTo(endPoint());
  return path;
}

namespace {
Qt::PenCapStyle cap_style(int code) {
  switch (code) {
    case 1: return Qt::RoundCap;
    case 2: return Qt::SquareCap;
    default: return Qt::FlatCap;
  }
}
}  // namespace

void CRDLine::drawContentsInView(QPainter& painter, bool) {
  if (!ctrl_is_visible) return;
  const QColor color = strokeColor().toQColor();
  if (!color.isValid()) return;
  Painter_State_Guard guard(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.strokePath(bezierPathForDrawing(), Border_Pen(color, strokeWidth(), _stroke_border_type,
                                                        cap_style(Get_Line_Cap_Style())));
}

void CRDLine::drawHandlesInView(QPainter& painter, bool lock_hai) const {
  drawHandleInView(painter, beginPoint(), lock_hai);
  drawHandleInView(painter, endPoint(), lock_hai);
}

int CRDLine::handleUnderPoint(const QPointF& point) const {
  if (isHandleAtPoint(beginPoint(), point)) return 1;
  if (isHandleAtPoint(endPoint(), point)) return 2;
  return CRDGraphicNoHandle;
}

int CRDLine::resizeByMovingHandle(int handle, const QPointF& point) {
  if (handle == 1)
    setBeginPoint(point);
  else if (handle == 2)
    setEndPoint(point);
  return handle;
}

bool CRDLine::isContentsUnderPoint(const QPointF& point) const {
  const double tolerance = strokeWidth() / 2 + 2;
  // The coarse test admits the tolerance around the bounds too, so that a horizontal or
  // vertical line (bounds of zero height or width) can be hit at all.
  const QRectF b = bounds();
  if (!(point.x() >= b.left() - tolerance && point.x() < b.right() + tolerance &&
        point.y() >= b.top() - tolerance && point.y() < b.bottom() + tolerance))
    return false;
  const QPointF begin = beginPoint(), end = endPoint();
  const double dx = end.x() - begin.x();
  if (dx == 0) return std::abs(point.x() - begin.x()) <= tolerance;
  const double slope = (end.y() - begin.y()) / dx;
  return std::abs((point.x() - begin.x()) * slope - (point.y() - begin.y())) <= tolerance;
}

void CRDLine::setColor(const CRDColor& color) {
  setValueForKey(CRDGraphicStrokeColorKey, QVariant::fromValue(color));
}

QVariant CRDLine::valueForKey(const QString& key) {
  if (key == CRDLineBeginPointKey) return beginPoint();
  if (key == CRDLineEndPointKey) return endPoint();
  return CRDGraphic::valueForKey(key);
}

bool CRDLine::setValueForKey(const QString& key, const QVariant& value) {
  if (key == CRDLineBeginPointKey) {
    setBeginPoint(value.toPointF());
    return true;
  }
  if (key == CRDLineEndPointKey) {
    setEndPoint(value.toPointF());
    return true;
  }
  return CRDGraphic::setValueForKey(key, value);
}

QStringList CRDLine::keysForValuesToObserveForUndo() const {
  QStringList keys = CRDGraphic::keysForValuesToObserveForUndo();
  keys.removeAll(CRDGraphicBoundsKey);
  keys << CRDLineBeginPointKey << CRDLineEndPointKey;
  return keys;
}

QStringList CRDLine::keysAffectedBy(const QString& key) const {
  QStringList keys = CRDGraphic::keysAffectedBy(key);
  if (key == CRDGraphicBoundsKey) keys << CRDLineBeginPointKey << CRDLineEndPointKey;
  return keys;
}

QString CRDLine::presentablePropertyNameForKey(const QString& key) const {
  if (key == CRDLineBeginPointKey) return QCoreApplication::translate("UndoStrings", "Beginpoint");
  if (key == CRDLineEndPointKey) return QCoreApplication::translate("UndoStrings", "Endpoint");
  return CRDGraphic::presentablePropertyNameForKey(key);
}
