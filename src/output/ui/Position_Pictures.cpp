#include "output/ui/Position_Pictures.h"

#include <QPainter>

const QStringList& Position_Picture_Names() {
  static const QStringList names = {
      QStringLiteral("top_left"),      QStringLiteral("top_center"),
      QStringLiteral("top_right"),     QStringLiteral("middle_left"),
      QStringLiteral("middle_center"), QStringLiteral("middle_right"),
      QStringLiteral("bootom_left"),   QStringLiteral("bootom_center"),
      QStringLiteral("boottom_right")};
  return names;
}

const QStringList& Position_Picture_Selected_Names() {
  static const QStringList names = {
      QStringLiteral("top_left - sel"),      QStringLiteral("top_center - sel"),
      QStringLiteral("top_right - sel"),     QStringLiteral("middle_left - sel"),
      QStringLiteral("middle_center_sel"),   QStringLiteral("middle_right - sel"),
      QStringLiteral("bootom_left - sel"),   QStringLiteral("bootom_center - sel"),
      QStringLiteral("boottom_right - sel")};
  return names;
}

QImage Position_Picture(const QString& name) {
  int position = int(Position_Picture_Names().indexOf(name));
  const bool chosen = position < 0;
  if (chosen) position = int(Position_Picture_Selected_Names().indexOf(name));
  if (position < 0) return {};
  constexpr int size = 36, cell = 8, gap = 2, inset = 4;
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor accent = chosen ? QColor(38, 110, 210) : QColor(120, 120, 120);
  painter.setPen(QPen(accent, chosen ? 2 : 1));
  painter.setBrush(chosen ? QColor(225, 236, 252) : QColor(Qt::white));
  painter.drawRoundedRect(QRectF(1.5, 1.5, size - 3, size - 3), 3, 3);
  painter.setPen(Qt::NoPen);
  for (int k = 0; k < 9; ++k) {
    const QRectF r(inset + (k % 3) * (cell + gap), inset + (k / 3) * (cell + gap), cell, cell);
    painter.setBrush(k == position ? accent : QColor(210, 210, 210));
    painter.drawRect(r);
  }
  return image;
}
