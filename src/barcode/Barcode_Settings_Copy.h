#pragma once
// The barcode settings of a graphic, copied from one graphic to another: what the design
// window gives every selected graphic after the designer's OK. The value source and the
// series binding are not part of it (the designer writes them into the edited graphic).

class CRDGraphic;

// Copies the 38 barcode fields, linear_or_2d to dpi_custom_val. Texts, fonts and colours are
// values, so nothing stays shared between the two graphics.
void Copy_Barcode_Settings(const CRDGraphic& from, CRDGraphic& to);
