// What an export holds at most, measured in one build. Run one benchmark per process
// (--benchmark_filter) to read its peak resident memory ("peak_rss_MiB"; or
// /usr/bin/time -v).
//
// - Ten picture frames (50 x 50 points) of an A6 card bound to ten series naming
//   32-million-pixel pictures (5,600 x 5,700, a pattern, made by a child process), 4
//   records, on 1 and 2 workers:
//   as PNG (decoded at the frames' size) and as TIFF (decoded whole, one at a time across
//   the workers). Target: under 256 MB of pictures whatever the workers (reading them
//   whole took 652 MB with the pictures of a record kept to 96 million pixels, and most of
//   the frames left empty).
// - 8 records of a large card at 300 dpi asked of 8 workers: 1,000 mm (refused: 533 MB a
//   picture; made by one worker when card pictures could take 1 GB) and 690 mm, the largest
//   card made at 300 dpi (254 MB a picture). Target: under 768 MB for any card.
// - A print of 6 records of a 400 mm card (85 MB a side) on 8 workers: the pictures held
//   keep to 512 MB (the sheets ahead once took as many as 1 GB of them allowed).
// - Distinct damaged 5,600 x 5,600 PNGs (the CRC of the last data chunk wrong) read under
//   one design's budget, and each decoded as reading once did (200 took 42 s). Target:
//   under 5 s for any number of them.

#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "model/Graphic_Archive.h"
#include "model/Shared_Design_State.h"
#include "output/Batch_Export.h"
#include "output/Card_Picture_File.h"
#include "output/Print_Run.h"
#include "series/Data_Series_Store.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A picture of 5,600 x 5,700 pixels (31.9 million) as PNG or TIFF (LZW), made once, in a
// process of its own so that the peak memory measured is the export's.
QString large_picture(const char* type) {
  const QString file = scratch().filePath(QStringLiteral("large.%1").arg(type));
  if (QFileInfo::exists(file)) return file;
  const pid_t child = fork();
  if (child == 0) {
    QImage image(5600, 5700, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) line[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    QImageWriter writer(file, type);
    writer.setCompression(1);
    _exit(writer.write(image) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return file;
}

void BM_Export_Bound_Large_Pictures(benchmark::State& state) {
  const int workers = int(state.range(0));
  const char* type = state.range(1) != 0 ? "tiff" : "png";
  Data_Folder_Path = scratch().filePath(QStringLiteral("DataSet"));
  QDir().mkpath(Data_Folder_Path);
  const QString picture_file = large_picture(type);
  Card_Side_Snapshot front;
  front.frame = QRectF(0, 0, 105 * 2.834645669291, 148 * 2.834645669291);
  for (int i = 0; i < 10; ++i) {
    const QString series = QStringLiteral("Column%1").arg(i);
    Write_Series_File(Series_Path(series), QStringList(4, picture_file));
    auto picture = std::make_shared<CRDImage>();
    picture->data_source_type = 1;
    picture->batch_list_name = series;
    picture->_bounds = QRectF(10 + (i % 5) * 55, 10 + (i / 5) * 60, 50, 50);
    front.graphics.push_back(picture);
  }
  const Batch_Values values = Batch_Check(front.graphics, {}, false, {});
  const Record_Renderer prototype(front, Card_Side_Snapshot(), values, Barcode_Designer());
  QTemporaryDir out;
  int incomplete = 0, written = 0;
  for (auto _ : state) {
    Batch_Export_Options options;
    options.folder = out.path();
    options.threads = workers;
    Batch_Export run(prototype, options);
    run.start();
    run.waitForFinished();
    incomplete = run.result().incomplete;
    written = run.result().written;
  }
  state.counters["written"] = written;
  state.counters["incomplete_records"] = incomplete;
  state.counters["peak_rss_MiB"] = double(peak_rss_kib()) / 1024;
}
// Arguments: workers, PNG (0) or TIFF (1).
BENCHMARK(BM_Export_Bound_Large_Pictures)
    ->Args({1, 0})->Args({2, 0})->Args({2, 1})
    ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

Card_Side_Snapshot large_card(double mm) {
  Card_Side_Snapshot side;
  side.frame = QRectF(0, 0, mm * 2.834645669291, mm * 2.834645669291);
  side.side.Card_fill_chk = true;
  side.side.Card_fill_style = QStringLiteral("S");
  side.side.Card_fill_clr = CRDColor::rgb(0.9, 0.8, 0.6);
  auto text = std::make_shared<CRDText>();
  text->Text_Value = QStringLiteral("Name");
  text->data_source_type = 1;
  text->batch_list_name = QStringLiteral("Names");
  text->_bounds = QRectF(100, 100, 1500, 300);
  text->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), 120);
  side.graphics.push_back(text);
  return side;
}

void BM_Export_Large_Cards(benchmark::State& state) {
  const double mm = double(state.range(0));
  Data_Folder_Path = scratch().filePath(QStringLiteral("DataSet"));
  QDir().mkpath(Data_Folder_Path);
  Write_Series_File(Series_Path(QStringLiteral("Names")),
                    {"Ann", "Bob", "Cy", "Di", "Ed", "Flo", "Gus", "Hal"});
  const Card_Side_Snapshot side = large_card(mm);
  const Batch_Values values = Batch_Check(side.graphics, {}, false, {});
  const Record_Renderer prototype(side, Card_Side_Snapshot(), values, Barcode_Designer(), 300);
  QTemporaryDir out;
  int written = 0, failed = 0, threads = 0;
  for (auto _ : state) {
    Batch_Export_Options options;
    options.folder = out.path();
    options.threads = 8;
    Batch_Export run(prototype, options);
    threads = run.threads();
    run.start();
    run.waitForFinished();
    written = run.result().written;
    failed = run.result().failed;
  }
  state.counters["written"] = written;
  state.counters["failed"] = failed;
  state.counters["threads"] = threads;
  state.counters["peak_rss_MiB"] = double(peak_rss_kib()) / 1024;
}
// Argument: the card's side in millimetres.
BENCHMARK(BM_Export_Large_Cards)->Arg(1000)->Arg(690)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Printing 6 records of a large card, both sides, one card a sheet, into a PDF on 8
// workers: the workers render the sheet being painted and the records after it, no more
// than the card pictures of a run may take.
void BM_Print_Large_Cards(benchmark::State& state) {
  const double mm = double(state.range(0));
  Data_Folder_Path = scratch().filePath(QStringLiteral("DataSet"));
  QDir().mkpath(Data_Folder_Path);
  Write_Series_File(Series_Path(QStringLiteral("Names")), {"Ann", "Bob", "Cy", "Di", "Ed", "Flo"});
  const Card_Side_Snapshot side = large_card(mm);
  const Batch_Values values = Batch_Check(side.graphics, side.graphics, true, {});
  const Record_Renderer prototype(side, side, values, Barcode_Designer(), 300);
  QTemporaryDir out;
  int sent = 0, failed = 0;
  for (auto _ : state) {
    Sheet_Job job;
    Sheet_Layout& l = job.layout;
    const double points = mm * 2.834645669291;
    l.paper = QSizeF(points * 2 + 40, points + 40);
    l.Left_Mar = l.Rite_Mar = l.Top_Mar = l.Bot_Mar = 10;
    l.Print_Row = l.Print_Col = 1;
    l.Print_Card_Side = QStringLiteral("BOTH");
    l.Print_Card_Algn = QStringLiteral("L");
    l.label_width = points * 2;
    l.label_hight = points;
    l.Total_Label = l.Total_Label_Real = 6;
    job.record_count = 6;
    auto writer = std::make_unique<QPdfWriter>(out.filePath(QStringLiteral("cards.pdf")));
    writer->setResolution(300);
    writer->setPageLayout(QPageLayout(QPageSize(l.paper, QPageSize::Point), QPageLayout::Portrait,
                                      QMarginsF()));
    Print_Run run(job, &prototype, std::move(writer), 8);
    run.start();
    run.waitForFinished();
    sent = run.result().sent;
    failed = run.result().failure_count;
  }
  state.counters["sheets"] = sent;
  state.counters["failed"] = failed;
  state.counters["peak_rss_MiB"] = double(peak_rss_kib()) / 1024;
}
// Argument: the card's side in millimetres.
BENCHMARK(BM_Print_Large_Cards)->Arg(400)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
