#include "model/Card_Property.h"

#include "model/Fonts.h"
#include "model/Shared_Design_State.h"

Card_Property::Card_Property()
    : Card_bordr_clr(CRDColor::blackColor()),
      Card_fill_clr(CRDColor::whiteColor()),
      Card_fill_Grd_1_clr(CRDColor::whiteColor()),
      Card_fill_Grd_2_clr(CRDColor::whiteColor()),
      Card_hatch_bk_clr(CRDColor::whiteColor()),
      Card_border_style(QStringLiteral("S")),
      Card_fill_style(QStringLiteral("S")),
      Card_hatch_style(QStringLiteral("")),
      Card_Side(QStringLiteral("2")),
      Card_Side_Name(QStringLiteral("F")),
      Card_Shape(QStringLiteral("R")),
      Card_Name(QStringLiteral("Untitled")),
      Card_Preset(QStringLiteral("Horizontal")),
      Card_Category(QStringLiteral("PVC Card")),
      Card_Sub_Category(QStringLiteral("CR80-Credit Card Size")),
      Card_Create_Mode(QStringLiteral("W")),
      Card_BG_Image_Path(QStringLiteral("")),
      Card_BG_Image_Layout(QStringLiteral("Stretch")),
      Card_Location(0, 0),
      Card_Size(0, 0),
      Card_Content_clr(CRDColor::blackColor()),
      Card_Content_font(Make_Font(Text_Ctrl_Font, 14)) {}

const QStringList& Card_Outline_Names() {
  static const QStringList names = {QStringLiteral("Rectangle"), QStringLiteral("Rounded rectangle"),
                                    QStringLiteral("Ellipse")};
  return names;
}
