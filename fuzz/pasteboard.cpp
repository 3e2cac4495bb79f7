// Graphics pasted from the clipboard: a property list of keyed archives, their values and
// pictures.

#include "Fuzz_Support.h"
#include "model/CRDText.h"
#include "model/Graphic_Archive.h"
#include "model/Shape_Control.h"

#include <QImage>

QList<QByteArray> Fuzz_Seeds() {
  auto text = std::make_shared<CRDText>();
  text->Text_Value = QStringLiteral("Happy birthday");
  auto shape = std::make_shared<Shape_Control>();
  shape->_shape_type = QStringLiteral("C");
  QImage rgb(3, 2, QImage::Format_RGB32);
  rgb.fill(QColor(200, 30, 40));
  QImage grey(4, 2, QImage::Format_RGB32);
  grey.fill(Qt::black);
  QImage alpha(2, 2, QImage::Format_ARGB32);
  alpha.fill(QColor(10, 20, 30, 128));
  auto picture = std::make_shared<Shape_Control>();
  picture->_barcode_image = Picture(rgb, QSizeF(6, 4));
  auto barcode = std::make_shared<Shape_Control>();
  barcode->_barcode_image = Picture(grey, QSizeF(4, 2));
  auto translucent = std::make_shared<Shape_Control>();
  translucent->_barcode_image = Picture(alpha, QSizeF(2, 2));
  return {pasteboardDataWithGraphics({text, shape}), pasteboardDataWithGraphics({picture}),
          pasteboardDataWithGraphics({barcode, translucent})};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                   qsizetype(size));
  if (const std::optional<Graphic_List> graphics = graphicsWithPasteboardData(bytes))
    pasteboardDataWithGraphics(*graphics);  // copied again
  return 0;
}
