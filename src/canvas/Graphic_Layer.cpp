#include "canvas/Graphic_Layer.h"

#include <QPainter>
#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

namespace {

// Band height in device pixels: small enough to share the work out evenly.
constexpr int Band_Height = 128;
constexpr double Max_Layer_Bytes = double(1u << 30);

// The threads that paint bands, apart from the calling thread. Only the main thread
// submits (one painting at a time), so the bands never wait behind unrelated work.
QThreadPool& band_pool() {
  static QThreadPool* pool = [] {
    auto* p = new QThreadPool;
    p->setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    return p;
  }();
  return *pool;
}

void set_hints(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
}

}  // namespace

void Paint_Layer_Items(QPainter& painter, const std::vector<Layer_Item>& items) {
  for (const Layer_Item& item : items) {
    CRDGraphic& graphic = *item.graphic;
    painter.save();
    painter.setClipRect(graphic.drawingBounds(), Qt::IntersectClip);
    try {
      graphic.drawContentsInView(painter, item.being_created);
      if (item.handles) graphic.drawHandlesInView(painter, graphic.ctrl_is_locked);
    } catch (...) {
      // Only this graphic's area stays empty.
    }
    painter.restore();
  }
}

QImage Paint_Layer_In_Bands(const std::vector<Layer_Item>& items, const QRect& area, double zoom,
                            double device_pixel_ratio) {
  if (area.isEmpty() || !(zoom > 0) || !(device_pixel_ratio > 0)) return {};
  const int width = int(std::ceil(area.width() * device_pixel_ratio));
  const int height = int(std::ceil(area.height() * device_pixel_ratio));
  if (double(width) * height * 4 > Max_Layer_Bytes) return {};
  QImage layer(width, height, QImage::Format_ARGB32_Premultiplied);
  if (layer.isNull()) return {};
  layer.fill(Qt::transparent);
  layer.setDevicePixelRatio(device_pixel_ratio);

  struct Shared {
    const std::vector<Layer_Item>* items;
    QRect area;
    double zoom, ratio;
    uchar* bits;
    qsizetype bytes_per_line;
    int width, height, bands;
    std::atomic<int> next{0};
    QSemaphore done;
  };
  auto shared = std::make_shared<Shared>();
  shared->items = &items;
  shared->area = area;
  shared->zoom = zoom;
  shared->ratio = device_pixel_ratio;
  shared->bits = layer.bits();
  shared->bytes_per_line = layer.bytesPerLine();
  shared->width = width;
  shared->height = height;
  shared->bands = (height + Band_Height - 1) / Band_Height;

  // Paints the bands not yet taken; answers how many this thread painted.
  auto work = [](Shared& s) {
    int painted = 0;
    for (int band; (band = s.next.fetch_add(1)) < s.bands; ++painted) {
      const int top = band * Band_Height;
      const int rows = std::min(Band_Height, s.height - top);
      // A view of the band's rows of the layer: the threads write disjoint memory.
      QImage view(s.bits + top * s.bytes_per_line, s.width, rows, s.bytes_per_line,
                  QImage::Format_ARGB32_Premultiplied);
      view.setDevicePixelRatio(s.ratio);
      const QRectF band_area(s.area.x(), s.area.y() + top / s.ratio, s.width / s.ratio,
                             rows / s.ratio);
      const QRectF points(band_area.topLeft() / s.zoom, band_area.size() / s.zoom);
      // Painting may change a graphic (its colour getters store), and a graphic can lie in
      // several bands: each band paints copies of its own.
      std::vector<Layer_Item> band_items;
      for (const Layer_Item& item : *s.items)
        if (item.graphic->drawingBounds().intersects(points))
          band_items.push_back({item.graphic->clone(), item.being_created, item.handles});
      if (band_items.empty()) continue;
      QPainter painter(&view);
      set_hints(painter);
      painter.translate(-band_area.topLeft());
      painter.scale(s.zoom, s.zoom);
      Paint_Layer_Items(painter, band_items);
    }
    return painted;
  };

  const int helpers = std::min(band_pool().maxThreadCount(), shared->bands - 1);
  for (int i = 0; i < helpers; ++i)
    band_pool().start([shared, work] { shared->done.release(work(*shared)); });
  const int painted_here = work(*shared);
  // Late helpers find no band left; only the bands still being painted are waited for.
  shared->done.acquire(shared->bands - painted_here);
  return layer;
}
