// Barcode generation: the symbology table, the size formulas, the copies between the
// designer and a barcode graphic, the designer's preview and the headless road.

#include "barcode/Barcode_Designer.h"
#include "barcode/Barcode_Renderer.h"
#include "barcode/Barcode_Symbologies.h"
#include "barcode/LinBarcode.h"
#include "barcode/LinCode128Barcode.h"
#include "model/CRDBarcode.h"
#include "model/Fonts.h"
#include "model/Shared_Design_State.h"
#include "support/File_Size_Limit.h"
#include "support/Test_Support.h"

#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cmath>

namespace {

constexpr double Cm = 0.393701 * 72;  // points in a centimetre, as the designer counts

class Generation : public test_support::Design_Test {
 protected:
  // A designer on a symbology, the way the type list's handler leaves it.
  static Barcode_Designer On(const QString& title) {
    Barcode_Designer designer;
    designer.Select_Symbology(title);
    return designer;
  }
};

TEST_F(Generation, SymbologyTableKeepsTheDesignersOrder) {
  const QStringList titles = {"Code 39",
                              "Extended Code 39",
                              "Interleaved 2 of 5",
                              "UPCA",
                              "PostNet",
                              "Modified Plessey",
                              "Modified Plessey (Hex)",
                              "Industrial 2 of 5",
                              "EAN-13",
                              "Code 128",
                              "Code 128 SET A",
                              "Code 128 SET B",
                              "Code 128 SET C",
                              "Codabar",
                              "UPCE",
                              "EAN-8",
                              "Royal Mail Barcode (RM4SCC / CBC)",
                              "Planet",
                              "Japan Post Barcode",
                              "QR Code",
                              "PDF417",
                              "DataMatrix"};
  EXPECT_EQ(Barcode_Symbology_Titles(), titles);
  EXPECT_EQ(Barcode_Designer().barcodeTypePopup.items, titles);

  const QStringList retail = {"UPCA", "UPCE", "EAN-8", "EAN-13"};
  for (int i = 0; i < titles.size(); ++i) {
    const Barcode_Symbology& row = Barcode_Symbologies()[size_t(i)];
    SCOPED_TRACE(row.title.toStdString());
    EXPECT_EQ(Find_Barcode_Symbology(row.title), &row);
    EXPECT_EQ(row.isTwoDimensional(), i >= 19);
    EXPECT_EQ(row.letter_spacing, !retail.contains(row.title));
    EXPECT_EQ(!row.newModel(), row.isTwoDimensional());
    Barcode_Designer designer;
    designer.Select_Symbology(i);
    EXPECT_EQ(designer.liner_or_2D_font, i >= 19 ? 1 : 0);
  }
  // The Code 128 rows differ only by the code set the model is given.
  const int sets[] = {LinCode128Barcode::Code_Set_Auto, LinCode128Barcode::Code_Set_A,
                      LinCode128Barcode::Code_Set_B, LinCode128Barcode::Code_Set_C};
  for (int k = 0; k < 4; ++k) {
    auto model = Barcode_Symbologies()[size_t(9 + k)].newModel();
    auto* code128 = dynamic_cast<LinCode128Barcode*>(model.get());
    ASSERT_TRUE(code128);
    EXPECT_EQ(code128->codeSet(), sets[k]);
  }
  EXPECT_EQ(Find_Barcode_Symbology("Code 93"), nullptr);
  EXPECT_EQ(Find_Barcode_Symbology(""), nullptr);
}

TEST_F(Generation, EverySymbologyMakesAPictureOfItsSampleHeadless) {
  for (const Barcode_Symbology& row : Barcode_Symbologies()) {
    SCOPED_TRACE(row.title.toStdString());
    Barcode_Designer designer = On(row.title);
    const Picture picture = designer.Get_Image_From_Val(row.sample, "HEADER", "FOOTER");
    ASSERT_FALSE(picture.isNull());
    // 600 dpi at start: ceil(600 x points / 72) pixels each way.
    EXPECT_EQ(picture.image().width(), int(std::ceil(600 * picture.size().width() / 72 - 1e-6)));
    EXPECT_EQ(picture.image().height(), int(std::ceil(600 * picture.size().height() / 72 - 1e-6)));
    if (row.isTwoDimensional()) {
      EXPECT_FALSE(designer.testBarcode_EXP());
      EXPECT_FALSE(designer.image_2d().isNull());
      EXPECT_EQ(picture.size(), QSizeF(designer.width(), designer.height()));
    } else {
      ASSERT_TRUE(designer.testBarcode_EXP());
      EXPECT_EQ(designer.testBarcode_EXP()->content().isEmpty(), false);
    }
  }
}

struct Height_Case {
  const char* what;
  float bar_cm, tb_cm, val_cm, hdr_cm, ftr_cm;
  int hide_val, hide_hdr, hide_ftr;
  double fixed_points;           // everything but the text bands
  bool caption, header, footer;  // which text bands count
};

TEST_F(Generation, LinearHeightIsBarsBandsAndMargins) {
  const Height_Case cases[] = {
      {"bar of 1 cm, every text hidden, no margin", 1, 0, 0.1f, 0.1f, 0.1f, 1, 1, 1, 28.346472,
       false, false, false},
      {"hidden texts drop their margins, not the top and bottom", 1, 0.5f, 0.3f, 0.3f, 0.3f, 1, 1,
       1, 56.692944, false, false, false},
      {"everything printed at the start values", 0.6f, 0.1f, 0.1f, 0.1f, 0.1f, 0, 0, 0,
       (0.6 + 0.1 + 0.1 + 0.1 + 2 * 0.1) * Cm, true, true, true},
      {"value hidden", 0.6f, 0.2f, 0.5f, 0.1f, 0.3f, 1, 0, 0, (0.6 + 0.1 + 0.3 + 2 * 0.2) * Cm,
       false, true, true},
      {"header hidden", 2, 0, 0.5f, 0.7f, 0, 0, 1, 0, (2 + 0.5) * Cm, true, false, true},
  };
  for (const Height_Case& c : cases) {
    SCOPED_TRACE(c.what);
    Barcode_Designer designer = On("Code 39");
    designer.HeightStepper = c.bar_cm;
    designer.TB_mar_Stepper = c.tb_cm;
    designer.val_mar_Stepper = c.val_cm;
    designer.hdr_mar_Stepper = c.hdr_cm;
    designer.ftr_mar_Stepper = c.ftr_cm;
    designer.captionCheckbox = c.hide_val;
    designer.hideHeaderCheckbox = c.hide_hdr;
    designer.hideFooterCheckbox = c.hide_ftr;
    const Picture picture = designer.Get_Image_From_Val("0123", "HEADER", "FOOTER");
    const auto& model = designer.testBarcode_EXP();
    ASSERT_TRUE(model);
    double expected = c.fixed_points;
    if (c.caption) expected += model->captionHeight() * 72.0;
    if (c.header) expected += model->headerHeight() * 72.0;
    if (c.footer) expected += model->footerHeight() * 72.0;
    EXPECT_NEAR(model->height(), expected, 1e-3);
    EXPECT_NEAR(picture.size().height(), expected, 1e-3);
    EXPECT_EQ(model->printsCaption(), c.caption);
    // The bars fill what the bands and the designer's margins leave.
    const Barcode_Gen_Binding bind(designer);
    EXPECT_NEAR(model->barTop(0), c.bar_cm * Cm, 1e-3);
  }
}

TEST_F(Generation, LinearWidthIsTheWidestPartAndTheSideMargins) {
  const QString long_header = QStringLiteral("A header that is much wider than the bars");
  const struct {
    const char* what;
    float lr_cm;
    QString header;
    int hide_hdr;
    bool header_counts;
    double extra;
  } cases[] = {
      {"no side margin", 0, "H", 0, false, 0},
      {"side margin of 0.1 cm: twice it and 15 points", 0.1f, "H", 0, false, 20.669294},
      {"visible header wider than the bars", 0, long_header, 0, true, 0},
      {"hidden header wider than the bars", 0.1f, long_header, 1, false, 20.669294},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Barcode_Designer designer = On("Code 39");
    designer.LR_mar_Stepper = c.lr_cm;
    designer.hideHeaderCheckbox = c.hide_hdr;
    designer.Get_Image_From_Val("0123", c.header, "F");
    const auto& model = designer.testBarcode_EXP();
    ASSERT_TRUE(model);
    // Code 39: 6 characters of 13 modules, 20 mils (1.44 points) a module.
    const double bars = 6 * 13 * 1.44;
    const double header = Barcode_Text_Width(c.header, designer.header_font);
    ASSERT_EQ(header > bars, c.header == long_header);
    EXPECT_NEAR(model->width(), (c.header_counts ? header : bars) + c.extra, 1e-3);
  }
}

TEST_F(Generation, ModuleWidthAndBarHeightApplyOnlyWhileTheirFieldsAreEnabled) {
  Barcode_Designer designer = On("Code 39");
  designer.Get_Image_From_Val("0123", "H", "F");
  EXPECT_FLOAT_EQ(designer.testBarcode_EXP()->barWidth(), 1.44f);  // 20 mils

  designer.widthStepper_enabled = false;
  designer.HeightStepper_enabled = false;
  designer.Get_Image_From_Val("0123", "H", "F");
  EXPECT_FLOAT_EQ(designer.testBarcode_EXP()->barWidth(), 0.936f);  // the model's own
  EXPECT_FLOAT_EQ(designer.testBarcode_EXP()->height(), 36.0f);
}

TEST_F(Generation, TwoDimensionalFrameIsTheSymbolHeaderFooterAndMargins) {
  const QString long_header = QStringLiteral("A header much wider than a small symbol");
  const struct {
    const char* what;
    float lr_cm, tb_cm, hdr_cm, ftr_cm, val_cm;
    int hide_hdr, hide_ftr, hide_val;
    QString header;
  } cases[] = {
      {"start values", 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0, 0, 0, "HEADER"},
      {"no text, no margin: the symbol alone", 0, 0, 0.2f, 0.2f, 0.2f, 1, 1, 0, "HEADER"},
      {"the value margin never counts", 0, 0, 0, 0, 2, 0, 0, 0, "HEADER"},
      {"a header wider than the symbol", 0.2f, 0, 0.1f, 0, 0, 0, 1, 0, long_header},
  };
  for (const char* title : {"QR Code", "DataMatrix"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << title << ": " << c.what);
      Barcode_Designer designer = On(title);
      designer.LR_mar_Stepper = c.lr_cm;
      designer.TB_mar_Stepper = c.tb_cm;
      designer.hdr_mar_Stepper = c.hdr_cm;
      designer.ftr_mar_Stepper = c.ftr_cm;
      designer.val_mar_Stepper = c.val_cm;
      designer.hideHeaderCheckbox = c.hide_hdr;
      designer.hideFooterCheckbox = c.hide_ftr;
      designer.captionCheckbox = c.hide_val;
      const Picture picture = designer.Get_Image_From_Val("0123", c.header, "FOOTER");
      ASSERT_FALSE(picture.isNull());
      const QSizeF symbol = designer.image_2d().size();
      double height = symbol.height() + 2 * c.tb_cm * Cm;
      if (!c.hide_hdr) height += designer.headerHeight() * 72.0 + c.hdr_cm * Cm;
      if (!c.hide_ftr) height += designer.footerHeight() * 72.0 + c.ftr_cm * Cm;
      double width = symbol.width();
      if (!c.hide_hdr)
        width = std::max(width, double(Barcode_Text_Width(c.header, designer.header_font)));
      if (!c.hide_ftr)
        width = std::max(width, double(Barcode_Text_Width("FOOTER", designer.footer_font)));
      if (c.lr_cm > 0) width += 2 * c.lr_cm * Cm + 15;
      EXPECT_NEAR(picture.size().height(), height, 1e-3);
      EXPECT_NEAR(picture.size().width(), width, 1e-3);
    }
  }
}

TEST_F(Generation, PrintStateFollowsTheHideValueBox) {
  const struct {
    bool enabled;
    int ticked;
    int state;
    bool value_above_enabled;
  } cases[] = {{true, 0, 1, true}, {true, 1, 0, false}, {false, 0, 0, true}, {false, 1, 0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.enabled << " " << c.ticked);
    Barcode_Designer designer;
    designer.captionCheckbox_enabled = c.enabled;
    designer.captionCheckbox = c.ticked;
    EXPECT_EQ(designer.Get_Print_State(), c.state);
    // A disabled box leaves the value-above box as it was.
    EXPECT_EQ(designer.showinTopCheckbox_enabled, c.value_above_enabled);
  }
}

TEST_F(Generation, QRSideIsRaisedToWhatTheVersionNeeds) {
  const struct { int version, minimum; } cases[] = {{0, 21}, {1, 21}, {2, 25}, {10, 57}, {40, 177}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(Barcode_Designer::QR_Size_Minimum(c.version), c.minimum);
    Barcode_Designer designer;
    designer.HeightStepper_2D = 40;
    designer.Check_And_Set_QR_size_Acc_Version(c.version);
    EXPECT_EQ(designer.HeightStepper_2D, std::max(40, c.minimum));  // raised, never lowered
  }
}

TEST_F(Generation, ResolutionItemsGiveThePicturesPixels) {
  const struct {
    const char* item;
    int custom;
    int dpi;
  } cases[] = {{"Auto", 0, 600},     {"72", 0, 72},      {"300", 0, 300},  {"1200", 0, 1200},
               {"Custom", 150, 150}, {"Custom", 0, 600}, {"Bogus", 0, 600}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    for (const char* title : {"QR Code", "EAN-13"}) {
      SCOPED_TRACE(title);
      Barcode_Designer designer = On(title);
      designer.DPI_ComboBox.index = int(designer.DPI_ComboBox.items.indexOf(c.item));
      if (designer.DPI_ComboBox.index < 0) designer.DPI_ComboBox = {{c.item}, 0};
      designer.dpi_Stepper = c.custom;
      EXPECT_EQ(designer.Used_DPI(), c.dpi);
      // Linear mode hides the resolution item: its pictures never follow it.
      const int dpi = designer.liner_or_2D_font == 1 ? c.dpi : Barcode_Designer::Linear_DPI;
      const Picture picture = designer.Get_Image_From_Val("400638133393", "H", "F");
      ASSERT_FALSE(picture.isNull());
      EXPECT_EQ(picture.image().width(), int(std::ceil(dpi * picture.size().width() / 72 - 1e-6)));
      (designer.liner_or_2D_font == 1 ? designer.dataText_2D : designer.dataText) = "400638133393";
      designer.goButtonActionPerformed();
      const Picture preview = designer.barcodeImage();
      ASSERT_FALSE(preview.isNull());
      EXPECT_EQ(preview.image().width(), int(std::ceil(dpi * preview.size().width() / 72 - 1e-6)));
    }
  }
}

// A graphic whose every barcode field differs from the designer's start values.
std::shared_ptr<CRDBarcode> Unusual_Graphic() {
  auto g = std::make_shared<CRDBarcode>();
  g->linear_or_2d = 1;
  g->barcode_font_index = 21;
  g->linear_font_val = "LIN";
  g->two_d_font_val = "Two\nlines";
  g->header_val = "Head";
  g->footer_val = "Foot";
  g->show_hide_hdr = 1;
  g->show_hide_ftr = 1;
  g->show_hide_val = 1;
  g->show_val_on_top = 1;
  g->align_hdr_index = 2;
  g->align_ftr_index = 0;
  g->linear_height_val = 1.5f;
  g->linear_width_val = 13;
  g->qr_size_val = 90;
  g->qr_version_index = 7;
  g->qr_ec_index = 3;
  g->pdf_hgt_val = 44;
  g->pdf_wdt_val = 222;
  g->pdf_ec_val = 5;
  g->dm_module_val = 3;
  g->dm_format_index = 4;
  g->dm_encoding_index = 2;
  g->hdr_margin_val = 0.2f;
  g->ftr_margin_val = 0.3f;
  g->val_margin_val = 0.4f;
  g->TB_marging_val = 0.5f;
  g->LR_margin_val = 0.6f;
  g->value_font_val = Make_Font("Courier New", 9);
  g->header_font_val = Make_Font("Arial", 14);
  g->footer_font_val = Make_Font("Helvetica", 7);
  g->barcode_hdr_clr_val = CRDColor::rgb(1, 0, 0);
  g->barcode_ftr_clr_val = CRDColor::rgb(0, 1, 0);
  g->barcode_val_clr_val = CRDColor::rgb(0, 0, 1);
  g->barcode_back_clr_val = CRDColor::rgb(1, 1, 0.5);
  g->barcode_clr_val = CRDColor::rgb(0.2, 0.1, 0);
  g->dpi_val_index = 3;
  g->data_source_type = 1;
  g->batch_list_name = "Guests";
  g->batch_list_index = 4;
  return g;
}

TEST_F(Generation, GraphicSettingsGoIntoTheDesignerAndBackUnchanged) {
  const auto source = Unusual_Graphic();
  Barcode_Designer designer;
  designer.Batch_Series = {{"Staff", "Guests"}, 0};
  Not_Draw_Only_Prop_Change = false;
  designer.Set_Barcode_Prop_To_Control(source);
  EXPECT_FALSE(Not_Draw_Only_Prop_Change);
  EXPECT_EQ(designer.pass_barcode_control(), source);
  EXPECT_EQ(designer.barcodeTypePopup.titleOfSelectedItem(), "DataMatrix");
  EXPECT_EQ(designer.Current_Value(), "Two\nlines");
  EXPECT_EQ(designer.Used_DPI(), 300);
  EXPECT_EQ(designer.Data_source_type.titleOfSelectedItem(), "Series");
  EXPECT_EQ(designer.Batch_Series.titleOfSelectedItem(), "Guests");
  EXPECT_FALSE(designer.showinTopCheckbox_enabled);  // the value is hidden
  EXPECT_EQ(designer.bar_back_clr, CRDColor::rgb(1, 1, 0.5));
  EXPECT_EQ(Font_Name(designer.header_font), "Arial");
  EXPECT_EQ(Measument_Unit_Is.load(), 1);

  CRDBarcode copy;
  copy.data_source_type = 2;
  copy.batch_list_name = "Other";
  copy.batch_list_index = 9;
  designer.dpi_Text = "450";
  designer.Set_Control_Prop_To_Barcode(copy);
  EXPECT_EQ(copy.linear_or_2d, source->linear_or_2d);
  EXPECT_EQ(copy.barcode_font_index, source->barcode_font_index);
  EXPECT_EQ(copy.linear_font_val, source->linear_font_val);
  EXPECT_EQ(copy.two_d_font_val, source->two_d_font_val);
  EXPECT_EQ(copy.header_val, source->header_val);
  EXPECT_EQ(copy.footer_val, source->footer_val);
  EXPECT_EQ(copy.show_hide_hdr, source->show_hide_hdr);
  EXPECT_EQ(copy.show_hide_ftr, source->show_hide_ftr);
  EXPECT_EQ(copy.show_hide_val, source->show_hide_val);
  EXPECT_EQ(copy.show_val_on_top, source->show_val_on_top);
  EXPECT_EQ(copy.align_hdr_index, source->align_hdr_index);
  EXPECT_EQ(copy.align_ftr_index, source->align_ftr_index);
  EXPECT_EQ(copy.linear_height_val, source->linear_height_val);
  EXPECT_EQ(copy.linear_width_val, source->linear_width_val);
  EXPECT_EQ(copy.qr_size_val, source->qr_size_val);
  EXPECT_EQ(copy.qr_version_index, source->qr_version_index);
  EXPECT_EQ(copy.qr_ec_index, source->qr_ec_index);
  EXPECT_EQ(copy.pdf_hgt_val, source->pdf_hgt_val);
  EXPECT_EQ(copy.pdf_wdt_val, source->pdf_wdt_val);
  EXPECT_EQ(copy.pdf_ec_val, source->pdf_ec_val);
  EXPECT_EQ(copy.dm_module_val, source->dm_module_val);
  EXPECT_EQ(copy.dm_format_index, source->dm_format_index);
  EXPECT_EQ(copy.dm_encoding_index, source->dm_encoding_index);
  EXPECT_EQ(copy.hdr_margin_val, source->hdr_margin_val);
  EXPECT_EQ(copy.ftr_margin_val, source->ftr_margin_val);
  EXPECT_EQ(copy.val_margin_val, source->val_margin_val);
  EXPECT_EQ(copy.TB_marging_val, source->TB_marging_val);
  EXPECT_EQ(copy.LR_margin_val, source->LR_margin_val);
  EXPECT_EQ(copy.value_font_val, source->value_font_val);
  EXPECT_EQ(copy.header_font_val, source->header_font_val);
  EXPECT_EQ(copy.footer_font_val, source->footer_font_val);
  EXPECT_EQ(copy.barcode_hdr_clr_val, source->barcode_hdr_clr_val);
  EXPECT_EQ(copy.barcode_ftr_clr_val, source->barcode_ftr_clr_val);
  EXPECT_EQ(copy.barcode_val_clr_val, source->barcode_val_clr_val);
  EXPECT_EQ(copy.barcode_back_clr_val, source->barcode_back_clr_val);
  EXPECT_EQ(copy.barcode_clr_val, source->barcode_clr_val);
  EXPECT_EQ(copy.dpi_val_index, source->dpi_val_index);
  // The custom resolution's text is stored, never loaded; the value source stays apart.
  EXPECT_EQ(copy.dpi_custom_val, "450");
  EXPECT_EQ(copy.data_source_type, 2);
  EXPECT_EQ(copy.batch_list_name, "Other");
  EXPECT_EQ(copy.batch_list_index, 9);
}

TEST_F(Generation, LoadedSettingsShapeTheHeadlessPicture) {
  auto graphic = std::make_shared<CRDBarcode>();
  graphic->barcode_font_index = 8;  // EAN-13
  graphic->barcode_back_clr_val = CRDColor::rgb(1, 0, 0);
  graphic->dpi_val_index = 1;  // 72 dpi, kept from a QR Code: linear pictures ignore it
  graphic->LR_margin_val = 0;
  Barcode_Designer designer;
  designer.Set_Barcode_Prop_To_Control(graphic);
  const Picture picture = designer.Get_Image_From_Val("400638133393", "H", "F");
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.image().width(),
            int(std::ceil(Barcode_Designer::Linear_DPI * picture.size().width() / 72 - 1e-6)));
  EXPECT_EQ(picture.image().pixel(0, 0), qRgb(255, 0, 0));
}

TEST_F(Generation, HeadlessRoadRefusesWhatCannotBeEncoded) {
  const struct {
    const char* what;
    QString title;
    QString value;
    bool picture;
  } cases[] = {
      {"empty linear value", "Code 128", "", false},
      {"empty two-dimensional value", "QR Code", "", false},
      {"accented letter, linear", "Code 128", QString::fromUtf8("Caf\u00e9"), false},
      {"letters in EAN-13", "EAN-13", "40063813339A", false},
      {"odd digit count in Code 128 SET C", "Code 128 SET C", "123", false},
      {"accented letter, Data Matrix: its UTF-8 bytes", "DataMatrix",
       QString::fromUtf8("Caf\u00e9"), true},
      {"accented letter, QR Code: its UTF-8 bytes", "QR Code", QString::fromUtf8("Caf\u00e9"),
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Barcode_Designer designer = On(c.title);
    // A picture made just before must not leak into the answer.
    ASSERT_FALSE(
        designer.Get_Image_From_Val(Find_Barcode_Symbology(c.title)->sample, "H", "F").isNull());
    EXPECT_EQ(designer.Get_Image_From_Val(c.value, "H", "F").isNull(), !c.picture);
    if (!c.picture && c.title == "QR Code") {
      EXPECT_TRUE(designer.image_2d().isNull());
    }
  }

  // A title that names no symbology, or one of the other mode.
  Barcode_Designer unknown;
  unknown.barcodeTypePopup = {{"Code 93"}, 0};
  EXPECT_TRUE(unknown.Get_Image_From_Val("0123", "H", "F").isNull());
  Barcode_Designer mixed = On("QR Code");
  mixed.liner_or_2D_font = 0;
  EXPECT_TRUE(mixed.Get_Image_From_Val("0123", "H", "F").isNull());
  mixed = On("Code 39");
  mixed.liner_or_2D_font = 1;
  EXPECT_TRUE(mixed.Get_Image_From_Val("0123", "H", "F").isNull());

  // A value larger than the chosen QR version holds.
  Barcode_Designer qr = On("QR Code");
  qr.qr_version_ComboBox.index = 1;
  EXPECT_TRUE(qr.Get_Image_From_Val(QString(40, 'x'), "H", "F").isNull());
  qr.qr_version_ComboBox.index = 0;
  EXPECT_FALSE(qr.Get_Image_From_Val(QString(40, 'x'), "H", "F").isNull());
}

TEST_F(Generation, PreviewIsBlankWithTheErrorLabelForARefusedValue) {
  Barcode_Designer designer = On("EAN-13");
  designer.dataText = "400638133393";
  designer.goButtonActionPerformed();
  ASSERT_FALSE(designer.barcodeImage().isNull());
  ASSERT_TRUE(designer.testBarcode());
  EXPECT_FALSE(designer.barcode_error_label_shown());

  const struct {
    const char* what;
    QString value;
  } refused[] = {{"empty", ""},
                 {"accented", QString::fromUtf8("4006381333\u00e9")},
                 {"letters the symbology refuses", "ABC"}};
  for (const auto& c : refused) {
    SCOPED_TRACE(c.what);
    designer.dataText = "400638133393";
    designer.goButtonActionPerformed();
    ASSERT_FALSE(designer.barcodeImage().isNull());
    designer.dataText = c.value;
    designer.goButtonActionPerformed();
    EXPECT_TRUE(designer.barcodeImage().isNull());
    EXPECT_TRUE(designer.barcode_error_label_shown());
  }
  // Validation alone: only empty and non-ASCII values are refused.
  designer.dataText = "ABC";
  EXPECT_TRUE(designer.Check_And_Validat_Barcode(false, false));
  designer.dataText = "";
  EXPECT_FALSE(designer.Check_And_Validat_Barcode(false, false));

  // Two-dimensional mode validates its own value control.
  Barcode_Designer two_d = On("DataMatrix");
  two_d.dataText = "";
  two_d.dataText_2D = "0123";
  two_d.goButtonActionPerformed();
  EXPECT_FALSE(two_d.barcodeImage().isNull());
  EXPECT_FALSE(two_d.image_2d().isNull());
  EXPECT_FALSE(two_d.testBarcode());
  two_d.dataText_2D = QString(4000, 'x');  // more than any Data Matrix symbol holds
  two_d.goButtonActionPerformed();
  EXPECT_TRUE(two_d.barcodeImage().isNull());
  EXPECT_TRUE(two_d.image_2d().isNull());
  EXPECT_TRUE(two_d.barcode_error_label_shown());
}

TEST_F(Generation, LoadingKeepsThePreviewButNeverTheHeadlessPicture) {
  Barcode_Designer designer = On("Code 128");
  designer.dataText = "first";
  designer.goButtonActionPerformed();
  const auto preview_model = designer.testBarcode();
  const Picture preview = designer.barcodeImage();
  ASSERT_TRUE(preview_model);
  const Picture expected = Barcode_Designer(designer).Get_Image_From_Val("record 7", "H", "F");

  Not_Draw_Only_Prop_Change = true;
  designer.dataText = "second";
  EXPECT_EQ(designer.Generate_Barcode_Variable(true, "second", "H", "F"), preview_model);
  EXPECT_EQ(designer.barcodeImage(), preview);
  // The batch output's picture is always that of the record's value.
  const Picture record = designer.Get_Image_From_Val("record 7", "H", "F");
  EXPECT_EQ(record.image(), expected.image());
  EXPECT_EQ(designer.testBarcode_EXP()->content(), "record 7");
  Not_Draw_Only_Prop_Change = false;
}

TEST_F(Generation, PDF417UsesTheErrorLevelOfTheSettings) {
  Barcode_Designer designer = On("PDF417");
  designer.pdf_ec_lvl_Stepper = 2;
  const Picture low = designer.Get_Image_From_Val("0123456789", "H", "F");
  auto graphic = std::make_shared<CRDBarcode>();
  designer.Set_Control_Prop_To_Barcode(*graphic);
  graphic->pdf_ec_val = 6;
  designer.Set_Barcode_Prop_To_Control(
      graphic);  // no handler runs: the level comes from the settings
  const Picture high = designer.Get_Image_From_Val("0123456789", "H", "F");
  ASSERT_FALSE(low.isNull());
  ASSERT_FALSE(high.isNull());
  EXPECT_NE(low.image(), high.image());
}

TEST_F(Generation, CopiesGenerateApartFromTheOriginal) {
  Barcode_Designer live = On("QR Code");
  live.dataText_2D = "live";
  live.goButtonActionPerformed();
  const Picture live_preview = live.barcodeImage();

  Barcode_Designer copy = live;
  EXPECT_TRUE(copy.image_2d().isNull());  // a copy starts without the working pictures
  EXPECT_TRUE(copy.barcodeImage().isNull());
  copy.Select_Symbology("Code 128");
  copy.LR_mar_Stepper = 1;
  ASSERT_FALSE(copy.Get_Image_From_Val("copy", "H", "F").isNull());

  EXPECT_EQ(live.liner_or_2D_font, 1);
  EXPECT_FLOAT_EQ(live.LR_mar_Stepper, 0.1f);
  EXPECT_EQ(live.barcodeImage(), live_preview);
  EXPECT_FLOAT_EQ(live.LR_margin, float(0.1 * Cm));  // working margins untouched by the copy
}

TEST_F(Generation, ResizingAndSavingPictures) {
  QImage source(50, 25, QImage::Format_ARGB32_Premultiplied);
  source.fill(Qt::black);
  const Picture picture(source, QSizeF(6, 3));  // 600 dpi

  const Picture resized = Barcode_Designer::Resize_Image(picture, QSizeF(10.7, 5.2));
  ASSERT_FALSE(resized.isNull());
  EXPECT_EQ(resized.image().size(), QSize(10, 5));  // one pixel a point, truncated
  EXPECT_EQ(resized.size(), QSizeF(10.7, 5.2));
  EXPECT_EQ(resized.image().pixel(5, 2), qRgb(0, 0, 0));  // the source at its own size
  EXPECT_EQ(qAlpha(resized.image().pixel(8, 4)), 0);
  EXPECT_TRUE(Barcode_Designer::Resize_Image(Picture(), QSizeF(10, 10)).isNull());
  EXPECT_TRUE(Barcode_Designer::Resize_Image(picture, QSizeF(0.5, 10)).isNull());

  QTemporaryDir dir;
  const QString path = dir.filePath("barcode.png");
  ASSERT_TRUE(Barcode_Designer::Save_Barcode_image(picture, path));
  const QImage read(path);
  EXPECT_EQ(read.size(), QSize(50, 25));
  EXPECT_NEAR(read.dotsPerMeterX() * 0.0254, 600, 0.5);
  // A second picture replaces the file.
  ASSERT_TRUE(Barcode_Designer::Save_Barcode_image(resized, path));
  EXPECT_EQ(QImage(path).size(), QSize(10, 5));
  EXPECT_FALSE(Barcode_Designer::Save_Barcode_image(picture, dir.filePath("missing/barcode.png")));
  EXPECT_FALSE(Barcode_Designer::Save_Barcode_image(Picture(), dir.filePath("none.png")));

  // A disk that takes no more (files may not grow past a limit): refused with the system's
  // reason, the picture saved before kept; small pictures fail only when written out.
  const auto noise = [](int side) {
    QImage image(side, side, QImage::Format_RGB32);
    QRandomGenerator random(3);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) image.setPixel(x, y, random.generate() | 0xff000000u);
    return Picture(image, QSizeF(side, side));
  };
  const struct {
    const char* name;
    qint64 limit;
    int side;
  } cases[] = {
      {"small picture, nothing reaches the disk", 0, 8},
      {"small picture, cut after 100 bytes", 100, 40},
      {"large picture, cut after 64 KB", 64 * 1024, 500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test_support::Expect_Refused_Under_Limit(path, c.limit, [&](QString* reason) {
      return Barcode_Designer::Save_Barcode_image(noise(c.side), path, reason);
    });
    EXPECT_EQ(QImage(path).size(), QSize(10, 5));
  }
}

}  // namespace

// The drawing a printer gets of a barcode has the modules of its picture exactly: painted
// at the picture's resolution, every pixel of the bars or the symbol is as dark or light
// as the picture's (a symbol's light modules, clear in its picture, are light: the
// drawing's background); and it holds no picture (a PDF of it lists no image).
TEST_F(Generation, DrawingsForPrintersHaveThePicturesModulesAsRectangles) {
  auto Dark = [](QRgb pixel) { return qAlpha(pixel) > 128 && qGray(pixel) < 128; };
  for (const char* title : {"Code 128", "EAN-13", "QR Code", "PDF417", "DataMatrix"}) {
    SCOPED_TRACE(title);
    Barcode_Designer designer = On(QString::fromLatin1(title));
    const QString value = QString::fromLatin1(title) == QLatin1String("EAN-13")
                              ? QStringLiteral("400638133393")
                              : QStringLiteral("Guest 42");
    const Picture picture = designer.Get_Image_From_Val(value, QString(), QString());
    ASSERT_FALSE(picture.isNull());
    Barcode_Drawing drawing;
    ASSERT_TRUE(designer.Get_Drawing_From_Val(value, QString(), QString(), &drawing));
    EXPECT_EQ(drawing.frame, picture.size());
    const bool two_d = !drawing.symbol.isNull();
    EXPECT_EQ(two_d, !drawing.symbol_modules.empty());

    const QImage& pixels = picture.image();
    const double dpi = pixels.dotsPerMeterX() * 0.0254;
    QImage painted(pixels.size(), QImage::Format_ARGB32);
    painted.fill(Qt::white);
    {
      QPainter painter(&painted);
      painter.scale(dpi / 72, dpi / 72);
      Paint_Barcode_Drawing(painter, drawing);
    }
    // The modules' area: the symbol, or the rows of the bars across the frame.
    QRectF area = drawing.symbol_rect;
    if (!two_d) {
      ASSERT_FALSE(drawing.bars.empty());
      area = QRectF(0, drawing.bars.front().top(), drawing.frame.width(),
                    drawing.bars.front().height());
    }
    const QRect in_pixels(QPoint(int(std::ceil(area.left() * dpi / 72)),
                                 int(std::ceil(area.top() * dpi / 72))),
                          QPoint(int(std::floor(area.right() * dpi / 72)) - 1,
                                 int(std::floor(area.bottom() * dpi / 72)) - 1));
    ASSERT_FALSE(in_pixels.isEmpty());
    // A symbol whose picture has a fraction of a pixel a module (copied without
    // interpolation) may differ on module edges, where the drawing is exact: only pixels
    // inside a module of the picture count.
    int differ = 0;
    for (int y = in_pixels.top() + 1; y < in_pixels.bottom(); ++y)
      for (int x = in_pixels.left() + 1; x < in_pixels.right(); ++x) {
        const bool dark = Dark(pixels.pixel(x, y));
        bool inside = true;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) inside = inside && Dark(pixels.pixel(x + dx, y + dy)) == dark;
        differ += inside && dark != Dark(painted.pixel(x, y));
      }
    EXPECT_EQ(differ, 0) << in_pixels.width() << " x " << in_pixels.height();

    QTemporaryDir folder;
    const QString pdf = folder.filePath("barcode.pdf");
    {
      QPdfWriter writer(pdf);
      writer.setResolution(1200);
      QPainter painter(&writer);
      painter.scale(1200 / 72.0, 1200 / 72.0);
      Paint_Barcode_Drawing(painter, drawing);
    }
    const auto images = test_support::Run_Program("pdfimages", {"-list", pdf}, 30000);
    EXPECT_EQ(QString::fromUtf8(images.out).split(u'\n', Qt::SkipEmptyParts).size(), 2)
        << images.out.constData();
  }
}
