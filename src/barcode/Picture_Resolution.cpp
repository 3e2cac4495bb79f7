#include "barcode/Picture_Resolution.h"

#include "model/Common_Functions.h"

#include <QPainter>

#include <cmath>
#include <limits>

Picture Increase_DPI(const Picture& picture, double dpi) {
  const QSizeF size = picture.size();
  if (picture.isNull() || !(size.width() > 0) || !(size.height() > 0)) {
    Show_NSLog_Message(QStringLiteral("Invalid image"));
    return {};
  }
  const float w = std::ceil(float(dpi) * float(size.width()) / 72.0f);
  const float h = std::ceil(float(dpi) * float(size.height()) / 72.0f);
  // Keep far below what a QImage can address (and what memory can hold).
  constexpr float kMaxSide = 32768.0f;
  if (!(w >= 1.0f) || !(h >= 1.0f) || w > kMaxSide || h > kMaxSide) {
    Show_NSLog_Message(QStringLiteral("Unable to render the picture at %1 dpi").arg(dpi));
    return {};
  }
  QImage bitmap(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
  if (bitmap.isNull()) {
    Show_NSLog_Message(QStringLiteral("Unable to render the picture at %1 dpi").arg(dpi));
    return {};
  }
  bitmap.fill(Qt::transparent);
  const int dots_per_meter = int(std::lround(dpi / 0.0254));
  bitmap.setDotsPerMeterX(dots_per_meter);
  bitmap.setDotsPerMeterY(dots_per_meter);
  {
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QRectF(0, 0, w, h), picture.image());
  }
  return Picture(std::move(bitmap), size);
}
