#include "canvas/Ruler_Geometry.h"

#include <algorithm>
#include <cmath>

namespace {

// No ruler is ever drawn with more ticks than this (a guard against a spacing that does
// not suit the zoom).
constexpr double Max_Ticks = 20000;
// Rounding noise of a tick's place, in steps between ticks and in device pixels.
constexpr double Step_Tolerance = 1e-9;
constexpr double Device_Tolerance = 1e-6;

// Labelled steps in rising order: the inch halves first (inches only), then 1, 2 and 5
// times the powers of ten up to a step no card needs.
std::vector<double> major_steps(Ruler_Unit unit) {
  std::vector<double> steps;
  if (unit == Ruler_Unit::Inches) steps = {0.125, 0.25, 0.5};
  for (double power = 1; power <= 1e6; power *= 10)
    for (double mantissa : {1.0, 2.0, 5.0}) steps.push_back(mantissa * power);
  return steps;
}

// The divisions a labelled step may take, finest first.
std::vector<int> division_choices(Ruler_Unit unit, double major) {
  if (unit == Ruler_Unit::Inches && major <= 1) {
    // Binary parts, never finer than 1/64 inch.
    std::vector<int> choices;
    for (int parts : {16, 8, 4, 2})
      if (major / parts >= 1.0 / 64 - Step_Tolerance) choices.push_back(parts);
    choices.push_back(1);
    return choices;
  }
  const double mantissa = std::round(major / std::pow(10.0, std::floor(std::log10(major))));
  if (mantissa == 2) return {4, 2, 1};
  if (mantissa == 5) return {5, 1};
  return {10, 5, 2, 1};
}

}  // namespace

double Points_Per_Ruler_Unit(Ruler_Unit unit) {
  switch (unit) {
    case Ruler_Unit::Millimetres: return 2.834645669291;
    case Ruler_Unit::Inches: return 72;
    case Ruler_Unit::Points: return 1;
  }
  return 1;
}

QString Ruler_Unit_Abbreviation(Ruler_Unit unit) {
  switch (unit) {
    case Ruler_Unit::Millimetres: return QStringLiteral("mm");
    case Ruler_Unit::Inches: return QStringLiteral("in");
    case Ruler_Unit::Points: return QStringLiteral("pt");
  }
  return {};
}

Ruler_Spacing Ruler_Tick_Spacing(Ruler_Unit unit, double zoom, double min_label_pixels,
                                 double min_tick_pixels) {
  const std::vector<double> steps = major_steps(unit);
  Ruler_Spacing spacing;
  spacing.major = steps.back();
  if (!(zoom > 0) || !std::isfinite(zoom)) return spacing;
  const double pixels_per_unit = Points_Per_Ruler_Unit(unit) * zoom;
  for (double step : steps) {
    if (step * pixels_per_unit >= min_label_pixels) {
      spacing.major = step;
      break;
    }
  }
  for (int parts : division_choices(unit, spacing.major)) {
    if (parts == 1 || spacing.major / parts * pixels_per_unit >= min_tick_pixels) {
      spacing.divisions = parts;
      break;
    }
  }
  return spacing;
}

QString Ruler_Label(double value) {
  const double rounded = std::round(value * 1000) / 1000;
  if (rounded == 0) return QStringLiteral("0");
  QString text = QString::number(rounded, 'f', 3);
  while (text.endsWith(QLatin1Char('0'))) text.chop(1);
  if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  return text;
}

std::vector<Ruler_Tick> Ruler_Ticks(Ruler_Unit unit, const Ruler_Scale& scale,
                                    const Ruler_Spacing& spacing) {
  std::vector<Ruler_Tick> ticks;
  if (!(scale.zoom > 0) || !std::isfinite(scale.zoom) || !std::isfinite(scale.offset) ||
      !(scale.length >= 0) || !std::isfinite(scale.length) || !(spacing.major > 0) ||
      !std::isfinite(spacing.major) || spacing.divisions < 1)
    return ticks;
  const double points_per_unit = Points_Per_Ruler_Unit(unit);
  const double step_points = spacing.major * points_per_unit / spacing.divisions;
  const double first = std::ceil(scale.offset / step_points - Step_Tolerance);
  const double last =
      std::floor(Ruler_Point(scale, scale.length) / step_points + Step_Tolerance);
  if (!(last - first < Max_Ticks)) return ticks;
  const int half = spacing.divisions % 2 == 0 ? spacing.divisions / 2 : 0;
  for (double k = first; k <= last; ++k) {
    const long long index = static_cast<long long>(k);
    const long long part = ((index % spacing.divisions) + spacing.divisions) % spacing.divisions;
    Ruler_Tick tick;
    if (part == 0) {
      tick.level = 0;
      tick.value = double((index - part) / spacing.divisions) * spacing.major;
      tick.label = Ruler_Label(tick.value);
    } else {
      tick.level = half != 0 && part == half ? 1 : 2;
      tick.value = k * spacing.major / spacing.divisions;
    }
    tick.pixel = Ruler_Pixel(scale, tick.value * points_per_unit);
    ticks.push_back(std::move(tick));
  }
  return ticks;
}

double Ruler_Device_Pixel(double pixel, double device_pixel_ratio) {
  const double ratio = device_pixel_ratio > 0 ? device_pixel_ratio : 1;
  return std::floor(pixel * ratio + Device_Tolerance) / ratio;
}
