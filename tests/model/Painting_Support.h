#pragma once
// Helpers of the graphic kinds' pixel tests: paint one graphic on a small raster and read
// its pixels, a window double that records what the kinds ask of the design window.

#include "model/CRDGraphic.h"
#include "model/Card_Property.h"
#include "model/Design_Window_Services.h"
#include "model/Shared_Design_State.h"
#include "support/Test_Support.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdlib>

namespace painting_test {

// The graphic painted on a transparent raster of the size in points, `scale` pixels per
// point, the way the canvas and the renderer paint it (antialiased).
inline QImage Paint(CRDGraphic& graphic, QSizeF points, double scale = 1.0, bool creating = false) {
  QImage image(int(std::ceil(points.width() * scale)), int(std::ceil(points.height() * scale)),
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.scale(scale, scale);
  graphic.drawContentsInView(painter, creating);
  return image;
}

// The colour at a pixel, unpremultiplied.
inline QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// Colours that agree within the tolerance in every component, alpha included.
inline bool Near(const QColor& a, const QColor& b, int tolerance = 8) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

inline bool Transparent(const QImage& image, int x, int y) {
  return qAlpha(image.pixel(x, y)) == 0;
}

// True when some pixel of the row range (inclusive) is not transparent.
inline bool Has_Ink(const QImage& image, int top, int bottom) {
  for (int y = std::max(top, 0); y <= std::min(bottom, image.height() - 1); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) return true;
  return false;
}

// The lengths of the runs of painted (true) and blank (false) pixels along row y from x0
// to x1, starting with the state at x0.
inline std::vector<std::pair<bool, int>> Runs(const QImage& image, int y, int x0, int x1,
                                              int min_alpha = 128) {
  std::vector<std::pair<bool, int>> runs;
  for (int x = x0; x <= x1; ++x) {
    const bool ink = qAlpha(image.pixel(x, y)) >= min_alpha;
    if (runs.empty() || runs.back().first != ink)
      runs.push_back({ink, 1});
    else
      ++runs.back().second;
  }
  return runs;
}

// A design window that answers plain values and records the kinds' requests.
class Window_Double : public Design_Window_Services {
 public:
  Window_Double() { Set_Main_App_wnd(nullptr, this); }
  ~Window_Double() override { Set_Main_App_wnd(nullptr, nullptr); }
  Window_Double(const Window_Double&) = delete;
  Window_Double& operator=(const Window_Double&) = delete;

  QFont All_Text_font() const override { return QFont(); }
  CRDColor All_Text_clr() const override { return CRDColor::blackColor(); }
  QPointF Control_New_Point(const QString&) override { return {10, 10}; }
  QRectF Front_Canvas_Bounds() const override { return canvas; }
  void Set_Align_With_Grid_Enabled(bool) override {}
  void Refresh_Canvas() override {}
  void Reset_Image_Editing_Controls() override { ++image_control_resets; }
  Card_Property* Side_Card_Property(int side) override { return side == 0 ? &front : &back; }
  void Show_Card_Image_Path(const QString& path) override { shown_paths << path; }
  void Show_Card_Properties() override { ++sidebar_rebuilds; }

  QRectF canvas;
  Card_Property front, back;
  int image_control_resets = 0;
  QStringList shown_paths;
  int sidebar_rebuilds = 0;
};

// A picture of one colour, `pixels` big, meant to be drawn at `points`.
inline Picture Solid_Picture(QSize pixels, QColor color, QSizeF points = {}) {
  QImage image(pixels, QImage::Format_ARGB32);
  image.fill(color);
  return points.isEmpty() ? Picture(image, QSizeF(pixels)) : Picture(image, points);
}

// A picture whose four quadrants are red (top left), green (top right), blue (bottom
// left) and yellow (bottom right).
inline QImage Quadrant_Image(QSize pixels) {
  QImage image(pixels, QImage::Format_ARGB32);
  const int w = pixels.width(), h = pixels.height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool right = x >= w / 2, bottom = y >= h / 2;
      image.setPixelColor(
          x, y, !bottom ? (right ? Qt::green : Qt::red) : (right ? Qt::yellow : Qt::blue));
    }
  return image;
}

}  // namespace painting_test
