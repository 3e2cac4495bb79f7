#include "output/Card_Picture_File.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

#include <png.h>
#include <zlib.h>

#include <cmath>
#include <csetjmp>
#include <vector>

namespace {

// Pixels per metre so that `pixels` cover `points` (1/72 inch); 0 when unknown.
png_uint_32 dots_per_metre(int pixels, double points) {
  if (pixels <= 0 || !(points > 0) || !std::isfinite(points)) return 0;
  return png_uint_32(std::lround(pixels * 72.0 / points / 0.0254));
}

bool fully_opaque(const QImage& image) {
  if (!image.hasAlphaChannel()) return true;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(line[x]) != 255) return false;
  }
  return true;
}

struct Png_Sink {
  QByteArray data;
  char message[256] = {};
};

void write_data(png_structp png, png_bytep bytes, png_size_t length) {
  static_cast<Png_Sink*>(png_get_io_ptr(png))->data.append(reinterpret_cast<const char*>(bytes),
                                                           qsizetype(length));
}
void flush_data(png_structp) {}
void on_error(png_structp png, png_const_charp message) {
  auto* sink = static_cast<Png_Sink*>(png_get_error_ptr(png));
  qstrncpy(sink->message, message ? message : "PNG encoding failed", sizeof sink->message);
  png_longjmp(png, 1);
}
void on_warning(png_structp, png_const_charp) {}

// No C++ object with a destructor lives in this frame: a libpng error jumps out of it.
bool encode(Png_Sink& sink, const QImage& image, bool alpha, png_uint_32 dpm_x,
            png_uint_32 dpm_y, png_bytep* rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, on_error, on_warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, &sink, write_data, flush_data);
  png_set_compression_level(png, 1);
  png_set_compression_buffer_size(png, 1 << 18);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  if (dpm_x > 0 && dpm_y > 0) png_set_pHYs(png, info, dpm_x, dpm_y, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  // QImage's 32-bit formats are 0xAARRGGBB words: B, G, R, A in memory on little-endian
  // machines, A, R, G, B on big-endian ones.
  if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
    png_set_bgr(png);
    if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
  } else {
    if (alpha) png_set_swap_alpha(png);
    else png_set_filler(png, 0, PNG_FILLER_BEFORE);
  }
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

QByteArray Encode_Card_PNG(const Picture& picture, QString* error) {
  if (picture.isNull()) {
    if (error) *error = QStringLiteral("There is no picture to save.");
    return {};
  }
  const QImage& source = picture.image();
  const bool alpha = !fully_opaque(source);
  // Opaque 32-bit pixels are written as they are (the fourth byte is dropped); translucent
  // ones need straight alpha.
  const bool as_is = !alpha && (source.format() == QImage::Format_ARGB32_Premultiplied ||
                                source.format() == QImage::Format_ARGB32 ||
                                source.format() == QImage::Format_RGB32);
  const QImage pixels =
      as_is ? source
            : source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (pixels.isNull()) {
    if (error) *error = QStringLiteral("Not enough memory to encode the picture.");
    return {};
  }
  std::vector<png_bytep> rows(size_t(pixels.height()));
  for (int y = 0; y < pixels.height(); ++y)
    rows[size_t(y)] = const_cast<png_bytep>(pixels.constScanLine(y));
  Png_Sink sink;
  sink.data.reserve(qsizetype(pixels.sizeInBytes() / 4));
  if (!encode(sink, pixels, alpha, dots_per_metre(pixels.width(), picture.size().width()),
              dots_per_metre(pixels.height(), picture.size().height()), rows.data())) {
    if (error)
      *error = sink.message[0] ? QString::fromUtf8(sink.message)
                               : QStringLiteral("PNG encoding failed.");
    return {};
  }
  return std::move(sink.data);
}

bool Write_Card_PNG(const Picture& picture, const QString& path, QString* error) {
  const QByteArray data = Encode_Card_PNG(picture, error);
  if (data.isEmpty()) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
    if (error) *error = file.errorString();
    return false;  // QSaveFile removes its temporary file
  }
  return true;
}

QString Create_Front_Card_Path(const QString& path) { return path; }

QString Create_Back_Card_Path(const QString& path) {
  const int slash = int(path.lastIndexOf(u'/'));
  const QString folder = path.left(slash + 1);
  const QString name = path.mid(slash + 1);
  const int dot = int(name.lastIndexOf(u'.'));
  if (dot <= 0) return folder + name + QStringLiteral("_Back");
  return folder + name.left(dot) + QStringLiteral("_Back") + name.mid(dot);
}

QString Batch_Card_Path(const QString& folder, int record, const QString& ext) {
  return QDir(folder).filePath(QStringLiteral("Card_%1.%2").arg(record + 1).arg(ext));
}

Picture Combine_Card_Pictures(const Picture& front, const Picture& back) {
  if (front.isNull() || back.isNull() || front.image().size() != back.image().size()) return {};
  const QSize px = front.image().size();
  QImage combined(px.width(), px.height() * 2, QImage::Format_ARGB32_Premultiplied);
  if (combined.isNull()) return {};
  combined.fill(Qt::transparent);
  {
    QPainter painter(&combined);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), front.image());
    painter.drawImage(QPoint(0, px.height()), back.image());
  }
  combined.setDotsPerMeterX(front.image().dotsPerMeterX());
  combined.setDotsPerMeterY(front.image().dotsPerMeterY());
  return Picture(std::move(combined),
                 QSizeF(front.size().width(), front.size().height() * 2));
}
