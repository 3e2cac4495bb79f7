#pragma once
// Painting the graphics of a canvas area: in order, each clipped to its drawing bounds,
// with selection handles where asked. A large area with many graphics is painted in
// horizontal bands on several threads at once into one transparent picture, which the
// canvas then lays over the card base. Band edges fall on pixel edges, so the picture
// equals a painting in one pass.

#include "model/CRDGraphic.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRectF>

#include <unordered_map>
#include <unordered_set>
#include <vector>

class QPainter;

// A graphic's contents rendered once at one zoom and device pixel ratio (its handles are
// not part of it): the image covers the graphic's drawing bounds in whole device pixels,
// its top-left pixel at `origin` in the canvas's device pixels. Drawn again at that
// scale, it gives the same pixels as painting the graphic, at the cost of one copy.
struct Graphic_Picture {
  QImage image;  // premultiplied ARGB, carrying the ratio; null when not drawn
  QPoint origin;
  double scale = 0;  // zoom x device pixel ratio
  bool isNull() const { return image.isNull(); }
};

struct Layer_Item {
  Layer_Item(std::shared_ptr<CRDGraphic> graphic_ = nullptr, bool being_created_ = false,
             bool handles_ = false, Graphic_Picture picture_ = {})
      : graphic(std::move(graphic_)),
        being_created(being_created_),
        handles(handles_),
        picture(std::move(picture_)) {}

  std::shared_ptr<CRDGraphic> graphic;
  bool being_created = false;  // drawn in its creation state
  bool handles = false;        // selection handles on top (red when locked)
  // When set, drawn in place of the graphic's contents. Its scale must be the painter's.
  Graphic_Picture picture;
};

// The graphic's contents painted into a picture at the zoom and ratio, as the canvas
// would paint them (same clip, same pixel grid). A null picture when the graphic's area
// is empty, larger than max_pixels, or the graphic fails to draw.
Graphic_Picture Render_Graphic_Picture(CRDGraphic& graphic, double zoom, double device_pixel_ratio,
                                       double max_pixels);

// The pictures of a canvas's graphics at its current zoom and device pixel ratio, each
// kept until its graphic changes. The canvas drops a graphic's picture on every change it
// hears of and all of them when the zoom or ratio changes or someone reports changes made
// behind its back; the cache keeps the pictures and their memory in bounds.
//
// Many pictures at once (the first frame, a new zoom) are rendered on a worker thread
// from copies while the canvas paints the graphics as before; the canvas collects them
// at a later frame. A picture whose graphic was dropped meanwhile is not kept.
class Graphic_Picture_Cache {
 public:
  // At most this many bytes of pictures, and no one picture above a tenth of it.
  explicit Graphic_Picture_Cache(double max_bytes = 256.0 * 1024 * 1024);
  ~Graphic_Picture_Cache();
  Graphic_Picture_Cache(const Graphic_Picture_Cache&) = delete;
  Graphic_Picture_Cache& operator=(const Graphic_Picture_Cache&) = delete;

  // Drops every picture when the scale differs from the pictures' scale.
  void Set_Scale(double zoom, double device_pixel_ratio);
  double zoom() const { return zoom_; }
  double devicePixelRatio() const { return ratio_; }
  // The largest picture worth keeping, in pixels.
  double maxPicturePixels() const { return max_bytes_ / 10 / 4; }
  // Whether a picture of so many pixels would still be kept.
  bool hasRoomFor(double pixels) const { return bytes_ + pixels * 4 <= max_bytes_; }

  // The graphic's picture, or nullptr when there is none (a graphic at the address of a
  // removed one never finds the old picture).
  const Graphic_Picture* Find(const std::shared_ptr<CRDGraphic>& graphic) const;
  // Keeps the picture unless the budget is spent; answers whether it was kept.
  bool Store(const std::shared_ptr<CRDGraphic>& graphic, Graphic_Picture picture);
  void Drop(const CRDGraphic* graphic);
  void Clear();
  int count() const { return int(entries_.size()); }
  double bytes() const { return bytes_; }

  // Renders the graphics' pictures at the current scale on a worker thread, from copies
  // made now; nothing when a rendering is under way.
  void Render_Later(const Graphic_List& graphics);
  bool isRendering() const { return job_ != nullptr; }
  // Keeps the pictures of a finished rendering; waits for it first when asked to.
  void Collect(bool wait = false);

 private:
  struct Entry {
    std::weak_ptr<CRDGraphic> graphic;
    Graphic_Picture picture;
  };
  struct Job;
  void Abandon_Job();

  double max_bytes_;
  double zoom_ = 0, ratio_ = 0;
  double bytes_ = 0;
  std::unordered_map<const CRDGraphic*, Entry> entries_;
  std::shared_ptr<Job> job_;
  // Graphics dropped while the job renders: their pictures from it are out of date.
  std::unordered_set<const CRDGraphic*> dropped_during_job_;
};

// Paints the items one after the other (the first is the back-most) on the painter, which
// is in canvas points. An item with a picture has it drawn in place of its contents. A
// graphic that fails to draw leaves only its own area empty.
void Paint_Layer_Items(QPainter& painter, const std::vector<Layer_Item>& items);

// The items painted into a transparent picture of the area (widget pixels; the picture has
// area x device_pixel_ratio pixels and carries that ratio), the canvas being scaled by
// zoom. Worker threads paint the bands at the same time, each band copies of the graphics
// it shows that have no picture: every item's graphic must itself be a copy
// (CRDGraphic::clone) that nothing changes meanwhile. A null picture when the area is
// empty or too large to hold.
QImage Paint_Layer_In_Bands(const std::vector<Layer_Item>& items, const QRect& area, double zoom,
                            double device_pixel_ratio);
