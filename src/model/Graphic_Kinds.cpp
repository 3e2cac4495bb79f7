#include "model/Graphic_Kinds.h"

#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Shape_Control.h"

const QStringList& Graphic_Class_Names() {
  static const QStringList names = {
      QStringLiteral("Shape_Control"), QStringLiteral("CRDLine"),      QStringLiteral("CRDText"),
      QStringLiteral("CRDImage"),      QStringLiteral("CRDSignature"), QStringLiteral("CRDBarcode"),
  };
  return names;
}

std::shared_ptr<CRDGraphic> Make_Bare_Graphic(const QString& class_name) {
  const CRDGraphic::Bare bare;
  if (class_name == QLatin1String("Shape_Control")) return std::make_shared<Shape_Control>(bare);
  if (class_name == QLatin1String("CRDLine")) return std::make_shared<CRDLine>(bare);
  if (class_name == QLatin1String("CRDText")) return std::make_shared<CRDText>(bare);
  if (class_name == QLatin1String("CRDImage")) return std::make_shared<CRDImage>(bare);
  if (class_name == QLatin1String("CRDSignature")) return std::make_shared<CRDSignature>(bare);
  if (class_name == QLatin1String("CRDBarcode")) return std::make_shared<CRDBarcode>(bare);
  return nullptr;
}
