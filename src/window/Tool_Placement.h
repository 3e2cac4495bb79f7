#pragma once
// The tools of the design window's palette and where tool-button objects are placed.

#include <QPointF>
#include <QSizeF>
#include <QString>

// Tool numbers (Selected_Control_Tool).
enum Control_Tool : int {
  Arrow_Tool = 0,
  Line_Tool = 1,
  Text_Tool = 2,
  Rect_Tool = 3,
  Circle_Tool = 4,
  Round_Rect_Tool = 5,
  Triangle_Tool = 6,
  Diamond_Tool = 7,
  Image_Tool = 8,
  Image_Library_Tool = 9,
  Barcode_Tool = 10,
  Signature_Tool = 11,
  Fingure_Print_Tool = 12,
  Star_Tool = 13,
  Double_Star_Tool = 14,
  Polygon_Tool = 15,
};

// The class name of the object a tool makes ("CRDLine", "CRDText", "Shape_Control",
// "CRDImage", "CRDBarcode", "CRDSignature"; the fingerprint tool makes a signature
// object of the fingerprint kind), or "" for a tool that makes none (the arrow and any
// unknown number).
QString Tool_Graphic_Class(int tool);

// The frame a tool button gives its new object: 120 x 60 for barcodes, 100 x 50 for
// signatures, 45 x 60 for fingerprints, 50 x 50 otherwise.
QSizeF Tool_Frame_Size(int tool);

// The next cascade position on a side holding `count` graphics: the last position moved
// by the count (at least 20) on both axes, each coordinate starting again at 10 when the
// object would come within 50 points of the front canvas's right or lower edge.
QPointF Next_Cascade_Point(qsizetype count, QSizeF front_canvas, QPointF last);
