// What a batch run may hold: the pictures records name keep to the pixels one design's
// pictures may hold (per record, and across the workers of a run), and card pictures too
// large to make are refused with the size they would have, while large ones are made by
// fewer workers.

#include "output/Batch_Export.h"

#include "Output_Test_Support.h"
#include "platform/Scripted_Platform.h"
#include "support/Watchdog.h"

#include <QImage>

#include <mutex>
#include <thread>

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

// An export whose records name more picture pixels than a card may hold writes every card,
// each without the pictures past the budget, and names those records and the picture.
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
  const Record_Renderer prototype(front, Card_Side_Snapshot(), values, Barcode_Designer(), 72,
                                  100000);
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
  EXPECT_TRUE(result.incomplete_records[0].reason.startsWith(large + " (300 x 200 pixels) was left out"))
      << result.incomplete_records[0].reason.toStdString();
  EXPECT_TRUE(Batch_Result_Message(result).contains("(record 1, 3)"))
      << Batch_Result_Message(result).toStdString();
  // The left picture was drawn, the right frame is empty.
  const QImage card(QDir(folder.path()).filePath("Card_1.png"));
  ASSERT_FALSE(card.isNull());
  EXPECT_EQ(card.pixelColor(25, 30), QColor(Qt::red));
  EXPECT_NE(card.pixelColor(75, 30), QColor(Qt::red));
  EXPECT_EQ(card.pixelColor(75, 30), card.pixelColor(75, 1));
}

// Card pictures larger than one may be are refused with the size they would have; large
// ones that can be made are made by as many workers as their memory allows.
TEST_F(Batch_Run_Limits, LargeCardsAreMadeByFewerWorkersOrRefusedWithTheirSize) {
  const test_support::Watchdog watchdog("exports of large cards");
  Write_Series("Names", "a\nb\nc\nd\ne\nf\ng\nh\n");
  const auto points = [](double mm) { return mm * 2.834645669291; };
  const struct {
    const char* name;
    double mm;
    bool combined;
    int threads;      // of 8 asked for 8 records (cards refused fail at once)
    const char* refused;  // "" when the cards can be made
  } cases[] = {
      {"a postcard", 150, false, 8, ""},
      {"a postcard, both sides in one picture", 150, true, 8, ""},
      {"a metre", 1000, false, 1, ""},
      {"half a metre, both sides in one picture", 500, true, 1, ""},
      {"half a metre", 500, false, 3, ""},
      {"1,400 mm", 1400, false, 8, "The card picture of 1400 x 1400 mm at 300 dpi would be "
                                    "16536 x 16536 pixels (1044 MB); a card picture may take at "
                                    "most 1024 MB and 32767 pixels a side. Make the card smaller "
                                    "or choose a lower resolution."},
      {"2,000 mm", 2000, false, 8, "The card picture of 2000 x 2000 mm at 300 dpi would be "
                                    "23623 x 23623 pixels"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Card_Side_Snapshot side;
    side.frame = QRectF(0, 0, points(c.mm), points(c.mm));
    side.graphics = {Bound<CRDText>(1, "Names")};
    const Batch_Values values = Batch_Check(side.graphics, side.graphics, true, {});
    ASSERT_EQ(values.total, 8);
    const Record_Renderer prototype(side, side, values, Barcode_Designer(), 300);
    QTemporaryDir folder;
    Batch_Export_Options options;
    options.folder = folder.path();
    options.threads = 8;
    options.side = c.combined ? QStringLiteral("BOTH") : QStringLiteral("F");
    options.combined = c.combined;
    Batch_Export run(prototype, options);
    EXPECT_EQ(run.threads(), c.threads);
    if (!*c.refused) continue;  // made, not run here: a metre's card takes 560 MB
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
