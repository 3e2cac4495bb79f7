#include "canvas/CRDGrid.h"

#include "model/Design_Window_Services.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

const QString CRDGridAnyKey = QStringLiteral("any");

CRDGrid::CRDGrid(QObject* parent) : QObject(parent) {
  _hidingTimer.setSingleShot(true);
  connect(&_hidingTimer, &QTimer::timeout, this, &CRDGrid::stopShowingGridForTimer);
}

void CRDGrid::notify(const QString& key) {
  emit valueChanged(key);
  emit valueChanged(CRDGridAnyKey);
}

void CRDGrid::setColor(const CRDColor& color) {
  _color = color;
  notify(QStringLiteral("color"));
}

void CRDGrid::setSpacing(double spacing) {
  if (spacing != _spacing) {
    _spacing = spacing;
    if (spacing > 0 && !_isAlwaysShown) {
      // Show the grid until one second after the last change; start() restarts a
      // pending timer.
      _hidingTimer.start(CRDGridTemporaryShowingTimeMs);
    }
  }
  notify(QStringLiteral("spacing"));
}

void CRDGrid::setAlwaysShown(bool shown) {
  if (shown != _isAlwaysShown) {
    _isAlwaysShown = shown;
    Window_Set_Align_With_Grid_Enabled(shown);
    _hidingTimer.stop();
  }
  notify(QStringLiteral("alwaysShown"));
}

void CRDGrid::setConstraining(bool constraining) {
  _isConstraining = constraining;
  notify(QStringLiteral("constraining"));
}

void CRDGrid::stopShowingGridForTimer() {
  _hidingTimer.stop();
  emit valueChanged(CRDGridAnyKey);
}

QPointF CRDGrid::constrainedPoint(const QPointF& point) const {
  if (!isUsable() || !_isConstraining) return point;
  const double s = _spacing;
  return QPointF(std::floor(point.x() / s + 0.5) * s, std::floor(point.y() / s + 0.5) * s);
}

QRectF CRDGrid::alignedRect(const QRectF& rect) const {
  const double s = _spacing;
  if (!(s > 0)) return rect;
  const double left = std::floor(rect.x() / s + 0.5) * s;
  const double top = std::floor(rect.y() / s + 0.5) * s;
  const double right = std::floor((rect.x() + rect.width()) / s + 0.5) * s;
  const double bottom = std::floor((rect.y() + rect.height()) / s + 0.5) * s;
  return QRectF(left, top, right - left, bottom - top);
}

void CRDGrid::drawRect(QPainter& painter, const QRectF& rect) const {
  if (!isUsable() || !(_isAlwaysShown || isShownTemporarily())) return;
  const double s = _spacing;
  const double min_x = rect.left(), max_x = rect.right();
  const double min_y = rect.top(), max_y = rect.bottom();
  QPainterPath path;
  for (double i = std::ceil(min_x / s); i <= std::floor(max_x / s); ++i) {
    path.moveTo(i * s, min_y);
    path.lineTo(i * s, max_y);
  }
  for (double j = std::ceil(min_y / s); j <= std::floor(max_y / s); ++j) {
    path.moveTo(min_x, j * s);
    path.lineTo(max_x, j * s);
  }
  painter.save();
  QPen pen(_color.toQColor());
  pen.setWidthF(0);  // cosmetic hairline: the thinnest line the device draws
  pen.setCosmetic(true);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
  painter.restore();
}
