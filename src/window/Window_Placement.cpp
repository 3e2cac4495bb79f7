#include "window/Window_Placement.h"

#include <algorithm>

QRect Place_Window_Frame(const QRect& available, const QSize& wanted, const QSize& minimum,
                         const QPoint& offset) {
  const QSize size = wanted.boundedTo(available.size()).expandedTo(minimum);
  // On each axis: the wanted place, pulled back inside the area, never before its start.
  auto place = [](int start, int extent, int want, int length) {
    return std::max(start, std::min(start + want, start + extent - length));
  };
  return QRect(QPoint(place(available.left(), available.width(), offset.x(), size.width()),
                      place(available.top(), available.height(), offset.y(), size.height())),
               size);
}
