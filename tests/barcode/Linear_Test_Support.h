#pragma once
// Models by symbology name, made the way the barcode generation makes them.

#include "barcode/JapanPostBarcode.h"
#include "barcode/LinBarcode.h"
#include "barcode/LinCode128Barcode.h"
#include "barcode/LinCode39Barcode.h"
#include "barcode/LinPlesseyBarcode.h"
#include "barcode/LinPostalBarcode.h"
#include "barcode/LinTwoOfFiveBarcode.h"
#include "barcode/LinUPCEANBarcode.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace linear_test {

// The linear and postal symbology names of the designer.
inline const QStringList& Symbologies() {
  static const QStringList names = {"Code 39",
                                    "Extended Code 39",
                                    "Interleaved 2 of 5",
                                    "UPCA",
                                    "PostNet",
                                    "Modified Plessey",
                                    "Modified Plessey (Hex)",
                                    "Industrial 2 of 5",
                                    "EAN-13",
                                    "Code 128",
                                    "Code 128 SET A",
                                    "Code 128 SET B",
                                    "Code 128 SET C",
                                    "Codabar",
                                    "UPCE",
                                    "EAN-8",
                                    "Royal Mail Barcode (RM4SCC / CBC)",
                                    "Planet",
                                    "Japan Post Barcode"};
  return names;
}

// A new, not yet initialised model of the symbology (a Code 128 one with its code set).
inline std::unique_ptr<LinBarcode> New_Model(const QString& symbology) {
  auto code128 = [](int set) {
    auto model = std::make_unique<LinCode128Barcode>();
    model->setCodeSet(set);
    return model;
  };
  if (symbology == "Code 39") return std::make_unique<LinCode39Barcode>();
  if (symbology == "Extended Code 39") return std::make_unique<LinExtendedCode39Barcode>();
  if (symbology == "Interleaved 2 of 5") return std::make_unique<LinInterleavedTwoOfFiveBarcode>();
  if (symbology == "UPCA") return std::make_unique<LinUPCABarcode>();
  if (symbology == "PostNet") return std::make_unique<LinPostnetBarcode>();
  if (symbology == "Modified Plessey") return std::make_unique<LinModifiedPlesseyBarcode>();
  if (symbology == "Modified Plessey (Hex)")
    return std::make_unique<LinModifiedPlesseyHexBarcode>();
  if (symbology == "Industrial 2 of 5") return std::make_unique<LinIndustrialTwoOfFiveBarcode>();
  if (symbology == "EAN-13") return std::make_unique<LinEAN13Barcode>();
  if (symbology == "Code 128") return code128(LinCode128Barcode::Code_Set_Auto);
  if (symbology == "Code 128 SET A") return code128(LinCode128Barcode::Code_Set_A);
  if (symbology == "Code 128 SET B") return code128(LinCode128Barcode::Code_Set_B);
  if (symbology == "Code 128 SET C") return code128(LinCode128Barcode::Code_Set_C);
  if (symbology == "Codabar") return std::make_unique<LinCodabarBarcode>();
  if (symbology == "UPCE") return std::make_unique<LinUPCEBarcode>();
  if (symbology == "EAN-8") return std::make_unique<LinEAN8Barcode>();
  if (symbology == "Royal Mail Barcode (RM4SCC / CBC)")
    return std::make_unique<LinRoyalMailBarcode>();
  if (symbology == "Planet") return std::make_unique<LinPlanetBarcode>();
  if (symbology == "Japan Post Barcode") return std::make_unique<JapanPostBarcode>();
  return nullptr;
}

// The initialised model of the value; nullptr when no model results.
inline std::unique_ptr<LinBarcode> Make(const QString& symbology,
                                        const std::optional<QString>& value,
                                        bool printsCaption = true) {
  auto model = New_Model(symbology);
  if (!model || !model->initWithContent(value, printsCaption)) return nullptr;
  return model;
}

}  // namespace linear_test
