#include "window/Tool_Placement.h"

#include <algorithm>

QString Tool_Graphic_Class(int tool) {
  switch (tool) {
    case Line_Tool: return QStringLiteral("CRDLine");
    case Text_Tool: return QStringLiteral("CRDText");
    case Rect_Tool:
    case Circle_Tool:
    case Round_Rect_Tool:
    case Triangle_Tool:
    case Diamond_Tool:
    case Star_Tool:
    case Double_Star_Tool:
    case Polygon_Tool: return QStringLiteral("Shape_Control");
    case Image_Tool:
    case Image_Library_Tool: return QStringLiteral("CRDImage");
    case Barcode_Tool: return QStringLiteral("CRDBarcode");
    case Signature_Tool:
    case Fingure_Print_Tool: return QStringLiteral("CRDSignature");
    default: return {};
  }
}

QSizeF Tool_Frame_Size(int tool) {
  if (tool == Barcode_Tool) return QSizeF(120, 60);
  if (tool == Signature_Tool) return QSizeF(100, 50);
  if (tool == Fingure_Print_Tool) return QSizeF(45, 60);  // the sample print's proportions
  return QSizeF(50, 50);
}

QPointF Next_Cascade_Point(qsizetype count, QSizeF front_canvas, QPointF last) {
  const float step = float(std::max<qsizetype>(count, 20));
  float x = float(last.x()) + step;
  float y = float(last.y()) + step;
  if (front_canvas.width() <= x + 50.0) x = 10;
  if (front_canvas.height() <= y + 50.0) y = 10;
  return QPointF(x, y);
}
