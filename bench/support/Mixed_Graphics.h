#pragma once
// A card's worth of graphics for benchmarks: the six kinds in turn, texts with their own
// words, barcodes with a picture, every object at its own place.

#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Shape_Control.h"

#include <QPainter>

namespace bench_support {

inline Picture Barcode_Picture() {
  QImage image(240, 90, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  for (int x = 10; x < 230; x += 3) painter.fillRect(x, 10, (x / 3) % 2 + 1, 60, Qt::black);
  painter.drawText(QRect(0, 72, 240, 16), Qt::AlignCenter, QStringLiteral("4006381333931"));
  return Picture(image);
}

inline Graphic_List Mixed_Graphics(int count) {
  const Picture barcode = Barcode_Picture();
  Graphic_List graphics;
  graphics.reserve(size_t(count));
  for (int i = 0; i < count; ++i) {
    std::shared_ptr<CRDGraphic> g;
    switch (i % 6) {
      case 0: g = std::make_shared<Shape_Control>(); break;
      case 1: g = std::make_shared<CRDLine>(); break;
      case 2: {
        g = std::make_shared<CRDText>();
        g->Text_Value = QStringLiteral("Happy birthday %1, see you at the party!").arg(i);
        g->Text_contents();
        break;
      }
      case 3: g = std::make_shared<CRDImage>(); break;
      case 4: g = std::make_shared<CRDSignature>(); break;
      default: {
        g = std::make_shared<CRDBarcode>();
        g->Set_Barcode_image(barcode);
        break;
      }
    }
    g->_bounds = QRectF(i % 40 * 6.5, i / 40 * 4.25, 50, 30);
    g->alpha_val = 0.75f;
    g->fillColor();
    g->control_ID = QStringLiteral("Field_%1").arg(i);
    graphics.push_back(std::move(g));
  }
  return graphics;
}

}  // namespace bench_support
