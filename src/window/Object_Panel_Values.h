#pragma once
// The object panels without their widgets: what the shape, line, text, picture and
// signature panels hold, how those values are written into a graphic and loaded from
// one. Every selected graphic receives all of a panel's values, whatever its kind.

#include "model/CRDColor.h"
#include "model/CRDGraphic.h"
#include "window/Panel_Writeback.h"

#include <QFont>
#include <QString>

#include <optional>

// ---- Shape panel -----------------------------------------------------------------------------

struct Shape_Panel_Values {
  Border_Group border;
  bool fill_on = false;
  CRDColor fill_color;
  QString fill_kind = QStringLiteral("S");  // the radio that is on: "S", "G" or "H"
  CRDColor gradient_start, gradient_end, hatch_background;
  double gradient_angle = 0;
  QString hatch_name;  // "" when no pattern is chosen
  double opacity_percent = 100;
  double corner_radius = 0;
  int double_star = 1;
  int polygon = 1;
  int print_object = 0;
};
void Write_Shape_Panel(const Shape_Panel_Values& values, CRDGraphic& graphic);
Shape_Panel_Values Load_Shape_Panel(const CRDGraphic& graphic);

// The panel's title for a shape code; empty for a code it does not know.
QString Shape_Panel_Title(const QString& shape_code);
// Which variant group a shape code shows.
enum class Shape_Variant { None, Corner_Radius, Double_Star, Polygon };
Shape_Variant Shape_Variant_Of(const QString& shape_code);
// The radio a stored fill code loads: "G" and "H" themselves, anything else "S".
QString Shape_Fill_Kind(const QString& fill_code);

// ---- Line panel ------------------------------------------------------------------------------

struct Line_Panel_Values {
  CRDColor color;
  int width = 1;
  int style = -1;        // border style item, -1 none
  int cap = -1;          // -1: no item chosen, written as 0
  int orientation = -1;  // likewise
  double opacity_percent = 100;
  int print_object = 0;
};
// The stroke is switched on, whatever the graphic's kind.
void Write_Line_Panel(const Line_Panel_Values& values, CRDGraphic& graphic);
Line_Panel_Values Load_Line_Panel(const CRDGraphic& graphic);

// ---- Text panel ------------------------------------------------------------------------------

struct Text_Panel_Values {
  Border_Group border;
  bool fill_on = false;
  CRDColor fill_color;
  bool gradient = false;  // the gradient radio is on
  CRDColor gradient_start, gradient_end;
  double gradient_angle = 0;
  CRDColor text_color;
  QFont font;
  // The editor's text: written only when exactly one graphic is selected.
  std::optional<QString> text;
  double opacity_percent = 100;
  int alignment = -1;  // item, -1 none: the field is kept
  int letter_case = -1;
  double kerning = 0;
  int print_object = 0;
};
void Write_Text_Panel(const Text_Panel_Values& values, CRDGraphic& graphic);
// The editor's text is the plain characters of the graphic's styled text.
Text_Panel_Values Load_Text_Panel(CRDGraphic& graphic);

// Typed text as the editor keeps it: every "Text here" removed, then at most 250
// characters.
constexpr int Text_Editor_Limit = 250;
QString Clean_Typed_Text(const QString& typed);
// Template button of a text's control ID: its title, or empty when the button is hidden.
QString Template_Button_Title(const QString& control_id);

// ---- Picture and signature panels -----------------------------------------------------------

// The nine adjustment sliders, in the order the panel writes them.
enum class Picture_Slider { Transparency, Rotation, Hue, Saturation, Brightness, Contrast, Sharpen,
                            Exposure, Blur };
constexpr int Picture_Slider_Count = 9;
struct Picture_Slider_Range {
  double minimum, maximum, reset;
};
Picture_Slider_Range Slider_Range(Picture_Slider slider);
float& Slider_Field(CRDGraphic& graphic, Picture_Slider slider);
float Slider_Field(const CRDGraphic& graphic, Picture_Slider slider);

struct Picture_Panel_Values {
  Border_Group border;
  bool flip_horizontal = false, flip_vertical = false;
  bool invert = false, gray = false, sepia = false;
  float sliders[Picture_Slider_Count] = {100, 0, 0, 1, 0, 1, 0, 0, 0};
  QString path;
  int print_object = 0;
};
// The panel's settings into the graphic. With the path (the path field and the file
// choices write it), a graphic whose path differs from the panel's loads the panel's path
// (setFilePath), so no picture keeps a path it does not show; without it every graphic
// keeps its own file.
void Write_Picture_Panel(const Picture_Panel_Values& values, CRDGraphic& graphic,
                         bool with_path);
Picture_Panel_Values Load_Picture_Panel(const CRDGraphic& graphic);
// The neutral values: sliders at their reset values, filters and flips off.
Picture_Panel_Values Reset_Picture_Panel(Picture_Panel_Values values);

struct Sign_Panel_Values {
  Border_Group border;
  QString path;
  int print_object = 0;
};
// The signature notices a changed path when it next draws and loads it.
void Write_Sign_Panel(const Sign_Panel_Values& values, CRDGraphic& graphic);
Sign_Panel_Values Load_Sign_Panel(const CRDGraphic& graphic);

// Picture files the browse offers, and signature files.
const QStringList& Picture_File_Types();
const QStringList& Signature_File_Types();
