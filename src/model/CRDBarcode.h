#pragma once
// A barcode picture made by the barcode designer, painted at its own size from the
// top-left corner of the bounds. Until a barcode has been rendered for the object it
// shows the sample picture "barcode_sample.png" of the resource folder.

#include "model/CRDGraphic.h"

class CRDBarcode : public CRDGraphic {
 public:
  CRDBarcode() = default;
  explicit CRDBarcode(Bare bare) : CRDGraphic(bare) {}
  // Shows the sample picture, its size centred on the point (the picture argument is
  // not used: a new object has no barcode yet).
  CRDBarcode(const QPointF& position, const Picture& contents);

  QString className() const override { return QStringLiteral("CRDBarcode"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDBarcode>(); }

  Picture _contents;  // the picture painted; not archived

  // _contents becomes the record's barcode picture, or the sample picture when there is
  // none (a null picture when the sample cannot be read).
  void barcode_image_var_assign();
  // The picture painted now, without changing the object.
  Picture Shown_Picture() const;
  // Where the picture lies: the bounds' top-left corner and the picture's size.
  QRectF Picture_Rect() const;
  // A new barcode picture comes with a frame that holds it: the bounds grow to the
  // picture's size where they are smaller (their top-left corner stays). Without a
  // barcode picture (the sample shows) the bounds stay. Written straight into the field.
  void Hold_Barcode_Picture();

  // The picture at its own size, never scaled to the bounds; no fill and no border.
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;
  // The record's drawing bounds united with the picture's, so the whole picture is
  // redrawn and shown on the canvas as it is printed.
  QRectF drawingBounds() const override;
  // Inside the bounds or inside the picture.
  bool isContentsUnderPoint(const QPointF& point) const override;
  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return false; }
};
