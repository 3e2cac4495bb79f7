// Archiving and restoring a card's worth of graphics: 1,000 mixed graphics of all six
// kinds to pasteboard data and back (target: under 50 ms each way).

#include "model/Graphic_Archive.h"
#include "support/Mixed_Graphics.h"

#include <benchmark/benchmark.h>

namespace {

using bench_support::Mixed_Graphics;

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
