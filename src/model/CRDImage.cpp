#include "model/CRDImage.h"

#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cmath>

const QString CRDImageIsFlippedHorizontallyKey = QStringLiteral("flippedHorizontally");
const QString CRDImageIsFlippedVerticallyKey = QStringLiteral("flippedVertically");

namespace {
std::atomic<Picture_Adjustment_Chain> installed_chain{nullptr};

QRectF centred_on(const QPointF& point, const Picture& picture) {
  const QSizeF size = picture.isNull() ? QSizeF(0, 0) : picture.size();
  return QRectF(point.x() - size.width() / 2, point.y() - size.height() / 2, size.width(),
                size.height());
}
}  // namespace

void Set_Picture_Adjustment_Chain(Picture_Adjustment_Chain chain) { installed_chain = chain; }

Picture_Adjustment_Chain Installed_Picture_Adjustment_Chain() { return installed_chain; }

QString Standardized_Path(const QString& path) {
  if (path.isEmpty()) return path;
  QString expanded = path;
  if (expanded == QLatin1String("~"))
    expanded = QDir::homePath();
  else if (expanded.startsWith(QLatin1String("~/")))
    expanded = QDir::homePath() + expanded.mid(1);
  return QDir::cleanPath(expanded);
}

CRDImage::CRDImage(const QPointF& position, const QString& path) {
  setFilePath(path);
  _bounds = centred_on(position, _contents);
}

CRDImage::CRDImage(const QPointF& position, const Picture& contents) {
  _contents = Capped_Picture(contents);
  _file_path = Library_Selected_Image;
  _bounds = centred_on(position, _contents);
}

Picture CRDImage::Capped_Picture(Picture picture) {
  const QSizeF size = picture.size();
  const float w = float(size.width()), h = float(size.height());
  if (w > float(Max_Picture_Width) || h > float(Max_Picture_Height))
    picture.setSize(QSizeF(std::min(size.width(), Max_Picture_Width),
                           std::min(size.height(), Max_Picture_Height)));
  return picture;
}

void CRDImage::setFilePath(const QString& path) {
  Set_File_Picture(path, Picture::fromFile(Standardized_Path(path)));
}

void CRDImage::Set_File_Picture(const QString& path, const Picture& picture) {
  Set_Control_File_path(path);
  _contents = Capped_Picture(picture);
}

Picture_Adjustments CRDImage::Adjustments() const {
  Picture_Adjustments a;
  a.grayscale = gray_Scale;
  a.sepia = Sepia;
  a.invert = invert_clr;
  a.hue = hue_val;
  a.saturation = sat_val;
  a.brightness = brt_val;
  a.contrast = con_val;
  // Whole degrees, truncated toward zero; reduced to one turn so that any stored value
  // converts safely.
  const double degrees = std::trunc(double(rotate_image));
  a.rotate = std::isfinite(degrees) ? int(std::fmod(degrees, 360.0)) : 0;
  // Measured in the file's pixels: on a picture read smaller, in proportion.
  const double scale =
      std::isfinite(_pixel_scale) && _pixel_scale > 0 ? std::min(_pixel_scale, 1.0) : 1.0;
  a.sharpness = float(srp_val * scale);
  a.exposure = ev_val;
  a.blur = float(blr_val * scale);
  return a;
}

Picture CRDImage::Adjusted_Picture() const {
  if (_contents.isNull()) return {};
  const Picture_Adjustment_Chain chain = Installed_Picture_Adjustment_Chain();
  return chain ? chain(_contents, Adjustments()) : _contents;
}

void CRDImage::drawContentsInView(QPainter& painter, bool) {
  if (!ctrl_is_visible) return;
  if (_file_path.isEmpty()) return;
  const QRectF b = bounds();
  Painter_State_Guard guard(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath box;
  box.addRect(b);
  Stroke_Border(painter, *this, box);
  if (!(b.width() > 0) || !(b.height() > 0)) return;
  const Picture adjusted = Adjusted_Picture();
  if (adjusted.isNull()) return;

  // The whole adjusted picture fills the bounds, mirrored inside them by the flips.
  QTransform placement;
  placement.translate(b.x() + (_isFlippedHorizontally ? b.width() : 0),
                      b.y() + (_isFlippedVertically ? b.height() : 0));
  placement.scale(_isFlippedHorizontally ? -1 : 1, _isFlippedVertically ? -1 : 1);
  painter.setTransform(placement, true);
  const double opacity = std::clamp(double(img_trnsp_val) / 100.0, 0.0, 1.0);
  painter.setOpacity(painter.opacity() * (std::isnan(opacity) ? 1.0 : opacity));
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRectF(0, 0, b.width(), b.height()), adjusted.image());
}

void CRDImage::setFlippedHorizontally(bool flipped) {
  willChangeValueForKey(CRDImageIsFlippedHorizontallyKey);
  _isFlippedHorizontally = flipped;
  didChangeValueForKey(CRDImageIsFlippedHorizontallyKey);
}

void CRDImage::setFlippedVertically(bool flipped) {
  willChangeValueForKey(CRDImageIsFlippedVerticallyKey);
  _isFlippedVertically = flipped;
  didChangeValueForKey(CRDImageIsFlippedVerticallyKey);
}

void CRDImage::makeNaturalSize() {
  if (ctrl_is_locked || _contents.isNull()) return;
  setBounds(QRectF(bounds().topLeft(), _contents.size()));
  setFlippedHorizontally(false);
  setFlippedVertically(false);
}

QVariant CRDImage::valueForKey(const QString& key) {
  if (key == CRDImageIsFlippedHorizontallyKey) return _isFlippedHorizontally;
  if (key == CRDImageIsFlippedVerticallyKey) return _isFlippedVertically;
  return CRDGraphic::valueForKey(key);
}

bool CRDImage::setValueForKey(const QString& key, const QVariant& value) {
  if (key == CRDImageIsFlippedHorizontallyKey) {
    setFlippedHorizontally(value.toBool());
    return true;
  }
  if (key == CRDImageIsFlippedVerticallyKey) {
    setFlippedVertically(value.toBool());
    return true;
  }
  return CRDGraphic::setValueForKey(key, value);
}

QStringList CRDImage::keysForValuesToObserveForUndo() const {
  return CRDGraphic::keysForValuesToObserveForUndo()
         << CRDImageIsFlippedHorizontallyKey << CRDImageIsFlippedVerticallyKey;
}

QStringList CRDImage::keysAffectedBy(const QString& key) const {
  if (key == CRDImageIsFlippedHorizontallyKey || key == CRDImageIsFlippedVerticallyKey)
    return {CRDGraphicDrawingContentsKey};
  return CRDGraphic::keysAffectedBy(key);
}

QString CRDImage::presentablePropertyNameForKey(const QString& key) const {
  if (key == CRDImageIsFlippedHorizontallyKey)
    return QCoreApplication::translate("UndoStrings", "Horizontal Flipping");
  if (key == CRDImageIsFlippedVerticallyKey)
    return QCoreApplication::translate("UndoStrings", "Vertical Flipping");
  return CRDGraphic::presentablePropertyNameForKey(key);
}
