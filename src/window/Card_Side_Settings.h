#pragma once
// The card side panel without its widgets: the values its controls hold, how they are
// written into a side's settings, which fill controls a fill code enables, and the
// settings a new design starts with.

#include "model/CRDColor.h"
#include "model/Card_Property.h"

#include <QFont>
#include <QRectF>
#include <QString>

// What the card panel's controls hold when it writes.
struct Card_Panel_Values {
  bool border_on = false;
  CRDColor border_color;
  int border_width = 0;
  int border_style = -1;  // combo item, -1 none
  bool fill_on = false;
  QString fill_kind;  // the radios: "S", "G", "H" or "I"
  CRDColor fill_color, gradient_start, gradient_end, hatch_background;
  double gradient_angle = 0;  // degrees, truncated when written
  QString hatch_style;        // "" when nothing is selected
  QString image_path;
  QString image_layout;
  double opacity_percent = 100;
  CRDColor text_color;
  QFont text_font;
  int sides_item = 0;  // 0 two sides, any other one side
  int card_shape = 0;  // the process-wide outline
  QString card_name;
  QRectF front_bounds;  // of the front canvas, in points
  QString preset, category, size_name;
  int size_row = -1;  // the selected row of the size list, -1 none
};

// Writes the values into a side's settings (back: the back side's rules for the fill
// kind). The background picture itself is left alone.
void Write_Card_Panel(const Card_Panel_Values& values, bool back, Card_Property& side);

// Which fill controls a fill code enables ("G" gradient, "H" hatch, "I" picture, any
// other code the plain colour).
struct Card_Fill_Controls {
  bool plain = false, gradient = false, hatch = false, picture = false;
};
Card_Fill_Controls Card_Fill_Controls_For(const QString& fill_code);
// The code a fill code stands for among the four radios.
QString Card_Fill_Kind(const QString& fill_code);

// The settings of a side in a new design, with the all-text font and colour.
void Reset_Card_Property(Card_Property& side, const QFont& text_font, const CRDColor& text_color);

// The outline code stored for the process-wide outline: 0 "R", 1 "RR", else "E".
QString Card_Shape_Code(int card_shape);

// What the card wizard set up for the card: its outline, the card panel's category and
// orientation items, the preset row with its name (-1 and "" for a size of the user's
// own) and where the card lies on the canvas, in points.
struct Card_Wizard_Choice {
  int card_shape = 0;
  QString category, preset;
  int size_row = -1;
  QString size_name;
  QRectF bounds;
};
// Writes the wizard's card into a side's settings; everything else of the side stays.
void Apply_Card_Wizard_Choice(const Card_Wizard_Choice& choice, Card_Property& side);
