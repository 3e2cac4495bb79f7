#include "support/Barcode_Decoders.h"

#include "support/Test_Support.h"

#include <QPainter>
#include <QTemporaryDir>

namespace test_support {

Decoded Decode(Decoder decoder, const QImage& image, const QStringList& extra_arguments) {
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
      arguments << QStringLiteral("--raw") << QStringLiteral("-q") << QStringLiteral("-Sbinary");
      break;
    case Decoder::ZXing:
      program = QStringLiteral("ZXingReader");
      arguments << QStringLiteral("-bytes");
      break;
    case Decoder::Dmtx:
      program = QStringLiteral("dmtxread");
      arguments << QStringLiteral("-N1") << QStringLiteral("-m") << QStringLiteral("20000");
      break;
  }
  arguments << extra_arguments << file;
  const Process_Result run = Run_Program(program, arguments, 60000);
  result.log = QString::fromLocal8Bit(run.err);
  // zbarimg answers 4 when it found nothing; ZXingReader prints nothing.
  result.ran = run.exit_code >= 0;
  if (!result.ran) return result;
  QByteArray data = run.out;
  if (decoder == Decoder::Zbar && data.endsWith('\n')) data.chop(1);
  result.found = !data.isEmpty() || (decoder == Decoder::Zbar && run.exit_code == 0);
  result.data = data;
  return result;
}

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
