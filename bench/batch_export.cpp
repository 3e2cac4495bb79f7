// Batch image export of an A6 card (105 x 148 mm) at 300 dpi, side F: texts, shapes, a
// gradient card fill, a picture bound to a series of photos, bound Code 128 and QR codes.
// Targets: a median of 400 records a second or more on 8 cores and 60 on one; peak
// resident memory after 20,000 records within 10% of that after 1,000. Also records a
// second for each file type (PNG, JPEG, TIFF, BMP) on 1 and 8 threads, and one core's
// render and encode times, with Qt's PNG writer timed in the same run as the peer of our
// encoder.

#include "barcode/Barcode_Designer.h"
#include "canvas/ImageProcesser.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/Shared_Design_State.h"
#include "output/Batch_Export.h"
#include "output/Card_Picture_File.h"
#include "series/Data_Series_Store.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "support/Bench_Scenes.h"

namespace {

constexpr int photo_count = 16;

QImage photo(QSize size, int seed) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size.width(); ++x)
      line[x] = qRgb((x * 255 / size.width() + seed * 13) & 255, (y * 255 / size.height()) & 255,
                     ((x ^ y) + seed * 7) & 255);
  }
  return image;
}

void write_series(const QString& name, const QStringList& values) {
  Write_Series_File(Series_Path(name), values);
}

std::shared_ptr<CRDGraphic> bound_barcode(const QString& symbology, const QString& series,
                                          QRectF bounds) {
  auto graphic = std::make_shared<CRDBarcode>();
  Barcode_Designer designer;
  designer.Select_Symbology(symbology);
  designer.Set_Control_Prop_To_Barcode(*graphic);
  graphic->data_source_type = 1;
  graphic->batch_list_name = series;
  graphic->_bounds = bounds;
  return graphic;
}

// The card and its series, made once for the program.
struct Card {
  QTemporaryDir folder;
  Card_Side_Snapshot front, back;
  std::unique_ptr<Record_Renderer> prototype;

  explicit Card(int records) {
    Data_Folder_Path = folder.filePath(QStringLiteral("DataSet"));
    QDir().mkpath(Data_Folder_Path);
    QStringList photos, names, codes;
    for (int i = 0; i < photo_count; ++i) {
      photos << folder.filePath(QStringLiteral("photo%1.png").arg(i));
      photo(QSize(600, 450), i).save(photos.last());
    }
    for (int r = 0; r < records; ++r) {
      names << QStringLiteral("Guest number %1").arg(r + 1);
      codes << QStringLiteral("LG%1").arg(r + 1, 8, 10, QLatin1Char('0'));
    }
    QStringList photo_records;
    for (int r = 0; r < records; ++r) photo_records << photos[r % photo_count];
    write_series(QStringLiteral("Names"), names);
    write_series(QStringLiteral("Codes"), codes);
    write_series(QStringLiteral("Photos"), photo_records);

    front.frame = QRectF(0, 0, 105 * 2.834645669291, 148 * 2.834645669291);
    front.side.Card_fill_chk = true;
    front.side.Card_fill_style = QStringLiteral("G");
    front.side.Card_fill_Grd_1_clr = CRDColor::rgb(1, 0.9, 0.7);
    front.side.Card_fill_Grd_2_clr = CRDColor::rgb(0.7, 0.8, 1);
    front.side.Card_grad_Stepper = 30;
    Graphic_List& g = front.graphics;
    auto name = bench_scenes::Mixed_Text(0, QRectF(20, 20, 250, 30), QStringLiteral("Name"));
    name->data_source_type = 1;
    name->batch_list_name = QStringLiteral("Names");
    g.push_back(name);
    g.push_back(bench_scenes::Mixed_Text(1, QRectF(20, 55, 250, 60),
                                         QStringLiteral("You are warmly invited to our party.")));
    g.push_back(bound_barcode(QStringLiteral("Code 128"), QStringLiteral("Codes"),
                              QRectF(20, 300, 200, 60)));
    g.push_back(bound_barcode(QStringLiteral("QR Code"), QStringLiteral("Codes"),
                              QRectF(220, 330, 60, 60)));
    auto picture = std::make_shared<CRDImage>();
    picture->data_source_type = 1;
    picture->batch_list_name = QStringLiteral("Photos");
    picture->_bounds = QRectF(40, 120, 220, 165);
    g.push_back(picture);
    for (int i = 0; i < 6; ++i)
      g.push_back(bench_scenes::Mixed_Shape(i, QRectF(10 + i * 45, 390, 40, 25)));
    back = front;
    back.graphics.clear();
    const Batch_Values values = Batch_Check(front.graphics, {}, false, {});
    prototype = std::make_unique<Record_Renderer>(front, back, values, Barcode_Designer());
  }
};

Card& card() {
  static Card instance(20000);
  return instance;
}

long peak_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Exports the first `records` records of the series as `type` into `folder`; false when a
// record failed.
bool export_records(Card& c, int records, Card_File_Type type, int threads, const QString& folder) {
  Batch_Values values = c.prototype->values();
  values.total = records;
  Record_Renderer prototype(c.front, c.back, values, Barcode_Designer());
  Batch_Export_Options options;
  options.folder = folder;
  options.side = QStringLiteral("F");
  options.type = type;
  options.threads = threads;
  Stop_SMS_Sending_Now = false;
  Batch_Export run(prototype, options);
  run.start();
  run.waitForFinished();
  return !run.result().failed;
}

void BM_Batch_Export(benchmark::State& state) {
  Card& c = card();
  const int records = int(state.range(0));
  QTemporaryDir out;
  for (auto _ : state) {
    if (!export_records(c, records, Card_File_Type::PNG, int(state.range(1)), out.path()))
      state.SkipWithError("a record failed");
  }
  state.counters["records_per_s"] =
      benchmark::Counter(double(records) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["peak_rss_MiB"] = double(peak_rss_kib()) / 1024;
}
// Second argument: worker threads (0: one per core).
BENCHMARK(BM_Batch_Export)
    ->Args({1000, 0})
    ->Args({20000, 0})
    ->Args({200, 1})
    ->Args({200, 4})
    ->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// Each type the export offers, on 1 and 8 threads: the same records, written as the type.
void BM_Batch_Export_Type(benchmark::State& state) {
  Card& c = card();
  const auto type = Card_File_Type(state.range(0));
  const int records = type == Card_File_Type::PNG || state.range(1) > 1 ? 400 : 150;
  state.SetLabel(Card_File_Title(type).toStdString());
  QTemporaryDir out;
  for (auto _ : state) {
    if (!export_records(c, records, type, int(state.range(1)), out.path()))
      state.SkipWithError("a record failed");
  }
  state.counters["records_per_s"] =
      benchmark::Counter(double(records) * state.iterations(), benchmark::Counter::kIsRate);
  const QFileInfo first(QDir(out.path()).filePath(
      QStringLiteral("Card_1.") + Card_File_Extension(type)));
  state.counters["file_KiB"] = double(first.size()) / 1024;
}
BENCHMARK(BM_Batch_Export_Type)
    ->ArgsProduct({{int(Card_File_Type::PNG), int(Card_File_Type::JPEG), int(Card_File_Type::TIFF),
                    int(Card_File_Type::BMP)},
                   {1, 8}})
    ->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_Render_One_Record(benchmark::State& state) {
  Record_Renderer renderer = card().prototype->Copy();
  int record = 0;
  for (auto _ : state) benchmark::DoNotOptimize(renderer.Render(record++ % 1000, Card_Side::Front));
}
BENCHMARK(BM_Render_One_Record)->Unit(benchmark::kMillisecond);

Picture rendered() {
  Record_Renderer renderer = card().prototype->Copy();
  return renderer.Render(0, Card_Side::Front);
}

void BM_Encode_Ours(benchmark::State& state) {
  const Picture picture = rendered();
  Card_PNG_Encoder encoder;  // as a batch worker keeps it
  for (auto _ : state) benchmark::DoNotOptimize(encoder.Encode(picture));
  state.counters["bytes"] = double(encoder.Encode(picture).size());
}
BENCHMARK(BM_Encode_Ours)->Unit(benchmark::kMillisecond);

// One card picture encoded as each type on one core (what a worker adds to its render).
void BM_Encode_Type(benchmark::State& state) {
  const Picture picture = rendered();
  const auto type = Card_File_Type(state.range(0));
  state.SetLabel(Card_File_Title(type).toStdString());
  Card_Picture_Encoder encoder;
  for (auto _ : state) benchmark::DoNotOptimize(encoder.Encode(picture, type));
  state.counters["bytes"] = double(encoder.Encode(picture, type).size());
}
BENCHMARK(BM_Encode_Type)
    ->DenseRange(int(Card_File_Type::PNG), int(Card_File_Type::BMP))
    ->Unit(benchmark::kMillisecond);

void BM_Encode_Qt_Peer(benchmark::State& state) {
  const Picture picture = rendered();
  QByteArray data;
  for (auto _ : state) {
    data.clear();
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(picture.image());
  }
  state.counters["bytes"] = double(data.size());
}
BENCHMARK(BM_Encode_Qt_Peer)->Unit(benchmark::kMillisecond);

}  // namespace
