// The sheet layout: cell placement, the refit and the sheet count, on the worked examples
// of an A4 sheet (595 x 842 points, margins of 18 points) with 89 x 51 mm cards.

#include "output/Sheet_Layout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

Sheet_Layout A4(float margin = 18) {
  Sheet_Layout layout;
  layout.paper = QSizeF(595, 842);
  layout.Left_Mar = layout.Rite_Mar = layout.Top_Mar = layout.Bot_Mar = margin;
  return layout;
}

TEST(Print_Layout, PlacesCellsByPositionAndCentring) {
  struct Case {
    const char* what;
    int position;
    bool auto_center;
    int row, column;
    double x, y;  // lower-left corner of the cell
  };
  const Case cases[] = {
      {"top left, first cell", 1, false, 1, 1, 18, 679.43},
      {"top left, second column", 1, false, 1, 2, 284.45, 679.43},
      {"top left, second row", 1, false, 2, 1, 18, 520.69},
      // Bottom right: the block's lower-right corner is at (577, 18).
      {"bottom right, last cell", 9, false, 5, 2, 577 - 252.28, 18},
      {"bottom right, first cell", 9, false, 1, 1, 577 - 2 * 252.28 - 14.17,
       18 + 4 * (144.57 + 14.17)},
      {"middle centre", 5, false, 1, 1, 18 + (559 - 518.73) / 2,
       18 + (806 - 779.53) / 2 + 779.53 - 144.57},
      // Auto-centre spreads the free space: gaps of (559 - 2 W) / 3 and (806 - 5 H) / 6.
      {"auto-centre, first cell", 1, true, 1, 1, 18 + 18.1467, 18 + 13.8583 + 5 * 144.57 + 4 * 13.8583 - 144.57},
      {"auto-centre ignores the position", 9, true, 1, 2, 18 + 2 * 18.1467 + 252.28,
       18 + 13.8583 + 5 * 144.57 + 4 * 13.8583 - 144.57},
  };
  for (const Case& c : cases) {
    Sheet_Layout layout = A4();
    layout.Print_Card_Side = QStringLiteral("F");
    layout.label_width = 252.28f;
    layout.label_hight = 144.57f;
    layout.Print_Row = 5;
    layout.Print_Col = 2;
    layout.label_align_val = c.position;
    layout.auto_center_flag = c.auto_center;
    layout.horz_mar = c.auto_center ? 18.1467f : 14.17f;
    layout.vert_mar = c.auto_center ? 13.8583f : 14.17f;
    const QRectF cell = Place_Cell(layout, c.row, c.column, QSizeF(252.28, 144.57)).cell;
    EXPECT_NEAR(cell.x(), c.x, 0.02) << c.what;
    EXPECT_NEAR(cell.y(), c.y, 0.02) << c.what;
    EXPECT_NEAR(cell.width(), 252.28, 0.01) << c.what;
  }
}

TEST(Print_Layout, PlacesCardPicturesInTheirCell) {
  struct Case {
    const char* what;
    const char* side;
    const char* arrangement;
    QSizeF cell, card;
    QRectF front, back;  // relative to the cell's lower-left corner
  };
  const Case cases[] = {
      {"smaller card is centred", "F", "U", {200, 100}, {100, 50}, {50, 25, 100, 50}, {}},
      {"larger card keeps the corner", "B", "U", {100, 50}, {150, 80}, {0, 0, 150, 80}, {}},
      {"L, exactly two cards wide", "BOTH", "L", {200, 50}, {100, 50}, {0, 0, 100, 50},
       {100, 0, 100, 50}},
      {"U, taller than two cards: pair at the top", "BOTH", "U", {100, 130}, {100, 50},
       {0, 80, 100, 50}, {0, 30, 100, 50}},
      {"L, centred both ways", "BOTH", "L", {240, 70}, {100, 50}, {20, 10, 100, 50},
       {120, 10, 100, 50}},
  };
  for (const Case& c : cases) {
    Sheet_Layout layout = A4();
    layout.Print_Card_Side = QString::fromLatin1(c.side);
    layout.Print_Card_Algn = QString::fromLatin1(c.arrangement);
    layout.label_width = float(c.cell.width());
    layout.label_hight = float(c.cell.height());
    const Cell_Place place = Place_Cell(layout, 1, 1, c.card);
    const QPointF corner = place.cell.topLeft();  // lower-left in sheet coordinates
    EXPECT_EQ(place.front.translated(-corner), c.front) << c.what;
    EXPECT_EQ(place.back.isEmpty() ? QRectF() : place.back.translated(-corner), c.back) << c.what;
  }
}

TEST(Print_Layout, RefitsRowsColumnsAndGapsToThePaper) {
  struct Case {
    const char* what;
    const char* side;
    const char* arrangement;
    bool auto_center;
    float width_mm, height_mm, gap_mm;
    int rows, columns;
    int want_rows, want_columns;
    bool show_rows, show_columns;
    float horz, vert;      // gaps afterwards (points)
    float cell_w, cell_h;  // cell afterwards (points)
  };
  const Case cases[] = {
      {"auto-centre spreads the space", "F", "U", true, 89, 51, 0, 5, 2, 5, 2, true, true, 18.14f,
       13.86f, 252.28f, 144.57f},
      {"5 mm gaps, 3 x 6 lowered to 2 x 5", "F", "U", false, 89, 51, 5, 6, 3, 5, 2, true, true,
       14.17f, 14.17f, 252.28f, 144.57f},
      {"5 mm gaps, 2 x 4 kept", "F", "U", false, 89, 51, 5, 4, 2, 4, 2, false, false, 14.17f,
       14.17f, 252.28f, 144.57f},
      {"card wider than the sheet: 1 column", "F", "U", false, 250, 51, 0, 1, 3, 1, 1, false, true,
       0, 0, 708.66f, 144.57f},
      {"auto-centre, too wide: 1 column, no gap", "F", "U", true, 250, 51, 0, 1, 2, 1, 1, true, true,
       0, 330.72f, 708.66f, 144.57f},
      {"BOTH with U doubles the height", "BOTH", "U", false, 89, 51, 0, 3, 2, 2, 2, true, false, 0,
       0, 252.28f, 289.13f},
      {"BOTH with L doubles the width", "BOTH", "L", false, 89, 51, 0, 1, 2, 1, 1, false, true, 0,
       0, 504.57f, 144.57f},
      // A cell without size does not fit: one is kept, however many were asked for.
      {"missing card picture: one cell", "F", "U", false, 0, 0, 0, 2, 2, 1, 1, true, true, 0, 0,
       0, 0},
      {"missing card picture with auto-centre", "F", "U", true, 0, 0, 0, 2, 2, 1, 1, true, true, 0,
       0, 0, 0},
      {"missing card picture between gaps", "F", "U", false, 0, 0, 5, 3, 4, 1, 1, true, true,
       14.17f, 14.17f, 0, 0},
      {"no width, a real height", "F", "U", false, 0, 51, 0, 5, 3, 5, 1, false, true, 0, 0, 0,
       144.57f},
  };
  for (const Case& c : cases) {
    Sheet_Layout layout = A4();
    layout.Print_Card_Algn = QString::fromLatin1(c.arrangement);
    layout.barcode_counter = 7;
    Refit_Fields fields;
    fields.width_mm = c.width_mm;
    fields.height_mm = c.height_mm;
    fields.horz_gap_mm = fields.vert_gap_mm = c.gap_mm;
    fields.rows = c.rows;
    fields.columns = c.columns;
    fields.auto_center = c.auto_center;
    const Refit_Result result = Refit_Sheet(layout, fields, QString::fromLatin1(c.side));
    EXPECT_EQ(result.rows, c.want_rows) << c.what;
    EXPECT_EQ(result.columns, c.want_columns) << c.what;
    EXPECT_EQ(result.show_rows, c.show_rows) << c.what;
    EXPECT_EQ(result.show_columns, c.show_columns) << c.what;
    EXPECT_EQ(layout.Print_Row, c.want_rows) << c.what;
    EXPECT_EQ(layout.Print_Col, c.want_columns) << c.what;
    EXPECT_NEAR(layout.horz_mar, c.horz, 0.01) << c.what;
    EXPECT_NEAR(layout.vert_mar, c.vert, 0.01) << c.what;
    EXPECT_NEAR(layout.label_width, c.cell_w, 0.01) << c.what;
    EXPECT_NEAR(layout.label_hight, c.cell_h, 0.01) << c.what;
    EXPECT_EQ(layout.barcode_counter, 0) << c.what;
    EXPECT_EQ(layout.Total_Label, c.want_rows * c.want_columns) << c.what;
  }
}

// Rows and columns typed up to two thousand million: they stay within what the paper holds,
// and the count of cards (rows x columns) is worked out without overflowing.
TEST(Print_Layout, HugeCountsStayWithinThePaper) {
  struct Case {
    const char* what;
    float width_mm, height_mm, gap_mm;
    bool auto_center;
    int asked;  // rows and columns
    int rows, columns;
    long long total;  // Total_Label afterwards
  };
  const Case cases[] = {
      {"zero card", 0, 0, 0, false, 1999999999, 1, 1, 1},
      {"zero card, auto-centre", 0, 0, 0, true, 1999999999, 1, 1, 1},
      {"zero card, gaps", 0, 0, 1, false, 1999999999, 1, 1, 1},
      {"89 x 51 mm cards", 89, 51, 0, false, 1999999999, 5, 2, 10},
      // 0.1 mm cards: 1,972 across and 2,843 down; 5.6 million cards.
      {"tiny cards", 0.1f, 0.1f, 0, false, 1999999999, 2843, 1972, 2843LL * 1972},
      // Cards of a thousandth of a millimetre: the count would overflow int.
      {"tinier cards", 0.001f, 0.001f, 0, false, 1999999999, 284340, 197202, INT_MAX},
  };
  for (const Case& c : cases) {
    Sheet_Layout layout = A4();
    Refit_Fields fields;
    fields.width_mm = c.width_mm;
    fields.height_mm = c.height_mm;
    fields.horz_gap_mm = fields.vert_gap_mm = c.gap_mm;
    fields.rows = fields.columns = c.asked;
    fields.auto_center = c.auto_center;
    const Refit_Result result = Refit_Sheet(layout, fields, QStringLiteral("F"));
    EXPECT_NEAR(result.rows, c.rows, 1 + c.rows / 1000) << c.what;
    EXPECT_NEAR(result.columns, c.columns, 1 + c.columns / 1000) << c.what;
    if (c.total == INT_MAX) EXPECT_EQ(layout.Total_Label, INT_MAX) << c.what;
    else EXPECT_EQ(layout.Total_Label, (long long)result.rows * result.columns) << c.what;
    EXPECT_NEAR(double(layout.Total_Label), double(c.total), double(c.total) / 500) << c.what;
    EXPECT_EQ(Sheet_Count(layout, false), 1) << c.what << ": the count is one sheet";
  }
}

TEST(Print_Layout, CountLeftAloneWithADataSourceAndNothingWithoutPaper) {
  Sheet_Layout layout = A4();
  layout.Total_Label = 7;
  Refit_Fields fields;
  fields.width_mm = 89;
  fields.height_mm = 51;
  fields.rows = fields.columns = 2;
  fields.data_source_in_use = true;
  EXPECT_FALSE(Refit_Sheet(layout, fields, QStringLiteral("F")).show_total);
  EXPECT_EQ(layout.Total_Label, 7);

  Sheet_Layout no_paper;
  no_paper.barcode_counter = 3;
  Refit_Sheet(no_paper, fields, QStringLiteral("F"));
  EXPECT_EQ(no_paper.barcode_counter, 3);
  EXPECT_EQ(no_paper.label_width, 0);
}

TEST(Print_Layout, CountsSheetsAndCutsPreviewsAtFifty) {
  struct Case {
    int total, rows, columns;
    bool preview;
    int sheets;
    bool cut;
  };
  const Case cases[] = {
      {10, 2, 2, false, 3, false}, {120, 1, 2, true, 50, true}, {120, 1, 2, false, 60, false},
      {100, 1, 2, true, 50, false}, {0, 1, 1, false, 0, false}, {1, 3, 3, true, 1, false},
      // A sheet of more cells than an int counts.
      {INT_MAX, 100000, 100000, false, 1, false}, {INT_MAX, 46341, 46341, false, 1, false},
      {INT_MAX, 46340, 46340, false, 2, false},
  };
  for (const Case& c : cases) {
    Sheet_Layout layout;
    layout.Total_Label = c.total;
    layout.Print_Row = c.rows;
    layout.Print_Col = c.columns;
    bool cut = !c.cut;
    EXPECT_EQ(Sheet_Count(layout, c.preview, &cut), c.sheets) << c.total;
    EXPECT_EQ(cut, c.cut) << c.total;
  }
}

TEST(Print_Layout, MarginsFromThePrintableArea) {
  Sheet_Layout layout;
  Set_Margins_From_Printable_Area(layout, QSizeF(595, 842), QRectF(10, 12, 570, 810));
  EXPECT_EQ(layout.Left_Mar, 10);
  EXPECT_EQ(layout.Top_Mar, 12);
  EXPECT_EQ(layout.Rite_Mar, 15);
  EXPECT_EQ(layout.Bot_Mar, 20);
  EXPECT_NEAR(MM_to_Points_Convert(89), 252.28, 0.01);
  EXPECT_NEAR(Points_to_MM_Convert(595), 209.90, 0.01);
}

}  // namespace
