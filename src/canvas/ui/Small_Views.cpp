#include "canvas/ui/Small_Views.h"

#include "model/Design_Window_Services.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// Fills the area with the picture repeated at its size in points, one tile starting at
// origin (widget coordinates).
void fill_with_pattern(QWidget& view, const QRect& area, const QString& picture_name,
                       const QPointF& origin) {
  const Picture picture = Window_Loaded_Picture(picture_name);
  if (picture.isNull() || picture.size().isEmpty()) return;
  QBrush brush(picture.image());
  QTransform transform;
  transform.translate(origin.x(), origin.y());
  transform.scale(picture.size().width() / picture.image().width(),
                  picture.size().height() / picture.image().height());
  brush.setTransform(transform);
  QPainter painter(&view);
  painter.fillRect(area, brush);
}

}  // namespace

void Repeat_Image::paintEvent(QPaintEvent* event) {
  fill_with_pattern(*this, event->rect(), QStringLiteral("banner_image"), QPointF(0, 0));
  QLabel::paintEvent(event);
}

void Promotion_Pattern::paintEvent(QPaintEvent* event) {
  const QWidget* top = window();
  const QPointF corner = mapFrom(top, QPoint(0, top->height()));
  fill_with_pattern(*this, event->rect(), QStringLiteral("promotion_pattern_image"), corner);
  QLabel::paintEvent(event);
}

VerticallyCenteredTextFieldCell::VerticallyCenteredTextFieldCell(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QRectF VerticallyCenteredTextFieldCell::titleRectForBounds(const QRectF& bounds,
                                                           double text_height) {
  const double y = bounds.y() + (bounds.height() - text_height) / 2;
  return QRectF(bounds.x(), y, bounds.width(), bounds.height() - (y - bounds.y()));
}

void VerticallyCenteredTextFieldCell::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRectF bounds = contentsRect();
  const int flags = int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop |
                    (wordWrap() ? Qt::TextWordWrap : 0);
  const double text_height = QFontMetricsF(font()).boundingRect(bounds, flags, text()).height();
  painter.setFont(font());
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(titleRectForBounds(bounds, text_height), flags, text());
}
