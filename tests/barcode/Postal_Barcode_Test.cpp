// The postal symbologies. No decoder reads them here, so their bars are compared with the
// published character tables: each bar's state (tall or short; full, ascender, descender
// or tracker) read back from the model's barTop()/barBottom().

#include "Linear_Test_Support.h"
#include "support/Test_Support.h"

#include <QHash>

namespace {

using linear_test::Make;

constexpr float Mm = 72.0f / 25.4f;  // points per millimetre

// The bars of a POSTNET or PLANET symbol as "1" tall and "0" short, one per bar module.
QString tall_short(const LinBarcode& model) {
  const QString bars = model.completeBarcode();
  QString states;
  for (int i = 0; i < bars.size(); ++i) {
    if (bars.at(i) != '1') continue;
    const float top = model.barTop(i);
    const bool tall = std::abs(top - 9.0f) < 1e-4f, low = std::abs(top - 3.6f) < 1e-4f;
    EXPECT_TRUE(tall || low) << i << " " << top;
    states += tall ? '1' : '0';
  }
  return states;
}

// POSTNET digits, five bars each, 1 = full bar (USPS DMM 708.4, POSTNET code).
const char* const Postnet_Digits[] = {"11000", "00011", "00101", "00110", "01001",
                                      "01010", "01100", "10001", "10010", "10100"};

QString postnet_bars(const QString& digits, bool planet) {
  QString states = "1";
  for (QChar d : digits) {
    QString code = Postnet_Digits[d.digitValue()];
    if (planet)
      for (QChar& c : code) c = c == '1' ? '0' : '1';
    states += code;
  }
  return states + "1";
}

TEST(PostnetPlanet, BarsFollowTheDigitTables) {
  struct Row {
    const char* symbology;
    const char* value;
    bool valid;
    char check;
    const char* why;
  };
  const Row rows[] = {
      {"PostNet", "12345", true, '5', "ZIP code: 1+2+3+4+5 = 15, check 5"},
      {"PostNet", "123456789", true, '5', "ZIP+4: 45, check 5"},
      {"PostNet", "12345678901", true, '4', "delivery point: 46, check 4"},
      {"PostNet", "55555", true, '5', "25, check 5"},
      {"PostNet", "00000", true, '0', "sum 0, check 0"},
      {"PostNet", "1234", false, '0', "4 digits"},
      {"PostNet", "123456", false, '0', "6 digits"},
      {"PostNet", "1234-5678", false, '0', "hyphen"},
      {"PostNet", "", false, '0', "empty"},
      {"Planet", "12345", true, '5', "PLANET: tall and short exchanged"},
      {"Planet", "1234567890", false, '0', "10 digits"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.symbology) + " " + row.value + ": " + row.why);
    auto model = Make(row.symbology, row.value);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->isContentValid(), row.valid);
    if (!row.valid) continue;
    const QString digits = QString(row.value) + QChar(row.check);
    EXPECT_EQ(model->checkDigit(), row.check);
    EXPECT_EQ(model->completeBarcode().size(), 15 * qsizetype(strlen(row.value)) + 19);
    EXPECT_EQ(tall_short(*model), postnet_bars(digits, QString(row.symbology) == "Planet"));
    EXPECT_EQ(model->caption(), row.value);
  }
}

TEST(PostnetPlanet, SizesAreFixedByTheSymbology) {
  auto model = Make("PostNet", "12345", false);
  ASSERT_TRUE(model);
  EXPECT_FLOAT_EQ(model->barWidth(), 1.08f);
  EXPECT_FLOAT_EQ(model->height(), 9.0f);
  EXPECT_FLOAT_EQ(model->width(), 94 * 1.08f);
  EXPECT_FALSE(model->printsCaption());
  // A taller picture leaves the bars as they are.
  model->setHeight(100);
  EXPECT_FLOAT_EQ(model->barTop(0), 9.0f);
  EXPECT_FLOAT_EQ(model->barTop(3), 3.6f);
  EXPECT_FLOAT_EQ(model->barTop(12), 9.0f);
  EXPECT_FLOAT_EQ(model->barTop(93), 9.0f);
  model->setPrintsHeader(true);
  EXPECT_TRUE(model->printsHeader());
}

// ---- Four-state symbols ------------------------------------------------------------------

// The bar states of a four-state model, one letter per bar module: F full, A ascender,
// D descender, T tracker; checks that the bar spans the heights of its state.
QString four_states(const LinBarcode& model, float full_top, float short_top, float short_foot) {
  const QString bars = model.completeBarcode();
  QString states;
  for (int i = 0; i < bars.size(); ++i) {
    if (bars.at(i) != '1') continue;
    const float top = model.barTop(i), foot = model.barBottom(i);
    const bool up = std::abs(top - full_top) < 1e-3f, down = std::abs(foot) < 1e-3f;
    EXPECT_TRUE(up || std::abs(top - short_top) < 1e-3f) << i << " top " << top;
    EXPECT_TRUE(down || std::abs(foot - short_foot) < 1e-3f) << i << " foot " << foot;
    states += up && down ? 'F' : up ? 'A' : down ? 'D' : 'T';
  }
  return states;
}

QString royal_mail_states(const LinBarcode& model) {
  return four_states(model, 5.05f * Mm, 3.15f * Mm, 1.9f * Mm);
}

TEST(RoyalMail, BarsFollowTheCharacterGrid) {
  struct Row {
    const char* value;
    bool valid;
    const char* content;
    char check;
    const char* states;
    const char* why;
  };
  const Row rows[] = {
      {"BX11LT1A", true, "BX11LT1A", 'I', "ADFTAFATDTDAFTDAFFTTFFDATTDAFDADAATDFF",
       "RM4SCC: start A, B X 1 1 L T 1 A, check I, stop F"},
      {"bx11lt1a", true, "BX11LT1A", 'I', "ADFTAFATDTDAFTDAFFTTFFDATTDAFDADAATDFF",
       "lower case taken as upper"},
      // 0: row 1 col 1, 5: row 1 col 6, A: row 2 col 5, Z: row 6 col 6.
      {"05AZ", true, "05AZ", 'N', "ATTFFDDAADADAFFTTFDTAF",
       "corners and a middle of the grid; check N"},
      {"BX11 LT1A", false, nullptr, 0, nullptr, "space"},
      {"SN34RD1A-", false, nullptr, 0, nullptr, "hyphen"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.value) + ": " + row.why);
    auto model = Make("Royal Mail Barcode (RM4SCC / CBC)", row.value, false);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->isContentValid(), row.valid);
    if (!row.valid) continue;
    EXPECT_EQ(model->content(), row.content);
    EXPECT_EQ(model->checkDigit(), row.check);
    EXPECT_EQ(model->completeBarcode().size(), 8 * qsizetype(strlen(row.value)) + 11);
    EXPECT_EQ(royal_mail_states(*model), row.states);
  }
}

TEST(RoyalMail, SizesAndPrintedTexts) {
  auto model = Make("Royal Mail Barcode (RM4SCC / CBC)", "BX11LT1A", false);
  EXPECT_NEAR(model->barWidth(), 1.4173228f, 1e-5);
  EXPECT_NEAR(model->height(), 14.31496f, 1e-4);
  EXPECT_NEAR(model->width(), 75 * 1.4173228f, 1e-3);
  // The value, header and footer are printed whatever was asked.
  model->setPrintsHeader(false);
  EXPECT_TRUE(model->printsCaption());
  EXPECT_TRUE(model->printsHeader());
  EXPECT_TRUE(model->printsFooter());
}

// ---- Japan Post ---------------------------------------------------------------------------

// The Japan Post customer barcode character table: three bars a symbol.
const QHash<QChar, QString>& japan_post_table() {
  static const QHash<QChar, QString> table = {
      {'0', "FTT"}, {'1', "FFT"}, {'2', "FDA"}, {'3', "DFA"}, {'4', "FAD"},
      {'5', "FTF"}, {'6', "DAF"}, {'7', "AFD"}, {'8', "ADF"}, {'9', "TFF"},
      {'-', "TFT"}, {':', "DAT"}, {';', "DTA"}, {'<', "ADT"}, {'=', "TDA"},
      {'>', "ATD"}, {'?', "TAD"}, {'.', "TTF"}, {'/', "FFF"}};
  return table;
}

QString japan_post_states(const LinBarcode& model, float size) {
  const float scale = size / 10;
  return four_states(model, 3.6f * scale * Mm, 2.4f * scale * Mm, 1.2f * scale * Mm);
}

TEST(JapanPost, ValuesBecomeTwentySymbolsAndACheckSymbol) {
  struct Row {
    const char* value;
    bool valid;
    const char* content;
    const char* symbols;
    char check;
    const char* why;
  };
  const Row rows[] = {
      {"1234567", true, "1234567", "1234567=============", '/', "postal code, 13 x CC4, CC8"},
      {"1234567 8-9", true, "12345678-9", "12345678-9==========", '=', "space dropped, check CC4"},
      {"263-0023 3-30-8", false, "263-00233-30-8", "263-00233-30-8======", 0,
       "hyphen inside the postal code"},
      {"2630023 3-30-8-403", true, "26300233-30-8-403", "26300233-30-8-403===", 0,
       "address number with hyphens"},
      {"1234567K-U9Z", true, "1234567K-U9Z", "1234567;0-<09<5=====", 0,
       "K = CC2 0, U = CC3 0, Z = CC3 5"},
      {"abc1234567", false, "ABC1234567", ":0:1:21234567=======", 0, "letters first"},
      {"123-4567", false, "123-4567", "123-4567============", 0, "hyphen in the first seven"},
      // A letter needs two symbols: G no longer fits after 19, so CC4 fills the last.
      {"1234567ABCDEFGHIJK", true, "1234567ABCDEF", "1234567:0:1:2:3:4:5=", '-',
       "control code never split from its digit"},
      {"12345678901234567890123", true, "12345678901234567890", "12345678901234567890", 0,
       "cut after 20 symbols"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.value) + ": " + row.why);
    auto model = Make("Japan Post Barcode", row.value);
    ASSERT_TRUE(model);
    auto* japan = dynamic_cast<JapanPostBarcode*>(model.get());
    EXPECT_EQ(model->isContentValid(), row.valid);
    EXPECT_EQ(model->content(), row.content);
    EXPECT_EQ(model->caption(), row.content);
    EXPECT_EQ(japan->japanpostContents(), row.symbols);
    if (row.check) {
      EXPECT_EQ(model->checkDigit(), row.check);
    }

    // The check symbol makes the sum of the 21 check values a multiple of 19.
    const QString all = japan->japanpostContents() + QChar(model->checkDigit());
    int sum = 0;
    for (QChar c : all) sum += c.isDigit() ? c.digitValue() : QString("-:;<=>?./").indexOf(c) + 10;
    EXPECT_EQ(sum % 19, 0);

    // Start F D, three bars a symbol, stop D F: 67 bars in 133 modules.
    QString expected = "FD";
    for (QChar c : all) expected += japan_post_table().value(c);
    expected += "DF";
    EXPECT_EQ(model->completeBarcode().size(), 133);
    EXPECT_EQ(japan_post_states(*model, 10), expected);
  }
}

TEST(JapanPost, SymbolSizeIsKeptApartFromThePictureHeight) {
  JapanPostBarcode model;
  ASSERT_TRUE(model.initWithContent(QStringLiteral("1234567"), false));
  EXPECT_FLOAT_EQ(model.symbolSize(), 10.0f);
  EXPECT_FLOAT_EQ(model.barWidth(), 10.0f / 6);
  EXPECT_FLOAT_EQ(model.width(), 133 * 10.0f / 6);
  EXPECT_FLOAT_EQ(model.height(), 36.0f);
  EXPECT_TRUE(model.printsCaption());  // always printed

  // The picture height changes nothing of the symbol.
  model.setHeight(120);
  EXPECT_FLOAT_EQ(model.height(), 120.0f);
  EXPECT_FLOAT_EQ(model.symbolSize(), 10.0f);
  EXPECT_NEAR(model.barTop(0), 3.6f * Mm, 1e-4);  // start bar: full, 10.2047 points

  struct Row {
    bool by_size;
    float set, size, bar_width;
  };
  const Row rows[] = {
      {true, 5, 8.5f, 8.5f / 6},  {true, 20, 11.5f, 11.5f / 6},  {true, 9, 9.0f, 1.5f},
      {false, 1, 8.0f, 4.0f / 3}, {false, 3, 11.5f, 23.0f / 12}, {false, 1.5f, 9.0f, 1.5f},
  };
  for (const Row& row : rows) {
    if (row.by_size)
      model.setSymbolSize(row.set);
    else
      model.setBarWidth(row.set);
    EXPECT_NEAR(model.symbolSize(), row.size, 1e-5) << row.set;
    EXPECT_NEAR(model.barWidth(), row.bar_width, 1e-5) << row.set;
    EXPECT_NEAR(model.width(), 133 * row.bar_width, 1e-3) << row.set;
    EXPECT_FLOAT_EQ(model.height(), 120.0f);
    // Bars scale with the size.
    EXPECT_EQ(japan_post_states(model, row.size).left(2), "FD");
  }
}

}  // namespace
