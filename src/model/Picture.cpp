#include "model/Picture.h"

#include "platform/Bounded_File.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace {
QSizeF points_of(const QImage& image) {
  if (image.isNull()) return {};
  // QImage reports 96 dpi when the file carried no resolution; such pictures are laid
  // out one point per pixel, as the design has always done.
  static const int default_dpm = QImage(1, 1, QImage::Format_ARGB32).dotsPerMeterX();
  const int dpm_x = image.dotsPerMeterX(), dpm_y = image.dotsPerMeterY();
  if (dpm_x <= 0 || dpm_y <= 0 || (dpm_x == default_dpm && dpm_y == default_dpm))
    return QSizeF(image.width(), image.height());
  const double points_per_meter = 72.0 / 0.0254;
  return QSizeF(image.width() * points_per_meter / dpm_x,
                image.height() * points_per_meter / dpm_y);
}
}  // namespace

Picture::Picture(QImage image) : image_(std::move(image)), size_(points_of(image_)) {}

Picture::Picture(QImage image, QSizeF size_in_points)
    : image_(std::move(image)), size_(size_in_points) {}

Picture Picture::fromFile(const QString& path, qint64 max_pixels, QSize* header_size) {
  if (header_size) *header_size = QSize();
  if (path.isEmpty()) return {};
  // Regular files only: a FIFO or a device named by a path would block the reader or feed
  // it without end.
  QFile file;
  if (!Open_Regular_File(file, path)) return {};
  QImageReader reader(&file, QFileInfo(path).suffix().toLower().toLatin1());
  reader.setAutoTransform(true);
  const QSize size = reader.size();
  if (header_size) *header_size = size;
  const qint64 limit = std::min(max_pixels, Max_Pixels);
  if (!size.isValid() || qint64(size.width()) * size.height() > limit) return {};
  QImage image = reader.read();
  if (image.isNull() || qint64(image.width()) * image.height() > limit) return {};
  return Picture(std::move(image));
}

bool Picture::operator==(const Picture& other) const {
  return size_ == other.size_ && image_ == other.image_;
}
