#include "barcode/Picture_Resolution.h"
#include "barcode/QREncoder.h"
#include "barcode/QR_Encoder.h"
#include "model/Shared_Design_State.h"
#include "support/Barcode_Decoders.h"
#include "support/Test_Support.h"

#include <QElapsedTimer>
#include <QPainter>

#include <memory>
#include <random>
#include <string>

namespace {

using test_support::Decode;
using test_support::Decoder;

const unsigned char* bytes(const QByteArray& data) {
  return reinterpret_cast<const unsigned char*>(data.constData());
}

std::vector<std::vector<bool>> Rows(const DataMatrix& grid) {
  std::vector<std::vector<bool>> rows(grid.dimension(), std::vector<bool>(grid.dimension()));
  for (int y = 0; y < grid.dimension(); ++y)
    for (int x = 0; x < grid.dimension(); ++x) rows[y][x] = grid.valueAt(x, y) != 0;
  return rows;
}

std::vector<std::vector<bool>> Rows(const QR_Encoder& encoder) {
  const int n = encoder.m_nSymbleSize;
  std::vector<std::vector<bool>> rows(n, std::vector<bool>(n));
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) rows[y][x] = encoder.m_byModuleData[x][y] == 1;
  return rows;
}

// Both decoders read the grid back as exactly the given bytes.
void Expect_Decodes(const std::vector<std::vector<bool>>& rows, const QByteArray& expected,
                    std::initializer_list<Decoder> decoders = {Decoder::Zbar, Decoder::ZXing}) {
  const QImage image = test_support::Grid_Image(rows, 4);
  for (Decoder decoder : decoders) {
    const auto decoded =
        Decode(decoder, image,
               decoder == Decoder::ZXing ? QStringList{"-format", "QRCode"} : QStringList{});
    ASSERT_TRUE(decoded.ran) << decoded.log;
    EXPECT_EQ(decoded.data, expected)
        << (decoder == Decoder::Zbar ? "zbarimg " : "ZXingReader ") << decoded.log;
  }
}

QByteArray Random_Bytes(int count, unsigned seed, int low = 1) {
  std::mt19937 random(seed);
  QByteArray data(count, '\0');
  for (char& c : data) c = char(low + int(random() % unsigned(256 - low)));
  return data;
}

// ---- Segments -------------------------------------------------------------------------

struct Segment_Case {
  const char* name;
  QByteArray data;
  std::vector<int> modes;
  std::vector<int> lengths;
  int stream_bits;  // version group 0
};

TEST(QrSegments, RunsAreSplitAndJoinedByTheirCostInBits) {
  const Segment_Case cases[] = {
      {"digits", "01234567", {0}, {8}, 41},
      {"alphanumeric with space", "HELLO WORLD", {1}, {11}, 74},
      {"lower case is 8-bit", "hello", {2}, {5}, 52},
      {"letter and digit join as alphanumeric", "A1", {1}, {2}, 24},
      {"long digit run stays numeric", "AB012345678901", {1, 0}, {2, 12}, 78},
      {"short digit run joins the 8-bit text", "a1", {2}, {2}, 28},
      {"digits inside lower case go to 8-bit", "ab12cd", {2}, {6}, 60},
      {"Shift JIS pair is Kanji", "\x93\xfa\x96\x7b", {3}, {4}, 38},
      // Reopening a mode costs its header: one alphanumeric segment (68 bits) beats
      // alphanumeric 1, numeric 8, alphanumeric 1 (79 bits).
      {"short digit run inside alphanumerics", "H56059165-", {1}, {10}, 68},
      {"digit run worth its header", "AB123456789012345C", {1, 0, 1}, {2, 15, 1}, 107},
      {"8-bit text, digits, 8-bit text", "abc01234567890123456def", {2, 0, 2}, {3, 17, 3}, 143},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QR_Encoder encoder;
    ASSERT_TRUE(encoder.EncodeSourceData(bytes(c.data), int(c.data.size()), 0));
    ASSERT_EQ(encoder.m_ncDataBlock, int(c.modes.size()));
    for (size_t i = 0; i < c.modes.size(); ++i) {
      EXPECT_EQ(encoder.m_byBlockMode[i], c.modes[i]) << i;
      EXPECT_EQ(encoder.m_nBlockLength[i], c.lengths[i]) << i;
    }
    EXPECT_EQ(encoder.m_ncDataCodeWordBit, c.stream_bits);
  }
}

TEST(QrSegments, ManyAlternatingRunsDoNotOverrunTheSegmentTable) {
  // 4000 runs of one character: digits and capitals in turn, all alphanumeric in the end.
  QByteArray data;
  for (int i = 0; i < 2000; ++i) data += "1A";
  QR_Encoder encoder;
  encoder.m_nLevel = 0;
  ASSERT_TRUE(encoder.EncodeSourceData(bytes(data), int(data.size()), 2));
  EXPECT_EQ(encoder.m_ncDataBlock, 1);
  EXPECT_EQ(encoder.m_byBlockMode[0], QR_Encoder::MODE_ALPHABET);

  auto grid = QREncoder::encodeCStringWithECLevel(0, 0, data);
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->dimension(), 4 * 39 + 17);  // 4000 alphanumerics: 39-L holds 4087
  Expect_Decodes(Rows(*grid), data, {Decoder::ZXing});
  // Level H holds only 1852 of them.
  EXPECT_EQ(QREncoder::encodeCStringWithECLevel(3, 0, data), nullptr);
}

TEST(QrSegments, WholeStringModeForTheCapacityCheck) {
  QR_Encoder encoder;
  const struct {
    QByteArray data;
    int mode;
  } cases[] = {{"0123", 0}, {"AB12", 1}, {"ab", 2}, {"\x93\x41", 3}, {"\x93\xfa", 2}, {"", 2}};
  for (const auto& c : cases)
    EXPECT_EQ(encoder.Get_Encoding_Mode(bytes(c.data), int(c.data.size())), c.mode)
        << c.data.toHex().constData();
  // Text handed over as UTF-8 never counts as Kanji.
  encoder.m_bKanjiMode = false;
  const QByteArray japanese = QString::fromUtf8("日本").toUtf8();
  EXPECT_EQ(encoder.Get_Encoding_Mode(bytes(japanese), int(japanese.size())), 2);
}

// Capitals and punctuation with runs of digits: the values whose segments used to cost a
// version too many.
QByteArray Alphanumeric_With_Digit_Runs(int count, unsigned seed) {
  std::mt19937 random(seed);
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
  QByteArray data;
  while (data.size() < count) {
    for (int i = int(random() % 4); i >= 0 && data.size() < count; --i)
      data += letters[random() % (sizeof letters - 1)];
    for (int i = int(random() % 10); i >= 0 && data.size() < count; --i)
      data += char('0' + random() % 10);
  }
  return data;
}

TEST(QrSegments, StreamNeverLongerThanTheWholeInputInOneMode) {
  std::mt19937 random(11);
  static const char pool[] = "0123456789ABCXYZ -.:abcxyz\xe9";
  for (int round = 0; round < 300; ++round) {
    QByteArray data;
    const int length = 1 + int(random() % 200);
    // Runs of one kind of character, so that segments are worth weighing.
    while (data.size() < length) {
      const int from = int(random() % 3) * 9, run = 1 + int(random() % 12);
      for (int i = 0; i < run; ++i) data += pool[from + int(random() % 9)];
    }
    for (int group = 0; group < 3; ++group) {
      SCOPED_TRACE(testing::Message() << data.constData() << " group " << group);
      QR_Encoder encoder;
      encoder.m_bKanjiMode = false;
      ASSERT_TRUE(encoder.EncodeSourceData(bytes(data), int(data.size()), group));
      const int mode = encoder.Get_Encoding_Mode(bytes(data), int(data.size()));
      EXPECT_LE(encoder.m_ncDataCodeWordBit,
                QR_Encoder::GetBitLength(mode, int(data.size()), group));
      // The segments cover the input and the stream is their sum.
      int covered = 0, sum = 0;
      for (int i = 0; i < encoder.m_ncDataBlock; ++i) {
        covered += encoder.m_nBlockLength[size_t(i)];
        sum += QR_Encoder::GetBitLength(encoder.m_byBlockMode[size_t(i)],
                                        encoder.m_nBlockLength[size_t(i)], group);
        if (i > 0) {
          EXPECT_NE(encoder.m_byBlockMode[size_t(i)], encoder.m_byBlockMode[size_t(i - 1)]);
        }
      }
      EXPECT_EQ(covered, data.size());
      EXPECT_EQ(encoder.m_ncDataCodeWordBit, sum);
    }
  }
}

// ---- Versions, capacity, terminator and padding ----------------------------------------

struct Version_Case {
  const char* name;
  int level;
  int requested;
  bool auto_extent;
  QByteArray data;
  int version;  // 0: refused
};

TEST(QrVersions, SmallestFittingOrRequestedVersion) {
  const QByteArray lower60(60, 'a');  // 8-bit: 53 fit version 3-L, 78 version 4-L
  const Version_Case cases[] = {
      {"digits at M", 1, 0, true, "01234567", 1},
      {"requested larger than needed", 0, 5, false, "HELLO", 5},
      {"requested too small, extended", 0, 2, true, lower60, 4},
      {"requested too small, not extended", 0, 2, false, lower60, 0},
      {"18 digits at H need version 2", 3, 0, true, QByteArray(18, '7'), 2},
      {"full 40-L in bytes", 0, 0, true, QByteArray(2953, 'x'), 40},
      {"one byte over 40-L", 0, 0, true, QByteArray(2954, 'x'), 0},
      {"full 40-L in digits", 0, 0, true, QByteArray(7089, '9'), 40},
      {"one digit over 40-L", 0, 0, true, QByteArray(7090, '9'), 0},
      {"full 40-H in alphanumerics", 3, 0, true, QByteArray(1852, 'Z'), 40},
      {"requested group 2 for small data", 2, 30, false, "1", 30},
      {"requested 9, data needs group 1", 0, 9, true, QByteArray(300, 'q'), 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QR_Encoder encoder;
    const bool ok = encoder.EncodeData(c.level, c.requested, c.auto_extent, -1, bytes(c.data),
                                       int(c.data.size()));
    EXPECT_EQ(ok, c.version != 0);
    if (ok) {
      EXPECT_EQ(encoder.m_nVersion, c.version);
      EXPECT_EQ(encoder.m_nSymbleSize, 4 * c.version + 17);
    } else {
      EXPECT_EQ(encoder.m_nSymbleSize, 0);
    }
  }
}

TEST(QrVersions, RefusedInputLeavesNoSymbol) {
  const QByteArray huge(10 * 1024 * 1024, '5');
  const struct {
    const char* name;
    int level, version;
    QByteArray data;
  } cases[] = {
      {"empty", 0, 0, ""},
      {"huge", 0, 0, huge},
      {"level out of range", 4, 0, "A"},
      {"negative level", -1, 0, "A"},
      {"version out of range", 0, 41, "A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QR_Encoder encoder;
    EXPECT_FALSE(
        encoder.EncodeData(c.level, c.version, true, -1, bytes(c.data), int(c.data.size())));
    EXPECT_EQ(encoder.m_nSymbleSize, 0);
  }
  QElapsedTimer timer;
  timer.start();
  EXPECT_EQ(QREncoder::encodeCStringWithECLevel(0, 0, huge), nullptr);
  EXPECT_EQ(QREncoder::encodeWithECLevel(4, 0, "A"), nullptr);
  EXPECT_EQ(QREncoder::encodeWithECLevel(0, 41, "A"), nullptr);
  // Empty: the encoder refuses, the grid is empty and nothing is drawn.
  auto empty = QREncoder::encodeWithECLevel(0, 0, QString());
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->dimension(), 0);
  EXPECT_TRUE(QREncoder::renderDataMatrix(empty.get(), 100).isNull());
  EXPECT_TRUE(QREncoder::renderDataMatrix(nullptr, 100).isNull());
}

TEST(QrVersions, FrontEndCapacityCheck) {
  const struct {
    const char* name;
    int level, version;
    QByteArray data;
    int dimension;  // -1: refused
  } cases[] = {
      {"Auto, H, 17 digits", 3, 0, QByteArray(17, '1'), 21},
      {"Auto, H, 18 digits take version 2", 3, 0, QByteArray(18, '1'), 25},
      {"version 2, L, 32 lower case", 0, 2, QByteArray(32, 'k'), 25},
      {"version 2, L, 33 lower case", 0, 2, QByteArray(33, 'k'), -1},
      {"Auto, L, 2953 bytes", 0, 0, QByteArray(2953, 'k'), 177},
      {"Auto, L, 2954 bytes", 0, 0, QByteArray(2954, 'k'), -1},
      {"version 40, Q, 1663 bytes", 2, 40, QByteArray(1663, 'k'), 177},
      {"version 40, Q, 1664 bytes", 2, 40, QByteArray(1664, 'k'), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto grid = QREncoder::encodeCStringWithECLevel(c.level, c.version, c.data);
    if (c.dimension < 0) {
      EXPECT_EQ(grid, nullptr);
    } else {
      ASSERT_TRUE(grid);
      EXPECT_EQ(grid->dimension(), c.dimension);
    }
  }
}

// Text beyond ASCII opens with the ECI of UTF-8 (4 + 8 bits), which the capacity counts:
// version 1-L holds 17 bytes, 16 of them after the ECI.
TEST(QrVersions, TheEciHeaderTakesRoom) {
  EXPECT_EQ(QREncoder::Capacity(2, 1, 0), 17);
  EXPECT_EQ(QREncoder::Capacity(2, 1, 0, QREncoder::kEci_Utf8), 16);
  EXPECT_EQ(QREncoder::Capacity(2, 40, 0, QREncoder::kEci_Utf8), 2952);
  EXPECT_EQ(QREncoder::Capacity(0, 1, 0, 1000), 35);  // 41 digits, less a 20-bit header
  const QString eight = QString(8, QChar(0xe9));        // 16 bytes of UTF-8
  const struct {
    const char* name;
    QString text;
    int version;
    int dimension;  // -1: refused
  } cases[] = {
      {"16 bytes at version 1", eight, 1, 21},
      {"17 bytes at version 1", eight + QLatin1Char('a'), 1, -1},
      {"17 bytes, Auto: version 2", eight + QLatin1Char('a'), 0, 25},
      {"17 ASCII bytes at version 1: no ECI", QString(17, QLatin1Char('a')), 1, 21},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto grid = QREncoder::encodeWithECLevel(0, c.version, c.text);
    if (c.dimension < 0) {
      EXPECT_EQ(grid, nullptr);
    } else {
      ASSERT_TRUE(grid);
      EXPECT_EQ(grid->dimension(), c.dimension);
    }
  }
}

TEST(QrVersions, SmallestVersionThatHoldsTheValue) {
  const QByteArray full_40h = Alphanumeric_With_Digit_Runs(QREncoder::Capacity(1, 40, 3), 40);
  const struct {
    const char* name;
    QByteArray data;
    int level, version;  // version 0: Auto
    int dimension;
  } cases[] = {
      {"alphanumeric with a digit run, H, Auto", "H56059165-", 3, 0, 21},
      {"alphanumeric with a digit run, H, version 1", "H56059165-", 3, 1, 21},
      {"digits at H fill version 1", QByteArray(17, '4'), 3, 0, 21},
      {"8-bit text with a long digit run", "abcdefgh" + QByteArray(30, '7'), 1, 0, 25},
      {"alphanumerics with digit runs at 40-H capacity, Auto", full_40h, 3, 0, 177},
      {"alphanumerics with digit runs at 40-H capacity, version 40", full_40h, 3, 40, 177},
      {"alphanumerics with digit runs at 3-Q capacity",
       Alphanumeric_With_Digit_Runs(QREncoder::Capacity(1, 3, 2), 3), 2, 0, 29},
      {"alphanumerics with digit runs at 27-M capacity",
       Alphanumeric_With_Digit_Runs(QREncoder::Capacity(1, 27, 1), 27), 1, 0, 125},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto grid = QREncoder::encodeCStringWithECLevel(c.level, c.version, c.data);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->dimension(), c.dimension);
  }
}

TEST(QrVersions, CapacityTableMatchesTheStandard) {
  const struct {
    int version;
    int numeric[4], alphanumeric[4], byte[4], kanji[4];
  } rows[] = {
      {1, {41, 34, 27, 17}, {25, 20, 16, 10}, {17, 14, 11, 7}, {10, 8, 7, 4}},
      {2, {77, 63, 48, 34}, {47, 38, 29, 20}, {32, 26, 20, 14}, {20, 16, 12, 8}},
      {10, {652, 513, 364, 288}, {395, 311, 221, 174}, {271, 213, 151, 119}, {167, 131, 93, 74}},
      {27,
       {3517, 2701, 1933, 1501},
       {2132, 1637, 1172, 910},
       {1465, 1125, 805, 625},
       {902, 692, 496, 385}},
      {40,
       {7089, 5596, 3993, 3057},
       {4296, 3391, 2420, 1852},
       {2953, 2331, 1663, 1273},
       {1817, 1435, 1024, 784}},
  };
  for (const auto& r : rows)
    for (int level = 0; level < 4; ++level) {
      SCOPED_TRACE(testing::Message() << "version " << r.version << " level " << level);
      EXPECT_EQ(QREncoder::Capacity(0, r.version, level), r.numeric[level]);
      EXPECT_EQ(QREncoder::Capacity(1, r.version, level), r.alphanumeric[level]);
      EXPECT_EQ(QREncoder::Capacity(2, r.version, level), r.byte[level]);
      EXPECT_EQ(QREncoder::Capacity(3, r.version, level), r.kanji[level]);
    }
}

TEST(QrVersions, TerminatorAndPadding) {
  const struct {
    const char* name;
    QByteArray data;
    int bits;       // after the terminator
    int first_pad;  // byte index of the first 0xEC, -1 for none
  } cases[] = {
      {"stream fills version 1-L exactly", QByteArray(17, 'x'), 152, -1},  // 148 + 4
      {"one bit left: one terminator bit", QByteArray(41, '3'), 152, -1},  // 151 + 1
      {"short stream padded", "1", 22, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QR_Encoder encoder;
    ASSERT_TRUE(encoder.EncodeData(0, 1, false, -1, bytes(c.data), int(c.data.size())));
    EXPECT_EQ(encoder.m_ncDataCodeWordBit, c.bits);
    if (c.first_pad >= 0) {
      for (int i = c.first_pad; i < 19; ++i)
        EXPECT_EQ(encoder.m_byDataCodeWord[i], (i - c.first_pad) % 2 ? 0x11 : 0xEC) << i;
    }
    Expect_Decodes(Rows(encoder), c.data, {Decoder::ZXing});
  }
}

// ---- Symbols read back by independent decoders ---------------------------------------

TEST(QrSymbols, DecodeToTheExactInput) {
  const struct {
    const char* name;
    QByteArray data;
  } cases[] = {
      {"digits", "01234567"},
      {"alphanumeric", "HELLO WORLD $%*+-./:"},
      {"mixed segments", "Card No. 004711 for Ann-Marie, 12/2024: https://example.org/a?b=1"},
      {"accents in UTF-8", QString::fromUtf8("Grüße, Zoë & José – 10 €").toUtf8()},
      {"Japanese in UTF-8", QString::fromUtf8("お誕生日おめでとう 日本").toUtf8()},
      {"one character", "Z"},
  };
  for (int level = 0; level < 4; ++level)
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << ", level " << level);
      auto grid = QREncoder::encodeWithECLevel(level, 0, QString::fromUtf8(c.data));
      ASSERT_TRUE(grid);
      ASSERT_GT(grid->dimension(), 0);
      Expect_Decodes(Rows(*grid), c.data);
    }
}

TEST(QrSymbols, HighBytesGoIntoByteMode) {
  QByteArray data;
  for (int b = 1; b < 256; ++b) data += char(b);
  auto grid = QREncoder::encodeCStringWithECLevel(1, 0, data);
  ASSERT_TRUE(grid);
  Expect_Decodes(Rows(*grid), data, {Decoder::ZXing});
}

TEST(QrSymbols, KanjiModeForShiftJis) {
  // 日本語 in Shift JIS: one Kanji segment of three characters.
  const QByteArray sjis("\x93\xfa\x96\x7b\x8c\xea");
  QR_Encoder encoder;
  ASSERT_TRUE(encoder.EncodeData(1, 0, true, -1, bytes(sjis), int(sjis.size())));
  ASSERT_EQ(encoder.m_ncDataBlock, 1);
  EXPECT_EQ(encoder.m_byBlockMode[0], QR_Encoder::MODE_KANJI);
  const auto decoded =
      Decode(Decoder::ZXing, test_support::Grid_Image(Rows(encoder), 4), {"-format", "QRCode"});
  ASSERT_TRUE(decoded.ran) << decoded.log;
  // The reader hands Kanji back in Shift JIS or converted to UTF-8.
  EXPECT_TRUE(decoded.data == sjis || decoded.data == QString::fromUtf8("日本語").toUtf8())
      << decoded.data.toHex().constData();
}

TEST(QrSymbols, EveryVersionAndLevelAtFullByteCapacity) {
  for (int version = 1; version <= 40; ++version)
    for (int level = 0; level < 4; ++level) {
      SCOPED_TRACE(testing::Message() << "version " << version << " level " << level);
      const QByteArray data =
          Random_Bytes(QREncoder::Capacity(2, version, level), unsigned(version * 4 + level));
      auto grid = QREncoder::encodeCStringWithECLevel(level, version, data);
      ASSERT_TRUE(grid);
      ASSERT_EQ(grid->dimension(), 4 * version + 17);
      Expect_Decodes(Rows(*grid), data,
                     version == 40 && level == 0
                         ? std::initializer_list<Decoder>{Decoder::Zbar, Decoder::ZXing}
                         : std::initializer_list<Decoder>{Decoder::ZXing});
    }
}

TEST(QrSymbols, EveryVersionAndLevelAtFullAlphanumericCapacity) {
  for (int version = 1; version <= 40; ++version)
    for (int level = 0; level < 4; ++level) {
      SCOPED_TRACE(testing::Message() << "version " << version << " level " << level);
      const QByteArray data = Alphanumeric_With_Digit_Runs(QREncoder::Capacity(1, version, level),
                                                           unsigned(version * 4 + level));
      auto automatic = QREncoder::encodeCStringWithECLevel(level, 0, data);
      ASSERT_TRUE(automatic);
      EXPECT_EQ(automatic->dimension(), 4 * version + 17);
      auto grid = QREncoder::encodeCStringWithECLevel(level, version, data);
      ASSERT_TRUE(grid);
      ASSERT_EQ(grid->dimension(), 4 * version + 17);
      Expect_Decodes(Rows(*grid), data,
                     version % 8 == 1
                         ? std::initializer_list<Decoder>{Decoder::Zbar, Decoder::ZXing}
                         : std::initializer_list<Decoder>{Decoder::ZXing});
    }
}

TEST(QrSymbols, AllEightMasksAndTheAutomaticChoice) {
  const QByteArray data = "Happy Birthday, Lumi! 2024-05-17";
  int penalty[8];
  for (int mask = 0; mask < 8; ++mask) {
    SCOPED_TRACE(testing::Message() << "mask " << mask);
    QR_Encoder encoder;
    ASSERT_TRUE(encoder.EncodeData(2, 0, true, mask, bytes(data), int(data.size())));
    EXPECT_EQ(encoder.m_nMaskingNo, mask);
    penalty[mask] = encoder.CountPenalty();
    Expect_Decodes(Rows(encoder), data);
  }
  QR_Encoder automatic;
  ASSERT_TRUE(automatic.EncodeData(2, 0, true, -1, bytes(data), int(data.size())));
  const int best = int(std::min_element(penalty, penalty + 8) - penalty);  // first lowest
  EXPECT_EQ(automatic.m_nMaskingNo, best);
}

// ---- Mask penalty ----------------------------------------------------------------------
// The four features of ISO/IEC 18004 (7.8.3.1) that score a masked symbol, worked out by
// hand on small grids ("1" dark):
//   N1  a run of 5 + i modules of one colour in a row or column: 3 + i;
//   N2  a block of one colour, m x n modules: 3 (m - 1)(n - 1), i.e. 3 for each 2 x 2 block;
//   N3  dark-light-dark-light-dark runs 1:1:3:1:1 with 4 light modules before or after: 40;
//   N4  a dark share between 50 +/- 5k % and 50 +/- 5(k + 1) %: 10 k.
// No grid below has a finder-like pattern at its edge, where the light quiet zone begins.

// The row, its complement, the row, ...: every column alternates (no run, no block, no
// finder-like pattern) and half the modules are dark, so only the rows' runs and patterns
// score: half the rows score as the row, half as its complement.
std::vector<std::string> Striped(const std::string& row) {
  std::string complement = row;
  for (char& c : complement) c = c == '1' ? '0' : '1';
  std::vector<std::string> rows;
  for (size_t y = 0; y < row.size(); ++y) rows.push_back(y % 2 ? complement : row);
  return rows;
}

// Dark where x + y is even, with the modules at `flips` turned.
std::vector<std::string> Checkerboard(int n, std::initializer_list<std::pair<int, int>> flips) {
  std::vector<std::string> rows(size_t(n), std::string(size_t(n), '0'));
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) rows[size_t(y)][size_t(x)] = (x + y) % 2 ? '0' : '1';
  for (auto [x, y] : flips) {
    char& c = rows[size_t(y)][size_t(x)];
    c = c == '1' ? '0' : '1';
  }
  return rows;
}

TEST(QrMaskPenalty, TheFourFeaturesScoredAsTheStandardCountsThem) {
  const struct {
    const char* name;
    std::vector<std::string> rows;
    int penalty;
  } cases[] = {
      // 5 rows and 5 columns each one run of 5: 10 x 3 = 30 (N1); 16 blocks of 2 x 2 (one
      // 5 x 5 block: 3 x 4 x 4): 48 (N2); 100 % dark, 10 steps of 5 % from half: 100 (N4).
      // 30 + 48 + 100 = 178.
      {"one colour", {"11111", "11111", "11111", "11111", "11111"}, 178},
      // No run longer than 1, no block, 13 of 25 dark (52 %): 0.
      {"checkerboard", Checkerboard(5, {}), 0},
      // Each of the 10 rows a dark and a light run of 5: 10 x (3 + 3) = 60.
      {"runs of five", Striped("1111100000"), 60},
      // Each of the 12 rows a run of 8 (3 + 3) and a run of 4 (nothing): 12 x 6 = 72.
      {"runs of eight and four", Striped("111111110000"), 72},
      // 1 0 [1 0 111 0 1] 0000 1: the pattern, light 1 before it and light 4 after it, in
      // each of the 7 rows "1010111..."; their complements hold no dark run of 3:
      // 7 x 40 = 280.
      {"1:1:3:1:1 with four light after", Striped("10101110100001"), 280},
      // 11 000 [1 0 111 0 1] 000 1: the pattern with only 3 light modules on each side: 0.
      {"1:1:3:1:1 with three light around", Striped("1100010111010001"), 0},
      // A 10 x 10 checkerboard whose top-left 3 x 3 modules are all dark: one 3 x 3 block,
      // 3 x 2 x 2 = 12 (N2); runs up to 4; 54 of 100 dark (54 %): 0. 12.
      {"a block of three by three", Checkerboard(10, {{1, 0}, {0, 1}, {2, 1}, {1, 2}}), 12},
      // A 5 x 5 checkerboard without its four corners and its centre: runs up to 3, no
      // block; 8 of 25 dark (32 %): 18 % from half, 3 steps of 5 %: 30.
      {"a third dark", Checkerboard(5, {{0, 0}, {4, 0}, {0, 4}, {4, 4}, {2, 2}}), 30},
      // An 8 x 8 checkerboard with three more dark modules, none in a run longer than 3 or a
      // block or a 1:1:3:1:1 pattern: 35 of 64 dark (54.69 %), less than one step of 5 %
      // from half: 0.
      {"just under 55 % dark", Checkerboard(8, {{1, 0}, {6, 5}, {2, 7}}), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto encoder = std::make_unique<QR_Encoder>();
    const int n = int(c.rows.size());
    encoder->m_nSymbleSize = n;
    for (int y = 0; y < n; ++y) {
      ASSERT_EQ(int(c.rows[size_t(y)].size()), n);
      for (int x = 0; x < n; ++x) encoder->m_byModuleData[x][y] = c.rows[size_t(y)][size_t(x)] == '1';
    }
    EXPECT_EQ(encoder->CountPenalty(), c.penalty);
  }
}

TEST(QrSymbols, VersionInformationFromVersion7) {
  // The 18-bit version words of ISO/IEC 18004 for three versions.
  const struct {
    int version;
    int word;
  } cases[] = {{7, 0x07C94}, {21, 0x15683}, {40, 0x28C69}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version);
    QR_Encoder encoder;
    ASSERT_TRUE(encoder.EncodeData(1, c.version, false, 3, bytes("VERSION"), 7));
    const int s = encoder.m_nSymbleSize;
    for (int i = 0; i < 6; ++i)
      for (int j = 0; j < 3; ++j) {
        const int bit = (c.word >> (3 * i + j)) & 1;
        EXPECT_EQ(encoder.m_byModuleData[s - 11 + j][i], bit) << i << "," << j;
        EXPECT_EQ(encoder.m_byModuleData[i][s - 11 + j], bit) << i << "," << j;
      }
    Expect_Decodes(Rows(encoder), "VERSION", {Decoder::ZXing});
  }
}

// ---- Module picture -------------------------------------------------------------------

class QrPicture : public test_support::Design_Test {};

TEST_F(QrPicture, ModulesCentredWithTransparentMargin) {
  USED_DPI_VALUE = 72;  // one pixel per point: the drawing itself
  const struct {
    int modules, pixels;
    int module_px, lead, trail;
  } cases[] = {
      {21, 100, 4, 8, 8},
      {25, 100, 4, 0, 0},
      {21, 64, 3, 0, 1},
      {21, 10, 1, 0, 0},  // too small: raised to one pixel a module
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.modules << " modules in " << c.pixels << " px");
    DataMatrix grid(c.modules);
    for (int y = 0; y < c.modules; ++y)
      for (int x = 0; x < c.modules; ++x) grid.set((x + 2 * y) % 3 == 0, x, y);
    const Picture picture = QREncoder::renderDataMatrix(&grid, c.pixels);
    ASSERT_FALSE(picture.isNull());
    const int side = std::max(c.pixels, c.modules);
    EXPECT_EQ(picture.size(), QSizeF(side, side));
    const QImage image = picture.image();
    ASSERT_EQ(image.size(), QSize(side, side));
    for (int py = 0; py < side; ++py)
      for (int px = 0; px < side; ++px) {
        const int gx = px - c.lead, gy = py - c.lead;
        const int end = c.modules * c.module_px;
        const QRgb pixel = image.pixel(px, py);
        if (gx < 0 || gy < 0 || gx >= end || gy >= end) {
          ASSERT_EQ(qAlpha(pixel), 0) << px << "," << py;
        } else {
          const bool dark = grid.valueAt(gx / c.module_px, gy / c.module_px);
          ASSERT_EQ(pixel, dark ? qRgba(0, 0, 0, 255) : qRgba(255, 255, 255, 255))
              << px << "," << py;
        }
      }
    EXPECT_EQ(side - c.lead - c.modules * c.module_px, c.trail);
  }
}

TEST_F(QrPicture, RasterisedAtTheDesignResolutionAndReadable) {
  USED_DPI_VALUE = 600;
  auto grid = QREncoder::encodeWithECLevel(1, 0, "https://lumigrove.example/card/42");
  ASSERT_TRUE(grid);
  const Picture picture = QREncoder::renderDataMatrix(grid.get(), 100);
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), QSizeF(100, 100));
  EXPECT_EQ(picture.image().size(), QSize(834, 834));  // ceil(600 x 100 / 72)
  for (Decoder decoder : {Decoder::Zbar, Decoder::ZXing}) {
    const auto decoded = Decode(decoder, picture.image());
    EXPECT_EQ(decoded.data, QByteArray("https://lumigrove.example/card/42")) << decoded.log;
  }
}

// The hand-made nearest-neighbour scaling shows what a painter without smoothing draws: the
// two may place an edge one pixel apart (each rounds the source position its own way), no more.
TEST(PictureResolution, SamplesLikeAnUnsmoothedPainter) {
  const struct {
    QSize pixels;
    QSizeF points;
    double dpi;
    QImage::Format format;
  } cases[] = {
      {{29, 29}, {29, 29}, 600, QImage::Format_RGBA8888},  // QR: one pixel a point
      {{100, 100}, {100, 100}, 300, QImage::Format_RGBA8888},
      {{25, 25}, {60, 60}, 203, QImage::Format_ARGB32},
      {{137, 12}, {220, 70}, 600, QImage::Format_Mono},  // PDF417: a pixel a module and row
      {{40, 30}, {40, 30}, 72, QImage::Format_ARGB32_Premultiplied},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pixels.width() << "x" << c.pixels.height() << " at "
                                    << c.dpi);
    QImage source(c.pixels, c.format);
    if (c.format == QImage::Format_Mono) source.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < source.height(); ++y)
      for (int x = 0; x < source.width(); ++x)
        source.setPixel(x, y, c.format == QImage::Format_Mono ? uint((x * 7 + y * 3) % 5 < 2)
                              : (x + y) % 3 == 0 ? qRgba(0, 0, 0, 255)
                              : (x * y) % 4 == 1 ? qRgba(255, 255, 255, 0)
                                                 : qRgba(255, 255, 255, 255));
    const Picture picture = Increase_DPI(Picture(source, c.points), c.dpi);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), c.points);
    QImage expected(picture.image().size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    {
      QPainter painter(&expected);
      painter.drawImage(QRectF(QPointF(0, 0), QSizeF(expected.size())), source);
    }
    const QImage got = picture.image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(got.size(), expected.size());
    auto near = [&](int x, int y, QRgb value) {
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (expected.rect().contains(x + dx, y + dy) && expected.pixel(x + dx, y + dy) == value)
            return true;
      return false;
    };
    int far = 0;
    for (int y = 0; y < got.height(); ++y)
      for (int x = 0; x < got.width(); ++x) far += !near(x, y, got.pixel(x, y));
    EXPECT_EQ(far, 0);
    EXPECT_EQ(picture.image().dotsPerMeterX(), int(std::lround(c.dpi / 0.0254)));
  }
}

TEST(QrGrid, DescriptionListsRowsFromTheTop) {
  DataMatrix grid(3);
  grid.set(1, 2, 0);
  grid.set(1, 0, 2);
  grid.set(1, 5, 5);  // outside: ignored
  EXPECT_EQ(grid.description(), QString("001\n000\n100\n"));
  EXPECT_EQ(grid.valueAt(-1, 0), 0);
}

}  // namespace
