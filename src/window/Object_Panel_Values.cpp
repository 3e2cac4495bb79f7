#include "window/Object_Panel_Values.h"

#include "model/StyledText.h"

#include <QHash>

#include <cmath>

// ---- Shape panel -----------------------------------------------------------------------------

void Write_Shape_Panel(const Shape_Panel_Values& v, CRDGraphic& g) {
  Write_Border_Group(g, v.border);
  g._isDrawingFill = v.fill_on;
  if (v.fill_on) g._fillColor = v.fill_color;
  g._fill_type = !v.fill_on                          ? QStringLiteral("S")
                 : v.fill_kind == QLatin1String("G") ? QStringLiteral("G")
                 : v.fill_kind == QLatin1String("H") ? QStringLiteral("H")
                                                     : QStringLiteral("S");
  g._fill_Grad_clr1 = v.gradient_start;
  g._fill_Grad_clr2 = v.gradient_end;
  g._fill_grad_angle = v.gradient_angle;
  g._fill_htch_clr = v.hatch_background;
  g._fill_hatch_type = v.hatch_name;
  g.alpha_val = float(Opacity_From_Percent(v.opacity_percent));
  g.cor_rad_val_val = float(v.corner_radius);
  g.double_star_type = v.double_star;
  g.polygon_type = v.polygon;
  g.print_object = v.print_object;
}

Shape_Panel_Values Load_Shape_Panel(const CRDGraphic& g) {
  Shape_Panel_Values v;
  v.border = Load_Border_Group(g);
  v.fill_on = g._isDrawingFill;
  v.fill_color = g._fillColor;
  v.fill_kind = Shape_Fill_Kind(g._fill_type);
  v.gradient_start = g._fill_Grad_clr1;
  v.gradient_end = g._fill_Grad_clr2;
  v.gradient_angle = g._fill_grad_angle;
  v.hatch_background = g._fill_htch_clr;
  v.hatch_name = g._fill_hatch_type;
  v.opacity_percent = Opacity_To_Percent(g.alpha_val);
  v.corner_radius = g.cor_rad_val_val;
  v.double_star = g.double_star_type;
  v.polygon = g.polygon_type;
  v.print_object = g.print_object;
  return v;
}

QString Shape_Panel_Title(const QString& code) {
  static const QHash<QString, QString> titles{
      {QStringLiteral("R"), QStringLiteral("Rectangle Properties")},
      {QStringLiteral("C"), QStringLiteral("Ellipse Properties")},
      {QStringLiteral("RR"), QStringLiteral("Rounded Rectangle Properties")},
      {QStringLiteral("T"), QStringLiteral("Triangle Properties")},
      {QStringLiteral("D"), QStringLiteral("Diamond Properties")},
      {QStringLiteral("S"), QStringLiteral("Star Properties")},
      {QStringLiteral("DS"), QStringLiteral("Double Star Properties")},
      {QStringLiteral("P"), QStringLiteral("Polygon Properties")}};
  return titles.value(code);
}

Shape_Variant Shape_Variant_Of(const QString& code) {
  if (code == QLatin1String("RR")) return Shape_Variant::Corner_Radius;
  if (code == QLatin1String("DS")) return Shape_Variant::Double_Star;
  if (code == QLatin1String("P")) return Shape_Variant::Polygon;
  return Shape_Variant::None;
}

QString Shape_Fill_Kind(const QString& code) {
  if (code == QLatin1String("G") || code == QLatin1String("H")) return code;
  return QStringLiteral("S");
}

// ---- Line panel ------------------------------------------------------------------------------

void Write_Line_Panel(const Line_Panel_Values& v, CRDGraphic& g) {
  g._isDrawingStroke = true;
  g._strokeColor = v.color;
  g._strokeWidth = v.width;
  g.print_object = v.print_object;
  g._stroke_border_type = Border_Style_Code(v.style, g._stroke_border_type);
  g._line_cap_style = std::max(v.cap, 0);
  g._line_ori = std::max(v.orientation, 0);
  g.alpha_val_stroke = float(Opacity_From_Percent(v.opacity_percent));
}

Line_Panel_Values Load_Line_Panel(const CRDGraphic& g) {
  Line_Panel_Values v;
  v.color = g._strokeColor;
  v.width = int(std::trunc(g._strokeWidth));
  v.style = Border_Style_Index(g._stroke_border_type);
  v.cap = g._line_cap_style;
  v.orientation = g._line_ori;
  v.opacity_percent = Opacity_To_Percent(g.alpha_val_stroke);
  v.print_object = g.print_object;
  return v;
}

// ---- Text panel ------------------------------------------------------------------------------

void Write_Text_Panel(const Text_Panel_Values& v, CRDGraphic& g) {
  g.print_object = v.print_object;
  Write_Border_Group(g, v.border);
  g._isDrawingFill = v.fill_on;
  if (v.fill_on) g._fillColor = v.fill_color;
  g._fill_type = v.fill_on && v.gradient ? QStringLiteral("G") : QStringLiteral("S");
  g._fill_Grad_clr1 = v.gradient_start;
  g._fill_Grad_clr2 = v.gradient_end;
  g._fill_grad_angle = v.gradient_angle;
  g.txt_clr = v.text_color;
  g.text_ctrl_font = v.font;
  if (v.text) g.Text_contents()->replaceCharacters(*v.text);
  g.alpha_val = float(Opacity_From_Percent(v.opacity_percent));
  // No item chosen keeps the field (a stored -1 is still read as it is).
  if (v.alignment >= 0) g.text_alignmnet = v.alignment;
  if (v.letter_case >= 0) g.text_transfrom_case = v.letter_case;
  g.text_kerning = float(v.kerning);
}

Text_Panel_Values Load_Text_Panel(CRDGraphic& g) {
  Text_Panel_Values v;
  v.print_object = g.print_object;
  v.border = Load_Border_Group(g);
  v.fill_on = g._isDrawingFill;
  v.fill_color = g._fillColor;
  v.gradient = g._fill_type == QLatin1String("G");
  v.gradient_start = g._fill_Grad_clr1;
  v.gradient_end = g._fill_Grad_clr2;
  v.gradient_angle = g._fill_grad_angle;
  v.text_color = g.txt_clr;
  v.font = g.text_ctrl_font;
  v.text = g.Text_contents()->string();
  v.opacity_percent = Opacity_To_Percent(g.alpha_val);
  v.alignment = g.text_alignmnet;
  v.letter_case = g.text_transfrom_case;
  v.kerning = g.text_kerning;
  return v;
}

QString Clean_Typed_Text(const QString& typed) {
  QString text = typed;
  text.remove(QStringLiteral("Text here"), Qt::CaseSensitive);
  if (text.size() > Text_Editor_Limit) text.truncate(Text_Editor_Limit);
  return text;
}

QString Template_Button_Title(const QString& control_id) {
  if (control_id == QLatin1String("PARTY_TITLE")) return QStringLiteral("Use Template Title");
  if (control_id == QLatin1String("PARTY_MSG")) return QStringLiteral("Use Template Message");
  return {};
}

// ---- Picture and signature panels -----------------------------------------------------------

Picture_Slider_Range Slider_Range(Picture_Slider slider) {
  switch (slider) {
    case Picture_Slider::Transparency: return {0, 100, 100};
    case Picture_Slider::Rotation: return {0, 360, 0};
    case Picture_Slider::Hue: return {-3.14, 3.14, 0};
    case Picture_Slider::Saturation: return {0, 2, 1};
    case Picture_Slider::Brightness: return {-1, 1, 0};
    case Picture_Slider::Contrast: return {0.25, 4, 1};
    case Picture_Slider::Sharpen: return {0, 2, 0};
    case Picture_Slider::Exposure: return {-3, 3, 0};
    case Picture_Slider::Blur: return {0, 20, 0};
  }
  return {0, 1, 0};
}

float& Slider_Field(CRDGraphic& g, Picture_Slider slider) {
  switch (slider) {
    case Picture_Slider::Transparency: return g.img_trnsp_val;
    case Picture_Slider::Rotation: return g.rotate_image;
    case Picture_Slider::Hue: return g.hue_val;
    case Picture_Slider::Saturation: return g.sat_val;
    case Picture_Slider::Brightness: return g.brt_val;
    case Picture_Slider::Contrast: return g.con_val;
    case Picture_Slider::Sharpen: return g.srp_val;
    case Picture_Slider::Exposure: return g.ev_val;
    case Picture_Slider::Blur: return g.blr_val;
  }
  return g.blr_val;
}

float Slider_Field(const CRDGraphic& g, Picture_Slider slider) {
  return Slider_Field(const_cast<CRDGraphic&>(g), slider);
}

void Write_Picture_Panel(const Picture_Panel_Values& v, CRDGraphic& g, bool with_path) {
  g.print_object = v.print_object;
  Write_Border_Group(g, v.border);
  g._isFlippedHorizontally = v.flip_horizontal;
  g._isFlippedVertically = v.flip_vertical;
  g.invert_clr = v.invert;
  g.gray_Scale = v.gray;
  g.Sepia = v.sepia;
  for (int i = 0; i < Picture_Slider_Count; ++i)
    Slider_Field(g, Picture_Slider(i)) = v.sliders[i];
  if (with_path && g._file_path != v.path) g.setFilePath(v.path);
}

Picture_Panel_Values Load_Picture_Panel(const CRDGraphic& g) {
  Picture_Panel_Values v;
  v.print_object = g.print_object;
  v.border = Load_Border_Group(g);
  v.flip_horizontal = g._isFlippedHorizontally;
  v.flip_vertical = g._isFlippedVertically;
  v.invert = g.invert_clr;
  v.gray = g.gray_Scale;
  v.sepia = g.Sepia;
  for (int i = 0; i < Picture_Slider_Count; ++i) v.sliders[i] = Slider_Field(g, Picture_Slider(i));
  v.path = g._file_path;
  return v;
}

Picture_Panel_Values Reset_Picture_Panel(Picture_Panel_Values v) {
  v.flip_horizontal = v.flip_vertical = v.invert = v.gray = v.sepia = false;
  for (int i = 0; i < Picture_Slider_Count; ++i)
    v.sliders[i] = float(Slider_Range(Picture_Slider(i)).reset);
  return v;
}

void Write_Sign_Panel(const Sign_Panel_Values& v, CRDGraphic& g) {
  g.print_object = v.print_object;
  Write_Border_Group(g, v.border);
  g._file_path = v.path;
}

Sign_Panel_Values Load_Sign_Panel(const CRDGraphic& g) {
  return {Load_Border_Group(g), g._file_path, g.print_object};
}

const QStringList& Picture_File_Types() {
  static const QStringList types{
      QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
      QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),
      QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("tiff")};
  return types;
}

const QStringList& Signature_File_Types() {
  static const QStringList types{QStringLiteral("png"), QStringLiteral("PNG")};
  return types;
}
