#pragma once
// A geometric figure inside the bounds, chosen by the shape code.

#include "model/CRDGraphic.h"

class Shape_Control : public CRDGraphic {
 public:
  Shape_Control() = default;
  explicit Shape_Control(Bare bare) : CRDGraphic(bare) {}

  QString className() const override { return QStringLiteral("Shape_Control"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<Shape_Control>(); }
};
