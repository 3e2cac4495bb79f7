#pragma once
// The record renderer: the card picture of record i of a batch, for image export,
// printing and e-mail alike.
//
// A renderer owns complete copies (CRDGraphic::clone) of both card sides with their side
// settings, outline, frame and resource folder, a copy of the batch values and its own
// barcode designer. It is made on the GUI thread from the live design and then used by
// exactly one thread at a time; it never reads the live design or any global state while
// rendering, so one renderer per worker thread renders records in parallel while the GUI
// thread goes on. Render() binds the record into the renderer's own copy of the side
// (Assign_Batch_Values), paints it (Render_Card_Picture) and answers the picture. The
// renderer and its copies share one cache of the picture files records name
// (Picture_File_Cache, thread-safe), so a picture many records use is read once, and one
// budget of the pixels such pictures hold (Record_Picture_Budget): a record's pictures are
// read at the pixels their frames have on the card picture (Frame_Picture_Pixels), held
// while its card is drawn and let go after. The cache also keeps the readings in flight
// across the copies to one 32-million-pixel picture's worth, so that workers do not each
// decode a large picture whole at once.
//
//   // GUI thread:
//   Record_Renderer prototype(front_snapshot, back_snapshot, values, designer);
//   std::vector<Record_Renderer> per_worker;            // one for each worker thread
//   for (int t = 0; t < threads; ++t) per_worker.push_back(prototype.Copy());
//   // worker t:
//   Picture front = per_worker[t].Render(i, Card_Side::Front);

#include "barcode/Barcode_Designer.h"
#include "canvas/CRDRenderingView.h"
#include "output/Batch_Binding.h"
#include "output/Card_Drawing.h"

#include <map>

enum class Card_Side { Front = 0, Back = 1 };

class Record_Renderer {
 public:
  // Clones the graphics of both snapshots (call on the thread that owns them: the GUI
  // thread for the live design).
  // The pictures records name may hold picture_pixels at once, across all copies.
  Record_Renderer(const Card_Side_Snapshot& front, const Card_Side_Snapshot& back,
                  Batch_Values values, const Barcode_Designer& designer,
                  double dpi = CRDRenderingView::Card_Picture_DPI,
                  qint64 picture_pixels = Graphic_Read_Budget::Default_Picture_Pixels);
  Record_Renderer(Record_Renderer&&) = default;
  Record_Renderer& operator=(Record_Renderer&&) = default;

  // An independent renderer with clones of this one's sides (not while this one
  // renders); only the picture file cache is shared.
  Record_Renderer Copy() const;

  // Record `record` bound into this renderer's copy of the side, rendered at the
  // renderer's resolution. A record < 0 binds nothing (the side as it was copied). Null
  // when the picture cannot be made; the report says why a graphic failed to draw, the
  // binding report what binding the record left undone (a picture file missing). The
  // picture shares the renderer's raster: letting it go before the next Render spares a
  // new one.
  Picture Render(int record, Card_Side side, Render_Report* report = nullptr,
                 Binding_Report* binding = nullptr);

  // Record `record` bound as Render binds it, as a drawing for a printer (Card_Drawing):
  // clones of the bound side, pictures read at no more than Print_Picture_DPI needs,
  // barcodes as their drawings. No raster is made, so a card of any size can be drawn. Null
  // only when the card has no size (the report says so).
  Card_Drawing Draw(int record, Card_Side side, Render_Report* report = nullptr,
                    Binding_Report* binding = nullptr);

  // How many renderers a run of this renderer's pictures may use: at most `threads`, and
  // no more than Run_Picture_Bytes allows when each holds `rasters` rasters of its largest
  // card picture at once (a picture being drawn, one being encoded); one at least.
  // Run_Picture_Bytes is twice what one card picture may take, so one worker with a
  // picture and its data always fits.
  static constexpr qint64 Run_Picture_Bytes = qint64(512) << 20;
  int Threads_For_Pictures(int threads, int rasters) const;
  // The bytes of `rasters` rasters of the larger side's card picture (0 when neither side
  // can be made).
  qint64 Picture_Bytes(int rasters) const;

  const Card_Side_Snapshot& snapshot(Card_Side side) const {
    return sides_[side == Card_Side::Front ? 0 : 1];
  }
  // The budget of bound pictures this renderer and its copies hold together.
  Record_Picture_Budget& Picture_Budget() const { return *picture_budget_; }
  int Record_Count() const { return values_.total; }
  const Batch_Values& values() const { return values_; }
  double dpi() const { return dpi_; }

 private:
  Card_Side_Snapshot sides_[2];
  Batch_Values values_;
  Barcode_Designer designer_;
  std::shared_ptr<Picture_File_Cache> pictures_ = std::make_shared<Picture_File_Cache>();
  // The pixels of bound pictures this renderer and its copies hold at once.
  std::shared_ptr<Record_Picture_Budget> picture_budget_;
  double dpi_;
  // The raster pictures are painted in, used again once the last picture is let go.
  QImage canvas_;
  // Print drawings: the reductions of pictures, shared with the copies; the drawings of
  // the barcodes no record changes, by their object in this renderer's sides.
  std::shared_ptr<Print_Picture_Cache> print_pictures_ = std::make_shared<Print_Picture_Cache>();
  std::map<const CRDGraphic*, std::shared_ptr<const Barcode_Drawing>> design_barcodes_;
  // Lets the record's bound pictures in this renderer's own copy go, with what they held
  // of the budget.
  void let_go(Card_Side_Snapshot& snapshot, int record, qint64 held);
  // Makes the printer's clone of a bound side.
  Card_Side_Snapshot print_clone(const Card_Side_Snapshot& side, int record);
};

// A snapshot whose graphics are clones of the given one's.
Card_Side_Snapshot Clone_Snapshot(const Card_Side_Snapshot& snapshot);
