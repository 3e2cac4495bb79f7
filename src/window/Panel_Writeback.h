#pragma once
// What the property panels share when they write their controls back into the design:
// the guard that keeps the panels showing values only while they are being filled, the
// border style codes, opacity in percent, the border group of every object panel, and
// writing into the selected graphics of the current side.

#include "model/CRDColor.h"
#include "model/CRDGraphic.h"
#include "model/Fonts.h"  // Font_Value_Label, the label of the font values

#include <QFont>
#include <QString>

#include <functional>

// Sets Not_Draw_Only_Prop_Change for its lifetime and restores the value it found, on
// every way out of the scope.
class Prop_Change_Guard {
 public:
  Prop_Change_Guard();
  ~Prop_Change_Guard();
  Prop_Change_Guard(const Prop_Change_Guard&) = delete;
  Prop_Change_Guard& operator=(const Prop_Change_Guard&) = delete;

 private:
  bool previous_;
};

// Border style combo items 0 to 4 are the dash codes "S", "DA", "DO", "DD", "DDD".
// The code of an item, or `current` for any other index (no item chosen).
QString Border_Style_Code(int index, const QString& current);
// The item of a code, or -1 for a code outside the five.
int Border_Style_Index(const QString& code);

// Opacity: panels show percent, the design stores the fraction.
inline double Opacity_From_Percent(double percent) { return percent / 100.0; }
inline double Opacity_To_Percent(double fraction) { return fraction * 100.0; }

// The border group of the shape, text, picture and signature panels.
struct Border_Group {
  bool on = false;
  CRDColor color;
  int width = 0;     // whole points
  int style = -1;    // combo item, -1 none
};
// Check box on: stroke on, colour and whole-number width from the group; off: stroke
// off, colour and width kept. The style only when an item is chosen.
void Write_Border_Group(CRDGraphic& graphic, const Border_Group& group);
// The group as the graphic holds it (the stored colour, without opacity applied).
Border_Group Load_Border_Group(const CRDGraphic& graphic);

// The font dialog for a design font opens at the installed face the font draws with
// (its style and size included): a design font's name may be one that no installed
// font carries ("TimesNewRomanPS-ItalicMT").
QFont Font_Dialog_Start(const QFont& design_font);
// The design font after the dialog answered `chosen`: while the face is still the one it
// opened at, the design font keeps its name and takes the chosen size only; another face
// is taken with its size.
QFont Font_From_Dialog(const QFont& design_font, const QFont& chosen);

// Writes into every selected graphic of the current side (front-most first) and then
// refreshes the canvas; does nothing at all while Not_Draw_Only_Prop_Change is set or
// when nothing is selected. `selected` is the current side's selection in list order.
// Answers the number of graphics written.
int Write_Selected_Graphics(const Graphic_List& selected,
                            const std::function<void(CRDGraphic&)>& write);
