#include "barcode/PDF417_Encoder.h"
#include "barcode/pdf417View.h"
#include "model/Shared_Design_State.h"
#include "support/Barcode_Decoders.h"
#include "support/Test_Support.h"

#include <QImage>
#include <QPainter>

#include <array>
#include <cstdint>
#include <set>
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

// The ECI comes first in the data: 927 and the number below 900, 926 and two codewords up to
// 810899, 925 and one codeword up to 811799; beyond that the encoding is refused.
TEST(Pdf417Codewords, EciOpensTheData) {
  const struct {
    int eci;
    std::vector<int> opening;  // the codewords after the length descriptor
    int error;
  } cases[] = {
      {26, {927, 26}, PDF417_ERROR_SUCCESS},
      {899, {927, 899}, PDF417_ERROR_SUCCESS},
      {900, {926, 0, 0}, PDF417_ERROR_SUCCESS},
      {810899, {926, 899, 899}, PDF417_ERROR_SUCCESS},
      {810900, {925, 0}, PDF417_ERROR_SUCCESS},
      {811799, {925, 899}, PDF417_ERROR_SUCCESS},
      {811800, {}, PDF417_ERROR_INVALID_PARAMS},
  };
  const PDF417_Param plain = Encoded("ab");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.eci);
    PDF417_Param p;
    PDF417_Init(&p);
    p.text = "ab";
    p.eci = c.eci;
    PDF417_Codewords(&p);
    EXPECT_EQ(p.error, c.error);
    if (c.error != PDF417_ERROR_SUCCESS) continue;
    const int n = int(c.opening.size());
    EXPECT_EQ(std::vector<int>(p.codewords + 1, p.codewords + 1 + n), c.opening);
    // Then the same data as without it; the ECI counts in the length descriptor.
    EXPECT_EQ(p.codewords[1 + n], plain.codewords[1]);
    EXPECT_GE(p.codewords[0], plain.codewords[0]);
  }
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

// The painted rows as an image: three pixel rows of two pixels a module per symbol row.
QImage Symbol_Image(const PDF417_Param& p) {
  const int row_bytes = p.lenBits / p.codeRows;
  std::vector<std::vector<bool>> modules;
  for (int r = 0; r < p.codeRows; ++r) {
    std::vector<bool> row(static_cast<size_t>(p.bitColumns));
    for (int c = 0; c < p.bitColumns; ++c)
      row[static_cast<size_t>(c)] =
          p.outBits[static_cast<size_t>(r * row_bytes + c / 8)] & (0x80 >> (c % 8));
    for (int k = 0; k < 3; ++k) modules.push_back(row);
  }
  return test_support::Grid_Image(modules, 2);
}

// The painted symbol, three pixels a module, with every codeword between the row indicators
// leaning towards another pattern of its table: a third of a module moved from one element to
// another. The decoder still samples the painted pattern; but where that pattern is missing
// from the decoder's table, its nearest-pattern fallback now finds the neighbour leant
// towards, so a close miss in our table cannot pass for the right value.
QImage Leaning_Symbol_Image(const PDF417_Param& p) {
  constexpr int kPx = 3, kQuiet = 4, kRowModules = 3;
  std::array<std::set<int>, 3> tables;
  for (int t = 0; t < 3; ++t)
    for (int v = 0; v <= 928; ++v) tables[size_t(t)].insert(PDF417_Pattern(t, v));
  const int row_bytes = p.lenBits / p.codeRows;
  QImage image((p.bitColumns + 2 * kQuiet) * kPx, (p.codeRows * kRowModules + 2 * kQuiet) * kPx,
               QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  for (int r = 0; r < p.codeRows; ++r) {
    auto bit = [&](int c) {
      return (p.outBits[static_cast<size_t>(r * row_bytes + c / 8)] & (0x80 >> (c % 8))) != 0;
    };
    std::vector<std::pair<bool, int>> runs;  // (bar, pixels)
    for (int c = 0; c < p.bitColumns; ++c) {
      if (!runs.empty() && runs.back().first == bit(c))
        runs.back().second += kPx;
      else
        runs.push_back({bit(c), kPx});
    }
    // Runs 0..7 are the start pattern and the left row indicator; each codeword then has 8.
    for (int column = 0; column < p.codeColumns; ++column) {
      const size_t first = 8 * size_t(column + 2);
      std::array<int, 8> w;
      for (size_t e = 0; e < 8; ++e) w[e] = runs[first + e].second / kPx;
      // Moves of one module that keep the cluster: between spaces, bars 1 and 3, bars 2 and 4.
      std::vector<std::pair<size_t, size_t>> moves;
      for (size_t i = 0; i < 8; ++i)
        for (size_t j = 0; j < 8; ++j) {
          const bool same = (i % 2 == 1 && j % 2 == 1) || (i + j == 4 && i % 2 == 0) ||
                            (i + j == 8 && i % 2 == 0 && i != 4);
          if (i == j || !same || w[i] < 2 || w[j] > 5) continue;
          std::array<int, 8> n = w;
          --n[i];
          ++n[j];
          int moved = 0;
          for (size_t e = 0; e < 8; ++e)
            for (int k = 0; k < n[e]; ++k) moved = moved * 2 + (e % 2 == 0);
          if (tables[size_t(r % 3)].count(moved)) moves.push_back({i, j});
        }
      if (moves.empty()) continue;
      const auto [from, to] = moves[size_t(r * 7 + column) % moves.size()];
      --runs[first + from].second;
      ++runs[first + to].second;
    }
    int x = kQuiet * kPx;
    for (const auto& [bar, pixels] : runs) {
      if (bar)
        painter.fillRect(x, (kQuiet + r * kRowModules) * kPx, pixels, kRowModules * kPx, Qt::black);
      x += pixels;
    }
  }
  return image;
}

QByteArray Decoded_By_ZXing(const QImage& image) {
  const auto decoded =
      test_support::Decode(test_support::Decoder::ZXing, image, {"-format", "PDF417"});
  EXPECT_TRUE(decoded.ran) << decoded.log.toStdString();
  return decoded.data;
}

// Raw codewords (data[0] their count) in a rows x columns symbol. Only the encoder's padding
// and error correction are added; with at most three codewords spare the level stays 0, so a
// single misdrawn value cannot be repaired by the decoder.
PDF417_Param Raw_Symbol(std::vector<int> data, int rows, int columns) {
  PDF417_Param p;
  PDF417_Init(&p);
  p.options = PDF417_USE_RAW_CODEWORDS | PDF417_FIXED_RECTANGLE | PDF417_USE_ERROR_LEVEL;
  p.errorLevel = 0;
  p.codeRows = rows;
  p.codeColumns = columns;
  data[0] = int(data.size());
  std::copy(data.begin(), data.end(), p.codewords);
  p.lenCodewords = int(data.size());
  return p;
}

// The bytes of byte-compaction groups (latch 924 at data[1], then groups of five codewords
// from data[2], each six bytes in base 900); codewords after the last whole group are padding.
QByteArray Byte_Groups(const std::vector<int>& data) {
  QByteArray bytes;
  for (size_t g = 2; g + 5 <= data.size() && data[g] < 900; g += 5) {
    std::uint64_t value = 0;
    for (size_t i = g; i < g + 5; ++i) value = value * 900 + std::uint64_t(data[i]);
    for (int k = 5; k >= 0; --k) bytes.append(char((value >> (8 * k)) & 0xFF));
  }
  return bytes;
}

// Every value 0..899 twice in rows of each cluster (rows r use the cluster table r mod 3), as
// byte-compaction codewords of 30 x 30 symbols. The first codeword of a group stays below 429
// so that the group is six bytes.
TEST(Pdf417Table, EveryDataValueOfEveryClusterDecodes) {
  constexpr int kColumns = 30, kRows = 30, kSmall = 429;
  std::array<std::vector<int>, 3> small, large;  // still to place, per cluster
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < 900; ++v)
      for (int copy = 0; copy < 2; ++copy) (v < kSmall ? small : large)[c].push_back(v);
  auto take = [](std::vector<int>& from) {
    const int v = from.back();
    from.pop_back();
    return v;
  };
  int symbols = 0;
  while (symbols < 10 && (!small[0].empty() || !small[1].empty() || !small[2].empty() ||
                          !large[0].empty() || !large[1].empty() || !large[2].empty())) {
    std::vector<int> data = {0, 924};
    for (int pos = 2; pos < 2 + 5 * 179; ++pos) {
      const int c = (pos / kColumns) % 3;
      if ((pos - 2) % 5 == 0)
        data.push_back(!small[c].empty() ? take(small[c]) : pos % kSmall);
      else
        data.push_back(!large[c].empty()   ? take(large[c])
                       : !small[c].empty() ? take(small[c])
                                           : pos % 900);
    }
    PDF417_Param p = Raw_Symbol(data, kRows, kColumns);
    paintCode(&p);
    SCOPED_TRACE(symbols);
    ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
    ASSERT_EQ(p.errorLevel, 0);
    EXPECT_EQ(Decoded_By_ZXing(Leaning_Symbol_Image(p)), Byte_Groups(data));
    ++symbols;
  }
  EXPECT_LT(symbols, 10) << "values left unplaced";
}

// The control values 900..928 as both error-correction codewords of small symbols whose last
// row is of the cluster under test: two free data codewords are solved for (the
// error-correction codewords are linear in the data over GF(929)).
TEST(Pdf417Table, EveryControlValueOfEveryClusterDecodes) {
  auto error_codewords = [](const std::vector<int>& data, int rows, int columns) {
    PDF417_Param p = Raw_Symbol(data, rows, columns);
    PDF417_Codewords(&p);
    EXPECT_EQ(p.error, PDF417_ERROR_SUCCESS);
    return std::array<int, 2>{p.codewords[p.lenCodewords - 2], p.codewords[p.lenCodewords - 1]};
  };
  constexpr int kColumns = 3;
  for (int cluster = 0; cluster < 3; ++cluster) {
    const int rows = 7 + cluster;  // the last row, rows - 1, is of this cluster
    for (int k = 900; k <= 928; ++k) {
      SCOPED_TRACE(testing::Message() << "cluster " << 3 * cluster << " value " << k);
      std::vector<int> data(static_cast<size_t>(rows * kColumns - 2), 900);
      data[1] = 924;
      const size_t groups = (data.size() - 2) / 5;  // padding 900 after them
      for (size_t i = 2; i < 2 + 5 * groups; ++i) data[i] = int((i * 37 + size_t(k)) % 400);
      const size_t free_a = 6, free_b = 11;  // last codewords of the first two groups
      bool solved = false;
      for (int attempt = 0; attempt < 50 && !solved; ++attempt) {
        data[3] = (data[3] + attempt) % 400;
        data[free_a] = data[free_b] = 0;
        const auto e0 = error_codewords(data, rows, kColumns);
        std::array<std::array<int, 2>, 2> f;  // the error codewords of one unit in each slot
        for (int j = 0; j < 2; ++j) {
          data[j ? free_b : free_a] = 1;
          const auto e = error_codewords(data, rows, kColumns);
          data[j ? free_b : free_a] = 0;
          for (int i = 0; i < 2; ++i) f[j][i] = (e[i] - e0[i] + 929) % 929;
        }
        const long long det = ((long long)f[0][0] * f[1][1] - (long long)f[0][1] * f[1][0]) % 929;
        if (det == 0) continue;
        long long inv = 1;  // det^927 = det^-1 in GF(929)
        for (int e = 0; e < 927; ++e) inv = inv * ((det + 929) % 929) % 929;
        const long long r0 = (k - e0[0] + 929) % 929, r1 = (k - e0[1] + 929) % 929;
        const long long x = ((r0 * f[1][1] - r1 * f[1][0]) % 929 + 929) * inv % 929;
        const long long y = ((f[0][0] * r1 - f[0][1] * r0) % 929 + 929) * inv % 929;
        if (x >= 900 || y >= 900) continue;
        data[free_a] = int(x);
        data[free_b] = int(y);
        solved = true;
      }
      ASSERT_TRUE(solved);
      PDF417_Param p = Raw_Symbol(data, rows, kColumns);
      paintCode(&p);
      ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
      ASSERT_EQ(p.errorLevel, 0);
      ASSERT_EQ(p.codewords[p.lenCodewords - 2], k);
      ASSERT_EQ(p.codewords[p.lenCodewords - 1], k);
      EXPECT_EQ(Decoded_By_ZXing(Leaning_Symbol_Image(p)), Byte_Groups(data));
    }
  }
}

// Texts through the whole encoder: text, numeric and byte compaction with their latches (900,
// 901, 902, 924) and the byte shift (913).
TEST(Pdf417Table, TextsDecode) {
  std::string thousand;
  for (int i = 0; i < 1000; ++i) thousand.push_back(char((i * 7 + 3) % 256));
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"ASCII", "Lumigrove greeting card, table 12 / seat 4!"},
      {"digits", "0123456789012345678901234567890123456789"},
      {"UTF-8", "Grüße aus Köln – ünïcödé ✓ 祝你生日快乐"},
      {"text, digits and a lone control byte", std::string("Order 12345678901234567 for ab\x01"
                                                           "cd")},
      {"1,000 bytes", thousand},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PDF417_Param p;
    PDF417_Init(&p);
    p.text = c.text.data();
    p.lenText = int(c.text.size());
    paintCode(&p);
    ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
    EXPECT_EQ(Decoded_By_ZXing(Symbol_Image(p)), QByteArray::fromStdString(c.text));
  }
  PDF417_Param empty;
  PDF417_Init(&empty);
  paintCode(&empty);
  EXPECT_EQ(empty.error, PDF417_ERROR_EMPTY_TEXT);
  EXPECT_TRUE(empty.outBits.empty());
}

}  // namespace
