#pragma once
// Independent barcode decoders for the tests: the picture is written to a temporary PNG
// and read back by zbarimg (zbar-tools), ZXingReader (zxing-cpp-tools) or dmtxread
// (dmtx-utils), all installed by `make deps`.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace test_support {

enum class Decoder { Zbar, ZXing, Dmtx };

struct Decoded {
  bool ran = false;    // the decoder ran and ended normally
  bool found = false;  // it found a symbol
  QByteArray data;     // the bytes of the first symbol found
  QString log;         // what the decoder printed on standard error
  int eci = -1;        // the ECI the symbol names (ZXingReader's text reading only), or -1
};

// Decodes the picture. extra_arguments are passed to the tool before the file name:
// for ZXingReader e.g. {"-format", "QRCode"}, for dmtxread e.g. {"-s", "12x12"}.
Decoded Decode(Decoder decoder, const QImage& image, const QStringList& extra_arguments = {});
// The same as the decoder reads it as text, in UTF-8: the bytes taken in the encoding the
// symbol names (ECI) or the decoder guesses (zbarimg without -Sbinary; ZXingReader's "Text:"
// line, and the ECI it reports). dmtxread has no text reading: the same as Decode.
Decoded Decode_Text(Decoder decoder, const QImage& image, const QStringList& extra_arguments = {});

// A picture of a row of modules ("1" bar, "0" space) for linear symbols: black bars on
// white, `module_px` pixels a module, `quiet_modules` of quiet zone on each side.
QImage Bars_Image(const QString& bars, int module_px = 3, int height_px = 120,
                  int quiet_modules = 12);

// A picture of a module grid (true = dark) with a quiet zone, `module_px` pixels a module.
QImage Grid_Image(const std::vector<std::vector<bool>>& modules, int module_px = 4,
                  int quiet_modules = 4);

}  // namespace test_support
