#pragma once
// Puts a profile record onto a card side: every field with a value becomes (or updates)
// the side's text or picture object carrying the field's control ID, with the field's
// binding copied onto it; profile objects of fields without a value are hidden.

#include "profile/User_Profile_Class.h"

#include <QSizeF>

class CRDGraphicView;

// Fills the canvas's side from the record. tool is the design window's current tool,
// which decides what the canvas creates: 2 (text) for the text fields, 8 (picture from a
// file, Library_Selected_Image) for the photo; it is left at 2, or 8 when the photo was
// placed. New objects take their default rectangle from the front side's card size. An
// exception ends the fill and is logged; what was done so far stays.
void Fill_Profile_Side(CRDGraphicView& canvas, User_Profile_Class& record,
                       QSizeF front_card_size, int& tool);
