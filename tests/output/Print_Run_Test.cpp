// Print jobs painted off the GUI thread: sheets of records rendered by workers, painted in
// order into a PDF and read back with pdfinfo and pdftoppm; Stop between sheets; the
// message after a job.

#include "Output_Test_Support.h"
#include "output/Print_Run.h"
#include "output/Record_Renderer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>

using namespace output_test;

namespace {

// Record r's picture is one colour, distinct for each record and side.
QColor Record_Color(int record, Card_Side side) {
  return QColor(side == Card_Side::Front ? 30 : 220, 6 * record % 256, 90 + 2 * record % 160);
}

class Print_Run_Test : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    ASSERT_TRUE(folder.isValid());
  }

  // Front and back: a picture over the whole card (100 x 50 points), bound to a series of
  // one-colour picture files, one per record.
  Record_Renderer Renderer(int records) {
    Batch_Values values;
    values.use_series = true;
    for (Card_Side side : {Card_Side::Front, Card_Side::Back}) {
      QStringList files;
      for (int r = 0; r < records; ++r) {
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Record_Color(r, side));
        files << folder.filePath(QStringLiteral("%1-%2.png").arg(int(side)).arg(r));
        EXPECT_TRUE(image.save(files.last()));
      }
      values.series.insert(side == Card_Side::Front ? QStringLiteral("Fronts") : QStringLiteral("Backs"),
                           files);
    }
    values.Recount();
    Card_Side_Snapshot sides[2];
    for (Card_Side side : {Card_Side::Front, Card_Side::Back}) {
      Card_Side_Snapshot& s = sides[int(side)];
      s.frame = QRectF(0, 0, 100, 50);
      s.resource_path = Resource_Path;
      auto picture = std::make_shared<CRDImage>();
      picture->data_source_type = 1;
      picture->batch_list_name =
          side == Card_Side::Front ? QStringLiteral("Fronts") : QStringLiteral("Backs");
      picture->setBounds(QRectF(0, 0, 100, 50));
      s.graphics.push_back(picture);
    }
    return Record_Renderer(sides[0], sides[1], values, Barcode_Designer(), 144);
  }

  // Paper 400 x 300 points, margins 10, cells of 100 x 50 (two cards across for "BOTH").
  static Sheet_Job Job(int rows, int columns, int total, int records, const char* side = "F") {
    Sheet_Job job;
    Sheet_Layout& l = job.layout;
    l.paper = QSizeF(400, 300);
    l.Left_Mar = l.Rite_Mar = l.Top_Mar = l.Bot_Mar = 10;
    l.Print_Row = rows;
    l.Print_Col = columns;
    l.Print_Card_Side = QString::fromLatin1(side);
    l.Print_Card_Algn = QStringLiteral("L");
    l.label_width = l.Both() ? 200 : 100;
    l.label_hight = 50;
    l.Total_Label = l.Total_Label_Real = total;
    QImage design(200, 100, QImage::Format_RGB32);
    design.fill(Qt::black);
    job.front_image = job.back_image = Card_Drawing(Picture(design, QSizeF(100, 50)));
    job.record_count = records;
    return job;
  }

  std::unique_ptr<QPagedPaintDevice> Pdf(const QString& name) {
    auto writer = std::make_unique<QPdfWriter>(folder.filePath(name));
    writer->setResolution(300);
    writer->setPageLayout(QPageLayout(QPageSize(QSizeF(400, 300), QPageSize::Point),
                                      QPageLayout::Portrait, QMarginsF()));
    return writer;
  }

  // The pages of a PDF at one pixel a point.
  QList<QImage> Pages(const QString& name) {
    const QString pdf = folder.filePath(name);
    const QString prefix = folder.filePath(name + QStringLiteral("-page"));
    const auto made =
        test_support::Run_Program("pdftoppm", {"-r", "72", "-png", pdf, prefix});
    EXPECT_EQ(made.exit_code, 0) << made.err.constData();
    QList<QImage> pages;
    for (const QString& file : QDir(folder.path())
                                   .entryList({name + QStringLiteral("-page-*.png")}, QDir::Files,
                                              QDir::Name))
      pages << QImage(folder.filePath(file)).convertToFormat(QImage::Format_RGB32);
    return pages;
  }

  int Page_Count(const QString& name) {
    const auto info = test_support::Run_Program("pdfinfo", {folder.filePath(name)});
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(QString::fromUtf8(info.out));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
  }

  // The colour in the middle of the card whose top-left corner is at column c, row r.
  static QColor Card_At(const QImage& page, int row, int column, int width = 100) {
    return page.pixelColor(10 + column * width + 50, 10 + row * 50 + 25);
  }

  QTemporaryDir folder;
};

TEST_F(Print_Run_Test, WorkersRenderTheRecordsOfEverySheetInOrder) {
  struct Case {
    const char* what;
    const char* side;
    int rows, columns, total, records, threads;
    int sheets;
    qint64 held_pixels = 0;  // the limit of bound pictures held, 0 for the default
  };
  const Case cases[] = {
      {"fronts on 2 x 2, one free cell at the end", "F", 2, 2, 7, 7, 3, 2},
      {"backs, one worker, more cards than records", "B", 1, 3, 8, 5, 1, 3},
      {"both sides left and right", "BOTH", 3, 1, 5, 5, 8, 2},
      {"the design without records", "F", 2, 2, 3, 0, 0, 1},
      {"every record's pictures over the limit: one at a time, as printed", "BOTH", 3, 1, 11,
       11, 4, 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString pdf = QStringLiteral("%1.pdf").arg(&c - cases);
    const Record_Renderer prototype = Renderer(std::max(1, c.records));
    Print_Run run(Job(c.rows, c.columns, c.total, c.records, c.side),
                  c.records > 0 ? &prototype : nullptr, Pdf(pdf), c.threads);
    EXPECT_EQ(run.Sheet_Count(), c.sheets);
    if (c.held_pixels > 0) run.Set_Held_Pixels_Limit(c.held_pixels);
    run.start();
    run.waitForFinished();
    const Print_Run_Result& result = run.result();
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.closed);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.sent, c.sheets);
    EXPECT_EQ(result.failure_count, 0) << result.failures.join("|");
    const QList<QImage> pages = Pages(pdf);
    ASSERT_EQ(pages.size(), c.sheets);
    const int per_sheet = c.rows * c.columns;
    const bool both = QString::fromLatin1(c.side) == QLatin1String("BOTH");
    for (int card = 0; card < c.sheets * per_sheet; ++card) {
      const QImage& page = pages[card / per_sheet];
      const int row = card % per_sheet / c.columns, column = card % c.columns;
      const QColor at = Card_At(page, row, column, both ? 200 : 100);
      QColor want = Qt::white;  // past the cards or the records: a free cell
      if (card < c.total && c.records == 0) want = Qt::black;
      else if (card < std::min(c.total, c.records))
        want = Record_Color(card, c.side[0] == 'B' && !both ? Card_Side::Back : Card_Side::Front);
      EXPECT_TRUE(Near(at, want, 3)) << "card " << card << ": " << at << " not " << want;
      if (both && card < c.records) {
        EXPECT_TRUE(Near(page.pixelColor(10 + 150, 10 + row * 50 + 25),
                         Record_Color(card, Card_Side::Back), 3))
            << "back of card " << card;
      }
    }
  }
}

// Stop between sheets: the sheet being painted is finished and the job holds whole sheets
// only. Stop comes while sheet N is being painted: stop() from the painting thread itself,
// or the progress sheet's question, which holds the next sheet until it is answered on the
// GUI thread (so the event loop must turn while the job runs for the job to end at all).
TEST_F(Print_Run_Test, StopEndsTheJobAfterTheSheetBeingPainted) {
  struct Case {
    const char* what;
    int stop_at_sheet;
    bool from_progress_sheet;  // Stop_SMS_Sending_Now, as the progress sheet's Yes sets it
  };
  const Case cases[] = {
      {"stop() during the third sheet", 3, false},
      {"the progress sheet's Stop during the first sheet", 1, true},
      {"the progress sheet's Stop during the fifth sheet", 5, true},
  };
  const Record_Renderer prototype = Renderer(120);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString pdf = QStringLiteral("stop%1.pdf").arg(c.stop_at_sheet);
    Print_Run run(Job(2, 3, 120, 120), &prototype, Pdf(pdf), 2);
    ASSERT_EQ(run.Sheet_Count(), 20);
    QObject gui;  // the GUI thread's side
    bool answered = false;
    int sheets_seen_on_gui = 0, seen_when_finished = -1;
    QObject::connect(&run, &Print_Run::sheetBegun, &gui, [&](int) { ++sheets_seen_on_gui; });
    QObject::connect(&run, &Print_Run::finished, &gui,
                     [&] { seen_when_finished = sheets_seen_on_gui; });
    QObject::connect(
        &run, &Print_Run::sheetBegun, &run,
        [&](int sheet) {
          if (sheet != c.stop_at_sheet) return;
          if (!c.from_progress_sheet) {
            run.stop();
            return;
          }
          Stop_Question_Open = true;  // Stop pressed: the question is open
          QMetaObject::invokeMethod(
              &gui,
              [&] {
                answered = true;
                Stop_SMS_Sending_Now = true;  // the answer: Yes
                Stop_Question_Open = false;
              },
              Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    run.start();
    run.waitForFinished();
    Stop_SMS_Sending_Now = false;
    Stop_Question_Open = false;
    const Print_Run_Result& result = run.result();
    EXPECT_EQ(answered, c.from_progress_sheet);
    EXPECT_GE(seen_when_finished, 1) << "a sheet's progress reached the GUI thread before the end";
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(result.closed);
    EXPECT_EQ(result.sent, c.stop_at_sheet);
    const QList<QImage> pages = Pages(pdf);
    ASSERT_EQ(Page_Count(pdf), result.sent);
    ASSERT_EQ(pages.size(), result.sent);
    // The last sheet sent is whole: all six cards of their records.
    const QImage& last = pages.last();
    for (int cell = 0; cell < 6; ++cell)
      EXPECT_TRUE(Near(Card_At(last, cell / 3, cell % 3),
                       Record_Color((result.sent - 1) * 6 + cell, Card_Side::Front), 3))
          << "cell " << cell << " of the last sheet";
  }
}

TEST_F(Print_Run_Test, NoSheetBeginsWhileTheStopQuestionIsOpen) {
  const Record_Renderer prototype = Renderer(12);
  Print_Run run(Job(1, 2, 12, 12), &prototype, Pdf(QStringLiteral("held.pdf")), 2);
  std::atomic<int> begun{0};
  QObject::connect(&run, &Print_Run::sheetBegun, &run, [&](int) { ++begun; },
                   Qt::DirectConnection);
  Stop_Question_Open = true;
  run.start();
  // A while with the question open (any sheet that wrongly began would show meanwhile).
  QElapsedTimer open;
  open.start();
  while (open.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(begun.load(), 0) << "a sheet began while the question was open";
  EXPECT_FALSE(run.isFinished());
  Stop_SMS_Sending_Now = true;  // the answer: Yes
  Stop_Question_Open = false;
  run.waitForFinished();
  Stop_SMS_Sending_Now = false;
  EXPECT_TRUE(run.result().stopped);
  EXPECT_EQ(run.result().sent, 0);
  EXPECT_TRUE(run.result().closed);
}

// A card far too large for a card picture (1000 x 1000 mm: 533 MB at 300 dpi) prints all
// the same: the printer gets it as drawing, its bound text as text in its font (one font
// line under pdffonts' two heading lines) and no picture (pdfimages lists none).
TEST_F(Print_Run_Test, ACardTooLargeForACardPictureIsPrintedAsDrawing) {
  Batch_Values values;
  values.use_series = true;
  values.series.insert(QStringLiteral("Names"), {QStringLiteral("Ann"), QStringLiteral("Bob")});
  values.Recount();
  Card_Side_Snapshot side;
  side.frame = QRectF(0, 0, 1000 * 2.834645669291, 1000 * 2.834645669291);
  side.resource_path = Resource_Path;
  auto text = std::make_shared<CRDText>();
  text->data_source_type = 1;
  text->batch_list_name = QStringLiteral("Names");
  text->setBounds(QRectF(10, 10, 100, 40));
  side.graphics = {text};
  const Record_Renderer prototype(side, side, values, Barcode_Designer(), 300);
  Print_Run run(Job(1, 2, 2, 2, "BOTH"), &prototype, Pdf(QStringLiteral("large.pdf")), 2);
  run.start();
  run.waitForFinished();
  const Print_Run_Result& result = run.result();
  EXPECT_TRUE(result.closed);
  EXPECT_EQ(result.sent, 1);
  EXPECT_EQ(result.failure_count, 0) << result.failures.join("|");
  // The bound texts went as text in their font, and no picture of the card went at all.
  const auto fonts = test_support::Run_Program("pdffonts", {folder.filePath("large.pdf")});
  EXPECT_EQ(QString::fromUtf8(fonts.out).split(u'\n', Qt::SkipEmptyParts).size(), 3)
      << fonts.out.constData();
  const auto images =
      test_support::Run_Program("pdfimages", {"-list", folder.filePath("large.pdf")});
  EXPECT_EQ(QString::fromUtf8(images.out).split(u'\n', Qt::SkipEmptyParts).size(), 2)
      << images.out.constData();
}

// A picture of the design far finer than the printer needs (2000 x 2000 pixels in a frame
// of 40 x 40 points: 334 pixels at 600 dpi) goes to the printer reduced to that, and as one
// picture however many cards show it; a coarser one goes as it is.
TEST_F(Print_Run_Test, APictureGoesOnceAndNoFinerThan600Dpi) {
  struct Case {
    int pixels;  // the picture's side
    int sent;    // the side of the picture in the PDF
  };
  for (const Case c : {Case{2000, 334}, Case{500, 500}}) {
    SCOPED_TRACE(c.pixels);
    QImage photo(c.pixels, c.pixels, QImage::Format_RGB32);
    for (int y = 0; y < c.pixels; ++y)
      for (int x = 0; x < c.pixels; ++x) photo.setPixel(x, y, qRgb(x % 256, y % 256, 77));
    const QString file = folder.filePath(QStringLiteral("photo%1.png").arg(c.pixels));
    ASSERT_TRUE(photo.save(file));
    Batch_Values values;
    values.use_series = true;
    values.series.insert(QStringLiteral("Names"), {"Ann", "Bob", "Cid", "Dan", "Eve"});
    values.Recount();
    Card_Side_Snapshot side;
    side.frame = QRectF(0, 0, 100, 50);
    side.resource_path = Resource_Path;
    auto text = std::make_shared<CRDText>();
    text->data_source_type = 1;
    text->batch_list_name = QStringLiteral("Names");
    text->setBounds(QRectF(5, 5, 50, 20));
    auto picture = std::make_shared<CRDImage>();
    picture->setFilePath(file);
    picture->setBounds(QRectF(55, 5, 40, 40));
    side.graphics = {text, picture};
    const Record_Renderer prototype(side, side, values, Barcode_Designer());
    const QString pdf = QStringLiteral("photo%1.pdf").arg(c.pixels);
    Print_Run run(Job(2, 3, 5, 5), &prototype, Pdf(pdf), 2);
    run.start();
    run.waitForFinished();
    EXPECT_EQ(run.result().failure_count, 0);
    const auto images = test_support::Run_Program("pdfimages", {"-list", folder.filePath(pdf)});
    const QStringList lines =
        QString::fromUtf8(images.out).split(u'\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_EQ(lines.size(), 5) << images.out.constData();  // one placement a card
    QSet<QString> objects;
    for (const QString& line : lines) {
      const QStringList f = line.simplified().split(u' ');
      ASSERT_GE(f.size(), 11) << line.toStdString();
      EXPECT_EQ(f[3].toInt(), c.sent) << line.toStdString();
      EXPECT_EQ(f[4].toInt(), c.sent) << line.toStdString();
      objects << f[10];
    }
    EXPECT_EQ(objects.size(), 1) << images.out.constData();
  }
}

TEST(Print_Run_Message, SaysWhatWasSentWhereAndWhatWentWrong) {
  struct Case {
    const char* what;
    Print_Run_Result result;
    int copies;
    const char* want;
  };
  auto result = [](int sheets, int sent, bool started, bool closed, bool stopped) {
    Print_Run_Result r;
    r.sheets = sheets;
    r.sent = sent;
    r.started = started;
    r.closed = closed;
    r.stopped = stopped;
    return r;
  };
  Print_Run_Result failed = result(2, 2, true, true, false);
  failed.failure_count = 1;
  failed.failures << QStringLiteral("Record 2 (front): the card picture could not be made.");
  const Case cases[] = {
      {"all sent", result(125, 125, true, true, false), 1,
       "125 sheets were sent to the printer \"Office\"."},
      {"one sheet, copies", result(1, 1, true, true, false), 3,
       "1 sheet was sent to the printer \"Office\", 3 copies of each."},
      {"stopped", result(125, 4, true, true, true), 1,
       "The print was stopped: 4 of 125 sheets were sent to the printer \"Office\"."},
      {"not started", result(3, 0, false, false, false), 1,
       "The print job could not be started on the printer \"Office\"."},
      {"not completed", result(3, 1, true, false, false), 1,
       "The print job on the printer \"Office\" could not be completed after 1 sheet."},
      {"records that could not be drawn", failed, 1,
       "2 sheets were sent to the printer \"Office\".\n\n1 card pictures could not be drawn and "
       "show the design instead:\nRecord 2 (front): the card picture could not be made."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Print_Result_Message(c.result, QStringLiteral("Office"), c.copies),
              QString::fromUtf8(c.want))
        << c.what;
}

}  // namespace
