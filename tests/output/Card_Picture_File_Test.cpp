// The card PNG encoder: every kind of picture it is given comes back pixel for pixel from
// independent readers (pngcheck, Pillow, Qt's reader), with its resolution; failures
// write nothing.

#include "output/Card_Picture_File.h"

#include "Output_Test_Support.h"
#include "support/File_Size_Limit.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace output_test;

namespace {

// Smooth areas, flat areas and noise, so that the compressor meets long and short matches
// and no matches at all.
QImage pattern(QSize size, QImage::Format format, bool translucent) {
  QImage image(size, QImage::Format_ARGB32);
  QRandomGenerator random(7);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x) {
      const bool noisy = x > size.width() / 2;
      const QRgb noise = random.generate();
      const int alpha = !translucent ? 255 : (x + y) % 5 == 0 ? 0 : (x * 7 + y) % 256;
      image.setPixel(x, y, noisy ? qRgba(qRed(noise), qGreen(noise), qBlue(noise), alpha)
                                 : qRgba(x % 256, y % 256, 90, alpha));
    }
  return image.convertToFormat(format);
}

TEST(Card_PNG_Encoder, EveryKindOfPictureComesBackPixelForPixel) {
  QImage indexed(5, 3, QImage::Format_Indexed8);
  indexed.setColorTable({qRgba(255, 0, 0, 255), qRgba(0, 0, 255, 128), qRgba(0, 0, 0, 0)});
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) indexed.setPixel(x, y, (x + y) % 3);
  struct Case {
    const char* what;
    QImage image;
    const char* mode;
  };
  const Case cases[] = {
      {"opaque premultiplied (a rendered card)",
       pattern({301, 97}, QImage::Format_ARGB32_Premultiplied, false), "RGB"},
      {"RGB32", pattern({64, 40}, QImage::Format_RGB32, false), "RGB"},
      {"translucent premultiplied", pattern({129, 31}, QImage::Format_ARGB32_Premultiplied, true),
       "RGBA"},
      {"translucent straight", pattern({77, 18}, QImage::Format_ARGB32, true), "RGBA"},
      {"one translucent pixel makes it RGBA",
       [] {
         QImage image = pattern({40, 40}, QImage::Format_ARGB32_Premultiplied, false);
         image.setPixel(39, 39, qPremultiply(qRgba(10, 200, 30, 77)));
         return image;
       }(),
       "RGBA"},
      {"24-bit", pattern({33, 9}, QImage::Format_RGB888, false), "RGB"},
      {"64-bit with alpha", pattern({21, 12}, QImage::Format_RGBA64, true), "RGBA"},
      {"grey", pattern({50, 8}, QImage::Format_Grayscale8, false), "RGB"},
      {"indexed with a translucent colour", indexed, "RGBA"},
      {"one pixel", pattern({1, 1}, QImage::Format_ARGB32_Premultiplied, false), "RGB"},
  };
  QTemporaryDir folder;
  Card_PNG_Encoder encoder;  // one for all pictures: its buffers are reused
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QSize px = c.image.size();
    // 300 dpi: 300 pixels cover 72 points.
    const Picture picture(c.image, QSizeF(px.width() * 72.0 / 300, px.height() * 72.0 / 300));
    const QString path = folder.filePath(QStringLiteral("p%1.png").arg(n++));
    QString error;
    ASSERT_TRUE(encoder.Write(picture, path, &error)) << error.toStdString();
    EXPECT_EQ(Checked_Png(path),
              QStringLiteral("%1 %2x%3").arg(c.mode).arg(px.width()).arg(px.height()));
    const QImage read(path);
    ASSERT_EQ(read.size(), px);
    const QImage expected = c.image.convertToFormat(QImage::Format_ARGB32);
    const QImage got = read.convertToFormat(QImage::Format_ARGB32);
    int wrong = 0;
    for (int y = 0; y < px.height(); ++y)
      for (int x = 0; x < px.width(); ++x)
        if (got.pixel(x, y) != expected.pixel(x, y) && wrong++ < 3)
          ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got.pixel(x, y)
                        << " != " << expected.pixel(x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(read.dotsPerMeterX(), 11811);
    EXPECT_EQ(read.dotsPerMeterY(), 11811);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(encoder.Encode(picture), file.readAll()) << "Encode gives what Write writes";
  }
}

TEST(Card_PNG_Encoder, FailuresWriteNothingAndSayWhy) {
  QTemporaryDir folder;
  Card_PNG_Encoder encoder;
  QString error;
  EXPECT_TRUE(encoder.Encode(Picture(), &error).isEmpty());
  EXPECT_EQ(error, QStringLiteral("There is no picture to save."));

  const Picture picture(pattern({20, 10}, QImage::Format_RGB32, false), QSizeF(20, 10));
  const QString inside_a_file = folder.filePath(QStringLiteral("file"));
  QFile(inside_a_file).open(QIODevice::WriteOnly);
  error.clear();
  EXPECT_FALSE(encoder.Write(picture, inside_a_file + QStringLiteral("/card.png"), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"file"});
  // The encoder still works after a failure.
  EXPECT_TRUE(encoder.Write(picture, folder.filePath(QStringLiteral("card.png")), &error));
  EXPECT_EQ(Checked_Png(folder.filePath(QStringLiteral("card.png"))), QStringLiteral("RGB 20x10"));
}

// A disk that takes no more (files may not grow past a limit): the card file is refused
// with the system's reason and an old card stays as it was, small pictures (which fail only
// when their data is written out) and large ones alike. The encoder goes on afterwards.
TEST(Card_PNG_Encoder, ADiskThatTakesNoMoreKeepsTheOldCard) {
  QTemporaryDir folder;
  const QString card = folder.filePath(QStringLiteral("Card_1.png"));
  const struct {
    const char* name;
    qint64 limit;
    QSize pixels;
  } cases[] = {
      {"small card, nothing reaches the disk", 0, {20, 10}},
      {"small card, cut after 100 bytes", 100, {60, 40}},
      {"large card, cut after 64 KB", 64 * 1024, {600, 400}},
  };
  Card_PNG_Encoder encoder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QFile old(card);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the card written before");
    old.close();
    const Picture picture(pattern(c.pixels, QImage::Format_RGB32, false), QSizeF(c.pixels));
    test_support::Expect_Refused_Under_Limit(
        card, c.limit, [&](QString* reason) { return encoder.Write(picture, card, reason); });
    QString error;
    ASSERT_TRUE(encoder.Write(picture, card, &error)) << error.toStdString();
    EXPECT_GT(QFileInfo(card).size(), c.limit);
    EXPECT_EQ(Checked_Png(card),
              QStringLiteral("RGB %1x%2").arg(c.pixels.width()).arg(c.pixels.height()));
  }
}

}  // namespace
