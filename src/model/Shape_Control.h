#pragma once
// A geometric figure inside the bounds, chosen by the shape code, and the painting rules
// that every kind of object shares: the border dash table, the gradient and pattern
// fills, and the pen of a border.

#include "model/CRDGraphic.h"

#include <QColor>
#include <QList>
#include <QStringList>
#include <QPainter>
#include <QPen>

class Shape_Control : public CRDGraphic {
 public:
  Shape_Control() = default;
  explicit Shape_Control(Bare bare) : CRDGraphic(bare) {}

  QString className() const override { return QStringLiteral("Shape_Control"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<Shape_Control>(); }

  // The figure of the shape code for the current bounds, built anew at every call:
  // "R" rectangle, "C" oval, "RR" rounded rectangle, "T" triangle, "D" diamond, "S"
  // five-pointed star, "DS" star of 7 to 15 points, "P" polygon or four-pointed star;
  // any other code an empty path. Non-zero winding.
  QPainterPath bezierPathForDrawing() const override;

  QPainterPath Rectangle_path() const;
  QPainterPath Circle_path() const;
  QPainterPath Rounded_Rectangle_path() const;
  QPainterPath Triangle_path() const;
  QPainterPath Diamond_path() const;
  // The four-pointed star with its points in the corners of the bounds.
  QPainterPath Custom_Polygon() const;
  // n vertices on the ellipse of the bounds, starting at the top and stepping two n-ths
  // of a turn: an odd n draws an n-pointed star, an even n the polygon of n/2 sides.
  // Empty for n of 0 or less and for n above Max_Star_Vertices.
  QPainterPath Polygon_With_Diffrent_Sides(int n) const;
  static constexpr int Max_Star_Vertices = 64;

  // Fill by the fill code, then the border.
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;
  // Inside the figure (whatever the fill and border settings).
  bool isContentsUnderPoint(const QPointF& point) const override;
};

// ---- Painting rules shared by the kinds and the card base ------------------------------

// The dash lengths in points of a border code, painted and blank runs alternating:
// "DA" 8 2, "DO" 4 6, "DD" 24 10 6 10, "DDD" 24 8 8 8 8 8; solid (empty) for "S" and any
// other code.
QList<qreal> Border_Dash_Pattern(const QString& code);

// The pen of a border or line: the width in points, the dash code's lengths in absolute
// points (they do not grow with the width), miter joins and the cap.
QPen Border_Pen(const QColor& color, double width, const QString& dash_code,
                Qt::PenCapStyle cap = Qt::FlatCap);

// Strokes the path with the graphic's border (colour with its opacity, width, dash code)
// when its stroke is on and it has a colour.
void Stroke_Border(QPainter& painter, CRDGraphic& graphic, const QPainterPath& path);

// Fills the path with a linear gradient from start to end at the angle in degrees,
// measured in the canvas space (y down): 0 runs from left to right, 90 from top to
// bottom. The gradient spans the path's bounding box along that direction.
void Fill_With_Gradient(QPainter& painter, const QPainterPath& path, const QColor& start,
                        const QColor& end, double angle);

// Fills the path with the picture repeated at its size in points, tiles aligned to the
// painter's origin (they do not follow the shape when it moves).
void Fill_With_Pattern(QPainter& painter, const QPainterPath& path, const Picture& picture);

// The names of the hatch patterns the program ships ("Checker", "Dots", ...), in name order.
const QStringList& Shipped_Hatch_Names();
// The file of a hatch pattern: <resource folder>/Fill_Style_Image/<name>.png, for the name
// of a shipped pattern exactly; "" (no pattern) for any other name. A name is never followed
// as a path, so a design cannot make a card paint another picture file ("../../x/red").
QString Hatch_Pattern_Path(const QString& resource_path, const QString& name);

// The resource folder painting on this thread takes its pictures from (hatch patterns, the
// barcode and signature samples): the folder of the innermost Painting_Resources scope open
// on this thread, else Resource_Path. A renderer painting a snapshot opens a scope with the
// snapshot's folder, so what it draws never depends on the global.
QString Painting_Resource_Path();

class Painting_Resources {
 public:
  explicit Painting_Resources(const QString& resource_path);
  ~Painting_Resources();
  Painting_Resources(const Painting_Resources&) = delete;
  Painting_Resources& operator=(const Painting_Resources&) = delete;

 private:
  const QString* previous_;
  QString resource_path_;
};

// A picture file read through a process-wide cache that notices when the file changes;
// a null picture when the file cannot be read. Safe on any thread.
Picture Cached_Picture_File(const QString& path);

// The painter's state saved on construction and restored on destruction (also when
// painting throws).
class Painter_State_Guard {
 public:
  explicit Painter_State_Guard(QPainter& painter) : painter_(painter) { painter_.save(); }
  ~Painter_State_Guard() { painter_.restore(); }
  Painter_State_Guard(const Painter_State_Guard&) = delete;
  Painter_State_Guard& operator=(const Painter_State_Guard&) = delete;

 private:
  QPainter& painter_;
};
