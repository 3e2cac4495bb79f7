#pragma once
// A picture from a file, with adjustments, rotation and flips.

#include "model/CRDGraphic.h"

class CRDImage : public CRDGraphic {
 public:
  CRDImage() = default;
  explicit CRDImage(Bare bare) : CRDGraphic(bare) {}

  QString className() const override { return QStringLiteral("CRDImage"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDImage>(); }

  Picture _contents;  // the picture loaded from _file_path; not archived
};
