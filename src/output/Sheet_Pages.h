#pragma once
// The printed sheet pages: one sheet of cards per page, cells placed by the sheet layout.
//
// A job is fixed when a print or preview starts: a copy of the layout, the design's front
// and back and, when a data series or spreadsheet binding is printed, a record source that
// makes record k's front or back (the record renderer, made once per job from a snapshot
// of the design). A print draws each card as a drawing (Card_Drawing: texts as text,
// barcodes as rectangles, pictures as pictures); the preview may show card pictures. Page p
// holds cards (p - 1) x rows x columns onwards, so any page can be painted at any time and
// as often as the print system asks (the preview repaints the whole document on every
// zoom). Without records every cell shows the design. Cells are never outlined on paper.
// Painting runs on one thread at a time: the preview's on the GUI thread, a print run's on
// its own.

#include "output/Card_Drawing.h"
#include "output/Record_Renderer.h"
#include "output/Sheet_Layout.h"

#include <QStringList>

#include <functional>

class QPainter;

struct Sheet_Job {
  Sheet_Layout layout;
  Card_Drawing front_image, back_image;  // the design as it is
  // Record k's side, null (with the reason when one is known) when it cannot be drawn; set
  // when a bound source is printed.
  std::function<Card_Drawing(int record, Card_Side side, QString* reason)> record_picture;
  int record_count = 0;  // records of the bound source (Total_Batch_Excel_Card)
};

class Sheet_Pages {
 public:
  explicit Sheet_Pages(Sheet_Job job);

  int Page_Count(bool preview, bool* cut = nullptr) const;
  // Paints sheet `page` (from 1) with one unit a point, the origin at the paper's top-left
  // corner. Cards that cannot be made or drawn are collected, not shown.
  void Paint_Page(QPainter& painter, int page);
  // "Record 3 (front): <why>" lines of the records that could not be drawn (10 kept at
  // most).
  const QStringList& Failures() const { return failures_; }
  int Failure_Count() const { return failure_count_; }
  const Sheet_Job& job() const { return job_; }

 private:
  Card_Drawing Record_Picture(int record, Card_Side side);
  // Paints a card into its place (record -1: the design's).
  void paint_card(QPainter& painter, const Card_Drawing& card, const QRectF& place, int record,
                  Card_Side side);

  Sheet_Job job_;
  QStringList failures_;
  int failure_count_ = 0;
};

// The label drawn centred on a rectangle (sheet coordinates, flipped into the painter by
// the paper height ph): bold 11 point system font; red for messages, grey for card labels.
void Draw_Sheet_Label(QPainter& painter, const QRectF& rect, const QString& text, bool grey,
                      double paper_height);
