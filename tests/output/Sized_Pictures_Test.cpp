// Pictures read at the size a card needs: area-averaged scaling, the reader over every file
// type (sizes, colours, orientation, size in points), decoding at the smaller size where
// memory is short, and frames drawn from such pictures as they were drawn from whole ones.

#include "output/Sized_Picture_Reader.h"

#include "Output_Test_Support.h"
#include "canvas/CRDRenderingView.h"
#include "output/Batch_Binding.h"
#include "support/Memory_Limit.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <functional>

#include <malloc.h>

using namespace output_test;

namespace {

QImage Grey_Row(std::vector<int> values, bool across) {
  const int n = int(values.size());
  QImage image(across ? n : 1, across ? 1 : n, QImage::Format_RGB32);
  for (int i = 0; i < n; ++i)
    image.setPixel(across ? i : 0, across ? 0 : i, qRgb(values[size_t(i)], values[size_t(i)], values[size_t(i)]));
  return image;
}

std::vector<int> Greys(const QImage& image) {
  std::vector<int> values;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) values.push_back(qRed(image.pixel(x, y)));
  return values;
}

// Each pixel of the result is the mean of the part of the picture it covers, columns and
// rows split between two results where they straddle them, whatever the picture's format.
TEST(Area_Scaled, EveryPixelIsTheMeanOfWhatItCovers) {
  // Six pixels into four: each result covers one and a half.
  const std::vector<int> six{0, 60, 120, 180, 240, 255};
  const std::vector<int> four{20, 100, 200, 250};
  EXPECT_EQ(Greys(Area_Scaled(Grey_Row(six, true), {4, 1})), four) << "across";
  EXPECT_EQ(Greys(Area_Scaled(Grey_Row(six, false), {1, 4})), four) << "down";

  // Rows converted a band at a time (65 rows of 1,000 pixels) from 16-bit grey: a gradient
  // down 120 rows into 12, each result the mean of its ten rows.
  QImage deep(1000, 120, QImage::Format_Grayscale16);
  for (int y = 0; y < 120; ++y) {
    auto* line = reinterpret_cast<quint16*>(deep.scanLine(y));
    std::fill_n(line, 1000, quint16(y * 2 * 257));
  }
  const QImage bands = Area_Scaled(deep, {7, 12});
  ASSERT_EQ(bands.size(), QSize(7, 12));
  EXPECT_EQ(bands.format(), QImage::Format_RGB32);
  for (int y = 0; y < 12; ++y)
    EXPECT_NEAR(qGreen(bands.pixel(3, y)), 20 * y + 9, 1) << "row " << y;

  // A transparent pixel lends no colour: red and nothing give half-transparent red.
  QImage straight(2, 1, QImage::Format_ARGB32);
  straight.setPixel(0, 0, qRgba(255, 0, 0, 255));
  straight.setPixel(1, 0, qRgba(0, 255, 0, 0));
  const QImage half = Area_Scaled(straight, {1, 1});
  EXPECT_EQ(half.format(), QImage::Format_ARGB32_Premultiplied);
  EXPECT_EQ(half.pixelColor(0, 0).alpha(), 128);
  EXPECT_EQ(half.pixelColor(0, 0).green(), 0);
  EXPECT_GE(half.pixelColor(0, 0).red(), 254);

  // An indexed picture, and a size asked larger than the picture's: no more than its own.
  QImage indexed(4, 2, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(0, 0, 0), qRgb(200, 100, 40)});
  indexed.fill(0);
  for (int x = 0; x < 4; ++x) indexed.setPixel(x, 0, 1);
  const QImage kept = Area_Scaled(indexed, {10, 1});
  ASSERT_EQ(kept.size(), QSize(4, 1));
  EXPECT_EQ(kept.pixelColor(2, 0), QColor(100, 50, 20));
}

// Four quadrants of their own colours, 1,200 x 800 pixels at 300 dpi.
QImage Quadrants() {
  QImage image(1200, 800, QImage::Format_RGB32);
  const QRgb colours[4] = {qRgb(220, 30, 30), qRgb(30, 200, 60), qRgb(40, 50, 210), qRgb(240, 220, 40)};
  for (int y = 0; y < 800; ++y)
    for (int x = 0; x < 1200; ++x) image.setPixel(x, y, colours[(y >= 400) * 2 + (x >= 600)]);
  const int dpm = qRound(300 / 0.0254);
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  return image;
}

// A JPEG that says its picture is turned a quarter clockwise (Exif orientation 6).
QByteArray Turned_Jpeg(const QImage& image) {
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(QImageWriter(&buffer, "jpeg").write(image));
  // Exif: a little-endian TIFF header and one entry, Orientation (274) = 6.
  QByteArray tiff("II*\0\x08\0\0\0", 8);
  tiff += QByteArray("\x01\0", 2) + QByteArray("\x12\x01\x03\0\x01\0\0\0\x06\0\0\0", 12) +
          QByteArray(4, '\0');
  const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
  QByteArray segment("\xFF\xE1", 2);
  segment += char((body.size() + 2) >> 8);
  segment += char((body.size() + 2) & 0xFF);
  return jpeg.left(2) + segment + body + jpeg.mid(2);
}

// Every type the program reads is read at the size asked, its colours in place (turned as
// its file says), and with the size in points the whole picture has.
TEST(Sized_Picture_Reader, EveryTypeIsReadAtTheSizeAskedWithItsColoursInPlace) {
  QTemporaryDir folder;
  const QImage quadrants = Quadrants();
  auto save = [&](const QString& name, const QImage& image, const char* type, bool progressive = false) {
    QImageWriter writer(folder.filePath(name), type);
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(95);
    EXPECT_TRUE(writer.write(image)) << name.toStdString() << writer.errorString().toStdString();
    return folder.filePath(name);
  };
  QImage translucent = quadrants.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 600; ++x) translucent.setPixel(x, y, qRgba(220, 30, 30, 128));
  QFile turned(folder.filePath("turned.jpg"));
  ASSERT_TRUE(turned.open(QIODevice::WriteOnly));
  turned.write(Turned_Jpeg(quadrants));
  turned.close();
  struct Case {
    QString path;
    int tolerance;  // JPEG is lossy
    bool turned = false;
  };
  std::vector<Case> cases = {
      {save("rgb.png", quadrants, "png"), 0},
      {save("translucent.png", translucent, "png"), 0},
      {save("grey.png", quadrants.convertToFormat(QImage::Format_Grayscale8), "png"), 0},
      {save("indexed.png", quadrants.convertToFormat(QImage::Format_Indexed8), "png"), 0},
      {save("baseline.jpg", quadrants, "jpeg"), 8},
      {save("progressive.jpg", quadrants, "jpeg", true), 8},
      {save("picture.bmp", quadrants, "bmp"), 0},
      {turned.fileName(), 8, true},
  };
  if (QImageWriter::supportedImageFormats().contains("tiff"))
    cases.push_back({save("picture.tif", quadrants, "tiff"), 0});
  else
    ADD_FAILURE() << "TIFF cannot be written here";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    Sized_Picture_Reader reader(c.path);
    const QSize shown = c.turned ? QSize(800, 1200) : QSize(1200, 800);
    ASSERT_EQ(reader.size(), shown);
    const QSize at = c.turned ? QSize(80, 120) : QSize(120, 80);
    EXPECT_GE(reader.Reading_Pixels(at), qint64(at.width()) * at.height());
    const Picture picture = reader.Read(at);
    ASSERT_EQ(picture.image().size(), at);
    const Picture whole = Picture::fromFile(c.path);
    // (Qt's PNG reader gives the resolution of the smaller picture in whole dots per metre.)
    EXPECT_NEAR(picture.size().width(), whole.size().width(), whole.size().width() / 1000);
    EXPECT_NEAR(picture.size().height(), whole.size().height(), whole.size().height() / 1000);
    // The quadrants' centres, as the whole picture shows them (a grey file in grey); a
    // picture turned a quarter clockwise shows the file's left half at the top.
    const QPoint centres[4] = {{30, 20}, {90, 20}, {30, 60}, {90, 60}};
    for (int q = 0; q < 4; ++q) {
      const QPoint in_file = centres[q];
      const QPoint shown_at = c.turned ? QPoint(79 - in_file.y(), in_file.x()) : in_file;
      const QColor want = c.turned ? quadrants.pixelColor(in_file * 10)
                                   : whole.image().pixelColor(in_file * 10);
      const QColor got = picture.image().pixelColor(shown_at);
      EXPECT_TRUE(Near(got, want, c.tolerance + 1)) << "quadrant " << q << ": " << got << " not " << want;
    }
  }
  // No picture: nothing to read.
  EXPECT_FALSE(Sized_Picture_Reader(folder.filePath("none.png")).size().isValid());
  EXPECT_TRUE(Sized_Picture_Reader(folder.filePath("none.png")).Read({10, 10}).isNull());
}

// A 32-million-pixel PNG (RGB and RGBA) or baseline JPEG read at a frame's size holds
// little more than the result: it is read where 24 MB more than the test holds are free
// (whole, it takes 128 MB).
TEST(Sized_Picture_Reader, LargePngAndJpegAreDecodedAtTheSmallerSize) {
  if (!test_support::kMemory_Limit_Works) GTEST_SKIP() << "no address-space limit here";
  QTemporaryDir folder;
  QImage pixels(8000, 4000, QImage::Format_ARGB32);
  for (int y = 0; y < pixels.height(); ++y)
    std::fill_n(reinterpret_cast<QRgb*>(pixels.scanLine(y)), pixels.width(), qRgba(30, 140, 220, 255));
  struct Case {
    const char* name;
    const char* type;
    QImage::Format format;
  };
  for (const Case& c : {Case{"rgb.png", "png", QImage::Format_RGB32},
                        Case{"rgba.png", "png", QImage::Format_ARGB32},
                        Case{"baseline.jpg", "jpeg", QImage::Format_RGB32}}) {
    SCOPED_TRACE(c.name);
    const QString path = folder.filePath(c.name);
    pixels.convertTo(c.format);
    ASSERT_TRUE(QImageWriter(path, c.type).write(pixels));
    const QString answer = test_support::Run_With_Memory_Limit(qint64(24) << 20, [&] {
      // Blocks of a megabyte or more counted as they are made; one arena, and one thread of
      // Qt's pool (the JPEG reader scales on it), whose reserved but unused room is not
      // what this is about.
      mallopt(M_MMAP_THRESHOLD, 1 << 20);
      mallopt(M_ARENA_MAX, 1);
      QThreadPool::globalInstance()->setMaxThreadCount(1);
      const Picture picture = Sized_Picture_Reader(path).Read({209, 157});
      return QStringLiteral("%1 x %2 %3")
          .arg(picture.image().width())
          .arg(picture.image().height())
          .arg(picture.isNull() ? QString() : picture.image().pixelColor(100, 70).name());
    });
    ASSERT_TRUE(answer.startsWith("209 x 157 #")) << answer.toStdString();
    EXPECT_TRUE(Near(QColor(answer.section(' ', 3)), QColor(30, 140, 220), 2)) << answer.toStdString();
  }
}

// A frame takes on the card picture its size in points at the resolution, rounded up: a
// frame a fraction of a pixel past a whole number has that pixel too (a picture read at
// fewer is stretched to cover it); a size that is whole but for the last bits of a
// floating-point product gains none. No more than the picture's own pixels are read.
TEST(Frame_Picture_Pixels, AFrameTakesEveryPixelItCovers) {
  const struct {
    QSizeF frame;  // points
    double dpi;
    QSize picture;
    QSize at;
  } cases[] = {
      {{100, 50}, 72, {1000, 1000}, {100, 50}},
      {{100.2, 50.2}, 72, {1000, 1000}, {101, 51}},
      {{100.7, 49.6}, 72, {1000, 1000}, {101, 50}},
      {{24.05, 12.05}, 300, {1000, 1000}, {101, 51}},  // 100.2 x 50.2 pixels
      {{6.48, 6.48}, 300, {1000, 1000}, {27, 27}},      // 27.000000000000004 pixels
      {{100.2, 50.2}, 72, {101, 51}, {101, 51}},
      {{100.2, 50.2}, 72, {100, 60}, {100, 51}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.frame.width() << " x " << c.frame.height() << " at "
                                    << c.dpi << " dpi");
    CRDImage image;
    image.setBounds(QRectF(QPointF(10, 10), c.frame));
    double scale = 0;
    EXPECT_EQ(Frame_Picture_Pixels(image, c.picture, c.dpi, &scale), c.at);
    EXPECT_EQ(scale, 1);
  }
}

// A frame draws a bound picture read at the frame's pixels as it drew the whole picture:
// stretched, flipped and turned, turned by a fraction of a right angle, blurred and
// sharpened (filters measured in the file's pixels), in grey with a turned hue, translucent.
class Sized_Drawing : public test_support::Design_Test {};

TEST_F(Sized_Drawing, AFrameDrawsAPictureReadAtItsSizeAsItDrewTheWholePicture) {
  const QString path = QDir(Data_Folder_Path).filePath("photo.png");
  QDir().mkpath(Data_Folder_Path);
  QImage photo(1600, 1000, QImage::Format_RGB32);
  for (int y = 0; y < photo.height(); ++y)
    for (int x = 0; x < photo.width(); ++x)
      photo.setPixel(x, y, qRgb(40 + 180 * x / 1600, 30 + 160 * y / 1000,
                                int(128 + 90 * std::sin(x / 32.0) * std::cos(y / 35.0))));
  ASSERT_TRUE(photo.save(path));
  Write_Series("Photos", (path + "\n").toUtf8());
  const struct {
    const char* what;
    std::function<void(CRDImage&)> set;
  } cases[] = {
      {"stretched", [](CRDImage&) {}},
      {"flipped and turned a quarter",
       [](CRDImage& p) {
         p.setFlippedHorizontally(true);
         p.rotate_image = 90;
       }},
      {"turned 30 degrees", [](CRDImage& p) { p.rotate_image = 30; }},
      {"blurred by 24 of its pixels", [](CRDImage& p) { p.blr_val = 24; }},
      {"sharpened", [](CRDImage& p) { p.srp_val = 1.5f; }},
      {"grey, its hue turned, translucent",
       [](CRDImage& p) {
         p.gray_Scale = true;
         p.hue_val = 1.0f;
         p.img_trnsp_val = 60;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto graphic = Bound<CRDImage>(1, "Photos", 0, QRectF(20, 20, 120, 90));
    auto& picture = static_cast<CRDImage&>(*graphic);
    c.set(picture);
    Card_Side_Snapshot side;
    side.frame = QRectF(0, 0, 160, 130);
    side.graphics = {graphic};
    const Batch_Values values = Batch_Check(side.graphics, {}, false, {});
    Barcode_Designer designer;
    Assign_Batch_Values(side.graphics, 0, values, designer);
    ASSERT_EQ(picture._contents.image().size(), QSize(1600, 1000));
    const QImage whole = Render_Card_Picture(side, 300).image().copy();
    Assign_Batch_Values(side.graphics, 0, values, designer, nullptr, nullptr, nullptr, nullptr, 300);
    ASSERT_LT(picture._contents.image().width(), 1600);
    const QImage sized = Render_Card_Picture(side, 300).image();
    ASSERT_EQ(sized.size(), whole.size());
    // Inside the frame (20 to 140 by 20 to 110 points, 300 dpi), away from its edges: the
    // mean difference and the share of pixels off by more than 6.
    double total = 0;
    int far = 0, count = 0;
    for (int y = 90; y < 450; ++y)
      for (int x = 90; x < 570; ++x, ++count) {
        const QColor a = whole.pixelColor(x, y), b = sized.pixelColor(x, y);
        const int d = std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
        total += d;
        far += d > 6;
      }
    // Within a step or two on the whole (drawing a picture three times larger samples it
    // rather than averaging it); a blur of the file's 24 pixels taken as 24 of the smaller
    // picture's differed by 22 on the whole.
    EXPECT_LT(total / count, 2.5);
    EXPECT_LT(double(far) / count, 0.02);
  }
}

}  // namespace
