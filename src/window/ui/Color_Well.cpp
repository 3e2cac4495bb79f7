#include "window/ui/Color_Well.h"

#include "platform/Platform.h"

#include <QPainter>
#include <QPixmap>

Color_Well::Color_Well(QWidget* parent, const QString& name) : QToolButton(parent) {
  setObjectName(name);
  setIconSize(QSize(36, 14));
  setToolTip(QStringLiteral("Choose a colour"));
  connect(this, &QToolButton::clicked, this, &Color_Well::choose);
  setColor(CRDColor::blackColor());
}

void Color_Well::setColor(const CRDColor& color) {
  color_ = color;
  QPixmap swatch(iconSize());
  swatch.fill(Qt::transparent);
  QPainter painter(&swatch);
  if (color.isValid()) {
    QColor shown = color.toQColor();
    shown.setAlphaF(1.0);  // the swatch shows the colour; opacity is the panel's own value
    painter.fillRect(swatch.rect(), shown);
  }
  painter.setPen(Qt::gray);
  painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
  painter.end();
  setIcon(swatch);
}

void Color_Well::choose() {
  const auto chosen = platform::Color_Panel(color_.toQColor(), QStringLiteral("Colors"));
  if (!chosen) return;
  setColor(CRDColor::fromQColor(*chosen));
  emit colorChanged();
}
