#pragma once
// A card side as a printed sheet draws it in one cell.
//
// For a printer it is a drawing: frozen clones of the side's graphics with one record
// bound (Record_Renderer::Draw), painted straight onto the printer's painter: the card
// base, texts as text, shapes and lines as paths, signatures as drawn, barcodes as their
// bars and modules (exact rectangles, Print_Barcode), pictures as pictures at their own
// resolution (no finer than Print_Picture_DPI needs). Nothing is turned into pixels
// before the printer does it, and a drawing has no size limit of its own. For the preview
// on screen it may be a card picture (a raster) instead.
//
// A drawing is shared and read only once made: the thread that prints paints it while the
// workers make the next ones. Painting it is done by one thread at a time.

#include "canvas/CRDRenderingView.h"
#include "model/CRDBarcode.h"
#include "model/Picture.h"

#include <QRectF>

#include <QHash>
#include <QString>

#include <memory>
#include <mutex>

struct Barcode_Drawing;
class CRDImage;
class QPainter;

class Card_Drawing {
 public:
  Card_Drawing() = default;
  // A card picture, drawn whole into the cell.
  explicit Card_Drawing(Picture picture);
  // The side itself (its graphics are not copied: hand over clones nobody else changes).
  explicit Card_Drawing(Card_Side_Snapshot side);

  bool isNull() const { return !side_ && picture_.isNull(); }
  bool isPicture() const { return !picture_.isNull(); }
  // The card's size in points.
  QSizeF size() const;
  // Paints the card into the rectangle (painter in points): a drawing mapped from its frame
  // and clipped to the card, a picture copied whole. A graphic that fails to draw ends the
  // painting of this card, as on a card picture; the report says why.
  Render_Report Paint(QPainter& painter, const QRectF& target) const;

  const Picture& picture() const { return picture_; }
  const Card_Side_Snapshot* side() const { return side_.get(); }
  // The pixels of the pictures a record bound into this drawing (held while it is kept).
  qint64 Record_Pixels() const { return record_pixels_; }
  void Set_Record_Pixels(qint64 pixels) { record_pixels_ = pixels; }

 private:
  Picture picture_;
  std::shared_ptr<const Card_Side_Snapshot> side_;
  qint64 record_pixels_ = 0;
};

// Pictures on printed cards need no more than this resolution: a picture far finer at the
// size it is printed is reduced to it.
inline constexpr double Print_Picture_DPI = 600;

// A barcode as its drawing: the same object, painted from the barcode designer's layout
// (bars and modules filled rectangles, texts as text) at the top-left corner of its
// bounds, where the barcode picture would be.
class Print_Barcode : public CRDBarcode {
 public:
  Print_Barcode(const CRDBarcode& barcode, std::shared_ptr<const Barcode_Drawing> drawing);
  std::shared_ptr<CRDGraphic> clone() const override;
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;
  const Barcode_Drawing& drawing() const { return *drawing_; }

 private:
  std::shared_ptr<const Barcode_Drawing> drawing_;
};

// The picture a picture object is printed with: its own when it is no more than about
// twice as fine as the frame needs at `dpi` each way, else reduced to the frame's pixels at
// that resolution (the proportions kept for a turned, blurred or sharpened picture, as the
// card pictures read them). Reductions are kept by the source picture, so a picture shown
// on many cards is one picture for the printer. Safe to share between threads.
class Print_Picture_Cache {
 public:
  // Applies the reduction to the object's picture (its _contents and _pixel_scale).
  void Reduce(CRDImage& image, double dpi);

 private:
  struct Entry {
    QImage image;
    double scale = 1;
  };
  std::mutex mutex_;
  QHash<QString, Entry> reduced_;  // by source picture and size
  qsizetype bytes_ = 0;
};
