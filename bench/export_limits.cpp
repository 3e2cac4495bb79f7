// What an export holds at most, with the figures of the same work without the limits,
// measured in one build. Run one benchmark per process (--benchmark_filter) to read its
// peak resident memory ("peak_rss_MiB"; or /usr/bin/time -v).
//
// - Ten picture frames of an A6 card bound to ten series naming 32-million-pixel PNGs,
//   4 records, on 1 and 2 workers: with the run's picture budget (a design's 96 million
//   pixels) and without it (a budget of any size: every picture read, as exports once did,
//   1.37 GB with one worker and 2.7 GB with two). Target: the budgeted run's peak under
//   600 MB whatever the workers.
// - 4 records of a 1,000 mm card at 300 dpi (558 MB a picture) asked of 4 workers: the
//   export (which makes such cards on one worker), and 4 renderers on 4 threads as the
//   export once ran them. Target: the export's peak under 1.5 GB.
// - Distinct damaged 5,600 x 5,600 PNGs (the CRC of the last data chunk wrong) read under
//   one design's budget, and each decoded as reading once did (200 took 42 s). Target:
//   under 5 s for any number of them.

#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "model/Graphic_Archive.h"
#include "model/Shared_Design_State.h"
#include "output/Batch_Export.h"
#include "output/Card_Picture_File.h"
#include "series/Data_Series_Store.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <limits>
#include <thread>

namespace {

long peak_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

QTemporaryDir& scratch() {
  static QTemporaryDir folder;
  return folder;
}

// A PNG of 5,600 x 5,700 pixels (31.9 million), made once.
QString large_png() {
  static const QString path = [] {
    const QString file = scratch().filePath(QStringLiteral("large.png"));
    QImage image(5600, 5700, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) line[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    image.save(file);
    return file;
  }();
  return path;
}

void BM_Export_Bound_Large_Pictures(benchmark::State& state) {
  const int workers = int(state.range(0));
  const bool budget = state.range(1) != 0;
  Data_Folder_Path = scratch().filePath(QStringLiteral("DataSet"));
  QDir().mkpath(Data_Folder_Path);
  const QString png = large_png();
  Card_Side_Snapshot front;
  front.frame = QRectF(0, 0, 105 * 2.834645669291, 148 * 2.834645669291);
  for (int i = 0; i < 10; ++i) {
    const QString series = QStringLiteral("Column%1").arg(i);
    Write_Series_File(Series_Path(series), QStringList(4, png));
    auto picture = std::make_shared<CRDImage>();
    picture->data_source_type = 1;
    picture->batch_list_name = series;
    picture->_bounds = QRectF(10 + (i % 5) * 55, 10 + (i / 5) * 60, 50, 50);
    front.graphics.push_back(picture);
  }
  const Batch_Values values = Batch_Check(front.graphics, {}, false, {});
  const Record_Renderer prototype(front, Card_Side_Snapshot(), values, Barcode_Designer(),
                                  CRDRenderingView::Card_Picture_DPI,
                                  budget ? Graphic_Read_Budget::Default_Picture_Pixels
                                         : std::numeric_limits<qint64>::max() / 4);
  QTemporaryDir out;
  int incomplete = 0;
  for (auto _ : state) {
    Batch_Export_Options options;
    options.folder = out.path();
    options.threads = workers;
    Batch_Export run(prototype, options);
    run.start();
    run.waitForFinished();
    incomplete = run.result().incomplete;
  }
  state.counters["incomplete_records"] = incomplete;
  state.counters["peak_rss_MiB"] = double(peak_rss_kib()) / 1024;
}
// Arguments: workers, the run's picture budget (1) or none (0).
BENCHMARK(BM_Export_Bound_Large_Pictures)
    ->Args({1, 1})->Args({2, 1})->Args({1, 0})->Args({2, 0})
    ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

Card_Side_Snapshot metre_card() {
  Card_Side_Snapshot side;
  side.frame = QRectF(0, 0, 1000 * 2.834645669291, 1000 * 2.834645669291);
  side.side.Card_fill_chk = true;
  side.side.Card_fill_style = QStringLiteral("S");
  side.side.Card_fill_clr = CRDColor::rgb(0.9, 0.8, 0.6);
  auto text = std::make_shared<CRDText>();
  text->Text_Value = QStringLiteral("Name");
  text->data_source_type = 1;
  text->batch_list_name = QStringLiteral("Names");
  text->_bounds = QRectF(100, 100, 2000, 300);
  text->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), 120);
  side.graphics.push_back(text);
  return side;
}

void BM_Export_Metre_Cards(benchmark::State& state) {
  const bool as_export = state.range(0) != 0;
  Data_Folder_Path = scratch().filePath(QStringLiteral("DataSet"));
  QDir().mkpath(Data_Folder_Path);
  Write_Series_File(Series_Path(QStringLiteral("Names")), {"Ann", "Bob", "Cy", "Di"});
  const Card_Side_Snapshot side = metre_card();
  const Batch_Values values = Batch_Check(side.graphics, {}, false, {});
  const Record_Renderer prototype(side, Card_Side_Snapshot(), values, Barcode_Designer(), 300);
  QTemporaryDir out;
  int written = 0, threads = 0;
  for (auto _ : state) {
    if (as_export) {
      Batch_Export_Options options;
      options.folder = out.path();
      options.threads = 4;
      Batch_Export run(prototype, options);
      threads = run.threads();
      run.start();
      run.waitForFinished();
      written = run.result().written;
    } else {
      // Four renderers on four threads, each drawing, encoding and writing its records.
      std::vector<std::thread> workers;
      std::atomic<int> done{0};
      threads = 4;
      for (int t = 0; t < 4; ++t)
        workers.emplace_back([&, t, renderer = prototype.Copy()]() mutable {
          Card_Picture_Encoder encoder;
          for (int record = t; record < 4; record += 4) {
            Picture picture = renderer.Render(record, Card_Side::Front);
            if (encoder.Write(picture, Card_File_Type::PNG,
                              Batch_Card_Path(out.path(), record, QStringLiteral("png"))))
              ++done;
          }
        });
      for (auto& worker : workers) worker.join();
      written = done;
    }
  }
  state.counters["written"] = written;
  state.counters["threads"] = threads;
  state.counters["peak_rss_MiB"] = double(peak_rss_kib()) / 1024;
}
// Argument: the export (1), or four renderers on four threads (0).
BENCHMARK(BM_Export_Metre_Cards)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 5,600 x 5,600 PNG whose last data chunk has a wrong CRC, told apart by a text chunk.
std::vector<QByteArray> damaged_pngs(int count) {
  QImage image(5600, 5600, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) line[x] = qRgb(x & 255, y & 255, (x + y) & 255);
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  const qsizetype last_idat = png.lastIndexOf("IDAT");
  const quint32 length = qFromBigEndian<quint32>(png.constData() + last_idat - 4);
  png[last_idat + 4 + length] = char(png[last_idat + 4 + length] ^ 0xFF);  // its CRC
  std::vector<QByteArray> pngs;
  for (int i = 0; i < count; ++i) {
    QByteArray text = "tEXt" + QByteArray("Comment\0", 8) + QByteArray::number(i);
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(text.size() - 4), chunk.data());
    chunk += text + QByteArray(4, '\0');  // a text chunk with a wrong CRC is skipped
    pngs.push_back(png.left(33) + chunk + png.mid(33));
  }
  return pngs;
}

void BM_Read_Damaged_Pictures(benchmark::State& state) {
  const bool budget = state.range(1) != 0;
  const std::vector<QByteArray> pngs = damaged_pngs(int(state.range(0)));
  qint64 decodes = 0;
  for (auto _ : state) {
    if (budget) {
      Graphic_Read_Budget design;
      for (const QByteArray& png : pngs) benchmark::DoNotOptimize(design.Decode_Image(png));
      decodes = design.decodes();
    } else {
      decodes = 0;
      for (const QByteArray& png : pngs) {
        QBuffer buffer;
        buffer.setData(png);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        benchmark::DoNotOptimize(reader.read());
        ++decodes;
      }
    }
  }
  state.counters["decodes"] = double(decodes);
}
// Arguments: pictures, under a design's budget (1) or each decoded (0).
BENCHMARK(BM_Read_Damaged_Pictures)
    ->Args({20, 1})->Args({200, 1})->Args({20, 0})
    ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
