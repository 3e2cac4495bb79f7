// Batch record binding: which sources a design uses, the record count, and what record i
// writes into texts, pictures and barcodes, over real series files.

#include "output/Batch_Binding.h"

#include "Output_Test_Support.h"
#include "model/Shape_Control.h"
#include "platform/Scripted_Platform.h"
#include "support/Barcode_Decoders.h"

using namespace output_test;

namespace {

class Batch_Binding : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    Write_Series("Three", "a\nb\nc\n");
    Write_Series("Five", "1\n2\n3\n4\n5\n");
    Write_Series("Blank", "  \n\n");
    for (int r = 0; r < 4; ++r)
      sheet.append({{"Extension", QString::number(r + 1)},
                    {"Column1", QStringLiteral("row%1").arg(r + 1)}});
  }
  Data_Table_Rows sheet;
  platform::Scoped_Scripted_Platform platform;
};

TEST_F(Batch_Binding, ChecksCountsAndValuesOfTheRecords) {
  auto text = [](int source, const QString& series = {}, int column = 0) {
    return Bound<CRDText>(source, series, column);
  };
  struct Expect {
    int record;
    int graphic;  // index into the front list, or 100 + index into the back list
    const char* value;
  };
  struct Case {
    const char* what;
    Graphic_List front, back;
    bool two_sided;
    bool sheet;
    bool use_series, use_sheet;
    int total;
    std::vector<Expect> values;
  };
  auto shape = std::make_shared<Shape_Control>();
  shape->data_source_type = 1;
  shape->batch_list_name = QStringLiteral("Five");
  auto stale = text(1, "Five");
  stale->batch_list_index = 0;  // the position "Blank" has now: the name decides
  const Case cases[] = {
      {"a binding on the back only, two-sided", {text(0)}, {text(1, "Three")}, true, true,
       true, false, 3, {{2, 100, "c"}}},
      {"a binding on the back only, front-only card", {text(0)}, {text(1, "Three")}, false, true,
       false, false, 0, {}},
      {"series of 3 and 5 and a sheet of 4: the longest counts; past its end a source is empty",
       {text(1, "Three"), text(1, "Five"), text(2, {}, 1), text(2, {}, 0)}, {}, false, true,
       true, true, 5,
       {{0, 0, "a"}, {3, 0, ""}, {4, 1, "5"}, {3, 2, "row4"}, {4, 2, ""}, {2, 3, "3"}}},
      {"a series without values gives no records", {text(1, "Blank")}, {}, false, true, false,
       false, 0, {}},
      {"a missing series gives no records and empty values", {text(1, "Gone"), text(1, "Three")},
       {}, false, true, true, false, 3, {{1, 0, ""}, {1, 1, "b"}}},
      {"a shape bound to a series is neither counted nor written", {shape}, {}, false, true,
       false, false, 0, {}},
      {"a stale series position: the series of the name is used", {stale}, {}, false, true, true,
       false, 5, {{3, 0, "4"}}},
      {"a spreadsheet without rows is not in use", {text(2, {}, 1)}, {}, false, false, false,
       false, 0, {}},
  };
  Barcode_Designer designer;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Batch_Values values =
        Batch_Check(c.front, c.back, c.two_sided, c.sheet ? sheet : Data_Table_Rows{});
    EXPECT_EQ(values.use_series, c.use_series);
    EXPECT_EQ(values.use_sheet, c.use_sheet);
    EXPECT_EQ(values.total, c.total);
    for (const Expect& e : c.values) {
      SCOPED_TRACE(testing::Message() << "record " << e.record << ", graphic " << e.graphic);
      const Graphic_List& side = e.graphic >= 100 ? c.back : c.front;
      Assign_Batch_Values(side, e.record, values, designer);
      EXPECT_EQ(Text_Of(side[size_t(e.graphic % 100)]), QString::fromUtf8(e.value));
    }
  }
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
}

TEST_F(Batch_Binding, AClearedSourceLeavesItsGraphicsAsTheyAre) {
  auto by_series = Bound<CRDText>(1, "Three");
  by_series->Text_contents()->replaceCharacters(QStringLiteral("typed"));
  auto by_sheet = Bound<CRDText>(2, {}, 1);
  const Graphic_List front{by_series, by_sheet};
  Batch_Values values = Batch_Check(front, {}, false, sheet);
  ASSERT_EQ(values.total, 4);
  values.use_series = false;  // the user unticked the series
  values.Recount();
  EXPECT_EQ(values.total, 4);
  Barcode_Designer designer;
  Assign_Batch_Values(front, 2, values, designer);
  EXPECT_EQ(Text_Of(by_series), QStringLiteral("typed"));
  EXPECT_EQ(Text_Of(by_sheet), QStringLiteral("row3"));
}

TEST_F(Batch_Binding, PicturesLoadTheirPathAndBarcodesKeepTheirOwnSymbology) {
  const QString red = QDir(Data_Folder_Path).filePath("red.png");
  QImage pixels(8, 4, QImage::Format_ARGB32);
  pixels.fill(Qt::red);
  ASSERT_TRUE(pixels.save(red));
  Write_Series("Pictures", (red + "\n/nowhere/missing.png\n").toUtf8());
  Write_Series("Codes", "12345678\n\n");
  auto picture = Bound<CRDImage>(1, "Pictures");
  auto code128 = Bound_Barcode("Code 128", "Codes");
  auto qr = Bound_Barcode("QR Code", "Codes");
  const Graphic_List front{picture, code128, qr};
  const Batch_Values values = Batch_Check(front, {}, false, {});
  ASSERT_EQ(values.total, 2);
  Barcode_Designer designer;
  Assign_Batch_Values(front, 0, values, designer);
  EXPECT_EQ(picture->FilePath(), red);
  EXPECT_EQ(static_cast<CRDImage&>(*picture)._contents.image().size(), QSize(8, 4));
  const QImage linear = static_cast<CRDBarcode&>(*code128).Shown_Picture().image();
  const QImage square = static_cast<CRDBarcode&>(*qr).Shown_Picture().image();
  ASSERT_FALSE(linear.isNull());
  ASSERT_FALSE(square.isNull());
  EXPECT_GT(linear.width(), 2 * linear.height()) << "Code 128 stays linear";
  EXPECT_NEAR(double(square.width()) / square.height(), 1.0, 0.25) << "QR stays square";
  const auto decoded = test_support::Decode(test_support::Decoder::ZXing, square);
  ASSERT_TRUE(decoded.ran) << decoded.log;
  EXPECT_EQ(decoded.data, QByteArray("12345678"));

  // Record 1: the picture cannot be read, the value is empty: no picture, no barcodes.
  Assign_Batch_Values(front, 1, values, designer);
  EXPECT_EQ(picture->FilePath(), QStringLiteral("/nowhere/missing.png"));
  EXPECT_TRUE(static_cast<CRDImage&>(*picture)._contents.isNull());
  EXPECT_TRUE(code128->_barcode_image.isNull());
  EXPECT_TRUE(qr->_barcode_image.isNull());
}

// At a card picture's resolution a bound picture is read at its frame's pixels, each way
// on its own unless it is turned by a fraction of a right angle or filtered in its own
// pixels, and never larger than it is; the cache keeps it at that size and gives it to the
// next record naming the file.
TEST_F(Batch_Binding, AtACardsResolutionPicturesAreReadAtTheirFramesPixels) {
  const QString path = QDir(Data_Folder_Path).filePath("wide.png");
  QImage pixels(400, 200, QImage::Format_RGB32);
  pixels.fill(Qt::red);
  ASSERT_TRUE(pixels.save(path));
  Write_Series("Wide", (path + "\n" + path + "\n").toUtf8());
  const struct {
    const char* what;
    QRectF frame;  // points, drawn at 144 dpi: twice as many pixels
    float turn, blur;
    QSize at;
    double pixel_scale;
  } cases[] = {
      {"a frame of 100 x 40 pixels", {0, 0, 50, 20}, 0, 0, {100, 40}, 1},
      {"turned a quarter: the frame's height across", {0, 0, 50, 20}, 90, 0, {40, 100}, 1},
      {"a frame larger than the picture", {0, 0, 400, 50}, 180, 0, {400, 100}, 1},
      {"turned 30 degrees: its proportions kept", {0, 0, 50, 20}, 30, 0, {90, 45}, 90 / 400.0},
      {"blurred: its proportions kept", {0, 0, 50, 20}, 0, 4, {100, 50}, 0.25},
  };
  Barcode_Designer designer;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto graphic = Bound<CRDImage>(1, "Wide", 0, c.frame);
    graphic->rotate_image = c.turn;
    graphic->blr_val = c.blur;
    auto& picture = static_cast<CRDImage&>(*graphic);
    const Graphic_List front{graphic};
    const Batch_Values values = Batch_Check(front, {}, false, {});
    Picture_File_Cache cache;
    Assign_Batch_Values(front, 0, values, designer, &cache, nullptr, nullptr, nullptr, 144);
    const QImage first = picture._contents.image();
    EXPECT_EQ(first.size(), c.at);
    EXPECT_EQ(first.pixelColor(c.at.width() / 2, c.at.height() / 2), QColor(Qt::red));
    EXPECT_DOUBLE_EQ(picture._pixel_scale, c.pixel_scale);
    EXPECT_EQ(cache.bytes(), first.sizeInBytes());
    Assign_Batch_Values(front, 1, values, designer, &cache, nullptr, nullptr, nullptr, 144);
    EXPECT_EQ(picture._contents.image().cacheKey(), first.cacheKey()) << "read once";
  }
}

}  // namespace

// Records naming the same picture files read each once; a file that changes is read anew,
// and the cache keeps to its size, the oldest picture given up first.
TEST_F(Batch_Binding, PictureFilesAreReadOnceWhileTheyStayAsTheyWere) {
  const QString path = QDir(Data_Folder_Path).filePath("card.png");
  auto save = [&](QColor colour, QSize size) {
    QImage pixels(size, QImage::Format_ARGB32);
    pixels.fill(colour);
    pixels.setPixel(size.width() - 1, size.height() - 1, qRgb(size.width(), 0, 0));
    ASSERT_TRUE(pixels.save(path));
  };
  save(Qt::red, {8, 4});
  Write_Series("Pictures", (path + "\n" + path + "\n/nowhere/missing.png\n").toUtf8());
  auto picture = Bound<CRDImage>(1, "Pictures");
  const Graphic_List front{picture};
  const Batch_Values values = Batch_Check(front, {}, false, {});
  Barcode_Designer designer;
  Picture_File_Cache cache;
  auto contents = [&] { return static_cast<CRDImage&>(*picture)._contents.image(); };

  Assign_Batch_Values(front, 0, values, designer, &cache);
  const QImage first = contents();
  const qint64 first_size = QFileInfo(path).size();
  EXPECT_EQ(first.pixelColor(0, 0), QColor(Qt::red));
  Assign_Batch_Values(front, 1, values, designer, &cache);
  EXPECT_EQ(contents().cacheKey(), first.cacheKey()) << "the same file is not read again";
  EXPECT_EQ(picture->FilePath(), path);

  // Another file size: the file is seen to have changed (file times may not, within one
  // tick of the clock).
  save(Qt::blue, {40, 30});
  ASSERT_NE(QFileInfo(path).size(), first_size);
  Assign_Batch_Values(front, 0, values, designer, &cache);
  EXPECT_EQ(contents().pixelColor(0, 0), QColor(Qt::blue));
  EXPECT_EQ(cache.bytes(), contents().sizeInBytes());

  Assign_Batch_Values(front, 2, values, designer, &cache);
  EXPECT_EQ(picture->FilePath(), QStringLiteral("/nowhere/missing.png"));
  EXPECT_TRUE(contents().isNull());

  // Room for one picture: the second file's picture takes the first one's place.
  const QString other = QDir(Data_Folder_Path).filePath("other.png");
  QImage pixels(9, 4, QImage::Format_ARGB32);
  pixels.fill(Qt::green);
  ASSERT_TRUE(pixels.save(other));
  Picture_File_Cache small(Picture::fromFile(path).image().sizeInBytes());
  EXPECT_FALSE(small.Picture_Of(path).isNull());
  EXPECT_EQ(small.Picture_Of(other).image().pixelColor(0, 0), QColor(Qt::green));
  EXPECT_EQ(small.bytes(), Picture::fromFile(other).image().sizeInBytes());
}
