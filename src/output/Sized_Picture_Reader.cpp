#include "output/Sized_Picture_Reader.h"

#include "platform/Bounded_File.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Rows converted at once: under 65,536 pixels, which Qt converts on the calling thread
// (larger ones it hands to its thread pool in pieces, costly when every core reads or
// draws already).
int band_rows(int width) { return std::clamp(65535 / std::max(1, width), 1, 64); }

// QImage's resolution when the file gave none (96 dpi): such pictures are one point a pixel.
int default_dpm() {
  static const int dpm = QImage(1, 1, QImage::Format_ARGB32).dotsPerMeterX();
  return dpm;
}

// The size in points of the whole picture of `whole` pixels, as Picture(QImage) gives it,
// from the resolution of its reading of `read` pixels (which belongs to those pixels when
// `scaled_resolution`).
QSizeF points_of(QSize whole, QSize read, const QImage& image, bool scaled_resolution) {
  const int dpm_x = image.dotsPerMeterX(), dpm_y = image.dotsPerMeterY();
  if (dpm_x <= 0 || dpm_y <= 0 || (dpm_x == default_dpm() && dpm_y == default_dpm()))
    return QSizeF(whole);
  const QSize pixels = scaled_resolution ? read : whole;
  const double points_per_meter = 72.0 / 0.0254;
  return QSizeF(pixels.width() * points_per_meter / dpm_x,
                pixels.height() * points_per_meter / dpm_y);
}

bool read_exactly(QFile& file, char* data, qint64 size) { return file.read(data, size) == size; }

struct Jpeg_Facts {
  bool known = false;      // the frame header and the first scan's were read
  bool one_scan = false;   // sequential, every component in the first scan
  qint64 coefficients = 0;  // bytes of the whole picture's coefficient buffers
};

// Walks a JPEG's markers up to its first scan: a sequential (baseline or extended) picture
// whose first scan holds every component is decoded scan line by scan line; any other
// (progressive, components in separate scans, arithmetic coding) keeps the coefficients of
// the whole picture while it is decoded.
Jpeg_Facts jpeg_facts(QFile& file) {
  Jpeg_Facts facts;
  constexpr int Max_Markers = 512;
  constexpr qint64 Max_Walk = qint64(4) << 20;
  int frame = -1, components = 0;
  std::array<uchar, 2> marker{};
  if (!file.seek(2)) return facts;
  for (int n = 0; n < Max_Markers && file.pos() < Max_Walk; ++n) {
    if (!read_exactly(file, reinterpret_cast<char*>(marker.data()), 1) || marker[0] != 0xFF)
      return facts;
    uchar code = 0xFF;
    while (code == 0xFF)
      if (!read_exactly(file, reinterpret_cast<char*>(&code), 1)) return facts;
    if (code == 0x01 || code == 0xD8 || (code >= 0xD0 && code <= 0xD7)) continue;
    if (code == 0xD9) return facts;
    uchar length_bytes[2];
    if (!read_exactly(file, reinterpret_cast<char*>(length_bytes), 2)) return facts;
    const int length = qFromBigEndian<quint16>(length_bytes);
    if (length < 2) return facts;
    const qint64 next = file.pos() + length - 2;
    const bool frame_header =
        code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
    if (frame_header) {
      QByteArray header(length - 2, Qt::Uninitialized);
      if (length < 8 || !read_exactly(file, header.data(), header.size())) return facts;
      const auto* h = reinterpret_cast<const uchar*>(header.constData());
      const qint64 height = qFromBigEndian<quint16>(h + 1), width = qFromBigEndian<quint16>(h + 3);
      components = h[5];
      if (header.size() < 6 + 3 * components || components == 0) return facts;
      int h_max = 1, v_max = 1;
      for (int c = 0; c < components; ++c) {
        h_max = std::max(h_max, h[6 + 3 * c + 1] >> 4);
        v_max = std::max(v_max, h[6 + 3 * c + 1] & 15);
      }
      facts.coefficients = 0;
      for (int c = 0; c < components; ++c) {
        const int hs = std::max(1, h[6 + 3 * c + 1] >> 4), vs = std::max(1, h[6 + 3 * c + 1] & 15);
        const qint64 blocks_x = (width * hs / h_max + 7) / 8 + 1;
        const qint64 blocks_y = (height * vs / v_max + 7) / 8 + 1;
        facts.coefficients += blocks_x * blocks_y * 64 * 2;
      }
      frame = code;
    } else if (code == 0xDA) {
      uchar in_scan = 0;
      if (frame < 0 || !read_exactly(file, reinterpret_cast<char*>(&in_scan), 1)) return facts;
      facts.known = true;
      facts.one_scan = (frame == 0xC0 || frame == 0xC1) && in_scan == components;
      return facts;
    }
    if (!file.seek(next)) return facts;
  }
  return facts;
}

}  // namespace

Sized_Picture_Reader::Sized_Picture_Reader(const QString& path) {
  if (path.isEmpty() || !Open_Regular_File(file_, path)) return;
  const QByteArray head = file_.peek(32);
  const auto* h = reinterpret_cast<const uchar*>(head.constData());
  if (head.size() >= 29 && head.startsWith("\x89PNG\r\n\x1a\n") && head.mid(12, 4) == "IHDR") {
    // Bit depth, colour type and interlace method of the header chunk.
    const int depth = h[24], colour = h[25], interlace = h[28];
    if (depth == 8 && (colour == 2 || colour == 4 || colour == 6) && interlace == 0)
      kind_ = Kind::Png_By_Rows;
  } else if (head.size() >= 3 && h[0] == 0xFF && h[1] == 0xD8 && h[2] == 0xFF) {
    const Jpeg_Facts facts = jpeg_facts(file_);
    kind_ = facts.known && facts.one_scan ? Kind::Jpeg_One_Scan : Kind::Jpeg_Coefficients;
    coefficient_pixels_ = facts.known ? (facts.coefficients + 3) / 4 : -1;
  }
  if (!file_.seek(0)) return;
  reader_.setDevice(&file_);
  reader_.setFormat(QFileInfo(path).suffix().toLower().toLatin1());
  reader_.setAutoTransform(true);
  stored_ = reader_.size();
  if (!stored_.isValid() || stored_.isEmpty()) {
    stored_ = QSize();
    return;
  }
  turned_ = reader_.transformation() & QImageIOHandler::TransformationRotate90;
  shown_ = turned_ ? stored_.transposed() : stored_;
  if (kind_ != Kind::Other && !reader_.supportsOption(QImageIOHandler::ScaledSize))
    kind_ = Kind::Other;
  if (kind_ == Kind::Jpeg_Coefficients && coefficient_pixels_ < 0)
    coefficient_pixels_ = 2 * qint64(stored_.width()) * stored_.height();  // four components
}

QSize Sized_Picture_Reader::Bounded(QSize at) const {
  if (!shown_.isValid()) return {};
  return QSize(std::clamp(at.width(), 1, shown_.width()), std::clamp(at.height(), 1, shown_.height()));
}

qint64 Sized_Picture_Reader::Reading_Pixels(QSize at) const {
  if (!shown_.isValid()) return 0;
  at = Bounded(at);
  const qint64 whole = qint64(stored_.width()) * stored_.height();
  const qint64 result = qint64(at.width()) * at.height();
  switch (kind_) {
    case Kind::Png_By_Rows:
      return result + 4 * qint64(stored_.width());
    case Kind::Jpeg_One_Scan:
    case Kind::Jpeg_Coefficients: {
      // The decoder scales by at most 1/8 each way, to a size of at most twice the result's
      // each way, which is then scaled to the result.
      const qint64 decoded = std::min(whole, std::max((whole + 63) / 64, 4 * result));
      return decoded + result + (kind_ == Kind::Jpeg_Coefficients ? coefficient_pixels_ : 0);
    }
    case Kind::Other:
      break;
  }
  // Decoded whole in its own format (a picture turned by its orientation twice), then
  // scaled a band at a time.
  const QImage::Format format = reader_.imageFormat();
  const int bits = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
  qint64 decoded = (whole * std::max(1, bits) + 31) / 32;
  decoded += decoded / 8;  // the decoders' own buffers
  if (reader_.transformation() != QImageIOHandler::TransformationNone) decoded *= 2;
  return decoded + qint64(shown_.width()) * band_rows(shown_.width()) + result;
}

Picture Sized_Picture_Reader::Read(QSize at) {
  if (!shown_.isValid() || qint64(shown_.width()) * shown_.height() > Picture::Max_Pixels)
    return {};
  at = Bounded(at);
  const bool by_decoder = kind_ != Kind::Other && at != shown_;
  if (by_decoder) reader_.setScaledSize(turned_ ? at.transposed() : at);
  QImage image = reader_.read();
  if (image.isNull() || qint64(image.width()) * image.height() > Picture::Max_Pixels) return {};
  if (!by_decoder && image.size() == at) return Picture(std::move(image));  // as Picture::fromFile
  // The whole picture's size in points: Qt's PNG reader scales the resolution the file
  // gives with the pixels it reads, the others keep it.
  const QSizeF points = points_of(shown_, image.size(), image,
                                  by_decoder && kind_ == Kind::Png_By_Rows);
  if (image.size() != at) image = Area_Scaled(image, at);
  if (image.isNull()) return {};
  const double points_per_meter = 72.0 / 0.0254;
  image.setDotsPerMeterX(qRound(at.width() * points_per_meter / points.width()));
  image.setDotsPerMeterY(qRound(at.height() * points_per_meter / points.height()));
  return Picture(std::move(image), points);
}

QImage Area_Scaled(const QImage& picture, QSize at) {
  if (picture.isNull() || at.isEmpty()) return {};
  const int w = picture.width(), h = picture.height();
  const int tw = std::min(at.width(), w), th = std::min(at.height(), h);
  const bool alpha = picture.hasAlphaChannel();
  const QImage::Format format = alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
  QImage out(tw, th, format);
  if (out.isNull()) return {};
  // Each source column (row) lies in one or two result columns (rows): result `index`
  // takes the part `first` of it, the next one the rest (none for the last).
  struct Split {
    std::vector<int> index;
    std::vector<float> first;
  };
  auto splits = [](int count, int result) {
    const double scale = double(count) / result;
    Split split{std::vector<int>(size_t(count)), std::vector<float>(size_t(count))};
    for (int i = 0; i < count; ++i) {
      const int index = std::min(result - 1, int(i / scale));
      split.index[size_t(i)] = index;
      split.first[size_t(i)] =
          index == result - 1 ? 1.0f : float(std::clamp((index + 1) * scale - i, 0.0, 1.0));
    }
    return split;
  };
  const Split columns = splits(w, tw), rows = splits(h, th);
  // Sums of a source row per result column, and of the result's row being made and of the
  // next one: four channels a pixel, one pixel more than the result for a rest past the last.
  std::vector<float> line(size_t(tw + 1) * 4, 0.0f), current(line.size(), 0.0f),
      next(line.size(), 0.0f);
  const float area = float(double(w) / tw * (double(h) / th));
  int row_of_current = 0;
  auto flush = [&](int y) {
    auto* target = reinterpret_cast<QRgb*>(out.scanLine(y));
    auto channel = [area](float sum) { return std::clamp(int(sum / area + 0.5f), 0, 255); };
    for (int x = 0; x < tw; ++x) {
      const float* v = &current[size_t(x) * 4];
      const int a = alpha ? channel(v[3]) : 255;
      target[x] = qRgba(std::min(channel(v[0]), a), std::min(channel(v[1]), a),
                        std::min(channel(v[2]), a), a);
    }
  };
  const bool direct = picture.format() == format;
  const int band_height = band_rows(w);
  QImage band;
  for (int y0 = 0; y0 < h; y0 += band_height) {
    const int n = std::min(band_height, h - y0);
    if (!direct) {
      band = picture.copy(0, y0, w, n).convertToFormat(format);
      if (band.isNull()) return {};
    }
    for (int r = 0; r < n; ++r) {
      const int y = y0 + r;
      const auto* source = reinterpret_cast<const QRgb*>(direct ? picture.constScanLine(y)
                                                                : band.constScanLine(r));
      // The row's sums per result column, added up in registers while the column lasts.
      float* sums = line.data();
      float red = 0, green = 0, blue = 0, opacity = 0;
      int column = 0;
      auto put = [&] {
        float* at_x = sums + size_t(column) * 4;
        at_x[0] = red, at_x[1] = green, at_x[2] = blue, at_x[3] = opacity;
      };
      for (int x = 0; x < w; ++x) {
        const QRgb p = source[x];
        const float r_p = float(qRed(p)), g_p = float(qGreen(p)), b_p = float(qBlue(p));
        const float a_p = alpha ? float(qAlpha(p)) : 255.0f;
        const int index = columns.index[size_t(x)];
        if (index != column) {
          put();
          column = index;
          red = green = blue = opacity = 0;
        }
        const float f = columns.first[size_t(x)];
        if (f >= 1.0f) {
          red += r_p, green += g_p, blue += b_p, opacity += a_p;
        } else {
          red += r_p * f, green += g_p * f, blue += b_p * f, opacity += a_p * f;
          put();
          ++column;
          const float g = 1.0f - f;
          red = r_p * g, green = g_p * g, blue = b_p * g, opacity = a_p * g;
        }
      }
      put();
      const int index = rows.index[size_t(y)];
      while (row_of_current < index) {
        flush(row_of_current++);
        current.swap(next);
        std::fill(next.begin(), next.end(), 0.0f);
      }
      const float f = rows.first[size_t(y)], g = 1.0f - f;
      const size_t used = size_t(tw) * 4;
      if (f >= 1.0f) {
        for (size_t i = 0; i < used; ++i) current[i] += line[i];
      } else {
        for (size_t i = 0; i < used; ++i) {
          current[i] += line[i] * f;
          next[i] += line[i] * g;
        }
      }
    }
  }
  flush(row_of_current);
  out.setDotsPerMeterX(std::max(1, qRound(picture.dotsPerMeterX() * double(tw) / w)));
  out.setDotsPerMeterY(std::max(1, qRound(picture.dotsPerMeterY() * double(th) / h)));
  return out;
}
