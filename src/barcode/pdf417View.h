#pragma once
// The PDF417 picture maker of the barcode designer: encodes a value with the PDF417 encoder,
// stretches the symbol over its frame and has the picture rasterised at USED_DPI_VALUE.
// A plain object: each thread that makes pictures uses its own.

#include "barcode/PDF417_Encoder.h"
#include "model/Picture.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

class QPainter;

class pdf417View {
 public:
  // imageState values.
  static constexpr int kImagePresent = 0;
  static constexpr int kImageEmpty = 1;
  static constexpr int kImageFailed = 2;
  // The ECI assignment number of UTF-8.
  static constexpr int kEci_Utf8 = 26;

  explicit pdf417View(QSizeF frame = QSizeF());

  void setFrameSize(QSizeF size) { frame_ = size; }
  QSizeF frameSize() const { return frame_; }

  // Encodes the text (its UTF-8 bytes, marked with the UTF-8 ECI when any is beyond ASCII)
  // at the view's error level with the rows and columns chosen for a square symbol, and answers the new state: 0 picture made, 1 empty text,
  // 2 the encoding (or the picture) failed. On 1 and 2 the previous picture stays.
  int drawWithText(const QString& text);
  // A copy of the current picture (null before the first success).
  Picture getImage() const { return pdf417Image; }
  int imageState() const { return imageState_; }

  void setErrorLevel(int level);
  int getErrorLevel() const { return errorLevel; }

  // The resolution pictures are rasterised at; 0 (the start) follows USED_DPI_VALUE.
  void setResolution(double dpi) { dpi_ = dpi; }
  double resolution() const { return dpi_; }

  // Paints the view into the rectangle (0, 0, frame): the picture, a light grey area while
  // empty, or the failure note.
  void drawRect(QPainter& painter) const;

 private:
  Picture pdf417Image;
  PDF417_Param p;
  QByteArray text_;  // the bytes p.text points at while encoding
  int errorLevel = 2;
  int imageState_ = kImageEmpty;
  QSizeF frame_;
  double dpi_ = 0;
};
