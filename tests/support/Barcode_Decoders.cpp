#include "support/Barcode_Decoders.h"

#include "support/Test_Support.h"

#include <QPainter>
#include <QTemporaryDir>

namespace test_support {

namespace {

Decoded Run_Decoder(Decoder decoder, const QImage& image, const QStringList& extra_arguments,
                    bool text);

}  // namespace

Decoded Decode(Decoder decoder, const QImage& image, const QStringList& extra_arguments) {
  return Run_Decoder(decoder, image, extra_arguments, false);
}

Decoded Decode_Text(Decoder decoder, const QImage& image, const QStringList& extra_arguments) {
  return Run_Decoder(decoder, image, extra_arguments, true);
}

namespace {

Decoded Run_Decoder(Decoder decoder, const QImage& image, const QStringList& extra_arguments,
                    bool text) {
  Decoded result;
  QTemporaryDir dir;
  if (!dir.isValid()) return result;
  const QString file = dir.filePath(QStringLiteral("symbol.png"));
  QImage flat(image.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  {
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
  }
  if (!flat.save(file, "PNG")) return result;

  QString program;
  QStringList arguments;
  switch (decoder) {
    case Decoder::Zbar:
      program = QStringLiteral("zbarimg");
      arguments << QStringLiteral("--raw") << QStringLiteral("-q");
      if (!text) arguments << QStringLiteral("-Sbinary");
      break;
    case Decoder::ZXing:
      program = QStringLiteral("ZXingReader");
      if (!text) arguments << QStringLiteral("-bytes");
      break;
    case Decoder::Dmtx:
      program = QStringLiteral("dmtxread");
      arguments << QStringLiteral("-N1") << QStringLiteral("-m") << QStringLiteral("20000");
      break;
  }
  arguments << extra_arguments << file;
  if (!Have_Program(program)) {
    const char* package = decoder == Decoder::Zbar    ? "zbar-tools"
                          : decoder == Decoder::ZXing ? "zxing-cpp-tools"
                                                      : "dmtx-utils";
    result.log = QStringLiteral("%1 is missing: the tests need the package %2 "
                                "(deps/test/barcode-decoders.list, installed by make deps)")
                     .arg(program, QLatin1String(package));
    return result;
  }
  const Process_Result run = Run_Program(program, arguments, 60000);
  result.log = QString::fromLocal8Bit(run.err);
  // zbarimg answers 4 when it found nothing; ZXingReader prints nothing.
  result.ran = run.exit_code >= 0;
  if (!result.ran) return result;
  QByteArray data = run.out;
  if (decoder == Decoder::Zbar && data.endsWith('\n')) data.chop(1);
  if (text && decoder == Decoder::ZXing) {
    // The report's lines  Text:       "..."  and  BytesECI:   5D 4C 31 5C 30 ...  (the
    // symbology identifier, then each ECI as a backslash and six digits, then the bytes).
    QByteArray line, with_eci;
    for (const QByteArray& l : data.split('\n')) {
      if (l.startsWith("Text:")) line = l;
      if (l.startsWith("BytesECI:")) with_eci = QByteArray::fromHex(l.mid(9).simplified().replace(' ', ""));
    }
    const qsizetype first = line.indexOf('"'), last = line.lastIndexOf('"');
    data = first >= 0 && last > first ? line.mid(first + 1, last - first - 1) : QByteArray();
    if (const qsizetype mark = with_eci.indexOf('\\'); mark >= 0) {
      bool number = false;
      const int eci = with_eci.mid(mark + 1, 6).toInt(&number);
      if (number) result.eci = eci;
    }
  }
  result.found = !data.isEmpty() || (decoder == Decoder::Zbar && run.exit_code == 0);
  result.data = data;
  return result;
}

}  // namespace

QImage Bars_Image(const QString& bars, int module_px, int height_px, int quiet_modules) {
  const int width = int(bars.size() + 2 * quiet_modules) * module_px;
  QImage image(width, height_px, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  for (int i = 0; i < bars.size(); ++i)
    if (bars.at(i) == QLatin1Char('1'))
      painter.fillRect((quiet_modules + i) * module_px, 0, module_px, height_px, Qt::black);
  return image;
}

QImage Grid_Image(const std::vector<std::vector<bool>>& modules, int module_px, int quiet_modules) {
  const int rows = int(modules.size());
  const int cols = rows ? int(modules.front().size()) : 0;
  QImage image((cols + 2 * quiet_modules) * module_px, (rows + 2 * quiet_modules) * module_px,
               QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      if (modules[r][c])
        painter.fillRect((quiet_modules + c) * module_px, (quiet_modules + r) * module_px,
                         module_px, module_px, Qt::black);
  return image;
}

}  // namespace test_support
