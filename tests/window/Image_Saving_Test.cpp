// The image file writer: PNG data whatever the extension, pixels and size kept, files
// replaced whole or not at all.

#include "window/Image_Saving.h"
#include "platform/Scripted_Platform.h"
#include "support/File_Size_Limit.h"
#include "support/Test_Support.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRandomGenerator>

namespace {

Picture filled(QSize pixels, QSizeF points, QColor colour) {
  QImage image(pixels, QImage::Format_ARGB32);
  image.fill(colour);
  return Picture(image, points);
}

// Noise: its PNG data is about as large as its pixels.
Picture noise(int side) {
  QImage image(side, side, QImage::Format_RGB32);
  QRandomGenerator random(11);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) image.setPixel(x, y, random.generate() | 0xff000000u);
  return Picture(image, QSizeF(side, side));
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

  // A disk that takes no more (files may not grow past a limit): the new data cannot be
  // written, the old file stays as it was, and the reason is the system's. Small pictures
  // fail only when their data is written out, large ones on the way.
  const QString card = dir.filePath(QStringLiteral("card.png"));
  {
    QFile old(card);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old card");
  }
  struct Case {
    const char* name;
    qint64 limit;
    int pixels;  // a square of noise
  } cases[] = {
      {"small picture, nothing reaches the disk", 0, 4},
      {"small picture, cut after 100 bytes", 100, 40},
      {"large picture, cut after 64 KB", 64 * 1024, 600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const test_support::Limited_Write child =
        test_support::Expect_Refused_Under_Limit(card, c.limit, [&](QString* shown) {
          platform.messages.clear();
          const bool saved = Save_gen_image(noise(c.pixels), card);
          *shown = platform.messages.join(u'|');
          return saved;
        });
    EXPECT_TRUE(child.reason.startsWith(QStringLiteral("\n") + card + QStringLiteral("|\n")))
        << "the path, then the reason: " << child.reason.toStdString();
    // Without the limit the same picture is written.
    const QString free = dir.filePath(QStringLiteral("free.png"));
    ASSERT_TRUE(Save_gen_image(noise(c.pixels), free));
    EXPECT_GT(QFileInfo(free).size(), c.limit);
    QFile::remove(free);
  }
  EXPECT_EQ(contents(card), QByteArray("old card"));

  // Nothing to save.
  platform.messages.clear();
  EXPECT_FALSE(Save_gen_image(Picture(), card));
  EXPECT_EQ(platform.messages.size(), 2);
  EXPECT_EQ(contents(card), QByteArray("old card"));
}

}  // namespace
