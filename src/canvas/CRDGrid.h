#pragma once
// The canvas grid: spacing, line colour, permanent showing, snapping, and a temporary
// showing of one second after each spacing change.

#include "model/CRDColor.h"

#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QTimer>

class QPainter;

extern const QString CRDGridAnyKey;  // "any"
constexpr int CRDGridTemporaryShowingTimeMs = 1000;

class CRDGrid : public QObject {
  Q_OBJECT

 public:
  explicit CRDGrid(QObject* parent = nullptr);

  // Fields the design window also writes directly (then calls setAlwaysShown to have
  // the canvas redraw).
  CRDColor _color = CRDColor::lightGrayColor();
  double _spacing = 9.0;

  CRDColor color() const { return _color; }
  void setColor(const CRDColor& color);
  double spacing() const { return _spacing; }
  void setSpacing(double spacing);
  bool isAlwaysShown() const { return _isAlwaysShown; }
  void setAlwaysShown(bool shown);
  bool isConstraining() const { return _isConstraining; }
  void setConstraining(bool constraining);

  bool isUsable() const { return _spacing > 0; }
  bool canSetColor() const { return _isAlwaysShown && isUsable(); }
  bool canSetSpacing() const { return _isAlwaysShown || _isConstraining; }
  bool canAlign() const { return isUsable(); }
  // True while a temporary showing is pending.
  bool isShownTemporarily() const { return _hidingTimer.isActive(); }

  QPointF constrainedPoint(const QPointF& point) const;
  QRectF alignedRect(const QRectF& rect) const;
  // Draws the grid lines crossing the rectangle (canvas points), one hairline path.
  void drawRect(QPainter& painter, const QRectF& rect) const;

  // Ends a temporary showing (the timer's action).
  void stopShowingGridForTimer();

 signals:
  // Sent for every setter call with its key, then with "any"; also "any" alone when a
  // temporary showing ends. Derived keys ("usable", "canSetColor", "canSetSpacing")
  // change with the keys they depend on.
  void valueChanged(const QString& key);

 private:
  void notify(const QString& key);

  bool _isAlwaysShown = false;
  bool _isConstraining = false;
  QTimer _hidingTimer;
};
