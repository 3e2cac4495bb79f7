#include "barcode/Picture_Resolution.h"

#include "model/Common_Functions.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

bool Fits_Picture_Limit(QSizeF points, double dpi) {
  return std::ceil(dpi * points.width() / 72.0) <= kMax_Picture_Side &&
         std::ceil(dpi * points.height() / 72.0) <= kMax_Picture_Side;
}

Picture Increase_DPI(const Picture& picture, double dpi) {
  const QSizeF size = picture.size();
  if (picture.isNull() || !(size.width() > 0) || !(size.height() > 0)) {
    Show_NSLog_Message(QStringLiteral("Invalid image"));
    return {};
  }
  const float w = std::ceil(float(dpi) * float(size.width()) / 72.0f);
  const float h = std::ceil(float(dpi) * float(size.height()) / 72.0f);
  // Keep far below what a QImage can address (and what memory can hold).
  constexpr float kMaxSide = float(kMax_Picture_Side);
  if (!(w >= 1.0f) || !(h >= 1.0f) || w > kMaxSide || h > kMaxSide) {
    Show_NSLog_Message(QStringLiteral("Unable to render the picture at %1 dpi").arg(dpi));
    return {};
  }
  QImage bitmap(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
  if (bitmap.isNull()) {
    Show_NSLog_Message(QStringLiteral("Unable to render the picture at %1 dpi").arg(dpi));
    return {};
  }
  const int dots_per_meter = int(std::lround(dpi / 0.0254));
  bitmap.setDotsPerMeterX(dots_per_meter);
  bitmap.setDotsPerMeterY(dots_per_meter);
  // Nearest neighbour by hand: each target pixel takes the source pixel under its centre.
  // Qt's scaling and format conversions hand large pictures to its shared thread pool,
  // where batch workers would queue behind one another.
  const QImage source = picture.image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int tw = int(w), th = int(h), sw = source.width(), sh = source.height();
  std::vector<int> column(size_t(tw), 0);
  for (int x = 0; x < tw; ++x) column[size_t(x)] = int((2 * qint64(x) + 1) * sw / (2 * qint64(tw)));
  for (int y = 0; y < th; ++y) {
    const int sy = int((2 * qint64(y) + 1) * sh / (2 * qint64(th)));
    auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
    if (y > 0 && sy == int((2 * qint64(y - 1) + 1) * sh / (2 * qint64(th)))) {
      std::memcpy(line, bitmap.constScanLine(y - 1), size_t(tw) * sizeof(QRgb));
      continue;
    }
    const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
    for (int x = 0; x < tw; ++x) line[x] = from[column[size_t(x)]];
  }
  return Picture(std::move(bitmap), size);
}
