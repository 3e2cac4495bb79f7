#include "model/CRDBarcode.h"

#include "model/CRDImage.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"

#include <QPainter>

namespace {
Picture sample_picture() {
  return Cached_Picture_File(
      Standardized_Path(Painting_Resource_Path() + QStringLiteral("/barcode_sample.png")));
}
}  // namespace

CRDBarcode::CRDBarcode(const QPointF& position, const Picture&) {
  barcode_image_var_assign();
  const QSizeF size = _contents.isNull() ? QSizeF(0, 0) : _contents.size();
  _bounds = QRectF(position.x() - size.width() / 2, position.y() - size.height() / 2, size.width(),
                   size.height());
}

Picture CRDBarcode::Shown_Picture() const {
  return _barcode_image.isNull() ? sample_picture() : _barcode_image;
}

void CRDBarcode::barcode_image_var_assign() { _contents = Shown_Picture(); }

QRectF CRDBarcode::Picture_Rect() const {
  return QRectF(bounds().topLeft(), Shown_Picture().size());
}

void CRDBarcode::Hold_Barcode_Picture() {
  if (_barcode_image.isNull()) return;
  _bounds.setSize(_bounds.size().expandedTo(_barcode_image.size()));
}

void CRDBarcode::drawContentsInView(QPainter& painter, bool) {
  if (!ctrl_is_visible) return;
  barcode_image_var_assign();
  const QSizeF size = _contents.isNull() ? QSizeF(0, 0) : _contents.size();
  if (_contents.isNull() || !(size.width() > 0) || !(size.height() > 0)) return;
  Painter_State_Guard guard(painter);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRectF(bounds().topLeft(), size), _contents.image());
}

QRectF CRDBarcode::drawingBounds() const {
  const QRectF own = CRDGraphic::drawingBounds();
  const QRectF picture = Picture_Rect();
  if (!(picture.width() > 0) || !(picture.height() > 0)) return own;
  const double outset = CRDGraphicHandleHalfWidth;
  return Union_Rect(own, picture.adjusted(-outset, -outset, outset + 1, outset + 1));
}

bool CRDBarcode::isContentsUnderPoint(const QPointF& point) const {
  if (CRDGraphic::isContentsUnderPoint(point)) return true;
  const QRectF picture = Picture_Rect();
  return point.x() >= picture.left() && point.x() < picture.right() && point.y() >= picture.top() &&
         point.y() < picture.bottom();
}
