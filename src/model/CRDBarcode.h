#pragma once
// A barcode picture made by the barcode designer.

#include "model/CRDGraphic.h"

class CRDBarcode : public CRDGraphic {
 public:
  CRDBarcode() = default;
  explicit CRDBarcode(Bare bare) : CRDGraphic(bare) {}

  QString className() const override { return QStringLiteral("CRDBarcode"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDBarcode>(); }

  Picture _contents;  // the picture painted; not archived
};
