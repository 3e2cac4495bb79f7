#include "barcode/PDF417_Encoder.h"
#include "barcode/pdf417View.h"
#include "model/Shared_Design_State.h"
#include "support/Barcode_Decoders.h"
#include "support/Test_Support.h"

#include <string>

namespace {

using Segments = std::vector<PDF417_Segment>;

Segments Break(const std::string& text) { return breakString(text.data(), int(text.size())); }

TEST(Pdf417Segments, TextNumericAndByteRuns) {
  const std::string digits13 = "1234567890123";
  const struct {
    const char* name;
    std::string text;
    Segments expected;
  } cases[] = {
      {"12 digits alone become numeric", "123456789012", {{'N', 0, 12}}},
      {"7 digits alone stay text", "1234567", {{'T', 0, 7}}},
      {"13 digits inside letters",
       "ABC" + digits13 + "DEF",
       {{'T', 0, 3}, {'N', 3, 16}, {'T', 16, 19}}},
      {"12 digits inside letters stay text", "ABC123456789012DEF", {{'T', 0, 18}}},
      {"lone control byte between texts joins them",
       std::string("ab\x01"
                   "c"),
       {{'T', 0, 4}}},
      {"lone byte between too short texts",
       std::string("a\x01"
                   "b"),
       {{'B', 0, 3}}},
      {"long text absorbs a single byte",
       std::string("\x80"
                   "Hello world"),
       {{'T', 0, 12}}},
      {"bytes absorb short texts",
       std::string("ab\x80\x81"
                   "cd"),
       {{'B', 0, 6}}},
      {"bytes keep long texts apart",
       std::string("\x80\x81"
                   "Hello"),
       {{'B', 0, 2}, {'T', 2, 7}}},
      {"digits then text", digits13 + "xyz", {{'N', 0, 13}, {'T', 13, 16}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Segments got = Break(c.text);
    ASSERT_EQ(got.size(), c.expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].type, c.expected[i].type) << i;
      EXPECT_EQ(got[i].start, c.expected[i].start) << i;
      EXPECT_EQ(got[i].end, c.expected[i].end) << i;
    }
  }
}

PDF417_Param Encoded(const std::string& text, int options = 0, int level = 0, int columns = 0,
                     int rows = 0) {
  PDF417_Param p;
  PDF417_Init(&p);
  p.text = text.data();
  p.lenText = int(text.size());
  p.options = options;
  p.errorLevel = level;
  p.codeColumns = columns;
  p.codeRows = rows;
  PDF417_Codewords(&p);
  return p;
}

std::vector<int> Data_Codewords(const PDF417_Param& p, int count) {
  return std::vector<int>(p.codewords + 1, p.codewords + 1 + count);
}

TEST(Pdf417Codewords, Compaction) {
  // "AB": alphabetic values 0 and 1 in one codeword.
  EXPECT_EQ(Data_Codewords(Encoded("AB"), 1), std::vector<int>({1}));
  // "Ab": A, latch to lower (27), b -> (0, 27) (1, 29 pad).
  EXPECT_EQ(Data_Codewords(Encoded("Ab"), 2), std::vector<int>({27, 1 * 30 + 29}));
  // Six bytes: latch 924, five codewords; seven: latch 901, five and one.
  const std::string six("\x80\x81\x82\x83\x84\x85"), seven = six + "\x86";
  EXPECT_EQ(Encoded(six).codewords[1], 924);
  PDF417_Param p6 = Encoded(six, PDF417_USE_ERROR_LEVEL, 0);
  PDF417_Param p7 = Encoded(seven, PDF417_USE_ERROR_LEVEL, 0);
  EXPECT_EQ(p7.codewords[1], 901);
  EXPECT_EQ(p7.codewords[7], 0x86);
  // 0x808182838485 in base 900.
  std::uint64_t value = 0x808182838485ull;
  std::vector<int> base900(5);
  for (int i = 4; i >= 0; --i, value /= 900) base900[i] = int(value % 900);
  EXPECT_EQ(Data_Codewords(p6, 6),
            std::vector<int>({924, base900[0], base900[1], base900[2], base900[3], base900[4]}));
  // A numeric segment first carries its latch; the text after it 900.
  const PDF417_Param n = Encoded("1234567890123abc");
  EXPECT_EQ(n.codewords[1], 902);
  // "1" followed by the 13 digits in base 900: 11234567890123 = 12 x 900^4 + ... 5 codewords.
  EXPECT_EQ(n.codewords[1 + 1 + 5], 900);
  // A lone control byte inside text: byte shift 913.
  const PDF417_Param shifted =
      Encoded(std::string("ab\x01"
                          "c"));
  bool saw_shift = false;
  for (int i = 1; i < shifted.codewords[0]; ++i)
    saw_shift = saw_shift || shifted.codewords[i] == 913;
  EXPECT_TRUE(saw_shift);
}

// The codewords of a symbol are a code word of the Reed-Solomon code: the polynomial has the
// roots 3, 3^2, ..., 3^k over GF(929).
void Expect_Valid_Error_Correction(const PDF417_Param& p) {
  const int k = 2 << p.errorLevel;
  int root = 1;
  for (int i = 1; i <= k; ++i) {
    root = root * 3 % 929;
    long long sum = 0;
    for (int j = 0; j < p.lenCodewords; ++j) sum = (sum * root + p.codewords[j]) % 929;
    ASSERT_EQ(sum, 0) << "root 3^" << i;
  }
}

TEST(Pdf417Codewords, LevelsLayoutAndErrorCorrection) {
  const struct {
    const char* name;
    std::string text;
    int options, level, columns, rows;
    int want_level, want_columns, want_rows;
  } cases[] = {
      {"short text: level 2 by default", "HELLO", 0, 0, 0, 0, 2, 1, 12},
      {"fixed columns 1, 20 codewords", std::string(22, 'A'),
       PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS, 2, 1, 0, 2, 1, 20},
      {"fixed columns 2, one letter at level 0", "A", PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS,
       0, 2, 0, 1, 2, 3},
      {"fixed rows 5", std::string(60, 'x'), PDF417_FIXED_ROWS, 0, 0, 5, 2, 8, 5},
      {"fixed rectangle that fits", "HELLO", PDF417_FIXED_RECTANGLE | PDF417_USE_ERROR_LEVEL, 1, 4,
       10, 4, 4, 10},
      {"level 5 asked", "Hi!", PDF417_USE_ERROR_LEVEL, 5, 0, 0, 5, 3, 23},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PDF417_Param p = Encoded(c.text, c.options, c.level, c.columns, c.rows);
    ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
    EXPECT_EQ(p.errorLevel, c.want_level);
    EXPECT_EQ(p.codeColumns, c.want_columns);
    EXPECT_EQ(p.codeRows, c.want_rows);
    EXPECT_EQ(p.lenCodewords, p.codeColumns * p.codeRows);
    Expect_Valid_Error_Correction(p);
  }
}

TEST(Pdf417Codewords, Refusals) {
  EXPECT_EQ(Encoded("").error, PDF417_ERROR_EMPTY_TEXT);
  EXPECT_EQ(Encoded(std::string(5421, 'a')).error, PDF417_ERROR_TEXT_TOO_BIG);
  EXPECT_EQ(Encoded(std::string(2000, '\x90')).error,
            PDF417_ERROR_TEXT_TOO_BIG);                                    // > 926 codewords
  EXPECT_EQ(Encoded(std::string(2700, '7')).error, PDF417_ERROR_SUCCESS);  // 2700 digits fit
  EXPECT_EQ(Encoded(std::string(2800, '7')).error, PDF417_ERROR_TEXT_TOO_BIG);
  PDF417_Param raw;
  PDF417_Init(&raw);
  raw.options = PDF417_USE_RAW_CODEWORDS;
  raw.lenCodewords = 3;
  raw.codewords[0] = 4;  // does not match
  PDF417_Codewords(&raw);
  EXPECT_EQ(raw.error, PDF417_ERROR_INVALID_PARAMS);
  EXPECT_EQ(maxPossibleErrorLevel(1), 0);
  EXPECT_EQ(maxPossibleErrorLevel(4), 1);
  EXPECT_EQ(maxPossibleErrorLevel(511), 7);
  EXPECT_EQ(maxPossibleErrorLevel(928), 8);
}

class Pdf417Picture : public test_support::Design_Test {};

TEST_F(Pdf417Picture, ViewStates) {
  pdf417View view(QSizeF(300, 100));
  EXPECT_EQ(view.imageState(), pdf417View::kImageEmpty);
  EXPECT_EQ(view.getErrorLevel(), 2);
  EXPECT_EQ(view.drawWithText(QString()), pdf417View::kImageEmpty);
  EXPECT_EQ(view.drawWithText(QString(6000, 'x')), pdf417View::kImageFailed);
  EXPECT_TRUE(view.getImage().isNull());
}

TEST_F(Pdf417Picture, SymbolFillsTheFrameAndDecodes) {
  if (!PDF417_Pattern(0, 0)) GTEST_SKIP() << "the PDF417 symbol character table is not built in";
  USED_DPI_VALUE = 144;
  pdf417View view(QSizeF(300, 100));
  const QString value = QString::fromUtf8("Invitation 2024 – table 12, seat 4; 1234567890123456");
  ASSERT_EQ(view.drawWithText(value), pdf417View::kImagePresent);
  const Picture picture = view.getImage();
  EXPECT_EQ(picture.size(), QSizeF(300, 100));
  EXPECT_EQ(picture.image().size(), QSize(600, 200));
  const auto decoded =
      test_support::Decode(test_support::Decoder::ZXing, picture.image(), {"-format", "PDF417"});
  EXPECT_EQ(decoded.data, value.toUtf8()) << decoded.log;
  // An empty text afterwards keeps the picture.
  EXPECT_EQ(view.drawWithText(QString()), pdf417View::kImageEmpty);
  EXPECT_EQ(view.getImage(), picture);
}

}  // namespace
