#include "barcode/Data_Matrix_Ecc200.h"
#include "barcode/Data_Matrix_Symbol.h"
#include "model/Shared_Design_State.h"
#include "support/Barcode_Decoders.h"
#include "support/Test_Support.h"

#include <future>
#include <thread>
#include <tuple>

namespace {

using test_support::Decode;
using test_support::Decoder;

// Rows from the top, as the decoders see them.
std::vector<std::vector<bool>> Rows(const Data_Matrix_Symbol& symbol) {
  std::vector<std::vector<bool>> rows(symbol.height, std::vector<bool>(symbol.width));
  for (int r = 0; r < symbol.height; ++r)
    for (int x = 0; x < symbol.width; ++x) rows[r][x] = symbol.dark(x, symbol.height - 1 - r);
  return rows;
}

void Expect_Decodes(const QImage& image, const QByteArray& expected, const QString& size) {
  const auto dmtx = Decode(Decoder::Dmtx, image, {"-s", size});
  ASSERT_TRUE(dmtx.ran) << dmtx.log;
  EXPECT_EQ(dmtx.data, expected) << "dmtxread " << dmtx.log;
  // iec16022 interleaves the blocks of its 144 x 144 symbols in a way ZXing does not read;
  // dmtxread does.
  if (size == QLatin1String("144x144")) return;
  const auto zxing = Decode(Decoder::ZXing, image, {"-format", "DataMatrix"});
  ASSERT_TRUE(zxing.ran) << zxing.log;
  EXPECT_EQ(zxing.data, expected) << "ZXingReader " << zxing.log;
}

QString Size_Of(const Data_Matrix_Symbol& symbol) {
  return QStringLiteral("%1x%2").arg(symbol.height).arg(symbol.width);
}

TEST(DataMatrixFormat, DesignerItems) {
  const struct {
    const char* item;
    int width, height;
  } cases[] = {{"Auto", 0, 0},     {"C10X10", 10, 10},     {"C144X144", 144, 144}, {"C8X18", 18, 8},
               {"C16X48", 48, 16}, {"C 12 X 26 ", 26, 12}, {"nonsense", 0, 0},     {"", 0, 0}};
  for (const auto& c : cases) {
    int w = -1, h = -1;
    Data_Matrix_Size_From_Format(c.item, &w, &h);
    EXPECT_EQ(w, c.width) << c.item;
    EXPECT_EQ(h, c.height) << c.item;
  }
  EXPECT_EQ(Data_Matrix_Encoding_String("Auto", 3), QByteArray());
  EXPECT_EQ(Data_Matrix_Encoding_String("Ascii", 3), QByteArray("AAA"));
  EXPECT_EQ(Data_Matrix_Encoding_String("C40", 2), QByteArray("CC"));
  EXPECT_EQ(Data_Matrix_Encoding_String("Text", 1), QByteArray("T"));
  EXPECT_EQ(Data_Matrix_Encoding_String("Base256", 4), QByteArray("BBBB"));
}

TEST(DataMatrixSymbols, EverySizeOfTheDesignersList) {
  const char* formats[] = {"C10X10", "C12X12", "C14X14",   "C16X16",   "C18X18",   "C20X20",
                           "C22X22", "C24X24", "C26X26",   "C32X32",   "C36X36",   "C40X40",
                           "C44X44", "C48X48", "C52X52",   "C64X64",   "C72X72",   "C80X80",
                           "C88X88", "C96X96", "C104X104", "C120X120", "C132X132", "C144X144",
                           "C8X18",  "C8X32",  "C12X26",   "C12X36",   "C16X36",   "C16X48"};
  const QByteArray value = "2024";
  for (const char* format : formats) {
    SCOPED_TRACE(format);
    int w = 0, h = 0;
    Data_Matrix_Size_From_Format(format, &w, &h);
    const Data_Matrix_Symbol symbol = Encode_Data_Matrix(value, w, h);
    ASSERT_TRUE(symbol.isValid()) << symbol.error;
    EXPECT_EQ(symbol.width, w);
    EXPECT_EQ(symbol.height, h);
    Expect_Decodes(test_support::Grid_Image(Rows(symbol), 4), value, Size_Of(symbol));
  }
}

TEST(DataMatrixSymbols, EncodingsDecodeToTheExactBytes) {
  const QByteArray accents = QString::fromUtf8("Grüße – 10 € für Zoë").toUtf8();
  const struct {
    const char* name;
    QByteArray data;
    const char* encoding_item;
  } cases[] = {
      {"digits, automatic", "123456", "Auto"},
      {"text, automatic", "Happy Birthday, Lumi!", "Auto"},
      {"C40", "INVITATION 2024", "C40"},
      {"Text", "happy new year", "Text"},
      {"Base256", "binary\x01\x02", "Base256"},
      {"UTF-8, automatic", accents, "Auto"},
      {"UTF-8, C40", accents, "C40"},
      {"UTF-8, Text", accents, "Text"},
      {"UTF-8, Base256", accents, "Base256"},
      {"UTF-8, Ascii", accents, "Ascii"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Data_Matrix_Symbol symbol = Encode_Data_Matrix(
        c.data, 0, 0, Data_Matrix_Encoding_String(c.encoding_item, int(c.data.size())));
    ASSERT_TRUE(symbol.isValid()) << symbol.error;
    Expect_Decodes(test_support::Grid_Image(Rows(symbol), 4), c.data, Size_Of(symbol));
  }
}

// Our own ECC200 maker against the library: the same ASCII codewords give the same modules
// in every size, filled to the last data codeword and with padding left over.
TEST(DataMatrixEcc200, SameModulesAsTheLibraryInEverySize) {
  for (const Data_Matrix_Size& size : Data_Matrix_Sizes()) {
    for (const int unused : {0, 1, 5}) {
      if (unused >= size.data) continue;
      SCOPED_TRACE(QStringLiteral("%1x%2, %3 unused").arg(size.rows).arg(size.columns).arg(unused).toStdString());
      QByteArray data;  // one codeword a letter
      for (int i = 0; i < size.data - unused; ++i) data += char('a' + (i * 7) % 26);
      const Data_Matrix_Symbol ours =
          Data_Matrix_From_Codewords(Data_Matrix_Ascii_Codewords(data, -1), size.columns, size.rows);
      ASSERT_TRUE(ours.isValid()) << ours.error;
      EXPECT_EQ(ours.capacity, size.data);
      // The library (and dmtxread) interleave the ten blocks of 144 x 144 their own way (see
      // Expect_Decodes); ours are interleaved whole, as the standard has it and ZXing reads.
      if (size.rows == 144) {
        const auto zxing = Decode(Decoder::ZXing, test_support::Grid_Image(Rows(ours), 3),
                                  {"-format", "DataMatrix"});
        ASSERT_TRUE(zxing.ran) << zxing.log;
        EXPECT_EQ(zxing.data, data) << zxing.log;
        continue;
      }
      const Data_Matrix_Symbol library =
          Encode_Data_Matrix(data, size.columns, size.rows, QByteArray(data.size(), 'A'));
      ASSERT_TRUE(library.isValid()) << library.error;
      EXPECT_TRUE(ours.modules == library.modules);
    }
  }
}

// The ECI opens the data: 241, then the number in one, two or three codewords; two digits
// share a codeword; a byte above 127 follows an upper shift.
TEST(DataMatrixEcc200, AsciiCodewordsWithAndWithoutEci) {
  using Codewords = std::vector<std::uint8_t>;
  const struct {
    const char* what;
    QByteArray data;
    int eci;
    Codewords codewords;
  } cases[] = {
      {"plain", "Ab", -1, {66, 99}},
      {"digit pairs", "1234a5", -1, {142, 164, 98, 54}},
      {"UTF-8", "\xc3\xa9", 26, {241, 27, 235, 68, 235, 42}},
      {"ECI in two codewords", "a", 1000, {241, 131, 112, 98}},
      {"ECI in three codewords", "a", 100000, {241, 193, 76, 52, 98}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Data_Matrix_Ascii_Codewords(c.data, c.eci), c.codewords);
  }
}

TEST(DataMatrixEcc200, EciSymbolsDecodeAndTheHeaderTakesRoom) {
  const QByteArray value = QString::fromUtf8("Zo\u00eb, Stra\u00dfe 12, \u65e5\u672c").toUtf8();
  for (const char* format : {"Auto", "C26X26", "C16X48", "C144X144"}) {
    SCOPED_TRACE(format);
    int w = 0, h = 0;
    Data_Matrix_Size_From_Format(format, &w, &h);
    const Data_Matrix_Symbol symbol = Encode_Data_Matrix(value, w, h, {}, kData_Matrix_Eci_Utf8);
    ASSERT_TRUE(symbol.isValid()) << symbol.error;
    const auto zxing = Decode(Decoder::ZXing, test_support::Grid_Image(Rows(symbol), 3),
                              {"-format", "DataMatrix"});
    ASSERT_TRUE(zxing.ran) << zxing.log;
    EXPECT_EQ(zxing.data, value) << zxing.log;
  }
  // Three letters fill a 10 x 10 symbol; with the ECI's two codewords they do not.
  EXPECT_TRUE(Encode_Data_Matrix("abc", 10, 10).isValid());
  EXPECT_FALSE(Encode_Data_Matrix("abc", 10, 10, {}, kData_Matrix_Eci_Utf8).isValid());
  EXPECT_EQ(Encode_Data_Matrix("abc", 0, 0, {}, kData_Matrix_Eci_Utf8).width, 12);
  // Sizes that do not exist and data no size holds are refused with a reason.
  for (const auto& [data, w, h] : {std::tuple{QByteArray("a"), 11, 11},
                                   std::tuple{QByteArray(1600, '\xe9'), 0, 0}}) {
    const Data_Matrix_Symbol refused = Encode_Data_Matrix(data, w, h, {}, kData_Matrix_Eci_Utf8);
    EXPECT_FALSE(refused.isValid());
    EXPECT_FALSE(refused.error.isEmpty());
  }
}

TEST(DataMatrixSymbols, RefusedWithoutACrash) {
  const struct {
    const char* name;
    QByteArray data;
    int width, height;
  } cases[] = {
      {"empty", "", 0, 0},
      {"over the library's limit", QByteArray(3117, '1'), 0, 0},
      {"huge", QByteArray(8 * 1024 * 1024, 'x'), 0, 0},
      {"too long for the fixed size", QByteArray(100, 'x'), 10, 10},
      {"size that does not exist", "abc", 11, 11},
      {"negative size", "abc", -10, 10},
      {"too long for any size", QByteArray(2000, '\xe9'), 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Data_Matrix_Symbol symbol = Encode_Data_Matrix(c.data, c.width, c.height);
    EXPECT_FALSE(symbol.isValid());
    EXPECT_TRUE(symbol.modules.empty());
    EXPECT_FALSE(symbol.error.isEmpty());
  }
  // The largest symbol at the library's limit.
  const QByteArray digits(kData_Matrix_Max_Bytes, '7');
  const Data_Matrix_Symbol largest = Encode_Data_Matrix(digits, 0, 0);
  ASSERT_TRUE(largest.isValid()) << largest.error;
  EXPECT_EQ(largest.width, 144);
  Expect_Decodes(test_support::Grid_Image(Rows(largest), 3), digits, Size_Of(largest));
}

TEST(DataMatrixSymbols, CallsFromSeveralThreadsStayApart) {
  auto encode = [](int i) {
    const QByteArray value = QByteArray("card-") + QByteArray::number(i) + QByteArray(i % 40, 'q');
    return Encode_Data_Matrix(value, 0, 0);
  };
  std::vector<Data_Matrix_Symbol> expected;
  for (int i = 0; i < 40; ++i) expected.push_back(encode(i));
  std::vector<std::future<bool>> workers;
  for (int t = 0; t < 4; ++t)
    workers.push_back(std::async(std::launch::async, [&] {
      bool same = true;
      for (int round = 0; round < 5; ++round)
        for (int i = 0; i < 40; ++i) {
          const Data_Matrix_Symbol s = encode(i);
          same = same && s.width == expected[i].width && s.modules == expected[i].modules;
        }
      return same;
    }));
  for (auto& w : workers) EXPECT_TRUE(w.get());
}

// ---- Encapsulated PostScript and the picture -------------------------------------------

Data_Matrix_Symbol Checkerboard(int w, int h) {
  Data_Matrix_Symbol s;
  s.width = w;
  s.height = h;
  s.modules.resize(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.modules[size_t(y) * w + x] = (x + y) % 2 == 0;
  return s;
}

TEST(DataMatrixEps, HeaderAndHexBody) {
  const Data_Matrix_Symbol symbol = Checkerboard(10, 10);
  const QByteArray eps = makeEPS_Data_Matrix("12\n34", symbol);
  const QList<QByteArray> lines = eps.split('\n');
  ASSERT_GE(lines.size(), 14);
  EXPECT_EQ(lines[0], "%!PS-Adobe-3.0 EPSF-3.0");
  EXPECT_EQ(lines[1], "%%Creator: IEC16022 barcode/stamp generator");
  EXPECT_EQ(lines[2], "%%BarcodeData: 12 34");  // a line break stays inside the comment
  EXPECT_EQ(lines[3], "%%BarcodeSize: 10x10");
  EXPECT_EQ(lines[8], "%%BoundingBox: 0 0 12 12");
  EXPECT_EQ(lines[11], "10 10 1[1 0 0 1 -1 -1]{<");
  // Row 0 (x + y even dark): 1010101010 -> 0xAA 0x80, inverted 55 7F; row 1 -> AA BF.
  EXPECT_TRUE(lines[12].startsWith("557F AABF 557F ")) << lines[12].constData();
  EXPECT_EQ(lines[12].size(), 50);  // ten rows of two bytes and a space, no break inside
  EXPECT_TRUE(eps.endsWith(" \n\n>}image\n"));

  // 144 x 144: 18 bytes and a space a row, a line end after every fifth row.
  const QByteArray large = makeEPS_Data_Matrix("x", Checkerboard(144, 144));
  const QList<QByteArray> body = large.mid(large.indexOf("{<\n") + 3).split('\n');
  EXPECT_EQ(body[0].size(), 5 * 37);
  EXPECT_EQ(body[0].count(' '), 5);
  EXPECT_TRUE(makeEPS_Data_Matrix("x", Data_Matrix_Symbol()).isEmpty());
}

class DataMatrixPicture : public test_support::Design_Test {};

TEST_F(DataMatrixPicture, SizeInPointsAndPixels) {
  const struct {
    int w, h, module, dpi;
    QSizeF points;
    QSize pixels;
  } cases[] = {
      {10, 10, 2, 600, {20, 20}, {100, 100}},  // the 12 x 12 point box at 600 dpi
      {18, 8, 1, 72, {18, 8}, {20, 10}},
      {12, 12, 3, 300, {36, 36}, {59, 59}},
  };
  for (const auto& c : cases) {
    const Picture picture = Data_Matrix_Picture(Checkerboard(c.w, c.h), c.module, c.dpi);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), c.points);
    EXPECT_EQ(picture.image().size(), c.pixels);
  }
  EXPECT_TRUE(Data_Matrix_Picture(Checkerboard(10, 10), 0, 600).isNull());
  EXPECT_TRUE(Data_Matrix_Picture(Data_Matrix_Symbol(), 1, 600).isNull());
}

TEST_F(DataMatrixPicture, OneModuleTransparentBorderAndRowZeroAtTheBottom) {
  // At 72 dpi one point is one pixel: the box is (W + 2) x (H + 2) pixels.
  Data_Matrix_Symbol symbol = Checkerboard(10, 10);
  std::fill(symbol.modules.begin(), symbol.modules.begin() + 10, 1);  // row 0 all dark
  const QImage image = Data_Matrix_Picture(symbol, 1, 72).image();
  ASSERT_EQ(image.size(), QSize(12, 12));
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(qAlpha(image.pixel(i, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, i)), 0);
    EXPECT_EQ(qAlpha(image.pixel(i, 11)), 0);
    EXPECT_EQ(qAlpha(image.pixel(11, i)), 0);
  }
  for (int x = 1; x <= 10; ++x) EXPECT_EQ(image.pixel(x, 10), qRgb(0, 0, 0)) << x;  // bottom
  // Top pixel row: the library's row 9; column 1: 1 + 9 is even, dark. Column 2: light.
  EXPECT_EQ(image.pixel(2, 1), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(3, 1), qRgb(255, 255, 255));
}

TEST_F(DataMatrixPicture, DesignerDrawingIsReadable) {
  USED_DPI_VALUE = 300;
  Barcode_module_size = 3;
  const QString value = QString::fromUtf8("Ünïcödé party – table 7");
  const Picture picture = Draw_DataMatrix_Barcode(value, "Auto", "Auto");
  ASSERT_FALSE(picture.isNull());
  const auto decoded = Decode(Decoder::ZXing, picture.image(), {"-format", "DataMatrix"});
  EXPECT_EQ(decoded.data, value.toUtf8()) << decoded.log;

  const Picture rectangular = Draw_DataMatrix_Barcode("1234", "C8X18", "Ascii");
  ASSERT_FALSE(rectangular.isNull());
  EXPECT_EQ(rectangular.size(), QSizeF(18 * 3, 8 * 3));
  const auto dmtx = Decode(Decoder::Dmtx, rectangular.image(), {"-s", "8x18"});
  EXPECT_EQ(dmtx.data, QByteArray("1234")) << dmtx.log;

  EXPECT_TRUE(Draw_DataMatrix_Barcode("", "Auto", "Auto").isNull());
  EXPECT_TRUE(Draw_DataMatrix_Barcode(QString(200, 'x'), "C10X10", "Auto").isNull());
}

}  // namespace
