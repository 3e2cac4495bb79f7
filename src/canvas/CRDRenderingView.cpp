#include "canvas/CRDRenderingView.h"

#include "canvas/ImageProcesser.h"
#include "model/Common_Functions.h"
#include "model/Design_Window_Services.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <utility>
#include <cstring>
#include <exception>

namespace {

// A card picture of 256 MB is about 690 x 690 mm at 300 dpi; runs hold two of them at most
// (Record_Renderer::Run_Picture_Bytes).
constexpr double Max_Raster_Side = 32767;
constexpr double Max_Raster_Bytes = double(256u << 20);

// Paints the graphics from the last index to the first, as the renderer must; the first
// one that throws ends the painting.
Render_Report paint_graphics(QPainter& painter, const Graphic_List& graphics) {
  Render_Report report;
  for (auto it = graphics.rbegin(); it != graphics.rend(); ++it) {
    CRDGraphic* graphic = it->get();
    if (!graphic || graphic->print_object != 0) continue;
    painter.save();
    try {
      graphic->drawContentsInView(painter, false);
    } catch (const std::exception& e) {
      report = {true, QString::fromUtf8(e.what())};
    } catch (...) {
      report = {true, QStringLiteral("A graphic could not be drawn.")};
    }
    painter.restore();
    if (report.failed) break;
  }
  return report;
}

// Width and height in pixels, as doubles (they may be too large for a raster).
std::pair<double, double> raster_extent(const QRectF& frame, double dpi) {
  if (!(dpi > 0) || !(frame.width() > 0) || !(frame.height() > 0)) return {0, 0};
  return {std::ceil(dpi * frame.width() / 72 - 1e-9), std::ceil(dpi * frame.height() / 72 - 1e-9)};
}

QSize raster_size(const QRectF& frame, double dpi) {
  const auto [w, h] = raster_extent(frame, dpi);
  if (!(w > 0) || !(h > 0)) return {};
  if (!(w <= Max_Raster_Side) || !(h <= Max_Raster_Side) || w * h * 4 > Max_Raster_Bytes) return {};
  return QSize(int(w), int(h));
}

void set_resolution(QImage& image, double dpi) {
  const int dots_per_meter = qRound(dpi / 0.0254);
  image.setDotsPerMeterX(dots_per_meter);
  image.setDotsPerMeterY(dots_per_meter);
}

// A painter on the raster, in points, with the frame's origin at the raster's corner.
void to_points(QPainter& painter, const QRectF& frame, double dpi) {
  painter.scale(dpi / 72, dpi / 72);
  painter.translate(-frame.topLeft());
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
}

}  // namespace

QSize Card_Picture_Size(const QRectF& frame, double dpi) { return raster_size(frame, dpi); }

Render_Report Paint_Card_Side(QPainter& painter, const Card_Side_Snapshot& snapshot,
                              const QRectF& rect) {
  ImageProcesser::Install();
  // The graphics take their resource pictures from the snapshot's folder too.
  const Painting_Resources resources(snapshot.resource_path);
  Paint_Card_Base(painter, rect, snapshot.side, snapshot.card_shape, snapshot.frame,
                  snapshot.resource_path);
  return paint_graphics(painter, snapshot.graphics);
}

Picture Render_Card_Picture(const Card_Side_Snapshot& snapshot, double dpi, Render_Report* report,
                            QImage* canvas) {
  const QSize pixels = raster_size(snapshot.frame, dpi);
  if (pixels.isEmpty()) {
    const auto [w, h] = raster_extent(snapshot.frame, dpi);
    const QString why =
        w > 0 && h > 0
            ? QStringLiteral("The card picture of %1 x %2 mm at %3 dpi would be %4 x %5 pixels "
                             "(%6 MB); a card picture may take at most %7 MB and %8 pixels a "
                             "side. Make the card smaller or choose a lower resolution.")
                  .arg(std::round(snapshot.frame.width() * 0.3527777777778))
                  .arg(std::round(snapshot.frame.height() * 0.3527777777778))
                  .arg(dpi)
                  .arg(w, 0, 'f', 0)
                  .arg(h, 0, 'f', 0)
                  .arg(std::ceil(w * h * 4 / (1 << 20)), 0, 'f', 0)
                  .arg(Max_Raster_Bytes / (1 << 20), 0, 'f', 0)
                  .arg(Max_Raster_Side, 0, 'f', 0)
            : QStringLiteral("The card has no size; no card picture is made.");
    Show_NSLog_Message(why);
    if (report && w > 0 && h > 0) *report = {true, why};
    return {};
  }
  QImage own;
  QImage& image = canvas ? *canvas : own;
  if (image.size() != pixels || image.format() != QImage::Format_ARGB32_Premultiplied ||
      !image.isDetached())
    image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) {
    const QString why = QStringLiteral("Not enough memory for the card picture of %1 x %2 pixels.")
                            .arg(pixels.width())
                            .arg(pixels.height());
    Show_NSLog_Message(why);
    if (report) *report = {true, why};
    return {};
  }
  // Transparent is all bits clear; cleared on this thread (QImage::fill hands a raster
  // this large to Qt's thread pool in pieces, costly when every core renders already).
  std::memset(image.bits(), 0, size_t(image.sizeInBytes()));
  Render_Report painted;
  {
    QPainter painter(&image);
    to_points(painter, snapshot.frame, dpi);
    painted = Paint_Card_Side(painter, snapshot, snapshot.frame);
  }
  set_resolution(image, dpi);
  if (report) *report = painted;
  return Picture(canvas ? image : std::move(image), snapshot.frame.size());
}

QByteArray Render_Card_PDF(const Card_Side_Snapshot& snapshot, Render_Report* report) {
  const QRectF frame = snapshot.frame;
  if (!(frame.width() > 0) || !(frame.height() > 0)) {
    Show_NSLog_Message(QStringLiteral("The card has no size; no PDF is made."));
    return {};
  }
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  Render_Report painted;
  {
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Lumigrove"));
    writer.setPageLayout(QPageLayout(QPageSize(frame.size(), QPageSize::Point),
                                     QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&writer)) {
      Show_NSLog_Message(QStringLiteral("The PDF of the card cannot be made."));
      return {};
    }
    to_points(painter, frame, writer.resolution());
    painted = Paint_Card_Side(painter, snapshot, frame);
    painter.end();
  }
  if (report) *report = painted;
  return data;
}

Card_Side_Snapshot Current_Card_Side(const Graphic_List& graphics) {
  Card_Side_Snapshot snapshot;
  if (const Card_Property* side = Window_Side_Card_Property(Card_Front_Or_Back == 0 ? 0 : 1))
    snapshot.side = *side;
  snapshot.card_shape = Card_Shape;
  snapshot.frame = Window_Front_Canvas_Bounds();
  snapshot.resource_path = Resource_Path;
  snapshot.graphics = graphics;
  return snapshot;
}

// ---- The view ------------------------------------------------------------------------------

CRDRenderingView::CRDRenderingView(const QRectF& frame, Graphic_List graphics,
                                   QString printJobTitle)
    : frame_(frame), graphics_(std::move(graphics)), printJobTitle_(std::move(printJobTitle)) {}

Render_Report CRDRenderingView::drawRect(QPainter& painter, const QRectF& rect) const {
  ImageProcesser::Install();
  Card_Base_Drawing(painter, rect);
  return paint_graphics(painter, graphics_);
}

Picture CRDRenderingView::image_From_Card_Graphics(const Graphic_List& graphics, bool, double dpi) {
  Render_Report report;
  Picture picture = Render_Card_Picture(Current_Card_Side(graphics), dpi, &report);
  if (report.failed) Show_MessageBox(report.reason);
  return picture;
}

QByteArray CRDRenderingView::pdfDataWithGraphics_data(const Graphic_List& graphics) {
  Render_Report report;
  QByteArray data = Render_Card_PDF(Current_Card_Side(graphics), &report);
  if (report.failed) Show_MessageBox(report.reason);
  return data;
}

QByteArray CRDRenderingView::tiffDataWithGraphics(const Graphic_List& graphics, CRDError* error,
                                                  double dpi) {
  ImageProcesser::Install();
  const QRectF area = CRDGraphic::drawingBoundsOfGraphics(graphics);
  if (!(area.width() > 0) || !(area.height() > 0)) {
    if (error) *error = CRDErrorWithCode(3);
    return {};
  }
  const QSize pixels = raster_size(area, dpi);
  QImage image;
  if (!pixels.isEmpty()) image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) {
    Show_NSLog_Message(QStringLiteral("The picture of the graphics cannot be made."));
    return {};
  }
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    to_points(painter, area, dpi);
    for (auto it = graphics.rbegin(); it != graphics.rend(); ++it) {
      CRDGraphic* graphic = it->get();
      if (!graphic) continue;
      painter.save();
      painter.setClipRect(graphic->drawingBounds(), Qt::IntersectClip);
      bool failed = false;
      try {
        graphic->drawContentsInView(painter, false);
      } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
        failed = true;
      }
      painter.restore();
      if (failed) break;
    }
  }
  set_resolution(image, dpi);
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "tiff");
  if (!writer.write(image)) {
    Show_NSLog_Message(writer.errorString());
    return {};
  }
  return data;
}
