#include "canvas/Zoom_Geometry.h"

#include <algorithm>
#include <cmath>

const std::array<Zoom_Entry, 11>& Zoom_Table() {
  static const std::array<Zoom_Entry, 11> table = {{{"10%", double(0.1f)},
                                                    {"25%", 0.25},
                                                    {"50%", 0.5},
                                                    {"75%", 0.75},
                                                    {"100%", 1.0},
                                                    {"125%", 1.25},
                                                    {"150%", 1.5},
                                                    {"200%", 2.0},
                                                    {"400%", 4.0},
                                                    {"800%", 8.0},
                                                    {"1600%", 16.0}}};
  return table;
}

int Zoom_Index(double factor) {
  const auto& table = Zoom_Table();
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i].factor == factor) return int(i);
  return -1;
}

double Constrain_Scroll_Coordinate(double proposed, double document_extent, double clip_extent) {
  if (!std::isfinite(proposed)) proposed = 0;
  if (clip_extent <= document_extent)
    return std::round(std::clamp(proposed, 0.0, document_extent - clip_extent));
  return std::round((document_extent - clip_extent) / 2);
}

QPointF Constrain_Scroll_Point(const QPointF& proposed, const QSizeF& document,
                               const QSizeF& clip) {
  return QPointF(Constrain_Scroll_Coordinate(proposed.x(), document.width(), clip.width()),
                 Constrain_Scroll_Coordinate(proposed.y(), document.height(), clip.height()));
}
