#pragma once
// A colour well: a swatch button that opens the platform's colour panel and keeps the
// design's colour (CRDColor) as it was given, alpha included.

#include "model/CRDColor.h"

#include <QToolButton>

class Color_Well : public QToolButton {
  Q_OBJECT

 public:
  explicit Color_Well(QWidget* parent = nullptr, const QString& name = {});

  const CRDColor& color() const { return color_; }
  // Shows the colour; announces nothing.
  void setColor(const CRDColor& color);

 signals:
  // The user chose a colour in the panel.
  void colorChanged();

 private:
  void choose();
  CRDColor color_;
};
