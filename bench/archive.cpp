// Archiving and restoring a card's worth of graphics: 1,000 mixed graphics of all six
// kinds to pasteboard data and back (target: under 50 ms each way).

#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Graphic_Archive.h"
#include "model/Shape_Control.h"

#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

Picture Barcode_Picture() {
  QImage image(240, 90, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  for (int x = 10; x < 230; x += 3) painter.fillRect(x, 10, (x / 3) % 2 + 1, 60, Qt::black);
  painter.drawText(QRect(0, 72, 240, 16), Qt::AlignCenter, QStringLiteral("4006381333931"));
  return Picture(image);
}

Graphic_List Mixed_Graphics(int count) {
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

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

void BM_Archive_Graphics(benchmark::State& state) {
  const Graphic_List graphics = Mixed_Graphics(int(state.range(0)));
  size_t bytes = 0;
  for (auto _ : state) {
    const QByteArray data = pasteboardDataWithGraphics(graphics);
    bytes = size_t(data.size());
    benchmark::DoNotOptimize(data.constData());
  }
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_Archive_Graphics)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_Restore_Graphics(benchmark::State& state) {
  const QByteArray data = pasteboardDataWithGraphics(Mixed_Graphics(int(state.range(0))));
  // Restoring logs the path of every picture graphic; keep the measurement to the work.
  const QtMessageHandler previous = qInstallMessageHandler(Quiet);
  for (auto _ : state) {
    const std::optional<Graphic_List> graphics = graphicsWithPasteboardData(data);
    if (!graphics || graphics->size() != size_t(state.range(0)))
      state.SkipWithError("lost graphics");
    benchmark::DoNotOptimize(graphics);
  }
  qInstallMessageHandler(previous);
}
BENCHMARK(BM_Restore_Graphics)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
