#pragma once
// Painting the graphics of a canvas area: in order, each clipped to its drawing bounds,
// with selection handles where asked. A large area with many graphics is painted in
// horizontal bands on several threads at once into one transparent picture, which the
// canvas then lays over the card base. Band edges fall on pixel edges, so the picture
// equals a painting in one pass.

#include "model/CRDGraphic.h"

#include <QImage>
#include <QRect>
#include <QRectF>

#include <vector>

class QPainter;

struct Layer_Item {
  std::shared_ptr<CRDGraphic> graphic;
  bool being_created = false;  // drawn in its creation state
  bool handles = false;        // selection handles on top (red when locked)
};

// Paints the items one after the other (the first is the back-most) on the painter, which
// is in canvas points. A graphic that fails to draw leaves only its own area empty.
void Paint_Layer_Items(QPainter& painter, const std::vector<Layer_Item>& items);

// The items painted into a transparent picture of the area (widget pixels; the picture has
// area x device_pixel_ratio pixels and carries that ratio), the canvas being scaled by
// zoom. Worker threads paint the bands at the same time, each band copies of the graphics
// it shows: every item's graphic must itself be a copy (CRDGraphic::clone) that nothing
// changes meanwhile. A null picture when the area is empty or too large to hold.
QImage Paint_Layer_In_Bands(const std::vector<Layer_Item>& items, const QRect& area, double zoom,
                            double device_pixel_ratio);
