#include "canvas/CRDRenderingView.h"
#include "model/CRDBarcode.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Painting_Support.h"
#include "model/Shape_Control.h"
#include "platform/Scripted_Platform.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QRegularExpression>

#include <stdexcept>
#include <thread>

using namespace painting_test;

namespace {

std::shared_ptr<Shape_Control> square(QRectF bounds, QColor color) {
  auto s = std::make_shared<Shape_Control>();
  s->_bounds = bounds;
  s->_fillColor = CRDColor::fromQColor(color);
  s->_isDrawingStroke = false;
  return s;
}

// A graphic that paints past its own bounds, to tell clipping apart.
class Overdrawing : public CRDGraphic {
 public:
  void drawContentsInView(QPainter& painter, bool) override {
    painter.fillRect(bounds().adjusted(-20, -20, 20, 20), Qt::magenta);
  }
};

class Failing : public CRDGraphic {
 public:
  void drawContentsInView(QPainter&, bool) override {
    throw std::runtime_error("The picture file is damaged.");
  }
};

class Renderer : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    window = std::make_unique<Window_Double>();
    window->canvas = QRectF(0, 0, 100, 60);
    window->front.Card_fill_chk = true;
    window->front.Card_fill_clr = CRDColor::rgb(1, 1, 0);
    window->back.Card_fill_chk = true;
    window->back.Card_fill_clr = CRDColor::rgb(0, 1, 1);
  }
  void TearDown() override {
    window.reset();
    Design_Test::TearDown();
  }
  // The card picture at one pixel per point.
  static QImage card(const Graphic_List& graphics) {
    return CRDRenderingView::image_From_Card_Graphics(graphics, false, 72).image();
  }
  std::unique_ptr<Window_Double> window;
};

TEST_F(Renderer, CardBaseAloneAtTheCanvasSize) {
  const Picture picture = CRDRenderingView::image_From_Card_Graphics({}, false);
  EXPECT_EQ(picture.size(), QSizeF(100, 60));
  EXPECT_EQ(picture.image().size(), QSize(417, 250));  // ceil(300 x points / 72)
  EXPECT_NEAR(picture.image().dotsPerMeterX() * 0.0254, 300, 0.1);
  EXPECT_TRUE(Near(picture.image().pixelColor(200, 120), Qt::yellow));
  // print_box gives the same picture.
  EXPECT_EQ(CRDRenderingView::image_From_Card_Graphics({}, true).image(), picture.image());

  window->canvas = QRectF();  // no canvas: nothing to render
  EXPECT_TRUE(CRDRenderingView::image_From_Card_Graphics({}, false).isNull());
}

TEST_F(Renderer, BackToFrontWithoutUnprintedGraphics) {
  auto front = square({10, 10, 40, 40}, Qt::red);
  auto behind = square({30, 10, 40, 40}, Qt::blue);
  auto unprinted = square({60, 20, 30, 30}, Qt::green);
  unprinted->print_object = 1;
  const QImage image = card({front, behind, unprinted});
  EXPECT_TRUE(Near(At(image, 40, 30), Qt::red));  // index 0 on top
  EXPECT_TRUE(Near(At(image, 65, 30), Qt::blue));
  EXPECT_TRUE(Near(At(image, 80, 45), Qt::yellow));  // the green square is left out

  // Only unprinted graphics: the card base alone.
  EXPECT_EQ(card({unprinted}), card({}));
}

TEST_F(Renderer, CardBaseOfTheSideNamedByTheDesignState) {
  // A back-side list renders at the front canvas's size with the base of whichever side
  // Card_Front_Or_Back names.
  Card_Front_Or_Back = 1;
  QImage image = card({square({10, 10, 10, 10}, Qt::red)});
  EXPECT_EQ(image.size(), QSize(100, 60));
  EXPECT_TRUE(Near(At(image, 50, 40), Qt::cyan));
  Card_Shape = 2;
  image = card({});
  EXPECT_TRUE(Transparent(image, 1, 1));  // outside the elliptical card
}

TEST_F(Renderer, FailingGraphicEndsThePaintingWithOneMessage) {
  platform::Scoped_Scripted_Platform platform;
  auto in_front = square({10, 10, 20, 20}, Qt::red);
  auto behind = square({60, 10, 20, 20}, Qt::blue);
  const QImage image = card({in_front, std::make_shared<Failing>(), behind});
  EXPECT_TRUE(Near(At(image, 70, 20), Qt::blue));    // drawn before the failure
  EXPECT_TRUE(Near(At(image, 20, 20), Qt::yellow));  // in front of it: left out
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_TRUE(platform.messages.front().contains("The picture file is damaged."));

  // The painting itself reports, and never shows anything.
  Card_Side_Snapshot snapshot = Current_Card_Side({in_front, std::make_shared<Failing>()});
  Render_Report report;
  EXPECT_FALSE(Render_Card_Picture(snapshot, 72, &report).isNull());
  EXPECT_TRUE(report.failed);
  EXPECT_EQ(report.reason, "The picture file is damaged.");
  EXPECT_EQ(platform.messages.size(), 1);
  snapshot.graphics = {in_front};
  Render_Card_Picture(snapshot, 72, &report);
  EXPECT_FALSE(report.failed);
}

TEST_F(Renderer, TiffShowsExactlyTheGraphicsClipped) {
  auto unprinted = std::make_shared<Overdrawing>();
  unprinted->_bounds = QRectF(100, 50, 20, 10);
  unprinted->print_object = 1;

  CRDError error;
  error.code = -1;
  const QByteArray tiff = CRDRenderingView::tiffDataWithGraphics({unprinted}, &error, 72);
  ASSERT_FALSE(tiff.isEmpty());
  EXPECT_EQ(error.code, -1);
  QImage image = QImage::fromData(tiff, "TIFF");
  // The graphic's drawing bounds (97, 47, 27, 17) are the whole picture.
  ASSERT_EQ(image.size(), QSize(27, 17));
  EXPECT_TRUE(Near(image.pixelColor(0, 0), Qt::magenta));
  EXPECT_TRUE(Near(image.pixelColor(26, 16), Qt::magenta));

  // In card pictures the same graphic (printed) is not clipped.
  unprinted->print_object = 0;
  unprinted->_bounds = QRectF(40, 20, 20, 10);
  const QImage picture = card({unprinted});
  EXPECT_TRUE(Near(At(picture, 22, 2), Qt::magenta));

  // An empty list: the front canvas's size, with nothing in it.
  image = QImage::fromData(CRDRenderingView::tiffDataWithGraphics({}, nullptr, 72), "TIFF");
  EXPECT_EQ(image.size(), QSize(100, 60));
  EXPECT_TRUE(Transparent(image.convertToFormat(QImage::Format_ARGB32), 50, 30));

  // Nothing to render: no data and error 3.
  window->canvas = QRectF();
  EXPECT_TRUE(CRDRenderingView::tiffDataWithGraphics({}, &error).isEmpty());
  EXPECT_EQ(error.code, 3);
}

TEST_F(Renderer, PdfOfTheCanvasSize) {
  const QByteArray pdf =
      CRDRenderingView::pdfDataWithGraphics_data({square({10, 10, 20, 20}, Qt::red)});
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  const QRegularExpression media_box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
  const auto match = media_box.match(QString::fromLatin1(pdf));
  ASSERT_TRUE(match.hasMatch());
  EXPECT_NEAR(match.captured(1).toDouble(), 100, 0.01);
  EXPECT_NEAR(match.captured(2).toDouble(), 60, 0.01);
  const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
  EXPECT_EQ(QString::fromLatin1(pdf).count(page), 1);
}

TEST_F(Renderer, ViewPaintsTheCurrentSideForPrinting) {
  CRDRenderingView view(QRectF(0, 0, 100, 60), {square({10, 10, 20, 20}, Qt::red)}, "Card");
  EXPECT_EQ(view.printJobTitle(), "Card");
  EXPECT_TRUE(view.isFlipped());
  QImage image(100, 60, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  EXPECT_FALSE(view.drawRect(painter, view.bounds()).failed);
  painter.end();
  EXPECT_TRUE(Near(At(image, 20, 20), Qt::red));
  EXPECT_TRUE(Near(At(image, 60, 40), Qt::yellow));
}

TEST_F(Renderer, SnapshotsRenderOnWorkerThreadsLikeOnTheMainThread) {
  Graphic_List design;
  for (int i = 0; i < 10; ++i) {
    auto s = square({double(i * 8), double(i * 5), 30, 20}, QColor::fromHsv(i * 30, 200, 200));
    s->Set_Shape_Type(i % 2 ? "S" : "C");
    s->_isDrawingStroke = true;
    s->_stroke_border_type = "DA";
    design.push_back(s);
  }
  auto text = std::make_shared<CRDText>();
  text->_bounds = QRectF(5, 30, 90, 25);
  text->Text_Value = "Season's greetings";
  text->text_ctrl_font = Make_Font("Times New Roman", 12);
  design.push_back(text);
  const Card_Side_Snapshot live = Current_Card_Side(design);
  const QImage expected = Render_Card_Picture(live, 150).image();

  std::vector<QImage> results(4);
  std::vector<std::thread> workers;
  for (size_t w = 0; w < results.size(); ++w) {
    Card_Side_Snapshot copy = live;
    copy.graphics.clear();
    for (const auto& g : design) copy.graphics.push_back(g->clone());
    workers.emplace_back(
        [&results, w, copy] { results[w] = Render_Card_Picture(copy, 150).image(); });
  }
  for (auto& worker : workers) worker.join();
  for (const QImage& result : results) EXPECT_EQ(result, expected);
}

// A renderer's kept canvas: a picture still held is never painted over, and a canvas
// painted again holds nothing of the picture before it. At 75 dpi the card's last column
// and row are partly covered: painted twice without clearing they would grow opaque.
TEST_F(Renderer, KeptCanvasIsReusedOnlyOnceItsPictureIsLetGo) {
  const Card_Side_Snapshot red = Current_Card_Side({square({10, 10, 20, 20}, Qt::red)});
  const Card_Side_Snapshot blue = Current_Card_Side({square({60, 30, 20, 20}, Qt::blue)});
  const QImage red_alone = Render_Card_Picture(red, 75).image();
  const QImage blue_alone = Render_Card_Picture(blue, 75).image();
  ASSERT_EQ(red_alone.width(), 105);
  ASSERT_LT(At(red_alone, 104, 10).alpha(), 255);
  ASSERT_NE(At(blue_alone, 72, 40), At(red_alone, 72, 40));

  QImage canvas;
  Picture first = Render_Card_Picture(red, 75, nullptr, &canvas);
  Picture second = Render_Card_Picture(blue, 75, nullptr, &canvas);  // first still held
  EXPECT_EQ(first.image(), red_alone);
  EXPECT_EQ(second.image(), blue_alone);
  const uchar* raster = canvas.constBits();
  first = Picture();
  second = Picture();
  const Picture again = Render_Card_Picture(red, 75, nullptr, &canvas);
  EXPECT_EQ(again.image().constBits(), raster) << "the raster let go is painted again";
  EXPECT_EQ(again.image(), red_alone);
  EXPECT_EQ(again.image().dotsPerMeterX(), red_alone.dotsPerMeterX());
}

// A resource folder whose hatch pattern and sample pictures are all of one colour.
std::unique_ptr<QTemporaryDir> resource_folder(const QColor& color) {
  auto dir = std::make_unique<QTemporaryDir>();
  QImage tile(16, 16, QImage::Format_RGB32);
  tile.fill(color);
  QDir(dir->path()).mkpath(QStringLiteral("Fill_Style_Image"));
  for (const char* name : {"Fill_Style_Image/Cross.png", "barcode_sample.png", "sign_sample.png"})
    EXPECT_TRUE(tile.save(dir->filePath(QLatin1String(name))));
  return dir;
}

// Hatch, barcode sample and signature sample come from the snapshot's folder, never from
// Resource_Path as it is when the snapshot is painted (a worker may paint it much later).
TEST_F(Renderer, SnapshotPicturesComeFromTheSnapshotsResourceFolder) {
  const auto snapshot_folder = resource_folder(Qt::red);
  const auto later_folder = resource_folder(Qt::blue);
  auto hatched = square({0, 0, 30, 30}, Qt::white);
  hatched->_fill_type = "H";
  hatched->_fill_hatch_type = "Cross";
  auto barcode = std::make_shared<CRDBarcode>();
  barcode->_bounds = QRectF(35, 0, 16, 16);
  barcode->_isDrawingStroke = false;
  auto signature = std::make_shared<CRDSignature>();
  signature->_bounds = QRectF(60, 0, 30, 30);
  signature->_isDrawingStroke = false;
  signature->_file_path = CRDSignature::Default_Path;

  Card_Side_Snapshot snapshot = Current_Card_Side({hatched, barcode, signature});
  snapshot.resource_path = snapshot_folder->path();
  Resource_Path = later_folder->path();
  QImage image;
  std::thread worker([&] { image = Render_Card_Picture(snapshot, 72).image(); });
  worker.join();
  ASSERT_FALSE(image.isNull());
  EXPECT_TRUE(Near(At(image, 15, 15), Qt::red)) << At(image, 15, 15);
  EXPECT_TRUE(Near(At(image, 43, 8), Qt::red)) << At(image, 43, 8);
  EXPECT_TRUE(Near(At(image, 75, 15), Qt::red)) << At(image, 75, 15);
  EXPECT_EQ(signature->_file_path, snapshot_folder->filePath("sign_sample.png"));
  // Outside a snapshot, painting still follows Resource_Path.
  EXPECT_EQ(Painting_Resource_Path(), later_folder->path());
}

}  // namespace
