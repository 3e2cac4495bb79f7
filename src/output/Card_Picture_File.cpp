#include "output/Card_Picture_File.h"

#include "canvas/CRDRenderingView.h"
#include "platform/Whole_File.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Pixels per metre so that `pixels` cover `points` (1/72 inch); 0 when unknown.
uint32_t dots_per_metre(int pixels, double points) {
  if (pixels <= 0 || !(points > 0) || !std::isfinite(points)) return 0;
  const double dpm = std::round(pixels * 72.0 / points / 0.0254);
  return dpm >= 1 && dpm <= double(std::numeric_limits<int32_t>::max()) ? uint32_t(dpm) : 0;
}

// True when every pixel of the 32-bit picture is opaque. Written as one AND over all
// words so that the compiler vectorises it.
bool fully_opaque(const QImage& image) {
  if (!image.hasAlphaChannel()) return true;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    QRgb all = 0xff000000u;
    for (int x = 0; x < image.width(); ++x) all &= line[x];
    if (qAlpha(all) != 255) return false;
  }
  return true;
}

void put_u32(uchar* at, uint32_t value) {
  at[0] = uchar(value >> 24);
  at[1] = uchar(value >> 16);
  at[2] = uchar(value >> 8);
  at[3] = uchar(value);
}

// Appends one chunk: length, type, data, CRC of type and data.
void put_chunk(QByteArray& out, const char type[4], const uchar* data, size_t length) {
  uchar head[8];
  put_u32(head, uint32_t(length));
  std::memcpy(head + 4, type, 4);
  out.append(reinterpret_cast<const char*>(head), 8);
  if (length) out.append(reinterpret_cast<const char*>(data), qsizetype(length));
  uint32_t crc = crc32_gzip_refl(0, head + 4, 4);
  if (length) crc = crc32_gzip_refl(crc, data, length);
  uchar tail[4];
  put_u32(tail, crc);
  out.append(reinterpret_cast<const char*>(tail), 4);
}

// R, G, B, A in memory order as one little-endian word, from QImage's 0xAARRGGBB.
inline quint32 rgba_word(QRgb p) {
  return (p & 0xff00ff00u) | ((p >> 16) & 0xffu) | ((p & 0xffu) << 16);
}
// The four bytes of a less those of b, each on its own (no borrow between bytes).
inline quint32 bytewise_minus(quint32 a, quint32 b) {
  constexpr quint32 high = 0x80808080u;
  return ((a | high) - (b & ~high)) ^ ((a ^ ~b) & high);
}

// Straight alpha from premultiplied, channel by channel: [alpha][channel] -> the value Qt's
// own converter gives, so that our files hold the very pixels QImage::convertToFormat makes.
// Made once, from a picture of every pair.
const uchar* unpremultiply_table() {
  static const std::vector<uchar> table = [] {
    QImage pairs(256, 256, QImage::Format_ARGB32_Premultiplied);
    for (int a = 0; a < 256; ++a) {
      auto* line = reinterpret_cast<QRgb*>(pairs.scanLine(a));
      for (int v = 0; v < 256; ++v) line[v] = QRgb(a) << 24 | QRgb(v) << 16 | QRgb(v) << 8 | QRgb(v);
    }
    const QImage straight = pairs.convertToFormat(QImage::Format_ARGB32);
    std::vector<uchar> values(256 * 256);
    for (int a = 0; a < 256; ++a) {
      const auto* line = reinterpret_cast<const QRgb*>(straight.constScanLine(a));
      for (int v = 0; v < 256; ++v) values[size_t(a) * 256 + size_t(v)] = uchar(qRed(line[v]));
    }
    return values;
  }();
  return table.data();
}

inline QRgb unpremultiplied(QRgb p, const uchar* table) {
  const QRgb alpha = qAlpha(p);
  if (alpha == 255) return p;
  const uchar* values = table + size_t(alpha) * 256;
  return alpha << 24 | QRgb(values[qRed(p)]) << 16 | QRgb(values[qGreen(p)]) << 8 |
         QRgb(values[qBlue(p)]);
}

// One pixel of a row with the Up filter; RGB pixels store four bytes, the fourth
// overwritten by the next pixel.
template <int channels>
inline void filter_pixel(QRgb pixel, quint32* above, uchar* out) {
  const quint32 word = rgba_word(pixel);
  const quint32 up = qToLittleEndian(bytewise_minus(word, *above));
  *above = word;
  std::memcpy(out, &up, 4);
}

// One row with the Up filter (each byte less the byte above it; above the first row is
// zero), from QImage's 32-bit words, premultiplied ones (`table` given) made straight on
// the way. `above` holds the row above as rgba_word()s and gets this row's. `out` has one
// byte to spare after the row.
template <int channels>
void filter_up(const QRgb* line, int width, const uchar* table, quint32* above, uchar* out) {
  *out++ = 2;  // filter type Up
  int x = 0;
#if defined(__SSE2__)
  // Four pixels at a time; a group with a translucent pixel in a premultiplied row is made
  // straight first.
  const __m128i green_alpha = _mm_set1_epi32(int(0xff00ff00u));
  const __m128i low = _mm_set1_epi32(0xff);
  const __m128i opaque = _mm_set1_epi32(int(0xff000000u));
  for (; x + 4 <= width; x += 4, out += 4 * channels) {
    __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x));
    if (table &&
        _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(p, opaque), opaque)) != 0xffff) {
      alignas(16) QRgb straight[4];
      for (int i = 0; i < 4; ++i) straight[i] = unpremultiplied(line[x + i], table);
      p = _mm_load_si128(reinterpret_cast<const __m128i*>(straight));
    }
    const __m128i word = _mm_or_si128(
        _mm_and_si128(p, green_alpha),
        _mm_or_si128(_mm_and_si128(_mm_srli_epi32(p, 16), low),
                     _mm_slli_epi32(_mm_and_si128(p, low), 16)));
    const __m128i up = _mm_sub_epi8(word, _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + x)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(above + x), word);
    if constexpr (channels == 4) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), up);
    } else {
      alignas(16) quint32 bytes[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(bytes), up);
      for (int i = 0; i < 4; ++i) std::memcpy(out + 3 * i, &bytes[i], 4);
    }
  }
#endif
  for (; x < width; ++x, out += channels) {
    const QRgb pixel = table ? unpremultiplied(line[x], table) : line[x];
    filter_pixel<channels>(pixel, above + x, out);
  }
}

constexpr uchar png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// Compressed data is put in IDAT chunks of this size (the last one is shorter).
constexpr size_t idat_bytes = size_t(256) << 10;
// Rows filtered and handed to the compressor at a time.
constexpr int band_rows = 32;

QString no_memory() { return QStringLiteral("Not enough memory to encode the picture."); }

// The one write call of card files: the data whole or not at all, checked down to the disk;
// an existing file is replaced only by a complete new one.
bool write_card_file(const QByteArray& data, const QString& path, QString* error) {
  Whole_File_Options options;
  options.write_through_link = true;  // a name the user chose
  return Write_Whole_File(path, data, error, options);
}

// The pixels as 32-bit words, as the writers read them: the 32-bit formats as they are,
// any other converted once. Null when there was no memory for the conversion.
QImage word_pixels(const QImage& source) {
  const QImage::Format format = source.format();
  if (format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_ARGB32 ||
      format == QImage::Format_RGB32)
    return source;
  return source.convertToFormat(source.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

}  // namespace

struct Card_PNG_Encoder::Buffers {
  std::vector<uchar> level;  // the compressor's hash tables
  std::vector<quint32> above;  // the row above the one being filtered
  std::vector<uchar> band;     // filtered rows for the compressor, and one byte to spare
  std::vector<uchar> out;    // compressed data not yet in a chunk
  isal_zstream stream;
};

Card_PNG_Encoder::Card_PNG_Encoder() = default;
Card_PNG_Encoder::~Card_PNG_Encoder() = default;
Card_PNG_Encoder::Card_PNG_Encoder(Card_PNG_Encoder&&) noexcept = default;
Card_PNG_Encoder& Card_PNG_Encoder::operator=(Card_PNG_Encoder&&) noexcept = default;

QByteArray Card_PNG_Encoder::Encode(const Picture& picture, QString* error) {
  auto fail = [error](QString reason) {
    if (error) *error = std::move(reason);
    return QByteArray();
  };
  if (picture.isNull()) return fail(QStringLiteral("There is no picture to save."));
  const QImage pixels = word_pixels(picture.image());
  if (pixels.isNull()) return fail(no_memory());
  const int width = pixels.width(), height = pixels.height();
  // A picture without a single translucent pixel is written as RGB.
  const bool alpha = !fully_opaque(pixels);
  const bool premultiplied = pixels.format() == QImage::Format_ARGB32_Premultiplied;
  const size_t row_bytes = 1 + size_t(width) * (alpha ? 4 : 3);
  try {
    if (!buffers_) buffers_ = std::make_unique<Buffers>();
    Buffers& b = *buffers_;
    b.level.resize(ISAL_DEF_LVL1_DEFAULT);
    b.above.assign(size_t(width), 0);
    b.band.resize(band_rows * row_bytes + 1);
    b.out.resize(idat_bytes);

    QByteArray png;
    png.reserve(qsizetype(std::min<size_t>(row_bytes * size_t(height) / 16, 16u << 20)));
    png.append(reinterpret_cast<const char*>(png_signature), 8);
    uchar header[13];
    put_u32(header, uint32_t(width));
    put_u32(header + 4, uint32_t(height));
    header[8] = 8;                // bits per sample
    header[9] = alpha ? 6 : 2;    // RGBA or RGB
    header[10] = header[11] = header[12] = 0;  // deflate, adaptive filtering, no interlace
    put_chunk(png, "IHDR", header, sizeof header);
    const uint32_t dpm_x = dots_per_metre(width, picture.size().width());
    const uint32_t dpm_y = dots_per_metre(height, picture.size().height());
    if (dpm_x > 0 && dpm_y > 0) {
      uchar phys[9];
      put_u32(phys, dpm_x);
      put_u32(phys + 4, dpm_y);
      phys[8] = 1;  // per metre
      put_chunk(png, "pHYs", phys, sizeof phys);
    }

    // One zlib stream over all filtered rows, a band at a time; whenever the output
    // buffer is full it becomes an IDAT chunk.
    isal_zstream& z = b.stream;
    isal_deflate_init(&z);
    z.level = 1;
    z.level_buf = b.level.data();
    z.level_buf_size = uint32_t(b.level.size());
    z.gzip_flag = IGZIP_ZLIB;
    z.flush = NO_FLUSH;
    size_t pending = 0;  // bytes in b.out
    auto compress = [&](size_t bytes, bool last) {
      z.next_in = b.band.data();
      z.avail_in = uint32_t(bytes);
      z.end_of_stream = last ? 1 : 0;
      do {
        z.next_out = b.out.data() + pending;
        z.avail_out = uint32_t(b.out.size() - pending);
        if (isal_deflate(&z) != COMP_OK) return false;
        pending = b.out.size() - z.avail_out;
        if (pending == b.out.size()) {
          put_chunk(png, "IDAT", b.out.data(), pending);
          pending = 0;
        }
      } while (z.avail_in > 0 || (last && z.internal_state.state != ZSTATE_END));
      return true;
    };

    // Premultiplied pixels are made straight as they are filtered (opaque ones stay as
    // they are).
    const uchar* table = alpha && premultiplied ? unpremultiply_table() : nullptr;
    for (int y0 = 0; y0 < height; y0 += band_rows) {
      const int rows = std::min(band_rows, height - y0);
      for (int r = 0; r < rows; ++r) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y0 + r));
        uchar* out = b.band.data() + size_t(r) * row_bytes;
        if (alpha) filter_up<4>(line, width, table, b.above.data(), out);
        else filter_up<3>(line, width, nullptr, b.above.data(), out);
      }
      if (!compress(size_t(rows) * row_bytes, y0 + rows >= height))
        return fail(QStringLiteral("PNG encoding failed."));
    }
    if (pending > 0) put_chunk(png, "IDAT", b.out.data(), pending);
    put_chunk(png, "IEND", nullptr, 0);
    return png;
  } catch (const std::bad_alloc&) {
    buffers_.reset();
    return fail(no_memory());
  }
}

QByteArray Encode_Card_PNG(const Picture& picture, QString* error) {
  return Card_PNG_Encoder().Encode(picture, error);
}

bool Card_PNG_Encoder::Write(const Picture& picture, const QString& path, QString* error) {
  const QByteArray data = Encode(picture, error);
  if (data.isEmpty()) return false;
  return write_card_file(data, path, error);
}

bool Write_Card_PNG(const Picture& picture, const QString& path, QString* error) {
  return Card_PNG_Encoder().Write(picture, path, error);
}

// ---- Every type --------------------------------------------------------------------------------

namespace {

struct Type_Row {
  Card_File_Type type;
  const char* title;
  const char* qt_format;  // Qt's writer; nullptr for our own PNG encoder
};
// In the export's order.
constexpr Type_Row type_rows[] = {
    {Card_File_Type::TIFF, "TIFF", "tiff"},
    {Card_File_Type::PNG, "PNG", nullptr},
    {Card_File_Type::JPEG, "JPEG", "jpeg"},
    {Card_File_Type::BMP, "BMP", "bmp"},
};

const Type_Row& row_of(Card_File_Type type) {
  for (const Type_Row& row : type_rows)
    if (row.type == type) return row;
  return type_rows[1];
}

// The pixels as the type's writer takes them. Opaque pictures become RGB32 (the writers
// then store no alpha); a picture with transparency is laid on white for the types without
// alpha, and made straight RGBA for TIFF.
QImage pixels_for(const QImage& source, Card_File_Type type) {
  if (fully_opaque(source)) {
    return source.format() == QImage::Format_RGB32 ? source
                                                    : source.convertToFormat(QImage::Format_RGB32);
  }
  if (type == Card_File_Type::TIFF) return source.convertToFormat(QImage::Format_ARGB32);
  QImage flat(source.size(), QImage::Format_RGB32);
  if (flat.isNull()) return flat;
  flat.fill(Qt::white);
  {
    QPainter painter(&flat);
    painter.drawImage(QPoint(0, 0), source);
  }
  flat.setDotsPerMeterX(source.dotsPerMeterX());
  flat.setDotsPerMeterY(source.dotsPerMeterY());
  return flat;
}

QByteArray encode_with_qt(const Picture& picture, const Type_Row& row, QString* error) {
  auto fail = [error](QString reason) {
    if (error) *error = std::move(reason);
    return QByteArray();
  };
  if (picture.isNull()) return fail(QStringLiteral("There is no picture to save."));
  const QImage pixels = pixels_for(word_pixels(picture.image()), row.type);
  if (pixels.isNull()) return fail(no_memory());
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, row.qt_format);
  if (row.type == Card_File_Type::JPEG) {
    writer.setQuality(95);
    writer.setOptimizedWrite(true);
  }
  if (row.type == Card_File_Type::TIFF) writer.setCompression(1);  // LZW
  if (!writer.write(pixels)) {
    return fail(QStringLiteral("The picture could not be encoded as %1: %2")
                    .arg(QString::fromLatin1(row.title), writer.errorString()));
  }
  return data;
}

}  // namespace

QString Card_File_Title(Card_File_Type type) { return QString::fromLatin1(row_of(type).title); }

QString Card_File_Extension(Card_File_Type type) { return Card_File_Title(type).toLower(); }

std::optional<Card_File_Type> Card_File_Type_Named(const QString& name) {
  const QString lower = name.toLower();
  if (lower == QLatin1String("jpg")) return Card_File_Type::JPEG;
  if (lower == QLatin1String("tif")) return Card_File_Type::TIFF;
  for (const Type_Row& row : type_rows)
    if (lower == QString::fromLatin1(row.title).toLower()) return row.type;
  return std::nullopt;
}

bool Card_File_Type_Writable(Card_File_Type type) {
  const Type_Row& row = row_of(type);
  if (!row.qt_format) return true;
  static const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
  return writable.contains(QByteArray(row.qt_format));
}

QStringList Card_File_Titles() {
  QStringList titles;
  for (const Type_Row& row : type_rows)
    if (Card_File_Type_Writable(row.type)) titles << QString::fromLatin1(row.title);
  return titles;
}

Card_File_Type Card_File_Type_For_Path(QString* path, Card_File_Type chosen) {
  const QString name = path->mid(path->lastIndexOf(u'/') + 1);
  const int dot = int(name.lastIndexOf(u'.'));
  if (dot > 0) {
    if (const auto named = Card_File_Type_Named(name.mid(dot + 1));
        named && Card_File_Type_Writable(*named))
      return *named;
  }
  *path += QLatin1Char('.') + Card_File_Extension(chosen);
  return chosen;
}

QByteArray Card_Picture_Encoder::Encode(const Picture& picture, Card_File_Type type,
                                        QString* error) {
  const Type_Row& row = row_of(type);
  if (!row.qt_format) return png_.Encode(picture, error);
  if (!Card_File_Type_Writable(type)) {
    if (error) *error = QStringLiteral("This program cannot write %1 files.").arg(Card_File_Title(type));
    return {};
  }
  try {
    return encode_with_qt(picture, row, error);
  } catch (const std::bad_alloc&) {
    if (error) *error = no_memory();
    return {};
  }
}

bool Card_Picture_Encoder::Write(const Picture& picture, Card_File_Type type, const QString& path,
                                 QString* error) {
  const QByteArray data = Encode(picture, type, error);
  if (data.isEmpty()) return false;
  return write_card_file(data, path, error);
}

QByteArray Encode_Card_Picture(const Picture& picture, Card_File_Type type, QString* error) {
  return Card_Picture_Encoder().Encode(picture, type, error);
}

bool Write_Card_Picture(const Picture& picture, Card_File_Type type, const QString& path,
                        QString* error) {
  return Card_Picture_Encoder().Write(picture, type, path, error);
}

// ---- File names ------------------------------------------------------------------------------

QString Create_Front_Card_Path(const QString& path) { return path; }

QString Create_Back_Card_Path(const QString& path) {
  const int slash = int(path.lastIndexOf(u'/'));
  const QString folder = path.left(slash + 1);
  const QString name = path.mid(slash + 1);
  const int dot = int(name.lastIndexOf(u'.'));
  if (dot <= 0) return folder + name + QStringLiteral("_Back");
  return folder + name.left(dot) + QStringLiteral("_Back") + name.mid(dot);
}

void Remove_Written_Side(const QString& path, QString* reason) {
  QFile file(path);
  if (file.remove() || !QFileInfo::exists(path)) return;
  if (reason)
    *reason += QStringLiteral(" (%1 could not be removed: %2)").arg(path, file.errorString());
}

QString Batch_Card_Path(const QString& folder, int record, const QString& ext) {
  return QDir(folder).filePath(QStringLiteral("Card_%1.%2").arg(record + 1).arg(ext));
}

QString Combined_Export_Refusal(const QRectF& front_frame, double dpi, qint64 most) {
  const QSize side = Card_Picture_Size(front_frame, dpi);
  if (side.isEmpty() || qint64(side.width()) * side.height() * 4 * Combined_Export_Rasters <= most)
    return {};
  const double mm = 25.4 / 72;
  return QStringLiteral("Both sides of %1 x %2 mm in one picture at %3 dpi would be %4 x %5 "
                        "pixels (%6 MB); made from the two sides and written, it would take "
                        "more than the %7 MB the card pictures of an export may take. Export "
                        "the sides as separate files, make the card smaller or choose a lower "
                        "resolution.")
      .arg(std::round(front_frame.width() * mm))
      .arg(std::round(front_frame.height() * mm))
      .arg(dpi)
      .arg(side.width())
      .arg(side.height() * 2)
      .arg(std::ceil(double(side.width()) * side.height() * 2 * 4 / (1 << 20)))
      .arg(most >> 20);
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
