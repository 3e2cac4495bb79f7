#include "output/Record_Renderer.h"

#include "model/CRDImage.h"

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
  for (const auto& graphic : snapshot.graphics) {
    QString value;
    if (auto* image = dynamic_cast<CRDImage*>(graphic.get());
        image && values_.Value_For(*image, record, &value)) {
      image->_contents = Picture();
      image->_pixel_scale = 1;
    }
  }
  picture_budget_->Give_Back(held);
  return picture;
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
