#include "barcode/pdf417View.h"

#include "barcode/Picture_Resolution.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"

#include <QImage>
#include <QPainter>

#include <cstring>

pdf417View::pdf417View(QSizeF frame) : frame_(frame) { PDF417_Init(&p); }

void pdf417View::setErrorLevel(int level) {
  errorLevel = level;
  Show_NSLog_Message(QStringLiteral("ErrorLevel set to %1").arg(level));
}

int pdf417View::drawWithText(const QString& text) {
  if (text.isEmpty()) {
    imageState_ = kImageEmpty;
    return imageState_;
  }
  PDF417_Init(&p);
  text_ = text.toUtf8();
  p.text = text_.constData();
  p.lenText = int(std::min<qsizetype>(text_.size(), PDF417_MAX_TEXT + 1));
  p.options = PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP;
  p.errorLevel = errorLevel;
  // Text beyond ASCII is marked as UTF-8, so that no reader guesses another encoding.
  for (char c : text_)
    if (static_cast<unsigned char>(c) > 127) p.eci = kEci_Utf8;
  p.aspectRatio = 1.0f;
  paintCode(&p);
  p.text = "";
  if (p.error != PDF417_ERROR_SUCCESS) {
    Show_NSLog_Message(
        QStringLiteral("Error encountered while drawing barcode, error %1.").arg(p.error));
    PDF417_Free(&p);
    imageState_ = kImageFailed;
    return imageState_;
  }

  // One pixel per module and row; a set bit is white, so the inverted bars come out black.
  const int row_bytes = p.lenBits / p.codeRows;
  QImage bits(p.bitColumns, p.codeRows, QImage::Format_Mono);
  bits.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  for (int r = 0; r < p.codeRows; ++r)
    std::memcpy(bits.scanLine(r), p.outBits.data() + static_cast<size_t>(r) * row_bytes,
                static_cast<size_t>(std::min(row_bytes, int(bits.bytesPerLine()))));
  PDF417_Free(&p);

  const QSizeF size(float(frame_.width()), float(frame_.height()));
  const double dpi = dpi_ > 0 ? dpi_ : double(USED_DPI_VALUE.load());
  Picture picture = Increase_DPI(Picture(std::move(bits), size), dpi);
  if (picture.isNull()) {
    imageState_ = kImageFailed;
    return imageState_;
  }
  pdf417Image = std::move(picture);
  imageState_ = kImagePresent;
  return imageState_;
}

void pdf417View::drawRect(QPainter& painter) const {
  const QRectF bounds(QPointF(0, 0), frame_);
  switch (imageState_) {
    case kImagePresent:
      painter.save();
      painter.setCompositionMode(QPainter::CompositionMode_Source);
      painter.drawImage(bounds, pdf417Image.image());
      painter.restore();
      break;
    case kImageEmpty: painter.fillRect(bounds, QColor(Qt::lightGray)); break;
    default:
      painter.fillRect(bounds, Qt::white);
      painter.drawText(bounds, Qt::TextWordWrap,
                       QStringLiteral("There was a problem drawing the barcode."));
      break;
  }
}
