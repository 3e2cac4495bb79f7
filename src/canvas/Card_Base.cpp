#include "canvas/Card_Base.h"

#include "canvas/ImageProcesser.h"
#include "model/CRDImage.h"
#include "model/Common_Functions.h"
#include "model/Design_Window_Services.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <exception>

QPainterPath Card_Outline(const QRectF& rect, int card_shape) {
  QPainterPath outline;
  if (card_shape == 1)
    outline.addRoundedRect(rect, std::min(10.0, rect.width() / 2),
                           std::min(10.0, rect.height() / 2));
  else if (card_shape == 2)
    outline.addEllipse(rect);
  else
    outline.addRect(rect);
  outline.setFillRule(Qt::WindingFill);
  return outline;
}

namespace {

double picture_opacity(float alpha) {
  if (std::isnan(alpha)) return 1.0;
  return std::clamp(double(alpha), 0.0, 1.0);
}

void fill_if_valid(QPainter& painter, const QPainterPath& path, const CRDColor& color) {
  const QColor q = color.toQColor();
  if (q.isValid()) painter.fillPath(path, q);
}

void paint_fill(QPainter& painter, const QPainterPath& outline, const Card_Property& side,
                const QRectF& stretch_area, const QString& resource_path) {
  const QString& style = side.Card_fill_style;
  if (style == QLatin1String("G")) {
    Fill_With_Gradient(painter, outline, side.Card_fill_Grd_1_clr.toQColor(),
                       side.Card_fill_Grd_2_clr.toQColor(), side.Card_grad_Stepper);
  } else if (style == QLatin1String("H")) {
    fill_if_valid(painter, outline, side.Card_hatch_bk_clr);
    Fill_With_Pattern(
        painter, outline,
        Cached_Picture_File(Hatch_Pattern_Path(resource_path, side.Card_hatch_style)));
  } else if (style == QLatin1String("I")) {
    const Picture& picture = side.Card_BG_Image;
    if (picture.isNull()) return;
    painter.save();
    painter.setOpacity(painter.opacity() * picture_opacity(side.Card_alpha_Stepper));
    if (side.Card_BG_Image_Layout == QLatin1String("Tile")) {
      Fill_With_Pattern(painter, outline, picture);
    } else if (stretch_area.width() > 0 && stretch_area.height() > 0) {
      // Stretched over the canvas, and like every other fill kept inside the outline: a
      // rounded or elliptical card shows nothing of it beyond its edge.
      painter.setClipPath(outline, Qt::IntersectClip);
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(stretch_area, picture.image());
    }
    painter.restore();
  } else {
    fill_if_valid(painter, outline, side.Card_fill_clr);
  }
}

}  // namespace

void Paint_Card_Base(QPainter& painter, const QRectF& rect, const Card_Property& side,
                     int card_shape, const QRectF& stretch_area, const QString& resource_path) {
  ImageProcesser::Install();
  painter.save();
  try {
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = Card_Outline(rect, card_shape);
    painter.fillPath(outline, Qt::white);
    if (side.Card_fill_chk) paint_fill(painter, outline, side, stretch_area, resource_path);
    if (side.Card_border_chk) {
      const QColor color = side.Card_bordr_clr.toQColor();
      if (color.isValid())
        painter.strokePath(outline,
                           Border_Pen(color, side.Card_bor_Stepper, side.Card_border_style));
    }
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
  painter.restore();
}

void Card_Base_Drawing(QPainter& painter, const QRectF& rect) {
  const Card_Property* window_side = Window_Side_Card_Property(Card_Front_Or_Back == 0 ? 0 : 1);
  const Card_Property defaults;
  Paint_Card_Base(painter, rect, window_side ? *window_side : defaults, Card_Shape,
                  Window_Front_Canvas_Bounds(), Resource_Path);
}

bool Apply_Card_BG_Image(Card_Property& side, const QString& path) {
  if (path.isEmpty()) return false;
  const Picture picture = Picture::fromFile(Standardized_Path(path));
  side.Card_fill_chk = true;
  side.Card_fill_style = QStringLiteral("I");
  side.Card_BG_Image_Path = path;
  side.Card_BG_Image = picture;
  return !picture.isNull();
}

namespace {
void set_side_background(int side, const QString& path) {
  Window_Show_Card_Image_Path(path);
  if (path.isEmpty()) return;
  if (Card_Property* properties = Window_Side_Card_Property(side))
    Apply_Card_BG_Image(*properties, path);
  Window_Show_Card_Properties();
}
}  // namespace

void set_Front_BG_Image(const QString& path) { set_side_background(0, path); }

void set_Back_BG_Image(const QString& path) { set_side_background(1, path); }
