#include "model/Shape_Control.h"

#include "model/Shared_Design_State.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QLinearGradient>

#include <cmath>
#include <mutex>

namespace {

// Variant values 1 to 5 of the stars and polygons and the vertex counts they stand for.
constexpr int Double_Star_Vertices[5] = {7, 9, 11, 13, 15};
constexpr int Polygon_Vertices[5] = {8, 10, 12, 14, 16};  // 8: the four-pointed star

int vertices_of_variant(int variant, const int (&table)[5]) {
  if (variant >= 1 && variant <= 5) return table[variant - 1];
  return variant;  // any other value is the vertex count itself
}

QPointF single_precision(double x, double y) { return QPointF(float(x), float(y)); }

QPainterPath closed_polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  bool first = true;
  for (const QPointF& p : points) {
    if (first)
      path.moveTo(p);
    else
      path.lineTo(p);
    first = false;
  }
  path.closeSubpath();
  return path;
}

QPainterPath winding(QPainterPath path) {
  path.setFillRule(Qt::WindingFill);
  return path;
}

}  // namespace

// ---- Paths -------------------------------------------------------------------------------

QPainterPath Shape_Control::Rectangle_path() const {
  QPainterPath path;
  path.addRect(bounds());
  return winding(path);
}

QPainterPath Shape_Control::Circle_path() const {
  QPainterPath path;
  path.addEllipse(bounds());
  return winding(path);
}

QPainterPath Shape_Control::Rounded_Rectangle_path() const {
  // Radii larger than half the width or height are clamped to it, so a large radius
  // gives the oval and a radius of 0 the rectangle.
  const QRectF b = bounds();
  const double r = std::max(0.0, double(cor_rad_val_val));
  if (r == 0) return Rectangle_path();
  QPainterPath path;
  path.addRoundedRect(b, std::min(r, b.width() / 2), std::min(r, b.height() / 2));
  return winding(path);
}

QPainterPath Shape_Control::Triangle_path() const {
  const QRectF b = bounds();
  const double x = b.x(), y = b.y(), w = b.width(), h = b.height();
  return closed_polygon(
      {single_precision(x, y + h), single_precision(x + w / 2, y), single_precision(x + w, y + h)});
}

QPainterPath Shape_Control::Diamond_path() const {
  const QRectF b = bounds();
  const double x = b.x(), y = b.y(), w = b.width(), h = b.height();
  return closed_polygon({single_precision(x, y + h / 2), single_precision(x + w / 2, y),
                         single_precision(x + w, y + h / 2), single_precision(x + w / 2, y + h)});
}

QPainterPath Shape_Control::Custom_Polygon() const {
  const QRectF b = bounds();
  const double x = b.x(), y = b.y(), w = b.width(), h = b.height();
  return closed_polygon({{x, y},
                         {x + w / 2, y + h / 4},
                         {x + w, y},
                         {x + 3 * w / 4, y + h / 2},
                         {x + w, y + h},
                         {x + w / 2, y + 3 * h / 4},
                         {x, y + h},
                         {x + w / 4, y + h / 2}});
}

QPainterPath Shape_Control::Polygon_With_Diffrent_Sides(int n) const {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  if (n <= 0 || n > Max_Star_Vertices) return path;
  const QRectF b = bounds();
  const double cx = b.x() + b.width() / 2, cy = b.y() + b.height() / 2;
  const double rx = b.width() / 2, ry = b.height() / 2;
  const double step = 4 * M_PI / n;
  double angle = -M_PI / 2;  // straight up on the y-down canvas
  for (int i = 0; i < n; ++i, angle += step) {
    const QPointF vertex = single_precision(cx + rx * std::cos(angle), cy + ry * std::sin(angle));
    if (i == 0)
      path.moveTo(vertex);
    else
      path.lineTo(vertex);
  }
  path.closeSubpath();
  return path;
}

QPainterPath Shape_Control::bezierPathForDrawing() const {
  const QString& code = _shape_type;
  if (code == QLatin1String("R")) return Rectangle_path();
  if (code == QLatin1String("C")) return Circle_path();
  if (code == QLatin1String("RR")) return Rounded_Rectangle_path();
  if (code == QLatin1String("T")) return Triangle_path();
  if (code == QLatin1String("D")) return Diamond_path();
  if (code == QLatin1String("S")) return Polygon_With_Diffrent_Sides(5);
  if (code == QLatin1String("DS") || code == QLatin1String("P")) {
    const bool polygon = code == QLatin1String("P");
    const int variant = polygon ? polygon_type : double_star_type;
    // A stored value out of any sensible range draws nothing rather than building a
    // path of that many vertices.
    if (variant <= 0 || variant > Max_Star_Vertices) return winding(QPainterPath());
    const int n = vertices_of_variant(variant, polygon ? Polygon_Vertices : Double_Star_Vertices);
    if (polygon && n == 8) return Custom_Polygon();
    return Polygon_With_Diffrent_Sides(n);
  }
  return winding(QPainterPath());
}

// ---- Painting ----------------------------------------------------------------------------

void Shape_Control::drawContentsInView(QPainter& painter, bool) {
  if (!ctrl_is_visible) return;
  const QPainterPath path = bezierPathForDrawing();
  Painter_State_Guard guard(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  if (isDrawingFill()) {
    if (_fill_type == QLatin1String("G")) {
      Fill_With_Gradient(painter, path, fill_Grad_clr1().toQColor(), fill_Grad_clr2().toQColor(),
                         fill_grad_angle());
    } else if (_fill_type == QLatin1String("H")) {
      const QColor background = fill_hatch_bk_clr().toQColor();
      if (background.isValid()) painter.fillPath(path, background);
      Fill_With_Pattern(painter, path,
                        Cached_Picture_File(Hatch_Pattern_Path(Painting_Resource_Path(), _fill_hatch_type)));
    } else {
      const QColor color = fillColor().toQColor();
      if (color.isValid()) painter.fillPath(path, color);
    }
  }
  Stroke_Border(painter, *this, path);
}

bool Shape_Control::isContentsUnderPoint(const QPointF& point) const {
  return bezierPathForDrawing().contains(point);
}

// ---- Shared painting rules ---------------------------------------------------------------

QList<qreal> Border_Dash_Pattern(const QString& code) {
  if (code == QLatin1String("DA")) return {8, 2};
  if (code == QLatin1String("DO")) return {4, 6};
  if (code == QLatin1String("DD")) return {24, 10, 6, 10};
  if (code == QLatin1String("DDD")) return {24, 8, 8, 8, 8, 8};
  return {};
}

void Stroke_Border(QPainter& painter, CRDGraphic& graphic, const QPainterPath& path) {
  if (!graphic.isDrawingStroke()) return;
  const QColor color = graphic.strokeColor().toQColor();
  if (color.isValid())
    painter.strokePath(path, Border_Pen(color, graphic.strokeWidth(), graphic._stroke_border_type));
}

QPen Border_Pen(const QColor& color, double width, const QString& dash_code, Qt::PenCapStyle cap) {
  if (!(width > 0)) width = 0;  // negative or NaN: the thinnest line
  QPen pen(color, width, Qt::SolidLine, cap, Qt::MiterJoin);
  // A miter is cut off where it would reach ten line widths from the inner corner.
  pen.setMiterLimit(5.0);
  QList<qreal> dashes = Border_Dash_Pattern(dash_code);
  if (!dashes.isEmpty()) {
    // Qt measures dashes in pen widths; ours are points.
    const double unit = width > 0 ? width : 1.0;
    for (qreal& length : dashes) length /= unit;
    pen.setDashPattern(dashes);
    pen.setDashOffset(0);
  }
  return pen;
}

void Fill_With_Gradient(QPainter& painter, const QPainterPath& path, const QColor& start,
                        const QColor& end, double angle) {
  if (!start.isValid() || !end.isValid() || path.isEmpty()) return;
  const QRectF box = path.boundingRect();
  const double radians = angle * M_PI / 180.0;
  const double dx = std::cos(radians), dy = std::sin(radians);
  // Half the extent of the box along the direction: the start colour lies on the corner
  // furthest back, the end colour on the corner furthest ahead.
  double half = (std::abs(box.width() * dx) + std::abs(box.height() * dy)) / 2;
  if (!(half > 0)) half = 0.5;
  const QPointF centre = box.center();
  QLinearGradient gradient(centre - QPointF(dx * half, dy * half),
                           centre + QPointF(dx * half, dy * half));
  gradient.setColorAt(0, start);
  gradient.setColorAt(1, end);
  gradient.setSpread(QGradient::PadSpread);
  painter.fillPath(path, gradient);
}

void Fill_With_Pattern(QPainter& painter, const QPainterPath& path, const Picture& picture) {
  if (picture.isNull() || path.isEmpty()) return;
  const QSizeF points = picture.size();
  const QSize pixels = picture.image().size();
  if (!(points.width() > 0) || !(points.height() > 0) || pixels.isEmpty()) return;
  QBrush brush(picture.image());
  brush.setTransform(
      QTransform::fromScale(points.width() / pixels.width(), points.height() / pixels.height()));
  painter.fillPath(path, brush);
}

namespace {
thread_local const QString* painting_resource_path = nullptr;
}  // namespace

QString Painting_Resource_Path() {
  return painting_resource_path ? *painting_resource_path : Resource_Path;
}

Painting_Resources::Painting_Resources(const QString& resource_path)
    : previous_(painting_resource_path), resource_path_(resource_path) {
  painting_resource_path = &resource_path_;
}

Painting_Resources::~Painting_Resources() { painting_resource_path = previous_; }

const QStringList& Shipped_Hatch_Names() {
  static const QStringList names = {
      QStringLiteral("Backward_Diagonal"), QStringLiteral("Checker"),
      QStringLiteral("Cross"),             QStringLiteral("Diagonal_Cross"),
      QStringLiteral("Dots"),              QStringLiteral("Forward_Diagonal"),
      QStringLiteral("Horizontal"),        QStringLiteral("Vertical"),
  };
  return names;
}

QString Hatch_Pattern_Path(const QString& resource_path, const QString& name) {
  if (!Shipped_Hatch_Names().contains(name)) return {};
  return resource_path + QStringLiteral("/Fill_Style_Image/") + name + QStringLiteral(".png");
}

Picture Cached_Picture_File(const QString& path) {
  struct Entry {
    QDateTime modified;
    qint64 size = -1;
    Picture picture;
  };
  static std::mutex mutex;  // visible to the thread sanitizer, unlike QMutex
  static QHash<QString, Entry> cache;
  constexpr int max_entries = 64;

  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile()) {
    std::lock_guard<std::mutex> lock(mutex);
    cache.remove(path);
    return {};
  }
  const QDateTime modified = info.lastModified();
  const qint64 size = info.size();
  {
    std::lock_guard<std::mutex> lock(mutex);
    const auto it = cache.constFind(path);
    if (it != cache.constEnd() && it->modified == modified && it->size == size) return it->picture;
  }
  Picture picture = Picture::fromFile(path);
  std::lock_guard<std::mutex> lock(mutex);
  if (cache.size() >= max_entries) cache.clear();
  cache.insert(path, Entry{modified, size, picture});
  return picture;
}
