#pragma once
// What the profile dialogs and the profile fill share about the eleven profile fields:
// their captions, control IDs and control names, the default frames at which the fill
// places a new field object on a landscape or a portrait card, and the loading of a
// side's profile objects.

#include "model/CRDGraphic.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <array>
#include <optional>

struct Profile_Field_Info {
  const char* caption;     // "Name :"
  const char* control_id;  // "Fup_Name"
  const char* prefix;      // control names: prefix + "_value", "_ds_combo", ...
  // Placeholder frames of the designer dialog's layout (x, y from the bottom of the
  // template box, width, height), for a landscape and for a portrait card.
  QRectF landscape;
  QRectF portrait;
};

constexpr int Profile_Field_Count = 11;
constexpr int Profile_Photo_Field = 10;  // the photo, the last field

// The fields in their fixed order (name, title, company, slogan, address, phone, fax,
// e-mail, website, unique number, photo).
const std::array<Profile_Field_Info, Profile_Field_Count>& Profile_Field_Table();
// The field carrying the control ID (exact, case-sensitive), or -1.
int Profile_Field_Index(const QString& control_id);

// Height H of the landscape template box against which the placeholders' y is mirrored.
constexpr double Profile_Template_Height = 400.0;

// A placeholder frame on the canvas: (x, H - y, width, height), unscaled.
QRectF Profile_Template_Rect(const QRectF& frame, double template_height = Profile_Template_Height);

// The default rectangle of a new object of the field with the control ID, on a card of
// the front side's size (landscape when width >= height): the placeholder frame with its
// y mirrored against H, unscaled. An unknown ID gives the zero rectangle.
QRectF Profile_Default_Rect(const QString& control_id, QSizeF front_card_size);

// "Please select the source for 'Position / Title'" from a caption ("Position / Title :");
// "Please select the source" for an empty one.
QString Profile_Source_Message(const QString& caption);

// A field as a side's profile object gives it to a dialog: the value (for the photo its
// file path), the source (data_source_type) and the pop-up choice (series index for 1,
// column for 2, 0 otherwise).
struct Profile_Loaded_Field {
  QString value;
  int source = 0;
  int choice = 0;
};
using Profile_Loaded_Fields = std::array<std::optional<Profile_Loaded_Field>, Profile_Field_Count>;

// The fields the side carries: visible objects of exactly the text or picture kind whose
// trimmed control ID is a profile ID, visited from the front-most on, so the back-most
// object of an ID wins. A picture object gives its file path as its value.
Profile_Loaded_Fields Load_Profile_Fields(const Graphic_List& graphics);
