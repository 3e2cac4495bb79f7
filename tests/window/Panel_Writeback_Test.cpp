// What the property panels share when they write back into the design.

#include "model/Design_Window_Services.h"
#include "model/Fonts.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "support/Test_Support.h"
#include "window/Panel_Writeback.h"

#include <QFontDatabase>

#include <stdexcept>

namespace {

TEST(Panel_Writeback, GuardRestoresTheFlagOnEveryWayOut) {
  Not_Draw_Only_Prop_Change = false;
  try {
    const Prop_Change_Guard filling;
    EXPECT_TRUE(Not_Draw_Only_Prop_Change);
    throw std::runtime_error("fill failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(Not_Draw_Only_Prop_Change);
  // Nested inside a caller's own setting (a reset), the flag stays set.
  {
    const Prop_Change_Guard reset;
    { const Prop_Change_Guard fill; }
    EXPECT_TRUE(Not_Draw_Only_Prop_Change);
  }
  EXPECT_FALSE(Not_Draw_Only_Prop_Change);
}

TEST(Panel_Writeback, BorderGroupAndStyleCodes) {
  const char* const codes[] = {"S", "DA", "DO", "DD", "DDD"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Border_Style_Code(i, "X"), QLatin1String(codes[i]));
    EXPECT_EQ(Border_Style_Index(QLatin1String(codes[i])), i);
  }
  EXPECT_EQ(Border_Style_Code(-1, "DO"), QStringLiteral("DO"));
  EXPECT_EQ(Border_Style_Code(5, "DO"), QStringLiteral("DO"));
  EXPECT_EQ(Border_Style_Index("Q"), -1);

  Shape_Control shape;
  shape._strokeColor = CRDColor::rgb(0, 1, 0);
  shape._strokeWidth = 2;
  shape._stroke_border_type = "DD";
  Write_Border_Group(shape, {true, CRDColor::rgb(1, 0, 0, 0.4), 5, 1});
  EXPECT_TRUE(shape._isDrawingStroke);
  EXPECT_EQ(shape._strokeColor, CRDColor::rgb(1, 0, 0, 0.4));
  EXPECT_EQ(shape._strokeWidth, 5);
  EXPECT_EQ(shape._stroke_border_type, QStringLiteral("DA"));
  // Off keeps colour and width; no item keeps the style.
  Write_Border_Group(shape, {false, CRDColor::rgb(0, 0, 1), 9, -1});
  EXPECT_FALSE(shape._isDrawingStroke);
  EXPECT_EQ(shape._strokeWidth, 5);
  EXPECT_EQ(shape._stroke_border_type, QStringLiteral("DA"));

  shape._isDrawingStroke = true;
  shape._strokeWidth = 3.9;
  shape._stroke_border_type = "odd";
  const Border_Group loaded = Load_Border_Group(shape);
  EXPECT_TRUE(loaded.on);
  EXPECT_EQ(loaded.width, 3);
  EXPECT_EQ(loaded.style, -1);
  EXPECT_EQ(loaded.color, CRDColor::rgb(1, 0, 0, 0.4));
}

class Refresh_Counter : public Design_Window_Services {
 public:
  int refreshes = 0;
  QFont All_Text_font() const override { return {}; }
  CRDColor All_Text_clr() const override { return {}; }
  QPointF Control_New_Point(const QString&) override { return {}; }
  QRectF Front_Canvas_Bounds() const override { return {}; }
  void Set_Align_With_Grid_Enabled(bool) override {}
  void Refresh_Canvas() override { ++refreshes; }
};

TEST(Panel_Writeback, WritesTheSelectionFrontMostFirstThenRefreshesOnce) {
  Refresh_Counter window;
  Set_Main_App_wnd(nullptr, &window);
  const Graphic_List selected = {std::make_shared<Shape_Control>(),
                                 std::make_shared<Shape_Control>()};
  QList<const CRDGraphic*> order;
  auto write = [&](CRDGraphic& g) {
    order << &g;
    g.print_object = 1;
  };
  EXPECT_EQ(Write_Selected_Graphics({}, write), 0);
  EXPECT_EQ(window.refreshes, 0);
  Not_Draw_Only_Prop_Change = true;
  EXPECT_EQ(Write_Selected_Graphics(selected, write), 0);
  EXPECT_EQ(selected[0]->print_object, 0);
  Not_Draw_Only_Prop_Change = false;
  EXPECT_EQ(Write_Selected_Graphics(selected, write), 2);
  EXPECT_EQ(order, (QList<const CRDGraphic*>{selected[0].get(), selected[1].get()}));
  EXPECT_EQ(window.refreshes, 1);
  Set_Main_App_wnd(nullptr, nullptr);
}

// One face, one name: a design font shows as the installed face it draws with, named as
// the font dialog names it (family and style), whether its name is a PostScript name, a
// family, a stored name or the dialog's own choice.
TEST(Panel_Writeback, FontLabelNamesTheFaceAsTheFontDialogDoes) {
  QFont bold = Make_Font("Liberation Sans", 14);
  bold.setBold(true);
  QFont bold_italic = Make_Font("DejaVu Serif", 9);
  bold_italic.setBold(true);
  bold_italic.setItalic(true);
  const struct {
    const char* what;
    QFont font;
    const char* label;
  } cases[] = {
      {"the all-text default", Make_Font(Text_Ctrl_Font, 14), "Liberation Serif Italic ( 14.00 )"},
      {"a title's PostScript name", Make_Font("TimesNewRomanPS-BoldItalicMT", 18),
       "Liberation Serif Bold Italic ( 18.00 )"},
      {"the face chosen in the dialog",
       QFontDatabase::font("Liberation Serif", "Bold Italic", 18),
       "Liberation Serif Bold Italic ( 18.00 )"},
      {"a barcode's family name", Make_Font("Times New Roman", 10),
       "Liberation Serif Regular ( 10.00 )"},
      {"a family and a size", Make_Font("Arial", 9.5), "Liberation Sans Regular ( 9.50 )"},
      {"a bold family", bold, "Liberation Sans Bold ( 14.00 )"},
      {"a PostScript name of the face", Make_Font("LiberationSans-Bold", 20),
       "Liberation Sans Bold ( 20.00 )"},
      {"bold italic", bold_italic, "DejaVu Serif Bold Italic ( 9.00 )"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Font_Value_Label(c.font), QString::fromLatin1(c.label));
    // Read back from a design file, a font shows as it did before it was stored.
    const QFont stored = Make_Font(Font_Stored_Name(c.font), c.font.pointSizeF());
    EXPECT_EQ(Font_Value_Label(stored), QString::fromLatin1(c.label)) << Font_Name(stored);
  }
}

}  // namespace
