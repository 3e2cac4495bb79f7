// Barcode pictures on the headless road, as the batch output makes them: one picture per
// record, each with its own value, the designer's start settings (header, footer, value
// text, margins) at 600 dpi. 1,000 pictures per symbology.

#include "barcode/Barcode_Designer.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

// A record's value: the designer's symbology and the record number.
using Value_Of = QString (*)(int record);

QString EAN13_Value(int record) {
  return QStringLiteral("4006381%1").arg(record % 100000, 5, 10, QLatin1Char('0'));
}
QString Code128_Value(int record) { return QStringLiteral("Guest %1").arg(record); }
QString QR_Value(int record) {
  return QStringLiteral("https://example.org/rsvp?card=%1&guest=Guest%20%1").arg(record);
}
QString DataMatrix_Value(int record) { return QStringLiteral("Guest %1").arg(record); }

void BM_Headless_Picture(benchmark::State& state, const char* title, Value_Of value_of) {
  Barcode_Designer designer;
  designer.Select_Symbology(QString::fromLatin1(title));
  int record = 0;
  qint64 pixels = 0;
  for (auto _ : state) {
    const Picture picture =
        designer.Get_Image_From_Val(value_of(record++), designer.HeaderText, designer.FooterText);
    if (picture.isNull()) {
      state.SkipWithError("no picture");
      break;
    }
    pixels += qint64(picture.image().width()) * picture.image().height();
    benchmark::DoNotOptimize(picture);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["pixels"] = benchmark::Counter(double(pixels), benchmark::Counter::kAvgIterations);
}

BENCHMARK_CAPTURE(BM_Headless_Picture, EAN13, "EAN-13", EAN13_Value)
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Headless_Picture, Code128, "Code 128", Code128_Value)
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Headless_Picture, QRCode, "QR Code", QR_Value)
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Headless_Picture, DataMatrix, "DataMatrix", DataMatrix_Value)
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
