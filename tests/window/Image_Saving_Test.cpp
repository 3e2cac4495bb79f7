// The image file writer: PNG data whatever the extension, pixels and size kept, files
// replaced whole or not at all.

#include "window/Image_Saving.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"

#include <QFile>
#include <QImageReader>

namespace {

Picture filled(QSize pixels, QSizeF points, QColor colour) {
  QImage image(pixels, QImage::Format_ARGB32);
  image.fill(colour);
  return Picture(image, points);
}

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Save_gen_image, WritesPngWithThePicturesPixelsAndSize) {
  QTemporaryDir dir;
  struct Case {
    const char* file;
    QSize pixels;
    QSizeF points;
  };
  const Case cases[] = {
      {"card.png", QSize(300, 150), QSizeF(100, 50)},   // 216 dpi
      {"card.jpg", QSize(243, 154), QSizeF(243, 154)},  // PNG data despite the extension
      {"odd", QSize(7, 3), QSizeF(3.5, 1.5)},
  };
  platform::Scoped_Scripted_Platform platform;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const QString path = dir.filePath(QString::fromLatin1(c.file));
    ASSERT_TRUE(Save_gen_image(filled(c.pixels, c.points, Qt::red), path));
    EXPECT_TRUE(contents(path).startsWith("\x89PNG\r\n\x1a\n"));
    QImageReader reader(path);
    const QImage read = reader.read();
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.size(), c.pixels);
    EXPECT_EQ(read.pixelColor(0, 0), QColor(Qt::red));
    // The recorded resolution gives back the size in points.
    EXPECT_NEAR(c.pixels.width() / (read.dotsPerMeterX() * 0.0254) * 72, c.points.width(), 0.05);
    EXPECT_NEAR(c.pixels.height() / (read.dotsPerMeterY() * 0.0254) * 72, c.points.height(), 0.05);
  }
  EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(Save_gen_image, ReplacesAnExistingFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("card.png"));
  ASSERT_TRUE(Save_gen_image(filled({10, 10}, {10, 10}, Qt::red), path));
  ASSERT_TRUE(Save_gen_image(filled({20, 5}, {20, 5}, Qt::blue), path));
  const QImage read(path);
  EXPECT_EQ(read.size(), QSize(20, 5));
  EXPECT_EQ(read.pixelColor(0, 0), QColor(Qt::blue));
}

TEST(Save_gen_image, FailureSaysPathThenReasonAndKeepsTheOldFile) {
  QTemporaryDir dir;
  platform::Scoped_Scripted_Platform platform;

  // A folder that does not exist.
  const QString nowhere = dir.filePath(QStringLiteral("missing/card.png"));
  EXPECT_FALSE(Save_gen_image(filled({4, 4}, {4, 4}, Qt::red), nowhere));
  ASSERT_EQ(platform.messages.size(), 2);
  EXPECT_EQ(platform.messages[0], QStringLiteral("\n") + nowhere);
  EXPECT_FALSE(platform.messages[1].trimmed().isEmpty());
  EXPECT_FALSE(QFile::exists(nowhere));

  // A file whose name leaves no room for a temporary name beside it: the new data cannot
  // be written, and the old file stays as it was.
  const QString longest = dir.filePath(QString(255, QLatin1Char('c')));
  {
    QFile old(longest);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old card");
  }
  platform.messages.clear();
  EXPECT_FALSE(Save_gen_image(filled({4, 4}, {4, 4}, Qt::red), longest));
  EXPECT_EQ(platform.messages.size(), 2);
  EXPECT_EQ(contents(longest), QByteArray("old card"));

  // Nothing to save.
  platform.messages.clear();
  EXPECT_FALSE(Save_gen_image(Picture(), longest));
  EXPECT_EQ(platform.messages.size(), 2);
  EXPECT_EQ(contents(longest), QByteArray("old card"));
}

}  // namespace
