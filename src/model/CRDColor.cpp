#include "model/CRDColor.h"

#include <algorithm>

namespace {
double unit(double v) { return std::clamp(v, 0.0, 1.0); }
}  // namespace

CRDColor CRDColor::rgb(double red, double green, double blue, double alpha, Space space) {
  CRDColor c;
  c.valid_ = true;
  c.space_ = space;
  c.c_[0] = red;
  c.c_[1] = green;
  c.c_[2] = blue;
  c.alpha_ = alpha;
  return c;
}

CRDColor CRDColor::white(double white, double alpha, Space space) {
  CRDColor c;
  c.valid_ = true;
  c.space_ = space;
  c.c_[0] = c.c_[1] = c.c_[2] = white;
  c.alpha_ = alpha;
  return c;
}

CRDColor CRDColor::fromQColor(const QColor& color) {
  if (!color.isValid()) return {};
  const QColor rgb = color.toRgb();
  return CRDColor::rgb(rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF());
}

CRDColor CRDColor::colorWithAlphaComponent(double alpha) const {
  if (!valid_) return {};
  CRDColor c = *this;
  c.alpha_ = alpha;
  return c;
}

CRDColor CRDColor::toRGB() const {
  if (!valid_ || !isWhiteSpace()) return *this;
  return rgb(c_[0], c_[0], c_[0], alpha_);
}

QColor CRDColor::toQColor() const {
  if (!valid_) return {};
  return QColor::fromRgbF(float(unit(redComponent())), float(unit(greenComponent())),
                          float(unit(blueComponent())), float(unit(alpha_)));
}

bool CRDColor::operator==(const CRDColor& other) const {
  if (valid_ != other.valid_) return false;
  if (!valid_) return true;
  return space_ == other.space_ && c_[0] == other.c_[0] && c_[1] == other.c_[1] &&
         c_[2] == other.c_[2] && alpha_ == other.alpha_;
}

QString CRDColor::debugText() const {
  if (!valid_) return QStringLiteral("(no colour)");
  if (isWhiteSpace()) return QStringLiteral("white %1 alpha %2").arg(c_[0]).arg(alpha_);
  return QStringLiteral("rgb %1 %2 %3 alpha %4").arg(c_[0]).arg(c_[1]).arg(c_[2]).arg(alpha_);
}
