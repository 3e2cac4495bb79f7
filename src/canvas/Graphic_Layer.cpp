#include "canvas/Graphic_Layer.h"

#include "platform/Thread_Handover.h"

#include <QCoreApplication>
#include <QPainter>
#include <QSemaphore>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>

namespace {

// Band height in device pixels: small enough to share the work out evenly.
constexpr int Band_Height = 128;
constexpr double Max_Layer_Bytes = double(1u << 30);

// The threads that paint bands, apart from the calling thread. Only the main thread
// submits (one painting at a time), so the bands never wait behind unrelated work. The
// application owns it, so that its threads end with the application's and can be found
// with the application's other pools.
QThreadPool& band_pool() {
  static QThreadPool* pool = [] {
    auto* p = new QThreadPool(QCoreApplication::instance());
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

// Runs task(0) .. task(count - 1) on the pool's threads and the calling thread, and
// returns when all have run. Only the main thread calls it (one sharing at a time).
void Share_Out(int count, const std::function<void(int)>& task) {
  if (count <= 0) return;
  struct Shared {
    const std::function<void(int)>* task;
    int count;
    std::atomic<int> next{0};
    QSemaphore done;
  };
  auto shared = std::make_shared<Shared>();
  shared->task = &task;
  shared->count = count;
  // Runs the tasks not yet taken; answers how many this thread ran.
  auto work = [](Shared& s) {
    int ran = 0;
    for (int i; (i = s.next.fetch_add(1)) < s.count; ++ran) (*s.task)(i);
    return ran;
  };
  const int helpers = std::min(band_pool().maxThreadCount(), count - 1);
  for (int i = 0; i < helpers; ++i)
    platform::Start_Task(band_pool(), [shared, work] {
      const int ran = work(*shared);
      platform::Handed_Over(shared.get());
      shared->done.release(ran);
    });
  const int ran_here = work(*shared);
  // Late helpers find no task left (and touch only `shared`); only the tasks still
  // running are waited for.
  shared->done.acquire(count - ran_here);
  platform::Taken_Over(shared.get());
}

bool whole_pixel(double v) { return std::abs(v - std::round(v)) < 1e-6; }

// The device pixels a picture of the bounds covers at the scale.
QRect picture_pixels(const QRectF& bounds, double scale) {
  if (!(bounds.width() > 0) || !(bounds.height() > 0)) return {};
  return QRectF(bounds.topLeft() * scale, bounds.size() * scale).toAlignedRect();
}

// The picture drawn where the painter (in canvas points) puts its graphic, when the
// painter's scale is the picture's and the picture lands on whole device pixels. Only the
// painter's own transformation counts: where the device puts the painter's origin (a
// child widget in its window) is kept by resetting that transformation.
bool draw_picture(QPainter& painter, const Graphic_Picture& picture) {
  const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  const QTransform points = painter.combinedTransform();
  painter.save();
  painter.resetTransform();
  // Without a transformation of its own the painter is in logical pixels, or already in
  // device pixels (a picture of a high resolution device): device pixels per unit.
  const double unit = ratio / painter.combinedTransform().m11();
  const double scale = points.m11() * unit;
  const QPointF at = points.map(QPointF(0, 0)) * unit + QPointF(picture.origin);
  const bool fits = points.type() <= QTransform::TxScale &&
                    std::abs(points.m22() - points.m11()) < 1e-9 &&
                    std::abs(scale - picture.scale) < 1e-9 &&
                    std::abs(picture.image.devicePixelRatio() - ratio) < 1e-9 &&
                    whole_pixel(at.x()) && whole_pixel(at.y());
  if (fits)
    painter.drawImage(QPointF(std::round(at.x()), std::round(at.y())) / ratio, picture.image);
  painter.restore();
  return fits;
}

}  // namespace

Graphic_Picture Render_Graphic_Picture(CRDGraphic& graphic, double zoom, double device_pixel_ratio,
                                       double max_pixels) {
  if (!(zoom > 0) || !(device_pixel_ratio > 0)) return {};
  const double scale = zoom * device_pixel_ratio;
  const QRectF bounds = graphic.drawingBounds();
  const QRect pixels = picture_pixels(bounds, scale);
  if (pixels.isEmpty() || double(pixels.width()) * pixels.height() > max_pixels) return {};
  QImage image(pixels.size(), QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return {};
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    set_hints(painter);
    painter.translate(-pixels.topLeft());
    painter.scale(scale, scale);
    painter.setClipRect(bounds, Qt::IntersectClip);
    try {
      graphic.drawContentsInView(painter, false);
    } catch (...) {
      return {};
    }
  }
  image.setDevicePixelRatio(device_pixel_ratio);
  return {std::move(image), pixels.topLeft(), scale};
}

// ---- Graphic_Picture_Cache ---------------------------------------------------------------

// A rendering on a worker thread. The worker owns its copies and writes only here; the
// cache reads the pictures once `done` is set.
struct Graphic_Picture_Cache::Job {
  std::vector<std::weak_ptr<CRDGraphic>> graphics;  // the originals, by position
  Graphic_List copies;
  std::vector<Graphic_Picture> pictures;
  double zoom = 0, ratio = 0, max_pixels = 0;
  std::atomic<bool> started{false};
  std::atomic<bool> cancelled{false};
  std::atomic<bool> done{false};
  QSemaphore finished;

  // Hands the job to a worker, once.
  static void Start(const std::shared_ptr<Job>& job) {
    if (job->started.exchange(true)) return;
    platform::Start_Task(*QThreadPool::globalInstance(), [job] { job->Run(); });
  }

  void Run() {
    for (size_t i = 0; i < copies.size() && !cancelled.load(); ++i)
      pictures[i] = Render_Graphic_Picture(*copies[i], zoom, ratio, max_pixels);
    copies.clear();
    platform::Handed_Over(this);
    done.store(true);
    finished.release();
  }
};

Graphic_Picture_Cache::Graphic_Picture_Cache(double max_bytes) : max_bytes_(max_bytes) {}

Graphic_Picture_Cache::~Graphic_Picture_Cache() { Abandon_Job(); }

void Graphic_Picture_Cache::Abandon_Job() {
  if (job_) job_->cancelled.store(true);  // the worker ends early and frees its copies
  job_.reset();
  dropped_during_job_.clear();
}

void Graphic_Picture_Cache::Render_Later(const Graphic_List& graphics) {
  if (job_ || graphics.empty()) return;
  auto job = std::make_shared<Job>();
  job->zoom = zoom_;
  job->ratio = ratio_;
  job->max_pixels = maxPicturePixels();
  job->pictures.resize(graphics.size());
  for (const auto& graphic : graphics) {
    job->graphics.push_back(graphic);
    job->copies.push_back(graphic->clone());
  }
  job_ = job;
  // Started once control returns to the event loop, so that the worker does not compete
  // with the bands of the frame being painted.
  QTimer::singleShot(0, [job] { Job::Start(job); });
}

void Graphic_Picture_Cache::Collect(bool wait) {
  if (!job_) return;
  if (wait) {
    Job::Start(job_);
    job_->finished.acquire();
    job_->finished.release();
    platform::Taken_Over(job_.get());
  }
  if (!job_->done.load()) return;
  const std::shared_ptr<Job> job = std::exchange(job_, nullptr);
  const std::unordered_set<const CRDGraphic*> dropped = std::exchange(dropped_during_job_, {});
  for (size_t i = 0; i < job->graphics.size(); ++i) {
    const std::shared_ptr<CRDGraphic> graphic = job->graphics[i].lock();
    if (!graphic || dropped.count(graphic.get()) || Find(graphic)) continue;
    Store(graphic, std::move(job->pictures[i]));
  }
}

void Graphic_Picture_Cache::Set_Scale(double zoom, double device_pixel_ratio) {
  if (zoom == zoom_ && device_pixel_ratio == ratio_) return;
  Clear();
  zoom_ = zoom;
  ratio_ = device_pixel_ratio;
}

const Graphic_Picture* Graphic_Picture_Cache::Find(
    const std::shared_ptr<CRDGraphic>& graphic) const {
  const auto it = entries_.find(graphic.get());
  if (it == entries_.end() || it->second.graphic.lock() != graphic) return nullptr;
  return &it->second.picture;
}

bool Graphic_Picture_Cache::Store(const std::shared_ptr<CRDGraphic>& graphic,
                                  Graphic_Picture picture) {
  if (!graphic || picture.isNull()) return false;
  Drop(graphic.get());
  const double size = double(picture.image.sizeInBytes());
  if (size > max_bytes_ / 10) return false;
  if (bytes_ + size > max_bytes_) {
    // Pictures of graphics that are gone first; then there is no room.
    for (auto it = entries_.begin(); it != entries_.end();)
      if (it->second.graphic.expired()) {
        bytes_ -= double(it->second.picture.image.sizeInBytes());
        it = entries_.erase(it);
      } else {
        ++it;
      }
    if (bytes_ + size > max_bytes_) return false;
  }
  bytes_ += size;
  entries_[graphic.get()] = Entry{graphic, std::move(picture)};
  return true;
}

void Graphic_Picture_Cache::Drop(const CRDGraphic* graphic) {
  if (job_) dropped_during_job_.insert(graphic);
  const auto it = entries_.find(graphic);
  if (it == entries_.end()) return;
  bytes_ -= double(it->second.picture.image.sizeInBytes());
  entries_.erase(it);
}

void Graphic_Picture_Cache::Clear() {
  Abandon_Job();
  entries_.clear();
  bytes_ = 0;
}

// ---- Painting ----------------------------------------------------------------------------

void Paint_Layer_Items(QPainter& painter, const std::vector<Layer_Item>& items) {
  for (const Layer_Item& item : items) {
    CRDGraphic& graphic = *item.graphic;
    painter.save();
    painter.setClipRect(graphic.drawingBounds(), Qt::IntersectClip);
    try {
      if (item.picture.isNull() || !draw_picture(painter, item.picture))
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

  uchar* const bits = layer.bits();
  const qsizetype bytes_per_line = layer.bytesPerLine();
  const double ratio = device_pixel_ratio;
  const int bands = (height + Band_Height - 1) / Band_Height;
  // Pictures land on whole pixels of the bands only when the area does.
  const bool pictures_fit = whole_pixel(area.x() * ratio) && whole_pixel(area.y() * ratio);
  Share_Out(bands, [&](int band) {
    const int top = band * Band_Height;
    const int rows = std::min(Band_Height, height - top);
    // A view of the band's rows of the layer: the threads write disjoint memory.
    QImage view(bits + top * bytes_per_line, width, rows, bytes_per_line,
                QImage::Format_ARGB32_Premultiplied);
    view.setDevicePixelRatio(ratio);
    const QRectF band_area(area.x(), area.y() + top / ratio, width / ratio, rows / ratio);
    const QRectF points(band_area.topLeft() / zoom, band_area.size() / zoom);
    // Painting may change a graphic (its colour getters store), and a graphic can lie in
    // several bands: each band paints copies of its own. A picture and the handles are
    // drawn without changing the graphic.
    std::vector<Layer_Item> band_items;
    for (const Layer_Item& item : items)
      if (item.graphic->drawingBounds().intersects(points)) {
        band_items.push_back(item);
        Layer_Item& copy = band_items.back();
        if (!pictures_fit || std::abs(item.picture.scale - zoom * ratio) > 1e-9) copy.picture = {};
        if (copy.picture.isNull()) copy.graphic = item.graphic->clone();
      }
    if (band_items.empty()) return;
    QPainter painter(&view);
    set_hints(painter);
    painter.translate(-band_area.topLeft());
    painter.scale(zoom, zoom);
    Paint_Layer_Items(painter, band_items);
  });
  return layer;
}
