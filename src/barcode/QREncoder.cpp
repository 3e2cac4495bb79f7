#include "barcode/QREncoder.h"

#include "barcode/Picture_Resolution.h"
#include "barcode/QR_Encoder.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"

#include <QImage>

#include <array>
#include <cstring>
#include <exception>

namespace {

// Characters of a mode that fit into the data bits of a version group after the header bits
// (ISO/IEC 18004's data capacity table is this with no header).
int Characters_In(int mode, int bits, int g) {
  static constexpr int numeral[3] = {10, 12, 14}, alpha[3] = {9, 11, 13}, byte8[3] = {8, 16, 16},
                       kanji[3] = {8, 10, 12};
  int left = 0;
  switch (mode) {
    case 0:
      left = bits - 4 - numeral[g];
      return left < 0 ? 0 : (left / 10) * 3 + (left % 10 >= 7 ? 2 : left % 10 >= 4 ? 1 : 0);
    case 1:
      left = bits - 4 - alpha[g];
      return left < 0 ? 0 : (left / 11) * 2 + (left % 11 >= 6 ? 1 : 0);
    case 2: left = bits - 4 - byte8[g]; return left < 0 ? 0 : left / 8;
    default: left = bits - 4 - kanji[g]; return left < 0 ? 0 : left / 13;
  }
}

int Version_Group_Of(int version) { return version >= 27 ? 2 : version >= 10 ? 1 : 0; }

// Character capacities by mode, (version - 1) x 4 + level.
struct Capacity_Tables {
  std::array<std::array<int, 160>, 4> table{};
  Capacity_Tables() {
    for (int v = 1; v <= 40; ++v)
      for (int level = 0; level < 4; ++level)
        for (int mode = 0; mode < 4; ++mode)
          table[mode][(v - 1) * 4 + level] =
              Characters_In(mode, QR_Encoder::DataBitSize(v, level), Version_Group_Of(v));
  }
};

const Capacity_Tables& Capacities() {
  static const Capacity_Tables tables;
  return tables;
}

// Bytes beyond 7-bit ASCII need their encoding marked for every reader to take them alike.
bool Needs_Eci(const QByteArray& bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) > 127) return true;
  return false;
}

}  // namespace

// ---- DataMatrix -------------------------------------------------------------------------

DataMatrix::DataMatrix(int dimension)
    : dimension_(std::max(dimension, 0)),
      data_(static_cast<size_t>(dimension_) * static_cast<size_t>(dimension_), 0) {}

void DataMatrix::set(std::uint8_t value, int x, int y) {
  if (x < 0 || y < 0 || x >= dimension_ || y >= dimension_) return;
  data_[static_cast<size_t>(y) * dimension_ + x] = value;
}

std::uint8_t DataMatrix::valueAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= dimension_ || y >= dimension_) return 0;
  return data_[static_cast<size_t>(y) * dimension_ + x];
}

QString DataMatrix::description() const {
  QString text;
  text.reserve(dimension_ * (dimension_ + 1));
  for (int y = 0; y < dimension_; ++y) {
    for (int x = 0; x < dimension_; ++x) text += QString::number(valueAt(x, y));
    text += QLatin1Char('\n');
  }
  return text;
}

// ---- QREncoder --------------------------------------------------------------------------

int QREncoder::Capacity(int mode, int version, int level) {
  if (mode < 0 || mode > 3 || version < 1 || version > 40 || level < 0 || level > 3) return 0;
  return Capacities().table[mode][(version - 1) * 4 + level];
}

int QREncoder::Capacity(int mode, int version, int level, int eci) {
  if (mode < 0 || mode > 3 || version < 1 || version > 40 || level < 0 || level > 3) return 0;
  return Characters_In(mode, QR_Encoder::DataBitSize(version, level) - QR_Encoder::EciHeaderBits(eci),
                       Version_Group_Of(version));
}

std::unique_ptr<DataMatrix> QREncoder::encodeCStringWithECLevel(int level, int version,
                                                                const QByteArray& cstring, int eci) {
  try {
    if (level < 0 || level > 3 || version < 0 || version > 40) return nullptr;
    const qsizetype zero = cstring.indexOf('\0');
    const qsizetype length = zero < 0 ? cstring.size() : zero;
    const auto* bytes = reinterpret_cast<const unsigned char*>(cstring.constData());

    auto encoder = std::make_unique<QR_Encoder>();
    encoder->m_bKanjiMode = false;  // text arrives as UTF-8
    encoder->m_nEci = eci;
    // "Auto" takes the smallest version that holds the data, so only what no version holds
    // is refused here; a fixed version is checked against its own capacity, which the ECI
    // header shares.
    if (length > QR_Encoder::MAX_SOURCE_BYTES) return nullptr;
    const int mode = encoder->Get_Encoding_Mode(bytes, int(length));
    if (Capacity(mode, version == 0 ? 40 : version, level, eci) < length) return nullptr;

    auto grid = std::make_unique<DataMatrix>(0);
    if (length > 0 && encoder->EncodeData(level, version, true, -1, bytes, int(length))) {
      const int n = encoder->m_nSymbleSize;
      grid = std::make_unique<DataMatrix>(n);
      for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) grid->set(encoder->m_byModuleData[x][y] == 1 ? 1 : 0, x, y);
    }
    return grid;
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    return nullptr;
  }
}

std::unique_ptr<DataMatrix> QREncoder::encodeWithECLevel(int level, int version,
                                                         const QString& string) {
  const QByteArray bytes = string.toUtf8();
  return encodeCStringWithECLevel(level, version, bytes, Needs_Eci(bytes) ? kEci_Utf8 : -1);
}

Picture QREncoder::renderDataMatrix(const DataMatrix* grid, int imageDimension) {
  return renderDataMatrix(grid, imageDimension, USED_DPI_VALUE.load());
}

Picture QREncoder::renderDataMatrix(const DataMatrix* grid, int imageDimension, double dpi,
                                    QString* failure) {
  if (!grid || grid->dimension() == 0) return {};
  const int n = grid->dimension();
  const int d = std::max(imageDimension, n);
  QImage image(d, d, QImage::Format_RGBA8888);
  if (image.isNull()) {
    const QString reason = QStringLiteral("Unable to draw a QR Code picture of %1 pixels.").arg(d);
    if (failure) *failure = reason;
    else Show_MessageBox(reason);
    return {};
  }
  const int m = d / n;
  const int rest = d - m * n;
  const int lead = rest / 2;
  const uchar margin[4] = {255, 255, 255, 0};
  const uchar light[4] = {255, 255, 255, 255};
  const uchar dark[4] = {0, 0, 0, 255};
  auto put = [](uchar* pixel, const uchar* value) { std::memcpy(pixel, value, 4); };
  for (int py = 0; py < d; ++py) {
    uchar* row = image.scanLine(py);
    const int gy = py - lead;
    const bool margin_row = gy < 0 || gy >= m * n;
    for (int px = 0; px < d; ++px) {
      const int gx = px - lead;
      if (margin_row || gx < 0 || gx >= m * n)
        put(row + 4 * px, margin);
      else
        put(row + 4 * px, grid->valueAt(gx / m, gy / m) ? dark : light);
    }
  }
  return Increase_DPI(Picture(std::move(image), QSizeF(d, d)), dpi);
}
