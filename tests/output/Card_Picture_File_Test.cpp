// Card picture files. The PNG encoder: every kind of picture it is given comes back pixel
// for pixel from independent readers (pngcheck, Pillow, Qt's reader), with its resolution;
// failures write nothing. Every type: Pillow and file(1) find the type the name says, the
// pixel size and the resolution the picture was made at.

#include "output/Card_Picture_File.h"

#include "Output_Test_Support.h"
#include "support/File_Size_Limit.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
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
      {"every premultiplied value at every alpha",
       [] {
         QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
         for (int a = 0; a < 256; ++a)
           for (int v = 0; v < 256; ++v)
             image.setPixel(v, a, qRgba(std::min(v, a), std::min(255 - v, a), a / 2, a));
         return image;
       }(),
       "RGBA"},
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

// A card of 36 x 21.6 points rendered at dpi: red, with a transparent top-left corner as
// a rounded outline leaves it when `corner` is set.
Picture card_picture(int dpi, bool corner) {
  const QSize px(int(std::ceil(36.0 * dpi / 72)), int(std::ceil(21.6 * dpi / 72)));
  QImage image(px, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(200, 30, 30));
  if (corner)
    for (int y = 0; y < px.height() / 4; ++y)
      for (int x = 0; x < px.width() / 4; ++x) image.setPixel(x, y, 0);
  const int dpm = qRound(dpi / 0.0254);
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  return Picture(image, QSizeF(36, 21.6));
}

TEST(Card_Picture_Encoder, EachTypeIsWhatItsNameSaysAtItsResolution) {
  const QColor red(200, 30, 30), white(Qt::white), clear(0, 0, 0, 0);
  struct Case {
    Card_File_Type type;
    int dpi;
    bool corner;
    const char* format;  // Pillow's
    const char* mode;
    QColor corner_pixel;  // transparency kept, or laid on white
    const char* file_says;
  };
  const Case cases[] = {
      {Card_File_Type::PNG, 300, false, "PNG", "RGB", red, "PNG image data"},
      {Card_File_Type::PNG, 300, true, "PNG", "RGBA", clear, "PNG image data"},
      {Card_File_Type::JPEG, 300, false, "JPEG", "RGB", red, "JPEG image data"},
      {Card_File_Type::JPEG, 300, true, "JPEG", "RGB", white, "JPEG image data"},
      {Card_File_Type::TIFF, 150, false, "TIFF", "RGB", red, "TIFF image data"},
      {Card_File_Type::TIFF, 72, true, "TIFF", "RGBA", clear, "TIFF image data"},
      {Card_File_Type::TIFF, 600, false, "TIFF", "RGB", red, "TIFF image data"},
      {Card_File_Type::BMP, 300, false, "BMP", "RGB", red, "PC bitmap"},
      {Card_File_Type::BMP, 300, true, "BMP", "RGB", white, "PC bitmap"},
  };
  const QString jpeg_tables_95 = Jpeg_Tables_At_Quality(95);
  ASSERT_NE(jpeg_tables_95, Jpeg_Tables_At_Quality(75)) << "the tables tell qualities apart";
  QTemporaryDir folder;
  Card_Picture_Encoder encoder;  // one for every type, as a batch worker keeps it
  int n = 0;
  for (const Case& c : cases) {
    const QString path = folder.filePath(
        QStringLiteral("card%1.%2").arg(n++).arg(Card_File_Extension(c.type)));
    SCOPED_TRACE(path.toStdString());
    ASSERT_TRUE(Card_File_Type_Writable(c.type));
    const Picture picture = card_picture(c.dpi, c.corner);
    QString error;
    ASSERT_TRUE(encoder.Write(picture, c.type, path, &error)) << error.toStdString();
    const Picture_File_Facts facts = Read_Picture_File(path);
    EXPECT_EQ(facts.format, QLatin1String(c.format));
    EXPECT_EQ(facts.mode, QLatin1String(c.mode));
    EXPECT_TRUE(facts.file_says.startsWith(QLatin1String(c.file_says))) << facts.file_says.toStdString();
    EXPECT_EQ(facts.size, picture.image().size());
    EXPECT_EQ(facts.dpi, QSize(c.dpi, c.dpi));
    EXPECT_TRUE(Near(facts.centre, red)) << facts.centre.name(QColor::HexArgb).toStdString();
    EXPECT_TRUE(Near(facts.corner, c.corner_pixel)) << facts.corner.name(QColor::HexArgb).toStdString();
    // Written for print: the tables of quality 95, not those of a smaller, coarser file.
    if (c.type == Card_File_Type::JPEG)
      EXPECT_EQ(facts.jpeg_tables.toStdString(), jpeg_tables_95.toStdString());
    else
      EXPECT_EQ(facts.jpeg_tables, QStringLiteral("null"));
    if (c.type == Card_File_Type::TIFF) {
      EXPECT_EQ(facts.tiff_unit, 2) << "inches";
      EXPECT_EQ(facts.tiff_x, c.dpi);
      EXPECT_EQ(facts.tiff_y, c.dpi);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(Encode_Card_Picture(picture, c.type), file.readAll()) << "Encode gives what Write writes";
  }
}

TEST(Card_Picture_Encoder, NamesAndTheTypeAPathIsWrittenAs) {
  EXPECT_EQ(Card_File_Titles(), (QStringList{"TIFF", "PNG", "JPEG", "BMP"}));
  struct Case {
    const char* path;
    Card_File_Type chosen;
    Card_File_Type type;
    const char* written;
  };
  const Case cases[] = {
      {"/x/card.jpeg", Card_File_Type::JPEG, Card_File_Type::JPEG, "/x/card.jpeg"},
      {"/x/card.JPG", Card_File_Type::TIFF, Card_File_Type::JPEG, "/x/card.JPG"},
      {"/x/card.tif", Card_File_Type::PNG, Card_File_Type::TIFF, "/x/card.tif"},
      {"/x/preview.png", Card_File_Type::BMP, Card_File_Type::PNG, "/x/preview.png"},
      {"/x/card", Card_File_Type::BMP, Card_File_Type::BMP, "/x/card.bmp"},
      {"/x/card.gif", Card_File_Type::JPEG, Card_File_Type::JPEG, "/x/card.gif.jpeg"},
      {"/x.y/card", Card_File_Type::TIFF, Card_File_Type::TIFF, "/x.y/card.tiff"},
      {"/x/.png", Card_File_Type::JPEG, Card_File_Type::JPEG, "/x/.png.jpeg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    QString path = QString::fromLatin1(c.path);
    EXPECT_EQ(Card_File_Type_For_Path(&path, c.chosen), c.type);
    EXPECT_EQ(path, QLatin1String(c.written));
  }
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
