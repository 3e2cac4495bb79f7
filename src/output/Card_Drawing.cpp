#include "output/Card_Drawing.h"

#include "barcode/Barcode_Renderer.h"
#include "model/CRDImage.h"
#include "model/Shape_Control.h"
#include "output/Batch_Binding.h"

#include <QPainter>

#include <cmath>

Card_Drawing::Card_Drawing(Picture picture) : picture_(std::move(picture)) {}

Card_Drawing::Card_Drawing(Card_Side_Snapshot side)
    : side_(std::make_shared<const Card_Side_Snapshot>(std::move(side))) {}

QSizeF Card_Drawing::size() const {
  if (!picture_.isNull()) return picture_.size();
  return side_ ? side_->frame.size() : QSizeF(0, 0);
}

Render_Report Card_Drawing::Paint(QPainter& painter, const QRectF& target) const {
  if (!picture_.isNull()) {
    painter.drawImage(target, picture_.image());
    return {};
  }
  if (!side_) return {};
  const QRectF frame = side_->frame;
  if (!(frame.width() > 0) || !(frame.height() > 0)) return {};
  painter.save();
  // Nothing of the card reaches past its edge onto the next cell, as on a card picture.
  painter.setClipRect(target, Qt::IntersectClip);
  painter.translate(target.topLeft());
  painter.scale(target.width() / frame.width(), target.height() / frame.height());
  painter.translate(-frame.topLeft());
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const Render_Report report = Paint_Card_Side(painter, *side_, frame);
  painter.restore();
  return report;
}

// ---- Barcodes ----------------------------------------------------------------------------------

Print_Barcode::Print_Barcode(const CRDBarcode& barcode,
                             std::shared_ptr<const Barcode_Drawing> drawing)
    : CRDBarcode(barcode), drawing_(std::move(drawing)) {}

std::shared_ptr<CRDGraphic> Print_Barcode::clone() const {
  return std::make_shared<Print_Barcode>(*this);
}

void Print_Barcode::drawContentsInView(QPainter& painter, bool) {
  if (!ctrl_is_visible || !drawing_) return;
  Painter_State_Guard guard(painter);
  painter.translate(bounds().topLeft());
  Paint_Barcode_Drawing(painter, *drawing_);
}

// ---- Pictures ----------------------------------------------------------------------------------

namespace {

// Reductions kept at most (the pictures themselves are shared with the cards).
constexpr qsizetype Max_Reduced_Bytes = qsizetype(256) << 20;

}  // namespace

void Print_Picture_Cache::Reduce(CRDImage& image, double dpi) {
  const QImage source = image._contents.image();
  if (source.isNull() || image._pixel_scale != 1) return;
  double scale = 1;
  const QSize at = Frame_Picture_Pixels(image, source.size(), dpi, &scale);
  // Far finer: at least twice the pixels the printer can use each way (four times in all).
  if (!at.isValid() || qint64(at.width()) * at.height() * 4 > qint64(source.width()) * source.height())
    return;
  const QString key = QStringLiteral("%1/%2x%3").arg(source.cacheKey()).arg(at.width()).arg(at.height());
  Entry entry;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    entry = reduced_.value(key);
  }
  if (entry.image.isNull()) {
    entry.image = source.scaled(at, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    entry.scale = scale;
    if (entry.image.isNull()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    // Another thread may have made it meanwhile: take the one kept, so cards share it.
    if (const auto kept = reduced_.constFind(key); kept != reduced_.cend()) {
      entry = kept.value();
    } else if (bytes_ + entry.image.sizeInBytes() <= Max_Reduced_Bytes) {
      reduced_.insert(key, entry);
      bytes_ += entry.image.sizeInBytes();
    }
  }
  image._contents = Picture(entry.image, image._contents.size());
  image._pixel_scale = entry.scale;
}
