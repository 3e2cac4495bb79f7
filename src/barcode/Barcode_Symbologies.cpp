#include "barcode/Barcode_Symbologies.h"

#include "barcode/JapanPostBarcode.h"
#include "barcode/LinCode128Barcode.h"
#include "barcode/LinCode39Barcode.h"
#include "barcode/LinPlesseyBarcode.h"
#include "barcode/LinPostalBarcode.h"
#include "barcode/LinTwoOfFiveBarcode.h"
#include "barcode/LinUPCEANBarcode.h"

#include <QCoreApplication>

namespace {

template <typename Model>
std::unique_ptr<LinBarcode> make() {
  return std::make_unique<Model>();
}

Barcode_Symbology linear(const char* title, std::unique_ptr<LinBarcode> (*factory)(),
                         const char* sample, const char* rule, int code_set = -1,
                         bool letter_spacing = true) {
  Barcode_Symbology row;
  row.title = QString::fromLatin1(title);
  row.kind = Barcode_Kind::Linear;
  row.code_set = code_set;
  row.letter_spacing = letter_spacing;
  row.sample = QString::fromLatin1(sample);
  row.rule = QString::fromLatin1(rule);
  row.make = factory;
  return row;
}

Barcode_Symbology two_d(const char* title, Barcode_Kind kind, const char* rule) {
  Barcode_Symbology row;
  row.title = QString::fromLatin1(title);
  row.kind = kind;
  row.sample = QStringLiteral("0123");
  row.rule = QString::fromLatin1(rule);
  return row;
}

std::vector<Barcode_Symbology> build_table() {
  using C128 = LinCode128Barcode;
  return {
      linear("Code 39", make<LinCode39Barcode>, "0123",
             "Digits, capital letters, space and - . $ / + %"),
      linear("Extended Code 39", make<LinExtendedCode39Barcode>, "0123",
             "Printable ASCII characters, TAB and line feed"),
      linear("Interleaved 2 of 5", make<LinInterleavedTwoOfFiveBarcode>, "0123", "Digits"),
      linear("UPCA", make<LinUPCABarcode>, "03600029145", "11 digits, or 12 with the check digit",
             -1, false),
      linear("PostNet", make<LinPostnetBarcode>, "12345", "5, 9 or 11 digits"),
      linear("Modified Plessey", make<LinModifiedPlesseyBarcode>, "0123", "Digits"),
      linear("Modified Plessey (Hex)", make<LinModifiedPlesseyHexBarcode>, "0123",
             "Digits and the letters A to F"),
      linear("Industrial 2 of 5", make<LinIndustrialTwoOfFiveBarcode>, "0123", "Digits"),
      linear("EAN-13", make<LinEAN13Barcode>, "400638133393",
             "12 digits, or 13 with the check digit", -1, false),
      linear("Code 128", make<C128>, "0123", "ASCII characters", C128::Code_Set_Auto),
      linear("Code 128 SET A", make<C128>, "0123", "ASCII characters", C128::Code_Set_A),
      linear("Code 128 SET B", make<C128>, "0123", "ASCII characters", C128::Code_Set_B),
      linear("Code 128 SET C", make<C128>, "0123", "Pairs of digits", C128::Code_Set_C),
      linear("Codabar", make<LinCodabarBarcode>, "A0123B",
             "Digits and - $ : / . + between a start and a stop letter A to D"),
      linear("UPCE", make<LinUPCEBarcode>, "0425261",
             "Number system 0 or 1 and six digits (8 with the check digit), or an 11-digit "
             "UPC-A number that has a zero-suppressed form",
             -1, false),
      linear("EAN-8", make<LinEAN8Barcode>, "9638507", "7 digits, or 8 with the check digit", -1,
             false),
      linear("Royal Mail Barcode (RM4SCC / CBC)", make<LinRoyalMailBarcode>, "0123",
             "Digits and letters"),
      linear("Planet", make<LinPlanetBarcode>, "12345", "5, 9 or 11 digits"),
      linear("Japan Post Barcode", make<JapanPostBarcode>, "2630023-3-2-503",
             "A 7-digit postal code, then the address: digits, letters and -"),
      two_d("QR Code", Barcode_Kind::QR_Code,
            "Any text that fits the chosen version and error-correction level"),
      two_d("PDF417", Barcode_Kind::PDF417, "Any text that fits a PDF417 symbol"),
      two_d("DataMatrix", Barcode_Kind::Data_Matrix,
            "Any text up to 3,116 bytes, less in a fixed format"),
  };
}

}  // namespace

std::unique_ptr<LinBarcode> Barcode_Symbology::newModel() const {
  if (!make) return nullptr;
  std::unique_ptr<LinBarcode> model = make();
  if (code_set >= 0)
    if (auto* code128 = dynamic_cast<LinCode128Barcode*>(model.get()))
      code128->setCodeSet(code_set);
  return model;
}

const std::vector<Barcode_Symbology>& Barcode_Symbologies() {
  static const std::vector<Barcode_Symbology> table = build_table();
  return table;
}

QString Barcode_Symbology::localisedTitle() const {
  return QCoreApplication::translate("Barcode_Gen", title.toLatin1().constData());
}

QStringList Barcode_Symbology_Titles() {
  QStringList titles;
  for (const Barcode_Symbology& row : Barcode_Symbologies()) titles << row.localisedTitle();
  return titles;
}

const Barcode_Symbology* Find_Barcode_Symbology(const QString& title) {
  if (title.isEmpty()) return nullptr;
  for (const Barcode_Symbology& row : Barcode_Symbologies())
    if (row.localisedTitle() == title) return &row;
  return nullptr;
}
