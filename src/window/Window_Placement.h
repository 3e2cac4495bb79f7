#pragma once
// Where the design window goes on a screen.

#include <QPoint>
#include <QRect>
#include <QSize>

// The window's frame on a screen whose free area (without panels and docks) is
// `available`: the wanted size, made no larger than the area on either axis but never
// smaller than `minimum`; at `offset` from the area's top-left corner, moved back left
// and up as far as needed to end inside the area, but never above or left of it. A frame
// larger than the area starts at its top-left corner, so the title bar stays in reach.
QRect Place_Window_Frame(const QRect& available, const QSize& wanted, const QSize& minimum,
                         const QPoint& offset);
