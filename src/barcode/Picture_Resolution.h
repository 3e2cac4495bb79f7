#pragma once
// Re-rendering a picture at a printing resolution. Two-dimensional symbols are drawn with
// one pixel per point or per module and then rasterised at the resolution the user chose,
// without interpolation, so that modules stay sharp.

#include "model/Picture.h"

// No picture side is drawn larger than this many pixels.
inline constexpr int kMax_Picture_Side = 32768;

// Whether a picture of the size in points fits that limit at the resolution.
bool Fits_Picture_Limit(QSizeF points, double dpi);

// The picture rasterised at `dpi` dots per inch: an RGBA bitmap of ceil(dpi x size / 72)
// pixels each way that keeps the picture's size in points, the source drawn into it at its
// own size without interpolation. A null picture when the source has no pixels or no size,
// or when the resolution gives no pixels (logged).
Picture Increase_DPI(const Picture& picture, double dpi);
