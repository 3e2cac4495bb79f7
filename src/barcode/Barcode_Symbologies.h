#pragma once
// The one table of the symbologies the barcode designer offers: 19 linear and postal ones,
// then the three two-dimensional ones. Graphics store a row's index (barcode_font_index), so
// the order is fixed for good; new rows may only ever be added at the end.

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class LinBarcode;

enum class Barcode_Kind {
  Linear,  // a LinBarcode model drawn as bars
  QR_Code,
  PDF417,
  Data_Matrix,
};

struct Barcode_Symbology {
  QString title;  // the item of the designer's type list, compared as a whole
  Barcode_Kind kind = Barcode_Kind::Linear;
  // Code 128 code set given to the model before it is initialised (LinCode128Barcode::
  // Code_Set_A .. Code_Set_Auto); -1 for every other symbology.
  int code_set = -1;
  // Whether the value text may be letter-spaced over the symbol (the designer's spaced-value
  // box); not for the retail symbologies, whose digits have fixed places.
  bool letter_spacing = true;
  // A value the symbology encodes; the designer's start value "0123" where it can be.
  QString sample;
  // What values the symbology accepts, in a form the user can read.
  QString rule;
  // Makes a bare model of a linear row; nullptr for a two-dimensional row.
  std::unique_ptr<LinBarcode> (*make)() = nullptr;

  bool isTwoDimensional() const { return kind != Barcode_Kind::Linear; }
  // The title as the user sees it: translated through the "Barcode_Gen" string table, the
  // title itself where the table has no entry.
  QString localisedTitle() const;
  // A new, not yet initialised model of a linear row (Code 128 with its code set); nullptr
  // for a two-dimensional row.
  std::unique_ptr<LinBarcode> newModel() const;
};

// The 22 rows in the designer's order.
const std::vector<Barcode_Symbology>& Barcode_Symbologies();
// Their localised titles, in the same order: the items of the designer's type list.
QStringList Barcode_Symbology_Titles();
// The row whose localised title is exactly `title`; nullptr when none is.
const Barcode_Symbology* Find_Barcode_Symbology(const QString& title);
