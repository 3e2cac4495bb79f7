#pragma once
// The arithmetic of the canvas rulers: where the ticks of a ruler lie and what its labels
// read, for a unit, a zoom factor, a scroll position and the ruler's length. Nothing here
// draws; the ruler widget (CRDRulerView) paints what this answers.
//
// Positions along a ruler are pixels (device-independent) from the ruler's start, which
// lies beside the visible area's start. A card point p lies at (p - offset) x zoom, where
// offset is the card point at the ruler's start (the scroll position; negative while a
// card smaller than the visible area is centred). Values are counted from the card's
// top-left corner, so the card's left and top edges read 0.

#include <QString>

#include <vector>

enum class Ruler_Unit { Millimetres, Inches, Points };

// Card points (1/72 inch) in one unit.
double Points_Per_Ruler_Unit(Ruler_Unit unit);
// "mm", "in" or "pt".
QString Ruler_Unit_Abbreviation(Ruler_Unit unit);

struct Ruler_Scale {
  double zoom = 1;    // pixels per card point
  double offset = 0;  // the card point at the ruler's start
  double length = 0;  // the ruler's length in pixels
};

// The pixel of a card point along the ruler, and the card point of a pixel.
inline double Ruler_Pixel(const Ruler_Scale& scale, double point) {
  return (point - scale.offset) * scale.zoom;
}
inline double Ruler_Point(const Ruler_Scale& scale, double pixel) {
  return pixel / scale.zoom + scale.offset;
}

// How a ruler is divided: a labelled tick every `major` units, and `divisions` equal
// parts between two labelled ticks.
struct Ruler_Spacing {
  double major = 1;
  int divisions = 1;
};

// The smallest labelled step whose labels lie at least min_label_pixels apart, divided
// into as many parts as keep the ticks at least min_tick_pixels apart. Labelled steps
// are 1, 2 and 5 times a power of ten (whole units at least); inches also take the
// halves 1/2, 1/4 and 1/8 and divide a step of an inch or less into halves, quarters,
// eighths or sixteenths.
Ruler_Spacing Ruler_Tick_Spacing(Ruler_Unit unit, double zoom, double min_label_pixels,
                                 double min_tick_pixels);

struct Ruler_Tick {
  double pixel = 0;  // along the ruler
  double value = 0;  // in the unit, from the card's top-left corner
  // 0 labelled, 1 halfway between two labelled ticks, 2 any other.
  int level = 2;
  QString label;     // on labelled ticks only
};

// Every tick of the spacing that lies on the ruler (0 to length, both included), in
// rising order. An invalid scale (zoom not above 0, length below 0, values that are not
// finite) has none.
std::vector<Ruler_Tick> Ruler_Ticks(Ruler_Unit unit, const Ruler_Scale& scale,
                                    const Ruler_Spacing& spacing);

// The label of a value: the shortest decimal text with at most three decimals, no "-0".
QString Ruler_Label(double value);

// The first device pixel of a position at a device pixel ratio, in device-independent
// pixels: a one-device-pixel line drawn there is sharp. A position that is a whole
// device pixel within rounding noise counts as that pixel.
double Ruler_Device_Pixel(double pixel, double device_pixel_ratio);
