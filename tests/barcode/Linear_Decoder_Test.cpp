// Our linear symbols read back by two independent decoders (zbar and ZXing): the bar
// string is drawn as black modules of 3 pixels with a quiet zone, and the decoded text
// must be the value the user gave (with its check digit where the symbology prints one).
// Industrial 2 of 5, the Plessey codes and the postal codes have no decoder here; their
// tests compare bars with the standard tables instead.

#include "Linear_Test_Support.h"
#include "support/Barcode_Decoders.h"
#include "support/Test_Support.h"

#include <QHash>

namespace {

using test_support::Decoder;

struct Decoder_Case {
  const char* symbology;
  QByteArray value;
  QByteArray zxing;          // what ZXingReader reads
  QByteArray zbar;           // what zbarimg reads ("" = the same)
  const char* zxing_format;  // restricts ZXingReader to the symbology
  const char* standard;
};

std::ostream& operator<<(std::ostream& os, const Decoder_Case& c) {
  return os << c.symbology << " " << c.value.toPercentEncoding().toStdString();
}

class LinearDecoders : public ::testing::TestWithParam<Decoder_Case> {};

TEST_P(LinearDecoders, BothDecodersReadTheValue) {
  const Decoder_Case& c = GetParam();
  auto model = linear_test::Make(c.symbology, QString::fromLatin1(c.value));
  ASSERT_TRUE(model);
  ASSERT_TRUE(model->isContentValid());
  const QImage image = test_support::Bars_Image(model->completeBarcode(), 3, 120, 15);

  const auto zbar = test_support::Decode(Decoder::Zbar, image);
  ASSERT_TRUE(zbar.ran) << zbar.log;
  EXPECT_EQ(zbar.data, c.zbar.isEmpty() ? c.zxing : c.zbar) << c.standard << "\n" << zbar.log;

  const auto zxing =
      test_support::Decode(Decoder::ZXing, image, {"-format", QString::fromLatin1(c.zxing_format)});
  ASSERT_TRUE(zxing.ran) << zxing.log;
  EXPECT_EQ(zxing.data, c.zxing) << c.standard << "\n" << zxing.log;
}

// Every printable ASCII character, for the full tables of Code 128 set B and Code 39.
QByteArray printable() {
  QByteArray all;
  for (char c = 32; c < 127; ++c) all += c;
  return all;
}

// Every digit pair 00..99: the symbol values 0..99 of Code 128 set C.
QByteArray all_pairs() {
  QByteArray all;
  for (int v = 0; v < 100; ++v) all += QByteArray::number(v).rightJustified(2, '0');
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Retail, LinearDecoders,
    ::testing::Values(
        Decoder_Case{"EAN-13", "400638133393", "4006381333931", "", "EAN-13", "ISO/IEC 15420"},
        Decoder_Case{"EAN-13", "012345678905", "0123456789050", "", "EAN-13",
                     "ISO/IEC 15420: leading 0, six set A digits"},
        Decoder_Case{"EAN-13", "9780201379624", "9780201379624", "", "EAN-13",
                     "ISO/IEC 15420 (ISBN, check digit given)"},
        Decoder_Case{"EAN-8", "9638507", "96385074", "", "EAN-8", "ISO/IEC 15420"},
        Decoder_Case{"UPCA", "03600029145", "036000291452", "0036000291452", "UPC-A",
                     "ISO/IEC 15420 (zbar reads UPC-A as EAN-13)"},
        // zbar reads UPC-E as the EAN-13 form of its UPC-A expansion.
        Decoder_Case{"UPCE", "0425261", "04252614", "0042100005264", "UPC-E", "ISO/IEC 15420"},
        Decoder_Case{"UPCE", "04210000526", "04252614", "0042100005264", "UPC-E",
                     "ISO/IEC 15420: UPC-A compressed"},
        Decoder_Case{"UPCE", "01234565", "01234565", "0012345000065", "UPC-E",
                     "ISO/IEC 15420: last digit 5..9 form"},
        Decoder_Case{"UPCE", "0123453", "01234531", "0012300000451", "UPC-E",
                     "ISO/IEC 15420: last digit 3 form"},
        Decoder_Case{"UPCE", "0123404", "01234048", "0012340000008", "UPC-E",
                     "ISO/IEC 15420: last digit 4 form"}));

INSTANTIATE_TEST_SUITE_P(
    Code39Codabar, LinearDecoders,
    ::testing::Values(
        Decoder_Case{"Code 39", "CODE-39 TEST", "CODE-39 TEST", "", "Code39", "ISO/IEC 16388"},
        Decoder_Case{"Code 39", "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%",
                     "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", "", "Code39",
                     "ISO/IEC 16388: every character"},
        Decoder_Case{"Code 39", "lumigrove", "LUMIGROVE", "", "Code39",
                     "ISO/IEC 16388: lower case taken as upper"},
        // ZXing leaves out the start and stop characters.
        Decoder_Case{"Codabar", "A40156B", "40156", "A40156B", "Codabar", "ANSI/AIM BC3 (Codabar)"},
        Decoder_Case{"Codabar", "C0123456789-$:/.+D", "0123456789-$:/.+", "C0123456789-$:/.+D",
                     "Codabar", "Codabar: every data character, start C, stop D"}));

INSTANTIATE_TEST_SUITE_P(
    Code128, LinearDecoders,
    ::testing::Values(
        Decoder_Case{"Code 128", "Hello", "Hello", "", "Code128", "ISO/IEC 15417, set B"},
        Decoder_Case{"Code 128", "123456", "123456", "", "Code128", "ISO/IEC 15417, set C"},
        Decoder_Case{"Code 128", "12345", "12345", "", "Code128",
                     "ISO/IEC 15417: odd digits end in set B"},
        Decoder_Case{"Code 128", "7", "7", "", "Code128", "ISO/IEC 15417: one digit"},
        Decoder_Case{"Code 128", "A\tB\r\nC", "A\tB\r\nC", "", "Code128",
                     "ISO/IEC 15417, set A controls"},
        Decoder_Case{"Code 128 SET A", "a", "a", "", "Code128", "ISO/IEC 15417: SHIFT"},
        Decoder_Case{"Code 128 SET A", "TAG:abc\x1e\x1f!", "TAG:abc\x1e\x1f!", "", "Code128",
                     "ISO/IEC 15417: CODE B run, back by CODE A, RS and US"},
        Decoder_Case{"Code 128 SET B", "Tab\there\x7f", "Tab\there\x7f", "", "Code128",
                     "ISO/IEC 15417: SHIFT to A, DEL"},
        Decoder_Case{"Code 128 SET B", printable(), printable(), "", "Code128",
                     "ISO/IEC 15417: symbol values 0..94 of set B"},
        Decoder_Case{"Code 128 SET C", all_pairs(), all_pairs(), "", "Code128",
                     "ISO/IEC 15417: symbol values 0..99 of set C"}));

INSTANTIATE_TEST_SUITE_P(
    Interleaved, LinearDecoders,
    ::testing::Values(Decoder_Case{"Interleaved 2 of 5", "12345678", "12345678", "", "ITF",
                                   "ISO/IEC 16390"},
                      Decoder_Case{"Interleaved 2 of 5", "0123456789", "0123456789", "", "ITF",
                                   "ISO/IEC 16390: every digit"},
                      Decoder_Case{"Interleaved 2 of 5", "1234567", "01234567", "", "ITF",
                                   "ISO/IEC 16390: odd length padded with 0"}));

// Extended Code 39: the decoders read the pairs; mapped back they give the value.
TEST(LinearDecoders, ExtendedCode39ReadsBackThroughTheFullAsciiTable) {
  QByteArray value = "Hello, World! *star* [a_b] {x|y} ~@`\t\n";
  value += printable();
  auto model = linear_test::Make("Extended Code 39", QString::fromLatin1(value));
  ASSERT_TRUE(model && model->isContentValid());
  const QImage image = test_support::Bars_Image(model->completeBarcode(), 3, 120, 15);
  // The full-ASCII table of Code 39 (ISO/IEC 16388, annex), read backwards.
  QHash<QByteArray, char> pairs;
  for (int c = 0; c < 128; ++c) {
    const QString code = LinExtendedCode39Barcode::Full_Ascii(char(c));
    if (code.size() == 2) pairs.insert(code.toLatin1(), char(c));
  }
  auto map_back = [&](const QByteArray& raw) {
    QByteArray out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
      if (i + 1 < raw.size() && QByteArray("$%/+").contains(raw[i])) {
        const QByteArray pair = raw.mid(i, 2);
        if (pairs.contains(pair)) {
          out += pairs.value(pair);
          ++i;
          continue;
        }
      }
      out += raw[i];
    }
    return out;
  };
  for (auto decoder : {Decoder::Zbar, Decoder::ZXing}) {
    const auto decoded = decoder == Decoder::ZXing
                             ? test_support::Decode(decoder, image, {"-format", "Code39"})
                             : test_support::Decode(decoder, image);
    ASSERT_TRUE(decoded.ran) << decoded.log;
    EXPECT_EQ(map_back(decoded.data), value) << decoded.log;
  }
}

}  // namespace
