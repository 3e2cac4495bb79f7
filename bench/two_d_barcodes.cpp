// Two-dimensional symbols: the encoders on their largest everyday inputs.

#include "barcode/Data_Matrix_Symbol.h"
#include "barcode/PDF417_Encoder.h"
#include "barcode/QREncoder.h"
#include "barcode/QR_Encoder.h"
#include "model/Shared_Design_State.h"

#include <benchmark/benchmark.h>

#include "support/Bench_Scenes.h"

#include <string>

namespace {

using bench_scenes::Text_Bytes;

// Version 40-L filled with 2,953 bytes: segmentation, 25 blocks of error correction and the
// eight masks scored.
void BM_QR_Version40L_2953Bytes(benchmark::State& state) {
  const QByteArray data = Text_Bytes(2953);
  for (auto _ : state) {
    auto grid = QREncoder::encodeCStringWithECLevel(0, 0, data);
    if (!grid || grid->dimension() != 177) state.SkipWithError("no version 40 symbol");
    benchmark::DoNotOptimize(grid);
  }
}
BENCHMARK(BM_QR_Version40L_2953Bytes)->Unit(benchmark::kMillisecond);

// The same symbol drawn at 177 points and rasterised at 600 dpi.
void BM_QR_Version40L_Picture600dpi(benchmark::State& state) {
  USED_DPI_VALUE = 600;
  const auto grid = QREncoder::encodeCStringWithECLevel(0, 0, Text_Bytes(2953));
  for (auto _ : state) {
    const Picture picture = QREncoder::renderDataMatrix(grid.get(), 177);
    benchmark::DoNotOptimize(picture);
  }
}
BENCHMARK(BM_QR_Version40L_Picture600dpi)->Unit(benchmark::kMillisecond);

// 1,000 bytes of text through compaction, layout and error correction.
void BM_PDF417_1000Bytes(benchmark::State& state) {
  const QByteArray data = Text_Bytes(1000);
  PDF417_Param p;
  for (auto _ : state) {
    PDF417_Init(&p);
    p.text = data.constData();
    p.lenText = int(data.size());
    p.options = PDF417_USE_ERROR_LEVEL;
    p.errorLevel = 2;
    p.aspectRatio = 1.0f;
    PDF417_Codewords(&p);
    if (p.error != PDF417_ERROR_SUCCESS) state.SkipWithError("not encoded");
    benchmark::DoNotOptimize(p.codewords);
  }
}
BENCHMARK(BM_PDF417_1000Bytes)->Unit(benchmark::kMicrosecond);

// 1,000 bytes through iec16022 (the library chooses size and encoding).
void BM_DataMatrix_1000Bytes(benchmark::State& state) {
  const QByteArray data = Text_Bytes(1000);
  for (auto _ : state) {
    const Data_Matrix_Symbol symbol = Encode_Data_Matrix(data, 0, 0);
    if (!symbol.isValid()) state.SkipWithError("no symbol");
    benchmark::DoNotOptimize(symbol.modules.data());
  }
}
BENCHMARK(BM_DataMatrix_1000Bytes)->Unit(benchmark::kMillisecond);

}  // namespace
