#include "model/CRDError.h"
#include "model/CRDGraphic.h"
#include "model/Card_Property.h"
#include "model/Fonts.h"
#include "model/Shared_Design_State.h"
#include "support/Test_Support.h"

#include <QFileInfo>
#include <QFontInfo>

namespace {

class Graphic_Record : public test_support::Design_Test {};

TEST_F(Graphic_Record, OpacityGettersApplyAndStoreTheAlpha) {
  CRDGraphic g;
  // Opacities start at 100 yet draw opaque.
  EXPECT_EQ(g.alpha_val, 100.0f);
  EXPECT_EQ(g.fillColor().alphaComponent(), 100.0);
  EXPECT_EQ(g.fillColor().toQColor(), QColor(Qt::white));
  EXPECT_EQ(g.strokeColor().toQColor(), QColor(Qt::black));

  g.alpha_val = 0.5f;
  for (const CRDColor& c :
       {g.fillColor(), g.fill_Grad_clr1(), g.fill_Grad_clr2(), g.fill_hatch_bk_clr()})
    EXPECT_DOUBLE_EQ(c.alphaComponent(), 0.5);
  EXPECT_DOUBLE_EQ(g._fillColor.alphaComponent(), 0.5);  // stored back
  EXPECT_DOUBLE_EQ(g.strokeColor().alphaComponent(), 100.0);

  CRDGraphic bare{CRDGraphic::Bare{}};
  EXPECT_FALSE(bare.fillColor().isValid());  // no colour stored: none answered
}

TEST_F(Graphic_Record, DefaultsOfEveryKindIncludeTheBarcodeSettings) {
  CRDGraphic g;
  EXPECT_EQ(g._file_path, Resource_Path + "/no.png");
  EXPECT_EQ(QFileInfo(g._file_path).fileName(), QStringLiteral("no.png"));
  EXPECT_EQ(g.linear_font_val, "0123");
  EXPECT_EQ(g.two_d_font_val, "0123");
  EXPECT_EQ(g.header_val, "HEADER");
  EXPECT_EQ(g.footer_val, "FOOTER");
  EXPECT_EQ(g.qr_size_val, 60);
  EXPECT_EQ(g.pdf_hgt_val, 20);
  EXPECT_EQ(g.pdf_wdt_val, 100);
  EXPECT_EQ(g.pdf_ec_val, 2);
  EXPECT_EQ(g.dm_module_val, 2);
  EXPECT_FLOAT_EQ(g.TB_marging_val, 0.1f);
  EXPECT_EQ(Font_Name(g.value_font_val), "Times New Roman");
  EXPECT_EQ(g.value_font_val.pointSizeF(), 10.0);
  EXPECT_EQ(g._shape_type, "R");
  EXPECT_EQ(g.Text_Value, "Text here");
  EXPECT_TRUE(g.ctrl_is_visible);
  EXPECT_EQ(g.double_star_type, 1);
  EXPECT_EQ(g.polygon_type, 1);
  EXPECT_EQ(g.sat_val, 1.0f);
  EXPECT_EQ(g.img_trnsp_val, 100.0f);
  EXPECT_EQ(g.text_ctrl_font.family(), Text_Ctrl_Font);  // no window: the default font

  CRDGraphic bare{CRDGraphic::Bare{}};
  EXPECT_FALSE(bare.ctrl_is_visible);
  EXPECT_EQ(bare.polygon_type, 0);
  EXPECT_TRUE(bare._shape_type.isEmpty());
}

TEST_F(Graphic_Record, StyledTextIsMadeOnceFromTheValue) {
  CRDGraphic g;
  auto text = g.Text_contents();
  EXPECT_EQ(text->string(), "Text here");
  const Text_Attributes a = text->attributesAt(0);
  EXPECT_EQ(a.foreground, CRDColor::blackColor());
  ASSERT_TRUE(a.font.has_value());
  EXPECT_EQ(a.font->family(), Text_Ctrl_Font);
  EXPECT_EQ(a.font->pointSizeF(), 14.0);
  g.Text_Value = "changed";
  EXPECT_EQ(g.Text_contents(), text);
  EXPECT_EQ(g.Text_contents()->string(), "Text here");
}

TEST_F(Graphic_Record, CloneIsIndependent) {
  CRDGraphic g;
  g.Text_contents();
  g._bounds = QRectF(1, 2, 3, 4);
  auto copy = g.clone();
  EXPECT_EQ(copy->bounds(), g.bounds());
  EXPECT_NE(copy->_Text_contents, g._Text_contents);
  copy->_Text_contents->replaceCharacters("other");
  EXPECT_EQ(g._Text_contents->string(), "Text here");
}

TEST_F(Graphic_Record, CardSideDefaults) {
  Card_Property card;
  EXPECT_EQ(card.Card_alpha_Stepper, 100.0f);
  EXPECT_EQ(card.Card_Size, QSizeF(0, 0));
  EXPECT_TRUE(card.Card_BG_Image.isNull());
  EXPECT_EQ(card.Card_Shape, "R");
  EXPECT_EQ(card.Card_Sub_Category, "CR80-Credit Card Size");
  EXPECT_EQ(card.Card_Content_font.family(), Text_Ctrl_Font);
  EXPECT_EQ(card.Card_Content_font.pointSizeF(), 14.0);
}

TEST(Errors, FallbackTexts) {
  const CRDError e = CRDErrorWithCode(2);
  EXPECT_EQ(e.domain, "VovedaErrorDomain");
  EXPECT_EQ(e.code, 2);
  EXPECT_EQ(e.localizedDescription,
            "Voveda could not complete the operation because an unknown error occurred.");
  EXPECT_EQ(e.localizedFailureReason, "An unknown error occurred.");
}

TEST(Fonts, DesignNamesResolveToInstalledFaces) {
  struct Case {
    const char* name;
    const char* family;
    bool bold, italic;
  } cases[] = {
      {"TimesNewRomanPS-ItalicMT", "Liberation Serif", false, true},
      {"TimesNewRomanPS-BoldItalicMT", "Liberation Serif", true, true},
      {"TimesNewRomanPSMT", "Liberation Serif", false, false},
      {"Times New Roman", "Liberation Serif", false, false},
      {"Arial-BoldMT", "Liberation Sans", true, false},
      {"Helvetica", "Liberation Sans", false, false},
      {"CourierNewPSMT", "Liberation Mono", false, false},
  };
  for (const auto& c : cases) {
    const QFont design = Make_Font(c.name, 12);
    EXPECT_EQ(design.family(), c.name);  // the given name is kept
    const QFont drawing = Drawing_Font(design);
    const QFontInfo info(drawing);
    EXPECT_EQ(info.family(), c.family) << c.name;
    EXPECT_EQ(info.bold(), c.bold) << c.name;
    EXPECT_EQ(info.italic(), c.italic) << c.name;
    EXPECT_EQ(drawing.pointSizeF(), 12.0);
  }
}

}  // namespace
