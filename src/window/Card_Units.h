#pragma once
// Card sizes are shown and typed in millimetres; the canvas, the card settings and the
// printed layout work in points (1/72 inch). Single precision in and out, the product
// formed in double precision.

constexpr double Points_Per_Millimetre = 2.834645669291;
constexpr double Millimetres_Per_Point = 0.3527777777778;

inline float MM_to_Points_Convert(float millimetres) {
  return static_cast<float>(double(millimetres) * Points_Per_Millimetre);
}

inline float Points_to_MM_Convert(float points) {
  return static_cast<float>(double(points) * Millimetres_Per_Point);
}
