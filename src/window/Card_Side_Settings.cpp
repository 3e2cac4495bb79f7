#include "window/Card_Side_Settings.h"

#include "model/Common_Functions.h"
#include "window/Panel_Writeback.h"

#include <cmath>

namespace {
CRDColor with_alpha(const CRDColor& color, double alpha) {
  return color.isValid() ? color.colorWithAlphaComponent(alpha) : color;
}
}  // namespace

QString Card_Shape_Code(int card_shape) {
  return card_shape == 0   ? QStringLiteral("R")
         : card_shape == 1 ? QStringLiteral("RR")
                           : QStringLiteral("E");
}

void Apply_Card_Wizard_Choice(const Card_Wizard_Choice& choice, Card_Property& side) {
  side.Card_Shape = Card_Shape_Code(choice.card_shape);
  side.Card_Category = choice.category;
  side.Card_Preset = choice.preset;
  side.Card_Cat_index = choice.size_row;
  side.Card_Sub_Category = choice.size_row < 0 ? QString() : choice.size_name;
  side.Card_Location = choice.bounds.topLeft();
  side.Card_Size = choice.bounds.size();
}

QString Card_Fill_Kind(const QString& fill_code) {
  if (fill_code == QLatin1String("G") || fill_code == QLatin1String("H") ||
      fill_code == QLatin1String("I"))
    return fill_code;
  return QStringLiteral("S");
}

Card_Fill_Controls Card_Fill_Controls_For(const QString& fill_code) {
  Card_Fill_Controls controls;
  const QString kind = Card_Fill_Kind(fill_code);
  controls.gradient = kind == QLatin1String("G");
  controls.hatch = kind == QLatin1String("H");
  controls.picture = kind == QLatin1String("I");
  controls.plain = kind == QLatin1String("S");
  return controls;
}

void Write_Card_Panel(const Card_Panel_Values& v, bool back, Card_Property& side) {
  const double alpha = Opacity_From_Percent(v.opacity_percent);  // read once
  side.Card_border_chk = v.border_on;
  if (v.border_on) {
    side.Card_bordr_clr = v.border_color;
    side.Card_bor_Stepper = v.border_width;
  }
  side.Card_border_style = Border_Style_Code(v.border_style, side.Card_border_style);
  side.Card_fill_chk = v.fill_on;
  if (v.fill_on) side.Card_fill_clr = with_alpha(v.fill_color, alpha);
  // The back side stores the plain kind while its fill is off (kept as designed).
  side.Card_fill_style = back && !v.fill_on ? QStringLiteral("S") : Card_Fill_Kind(v.fill_kind);
  side.Card_fill_Grd_1_clr = with_alpha(v.gradient_start, alpha);
  side.Card_fill_Grd_2_clr = with_alpha(v.gradient_end, alpha);
  side.Card_grad_Stepper = int(std::trunc(v.gradient_angle));
  side.Card_hatch_bk_clr = with_alpha(v.hatch_background, alpha);
  side.Card_hatch_style = v.hatch_style;
  side.Card_BG_Image_Path = v.image_path;
  side.Card_BG_Image_Layout = v.image_layout;
  side.Card_alpha_Stepper = float(alpha);
  side.Card_Content_clr = v.text_color;
  side.Card_Content_font = v.text_font;
  side.Card_Side = QString::asprintf("%d", v.sides_item == 0 ? 2 : 1);
  side.Card_Side_Name = back ? QStringLiteral("B") : QStringLiteral("F");
  side.Card_Shape = Card_Shape_Code(v.card_shape);
  const QString name = Trim_Str(v.card_name);
  side.Card_Name = name.isEmpty() ? QStringLiteral("Untitled") : name;
  side.Card_Location = v.front_bounds.topLeft();
  side.Card_Size = v.front_bounds.size();
  side.Card_Preset = v.preset;
  side.Card_Category = v.category;
  side.Card_Sub_Category = v.size_row < 0 ? QString() : v.size_name;
  side.Card_Cat_index = v.size_row;
  side.Card_Create_Mode = QStringLiteral("W");
}

void Reset_Card_Property(Card_Property& side, const QFont& text_font, const CRDColor& text_color) {
  side.Card_border_chk = true;
  side.Card_bordr_clr = CRDColor::blackColor();
  side.Card_bor_Stepper = 1;
  side.Card_border_style = QStringLiteral("S");
  side.Card_fill_chk = false;
  side.Card_fill_style = QStringLiteral("S");
  side.Card_fill_clr = CRDColor::whiteColor();
  side.Card_fill_Grd_1_clr = CRDColor::whiteColor();
  side.Card_fill_Grd_2_clr = CRDColor::whiteColor();
  side.Card_grad_Stepper = 0;
  side.Card_hatch_style = QString();
  side.Card_hatch_bk_clr = CRDColor::whiteColor();
  side.Card_alpha_Stepper = 100.0f;
  side.Card_Side = QStringLiteral("2");
  side.Card_Side_Name = QStringLiteral("F");  // both sides, as designed
  side.Card_Shape = QStringLiteral("R");
  side.Card_Name = QStringLiteral("Untitled");
  side.Card_Location = QPointF();
  side.Card_Size = QSizeF(0, 0);
  side.Card_Preset = QStringLiteral("Horizontal");
  side.Card_Category = QStringLiteral("PVC Card");
  side.Card_Sub_Category = QStringLiteral("CR80-Credit Card Size");
  side.Card_Cat_index = 0;
  side.Card_Create_Mode = QStringLiteral("W");
  side.Card_Content_clr = text_color;
  side.Card_Content_font = text_font;
  side.Card_BG_Image = Picture();
  side.Card_BG_Image_Path = QString();
  side.Card_BG_Image_Layout = QStringLiteral("Stretch");
}
