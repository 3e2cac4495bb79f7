#pragma once
// A straight line between two corners of the bounds.

#include "model/CRDGraphic.h"

class CRDLine : public CRDGraphic {
 public:
  CRDLine() = default;
  explicit CRDLine(Bare bare) : CRDGraphic(bare) {}

  QString className() const override { return QStringLiteral("CRDLine"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDLine>(); }

  // Direction: the begin point on the left (top) edge and the end point on the right
  // (bottom) edge when true, the reverse when false.
  bool _pointsRight = false;
  bool _pointsDown = false;
};
