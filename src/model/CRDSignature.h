#pragma once
// A signature or fingerprint picture.

#include "model/CRDGraphic.h"

class CRDSignature : public CRDGraphic {
 public:
  CRDSignature() = default;
  explicit CRDSignature(Bare bare) : CRDGraphic(bare) {}

  QString className() const override { return QStringLiteral("CRDSignature"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDSignature>(); }

  Picture _contents_img;  // the picture shown; not archived
  QString file_path;      // the path whose picture _contents_img holds; not archived
};
