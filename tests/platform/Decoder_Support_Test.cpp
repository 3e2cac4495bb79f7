#include "support/Barcode_Decoders.h"
#include "support/Test_Support.h"

namespace {

// The decoders the barcode tests rely on are installed and read a known symbol:
// EAN-8 "96385074" (ISO/IEC 15420 example number).
TEST(DecoderSupport, DecodersReadAKnownEan8) {
  // Start guard, 4 left digits (odd parity A set), centre guard, 4 right digits, end.
  const char* left[] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                        "0110001", "0101111", "0111011", "0110111", "0001011"};
  QString bars = "101";
  const QString digits = "96385074";
  for (int i = 0; i < 4; ++i) bars += left[digits[i].digitValue()];
  bars += "01010";
  for (int i = 4; i < 8; ++i) {
    QString r;
    for (QChar c : QString(left[digits[i].digitValue()])) r += c == '0' ? '1' : '0';
    bars += r;
  }
  bars += "101";
  const QImage image = test_support::Bars_Image(bars);
  for (auto decoder : {test_support::Decoder::Zbar, test_support::Decoder::ZXing}) {
    const auto decoded = test_support::Decode(decoder, image);
    ASSERT_TRUE(decoded.ran) << decoded.log;
    EXPECT_EQ(decoded.data, QByteArray("96385074")) << decoded.log;
  }
}

}  // namespace
