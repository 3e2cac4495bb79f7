#include "window/Panel_Writeback.h"

#include "model/Design_Window_Services.h"
#include "model/Fonts.h"
#include "model/Shared_Design_State.h"

#include <QFontInfo>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <iterator>

namespace {
const char* const border_codes[] = {"S", "DA", "DO", "DD", "DDD"};
}  // namespace

Prop_Change_Guard::Prop_Change_Guard() : previous_(Not_Draw_Only_Prop_Change) {
  Not_Draw_Only_Prop_Change = true;
}

Prop_Change_Guard::~Prop_Change_Guard() { Not_Draw_Only_Prop_Change = previous_; }

QString Border_Style_Code(int index, const QString& current) {
  if (index < 0 || index >= int(std::size(border_codes))) return current;
  return QString::fromLatin1(border_codes[index]);
}

int Border_Style_Index(const QString& code) {
  for (int i = 0; i < int(std::size(border_codes)); ++i)
    if (code == QLatin1String(border_codes[i])) return i;
  return -1;
}

void Write_Border_Group(CRDGraphic& graphic, const Border_Group& group) {
  graphic._isDrawingStroke = group.on;
  if (group.on) {
    graphic._strokeColor = group.color;
    graphic._strokeWidth = group.width;
  }
  graphic._stroke_border_type = Border_Style_Code(group.style, graphic._stroke_border_type);
}

Border_Group Load_Border_Group(const CRDGraphic& graphic) {
  Border_Group group;
  group.on = graphic._isDrawingStroke;
  group.color = graphic._strokeColor;
  group.width = int(std::trunc(graphic._strokeWidth));
  group.style = Border_Style_Index(graphic._stroke_border_type);
  return group;
}

QFont Font_Dialog_Start(const QFont& design_font) { return Drawing_Font(design_font); }

QFont Font_From_Dialog(const QFont& design_font, const QFont& chosen) {
  const QFont start = Font_Dialog_Start(design_font);
  const auto heavy = [](const QFont& f) { return f.bold() || f.weight() >= QFont::DemiBold; };
  const bool same_face = chosen.family().compare(start.family(), Qt::CaseInsensitive) == 0 &&
                         chosen.italic() == start.italic() && heavy(chosen) == heavy(start);
  if (!same_face) return chosen;
  QFont kept = design_font;
  if (chosen.pointSizeF() > 0) kept.setPointSizeF(chosen.pointSizeF());
  return kept;
}

int Write_Selected_Graphics(const Graphic_List& selected,
                            const std::function<void(CRDGraphic&)>& write) {
  if (Not_Draw_Only_Prop_Change || selected.empty()) return 0;
  for (const auto& graphic : selected)
    if (graphic) write(*graphic);
  Window_Refresh_Canvas();
  return int(selected.size());
}
