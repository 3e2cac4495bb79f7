#include "output/Sheet_Layout.h"

#include <algorithm>
#include <climits>
#include <cmath>

Sheet_Layout& Print_Layout() {
  static Sheet_Layout layout;
  return layout;
}

float MM_to_Points_Convert(float mm) { return float(double(mm) * 2.834645669291); }
float Points_to_MM_Convert(float points) { return float(double(points) * 0.3527777777778); }

Cell_Place Place_Cell(const Sheet_Layout& l, int row, int column, QSizeF card) {
  const float pw = float(l.paper.width()), ph = float(l.paper.height());
  const float W = l.label_width, H = l.label_hight, gh = l.horz_mar, gv = l.vert_mar;
  const int nr = l.Print_Row, nc = l.Print_Col;
  const float Uw = pw - l.Left_Mar - l.Rite_Mar, Uh = ph - l.Top_Mar - l.Bot_Mar;
  const float Bw = float(nc) * W + float(nc - 1) * gh;
  const float Bh = float(nr) * H + float(nr - 1) * gv;
  const int position = l.label_align_val;

  float y;
  if (l.auto_center_flag) y = l.Bot_Mar + gv + Bh - H;
  else if (position <= 3) y = ph - l.Top_Mar - H;
  else if (position <= 6) y = l.Bot_Mar + (Uh - Bh) / 2 + Bh - H;
  else y = l.Bot_Mar + Bh - H;
  y -= float(row - 1) * (H + gv);

  float x;
  if (l.auto_center_flag) {
    x = l.Left_Mar + float(column) * gh + float(column - 1) * W;
  } else {
    const int across = (position - 1) % 3;  // 0 left, 1 centre, 2 right
    x = across == 0 ? l.Left_Mar : across == 1 ? l.Left_Mar + (Uw - Bw) / 2 : pw - l.Rite_Mar - Bw;
    x += float(column - 1) * (W + gh);
  }

  Cell_Place place;
  place.cell = QRectF(x, y, W, H);
  const float w = float(card.width()), h = float(card.height());
  float ix = x, iy = y;
  if (!l.Both()) {
    place.area = place.cell;
    if (W > w) ix += (W - w) / 2;
    if (H > h) iy += (H - h) / 2;
  } else if (!l.Both_Left_Right()) {
    place.area = QRectF(x, y + H / 2, W, H / 2);
    iy = y + H / 2;
    if (W > w) ix += (W - w) / 2;
    if (H > 2 * h) iy += (H - 2 * h) / 2;
  } else {
    place.area = QRectF(x, y, W / 2, H);
    if (W > 2 * w) ix += (W - 2 * w) / 2;
    if (H > h) iy += (H - h) / 2;
  }
  place.front = QRectF(ix, iy, w, h);
  if (l.Both())
    place.back = l.Both_Left_Right() ? QRectF(ix + w, iy, w, h) : QRectF(ix, iy - h, w, h);
  return place;
}

namespace {

// Cells of size `cell` that fit into `usable` with gaps `gap`: 0 when the cell has no size
// or the quotient is not a number.
int Cells_That_Fit(float numerator, float cell) {
  if (!(cell > 0)) return 0;
  const float n = numerator / cell;
  if (!std::isfinite(n) || n < 0) return 0;
  return n >= float(INT_MAX) ? INT_MAX : int(n);
}

struct Fit {
  int count;
  bool show;
  float gap;
};

// A cell without size does not fit: however many were asked for, one is kept.
Fit Fit_Auto(float usable, float cell, int wanted) {
  if (!(cell > 0)) return {1, true, 0};
  const float spread = (usable - float(wanted) * cell) / float(wanted + 1);
  if (spread > 0) return {wanted, true, spread};
  const int n = Cells_That_Fit(usable, cell);
  return {n < 1 ? 1 : std::min(wanted, n), true, 0};
}

Fit Fit_Gaps(float paper, float before, float after, float cell, float gap, int wanted) {
  if (!(cell > 0)) return {1, wanted > 1, gap};
  const float usable = paper - before - after;
  if ((usable - float(wanted) * cell - float(wanted - 1) * gap) / float(wanted + 1) > 0)
    return {wanted, false, gap};
  const float n = std::floor(float(Cells_That_Fit(paper + gap - before - after, cell + gap)));
  const int fit = n < 1 ? 1 : std::min(wanted, int(n));
  return {fit, fit < wanted, gap};
}

}  // namespace

Refit_Result Refit_Sheet(Sheet_Layout& l, const Refit_Fields& f, const QString& card_side) {
  Refit_Result result;
  result.rows = l.Print_Row;
  result.columns = l.Print_Col;
  if (!l.Has_Paper()) return result;
  l.barcode_counter = 0;
  float W = MM_to_Points_Convert(f.width_mm), H = MM_to_Points_Convert(f.height_mm);
  if (card_side == QLatin1String("BOTH")) {
    if (l.Print_Card_Algn == QLatin1String("U")) H *= 2;
    else W *= 2;
  }
  l.label_width = W;
  l.label_hight = H;
  const float pw = float(l.paper.width()), ph = float(l.paper.height());
  l.horz_mar = MM_to_Points_Convert(f.horz_gap_mm);
  l.vert_mar = MM_to_Points_Convert(f.vert_gap_mm);
  const int nc = std::max(1, f.columns), nr = std::max(1, f.rows);
  Fit across, down;
  if (f.auto_center) {
    across = Fit_Auto(pw - l.Left_Mar - l.Rite_Mar, W, nc);
    down = Fit_Auto(ph - l.Top_Mar - l.Bot_Mar, H, nr);
  } else {
    across = Fit_Gaps(pw, l.Left_Mar, l.Rite_Mar, W, l.horz_mar, nc);
    down = Fit_Gaps(ph, l.Top_Mar, l.Bot_Mar, H, l.vert_mar, nr);
  }
  l.horz_mar = across.gap;
  l.vert_mar = down.gap;
  l.Print_Col = result.columns = across.count;
  l.Print_Row = result.rows = down.count;
  result.show_columns = across.show;
  result.show_rows = down.show;
  if (!f.data_source_in_use) {
    l.Total_Label = int(std::min<long long>((long long)result.rows * result.columns, INT_MAX));
    result.show_total = true;
  }
  return result;
}

int Sheet_Count(const Sheet_Layout& l, bool preview, bool* cut) {
  const long long per_sheet = (long long)std::max(1, l.Print_Row) * std::max(1, l.Print_Col);
  const long long cards = std::max(0, l.Total_Label);
  const int sheets = int(cards / per_sheet + (cards % per_sheet ? 1 : 0));
  const bool over = preview && sheets > Preview_Sheet_Limit;
  if (cut) *cut = over;
  return over ? Preview_Sheet_Limit : sheets;
}

void Set_Margins_From_Printable_Area(Sheet_Layout& l, QSizeF paper, QRectF printable) {
  l.paper = paper;
  l.Left_Mar = float(printable.x());
  l.Top_Mar = float(printable.y());
  l.Rite_Mar = float(paper.width() - printable.x() - printable.width());
  l.Bot_Mar = float(paper.height() - printable.y() - printable.height());
}
