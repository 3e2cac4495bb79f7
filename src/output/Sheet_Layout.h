#pragma once
// The sheet layout: how cards lie on a printed sheet. Rows and columns of cells, the cell
// size, the page margins, the gaps between cells, the position of the block of cells on
// the page, the printed side and how front and back share a cell.
//
// The print dialog is the only writer of the process-wide layout (Print_Layout()); the
// printed sheet pages and the on-screen sheet preview read it and place every cell with
// Place_Cell. Lengths are points; sheet coordinates have their origin at the lower-left
// corner of the paper with y upwards (painters flip: top = paper height - y - h). The
// arithmetic is single precision, as the dialog's fields are.

#include <QRectF>
#include <QSizeF>
#include <QString>

struct Sheet_Layout {
  int Print_Row = 1;         // rows of cells per sheet
  int Print_Col = 1;         // columns of cells per sheet
  int Total_Label = 1;       // cards to print (the count field)
  int Total_Label_Real = 1;  // the count fixed when a print or preview starts
  float label_width = 0;     // one cell: the card, doubled across for "BOTH" with "L"
  float label_hight = 0;     // one cell: the card, doubled down for "BOTH" with "U"
  float Left_Mar = 0, Rite_Mar = 0, Top_Mar = 0, Bot_Mar = 0;  // outside the printable area
  float horz_mar = 0, vert_mar = 0;  // gaps between neighbouring cells
  int label_align_val = 1;  // 1..9: top left, top centre, ... bottom right
  bool auto_center_flag = false;
  bool Show_margin_rect = true;             // cell outlines in the on-screen preview
  QString Print_Card_Side = QStringLiteral("BOTH");  // "F", "B" or "BOTH"
  QString Print_Card_Algn = QStringLiteral("U");     // "BOTH": "U" front above, "L" left
  QSizeF paper;              // the paper of the dialog's printer; empty: no print info
  int barcode_counter = 0;   // next card of a running print
  bool loading = false;      // the dialog is filling its controls

  bool Has_Paper() const { return paper.width() > 0 && paper.height() > 0; }
  bool Both() const { return Print_Card_Side == QLatin1String("BOTH"); }
  bool Both_Left_Right() const { return Both() && Print_Card_Algn != QLatin1String("U"); }
};

// The process-wide layout (GUI thread only).
Sheet_Layout& Print_Layout();

float MM_to_Points_Convert(float mm);
float Points_to_MM_Convert(float points);

// Where the cell of row i and column j (both from 1, rows from the top) lies, and where a
// card picture of size w x h goes in it. Rectangles are in sheet coordinates.
struct Cell_Place {
  QRectF cell;   // W x H at (x(j), y(i))
  QRectF area;   // the front's part: the whole cell, its upper half ("U"), left half ("L")
  QRectF front;  // (ix, iy, w, h)
  QRectF back;   // "BOTH": below the front ("U") or right of it ("L"); empty otherwise
};
Cell_Place Place_Cell(const Sheet_Layout& layout, int row, int column, QSizeF card);

// What the refit reads from the dialog's fields (millimetres, counts as typed).
struct Refit_Fields {
  float width_mm = 0, height_mm = 0;  // one card
  float horz_gap_mm = 0, vert_gap_mm = 0;
  int rows = 1, columns = 1;
  bool auto_center = false;
  bool data_source_in_use = false;  // a bound series or spreadsheet is printed
};
// What the dialog shows afterwards. A field is set when its flag says so.
struct Refit_Result {
  int rows = 1, columns = 1;
  bool show_rows = false, show_columns = false;
  bool show_total = false;  // Total_Label follows rows x columns
};
// Fits rows, columns and gaps to the paper and writes label_width, label_hight, horz_mar,
// vert_mar, Print_Row, Print_Col, barcode_counter and (without a data source) Total_Label.
// Cells that do not fit lower the rows or columns to what fits, 1 at least; free space of
// exactly 0 does not fit, nor does a cell without width or height (one is kept). With
// auto-centre the free space becomes the gaps. The count of cards is rows x columns
// worked out in 64 bits (and kept within int).
Refit_Result Refit_Sheet(Sheet_Layout& layout, const Refit_Fields& fields,
                         const QString& card_side);

// Sheets a job of Total_Label cards fills; a preview is cut to Preview_Sheet_Limit (and
// *cut says so).
constexpr int Preview_Sheet_Limit = 50;
int Sheet_Count(const Sheet_Layout& layout, bool preview, bool* cut = nullptr);

// The margins of a printable area inside a paper (both in points, y downwards as Qt gives
// them): left = x, top = y, right = width - right edge, bottom = height - bottom edge.
void Set_Margins_From_Printable_Area(Sheet_Layout& layout, QSizeF paper, QRectF printable);
