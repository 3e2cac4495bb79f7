// The linear symbologies: normalised contents, check characters, bar strings, captions
// and refusals, against the published standards. Whether the symbols scan is checked by
// the independent decoders in Linear_Decoder_Test.cpp.

#include "Linear_Test_Support.h"
#include "support/Test_Support.h"

#include <QRegularExpression>

namespace {

using linear_test::Make;

// The check character as text ("" for none).
QString check_text(const LinBarcode& model) {
  return model.checkDigit() < 0 ? QString() : QString(QChar(model.checkDigit()));
}

// ---- EAN and UPC ------------------------------------------------------------------------

// Number sets of ISO/IEC 15420, written out: A (odd parity, left half), B (even parity,
// left half), C (right half).
const char* const Set_A[] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                             "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const Set_B[] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                             "0111001", "0000101", "0010001", "0001001", "0010111"};
const char* const Set_C[] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                             "1001110", "1010000", "1000100", "1001000", "1110100"};

// A bar string from digits and the sets they are written in ("A", "B", "C").
QString digits_in_sets(const QString& digits, const QString& sets) {
  QString bars;
  for (int i = 0; i < digits.size(); ++i) {
    const int d = digits.at(i).digitValue();
    const char set = sets.at(i).toLatin1();
    bars += set == 'A' ? Set_A[d] : set == 'B' ? Set_B[d] : Set_C[d];
  }
  return bars;
}

struct Retail_Row {
  const char* symbology;
  const char* value;
  bool valid;
  const char* content;
  const char* check;
  int modules;
  const char* left;
  const char* caption;  // "|" stands for TAB
  const char* right;
  const char* why;
};

TEST(RetailSymbologies, ContentsCheckDigitsAndCaptions) {
  const Retail_Row rows[] = {
      {"EAN-13", "400638133393", true, "400638133393", "1", 95, "4", "  006381|333931", "",
       "ISO/IEC 15420: check digit computed"},
      {"EAN-13", "4006381333931", true, "400638133393", "1", 95, "4", "  006381|333931", "",
       "given check digit right"},
      {"EAN-13", "4006381333932", false, "400638133393", "2", 95, "4", "  006381|333932", "",
       "given check digit wrong: kept, refused"},
      {"EAN-13", "40063813339312", false, "40063813339312", "", 0, "", "", "",
       "longer than 13: refused, not cut"},
      {"EAN-13", "40063813339A", false, "40063813339A", "", 0, "", "", "", "letter"},
      {"EAN-13", "40063813339", false, "40063813339", "", 0, "", "", "", "too short"},
      {"EAN-8", "9638507", true, "9638507", "4", 67, "", " 9638|5074", "", "ISO/IEC 15420"},
      {"EAN-8", "96385074", true, "9638507", "4", 67, "", " 9638|5074", "",
       "given check digit right"},
      {"EAN-8", "96385075", false, "9638507", "5", 67, "", "", "", "given check digit wrong"},
      {"EAN-8", "963850A", false, "963850A", "", 0, "", "", "", "letter"},
      {"EAN-8", "963850", false, "963850", "", 0, "", "", "", "too short"},
      {"UPCA", "03600029145", true, "03600029145", "2", 95, "0", "36000|29145", "2",
       "ISO/IEC 15420"},
      {"UPCA", "036000291452", true, "03600029145", "2", 95, "0", "36000|29145", "2",
       "given check digit right"},
      {"UPCA", "036000291453", false, "03600029145", "3", 95, "", "", "", "check digit wrong"},
      {"UPCA", "0360002914521", false, "0360002914521", "", 0, "", "", "", "13 digits"},
      {"UPCE", "04252614", true, "0425261", "4", 51, "0", "425261", "4", "ISO/IEC 15420"},
      {"UPCE", "0425261", true, "0425261", "4", 51, "0", "425261", "4",
       "check digit of the UPC-A expansion 04210000526"},
      {"UPCE", "04210000526", true, "0425261", "4", 51, "0", "425261", "4",
       "UPC-A number compressed"},
      {"UPCE", "04252615", false, "0425261", "5", 51, "", "", "", "given check digit wrong"},
      {"UPCE", "04210012526", false, "0", "", 0, "", "", "",
       "UPC-A number without a zero-suppressed form"},
      {"UPCE", "2425261", false, "2425261", "", 0, "", "", "", "number system 2"},
      {"UPCE", "042526A", false, "042526A", "", 0, "", "", "", "letter"},
  };
  for (const Retail_Row& row : rows) {
    SCOPED_TRACE(std::string(row.symbology) + " " + row.value + ": " + row.why);
    auto model = Make(row.symbology, row.value);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->isContentValid(), row.valid);
    EXPECT_EQ(model->content(), row.content);
    if (*row.check) {
      EXPECT_EQ(check_text(*model), row.check);
    }
    if (row.modules) {
      EXPECT_EQ(model->completeBarcode().size(), row.modules);
    }
    if (!row.valid) continue;
    EXPECT_EQ(model->leftCaption(), row.left);
    EXPECT_EQ(model->caption(), QString(row.caption).replace('|', '\t'));
    EXPECT_EQ(model->rightCaption(), row.right);
  }
}

TEST(RetailSymbologies, BarStringsFollowTheNumberSets) {
  struct Row {
    const char* symbology;
    const char* value;
    QString bars;
    const char* why;
  };
  const Row rows[] = {
      // Leading 4 selects A B A A B B for the left half.
      {"EAN-13", "4006381333931",
       "101" + digits_in_sets("006381", "ABAABB") + "01010" + digits_in_sets("333931", "CCCCCC") +
           "101",
       "ISO/IEC 15420, parity of leading digit 4"},
      {"EAN-13", "0123456789012",
       "101" + digits_in_sets("123456", "AAAAAA") + "01010" + digits_in_sets("789012", "CCCCCC") +
           "101",
       "leading 0: all six left digits in set A"},
      {"EAN-8", "96385074",
       "101" + digits_in_sets("9638", "AAAA") + "01010" + digits_in_sets("5074", "CCCC") + "101",
       "ISO/IEC 15420"},
      {"UPCA", "036000291452",
       "101" + digits_in_sets("036000", "AAAAAA") + "01010" + digits_in_sets("291452", "CCCCCC") +
           "101",
       "ISO/IEC 15420"},
      // Check digit 4, number system 0: E O E E O O.
      {"UPCE", "04252614", "101" + digits_in_sets("425261", "BABBAA") + "010101",
       "ISO/IEC 15420, UPC-E parity of check digit 4"},
      // Number system 1 inverts: 14210000526 has check digit 1 (E E O E O O -> O O E O E E).
      {"UPCE", "14252611", "101" + digits_in_sets("425261", "AABABB") + "010101",
       "ISO/IEC 15420, number system 1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.symbology) + " " + row.value + ": " + row.why);
    auto model = Make(row.symbology, row.value);
    ASSERT_TRUE(model);
    EXPECT_TRUE(model->isContentValid());
    EXPECT_EQ(model->completeBarcode(), row.bars);
  }
}

TEST(RetailSymbologies, QuietZoneWidensTheSymbol) {
  auto upca = Make("UPCA", "03600029145");
  upca->setBarWidth(1.0f);
  upca->calculateWidth();
  EXPECT_FLOAT_EQ(upca->width(), 95 * 1.2f);
  EXPECT_FLOAT_EQ(upca->firstBar(), 11.4f);
  EXPECT_FLOAT_EQ(upca->lastBar(), 95 * 1.2f * 0.9f - 1.0f);

  auto empty = Make("EAN-13", "");
  ASSERT_TRUE(empty);
  EXPECT_FLOAT_EQ(empty->width(), 0.0f);
  EXPECT_FALSE(empty->isContentValid());
}

TEST(RetailSymbologies, PatternHelpers) {
  EXPECT_EQ(swapHandedness("0001101"), "1110010");
  EXPECT_EQ(swapParity("0001101"), "0100111");
  for (int d = 0; d < 10; ++d) {
    EXPECT_EQ(swapHandedness(Set_A[d]), Set_C[d]);
    EXPECT_EQ(swapParity(Set_A[d]), Set_B[d]);
  }
}

TEST(RetailSymbologies, UpcECompressionKeepsTheNumber) {
  struct Row {
    const char* upca;
    const char* upce;
  };
  const Row rows[] = {
      {"042100005264", "425261"},  // manufacturer x2100, product 00526
      {"012000004563", "124560"},  // manufacturer x2000
      {"012300000451", "123453"},  // manufacturer xxx00, product 000dd
      {"012340000008", "123404"},  // manufacturer xxxx0, product 0000d
      {"012345000065", "123456"},  // product 0000d, d >= 5
      {"012345000014", ""},        // product 00001 after manufacturer xxxxx: no form
      {"042100125260", ""},        // product 12526 after x2100: no form
      {"012300001451", ""},        // product 00145 after xxx00: no form
      {"01234500006", ""},         // 11 characters
      {"0123450000A5", ""},        // not digits
  };
  for (const Row& row : rows) EXPECT_EQ(LinUPCEBarcode::UPCAToUPCE(row.upca), row.upce) << row.upca;

  // Every zero-suppressed number in its own form expands to a UPC-A number that
  // compresses back to it. (Last digit 3 needs a third digit of 3 or more, 4 a fourth digit
  // other than 0, 5 to 9 a fifth digit other than 0: otherwise an earlier form applies.)
  const QString digits = "01359";
  int checked = 0;
  for (QChar a : digits)
    for (QChar b : digits)
      for (QChar c : digits)
        for (QChar d : digits)
          for (QChar e : digits)
            for (int last = 0; last < 10; ++last) {
              const QString upce = QString("0") + a + b + c + d + e + QChar('0' + last);
              if ((last == 3 && c < '3') || (last == 4 && d == '0') || (last >= 5 && e == '0'))
                continue;
              const QString upca = LinUPCEBarcode::UPCEToUPCA(upce);
              ASSERT_EQ(upca.size(), 11) << upce.toStdString();
              ASSERT_EQ(LinUPCEBarcode::UPCAToUPCE(upca + "0"), upce.mid(1)) << upce.toStdString();
              ++checked;
            }
  EXPECT_GT(checked, 20000);
}

// ---- Code 39, Extended Code 39, Codabar -----------------------------------------------

struct Pattern_Row {
  const char* symbology;
  QByteArray value;
  bool valid;
  const char* content;
  QString bars;  // "" = not compared
  int modules;   // 0 = not compared
  const char* why;
};

void check_rows(std::initializer_list<Pattern_Row> rows) {
  for (const Pattern_Row& row : rows) {
    SCOPED_TRACE(std::string(row.symbology) + " " + row.value.toPercentEncoding().toStdString() +
                 ": " + row.why);
    auto model = Make(row.symbology, QString::fromLatin1(row.value));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->isContentValid(), row.valid);
    if (row.content) {
      EXPECT_EQ(model->content(), QString::fromLatin1(row.content));
    }
    if (!row.bars.isEmpty()) {
      EXPECT_EQ(model->completeBarcode(), row.bars);
    }
    if (row.modules) {
      EXPECT_EQ(model->completeBarcode().size(), row.modules);
    }
    if (row.valid) {
      EXPECT_EQ(model->caption(), model->content());
    }
  }
}

// Code 39 characters (ISO/IEC 16388) with their inter-character gap.
const QString C39_Star = "1001011011010";
const QString C39_A = "1101010010110";
const QString C39_B = "1011010010110";
const QString C39_Plus = "1001010010010";
const QString C39_Percent = "1010010010010";
const QString C39_Slash = "1001001010010";
const QString C39_O = "1101011010010";
const QString C39_J = "1010110011010";
const QString C39_I = "1011010011010";
const QString C39_Dollar = "1001001001010";

TEST(Code39Symbologies, PatternsAndRefusals) {
  check_rows({
      {"Code 39", "ab", true, "AB", C39_Star + C39_A + C39_B + C39_Star, 52,
       "ISO/IEC 16388: lower case taken as upper"},
      {"Code 39", "A*B", false, "A*B", "", 0, "the start/stop character inside the value"},
      {"Code 39", "A_B", false, nullptr, "", 0, "no Code 39 character"},
      {"Code 39", "", true, "", C39_Star + C39_Star, 26, "empty"},
      {"Extended Code 39", "ab", true, "ab",
       C39_Star + C39_Plus + C39_A + C39_Plus + C39_B + C39_Star, 78,
       "ISO/IEC 16388 full ASCII: a = +A"},
      {"Extended Code 39", "\t", true, "\t", C39_Star + C39_Dollar + C39_I + C39_Star, 52,
       "TAB = $I"},
      {"Extended Code 39", "_/", true, "_/",
       C39_Star + C39_Percent + C39_O + C39_Slash + C39_O + C39_Star, 78, "_ = %O, / = /O"},
      {"Extended Code 39", "*", true, "*", C39_Star + C39_Slash + C39_J + C39_Star, 52,
       "* = /J, not the start/stop character"},
      {"Extended Code 39", "a\rb", false, "a\rb", "", 0, "CR has no pair here"},
      {"Extended Code 39", "a\x7f", false, nullptr, "", 0, "DEL"},
  });
}

TEST(Code39Symbologies, ModuloFortyThreeCheckCharacter) {
  struct Row {
    const char* content;
    char check;
  };
  // ISO/IEC 16388 annex: the sum of the character values modulo 43.
  const Row rows[] = {{"CODE39", 'W'}, {"", '0'}, {"%", '%'}, {"%%", '+'}, {"A-.", '/'}};
  for (const Row& row : rows) {
    LinCode39Barcode model;
    ASSERT_TRUE(model.initWithContent(QString(row.content)));
    EXPECT_EQ(model.checkDigit(), -1);  // symbols carry none
    model.generateChecksum();
    EXPECT_EQ(model.checkDigit(), row.check) << row.content;
  }
}

// Codabar characters (the standard two-width table).
const QString Cb_A = "1011001001";
const QString Cb_B = "1001001011";
const QString Cb_C = "1010010011";
const QString Cb_D = "1010011001";
const QString Cb_1 = "101011001";
const QString Cb_2 = "101001011";
const QString Cb_Plus = "1011011011";

TEST(CodabarSymbology, PatternsAndRefusals) {
  check_rows({
      {"Codabar", "A12B", true, "A12B", Cb_A + "0" + Cb_1 + "0" + Cb_2 + "0" + Cb_B, 41,
       "start A, stop B, one narrow space between characters"},
      {"Codabar", "C+D", true, "C+D", Cb_C + "0" + Cb_Plus + "0" + Cb_D, 0,
       "+ has three wide bars and no wide space"},
      {"Codabar", "a12b", false, nullptr, "", 0, "lower-case start and stop"},
      {"Codabar", "1234", false, nullptr, "", 0, "no start and stop characters"},
      {"Codabar", "A12", false, nullptr, "", 0, "no stop character"},
      {"Codabar", "A1B2C", false, nullptr, "", 0, "start/stop character inside the data"},
      {"Codabar", "A1*2B", false, nullptr, "", 0, "no Codabar character"},
      {"Codabar", "", false, nullptr, "", 0, "empty"},
  });
}

// ---- Code 128 -----------------------------------------------------------------------------

TEST(Code128Symbology, CodeSetsSymbolsAndCheckValues) {
  using C = LinCode128Barcode;
  struct Row {
    int set;
    QByteArray value;
    bool valid;
    int chosen;
    std::vector<int> symbols;
    int check;
    const char* why;
  };
  const Row rows[] = {
      {C::Code_Set_Auto,
       "Hello",
       true,
       C::Code_Set_B,
       {40, 69, 76, 76, 79},
       76,
       "ISO/IEC 15417: (104 + 40 + 2x69 + 3x76 + 4x76 + 5x79) mod 103"},
      {C::Code_Set_Auto, "123456", true, C::Code_Set_C, {12, 34, 56}, 44, "digit pairs"},
      {C::Code_Set_Auto,
       "12345",
       true,
       C::Code_Set_C,
       {12, 34, C::Code_B, 21},
       54,
       "odd digits: the last one in code set B, no leading 0"},
      {C::Code_Set_Auto, "5", true, C::Code_Set_B, {21}, 22, "one digit: code set B"},
      {C::Code_Set_Auto, "", true, C::Code_Set_C, {}, 2, "empty: start C alone"},
      {C::Code_Set_Auto,
       "A\tB",
       true,
       C::Code_Set_A,
       {33, 73, 34},
       75,
       "more controls than lower case: code set A"},
      {C::Code_Set_Auto,
       "a\tb\t",
       true,
       C::Code_Set_B,
       {65, C::Shift, 73, 66, C::Shift, 73},
       25,
       "a tie goes to code set B; each TAB shifted"},
      {C::Code_Set_B, "A B", true, C::Code_Set_B, {33, 0, 34}, 33, "space is value 0"},
      {C::Code_Set_A,
       "a",
       true,
       C::Code_Set_A,
       {C::Shift, 65},
       22,
       "single SHIFT, counted in the check value"},
      {C::Code_Set_A, "aB", true, C::Code_Set_A, {C::Shift, 65, 34}, 21, "shift, then set A"},
      {C::Code_Set_A, "ab", true, C::Code_Set_A, {C::Code_B, 65, 66}, 16, "a run: CODE B"},
      {C::Code_Set_A,
       "ab\t",
       true,
       C::Code_Set_A,
       {C::Code_B, 65, 66, C::Shift, 73},
       52,
       "after CODE B a control character is shifted back"},
      {C::Code_Set_A, ";\x14", true, C::Code_Set_A, {27, 84}, 92, "; is 27, DC4 is 84"},
      {C::Code_Set_A, "\x1e\x1f", true, C::Code_Set_A, {94, 95}, 78, "RS 94, US 95"},
      {C::Code_Set_B, "\x7f", true, C::Code_Set_B, {95}, 96, "DEL is 95 in code set B"},
      {C::Code_Set_A, "\x7f", true, C::Code_Set_A, {C::Shift, 95}, 82, "DEL from code set A"},
      {C::Code_Set_C, "1234", true, C::Code_Set_C, {12, 34}, 82, "explicit code set C"},
      {C::Code_Set_C, "123", false, C::Code_Set_C, {}, -1, "explicit code set C, odd digits"},
      {C::Code_Set_C, "12AB", false, C::Code_Set_C, {}, -1, "code set C takes digits only"},
      {C::Code_Set_B, "caf\xe9", false, C::Code_Set_B, {}, -1, "not ASCII"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value.toPercentEncoding().toStdString() + ": " + row.why);
    auto model = std::make_unique<C>();
    model->setCodeSet(row.set);
    ASSERT_TRUE(model->initWithContent(QString::fromLatin1(row.value)));
    EXPECT_EQ(model->isContentValid(), row.valid);
    EXPECT_EQ(model->codeSet(), row.chosen);
    EXPECT_EQ(model->content(), QString::fromLatin1(row.value));
    if (!row.valid) continue;
    EXPECT_EQ(model->caption(), QString::fromLatin1(row.value));
    EXPECT_EQ(model->symbolValues(), row.symbols);
    EXPECT_EQ(model->checkDigit(), row.check);
    // Start, data, check, stop.
    const QString bars = model->completeBarcode();
    EXPECT_EQ(bars.size(), 11 * (int(row.symbols.size()) + 2) + 13);
    EXPECT_TRUE(bars.startsWith(C::_encodeNumberPair(103 + row.chosen)));
    EXPECT_TRUE(bars.endsWith(C::_encodeNumberPair(row.check) + "1100011101011"));
    model->setBarWidth(2.0f);
    model->calculateWidth();
    EXPECT_FLOAT_EQ(model->width(), 2.0f * float(bars.size()));
  }
}

TEST(Code128Symbology, SymbolPatternsAreWellFormed) {
  // ISO/IEC 15417: three bars and three spaces of 1 to 4 modules, 11 modules, an even
  // number of bar modules; every symbol value distinct.
  EXPECT_EQ(LinCode128Barcode::_encodeNumberPair(0), "11011001100");
  EXPECT_EQ(LinCode128Barcode::_encodeNumberPair(102), "11110101110");
  EXPECT_EQ(LinCode128Barcode::_encodeNumberPair(103), "11010000100");
  EXPECT_EQ(LinCode128Barcode::_encodeNumberPair(104), "11010010000");
  EXPECT_EQ(LinCode128Barcode::_encodeNumberPair(105), "11010011100");
  EXPECT_EQ(LinCode128Barcode::_encodeNumberPair(106), "");
  EXPECT_EQ(LinCode128Barcode::_encodeNumberPair(-1), "");
  QSet<QString> seen;
  static const QRegularExpression shape("^(1{1,4})(0{1,4})(1{1,4})(0{1,4})(1{1,4})(0{1,4})$");
  for (int v = 0; v <= 105; ++v) {
    const QString p = LinCode128Barcode::_encodeNumberPair(v);
    const auto match = shape.match(p);
    ASSERT_TRUE(match.hasMatch()) << v;
    EXPECT_EQ(p.size(), 11) << v;
    EXPECT_EQ((match.capturedLength(1) + match.capturedLength(3) + match.capturedLength(5)) % 2, 0)
        << v;
    seen.insert(p);
  }
  EXPECT_EQ(seen.size(), 106);
}

// ---- Two of five and Plessey ----------------------------------------------------------------

TEST(TwoOfFiveSymbologies, PatternsAndRefusals) {
  // Pair 1-2: bars of 1 (W N N N W) interleaved with the spaces of 2 (N W N N W).
  const QString pair12 =
      "111"
      "0"
      "1"
      "000"
      "1"
      "0"
      "1"
      "0"
      "111"
      "000";
  // Industrial digits: each bar with its space, narrow "100", wide "11100".
  const QString ind1 =
      "11100"
      "100"
      "100"
      "100"
      "11100";
  const QString ind2 =
      "100"
      "11100"
      "100"
      "100"
      "11100";
  check_rows({
      {"Interleaved 2 of 5", "12", true, "12", "1010" + pair12 + "11101", 27, "ISO/IEC 16390"},
      {"Interleaved 2 of 5", "1234", true, "1234", "", 45, "two pairs"},
      {"Interleaved 2 of 5", "123", true, "123", "", 45, "odd: a 0 in front, caption kept"},
      {"Interleaved 2 of 5", "", true, "", "101011101", 9, "empty"},
      {"Interleaved 2 of 5", "12a4", false, nullptr, "", 0, "letter"},
      {"Industrial 2 of 5", "12", true, "12", "1110011100100" + ind1 + ind2 + "11100100111", 62,
       "start: wide, wide, narrow bar; stop: wide, narrow, wide bar"},
      {"Industrial 2 of 5", "1-2", false, nullptr, "", 0, "hyphen"},
  });
  auto itf = Make("Interleaved 2 of 5", "123");
  EXPECT_EQ(itf->caption(), "123");
  EXPECT_EQ(itf->checkDigit(), -1);
}

TEST(TwoOfFiveSymbologies, ModuloTenCheckDigit) {
  // ISO/IEC 16390 annex: weights 3 and 1 alternately from the last data digit.
  struct Row {
    const char* content;
    char check;
  };
  const Row rows[] = {{"1234", '8'}, {"123", '6'}, {"55", '0'}, {"", '0'}, {"5", '5'}};
  for (const Row& row : rows) {
    LinInterleavedTwoOfFiveBarcode model;
    ASSERT_TRUE(model.initWithContent(QString(row.content)));
    model.generateChecksum();
    EXPECT_EQ(model.checkDigit(), row.check) << row.content;
  }
}

TEST(PlesseySymbologies, PatternsCheckDigitsAndRefusals) {
  const QString one =
      "1110"
      "1000"
      "1000"
      "1000";  // 1: bits 1 0 0 0, least first
  const QString eight =
      "1000"
      "1000"
      "1000"
      "1110";  // 8
  const QString start =
      "1110"
      "1110"
      "1000"
      "1110";  // bits 1 1 0 1
  const QString stop =
      "111"
      "1000"
      "1000"
      "1110"
      "1110";
  struct Row {
    const char* symbology;
    const char* value;
    bool valid;
    const char* content;
    char check;
    QString bars;
    int modules;
    const char* why;
  };
  const Row rows[] = {
      {"Modified Plessey", "1234", true, "1234", '4', "", 115, "MSI modulo 10: 2x42=84, 12+4"},
      {"Modified Plessey", "9", true, "9", '1', "", 0, "2x9 = 18: 9, check 1"},
      {"Modified Plessey", "18", true, "18", '2',
       start + one + eight +
           "1000"
           "1110"
           "1000"
           "1000" +
           stop,
       83, "2x8 = 16: 7, plus 1; check 2 = bits 0 1 0 0"},
      {"Modified Plessey", "12345678901234567890", true, "12345678901234567890", '6', "", 0,
       "twenty digits, no overflow"},
      {"Modified Plessey", "99999999999999999999", true, "99999999999999999999", '0', "", 0,
       "ten doubled nines and ten nines: 180"},
      {"Modified Plessey", "1a", false, "1A", '\0', "", 0, "letters are hexadecimal only"},
      {"Modified Plessey (Hex)", "1a", true, "1A", '9', "", 0, "A at an odd position: 0"},
      {"Modified Plessey (Hex)", "fG", false, "FG", '\0', "", 0, "G is not hexadecimal"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.symbology) + " " + row.value + ": " + row.why);
    auto model = Make(row.symbology, row.value);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->isContentValid(), row.valid);
    EXPECT_EQ(model->content(), row.content);
    if (row.check) {
      EXPECT_EQ(model->checkDigit(), row.check);
    }
    if (!row.bars.isEmpty()) {
      EXPECT_EQ(model->completeBarcode(), row.bars);
    }
    if (row.modules) {
      EXPECT_EQ(model->completeBarcode().size(), row.modules);
    }
  }
  // The hexadecimal letters: value 10 to 15.
  auto hex = Make("Modified Plessey (Hex)", "AF");
  EXPECT_TRUE(hex->completeBarcode().startsWith(start + "1000"
                                                        "1110"
                                                        "1000"
                                                        "1110"
                                                        "1110"
                                                        "1110"
                                                        "1110"
                                                        "1110"));
}

}  // namespace
