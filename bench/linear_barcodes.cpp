// Encoding speed of the linear and postal symbologies: 10,000 values per symbology, each
// made into a model, validated and turned into its complete bar string, as the batch
// output does once per record.

#include "barcode/JapanPostBarcode.h"
#include "barcode/LinCode128Barcode.h"
#include "barcode/LinCode39Barcode.h"
#include "barcode/LinPlesseyBarcode.h"
#include "barcode/LinPostalBarcode.h"
#include "barcode/LinTwoOfFiveBarcode.h"
#include "barcode/LinUPCEANBarcode.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int Values = 10000;

QString digits(int i, int width) { return QString::number(i).rightJustified(width, '0'); }

struct Symbology {
  const char* name;
  std::function<std::unique_ptr<LinBarcode>()> make;
  std::function<QString(int)> value;  // a value the symbology accepts
};

template <class T>
std::function<std::unique_ptr<LinBarcode>()> maker(int code_set = -1) {
  return [code_set] {
    auto model = std::make_unique<T>();
    if constexpr (std::is_same_v<T, LinCode128Barcode>) model->setCodeSet(code_set);
    return std::unique_ptr<LinBarcode>(std::move(model));
  };
}

const std::vector<Symbology>& symbologies() {
  static const std::vector<Symbology> all = {
      {"Code 39", maker<LinCode39Barcode>(), [](int i) { return "LG-" + digits(i, 8); }},
      {"Extended Code 39", maker<LinExtendedCode39Barcode>(),
       [](int i) { return "Card #" + QString::number(i) + " ok"; }},
      {"Interleaved 2 of 5", maker<LinInterleavedTwoOfFiveBarcode>(),
       [](int i) { return digits(i, 12); }},
      {"UPCA", maker<LinUPCABarcode>(), [](int i) { return digits(i, 11); }},
      {"PostNet", maker<LinPostnetBarcode>(), [](int i) { return digits(i, 11); }},
      {"Modified Plessey", maker<LinModifiedPlesseyBarcode>(), [](int i) { return digits(i, 10); }},
      {"Modified Plessey (Hex)", maker<LinModifiedPlesseyHexBarcode>(),
       [](int i) { return QString::number(0x1A000000 + i, 16); }},
      {"Industrial 2 of 5", maker<LinIndustrialTwoOfFiveBarcode>(),
       [](int i) { return digits(i, 8); }},
      {"EAN-13", maker<LinEAN13Barcode>(), [](int i) { return digits(i, 12); }},
      {"Code 128", maker<LinCode128Barcode>(LinCode128Barcode::Code_Set_Auto),
       [](int i) { return "Invite-" + QString::number(i); }},
      {"Code 128 SET A", maker<LinCode128Barcode>(LinCode128Barcode::Code_Set_A),
       [](int i) { return "GUEST\t" + QString::number(i); }},
      {"Code 128 SET B", maker<LinCode128Barcode>(LinCode128Barcode::Code_Set_B),
       [](int i) { return "Guest no. " + QString::number(i); }},
      {"Code 128 SET C", maker<LinCode128Barcode>(LinCode128Barcode::Code_Set_C),
       [](int i) { return digits(i, 12); }},
      {"Codabar", maker<LinCodabarBarcode>(), [](int i) { return "A" + digits(i, 10) + "B"; }},
      {"UPCE", maker<LinUPCEBarcode>(), [](int i) { return "0" + digits(i % 1000000, 6); }},
      {"EAN-8", maker<LinEAN8Barcode>(), [](int i) { return digits(i, 7); }},
      {"Royal Mail Barcode (RM4SCC / CBC)", maker<LinRoyalMailBarcode>(),
       [](int i) { return "SN" + digits(i, 5) + "RD"; }},
      {"Planet", maker<LinPlanetBarcode>(), [](int i) { return digits(i, 11); }},
      {"Japan Post Barcode", maker<JapanPostBarcode>(),
       [](int i) { return "1234567-" + QString::number(i) + "-ABC"; }},
  };
  return all;
}

void encode(benchmark::State& state, const Symbology* symbology) {
  QStringList values;
  for (int i = 0; i < Values; ++i) values << symbology->value(i);
  qsizetype modules = 0;
  for (auto _ : state) {
    for (const QString& value : values) {
      auto model = symbology->make();
      model->initWithContent(value, true);
      if (!model->isContentValid()) {
        state.SkipWithError(("refused: " + value).toStdString().c_str());
        return;
      }
      modules += model->completeBarcode().size();
    }
  }
  benchmark::DoNotOptimize(modules);
  state.SetItemsProcessed(state.iterations() * Values);
}

const bool registered = [] {
  for (const Symbology& symbology : symbologies())
    benchmark::RegisterBenchmark(("encode_10000/" + QString(symbology.name)).toStdString().c_str(),
                                 encode, &symbology)
        ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
