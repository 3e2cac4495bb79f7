#pragma once
// A colour as the design stores it: its colour space and components kept exactly as
// given, alpha included. Opacities of the design run from 0 to 1 but start at 100, and a
// colour keeps such an alpha (100 draws like 1); only the conversion to QColor clamps.

#include <QColor>
#include <QString>

class CRDColor {
 public:
  enum class Space : int {
    // Values of the keyed-archive colour space field.
    Calibrated_RGB = 1,
    Device_RGB = 2,
    Calibrated_White = 3,
    Device_White = 4,
  };

  CRDColor() = default;  // no colour
  static CRDColor rgb(double red, double green, double blue, double alpha = 1.0,
                      Space space = Space::Calibrated_RGB);
  static CRDColor white(double white, double alpha = 1.0, Space space = Space::Calibrated_White);
  static CRDColor fromQColor(const QColor& color);  // calibrated RGB

  // The named colours of the design (calibrated white or RGB, alpha 1).
  static CRDColor whiteColor() { return white(1.0); }
  static CRDColor blackColor() { return white(0.0); }
  static CRDColor lightGrayColor() { return white(2.0 / 3.0); }
  static CRDColor redColor() { return rgb(1.0, 0.0, 0.0); }

  bool isValid() const { return valid_; }
  Space space() const { return space_; }
  bool isWhiteSpace() const {
    return space_ == Space::Calibrated_White || space_ == Space::Device_White;
  }
  double redComponent() const { return c_[0]; }
  double greenComponent() const { return isWhiteSpace() ? c_[0] : c_[1]; }
  double blueComponent() const { return isWhiteSpace() ? c_[0] : c_[2]; }
  double whiteComponent() const { return c_[0]; }
  double alphaComponent() const { return alpha_; }

  // The same colour with its alpha replaced, unchanged (no clamping).
  CRDColor colorWithAlphaComponent(double alpha) const;
  // The colour in calibrated RGB.
  CRDColor toRGB() const;
  // For painting: components and alpha clamped to 0..1. An invalid colour gives an
  // invalid QColor.
  QColor toQColor() const;

  bool operator==(const CRDColor& other) const;
  bool operator!=(const CRDColor& other) const { return !(*this == other); }

  QString debugText() const;

 private:
  bool valid_ = false;
  Space space_ = Space::Calibrated_RGB;
  double c_[3] = {0, 0, 0};
  double alpha_ = 1.0;
};
