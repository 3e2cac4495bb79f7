#include "canvas/ui/CRDRulerView.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The numbers are this much smaller than the widget's font, never below the minimum.
constexpr double Label_Font_Scale = 0.8;
constexpr double Min_Label_Point_Size = 6;
// Room around a number: above and below it across the ruler, and beside it along.
constexpr int Label_Margin_Across = 7;
constexpr double Label_Gap_Along = 8;
// Ticks are never closer than this many pixels.
constexpr double Min_Tick_Pixels = 4;
// Tick lengths as parts of the ruler's breadth: labelled, halfway, other.
constexpr double Tick_Length[] = {1.0, 0.45, 0.25};

QFont label_font_for(const QFont& font) {
  QFont small = font;
  if (font.pointSizeF() > 0)
    small.setPointSizeF(std::max(Min_Label_Point_Size, font.pointSizeF() * Label_Font_Scale));
  else if (font.pixelSize() > 0)
    small.setPixelSize(std::max(8, int(std::lround(font.pixelSize() * Label_Font_Scale))));
  return small;
}

// A line one device pixel wide (or high) at a position along the ruler.
QRectF device_line(Qt::Orientation orientation, double along, double across_start,
                   double across_length, double ratio) {
  const double at = Ruler_Device_Pixel(along, ratio);
  return orientation == Qt::Horizontal ? QRectF(at, across_start, 1 / ratio, across_length)
                                       : QRectF(across_start, at, across_length, 1 / ratio);
}

}  // namespace

// ---- Ruler ---------------------------------------------------------------------------------

CRDRulerView::CRDRulerView(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
  setObjectName(orientation == Qt::Horizontal ? QStringLiteral("horizontalRulerView")
                                              : QStringLiteral("verticalRulerView"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setSizePolicy(orientation == Qt::Horizontal ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                orientation == Qt::Horizontal ? QSizePolicy::Fixed : QSizePolicy::Expanding);
}

int CRDRulerView::Thickness_For_Font(const QFont& font) {
  return int(std::ceil(QFontMetricsF(label_font_for(font)).height())) + Label_Margin_Across;
}

QFont CRDRulerView::labelFont() const { return label_font_for(font()); }

QSize CRDRulerView::sizeHint() const {
  const int thickness = ruleThickness();
  return orientation_ == Qt::Horizontal ? QSize(thickness, thickness) : QSize(thickness, thickness);
}

void CRDRulerView::setUnit(Ruler_Unit unit) {
  if (unit == unit_) return;
  unit_ = unit;
  invalidate();
}

void CRDRulerView::setScale(double zoom, double offset, double card_extent) {
  if (zoom == zoom_ && offset == offset_ && card_extent == card_extent_) return;
  zoom_ = zoom;
  offset_ = offset;
  card_extent_ = card_extent;
  invalidate();
}

Ruler_Scale CRDRulerView::scale() const {
  Ruler_Scale scale;
  scale.zoom = zoom_;
  scale.offset = offset_;
  scale.length = orientation_ == Qt::Horizontal ? width() : height();
  return scale;
}

Ruler_Spacing CRDRulerView::spacing() const {
  const QFontMetricsF metrics(labelFont());
  // First room for a number of three digits, then for the widest number the ruler shows.
  double room = metrics.horizontalAdvance(QStringLiteral("888")) + Label_Gap_Along;
  Ruler_Spacing spacing;
  for (int round = 0; round < 3; ++round) {
    spacing = Ruler_Tick_Spacing(unit_, zoom_, room, Min_Tick_Pixels);
    double widest = 0;
    for (const Ruler_Tick& tick : Ruler_Ticks(unit_, scale(), spacing))
      if (tick.level == 0) widest = std::max(widest, metrics.horizontalAdvance(tick.label));
    if (widest + Label_Gap_Along <= room) break;
    room = widest + Label_Gap_Along;
  }
  return spacing;
}

void CRDRulerView::moveRulerline(std::optional<double> from, std::optional<double> to) {
  if (from && to && *from == *to && lines_.contains(*from)) return;
  if (from) {
    const qsizetype index = lines_.indexOf(*from);
    if (index >= 0) {
      lines_.removeAt(index);
      update(rulerlineRect(*from));
    }
  }
  if (to && std::isfinite(*to)) {
    lines_.append(*to);
    update(rulerlineRect(*to));
  }
}

QRect CRDRulerView::rulerlineRect(double point) const {
  const double pixel = Ruler_Pixel(scale(), point);
  if (!std::isfinite(pixel)) return {};
  const int at = int(std::floor(std::clamp(pixel, -2.0, 1e6))) - 1;
  return orientation_ == Qt::Horizontal ? QRect(at, 0, 3, height()) : QRect(0, at, width(), 3);
}

void CRDRulerView::invalidate() {
  picture_valid_ = false;
  update();
}

void CRDRulerView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange: updateGeometry(); [[fallthrough]];
    case QEvent::PaletteChange: invalidate(); break;
    default: break;
  }
}

void CRDRulerView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  picture_valid_ = false;
}

void CRDRulerView::paintEvent(QPaintEvent* event) {
  const double ratio = devicePixelRatioF();
  const QSize pixels(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
  if (!picture_valid_ || picture_.size() != pixels || picture_.devicePixelRatioF() != ratio) {
    picture_ = QPixmap(pixels);
    picture_.setDevicePixelRatio(ratio);
    QPainter painter(&picture_);
    paint_ruler(painter, ratio);
    picture_valid_ = true;
  }
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.drawPixmap(QPointF(0, 0), picture_);
  const Ruler_Scale scale = this->scale();
  const double breadth = orientation_ == Qt::Horizontal ? height() : width();
  const QColor line = palette().color(QPalette::Highlight);
  for (double point : lines_)
    painter.fillRect(device_line(orientation_, Ruler_Pixel(scale, point), 0, breadth, ratio), line);
}

void CRDRulerView::paint_ruler(QPainter& painter, double ratio) const {
  const Ruler_Scale scale = this->scale();
  const bool horizontal = orientation_ == Qt::Horizontal;
  const double breadth = horizontal ? height() : width();
  painter.fillRect(rect(), palette().color(QPalette::Window));

  // The card's extent, lighter.
  if (card_extent_ > 0 && zoom_ > 0) {
    const double start = std::max(0.0, Ruler_Device_Pixel(Ruler_Pixel(scale, 0), ratio));
    const double end =
        std::min(scale.length, Ruler_Device_Pixel(Ruler_Pixel(scale, card_extent_), ratio));
    if (end > start)
      painter.fillRect(horizontal ? QRectF(start, 0, end - start, breadth)
                                  : QRectF(0, start, breadth, end - start),
                       palette().color(QPalette::Base));
  }

  // The edge beside the canvas.
  const double edge = breadth - 1 / ratio;
  painter.fillRect(horizontal ? QRectF(0, edge, width(), 1 / ratio)
                              : QRectF(edge, 0, 1 / ratio, height()),
                   palette().color(QPalette::Mid));

  // Ticks rise from the edge beside the canvas; numbers sit at the far side, just after
  // their tick (vertical numbers read upwards).
  const QColor ink = palette().color(QPalette::WindowText);
  const QFont font = labelFont();
  const QFontMetricsF metrics(font);
  painter.setFont(font);
  painter.setPen(ink);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const double baseline = 1 + metrics.ascent();
  for (const Ruler_Tick& tick : Ruler_Ticks(unit_, scale, spacing())) {
    const double length = std::round(breadth * Tick_Length[std::clamp(tick.level, 0, 2)]);
    painter.fillRect(device_line(orientation_, tick.pixel, breadth - length, length, ratio), ink);
    if (tick.level != 0) continue;
    const double at = Ruler_Device_Pixel(tick.pixel, ratio) + 2;
    if (horizontal) {
      painter.drawText(QPointF(at, baseline), tick.label);
    } else {
      const double advance = metrics.horizontalAdvance(tick.label);
      painter.save();
      painter.translate(baseline, at + advance);
      painter.rotate(-90);
      painter.drawText(QPointF(0, 0), tick.label);
      painter.restore();
    }
  }
}

// ---- Corner --------------------------------------------------------------------------------

CRDRulerCorner::CRDRulerCorner(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("rulerCorner"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void CRDRulerCorner::setUnit(Ruler_Unit unit) {
  if (unit == unit_) return;
  unit_ = unit;
  update();
}

void CRDRulerCorner::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const double ratio = devicePixelRatioF();
  painter.fillRect(rect(), palette().color(QPalette::Window));
  const QColor edge = palette().color(QPalette::Mid);
  painter.fillRect(QRectF(0, height() - 1 / ratio, width(), 1 / ratio), edge);
  painter.fillRect(QRectF(width() - 1 / ratio, 0, 1 / ratio, height()), edge);
  painter.setFont(label_font_for(font()));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(rect(), Qt::AlignCenter, Ruler_Unit_Abbreviation(unit_));
}
