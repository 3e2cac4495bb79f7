#include "model/Graphic_Archive.h"

#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/Common_Functions.h"
#include "model/Fonts.h"
#include "model/Graphic_Kinds.h"
#include "platform/Bounded_File.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include <variant>

using keyed_archive::Archiver;
using keyed_archive::Object;
using keyed_archive::Object_Encoder;

const QString CRDGraphicViewPasteboardType = QStringLiteral("Dirar Voveda 2 pasteboard type");

namespace {

// ---- Colours ---------------------------------------------------------------------------

const QString Key_Color_Space = QStringLiteral("NSColorSpace");
const QString Key_RGB = QStringLiteral("NSRGB");
const QString Key_White = QStringLiteral("NSWhite");
const QString Key_CMYK = QStringLiteral("NSCMYK");
const QString Key_Components = QStringLiteral("NSComponents");
const QString Key_Catalog_Color = QStringLiteral("NSColor");

// The components as the desktop stores them: decimal numbers separated by spaces and
// ended by a NUL byte; an alpha of exactly 1 is left out.
QByteArray Component_Bytes(std::initializer_list<double> components, double alpha) {
  QStringList parts;
  for (double c : components) parts << keyed_archive::Number_Text(c);
  if (alpha != 1.0) parts << keyed_archive::Number_Text(alpha);
  QByteArray bytes = parts.join(QLatin1Char(' ')).toLatin1();
  bytes.append('\0');
  return bytes;
}

// The numbers of a component text: decimal numbers separated by spaces, possibly ended
// by NUL.
std::vector<double> Components_Of(const Object& color, const QString& key) {
  const plist::Value* raw = color.rawValue(key);
  if (!raw) return {};
  QByteArray bytes;
  if (raw->data())
    bytes = *raw->data();
  else if (raw->uid())
    bytes = color.decodeObject(key).toData().value_or(QByteArray());
  else if (raw->string())
    bytes = raw->string()->toLatin1();
  std::vector<double> numbers;
  const char* p = bytes.constData();
  const char* const end = p + bytes.size();
  while (p < end && *p != '\0' && numbers.size() <= 8) {
    if (*p == ' ' || *p == '\t' || *p == '\n' || *p == '+') {
      ++p;
      continue;
    }
    double v = 0;
    const auto [next, ec] = std::from_chars(p, end, v);
    if (ec != std::errc() || !std::isfinite(v)) return {};
    numbers.push_back(v);
    p = next;
  }
  return numbers;
}

CRDColor::Space Space_Of(int code, bool rgb) {
  switch (code) {
    case 1: return CRDColor::Space::Calibrated_RGB;
    case 2: return CRDColor::Space::Device_RGB;
    case 3: return CRDColor::Space::Calibrated_White;
    case 4: return CRDColor::Space::Device_White;
    default: return rgb ? CRDColor::Space::Device_RGB : CRDColor::Space::Device_White;
  }
}

std::optional<CRDColor> Rgb_From(const std::vector<double>& c, CRDColor::Space space) {
  if (c.size() != 3 && c.size() != 4) return std::nullopt;
  return CRDColor::rgb(c[0], c[1], c[2], c.size() == 4 ? c[3] : 1.0, space);
}

std::optional<CRDColor> White_From(const std::vector<double>& c, CRDColor::Space space) {
  if (c.size() != 1 && c.size() != 2) return std::nullopt;
  return CRDColor::white(c[0], c.size() == 2 ? c[1] : 1.0, space);
}

// ---- Fonts -----------------------------------------------------------------------------

const QString Key_Font_Name = QStringLiteral("NSName");
const QString Key_Font_Size = QStringLiteral("NSSize");
const QString Key_Font_Flags = QStringLiteral("NSfFlags");
constexpr int Font_Flags = 16;            // the flags the desktop gives a font chosen by name
constexpr double Default_Font_Size = 12;  // the desktop's size for a size of 0

bool Has_Font(const QFont& font) { return font.resolveMask() != 0 && !font.family().isEmpty(); }

// ---- Styled text -----------------------------------------------------------------------

const QString Key_String = QStringLiteral("NSString");
const QString Key_Attributes = QStringLiteral("NSAttributes");
const QString Key_Attribute_Info = QStringLiteral("NSAttributeInfo");
const QString Attribute_Font = QStringLiteral("NSFont");
const QString Attribute_Color = QStringLiteral("NSColor");
const QString Attribute_Kern = QStringLiteral("NSKern");
const QString Attribute_Paragraph = QStringLiteral("NSParagraphStyle");
const QString Key_Alignment = QStringLiteral("NSAlignment");

// A styled text past what a text may hold: the graphic holding it is not read.
struct Text_Refused : keyed_archive::Archive_Error {
  using keyed_archive::Archive_Error::Archive_Error;
};

// Run lengths and attribute indexes as unsigned numbers of 7 bits per byte, least
// significant group first, the high bit marking that more bytes follow.
void Append_Varint(QByteArray& out, quint64 value) {
  do {
    unsigned char byte = value & 0x7F;
    value >>= 7;
    if (value) byte |= 0x80;
    out.append(char(byte));
  } while (value);
}

bool Read_Varint(const QByteArray& in, qsizetype& pos, quint64& value) {
  value = 0;
  for (int shift = 0; pos < in.size() && shift < 64; shift += 7) {
    const unsigned char byte = static_cast<unsigned char>(in.at(pos++));
    value |= quint64(byte & 0x7F) << shift;
    if (!(byte & 0x80)) return true;
  }
  return false;
}

plist::Uid Encode_Attributes(Archiver& archiver, const Text_Attributes& a) {
  std::vector<std::pair<plist::Uid, plist::Uid>> entries;
  if (a.font)
    entries.emplace_back(archiver.Encode_String(Attribute_Font), Encode_Font(archiver, *a.font));
  if (a.foreground.isValid())
    entries.emplace_back(archiver.Encode_String(Attribute_Color),
                         Encode_Color(archiver, a.foreground));
  if (a.kerning)
    entries.emplace_back(archiver.Encode_String(Attribute_Kern), archiver.Encode_Real(*a.kerning));
  if (a.alignment) {
    const int alignment = *a.alignment;
    entries.emplace_back(
        archiver.Encode_String(Attribute_Paragraph),
        archiver.Encode_Object({QStringLiteral("NSParagraphStyle")}, [&](Object_Encoder& e) {
          e.Encode_Int32(Key_Alignment, alignment);
        }));
  }
  return archiver.Encode_Dictionary(entries);
}

Text_Attributes Decode_Attributes(const Object& dictionary) {
  Text_Attributes a;
  for (const auto& [key_object, value] : dictionary.dictionaryEntries()) {
    const std::optional<QString> key = key_object.toString();
    if (!key) continue;
    if (*key == Attribute_Font) {
      a.font = Decode_Font(value);
    } else if (*key == Attribute_Color) {
      if (std::optional<CRDColor> color = Decode_Color(value)) a.foreground = *color;
    } else if (*key == Attribute_Kern) {
      a.kerning = value.toNumber();
    } else if (*key == Attribute_Paragraph) {
      if (std::optional<qint32> alignment = value.decodeInt32(Key_Alignment))
        a.alignment = *alignment;
    }
  }
  return a;
}

bool Is_Dictionary(const Object& object) { return object.containsKey(QStringLiteral("NS.keys")); }

// ---- Pictures --------------------------------------------------------------------------

const QString Key_Image_Size = QStringLiteral("NSSize");
const QString Key_Image_Reps = QStringLiteral("NSReps");
const QString Key_TIFF = QStringLiteral("NSTIFFRepresentation");

// Pictures are stored as TIFF: 8-bit grey, RGB or RGBA (unassociated alpha) in one strip,
// little-endian, compressed with Deflate (compression 8, which the desktop's and GNUstep's
// TIFF readers take; uncompressed strips of older files are read as well). Written and read
// here directly, since pictures are copied and saved often and the general image codecs cost
// far more; TIFF files of other layouts (and PNG or JPEG data) are read through Qt's image
// readers.
namespace tiff {

enum : quint16 { Short = 3, Long = 4, Rational = 5 };
enum : quint16 { Deflate = 8, Deflate_Old = 32946 };

void Put16(QByteArray& out, qsizetype at, quint16 v) { qToLittleEndian(v, out.data() + at); }
void Put32(QByteArray& out, qsizetype at, quint32 v) { qToLittleEndian(v, out.data() + at); }

// The grey levels of an opaque picture whose pixels are all grey (black and white
// barcodes above all), row after row; nothing for any other picture.
std::optional<QByteArray> Grey_Levels(const QImage& picture) {
  if (picture.hasAlphaChannel() || picture.isNull()) return std::nullopt;
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  const int w = rgb.width(), h = rgb.height();
  QByteArray levels(qsizetype(w) * h, Qt::Uninitialized);
  uchar* out = reinterpret_cast<uchar*>(levels.data());
  for (int y = 0; y < h; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      const QRgb p = line[x];
      if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) return std::nullopt;
      *out++ = uchar(qRed(p));
    }
  }
  return levels;
}

QByteArray Write(const QImage& picture, QSizeF points) {
  const bool alpha = picture.hasAlphaChannel();
  const std::optional<QByteArray> grey = Grey_Levels(picture);
  QImage image;
  if (!grey)
    image = picture.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  const quint32 w = quint32(picture.width()), h = quint32(picture.height());
  const quint16 spp = grey ? 1 : alpha ? 4 : 3;
  const quint64 row = quint64(w) * spp, strip = row * h;
  if (picture.isNull() || strip > 0xFFFFFFF0u) return {};

  struct Entry {
    quint16 tag, type;
    quint32 count, value;
  };
  const quint16 entries = alpha ? 14 : 13;
  const quint32 ifd = 8, ifd_size = 2 + entries * 12u + 4;
  const quint32 bits_at = ifd + ifd_size;
  const quint32 xres_at = bits_at + 8, yres_at = xres_at + 8, pixels_at = yres_at + 8;
  auto dpi = [](double pixels, double pts) {
    return pts > 0 && pixels > 0 ? quint32(std::lround(pixels * 72.0 / pts * 100)) : 7200u;
  };
  // The strip: the samples row after row, then deflated (fast: barcodes and flat pictures
  // shrink to a small part whatever the level).
  QByteArray raw;
  if (!grey) {
    raw.resize(qsizetype(strip));
    for (quint32 y = 0; y < h; ++y)
      std::memcpy(raw.data() + y * row, image.constScanLine(int(y)), row);
  }
  const QByteArray& samples = grey ? *grey : raw;
  uLongf packed_size = compressBound(uLong(strip));
  QByteArray packed(qsizetype(packed_size), Qt::Uninitialized);
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
                reinterpret_cast<const Bytef*>(samples.constData()), uLong(strip),
                Z_BEST_SPEED) != Z_OK)
    return {};
  packed.truncate(qsizetype(packed_size));

  const Entry table[] = {
      {256, Long, 1, w},
      {257, Long, 1, h},
      {258, Short, spp, spp <= 2 ? 8u : bits_at},
      {259, Short, 1, Deflate},
      {262, Short, 1, grey ? 1u : 2u},  // grey (black is zero) or RGB
      {273, Long, 1, pixels_at},
      {277, Short, 1, spp},
      {278, Long, 1, h},
      {279, Long, 1, quint32(packed.size())},
      {282, Rational, 1, xres_at},
      {283, Rational, 1, yres_at},
      {284, Short, 1, 1},  // interleaved samples
      {296, Short, 1, 2},  // resolution in inches
      {338, Short, 1, 2},  // unassociated alpha
  };
  QByteArray out(qsizetype(pixels_at + packed.size()), Qt::Uninitialized);
  std::memcpy(out.data(), "II*\0", 4);
  Put32(out, 4, ifd);
  Put16(out, ifd, entries);
  for (quint16 i = 0; i < entries; ++i) {
    const qsizetype at = ifd + 2 + i * 12;
    Put16(out, at, table[i].tag);
    Put16(out, at + 2, table[i].type);
    Put32(out, at + 4, table[i].count);
    Put32(out, at + 8, 0);
    if (table[i].type == Short && table[i].count == 1)
      Put16(out, at + 8, quint16(table[i].value));
    else
      Put32(out, at + 8, table[i].value);
  }
  Put32(out, ifd + 2 + entries * 12, 0);  // no further image
  for (int i = 0; i < 4; ++i) Put16(out, bits_at + 2 * i, 8);
  Put32(out, xres_at, dpi(w, points.width()));
  Put32(out, xres_at + 4, 100);
  Put32(out, yres_at, dpi(h, points.height()));
  Put32(out, yres_at + 4, 100);
  std::memcpy(out.data() + pixels_at, packed.constData(), size_t(packed.size()));
  return out;
}

// The picture of a TIFF in the layout Write makes (grey, RGB or RGBA of 8 bits, one strip,
// Deflate or no compression, little-endian), of at most max_pixels; nothing for any other
// data. *header_size gets the picture's size as soon as the header shows it is of that
// layout (and stays invalid otherwise), also when it is then refused.
std::optional<QImage> Read(const QByteArray& data, qint64 max_pixels, QSize* header_size) {
  *header_size = QSize();
  const auto* d = reinterpret_cast<const uchar*>(data.constData());
  const quint64 n = quint64(data.size());
  if (n < 8 || std::memcmp(d, "II*\0", 4) != 0) return std::nullopt;
  const quint32 ifd = qFromLittleEndian<quint32>(d + 4);
  if (quint64(ifd) + 2 > n) return std::nullopt;
  const quint16 entries = qFromLittleEndian<quint16>(d + ifd);
  if (quint64(ifd) + 2 + entries * 12ull > n) return std::nullopt;
  quint32 w = 0, h = 0, spp = 1, compression = 1, photometric = 99, planar = 1, offset = 0,
          bytes = 0, strips = 0, extra = 0, unit = 2, rows = 0xFFFFFFFFu;
  quint32 bits_count = 0, bits_at = 0, xres_at = 0, yres_at = 0;
  for (quint16 i = 0; i < entries; ++i) {
    const uchar* e = d + ifd + 2 + i * 12;
    const quint16 tag = qFromLittleEndian<quint16>(e), type = qFromLittleEndian<quint16>(e + 2);
    const quint32 count = qFromLittleEndian<quint32>(e + 4);
    const quint32 value =
        type == Short ? qFromLittleEndian<quint16>(e + 8) : qFromLittleEndian<quint32>(e + 8);
    switch (tag) {
      case 256: w = value; break;
      case 257: h = value; break;
      case 258:
        bits_count = count;
        bits_at = count <= 2 ? ifd + 2 + i * 12 + 8 : value;
        break;
      case 259: compression = value; break;
      case 262: photometric = value; break;
      case 273:
        offset = value;
        strips = count;
        break;
      case 277: spp = value; break;
      case 278: rows = value; break;
      case 279: bytes = value; break;
      case 282: xres_at = value; break;
      case 283: yres_at = value; break;
      case 284: planar = value; break;
      case 296: unit = value; break;
      case 338: extra = value; break;
      default: break;
    }
  }
  // Grey takes one sample a pixel, RGB three or four (with alpha): any other pairing of
  // the tags is refused, since the pixel format follows from them.
  const bool grey = photometric == 1 && spp == 1;
  const bool rgb = photometric == 2 && (spp == 3 || spp == 4);
  const bool deflated = compression == Deflate || compression == Deflate_Old;
  if ((compression != 1 && !deflated) || !(grey || rgb) || planar != 1 || strips != 1 || rows < h)
    return std::nullopt;
  if (bits_count != spp || quint64(bits_at) + 2 * spp > n) return std::nullopt;
  for (quint32 i = 0; i < spp; ++i)
    if (qFromLittleEndian<quint16>(d + bits_at + 2 * i) != 8) return std::nullopt;
  const quint64 row = quint64(w) * spp;
  if (w > 0 && h > 0 && w <= 0x7FFFFFFFu && h <= 0x7FFFFFFFu) *header_size = QSize(int(w), int(h));
  if (w == 0 || h == 0 || quint64(w) * h > quint64(max_pixels) ||
      (deflated ? bytes == 0 : bytes != row * h) || quint64(offset) + bytes > n)
    return std::nullopt;
  // A deflated strip must unpack to exactly the samples, never more.
  QByteArray unpacked;
  const uchar* samples = d + offset;
  if (deflated) {
    unpacked.resize(qsizetype(row * h));
    uLongf size = uLongf(row * h);
    if (uncompress(reinterpret_cast<Bytef*>(unpacked.data()), &size, d + offset, uLong(bytes)) !=
            Z_OK ||
        size != row * h)
      return std::nullopt;
    samples = reinterpret_cast<const uchar*>(unpacked.constData());
  }
  const QImage::Format format = grey         ? QImage::Format_Grayscale8
                                : spp == 3   ? QImage::Format_RGB888
                                : extra == 1 ? QImage::Format_RGBA8888_Premultiplied
                                             : QImage::Format_RGBA8888;
  QImage image(int(w), int(h), format);
  if (image.isNull() || size_t(image.bytesPerLine()) < row) return std::nullopt;
  image.fill(0);  // the padding at the end of each line too
  for (quint32 y = 0; y < h; ++y) std::memcpy(image.scanLine(int(y)), samples + y * row, row);
  // The resolution, so a picture without a stored size keeps its size in points.
  auto resolution = [&](quint32 at) -> double {
    if (at == 0 || quint64(at) + 8 > n) return 0;
    const quint32 num = qFromLittleEndian<quint32>(d + at),
                  den = qFromLittleEndian<quint32>(d + at + 4);
    return den ? double(num) / den : 0;
  };
  const double per_meter = unit == 3 ? 100.0 : 1 / 0.0254;
  if (const double x = resolution(xres_at); x > 0)
    image.setDotsPerMeterX(int(std::lround(x * per_meter)));
  if (const double y = resolution(yres_at); y > 0)
    image.setDotsPerMeterY(int(std::lround(y * per_meter)));
  return image;
}

}  // namespace tiff

QByteArray Picture_Bytes(const Picture& picture) {
  QByteArray bytes = tiff::Write(picture.image(), picture.size());
  if (!bytes.isEmpty()) return bytes;
  // A picture too large for one strip: Qt's TIFF writer.
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "tiff");
  writer.setCompression(1);  // LZW
  if (!writer.write(picture.image())) {
    bytes.clear();
    buffer.seek(0);
    QImageWriter(&buffer, "png").write(picture.image());
  }
  return bytes;
}

// The image data of one representation: a bitmap representation object, or plain data.
std::optional<QByteArray> Representation_Bytes(const Object& rep) {
  if (std::optional<QByteArray> bytes = rep.toData()) return bytes;
  if (rep.containsKey(Key_TIFF)) return rep.decodeObject(Key_TIFF).toData();
  return std::nullopt;
}

// ---- The 93 keys of a graphic ----------------------------------------------------------

using R = CRDGraphic_Record;
using Member =
    std::variant<QRectF R::*, bool R::*, int R::*, float R::*, double R::*, CRDColor R::*,
                 QString R::*, QFont R::*, std::shared_ptr<StyledText> R::*, Picture R::*>;

struct Field {
  QString key;
  Member member;
};

const std::vector<Field>& Fields() {
  static const std::vector<Field> fields = {
      {QStringLiteral("_bounds"), &R::_bounds},
      {QStringLiteral("ctrl_is_locked"), &R::ctrl_is_locked},
      {QStringLiteral("_isDrawingFill"), &R::_isDrawingFill},
      {QStringLiteral("_fillColor"), &R::_fillColor},
      {QStringLiteral("_isDrawingStroke"), &R::_isDrawingStroke},
      {QStringLiteral("_strokeColor"), &R::_strokeColor},
      {QStringLiteral("_strokeWidth"), &R::_strokeWidth},
      {QStringLiteral("_stroke_border_type"), &R::_stroke_border_type},
      {QStringLiteral("_fill_type"), &R::_fill_type},
      {QStringLiteral("_fill_Grad_clr1"), &R::_fill_Grad_clr1},
      {QStringLiteral("_fill_Grad_clr2"), &R::_fill_Grad_clr2},
      {QStringLiteral("_fill_grad_angle"), &R::_fill_grad_angle},
      {QStringLiteral("_fill_htch_clr"), &R::_fill_htch_clr},
      {QStringLiteral("_fill_hatch_type"), &R::_fill_hatch_type},
      {QStringLiteral("_isFlippedHorizontally"), &R::_isFlippedHorizontally},
      {QStringLiteral("_isFlippedVertically"), &R::_isFlippedVertically},
      {QStringLiteral("invert_clr"), &R::invert_clr},
      {QStringLiteral("gray_Scale"), &R::gray_Scale},
      {QStringLiteral("Sepia"), &R::Sepia},
      {QStringLiteral("img_trnsp_val"), &R::img_trnsp_val},
      {QStringLiteral("hue_val"), &R::hue_val},
      {QStringLiteral("sat_val"), &R::sat_val},
      {QStringLiteral("brt_val"), &R::brt_val},
      {QStringLiteral("con_val"), &R::con_val},
      {QStringLiteral("srp_val"), &R::srp_val},
      {QStringLiteral("ev_val"), &R::ev_val},
      {QStringLiteral("blr_val"), &R::blr_val},
      {QStringLiteral("data_source_type"), &R::data_source_type},
      {QStringLiteral("rotate_image"), &R::rotate_image},
      {QStringLiteral("_file_path"), &R::_file_path},
      {QStringLiteral("sign_or_fingureprint"), &R::sign_or_fingureprint},
      {QStringLiteral("batch_list_name"), &R::batch_list_name},
      {QStringLiteral("batch_list_index"), &R::batch_list_index},
      {QStringLiteral("_line_ori"), &R::_line_ori},
      {QStringLiteral("_line_cap_style"), &R::_line_cap_style},
      {QStringLiteral("alpha_val"), &R::alpha_val},
      {QStringLiteral("alpha_val_stroke"), &R::alpha_val_stroke},
      {QStringLiteral("text_ctrl_font"), &R::text_ctrl_font},
      {QStringLiteral("txt_clr"), &R::txt_clr},
      {QStringLiteral("_Text_contents"), &R::_Text_contents},
      {QStringLiteral("_shape_type"), &R::_shape_type},
      {QStringLiteral("cor_rad_val_val"), &R::cor_rad_val_val},
      {QStringLiteral("_barcode_image"), &R::_barcode_image},
      {QStringLiteral("linear_or_2d"), &R::linear_or_2d},
      {QStringLiteral("barcode_font_index"), &R::barcode_font_index},
      {QStringLiteral("linear_font_val"), &R::linear_font_val},
      {QStringLiteral("two_d_font_val"), &R::two_d_font_val},
      {QStringLiteral("header_val"), &R::header_val},
      {QStringLiteral("footer_val"), &R::footer_val},
      {QStringLiteral("show_hide_hdr"), &R::show_hide_hdr},
      {QStringLiteral("show_hide_ftr"), &R::show_hide_ftr},
      {QStringLiteral("show_hide_val"), &R::show_hide_val},
      {QStringLiteral("show_val_on_top"), &R::show_val_on_top},
      {QStringLiteral("align_hdr_index"), &R::align_hdr_index},
      {QStringLiteral("align_ftr_index"), &R::align_ftr_index},
      {QStringLiteral("linear_height_val"), &R::linear_height_val},
      {QStringLiteral("linear_width_val"), &R::linear_width_val},
      {QStringLiteral("qr_size_val"), &R::qr_size_val},
      {QStringLiteral("qr_version_index"), &R::qr_version_index},
      {QStringLiteral("qr_ec_index"), &R::qr_ec_index},
      {QStringLiteral("pdf_hgt_val"), &R::pdf_hgt_val},
      {QStringLiteral("pdf_wdt_val"), &R::pdf_wdt_val},
      {QStringLiteral("pdf_ec_val"), &R::pdf_ec_val},
      {QStringLiteral("dm_module_val"), &R::dm_module_val},
      {QStringLiteral("dm_format_index"), &R::dm_format_index},
      {QStringLiteral("dm_encoding_index"), &R::dm_encoding_index},
      {QStringLiteral("hdr_margin_val"), &R::hdr_margin_val},
      {QStringLiteral("ftr_margin_val"), &R::ftr_margin_val},
      {QStringLiteral("val_margin_val"), &R::val_margin_val},
      {QStringLiteral("TB_marging_val"), &R::TB_marging_val},
      {QStringLiteral("LR_margin_val"), &R::LR_margin_val},
      {QStringLiteral("value_font_val"), &R::value_font_val},
      {QStringLiteral("header_font_val"), &R::header_font_val},
      {QStringLiteral("footer_font_val"), &R::footer_font_val},
      {QStringLiteral("barcode_hdr_clr_val"), &R::barcode_hdr_clr_val},
      {QStringLiteral("barcode_ftr_clr_val"), &R::barcode_ftr_clr_val},
      {QStringLiteral("barcode_val_clr_val"), &R::barcode_val_clr_val},
      {QStringLiteral("barcode_back_clr_val"), &R::barcode_back_clr_val},
      {QStringLiteral("barcode_clr_val"), &R::barcode_clr_val},
      {QStringLiteral("dpi_val_index"), &R::dpi_val_index},
      {QStringLiteral("dpi_custom_val"), &R::dpi_custom_val},
      {QStringLiteral("barcode_unit_val"), &R::barcode_unit_val},
      {QStringLiteral("text_alignmnet"), &R::text_alignmnet},
      {QStringLiteral("text_transfrom_case"), &R::text_transfrom_case},
      {QStringLiteral("text_kerning"), &R::text_kerning},
      {QStringLiteral("print_object"), &R::print_object},
      {QStringLiteral("control_ID"), &R::control_ID},
      {QStringLiteral("excel_binding"), &R::excel_binding},
      {QStringLiteral("excel_col_indx"), &R::excel_col_indx},
      {QStringLiteral("Text_Value"), &R::Text_Value},
      {QStringLiteral("ctrl_is_visible"), &R::ctrl_is_visible},
      {QStringLiteral("double_star_type"), &R::double_star_type},
      {QStringLiteral("polygon_type"), &R::polygon_type},
  };
  return fields;
}

const QString Key_Points_Right = QStringLiteral("_pointsRight");
const QString Key_Points_Down = QStringLiteral("_pointsDown");
const QString Graphic_Superclass = QStringLiteral("CRDGraphic");

template <typename... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

void Encode_Fields(Archiver& archiver, Object_Encoder& e, const CRDGraphic& g) {
  const R& r = g;
  e.Reserve(Fields().size() + 2);
  for (const Field& field : Fields()) {
    const QString& key = field.key;
    std::visit(Overloaded{
                   [&](QRectF R::*m) { e.Encode_Rect(key, r.*m); },
                   [&](bool R::*m) { e.Encode_Bool(key, r.*m); },
                   [&](int R::*m) { e.Encode_Int32(key, r.*m); },
                   [&](float R::*m) { e.Encode_Float(key, r.*m); },
                   // Double fields are stored as 32-bit reals.
                   [&](double R::*m) { e.Encode_Float(key, float(r.*m)); },
                   [&](CRDColor R::*m) { e.Encode_Object(key, Encode_Color(archiver, r.*m)); },
                   [&](QString R::*m) {
                     const QString& text = r.*m;
                     e.Encode_Object(
                         key, text.isNull() ? Archiver::Null() : archiver.Encode_String(text));
                   },
                   [&](QFont R::*m) { e.Encode_Object(key, Encode_Font(archiver, r.*m)); },
                   [&](std::shared_ptr<StyledText> R::*m) {
                     e.Encode_Object(key, Encode_Styled_Text(archiver, (r.*m).get()));
                   },
                   [&](Picture R::*m) { e.Encode_Object(key, Encode_Picture(archiver, r.*m)); },
               },
               field.member);
  }
  if (const auto* line = dynamic_cast<const CRDLine*>(&g)) {
    e.Encode_Bool(Key_Points_Right, line->_pointsRight);
    e.Encode_Bool(Key_Points_Down, line->_pointsDown);
  }
}

void Decode_Fields(const Object& o, CRDGraphic& g, Graphic_Read_Budget& budget) {
  R& r = g;
  for (const Field& field : Fields()) {
    const QString& key = field.key;
    // A missing key, or a value of another type, leaves the field at zero.
    std::visit(Overloaded{
                   [&](QRectF R::*m) {
                     if (auto v = o.decodeRect(key)) r.*m = *v;
                   },
                   [&](bool R::*m) {
                     if (auto v = o.decodeBool(key)) r.*m = *v;
                   },
                   [&](int R::*m) {
                     if (auto v = o.decodeInt32(key)) r.*m = *v;
                   },
                   [&](float R::*m) {
                     if (auto v = o.decodeFloat(key)) r.*m = *v;
                   },
                   [&](double R::*m) {
                     if (auto v = o.decodeFloat(key)) r.*m = double(*v);
                   },
                   [&](CRDColor R::*m) {
                     if (auto v = Decode_Color(o.decodeObject(key))) r.*m = *v;
                   },
                   [&](QString R::*m) {
                     if (auto v = o.decodeObject(key).toString()) r.*m = *v;
                   },
                   [&](QFont R::*m) {
                     if (auto v = Decode_Font(o.decodeObject(key))) r.*m = *v;
                   },
                   [&](std::shared_ptr<StyledText> R::*m) {
                     if (auto v = Decode_Styled_Text(o.decodeObject(key)))
                       r.*m = std::make_shared<StyledText>(std::move(*v));
                   },
                   [&](Picture R::*m) {
                     if (auto v = Decode_Picture(o.decodeObject(key), &budget))
                       r.*m = std::move(*v);
                   },
               },
               field.member);
  }
  if (auto* line = dynamic_cast<CRDLine*>(&g)) {
    line->_pointsRight = o.decodeBool(Key_Points_Right).value_or(false);
    line->_pointsDown = o.decodeBool(Key_Points_Down).value_or(false);
  }
}

}  // namespace

// ---- What reading may cost ------------------------------------------------------------

bool Graphic_Read_Budget::Take_Graphics(qint64 n) {
  if (n < 0 || n > max_graphics_ - graphics_) return false;
  graphics_ += n;
  return true;
}

std::optional<QImage> Graphic_Read_Budget::Decode_Image(const QByteArray& bytes) {
  if (bytes.isEmpty() || failed_.contains(bytes)) return std::nullopt;
  const qint64 left = pixels_left();
  const auto pixels_of = [](QSize size) { return qint64(size.width()) * size.height(); };
  const auto leave_out = [&](QSize size) -> std::optional<QImage> {
    if (left_out_++ == 0) first_left_out_ = size;
    last_left_out_ = size;
    return std::nullopt;
  };
  // A decode that fails has cost what its header promised all the same: it counts
  // against what is left, so that many distinct damaged pictures stop at the budget too.
  const auto fail = [&](QSize decoded = QSize()) -> std::optional<QImage> {
    failed_.insert(bytes);
    if (decoded.isValid()) {
      pixels_ += pixels_of(decoded);
      ++damaged_;
    }
    return std::nullopt;
  };
  const auto take = [&](QImage image) -> std::optional<QImage> {
    pixels_ += pixels_of(image.size());
    return image;
  };
  QSize size;
  std::optional<QImage> image = tiff::Read(bytes, left, &size);
  if (size.isValid()) {  // our own layout: its header was read first
    if (pixels_of(size) > left) return leave_out(size);
    ++decodes_;
    if (image) return take(std::move(*image));
  }
  // Other layouts and formats (and strips ours could not read) through Qt's readers, which
  // tell the size from the header.
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  size = reader.size();
  if (!size.isValid() || size.isEmpty()) return fail();  // no picture, or no size told first
  if (pixels_of(size) > left) return leave_out(size);
  ++decodes_;
  QImage decoded = reader.read();
  if (decoded.isNull() || pixels_of(decoded.size()) > left) return fail(size);
  return take(std::move(decoded));
}

Picture Graphic_Read_Budget::Read_Picture_File(const QString& path) {
  if (path.isEmpty() || failed_files_.contains(path)) return {};
  if (const auto known = files_.constFind(path); known != files_.cend()) return *known;
  const qint64 left = pixels_left();
  QSize size;
  Picture picture = Picture::fromFile(path, left, &size);
  const qint64 pixels = qint64(size.width()) * size.height();
  if (size.isValid() && pixels > left) {
    if (left_out_++ == 0) first_left_out_ = size;
    last_left_out_ = size;
    return {};
  }
  if (size.isValid()) ++decodes_;
  if (picture.isNull()) {
    failed_files_.insert(path);
    if (size.isValid()) {  // decoded in vain: it counts all the same
      pixels_ += pixels;
      ++damaged_;
    }
    return {};
  }
  pixels_ += qint64(picture.image().width()) * picture.image().height();
  files_.insert(path, picture);
  return picture;
}

QSize Graphic_Read_Budget::Past_Budget(const QString& path) const {
  if (path.isEmpty() || files_.contains(path)) return {};
  const qint64 left = pixels_left();
  QFile file;
  if (!Open_Regular_File(file, path)) return {};
  QImageReader reader(&file);
  const QSize size = reader.size();
  if (!size.isValid() || qint64(size.width()) * size.height() <= left) return {};
  return size;
}

void Graphic_Read_Budget::Hold(const Graphic_List& graphics, const CRDGraphic* except) {
  const auto pixels_of = [](const Picture& picture) {
    return qint64(picture.image().width()) * picture.image().height();
  };
  for (const auto& graphic : graphics) {
    if (!graphic || graphic.get() == except) continue;
    pixels_ += pixels_of(graphic->_barcode_image);
    const auto* image = dynamic_cast<const CRDImage*>(graphic.get());
    if (!image || image->_contents.isNull() || image->FilePath().isEmpty()) continue;
    const QString path = Standardized_Path(image->FilePath());
    if (files_.contains(path) || !QFileInfo(path).isFile()) continue;
    files_.insert(path, image->_contents);
    pixels_ += pixels_of(image->_contents);
  }
}

void Graphic_Read_Budget::Note_Text_Left_Out(const QString& why) {
  if (texts_left_out_++ == 0) first_text_left_out_ = why;
}

QString Graphic_Read_Budget::Texts_Left_Out() const {
  if (texts_left_out_ == 0) return {};
  return (texts_left_out_ == 1
              ? QStringLiteral("1 text object was left out: ")
              : QStringLiteral("%1 text objects were left out; the first: ").arg(texts_left_out_)) +
         first_text_left_out_;
}

QString Graphic_Read_Budget::Pictures_Left_Out() const {
  if (left_out_ == 0) return {};
  const auto millions = [](qint64 pixels) { return QString::number(double(pixels) / 1e6, 'g', 4); };
  return QStringLiteral(
             "%1 left out unread (the first of %2 x %3 pixels): the pictures of one design may "
             "hold %4 million pixels together, one picture %5 million")
      .arg(left_out_ == 1 ? QStringLiteral("1 picture") : QStringLiteral("%1 pictures").arg(left_out_))
      .arg(first_left_out_.width())
      .arg(first_left_out_.height())
      .arg(millions(max_pixels_), millions(Max_One_Picture_Pixels)) +
         (damaged_ == 0 ? QString()
                        : QStringLiteral(", and the %1 that could not be decoded count as well")
                              .arg(damaged_ == 1 ? QStringLiteral("1 damaged picture")
                                                 : QStringLiteral("%1 damaged pictures").arg(damaged_)));
}

// ---- Value objects ---------------------------------------------------------------------

plist::Uid Encode_Color(Archiver& archiver, const CRDColor& color) {
  if (!color.isValid()) return Archiver::Null();
  return archiver.Encode_Object({QStringLiteral("NSColor")}, [&](Object_Encoder& e) {
    e.Encode_Int32(Key_Color_Space, int(color.space()));
    if (color.isWhiteSpace())
      e.Encode_Value(Key_White, Component_Bytes({color.whiteComponent()}, color.alphaComponent()));
    else
      e.Encode_Value(Key_RGB, Component_Bytes({color.redComponent(), color.greenComponent(),
                                               color.blueComponent()},
                                              color.alphaComponent()));
  });
}

std::optional<CRDColor> Decode_Color(const Object& o) {
  if (o.isNull() || !o.isKindOf(QLatin1String("NSColor"))) return std::nullopt;
  const int space = o.decodeInt32(Key_Color_Space).value_or(0);
  if (space == 6 || (space == 0 && o.containsKey(Key_Catalog_Color)))
    return Decode_Color(o.decodeObject(Key_Catalog_Color));  // a named colour: its fallback
  if (space == 5 || (space == 0 && o.containsKey(Key_CMYK))) {
    const std::vector<double> c = Components_Of(o, Key_CMYK);
    if (c.size() != 4 && c.size() != 5) return std::nullopt;
    const double k = 1.0 - c[3];
    return CRDColor::rgb((1.0 - c[0]) * k, (1.0 - c[1]) * k, (1.0 - c[2]) * k,
                         c.size() == 5 ? c[4] : 1.0, CRDColor::Space::Device_RGB);
  }
  if (o.containsKey(Key_RGB)) return Rgb_From(Components_Of(o, Key_RGB), Space_Of(space, true));
  if (o.containsKey(Key_White))
    return White_From(Components_Of(o, Key_White), Space_Of(space, false));
  const std::vector<double> c = Components_Of(o, Key_Components);
  if (c.size() >= 3) return Rgb_From(c, Space_Of(space, true));
  return White_From(c, Space_Of(space, false));
}

plist::Uid Encode_Font(Archiver& archiver, const QFont& font) {
  if (!Has_Font(font)) return Archiver::Null();
  const double size = font.pointSizeF() > 0 ? font.pointSizeF() : Default_Font_Size;
  return archiver.Encode_Object({QStringLiteral("NSFont")}, [&](Object_Encoder& e) {
    e.Encode_Object(Key_Font_Name, archiver.Encode_String(Font_Stored_Name(font)));
    e.Encode_Double(Key_Font_Size, size);
    e.Encode_Int32(Key_Font_Flags, Font_Flags);
  });
}

std::optional<QFont> Decode_Font(const Object& o) {
  if (o.isNull() || !o.isKindOf(QLatin1String("NSFont"))) return std::nullopt;
  const std::optional<QString> name = o.decodeObject(Key_Font_Name).toString();
  if (!name || name->isEmpty()) return std::nullopt;
  double size = o.decodeDouble(Key_Font_Size).value_or(0);
  if (!(size > 0) || size > 10000) size = Default_Font_Size;
  return Make_Font(*name, size);
}

plist::Uid Encode_Styled_Text(Archiver& archiver, const StyledText* text) {
  if (!text) return Archiver::Null();
  return archiver.Encode_Object(
      {QStringLiteral("NSTextStorage"), QStringLiteral("NSMutableAttributedString"),
       QStringLiteral("NSAttributedString")},
      [&](Object_Encoder& e) {
        e.Encode_Object(Key_String, archiver.Encode_String(text->string()));
        const std::vector<StyledText::Run>& runs = text->runs();
        if (runs.empty()) return;
        if (runs.size() == 1) {
          e.Encode_Object(Key_Attributes, Encode_Attributes(archiver, text->attributes(runs.front())));
          return;
        }
        // Several runs: each distinct attribute set once, and the runs as pairs of
        // length and index into that list. Sets are found by hash, so the cost grows with
        // the runs, not with runs times sets.
        const std::vector<Text_Attributes>& styles = text->styles();
        std::vector<int> stored(styles.size(), -1);  // a style's index in the list
        QHash<Text_Attributes, int> distinct;
        std::vector<const Text_Attributes*> list;
        QByteArray info;
        info.reserve(qsizetype(runs.size()) * 3);
        for (const StyledText::Run& run : runs) {
          int& index = stored[size_t(run.style)];
          if (index < 0) {
            const Text_Attributes& a = styles[size_t(run.style)];
            const auto found = distinct.constFind(a);
            if (found != distinct.constEnd()) {
              index = *found;
            } else {
              index = int(list.size());
              distinct.insert(a, index);
              list.push_back(&a);
            }
          }
          Append_Varint(info, quint64(run.length));
          Append_Varint(info, quint64(index));
        }
        std::vector<plist::Uid> dictionaries;
        dictionaries.reserve(list.size());
        for (const Text_Attributes* a : list) dictionaries.push_back(Encode_Attributes(archiver, *a));
        e.Encode_Object(Key_Attributes, archiver.Encode_Array(dictionaries));
        e.Encode_Object(Key_Attribute_Info, archiver.Encode_Data(info));
      });
}

std::optional<StyledText> Decode_Styled_Text(const Object& o) {
  if (o.isNull()) return std::nullopt;
  if (std::optional<QString> plain = o.toString()) return StyledText(*plain);
  if (!o.isKindOf(QLatin1String("NSAttributedString"))) return std::nullopt;
  std::optional<QString> string = o.decodeObject(Key_String).toString();
  if (!string) return std::nullopt;
  const Object attributes = o.decodeObject(Key_Attributes);
  if (attributes.isNull()) return StyledText(*string);
  if (Is_Dictionary(attributes)) return StyledText(*string, Decode_Attributes(attributes));

  const std::vector<Object> items = attributes.arrayItems();
  const QByteArray info = o.decodeObject(Key_Attribute_Info).toData().value_or(QByteArray());
  const qint64 length = string->size();
  // The runs within the text are counted before any is made: a text past the limit is
  // refused at once, whatever its run list holds.
  const auto each_run = [&](const auto& take) {
    qint64 position = 0;
    qsizetype pos = 0;
    while (pos < info.size() && position < length) {
      quint64 run_length = 0, index = 0;
      if (!Read_Varint(info, pos, run_length) || !Read_Varint(info, pos, index)) break;
      if (run_length == 0) continue;
      const qint64 clipped = qint64(std::min<quint64>(run_length, quint64(length - position)));
      take(position, clipped, index);
      position += clipped;
    }
  };
  qint64 count = 0;
  each_run([&](qint64, qint64, quint64) { ++count; });
  if (const QString refused = StyledText::Refused_Runs_Text(count); !refused.isEmpty())
    throw Text_Refused(refused.toStdString());
  if (count == 0) {
    if (items.empty()) return StyledText(*string);
    return StyledText(*string, Decode_Attributes(items.front()));
  }
  // Only the attribute sets the runs name are read, each once.
  std::vector<Text_Attributes> styles;
  std::vector<int> style_of(items.size(), -1);
  std::vector<StyledText::Run> runs;
  runs.reserve(size_t(count));
  each_run([&](qint64 position, qint64 clipped, quint64 index) {
    int style = -1;  // outside the list: no attributes
    if (index < items.size()) {
      int& known = style_of[size_t(index)];
      if (known < 0) {
        known = int(styles.size());
        styles.push_back(Decode_Attributes(items[size_t(index)]));
      }
      style = known;
    }
    runs.push_back({int(position), int(clipped), style});
  });
  return StyledText::fromRuns(*string, std::move(styles), runs);
}

plist::Uid Encode_Picture(Archiver& archiver, const Picture& picture) {
  if (picture.isNull()) return Archiver::Null();
  return archiver.Encode_Object({QStringLiteral("NSImage")}, [&](Object_Encoder& e) {
    e.Encode_Size(Key_Image_Size, picture.size());
    const plist::Uid rep = archiver.Encode_Object(
        {QStringLiteral("NSBitmapImageRep"), QStringLiteral("NSImageRep")}, [&](Object_Encoder& r) {
          r.Encode_Object(Key_TIFF, archiver.Encode_Data(Picture_Bytes(picture)));
        });
    const plist::Uid entry = archiver.Encode_Array({archiver.Encode_Integer(0), rep});
    e.Encode_Object(Key_Image_Reps, archiver.Encode_Array({entry}));
  });
}

std::optional<Picture> Decode_Picture(const Object& o, Graphic_Read_Budget* budget) {
  if (o.isNull() || !o.isKindOf(QLatin1String("NSImage"))) return std::nullopt;
  Graphic_Read_Budget own;
  Graphic_Read_Budget& pictures = budget ? *budget : own;
  std::optional<QImage> image;
  const Object reps = o.decodeObject(Key_Image_Reps);
  for (const Object& entry : reps.arrayItems()) {
    // An entry is a pair of a kind number and the representation, or the representation.
    std::vector<Object> parts = entry.arrayItems();
    if (parts.empty()) parts.push_back(entry);
    for (const Object& part : parts) {
      if (std::optional<QByteArray> bytes = Representation_Bytes(part)) {
        image = pictures.Decode_Image(*bytes);
        if (image) break;
      }
    }
    if (image) break;
  }
  if (!image && o.containsKey(Key_TIFF))
    if (std::optional<QByteArray> bytes = o.decodeObject(Key_TIFF).toData())
      image = pictures.Decode_Image(*bytes);
  if (!image) return std::nullopt;
  const std::optional<QSizeF> size = o.decodeSize(Key_Image_Size);
  if (size && size->width() > 0 && size->height() > 0) return Picture(std::move(*image), *size);
  return Picture(std::move(*image));
}

// ---- Graphics --------------------------------------------------------------------------

const QStringList& Graphic_Archive_Keys() {
  static const QStringList keys = [] {
    QStringList list;
    for (const Field& field : Fields()) list << field.key;
    return list;
  }();
  return keys;
}

QByteArray Archive_Graphic(const CRDGraphic& graphic, qint64* objects) {
  Archiver archiver;
  const plist::Uid root =
      archiver.Encode_Object({graphic.className(), Graphic_Superclass},
                             [&](Object_Encoder& e) { Encode_Fields(archiver, e, graphic); });
  return archiver.Archived_Data(root, objects);
}

QString Graphic_Archive_Past_Limits(const QByteArray& archive, qint64 objects,
                                    const keyed_archive::Limits& limits) {
  return keyed_archive::Archive_Past_Limits(archive, objects, limits);
}

std::shared_ptr<CRDGraphic> Unarchive_Graphic(const QByteArray& data, QString* reason,
                                              Graphic_Read_Budget* budget) {
  const auto refuse = [reason](const QString& why) {
    if (reason) *reason = why;
    return nullptr;
  };
  const std::unique_ptr<keyed_archive::Unarchiver> archive = keyed_archive::Unarchiver::Open(
      data, budget ? budget->archive_limits() : keyed_archive::Limits{});
  if (!archive) return refuse(QStringLiteral("not a keyed archive"));
  try {
    const Object root = archive->root();
    std::shared_ptr<CRDGraphic> graphic = Make_Bare_Graphic(root.className());
    if (!graphic)
      return refuse(QStringLiteral("an object of the kind \u201c%1\u201d, which this version does not know")
                        .arg(root.className()));
    Graphic_Read_Budget own;
    Decode_Fields(root, *graphic, budget ? *budget : own);
    return graphic;
  } catch (const Text_Refused& e) {
    if (budget) budget->Note_Text_Left_Out(QString::fromUtf8(e.what()));
    return refuse(QString::fromUtf8(e.what()));
  } catch (const keyed_archive::Archive_Error& e) {
    return refuse(QString::fromUtf8(e.what()));
  }
}

plist::Array propertiesWithGraphics(const Graphic_List& graphics) {
  plist::Array archives;
  archives.reserve(graphics.size());
  for (const auto& graphic : graphics)
    if (graphic) archives.emplace_back(Archive_Graphic(*graphic));
  return archives;
}

namespace {

// What a paste names for a picture it left out: its file, or the object it belongs to.
QString left_out_picture_name(const CRDGraphic& graphic, QSize size) {
  static const QHash<QString, QString> kinds = {
      {QStringLiteral("CRDImage"), QStringLiteral("a picture object")},
      {QStringLiteral("CRDSignature"), QStringLiteral("a signature")},
      {QStringLiteral("CRDBarcode"), QStringLiteral("a barcode")},
      {QStringLiteral("Shape_Control"), QStringLiteral("a shape")},
      {QStringLiteral("CRDText"), QStringLiteral("a text")},
      {QStringLiteral("CRDLine"), QStringLiteral("a line")},
  };
  const QString pixels = QStringLiteral("%1 x %2 pixels").arg(size.width()).arg(size.height());
  // A picture object shows its file; other kinds keep their picture in the design.
  if (graphic.className() == QLatin1String("CRDImage") && !graphic._file_path.isEmpty())
    return QStringLiteral("%1 (%2)").arg(graphic._file_path, pixels);
  return QStringLiteral("the picture of %1 (%2)")
      .arg(kinds.value(graphic.className(), QStringLiteral("an object")), pixels);
}

// The graphics of the archives under the budget. With `dropped`, a graphic any of whose
// pictures the budget left out is not kept, and its picture is named there.
Graphic_List read_graphics(const plist::Array& archives, Graphic_Read_Budget& limits,
                           QStringList* dropped) {
  Graphic_List graphics;
  graphics.reserve(size_t(std::min<qint64>(qint64(archives.size()), limits.max_graphics())));
  for (const plist::Value& element : archives) {
    const QByteArray* data = element.data();
    if (!data) continue;
    if (!limits.Take_Graphics(1)) break;
    const int left_out_before = limits.left_out();
    std::shared_ptr<CRDGraphic> graphic = Unarchive_Graphic(*data, nullptr, &limits);
    if (!graphic) continue;
    if (graphic->className() == QLatin1String("CRDImage")) {
      const QString path = graphic->_file_path;
      Show_NSLog_Message(path);
      if (auto* image = dynamic_cast<CRDImage*>(graphic.get());
          image && !path.isEmpty() && QFileInfo::exists(path)) {
        const int left_out = limits.left_out();
        image->Set_File_Picture(path, limits.Read_Picture_File(Standardized_Path(path)));
        // A picture graphic whose picture the budget left out is left out with it: kept,
        // it would take its picture from the file when the design is opened again, in
        // place of another.
        if (limits.left_out() != left_out) {
          if (dropped) *dropped << left_out_picture_name(*graphic, limits.last_left_out());
          continue;
        }
      }
    }
    if (dropped && limits.left_out() != left_out_before) {
      *dropped << left_out_picture_name(*graphic, limits.last_left_out());
      continue;
    }
    graphics.push_back(std::move(graphic));
  }
  return graphics;
}

}  // namespace

Graphic_List graphicsWithProperties(const plist::Array& archives, Graphic_Read_Budget* budget) {
  Graphic_Read_Budget own;
  return read_graphics(archives, budget ? *budget : own, nullptr);
}

QByteArray pasteboardDataWithGraphics(const Graphic_List& graphics) {
  return plist::Write(propertiesWithGraphics(graphics), plist::Format::Binary);
}

std::optional<Graphic_List> graphicsWithPasteboardData(const QByteArray& data, CRDError* error,
                                                       QString* left_out,
                                                       Graphic_Read_Budget* held) {
  const std::optional<plist::Value> list = plist::Read(data);
  if (!list || !list->array() ||
      qint64(list->array()->size()) > Graphic_Read_Budget::Default_Graphics) {
    if (error) *error = CRDErrorWithCode(2);
    return std::nullopt;
  }
  Graphic_Read_Budget own;
  Graphic_Read_Budget& budget = held ? *held : own;
  QStringList dropped;
  Graphic_List graphics = read_graphics(*list->array(), budget, &dropped);
  if (left_out) {
    left_out->clear();
    if (!dropped.isEmpty()) {
      constexpr int Named = 10;
      QString names = dropped.mid(0, Named).join(QLatin1Char('\n'));
      if (dropped.size() > Named)
        names += QStringLiteral("\n(and %1 more)").arg(dropped.size() - Named);
      const auto millions = [](qint64 pixels) {
        return QString::number(double(pixels) / 1e6, 'g', 4);
      };
      *left_out =
          QStringLiteral("%1 not pasted: the pictures of one design may hold %2 million pixels "
                         "together, one picture %3 million, and %4 past that:\n%5")
              .arg(dropped.size() == 1 ? QStringLiteral("1 object was")
                                       : QStringLiteral("%1 objects were").arg(dropped.size()))
              .arg(millions(budget.max_picture_pixels()),
                   millions(Graphic_Read_Budget::Max_One_Picture_Pixels),
                   dropped.size() == 1 ? QStringLiteral("its picture is")
                                       : QStringLiteral("their pictures are"),
                   names);
    }
  }
  return graphics;
}

// ---- Value objects on their own --------------------------------------------------------

QByteArray Archive_Color(const CRDColor& color) {
  Archiver archiver;
  const plist::Uid root = Encode_Color(archiver, color);
  return archiver.Archived_Data(root);
}

std::optional<CRDColor> Unarchive_Color(const QByteArray& data) {
  const auto archive = keyed_archive::Unarchiver::Open(data);
  if (!archive) return std::nullopt;
  try {
    const Object root = archive->root();
    if (root.isNull()) return CRDColor();
    return Decode_Color(root);
  } catch (const keyed_archive::Archive_Error&) {
    return std::nullopt;
  }
}

QByteArray Archive_Font(const QFont& font) {
  Archiver archiver;
  const plist::Uid root = Encode_Font(archiver, font);
  return archiver.Archived_Data(root);
}

std::optional<QFont> Unarchive_Font(const QByteArray& data) {
  const auto archive = keyed_archive::Unarchiver::Open(data);
  if (!archive) return std::nullopt;
  try {
    const Object root = archive->root();
    if (root.isNull()) return QFont();
    return Decode_Font(root);
  } catch (const keyed_archive::Archive_Error&) {
    return std::nullopt;
  }
}
