#include "model/CRDSignature.h"

#include "model/CRDImage.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"

#include <QPainter>

const QString CRDSignature::Default_Path = QStringLiteral("Default");

CRDSignature::CRDSignature(const QPointF& position, const Picture& contents,
                           const QString& sign_or_FP) {
  _contents_img = contents;
  file_path = Sample_Path(sign_or_FP);
  Set_Control_File_path(file_path);
  Set_Sign_Or_FP(sign_or_FP);
  const QSizeF size = contents.isNull() ? QSizeF(0, 0) : contents.size();
  _bounds = QRectF(position.x() - size.width() / 2, position.y() - size.height() / 2, size.width(),
                   size.height());
}

CRDSignature::CRDSignature(const CRDSignature& other) : CRDGraphic(other) {
  std::lock_guard<std::mutex> lock(other.picture_mutex_);
  _contents_img = other._contents_img;
  file_path = other.file_path;
}

QString CRDSignature::Sample_Path(const QString& sign_or_FP) {
  return Painting_Resource_Path() + (sign_or_FP == QLatin1String("S") ? QStringLiteral("/sign_sample.png")
                                                           : QStringLiteral("/fingerprints.png"));
}

void CRDSignature::load_locked(const QString& requested) {
  const QString path = requested == Default_Path ? Sample_Path(Sign_Or_FP_Val()) : requested;
  file_path = path;
  Set_Control_File_path(path);
  _contents_img = Picture::fromFile(Standardized_Path(path));
}

void CRDSignature::setFilePath(const QString& path) {
  std::lock_guard<std::mutex> lock(picture_mutex_);
  load_locked(path);
}

void CRDSignature::Reload_If_Path_Changed() {
  std::lock_guard<std::mutex> lock(picture_mutex_);
  if (file_path.isEmpty() || file_path != _file_path) load_locked(_file_path);
}

void CRDSignature::drawContentsInView(QPainter& painter, bool) {
  if (!ctrl_is_visible) return;
  Reload_If_Path_Changed();
  Picture picture;
  {
    std::lock_guard<std::mutex> lock(picture_mutex_);
    picture = _contents_img;
  }
  const QRectF b = bounds();
  Painter_State_Guard guard(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath box;
  box.addRect(b);
  Stroke_Border(painter, *this, box);
  if (picture.isNull() || !(b.width() > 0) || !(b.height() > 0)) return;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(b, picture.image());
}
