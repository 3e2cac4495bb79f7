// The linear barcode model shared by every symbology, and the barcode settings it reads
// its fonts and margins from.

#include "Linear_Test_Support.h"
#include "barcode/Barcode_Gen.h"
#include "model/Fonts.h"
#include "support/Test_Support.h"

#include <QHash>

#include <thread>

namespace {

// Liberation Serif, which stands in for Times New Roman, has the metrics of Times: cap
// height 1341/2048 em and "H" 1479/2048 em wide.
constexpr double Cap_Em = 1341.0 / 2048.0;
constexpr double H_Em = 1479.0 / 2048.0;

// A model that prints its first and last characters beside the bars.
class Beside_Model : public LinBarcode {
 public:
  int left = 1, right = 1;
  int digitsToLeft() const override { return left; }
  int digitsToRight() const override { return right; }
};

TEST(LinearModel, InitialisationGivesNoModelOnlyWithoutAValue) {
  LinBarcode none;
  EXPECT_FALSE(none.initWithContent(std::nullopt, true));
  for (const QString& symbology : linear_test::Symbologies()) {
    EXPECT_FALSE(linear_test::Make(symbology, std::nullopt)) << symbology.toStdString();
    auto empty = linear_test::Make(symbology, QString());
    ASSERT_TRUE(empty) << symbology.toStdString();
    empty->completeBarcode();  // answers, whatever it is
  }

  LinBarcode empty;
  ASSERT_TRUE(empty.initWithContent(QString(), true));
  EXPECT_TRUE(empty.isContentValid());
  EXPECT_EQ(empty.barcode(), "");

  LinBarcode defaults;
  ASSERT_TRUE(defaults.initWithContent(QStringLiteral("AB")));
  EXPECT_FLOAT_EQ(defaults.barWidth(), 0.936f);
  EXPECT_FLOAT_EQ(defaults.height(), 36.0f);
  EXPECT_FLOAT_EQ(defaults.caption_fontSize(), 6.0f);
  EXPECT_EQ(defaults.checkDigit(), -1);
  EXPECT_TRUE(defaults.printsCaption());
  EXPECT_FALSE(defaults.printsHeader());
  EXPECT_FALSE(defaults.printsFooter());
  EXPECT_EQ(defaults.header(), "");
  EXPECT_EQ(defaults.footer(), "");
  // The width follows the bars already: 8 modules of 0.936 points.
  EXPECT_FLOAT_EQ(defaults.width(), 8 * 0.936f);
}

TEST(LinearModel, BaseModelWritesEveryCharacterAsOneBarPair) {
  LinBarcode model;
  ASSERT_TRUE(model.initWithContent(QStringLiteral("AB"), true, 1.0f, 50.0f, 8.0f, -1));
  EXPECT_EQ(model.completeBarcode(), "10101010");
  model.setBarWidth(2.0f);
  EXPECT_FLOAT_EQ(model.width(), 8.0f);  // derived values wait for calculateWidth
  model.calculateWidth();
  EXPECT_FLOAT_EQ(model.width(), 16.0f);
  EXPECT_FLOAT_EQ(model.firstBar(), 0.0f);
  EXPECT_FLOAT_EQ(model.lastBar(), 14.0f);
}

TEST(LinearModel, CaptionSplitsOffTheCharactersPrintedBesideTheBars) {
  struct Row {
    QString content;
    int left, right;
    QString leftCaption, caption, rightCaption;
  };
  const Row rows[] = {
      {"123456", 1, 1, "1", "2345", "6"},
      {"123456", 0, 0, "", "123456", ""},
      {"123456", 2, 0, "12", "3456", ""},
      {"1", 1, 1, "1", "", "1"},  // shorter than both parts: nothing in the middle
      {"", 1, 1, "", "", ""},
  };
  for (const Row& row : rows) {
    Beside_Model model;
    model.left = row.left;
    model.right = row.right;
    ASSERT_TRUE(model.initWithContent(row.content));
    EXPECT_EQ(model.leftCaption(), row.leftCaption) << row.content.toStdString();
    EXPECT_EQ(model.caption(), row.caption) << row.content.toStdString();
    EXPECT_EQ(model.rightCaption(), row.rightCaption) << row.content.toStdString();
  }
}

TEST(LinearModel, BarLengthLeavesRoomForThePrintedTextsAndMargins) {
  Barcode_Gen settings;
  settings.value_margin = 2.0f;
  settings.header_margin = 4.0f;
  settings.footer_margin = 5.0f;
  settings.TB_margin = 3.0f;
  Barcode_Gen_Scope scope(settings);

  struct Row {
    bool caption, header, footer;
    float top, bottom;
  };
  // Bands: value 0.125 in (9 pt), header 0.25 in (18 pt), footer 0.5 in (36 pt).
  const Row rows[] = {
      {true, false, false, 100 - 11 - 6, 9},      {false, false, false, 100 - 6, 0},
      {true, true, false, 100 - 11 - 22 - 6, 27}, {true, true, true, 100 - 11 - 22 - 41 - 6, 63},
      {false, false, true, 100 - 41 - 6, 36},
  };
  for (const Row& row : rows) {
    LinBarcode model;
    ASSERT_TRUE(model.initWithContent(QStringLiteral("1"), row.caption));
    model.setHeight(100);
    model.setCaptionHeight(0.125f);
    model.setHeaderHeight(0.25f);
    model.setFooterHeight(0.5f);
    model.setPrintsHeader(row.header);
    model.setPrintsFooter(row.footer);
    for (int module : {0, 1, 3}) {
      EXPECT_FLOAT_EQ(model.barTop(module), row.top);
      EXPECT_FLOAT_EQ(model.barBottom(module), row.bottom);
    }
  }
}

TEST(LinearModel, ValuesOutsideAsciiAreRefusedByEverySymbology) {
  // A value each symbology accepts, then the same with an accented letter in it.
  const QHash<QString, QString> valid = {{"Code 39", "AB12"},
                                         {"Extended Code 39", "Ab12"},
                                         {"Interleaved 2 of 5", "1234"},
                                         {"UPCA", "03600029145"},
                                         {"PostNet", "12345"},
                                         {"Modified Plessey", "1234"},
                                         {"Modified Plessey (Hex)", "12AB"},
                                         {"Industrial 2 of 5", "1234"},
                                         {"EAN-13", "400638133393"},
                                         {"Code 128", "Hello"},
                                         {"Code 128 SET A", "HELLO"},
                                         {"Code 128 SET B", "Hello"},
                                         {"Code 128 SET C", "1234"},
                                         {"Codabar", "A123B"},
                                         {"UPCE", "0425261"},
                                         {"EAN-8", "9638507"},
                                         {"Royal Mail Barcode (RM4SCC / CBC)", "BX11LT1A"},
                                         {"Planet", "12345"},
                                         {"Japan Post Barcode", "1234567"}};
  for (const QString& symbology : linear_test::Symbologies()) {
    SCOPED_TRACE(symbology.toStdString());
    ASSERT_TRUE(valid.contains(symbology));
    const QString value = valid.value(symbology);
    auto plain = linear_test::Make(symbology, value);
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->isContentValid());
    // é and ß (which upper-cases to the ASCII "SS") at the end and in the middle.
    for (const QString& bad : {value + QStringLiteral("\u00e9"), QStringLiteral("\u00df") + value,
                               value.left(2) + QStringLiteral("\u00e9") + value.mid(2)}) {
      auto accented = linear_test::Make(symbology, bad);
      ASSERT_TRUE(accented);
      EXPECT_FALSE(accented->isContentValid()) << bad.toStdString();
    }
  }
  LinBarcode base;
  ASSERT_TRUE(base.initWithContent(QStringLiteral("caf\u00e9")));
  EXPECT_FALSE(base.isContentValid());
  EXPECT_EQ(base.barcode(), "");
}

TEST(LinearModel, ModelsWithTheSameContentAreEqualWhateverTheirSymbology) {
  auto code39 = linear_test::Make("Code 39", "1234");
  auto itf = linear_test::Make("Interleaved 2 of 5", "1234");
  auto other = linear_test::Make("Interleaved 2 of 5", "1235");
  EXPECT_TRUE(code39->isEqual(*itf));
  EXPECT_FALSE(itf->isEqual(*other));
}

// ---- Text bands -----------------------------------------------------------------------

TEST(LinearModel, TextBandsComeFromTheSettingsFontsInPoints) {
  Barcode_Gen settings;
  settings.value_font = Make_Font("Times New Roman", 11);
  settings.header_font = Make_Font("Times New Roman", 10);
  settings.footer_font = Make_Font("TimesNewRomanPSMT", 20);
  Barcode_Gen_Scope scope(settings);

  LinBarcode model;
  ASSERT_TRUE(model.initWithContent(QStringLiteral("1")));
  EXPECT_FLOAT_EQ(model.captionHeight(), 0.0f);  // not computed by the initialiser
  model.setHeader(QStringLiteral("HHHH"));
  model.setFooter(QStringLiteral("HHHH"));
  model.setCaptionFontSize(6);
  model.setHeaderFontSize(99);
  model.setFooterFontSize(1);

  // Cap height 11 x 0.6548 = 7.2 points: a band of 1.35 x 7.2 / 72 = 0.135 inch, whatever
  // size was passed.
  EXPECT_NEAR(model.captionHeight(), 1.35 * 11 * Cap_Em / 72, 0.0005);
  EXPECT_NEAR(model.captionHeight(), 0.135, 0.001);
  EXPECT_NEAR(model.headerHeight(), 1.35 * 10 * Cap_Em / 72, 0.0005);
  EXPECT_NEAR(model.footerHeight(), 1.35 * 20 * Cap_Em / 72, 0.0005);
  EXPECT_FLOAT_EQ(model.caption_fontSize(), 6);
  EXPECT_FLOAT_EQ(model.header_fontSize(), 99);
  // Four "H" at 10 and at 20 points, measured in points (not screen pixels).
  EXPECT_NEAR(model.headerWidth(), 4 * 10 * H_Em, 0.05);
  EXPECT_NEAR(model.footerWidth(), 4 * 20 * H_Em, 0.1);

  // Without a text the width is 0; a changed text counts only after its size is set again.
  model.setHeader(QString());
  EXPECT_GT(model.headerWidth(), 0);
  model.setHeaderFontSize(10);
  EXPECT_FLOAT_EQ(model.headerWidth(), 0);
}

// ---- Settings -------------------------------------------------------------------------

TEST(BarcodeSettings, StartValues) {
  const Barcode_Gen settings;
  for (const QFont* font : {&settings.value_font, &settings.header_font, &settings.footer_font}) {
    EXPECT_EQ(Font_Name(*font), "Times New Roman");
    EXPECT_DOUBLE_EQ(font->pointSizeF(), 10.0);
  }
  for (float margin : {settings.value_margin, settings.header_margin, settings.footer_margin,
                       settings.LR_margin, settings.TB_margin})
    EXPECT_FLOAT_EQ(margin, 0.1f);
  EXPECT_EQ(settings.align_hdr_combo.index, 1);
  EXPECT_EQ(settings.align_hdr_combo.titleOfSelectedItem(), "Center");
  EXPECT_EQ(settings.align_ftr_combo.titleOfSelectedItem(), "Center");
  EXPECT_EQ(settings.barcode_clr.toQColor().rgba(), QColor(Qt::black).rgba());
  EXPECT_EQ(settings.bar_back_clr.toQColor().rgba(), QColor(Qt::white).rgba());
  EXPECT_EQ(settings.header(), "");
  EXPECT_EQ(settings.footer(), "");
  // Before any designer exists, the readers find these start values.
  EXPECT_EQ(Font_Name(Barcode_Gen_Var->value_font), "Times New Roman");
  EXPECT_FLOAT_EQ(Barcode_Gen_Var->TB_margin, 0.1f);

  Barcode_Item_List list{{"Left", "Center"}, 5};
  EXPECT_EQ(list.titleOfSelectedItem(), "");  // nothing selected, not a crash
}

TEST(BarcodeSettings, FontSizeSettersMeasureTheSettingsOwnTexts) {
  Barcode_Gen settings;
  settings.header_font = Make_Font("Times New Roman", 11);
  settings.setHeaderFontSize(30);
  EXPECT_NEAR(settings.headerHeight(), 0.135, 0.001);  // cap height 7.2 points
  EXPECT_FLOAT_EQ(settings.headerWidth(), 0);          // no header text yet
  EXPECT_FLOAT_EQ(settings.header_fontSize(), 30);

  settings.setFooter(QStringLiteral("HHHH"));
  settings.footer_font = Make_Font("Times New Roman", 10);
  settings.setFooterFontSize(10);
  EXPECT_NEAR(settings.footerWidth(), 4 * 10 * H_Em, 0.05);
  settings.setCaptionFontSize(10);
  EXPECT_NEAR(settings.captionHeight(), 1.35 * 10 * Cap_Em / 72, 0.0005);
}

TEST(BarcodeSettings, AThreadWorksOnItsOwnCopy) {
  Barcode_Gen live;
  live.value_font = Make_Font("Times New Roman", 10);
  Barcode_Gen_Var.publish(&live);

  Barcode_Gen copy = live;
  copy.value_font = Make_Font("Times New Roman", 20);
  copy.TB_margin = 7;
  float worker_band = 0, worker_margin = 0;
  std::thread worker([&] {
    Barcode_Gen_Scope scope(copy);
    LinBarcode model;
    model.initWithContent(QStringLiteral("1"));
    model.setCaptionFontSize(10);
    worker_band = model.captionHeight();
    Barcode_Gen_Var->TB_margin = 9;  // changes the scope's copy only
    worker_margin = Barcode_Gen_Var->TB_margin;
  });
  worker.join();

  EXPECT_NEAR(worker_band, 1.35 * 20 * Cap_Em / 72, 0.0005);
  EXPECT_FLOAT_EQ(worker_margin, 9);
  EXPECT_FLOAT_EQ(live.TB_margin, 0.1f);
  EXPECT_EQ(&*Barcode_Gen_Var, &live);

  LinBarcode model;
  model.initWithContent(QStringLiteral("1"));
  model.setCaptionFontSize(10);
  EXPECT_NEAR(model.captionHeight(), 1.35 * 10 * Cap_Em / 72, 0.0005);

  {
    Barcode_Gen_Scope outer(copy);
    {
      Barcode_Gen_Scope inner(Barcode_Gen{});
      EXPECT_FLOAT_EQ(Barcode_Gen_Var->TB_margin, 0.1f);
    }
    EXPECT_FLOAT_EQ(Barcode_Gen_Var->TB_margin, 7);
  }
  EXPECT_EQ(&*Barcode_Gen_Var, &live);
  Barcode_Gen_Var.publish(nullptr);
  EXPECT_NE(&*Barcode_Gen_Var, &live);
}

}  // namespace
