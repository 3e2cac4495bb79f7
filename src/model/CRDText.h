#pragma once
// A text in a box.

#include "model/CRDGraphic.h"

class CRDText : public CRDGraphic {
 public:
  CRDText() = default;
  explicit CRDText(Bare bare) : CRDGraphic(bare) {}

  QString className() const override { return QStringLiteral("CRDText"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDText>(); }
};
