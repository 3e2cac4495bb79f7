// The QR encoder against libqrencode and libzint on the same inputs, one thread, data in and
// module matrix out. Each iteration times every encoder on the same input in turn, so the
// ratios ours/theirs hold on a busy machine; the benchmark's own time is ours.
//   URL_M        a 30-character URL at level M, the version chosen by each encoder
//   Version40L   2,953 bytes of text, which only version 40-L holds (8-bit byte mode)
// Counters: microseconds a symbol for each encoder, the ratios, and the symbol sides (a
// larger side than a peer's means a wasteful segmentation).

#include "barcode/QREncoder.h"

#include <benchmark/benchmark.h>

#include "support/Bench_Scenes.h"

#include <QByteArray>

#include <chrono>

#ifdef HAVE_LIBQRENCODE
#include <qrencode.h>
#endif
#ifdef HAVE_LIBZINT
#include <zint.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

using bench_scenes::Text_Bytes;

struct Peer_Times {
  double ours = 0, qrencode = 0, zint = 0;  // seconds
  int ours_side = 0, qrencode_side = 0, zint_side = 0;
};

template <typename F>
double Timed(F&& f) {
  const auto start = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// level 0..3 (L, M, Q, H); bytes_only: the peers get the input as one 8-bit segment.
void Compare(benchmark::State& state, const QByteArray& data, int level, bool bytes_only) {
  Peer_Times t;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
#ifdef HAVE_LIBZINT
  zint_symbol* symbol = ZBarcode_Create();
#endif
  (void)bytes;
  (void)bytes_only;
  for (auto _ : state) {
    const double ours = Timed([&] {
      auto grid = QREncoder::encodeCStringWithECLevel(level, 0, data);
      if (!grid || grid->dimension() == 0) state.SkipWithError("ours: no symbol");
      t.ours_side = grid ? grid->dimension() : 0;
      benchmark::DoNotOptimize(grid);
    });
    t.ours += ours;
    state.SetIterationTime(ours);
#ifdef HAVE_LIBQRENCODE
    t.qrencode += Timed([&] {
      QRcode* code = bytes_only
                         ? QRcode_encodeData(int(data.size()), bytes, 0, QRecLevel(level))
                         : QRcode_encodeString(data.constData(), 0, QRecLevel(level), QR_MODE_8, 1);
      if (!code) state.SkipWithError("libqrencode: no symbol");
      t.qrencode_side = code ? code->width : 0;
      benchmark::DoNotOptimize(code);
      QRcode_free(code);
    });
#endif
#ifdef HAVE_LIBZINT
    t.zint += Timed([&] {
      ZBarcode_Clear(symbol);
      symbol->symbology = BARCODE_QRCODE;
      symbol->option_1 = level + 1;  // 1 L .. 4 H
      symbol->input_mode = DATA_MODE;
      if (ZBarcode_Encode(symbol, bytes, int(data.size())) >= ZINT_ERROR)
        state.SkipWithError("libzint: no symbol");
      t.zint_side = symbol->width;
      benchmark::DoNotOptimize(symbol->encoded_data);
    });
#endif
  }
#ifdef HAVE_LIBZINT
  ZBarcode_Delete(symbol);
#endif
  const double n = double(state.iterations());
  if (n == 0) return;
  state.counters["ours_us"] = t.ours / n * 1e6;
  state.counters["ours_side"] = t.ours_side;
#ifdef HAVE_LIBQRENCODE
  state.counters["qrencode_us"] = t.qrencode / n * 1e6;
  state.counters["ours/qrencode"] = t.ours / t.qrencode;
  state.counters["qrencode_side"] = t.qrencode_side;
#endif
#ifdef HAVE_LIBZINT
  state.counters["zint_us"] = t.zint / n * 1e6;
  state.counters["ours/zint"] = t.ours / t.zint;
  state.counters["zint_side"] = t.zint_side;
#endif
}

void BM_QR_URL_M(benchmark::State& state) {
  const QByteArray url("https://example.org/card?id=42");  // 30 characters
  Compare(state, url, 1, false);
}
BENCHMARK(BM_QR_URL_M)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_QR_Version40L(benchmark::State& state) { Compare(state, Text_Bytes(2953), 0, true); }
BENCHMARK(BM_QR_Version40L)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
