#include "output/Record_Renderer.h"

#include "barcode/Barcode_Renderer.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/Common_Functions.h"

#include <algorithm>

Card_Side_Snapshot Clone_Snapshot(const Card_Side_Snapshot& snapshot) {
  Card_Side_Snapshot copy = snapshot;
  for (auto& graphic : copy.graphics)
    if (graphic) graphic = graphic->clone();
  return copy;
}

Record_Renderer::Record_Renderer(const Card_Side_Snapshot& front, const Card_Side_Snapshot& back,
                                 Batch_Values values, const Barcode_Designer& designer,
                                 double dpi, qint64 picture_pixels)
    : sides_{Clone_Snapshot(front), Clone_Snapshot(back)},
      values_(std::move(values)),
      designer_(designer),
      picture_budget_(std::make_shared<Record_Picture_Budget>(picture_pixels)),
      dpi_(dpi) {}

Record_Renderer Record_Renderer::Copy() const {
  Record_Renderer copy(sides_[0], sides_[1], values_, designer_, dpi_);
  copy.pictures_ = pictures_;
  copy.picture_budget_ = picture_budget_;
  copy.print_pictures_ = print_pictures_;
  return copy;
}

Picture Record_Renderer::Render(int record, Card_Side side, Render_Report* report,
                                Binding_Report* binding) {
  Card_Side_Snapshot& snapshot = sides_[side == Card_Side::Front ? 0 : 1];
  if (record < 0) return Render_Card_Picture(snapshot, dpi_, report, &canvas_);
  qint64 held = 0;
  Assign_Batch_Values(snapshot.graphics, record, values_, designer_, pictures_.get(), binding,
                      picture_budget_.get(), &held, dpi_);
  Picture picture = Render_Card_Picture(snapshot, dpi_, report, &canvas_);
  // The record's pictures are let go with what they held of the budget.
  let_go(snapshot, record, held);
  return picture;
}

Card_Drawing Record_Renderer::Draw(int record, Card_Side side, Render_Report* report,
                                   Binding_Report* binding) {
  Card_Side_Snapshot& snapshot = sides_[side == Card_Side::Front ? 0 : 1];
  if (!(snapshot.frame.width() > 0) || !(snapshot.frame.height() > 0)) {
    if (report) *report = {true, QStringLiteral("The card has no size; no card is drawn.")};
    return {};
  }
  if (record < 0) return Card_Drawing(print_clone(snapshot, record));
  qint64 held = 0;
  Assign_Batch_Values(snapshot.graphics, record, values_, designer_, pictures_.get(), binding,
                      picture_budget_.get(), &held, Print_Picture_DPI);
  Card_Drawing drawing(print_clone(snapshot, record));
  drawing.Set_Record_Pixels(held);
  // This renderer's own copy lets the record's pictures go (the drawing keeps its own).
  let_go(snapshot, record, held);
  return drawing;
}

void Record_Renderer::let_go(Card_Side_Snapshot& snapshot, int record, qint64 held) {
  for (const auto& graphic : snapshot.graphics) {
    QString value;
    if (auto* image = dynamic_cast<CRDImage*>(graphic.get());
        image && values_.Value_For(*image, record, &value)) {
      image->_contents = Picture();
      image->_pixel_scale = 1;
    }
  }
  picture_budget_->Give_Back(held);
}

Card_Side_Snapshot Record_Renderer::print_clone(const Card_Side_Snapshot& side, int record) {
  Card_Side_Snapshot copy = Clone_Snapshot(side);
  for (std::size_t k = 0; k < copy.graphics.size(); ++k) {
    const std::shared_ptr<CRDGraphic>& own = side.graphics[k];
    std::shared_ptr<CRDGraphic>& graphic = copy.graphics[k];
    if (!graphic || graphic->print_object != 0) continue;
    if (auto* image = dynamic_cast<CRDImage*>(graphic.get())) {
      print_pictures_->Reduce(*image, Print_Picture_DPI);
      continue;
    }
    auto* barcode = dynamic_cast<CRDBarcode*>(graphic.get());
    if (!barcode) continue;
    // A barcode no record changes is laid out once; a bound one for each record, from the
    // value the record gave it.
    QString value;
    const bool bound = record >= 0 && values_.Value_For(*own, record, &value);
    std::shared_ptr<const Barcode_Drawing> drawing;
    if (!bound) {
      if (const auto kept = design_barcodes_.find(own.get()); kept != design_barcodes_.end())
        drawing = kept->second;
    }
    if (!drawing) {
      designer_.Set_Barcode_Prop_To_Control(own);
      if (!bound) value = designer_.Current_Value();
      auto made = std::make_shared<Barcode_Drawing>();
      // Only a barcode that shows its picture: one whose value made none shows the sample.
      if (!barcode->_barcode_image.isNull() &&
          designer_.Get_Drawing_From_Val(Trim_Str(value), own->header_val, own->footer_val,
                                         made.get()))
        drawing = std::move(made);
      if (!bound) design_barcodes_[own.get()] = drawing;
    }
    if (drawing) graphic = std::make_shared<Print_Barcode>(*barcode, std::move(drawing));
  }
  return copy;
}

qint64 Record_Renderer::Picture_Bytes(int rasters) const {
  qint64 largest = 0;
  for (const Card_Side_Snapshot& side : sides_) {
    const QSize size = Card_Picture_Size(side.frame, dpi_);
    largest = std::max(largest, qint64(size.width()) * size.height() * 4);
  }
  return largest * std::max(1, rasters);
}

int Record_Renderer::Threads_For_Pictures(int threads, int rasters) const {
  const qint64 each = Picture_Bytes(rasters);
  const qint64 fit = each > 0 ? Run_Picture_Bytes / each : threads;
  return int(std::max<qint64>(1, std::min<qint64>(threads, fit)));
}
