// What a batch run may hold: the pictures records name are read at the size of their frames
// on the card and keep to the pixels one design's pictures may hold (per record, and across
// the workers of a run), large pictures decoded whole are decoded one at a time, and card
// pictures too large to make are refused with the size they would have, while large ones
// are made by fewer workers.

#include "output/Batch_Export.h"

#include "Output_Test_Support.h"
#include "platform/Scripted_Platform.h"
#include "support/Memory_Limit.h"
#include "support/Watchdog.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <atomic>
#include <mutex>
#include <thread>

#include <malloc.h>

using namespace output_test;

namespace {

class Batch_Run_Limits : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    QDir().mkpath(Data_Folder_Path);
  }
  QString Save_Picture(const char* name, QSize size, QColor colour) {
    const QString path = QDir(Data_Folder_Path).filePath(QString::fromLatin1(name));
    QImage pixels(size, QImage::Format_RGB32);
    pixels.fill(colour);
    EXPECT_TRUE(pixels.save(path));
    return path;
  }
  platform::Scoped_Scripted_Platform platform;
};

// The pictures of one record are read in list order while they fit the budget; one past it
// is not read, and the report names it. A budget shared by a run holds what the record's
// pictures took until it is given back.
TEST_F(Batch_Run_Limits, ThePicturesOfARecordKeepToTheBudget) {
  const QString big = Save_Picture("big.png", {300, 200}, Qt::red);      // 60,000 pixels
  const QString other = Save_Picture("other.png", {300, 200}, Qt::blue);  // 60,000 pixels
  const QString small = Save_Picture("small.png", {100, 100}, Qt::green);  // 10,000 pixels
  const char* series[] = {"First", "Second", "Third", "Fourth"};
  const QString paths[] = {big, other, big, small};
  Graphic_List front;
  for (int i = 0; i < 4; ++i) {
    Write_Series(QString::fromLatin1(series[i]), (paths[i] + "\n").toUtf8());
    front.push_back(Bound<CRDImage>(1, QString::fromLatin1(series[i])));
  }
  const Batch_Values values = Batch_Check(front, {}, false, {});
  Barcode_Designer designer;
  auto read = [&] {
    std::vector<bool> pictures;
    for (const auto& graphic : front)
      pictures.push_back(!static_cast<CRDImage&>(*graphic)._contents.isNull());
    return pictures;
  };
  const struct {
    const char* name;
    bool cache;
    qint64 budget;  // 0: none given
    std::vector<bool> pictures;
    qint64 held;
  } cases[] = {
      {"a run's budget, with the cache", true, 150000, {true, true, false, true}, 130000},
      {"a run's budget, without", false, 150000, {true, true, false, true}, 130000},
      {"no budget: a design's", true, 0, {true, true, true, true}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Picture_File_Cache cache;
    Record_Picture_Budget budget(c.budget > 0 ? c.budget : 1);
    Binding_Report report;
    qint64 held = -1;
    Assign_Batch_Values(front, 0, values, designer, c.cache ? &cache : nullptr, &report,
                        c.budget > 0 ? &budget : nullptr, &held);
    EXPECT_EQ(read(), c.pictures);
    EXPECT_EQ(held, c.held);
    if (c.budget > 0) {
      EXPECT_EQ(front[2]->FilePath(), big);
      EXPECT_EQ(report.picture_left_out.toStdString(),
                big.toStdString() + " (300 x 200 pixels) was left out: the pictures of one card "
                                    "may hold 0.15 million pixels together.");
      EXPECT_EQ(budget.held(), c.held);
      budget.Give_Back(held);
      EXPECT_EQ(budget.held(), 0);
    } else {
      EXPECT_TRUE(report.complete());
    }
  }
}

// A bound picture larger than one picture may be (here 65535 x 65535 pixels by its header)
// is never read: the record's report names it with its size and the limit, not as a file
// that could not be read.
TEST_F(Batch_Run_Limits, APictureAboveThePixelLimitIsNamedWithItsSize) {
  const QString small = Save_Picture("small.png", {8, 8}, Qt::blue);
  const QString huge = QDir(Data_Folder_Path).filePath("huge.png");
  {
    QFile source(small);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QByteArray png = source.readAll();
    for (int at : {16, 20}) {  // IHDR's width and height, big-endian
      png[at] = 0;
      png[at + 1] = 0;
      png[at + 2] = char(0xFF);
      png[at + 3] = char(0xFF);
    }
    quint32 crc = 0xFFFFFFFFu;  // IHDR's CRC, over its type and 13 bytes of data
    for (int i = 12; i < 29; ++i) {
      crc ^= quint8(png[i]);
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    for (int k = 0; k < 4; ++k) png[29 + k] = char(crc >> (24 - 8 * k));
    QFile target(huge);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write(png);
  }
  Write_Series("Photos", (huge + "\n").toUtf8());
  const Graphic_List front{Bound<CRDImage>(1, QStringLiteral("Photos"))};
  const Batch_Values values = Batch_Check(front, {}, false, {});
  Barcode_Designer designer;
  for (const bool cache : {true, false}) {
    SCOPED_TRACE(cache ? "with the cache" : "without");
    Picture_File_Cache pictures;
    Binding_Report report;
    Assign_Batch_Values(front, 0, values, designer, cache ? &pictures : nullptr, &report);
    EXPECT_TRUE(static_cast<CRDImage&>(*front[0])._contents.isNull());
    EXPECT_EQ(front[0]->FilePath(), huge);
    EXPECT_EQ(report.missing_picture, QString());
    EXPECT_EQ(report.picture_left_out.toStdString(),
              huge.toStdString() + " (65535 x 65535 pixels) was left out: one picture may have "
                                   "at most 32 million pixels.");
  }
}

// A worker waits for the pixels others hold: what one took is given back before another
// takes more than is left.
TEST_F(Batch_Run_Limits, ABudgetSharedByWorkersIsTakenInTurn) {
  const test_support::Watchdog watchdog("workers taking a shared budget");
  Record_Picture_Budget budget(150);
  std::mutex mutex;
  std::vector<std::string> order;
  budget.Take(100);
  std::thread second([&] {
    budget.Take(100);
    std::lock_guard<std::mutex> lock(mutex);
    order.push_back("second took");
  });
  {
    std::lock_guard<std::mutex> lock(mutex);
    order.push_back("first gives back");
  }
  budget.Give_Back(100);
  second.join();
  EXPECT_EQ(order, (std::vector<std::string>{"first gives back", "second took"}));
  EXPECT_EQ(budget.held(), 100);
  // More than the whole budget is taken as the whole of it, never waited for in vain.
  budget.Give_Back(100);
  budget.Take(1000);
  EXPECT_EQ(budget.held(), 150);
}

// The workers of a run render copies of one renderer, and their records' pictures share one
// budget: a record whose pictures fit what the others hold is drawn at once; one whose
// pictures would take the run a pixel past the budget waits until the others give back.
TEST_F(Batch_Run_Limits, TheWorkersOfARunShareOneBudget) {
  const test_support::Watchdog watchdog("workers sharing a budget");
  const QString picture = Save_Picture("photo.png", {300, 200}, Qt::red);  // 60,000 pixels
  Write_Series("Photos", (picture + "\n").toUtf8());
  Card_Side_Snapshot front;
  front.frame = QRectF(0, 0, 300, 200);
  front.graphics = {Bound<CRDImage>(1, "Photos", 0, QRectF(0, 0, 300, 200))};
  const Batch_Values values = Batch_Check(front.graphics, {}, false, {});
  const Record_Renderer prototype(front, Card_Side_Snapshot(), values, Barcode_Designer(), 72,
                                  100000);
  Record_Picture_Budget& budget = prototype.Picture_Budget();
  // What the other workers hold: the budget less 60,000 pixels, then a pixel more.
  for (const qint64 others : {qint64(40000), qint64(40001)}) {
    SCOPED_TRACE(others);
    Record_Renderer worker = prototype.Copy();
    budget.Take(others);
    std::atomic<bool> drawn{false};
    Picture card;
    Binding_Report binding;
    std::thread thread([&] {
      card = worker.Render(0, Card_Side::Front, nullptr, &binding);
      drawn = true;
    });
    if (others + 60000 > budget.max_pixels()) {
      while (!drawn && budget.waiting() == 0) std::this_thread::yield();
      EXPECT_FALSE(drawn) << "the worker did not wait for the pixels the others hold";
      budget.Give_Back(others);
      thread.join();
    } else {
      thread.join();  // drawn while the others hold theirs
      budget.Give_Back(others);
    }
    EXPECT_TRUE(binding.complete()) << binding.picture_left_out.toStdString();
    ASSERT_FALSE(card.isNull());
    EXPECT_EQ(card.image().pixelColor(150, 100), QColor(Qt::red));
    EXPECT_EQ(budget.held(), 0);
  }
}

// Workers that ask for one picture while the readings in flight hold the whole budget read
// it once: the first whose turn comes reads it and keeps it before it lets the budget go, the
// other then finds it kept.
TEST_F(Batch_Run_Limits, APictureAskedByWorkersWaitingForTheBudgetIsReadOnce) {
  const test_support::Watchdog watchdog("workers reading one picture");
  const QString path = Save_Picture("shared.png", {100, 100}, Qt::red);
  Picture_File_Cache cache(qsizetype(64) << 20, 5000);  // a reading of the picture takes it all
  Record_Picture_Budget& budget = cache.Reading_Budget();
  budget.Take(budget.max_pixels());
  Picture pictures[2];
  std::thread workers[2];
  std::atomic<int> done{0};
  for (int i = 0; i < 2; ++i)
    workers[i] = std::thread([&, i] {
      pictures[i] = cache.Picture_Of(path);
      ++done;
    });
  while (budget.waiting() < 2 && done == 0) std::this_thread::yield();  // both found nothing kept
  EXPECT_EQ(done, 0) << "a reading did not wait for the budget";
  budget.Give_Back(budget.max_pixels());
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(cache.decodes(), 1);
  for (const Picture& picture : pictures) {
    ASSERT_EQ(picture.image().size(), QSize(100, 100));
    EXPECT_EQ(picture.image().pixelColor(50, 50), QColor(Qt::red));
  }
  EXPECT_EQ(budget.held(), 0);
}

// An export whose records name more picture pixels than a card may hold writes every card,
// each without the pictures past the budget, and names those records and the picture. The
// budget counts the pixels the pictures have in their frames on the card.
TEST_F(Batch_Run_Limits, AnExportNamesTheRecordsWhosePicturesPassTheBudget) {
  const test_support::Watchdog watchdog("an export of records with large pictures");
  const QString large = Save_Picture("large.png", {300, 200}, Qt::red);
  const QString small = Save_Picture("small.png", {30, 20}, Qt::blue);
  // Records 1 and 3 name the large picture twice.
  Write_Series("Left", (large + "\n" + small + "\n" + large + "\n" + small + "\n").toUtf8());
  Write_Series("Right", (large + "\n" + large + "\n" + large + "\n" + small + "\n").toUtf8());
  Card_Side_Snapshot front;
  front.frame = QRectF(0, 0, 100, 60);
  front.graphics = {Bound<CRDImage>(1, "Left", 0, QRectF(0, 0, 50, 60)),
                    Bound<CRDImage>(1, "Right", 0, QRectF(50, 0, 50, 60))};
  const Batch_Values values = Batch_Check(front.graphics, {}, false, {});
  ASSERT_EQ(values.total, 4);
  // At 216 dpi a frame is 150 x 180 pixels: the large picture takes 150 x 180 of them.
  const Record_Renderer prototype(front, Card_Side_Snapshot(), values, Barcode_Designer(), 216,
                                  50000);
  QTemporaryDir folder;
  Batch_Export_Options options;
  options.folder = folder.path();
  options.threads = 2;
  Batch_Export run(prototype, options);
  run.start();
  run.waitForFinished();
  const Batch_Export_Result& result = run.result();
  EXPECT_EQ(result.written, 4);
  EXPECT_EQ(result.incomplete, 2);
  ASSERT_EQ(result.incomplete_records.size(), 2u);
  EXPECT_EQ(result.incomplete_records[0].record, 0);
  EXPECT_EQ(result.incomplete_records[1].record, 2);
  EXPECT_EQ(result.incomplete_records[0].reason,
            large + " (300 x 200 pixels, 150 x 180 in its frame on the card) was left out: the "
                    "pictures of one card may hold 0.05 million pixels together.");
  EXPECT_TRUE(Batch_Result_Message(result).contains("(record 1, 3)"))
      << Batch_Result_Message(result).toStdString();
  // The left picture was drawn, the right frame is empty.
  const QImage card(QDir(folder.path()).filePath("Card_1.png"));
  ASSERT_EQ(card.size(), QSize(300, 180));
  EXPECT_EQ(card.pixelColor(75, 90), QColor(Qt::red));
  EXPECT_NE(card.pixelColor(225, 90), QColor(Qt::red));
  EXPECT_EQ(card.pixelColor(225, 90), card.pixelColor(225, 3));
  const QImage second(QDir(folder.path()).filePath("Card_2.png"));
  EXPECT_EQ(second.pixelColor(75, 90), QColor(Qt::blue));
  EXPECT_EQ(second.pixelColor(225, 90), QColor(Qt::red));
}

// Ten frames of a postcard bound to 32-million-pixel pictures, exported by several workers
// where memory is short (256 MB more than the test holds): each picture is read at its
// frame's pixels (PNG decoded at that size), or decoded whole one at a time across the
// workers (TIFF), and every card is written whole with each frame in its picture's colour.
// Reading the pictures whole, as records once did, took 652 MB with two workers.
TEST_F(Batch_Run_Limits, TenFramesBoundToLargePicturesKeepToTheMemoryOfTheirFrames) {
  if (!test_support::kMemory_Limit_Works) GTEST_SKIP() << "no address-space limit here";
  const test_support::Watchdog watchdog("exports of records with 32-million-pixel pictures");
  const QColor colours[] = {QColor(200, 40, 40), QColor(40, 60, 200)};
  const struct {
    const char* what;
    const char* type;
    int workers;
  } cases[] = {{"PNG, decoded at the frames' sizes", "png", 2},
               {"TIFF, decoded whole one at a time (three at once took 366 MB)", "tiff", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!QImageWriter::supportedImageFormats().contains(c.type)) {
      ADD_FAILURE() << c.type << " cannot be written here";
      continue;
    }
    QStringList files;
    for (const QColor& colour : colours) {
      QImage pixels(8000, 4000, QImage::Format_RGB32);
      for (int y = 0; y < pixels.height(); ++y)  // on this thread: no pool threads' arenas
        std::fill_n(reinterpret_cast<QRgb*>(pixels.scanLine(y)), pixels.width(), colour.rgb());
      files << QDir(Data_Folder_Path).filePath(QStringLiteral("large%1.%2").arg(files.size()).arg(c.type));
      QImageWriter writer(files.last(), c.type);
      writer.setCompression(1);  // TIFF: LZW, a small file
      ASSERT_TRUE(writer.write(pixels)) << writer.errorString().toStdString();
    }
    // Frame i shows picture i % 2 in every record; no two frames have the same size.
    Card_Side_Snapshot front;
    front.frame = QRectF(0, 0, 105 * 2.834645669291, 148 * 2.834645669291);
    for (int i = 0; i < 10; ++i) {
      const QString series = QStringLiteral("Column%1").arg(i);
      Write_Series(series, QStringList(4, files[i % 2]).join('\n').toUtf8());
      front.graphics.push_back(Bound<CRDImage>(
          1, series, 0, QRectF(10 + (i % 5) * 56, 10 + (i / 5) * 80, 40 + i, 60 + i)));
    }
    const Batch_Values values = Batch_Check(front.graphics, {}, false, {});
    ASSERT_EQ(values.total, 4);
    const Record_Renderer prototype(front, Card_Side_Snapshot(), values, Barcode_Designer());
    QTemporaryDir folder;
    const QString answer = test_support::Run_With_Memory_Limit(qint64(256) << 20, [&] {
      // The address space counts what glibc reserves for each thread that allocates (an
      // arena of 64 MB, untouched): one arena for all, and every block of a megabyte or more
      // mapped on its own, so that the limit counts what the export takes and not the free
      // room of arenas reserved before.
      mallopt(M_ARENA_MAX, 1);
      mallopt(M_MMAP_THRESHOLD, 1 << 20);
      Batch_Export_Options options;
      options.folder = folder.path();
      options.threads = c.workers;
      Batch_Export run(prototype, options);
      run.start();
      run.waitForFinished();
      const Batch_Export_Result& result = run.result();
      return QStringLiteral("%1 workers: %2 written, %3 incomplete, %4 failed %5")
          .arg(run.threads())
          .arg(result.written)
          .arg(result.incomplete)
          .arg(result.failed)
          .arg(Batch_Result_Message(result));
    });
    EXPECT_EQ(answer.toStdString(),
              QStringLiteral("%1 workers: 4 written, 0 incomplete, 0 failed Card has been "
                             "exported successfully.")
                  .arg(c.workers)
                  .toStdString());
    for (int record = 1; record <= 4; ++record) {
      const QImage card(QDir(folder.path()).filePath(QStringLiteral("Card_%1.png").arg(record)));
      ASSERT_EQ(card.size(), QSize(1241, 1749)) << "record " << record;
      for (int i = 0; i < 10; ++i) {
        const QRectF frame = front.graphics[size_t(i)]->bounds();
        const double px = 300.0 / 72;
        for (const QPointF at : {frame.center(), frame.topLeft() + QPointF(2, 2),
                                 frame.bottomRight() - QPointF(2, 2)})
          EXPECT_EQ(card.pixelColor((at * px).toPoint()), colours[i % 2])
              << "record " << record << ", frame " << i << " at " << at.x() << ", " << at.y();
      }
      for (const QColor& colour : colours)
        EXPECT_NE(card.pixelColor(5, 5), colour) << "outside the frames";
    }
  }
}

// Card pictures larger than one may be are refused with the size they would have; large
// ones that can be made are made by as many workers as their memory allows, and both sides
// in one picture only while one worker's pictures keep to what a run's may take.
TEST_F(Batch_Run_Limits, LargeCardsAreMadeByFewerWorkersOrRefusedWithTheirSize) {
  const test_support::Watchdog watchdog("exports of large cards");
  Write_Series("Names", "a\nb\nc\nd\ne\nf\ng\nh\n");
  const auto points = [](double mm) { return mm * 2.834645669291; };
  const struct {
    const char* name;
    double mm;
    double dpi;
    bool combined;
    int threads;      // of 8 asked for 8 records (cards refused fail at once)
    const char* refused;  // "" when the cards can be made
  } cases[] = {
      {"a postcard", 150, 300, false, 8, ""},
      {"a postcard, both sides in one picture", 150, 300, true, 7, ""},
      {"half a metre", 500, 300, false, 1, ""},
      {"the largest card at 300 dpi", 690, 300, false, 1, ""},
      {"30 cm, both sides in one picture", 300, 300, true, 1, ""},
      {"a metre at 150 dpi", 1000, 150, false, 1, ""},
      {"half a metre, both sides in one picture", 500, 300, true, 1,
       "Both sides of 500 x 500 mm in one picture at 300 dpi would be 5906 x 11812 pixels "
       "(267 MB); made from the two sides and written, it would take more than the 512 MB the "
       "card pictures of an export may take. Export the sides as separate files, make the card "
       "smaller or choose a lower resolution."},
      {"a metre", 1000, 300, false, 8, "The card picture of 1000 x 1000 mm at 300 dpi would be "
                                       "11812 x 11812 pixels (533 MB); a card picture may take "
                                       "at most 256 MB and 32767 pixels a side. Make the card "
                                       "smaller or choose a lower resolution."},
      {"700 mm", 700, 300, false, 8, "The card picture of 700 x 700 mm at 300 dpi would be "
                                     "8268 x 8268 pixels (261 MB)"},
      {"2,000 mm", 2000, 300, false, 8, "The card picture of 2000 x 2000 mm at 300 dpi would be "
                                        "23623 x 23623 pixels"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Card_Side_Snapshot side;
    side.frame = QRectF(0, 0, points(c.mm), points(c.mm));
    side.graphics = {Bound<CRDText>(1, "Names")};
    const Batch_Values values = Batch_Check(side.graphics, side.graphics, true, {});
    ASSERT_EQ(values.total, 8);
    const Record_Renderer prototype(side, side, values, Barcode_Designer(), c.dpi);
    QTemporaryDir folder;
    Batch_Export_Options options;
    options.folder = folder.path();
    options.threads = 8;
    options.side = c.combined ? QStringLiteral("BOTH") : QStringLiteral("F");
    options.combined = c.combined;
    Batch_Export run(prototype, options);
    EXPECT_EQ(run.threads(), c.threads);
    if (!*c.refused) continue;  // made, not run here: the largest card takes 254 MB
    run.start();
    run.waitForFinished();
    EXPECT_EQ(run.result().failed, 8);
    ASSERT_FALSE(run.result().failures.empty());
    EXPECT_TRUE(run.result().failures.front().reason.startsWith(QString::fromLatin1(c.refused)))
        << run.result().failures.front().reason.toStdString();
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
  }
}

}  // namespace
