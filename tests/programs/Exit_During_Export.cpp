// Ends itself through Terminate, as the design window's Exit does, while the workers of a
// batch export are drawing. The process must end cleanly (status 0): every worker has to be
// stopped and waited for before exit() destroys what workers use (the QR tables, the
// picture cache, Qt's own caches and plugins).
//
//   exit_during_export <folder> <records begun before ending> <type: PNG, JPEG, TIFF or BMP>
//
// Prints "ending after N of M" just before it ends, with N the records begun, and, once
// the end has asked the workers to stop, "stopped after N of M, W workers". Run by the
// output tests.

#include "barcode/Barcode_Designer.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "model/Shared_Design_State.h"
#include "output/Batch_Export.h"
#include "platform/Platform.h"
#include "platform/Worker_Runs.h"
#include "platform/ui/Qt_Platform.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int records = 2000;

std::shared_ptr<CRDGraphic> bound(std::shared_ptr<CRDGraphic> graphic, const char* series,
                                  QRectF bounds) {
  graphic->data_source_type = 1;
  graphic->batch_list_name = QString::fromLatin1(series);
  graphic->_bounds = bounds;
  return graphic;
}

std::shared_ptr<CRDGraphic> barcode(const char* symbology, QRectF bounds) {
  auto graphic = std::make_shared<CRDBarcode>();
  Barcode_Designer designer;
  designer.Select_Symbology(QString::fromLatin1(symbology));
  designer.Set_Control_Prop_To_Barcode(*graphic);
  return bound(graphic, "Codes", bounds);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: exit_during_export <folder> <records> <type>\n");
    return 2;
  }
  platform::Qt_Platform qt_platform;
  platform::Install(&qt_platform);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const int end_after = std::atoi(argv[2]);
  const auto type = Card_File_Type_Named(QString::fromLatin1(argv[3]));
  if (!type) return 2;

  // Photos, names and codes for every record.
  QStringList photos, names, codes, photo_records;
  for (int i = 0; i < 4; ++i) {
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(QColor::fromHsv(i * 80, 200, 220));
    photos << QDir(folder).filePath(QStringLiteral("photo%1.png").arg(i));
    if (!photo.save(photos.last())) return 2;
  }
  for (int r = 0; r < records; ++r) {
    names << QStringLiteral("Guest number %1").arg(r + 1);
    codes << QStringLiteral("https://example.com/guest/%1").arg(r + 1, 8, 10, QLatin1Char('0'));
    photo_records << photos[r % photos.size()];
  }
  Batch_Values values;
  values.use_series = true;
  values.series.insert(QStringLiteral("Names"), names);
  values.series.insert(QStringLiteral("Codes"), codes);
  values.series.insert(QStringLiteral("Photos"), photo_records);
  values.Recount();

  Card_Side_Snapshot front;
  front.frame = QRectF(0, 0, 297.6, 420);  // A6
  front.side.Card_fill_chk = true;
  front.side.Card_fill_style = QStringLiteral("G");
  front.side.Card_fill_Grd_1_clr = CRDColor::rgb(1, 0.9, 0.7);
  front.side.Card_fill_Grd_2_clr = CRDColor::rgb(0.7, 0.8, 1);
  auto name = std::make_shared<CRDText>();
  name->Text_Value = QStringLiteral("Name");
  front.graphics.push_back(bound(name, "Names", QRectF(20, 20, 250, 30)));
  front.graphics.push_back(bound(std::make_shared<CRDImage>(), "Photos", QRectF(40, 60, 220, 165)));
  for (int i = 0; i < 4; ++i)
    front.graphics.push_back(barcode("QR Code", QRectF(20 + i * 65, 240, 60, 60)));
  front.graphics.push_back(barcode("Code 128", QRectF(20, 320, 250, 60)));
  Card_Side_Snapshot back = front;
  back.graphics.clear();

  const QString out = QDir(folder).filePath(QStringLiteral("out"));
  QDir().mkpath(out);
  Batch_Export_Options options;
  options.folder = out;
  options.type = *type;
  constexpr int workers = 8;
  options.threads = workers;
  // Left to the end of the process, as the design window leaves its run.
  auto* run = new Batch_Export(Record_Renderer(front, back, values, Barcode_Designer()), options);
  run->start();
  // Registered after the export's pool, so asked to stop after it: the records begun then
  // are all the export may finish, one more per worker at most.
  bool stop_seen = false;
  platform::Running_Work after_the_export(
      [&] {
        if (stop_seen) return;
        stop_seen = true;
        std::printf("stopped after %d of %d, %d workers\n", int(curr_barcode_count.load()),
                    records, workers);
      },
      [] { return true; });

  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const int begun = int(curr_barcode_count.load());
    if (begun < end_after && !run->isFinished()) return;
    std::printf("ending after %d of %d\n", begun, records);
    std::fflush(stdout);
    platform::Terminate(0);
  });
  poll.start(1);
  return app.exec();
}
