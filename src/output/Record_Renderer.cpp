#include "output/Record_Renderer.h"

Card_Side_Snapshot Clone_Snapshot(const Card_Side_Snapshot& snapshot) {
  Card_Side_Snapshot copy = snapshot;
  for (auto& graphic : copy.graphics)
    if (graphic) graphic = graphic->clone();
  return copy;
}

Record_Renderer::Record_Renderer(const Card_Side_Snapshot& front, const Card_Side_Snapshot& back,
                                 Batch_Values values, const Barcode_Designer& designer,
                                 double dpi)
    : sides_{Clone_Snapshot(front), Clone_Snapshot(back)},
      values_(std::move(values)),
      designer_(designer),
      dpi_(dpi) {}

Record_Renderer Record_Renderer::Copy() const {
  Record_Renderer copy(sides_[0], sides_[1], values_, designer_, dpi_);
  copy.pictures_ = pictures_;
  return copy;
}

Picture Record_Renderer::Render(int record, Card_Side side, Render_Report* report,
                                Binding_Report* binding) {
  Card_Side_Snapshot& snapshot = sides_[side == Card_Side::Front ? 0 : 1];
  if (record >= 0)
    Assign_Batch_Values(snapshot.graphics, record, values_, designer_, pictures_.get(), binding);
  return Render_Card_Picture(snapshot, dpi_, report, &canvas_);
}
