// The printed sheet pages: which card each cell of each page gets, where, and what a sheet
// shows without pictures; painted into a picture of one pixel a point.

#include "output/Sheet_Pages.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A card picture of 100 x 50 points in one colour.
Card_Drawing Card(QColor color) {
  QImage image(200, 100, QImage::Format_RGB32);
  image.fill(color);
  return Card_Drawing(Picture(image, QSizeF(100, 50)));
}

QColor Record_Color(int record, Card_Side side) {
  return QColor(side == Card_Side::Front ? 40 : 200, 20 * record, 100);
}

Sheet_Job Job(int rows, int columns, int total, const char* side = "F") {
  Sheet_Job job;
  Sheet_Layout& l = job.layout;
  l.paper = QSizeF(400, 300);
  l.Left_Mar = l.Rite_Mar = l.Top_Mar = l.Bot_Mar = 10;
  l.Print_Row = rows;
  l.Print_Col = columns;
  l.Print_Card_Side = QString::fromLatin1(side);
  l.label_width = l.Both_Left_Right() ? 200 : 100;
  l.label_hight = l.Both() && !l.Both_Left_Right() ? 100 : 50;
  l.horz_mar = l.vert_mar = 0;
  l.Total_Label = l.Total_Label_Real = total;
  job.front_image = Card(Qt::black);
  job.back_image = Card(Qt::darkGray);
  return job;
}

QImage Paint(Sheet_Pages& pages, int page) {
  QImage sheet(400, 300, QImage::Format_RGB32);
  sheet.fill(Qt::magenta);
  QPainter painter(&sheet);
  pages.Paint_Page(painter, page);
  return sheet;
}

// The colour at the centre of a 100 x 50 card whose top-left corner is (x, y) on paper.
QColor At(const QImage& sheet, int x, int y) { return sheet.pixelColor(x + 50, y + 25); }

TEST(Print_Pages, RecordsFillCellsRowByRowAcrossPages) {
  Sheet_Job job = Job(2, 2, 7);
  job.record_count = 7;
  std::vector<int> asked;
  job.record_picture = [&](int record, Card_Side side, QString*) {
    asked.push_back(record);
    return Card(Record_Color(record, side));
  };
  Sheet_Pages pages(job);
  EXPECT_EQ(pages.Page_Count(false), 2);
  const QImage second = Paint(pages, 2);
  // Position 1: cells from the top-left margin corner, y flipped.
  EXPECT_EQ(At(second, 10, 10), Record_Color(4, Card_Side::Front));
  EXPECT_EQ(At(second, 110, 10), Record_Color(5, Card_Side::Front));
  EXPECT_EQ(At(second, 10, 60), Record_Color(6, Card_Side::Front));
  EXPECT_EQ(At(second, 110, 60), QColor(Qt::white));
  EXPECT_EQ(asked, (std::vector<int>{4, 5, 6}));
  // Pages can be painted again and out of order: page 1 is records 0-3 every time.
  for (int pass = 0; pass < 2; ++pass) {
    const QImage first = Paint(pages, 1);
    EXPECT_EQ(At(first, 110, 60), Record_Color(3, Card_Side::Front));
    EXPECT_EQ(At(first, 10, 10), Record_Color(0, Card_Side::Front));
  }
  EXPECT_TRUE(pages.Failures().isEmpty());
}

TEST(Print_Pages, SidesAndArrangementsTakeTheirPictures) {
  struct Case {
    const char* what;
    const char* side;
    const char* arrangement;
    bool records;
    QPoint front_at, back_at;  // top-left of each picture on paper; back (-1) when none
    QColor front, back;
  };
  const Case cases[] = {
      {"design front", "F", "U", false, {10, 10}, {-1, -1}, Qt::black, {}},
      {"design back", "B", "U", false, {10, 10}, {-1, -1}, Qt::darkGray, {}},
      {"record back", "B", "U", true, {10, 10}, {-1, -1}, Record_Color(0, Card_Side::Back), {}},
      {"both, left and right", "BOTH", "L", true, {10, 10}, {110, 10},
       Record_Color(0, Card_Side::Front), Record_Color(0, Card_Side::Back)},
      {"both, front above back", "BOTH", "U", false, {10, 10}, {10, 60}, Qt::black, Qt::darkGray},
  };
  for (const Case& c : cases) {
    Sheet_Job job = Job(1, 1, 1, c.side);
    job.layout.Print_Card_Algn = QString::fromLatin1(c.arrangement);
    job.layout.label_width = job.layout.Both_Left_Right() ? 200 : 100;
    job.layout.label_hight = job.layout.Both() && !job.layout.Both_Left_Right() ? 100 : 50;
    if (c.records) {
      job.record_count = 1;
      job.record_picture = [](int record, Card_Side side, QString*) {
        return Card(Record_Color(record, side));
      };
    }
    Sheet_Pages pages(job);
    const QImage sheet = Paint(pages, 1);
    EXPECT_EQ(At(sheet, c.front_at.x(), c.front_at.y()), c.front) << c.what;
    if (c.back_at.x() >= 0) {
      EXPECT_EQ(At(sheet, c.back_at.x(), c.back_at.y()), c.back) << c.what;
    }
    EXPECT_EQ(sheet.pixelColor(5, 5), QColor(Qt::white)) << c.what << ": paper is white";
  }
}

TEST(Print_Pages, MissingPicturesLeaveCellsOrSayInvalidData) {
  Sheet_Job job = Job(1, 3, 3);
  job.record_count = 3;
  job.record_picture = [](int record, Card_Side side, QString* reason) {
    // Records 1 and 2 cannot be drawn, the last without a known reason: the design's front
    // stands in and the failures are kept with their reasons.
    if (record == 1) *reason = QStringLiteral("The card picture would be too large.");
    return record >= 1 ? Card_Drawing() : Card(Record_Color(record, side));
  };
  Sheet_Pages pages(job);
  const QImage sheet = Paint(pages, 1);
  EXPECT_EQ(At(sheet, 10, 10), Record_Color(0, Card_Side::Front));
  EXPECT_EQ(At(sheet, 110, 10), QColor(Qt::black));
  EXPECT_EQ(pages.Failures(),
            QStringList({"Record 2 (front): The card picture would be too large.",
                         "Record 3 (front): the card picture could not be made."}));

  // More cards than records: the cells past the records stay free.
  job.record_count = 2;
  Sheet_Pages fewer(job);
  EXPECT_EQ(At(Paint(fewer, 1), 210, 10), QColor(Qt::white));

  // No design picture: red "Invalid Data" around the cell's centre, no picture.
  Sheet_Job empty = Job(1, 1, 1);
  empty.front_image = Card_Drawing();
  Sheet_Pages invalid(empty);
  const QImage text = Paint(invalid, 1);
  int red = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      const QColor c = text.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 100 && c.blue() < 100) {
        ++red;
        EXPECT_LT(std::abs(y - 35), 12) << "label centred on the cell, not at " << x << "," << y;
      }
    }
  EXPECT_GT(red, 20);
}

}  // namespace
