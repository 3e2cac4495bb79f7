#pragma once
// The arithmetic of zooming and scrolling a canvas: the zoom factors offered beside the
// horizontal scroll bar, and where the visible area of a canvas may lie. Everything is in
// card points; the visible area (the clip) is the viewport's size divided by the zoom.

#include <QPointF>
#include <QSizeF>

#include <array>

struct Zoom_Entry {
  const char* label;  // as shown (and the key of its translation in "CRDZoomingScrollView")
  double factor;
};

// "10%" to "1600%". The first factor is the single-precision 0.1 widened to double.
const std::array<Zoom_Entry, 11>& Zoom_Table();
// The table index of a factor, or -1 when the table does not hold it.
int Zoom_Index(double factor);

// Where the visible area may start on one axis, for a proposed start: inside the
// document (0 to document - clip) when the document is at least as large as the clip,
// otherwise the centred position (document - clip) / 2, which is negative. Whole points,
// halves rounded away from zero.
double Constrain_Scroll_Coordinate(double proposed, double document_extent, double clip_extent);
QPointF Constrain_Scroll_Point(const QPointF& proposed, const QSizeF& document, const QSizeF& clip);
