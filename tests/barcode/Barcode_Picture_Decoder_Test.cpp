// Finished barcode pictures read back by independent decoders: every symbology that one of
// them reads, made on the headless road at the designer's start settings (600 dpi, header,
// footer, value text, margins), flattened on white. And several threads making pictures at
// once, each from its own copy of the designer.

#include "barcode/Barcode_Designer.h"
#include "barcode/Barcode_Symbologies.h"
#include "support/Barcode_Decoders.h"
#include "support/Test_Support.h"

#include <array>
#include <thread>

namespace {

using test_support::Decoder;

struct Decode_Case {
  const char* title;
  QByteArray value;
  QByteArray zbar;  // what zbarimg reads; empty: zbar does not read the symbology
  QByteArray zxing;
  const char* zxing_format;
  QByteArray dmtx;  // what dmtxread reads; empty: not a Data Matrix
};

std::ostream& operator<<(std::ostream& os, const Decode_Case& c) {
  return os << c.title << " " << c.value.toPercentEncoding().toStdString();
}

class PictureDecoders : public ::testing::TestWithParam<Decode_Case> {};
// The same, reading the text the decoders make of the bytes.
class TextDecoders : public ::testing::TestWithParam<Decode_Case> {};

void Decodes(const Decode_Case& c, bool text) {
  const auto read = text ? test_support::Decode_Text : test_support::Decode;
  Barcode_Designer designer;
  designer.Select_Symbology(QString::fromLatin1(c.title));
  const Picture picture = designer.Get_Image_From_Val(QString::fromUtf8(c.value),
                                                      designer.HeaderText, designer.FooterText);
  ASSERT_FALSE(picture.isNull());

  if (!c.zbar.isEmpty()) {
    const auto zbar = read(Decoder::Zbar, picture.image(), {});
    ASSERT_TRUE(zbar.ran) << zbar.log;
    EXPECT_EQ(zbar.data, c.zbar) << zbar.log;
  }
  const auto zxing = read(Decoder::ZXing, picture.image(),
                          {"-format", QString::fromLatin1(c.zxing_format)});
  ASSERT_TRUE(zxing.ran) << zxing.log;
  EXPECT_EQ(zxing.data, c.zxing) << zxing.log;
  // Only values beyond ASCII are marked as UTF-8: ASCII symbols stay as they were.
  if (text) {
    bool ascii = true;
    for (char ch : c.value) ascii = ascii && static_cast<unsigned char>(ch) < 128;
    EXPECT_EQ(zxing.eci, ascii ? -1 : 26);
  }
  if (!c.dmtx.isEmpty()) {
    const auto dmtx = read(Decoder::Dmtx, picture.image(), {});
    ASSERT_TRUE(dmtx.ran) << dmtx.log;
    EXPECT_EQ(dmtx.data, c.dmtx) << dmtx.log;
  }
}

TEST_P(PictureDecoders, DecodersReadTheValue) { Decodes(GetParam(), false); }

TEST_P(TextDecoders, DecodersReadTheValueAsText) { Decodes(GetParam(), true); }

INSTANTIATE_TEST_SUITE_P(
    Linear, PictureDecoders,
    ::testing::Values(
        Decode_Case{"Code 39", "LUMI-39", "LUMI-39", "LUMI-39", "Code39", {}},
        Decode_Case{"Extended Code 39", "0123", "0123", "0123", "Code39", {}},
        Decode_Case{"Interleaved 2 of 5", "12345678", "12345678", "12345678", "ITF", {}},
        // zbar reads UPC-A and UPC-E as EAN-13.
        Decode_Case{"UPCA", "03600029145", "0036000291452", "036000291452", "UPC-A", {}},
        Decode_Case{"EAN-13", "400638133393", "4006381333931", "4006381333931", "EAN-13", {}},
        Decode_Case{
            "Code 128", "Lumigrove 2024", "Lumigrove 2024", "Lumigrove 2024", "Code128", {}},
        Decode_Case{"Code 128 SET A", "CARD-A", "CARD-A", "CARD-A", "Code128", {}},
        Decode_Case{"Code 128 SET B", "card-b", "card-b", "card-b", "Code128", {}},
        Decode_Case{"Code 128 SET C", "123456", "123456", "123456", "Code128", {}},
        // ZXing leaves out Codabar's start and stop letters.
        Decode_Case{"Codabar", "A40156B", "A40156B", "40156", "Codabar", {}},
        Decode_Case{"UPCE", "0425261", "0042100005264", "04252614", "UPC-E", {}},
        Decode_Case{"EAN-8", "9638507", "96385074", "96385074", "EAN-8", {}}));

INSTANTIATE_TEST_SUITE_P(
    TwoDimensional, PictureDecoders,
    ::testing::Values(Decode_Case{"QR Code", "0123", "0123", "0123", "QRCode", {}},
                      Decode_Case{"QR Code",
                                  "Caf\xc3\xa9 at 8:00",
                                  "Caf\xc3\xa9 at 8:00",
                                  "Caf\xc3\xa9 at 8:00",
                                  "QRCode",
                                  {}},
                      Decode_Case{"PDF417", "0123", {}, "0123", "PDF417", {}},
                      Decode_Case{"DataMatrix", "0123", {}, "0123", "DataMatrix", "0123"},
                      Decode_Case{"DataMatrix",
                                  "Lumigrove greeting card 2024",
                                  {},
                                  "Lumigrove greeting card 2024",
                                  "DataMatrix",
                                  "Lumigrove greeting card 2024"}));

INSTANTIATE_TEST_SUITE_P(
    Ascii, TextDecoders,
    ::testing::Values(Decode_Case{"QR Code", "Table 7", "Table 7", "Table 7", "QRCode", {}},
                      Decode_Case{"PDF417", "Table 7", {}, "Table 7", "PDF417", {}},
                      Decode_Case{"DataMatrix", "Table 7", {}, "Table 7", "DataMatrix",
                                  "Table 7"}));

// Values beyond ASCII, as batch records bring them: the symbol marks its bytes as UTF-8
// (ECI 26), so no reader takes them for another encoding (without the mark zbar read
// "Chlo\u77c7" and "Stra\uff83\u6b79 12", taking the bytes for Shift JIS).
INSTANTIATE_TEST_SUITE_P(
    BeyondAscii, TextDecoders,
    ::testing::Values(
        Decode_Case{"QR Code", "Chlo\xc3\xa9", "Chlo\xc3\xa9", "Chlo\xc3\xa9", "QRCode", {}},
        Decode_Case{"QR Code", "Stra\xc3\x9f" "e 12", "Stra\xc3\x9f" "e 12",
                    "Stra\xc3\x9f" "e 12", "QRCode", {}},
        Decode_Case{"QR Code", "\xe6\x97\xa5\xe6\x9c\xac", "\xe6\x97\xa5\xe6\x9c\xac",
                    "\xe6\x97\xa5\xe6\x9c\xac", "QRCode", {}},
        Decode_Case{"PDF417", "Chlo\xc3\xa9", {}, "Chlo\xc3\xa9", "PDF417", {}},
        Decode_Case{"PDF417", "Stra\xc3\x9f" "e 12", {}, "Stra\xc3\x9f" "e 12", "PDF417", {}},
        // dmtxread hands the ECI on as one byte of its number (26) before the value.
        Decode_Case{"DataMatrix", "Chlo\xc3\xa9", {}, "Chlo\xc3\xa9", "DataMatrix",
                    "\x1a" "Chlo\xc3\xa9"},
        Decode_Case{"DataMatrix", "Stra\xc3\x9f" "e 12", {}, "Stra\xc3\x9f" "e 12",
                    "DataMatrix", "\x1a" "Stra\xc3\x9f" "e 12"}));

// Four threads, four symbologies, each thread with its own copy of the designer taken on
// the main thread: every picture equals the one the same copy makes alone.
TEST(PictureThreads, FourThreadsMakeTheirOwnPictures) {
  struct Job {
    QString title;
    const char* resolution;
    Decoder decoder;
    QStringList values;
    Barcode_Designer designer;
    std::vector<Picture> alone;
    std::vector<Picture> together;
  };
  std::array<Job, 4> jobs{{
      {"EAN-13",
       "300",
       Decoder::Zbar,
       {"400638133393", "012345678905", "9780201379624"},
       {},
       {},
       {}},
      {"Code 128", "Auto", Decoder::Zbar, {"Table 1", "Table 22", "Bride & groom"}, {}, {}, {}},
      {"QR Code",
       "150",
       Decoder::Zbar,
       {"Alice", "Bob", "https://example.org/rsvp?id=7"},
       {},
       {},
       {}},
      {"DataMatrix", "1200", Decoder::Dmtx, {"0001", "0002", "Guest list"}, {}, {}, {}},
  }};
  for (Job& job : jobs) {
    job.designer.Select_Symbology(job.title);
    // Settings that differ from copy to copy.
    job.designer.DPI_ComboBox.index = int(job.designer.DPI_ComboBox.items.indexOf(job.resolution));
    job.designer.hdr_mar_Stepper = 0.1f * float(&job - jobs.data());
    job.designer.HeaderText = job.title;
    Barcode_Designer alone = job.designer;
    for (const QString& value : job.values)
      job.alone.push_back(alone.Get_Image_From_Val(value, job.title, "FOOTER"));
  }

  constexpr int kRounds = 3;
  std::vector<std::thread> threads;
  for (Job& job : jobs) {
    threads.emplace_back([&job, copy = Barcode_Designer(job.designer)]() mutable {
      for (int round = 0; round < kRounds; ++round)
        for (const QString& value : job.values)
          job.together.push_back(copy.Get_Image_From_Val(value, job.title, "FOOTER"));
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (const Job& job : jobs) {
    SCOPED_TRACE(job.title.toStdString());
    ASSERT_EQ(job.together.size(), job.values.size() * kRounds);
    for (size_t i = 0; i < job.together.size(); ++i) {
      const Picture& expected = job.alone[i % job.values.size()];
      ASSERT_FALSE(expected.isNull());
      EXPECT_EQ(job.together[i].size(), expected.size());
      EXPECT_TRUE(job.together[i].image() == expected.image()) << "picture " << i;
    }
    // And the pictures are the values' own.
    const int dpi = job.designer.liner_or_2D_font == 1 ? job.designer.Used_DPI()
                                                       : Barcode_Designer::Linear_DPI;
    EXPECT_NEAR(job.together.back().image().dotsPerMeterX() * 0.0254, dpi, 0.5);
    const auto read = test_support::Decode(job.decoder, job.together.back().image());
    ASSERT_TRUE(read.ran) << read.log;
    EXPECT_EQ(QString::fromUtf8(read.data), job.values.back()) << read.log;
  }
}

}  // namespace
