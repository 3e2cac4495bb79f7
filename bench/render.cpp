// Rendering one card side: a 5 x 7 inch side with 50 mixed objects (texts, shapes, two
// adjusted pictures, a barcode picture) at 300 dpi. Target: under 40 ms per side once the
// adjusted pictures are cached.
//
// A side whose one text holds N characters without a break (up to the 1,048,576 a text
// import takes, and four times that): target under 100 ms per side at any length. For
// comparison, the layout of every line of the whole text (what painting once did) at the
// smaller lengths; it grows with the square of the length (0.22 s for 32k, 31 s for 1M).

#include "canvas/CRDRenderingView.h"
#include "canvas/ImageProcesser.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"

#include <QDir>
#include <QPainter>
#include <QTextLayout>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "support/Bench_Scenes.h"

namespace {

// A photograph-like picture: smooth colour ramps with some detail.
QImage photo(QSize size, int seed) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size.width(); ++x)
      line[x] = qRgb((x * 255 / size.width() + seed) & 255, (y * 255 / size.height()) & 255,
                     ((x ^ y) + seed * 7) & 255);
  }
  return image;
}

QImage barcode_bars() {
  QImage image(480, 240, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  for (int x = 20, i = 0; x < 460; x += 4 + (i % 3) * 2, ++i)
    painter.fillRect(x, 20, 2 + (i % 2) * 2, 180, Qt::black);
  painter.drawText(QRect(0, 200, 480, 40), Qt::AlignCenter, QStringLiteral("0123456789"));
  return image;
}

struct Side {
  QTemporaryDir resources;
  Card_Side_Snapshot snapshot;

  Side() {
    QDir(resources.path()).mkpath(QStringLiteral("Fill_Style_Image"));
    QImage hatch(8, 8, QImage::Format_ARGB32);
    hatch.fill(Qt::transparent);
    for (int i = 0; i < 8; ++i) hatch.setPixelColor(i, i, Qt::black);
    hatch.save(resources.filePath(QStringLiteral("Fill_Style_Image/Diagonal.png")));
    Resource_Path = resources.path();

    snapshot.frame = QRectF(0, 0, 5 * 72, 7 * 72);
    snapshot.resource_path = resources.path();
    snapshot.card_shape = 1;
    snapshot.side.Card_fill_chk = true;
    snapshot.side.Card_fill_style = QStringLiteral("G");
    snapshot.side.Card_fill_Grd_1_clr = CRDColor::rgb(1, 0.95, 0.85);
    snapshot.side.Card_fill_Grd_2_clr = CRDColor::rgb(0.85, 0.9, 1);
    snapshot.side.Card_grad_Stepper = 60;
    snapshot.side.Card_border_chk = true;
    snapshot.side.Card_bor_Stepper = 3;
    snapshot.side.Card_border_style = QStringLiteral("DA");

    Graphic_List& g = snapshot.graphics;
    for (int i = 0; i < 27; ++i)
      g.push_back(
          bench_scenes::Mixed_Shape(i, QRectF(10 + (i % 6) * 55, 10 + (i / 6) * 60, 50, 45)));
    for (int i = 0; i < 20; ++i) {
      auto t = bench_scenes::Mixed_Text(
          i, QRectF(15 + (i % 2) * 170, 300 + (i / 2) * 20, 165, 40),
          QStringLiteral("Happy birthday, dear friend number %1! Many happy returns.").arg(i));
      t->txt_clr = CRDColor::rgb(0.2, 0.1, 0.4);
      t->text_alignmnet = i % 3;
      t->text_transfrom_case = i % 4;
      t->_isDrawingFill = i % 4 == 0;
      t->_isDrawingStroke = i % 5 == 0;
      g.push_back(t);
    }
    for (int i = 0; i < 2; ++i) {
      auto p = std::make_shared<CRDImage>();
      p->_contents = CRDImage::Capped_Picture(Picture(photo({1200, 800}, i * 40)));
      p->_file_path = QStringLiteral("photo.jpg");
      p->_bounds = QRectF(20 + i * 170, 200 + i * 30, 160, 110);
      p->Sepia = i == 0;
      p->hue_val = 0.6f;
      p->sat_val = 1.3f;
      p->blr_val = 2;
      p->rotate_image = i ? 12 : 0;
      p->_isFlippedHorizontally = i == 1;
      p->img_trnsp_val = 85;
      g.push_back(p);
    }
    auto barcode = std::make_shared<CRDBarcode>();
    barcode->_bounds = QRectF(200, 430, 120, 60);
    barcode->Set_Barcode_image(Picture(barcode_bars(), QSizeF(120, 60)));
    g.push_back(barcode);
  }
};

constexpr double Resolution = 300;

void BM_RenderSide_CachedPictures(benchmark::State& state) {
  Side side;
  Render_Card_Picture(side.snapshot, Resolution);  // fills the picture cache
  for (auto _ : state) {
    Picture picture = Render_Card_Picture(side.snapshot, Resolution);
    benchmark::DoNotOptimize(picture);
  }
  state.counters["objects"] = double(side.snapshot.graphics.size());
}
BENCHMARK(BM_RenderSide_CachedPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderSide_AdjustingPictures(benchmark::State& state) {
  Side side;
  for (auto _ : state) {
    state.PauseTiming();
    ImageProcesser::Clear_Cache();
    state.ResumeTiming();
    Picture picture = Render_Card_Picture(side.snapshot, Resolution);
    benchmark::DoNotOptimize(picture);
  }
}
BENCHMARK(BM_RenderSide_AdjustingPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderSide_Pdf(benchmark::State& state) {
  Side side;
  Render_Card_Picture(side.snapshot, Resolution);
  for (auto _ : state) {
    QByteArray pdf = Render_Card_PDF(side.snapshot);
    benchmark::DoNotOptimize(pdf);
  }
}
BENCHMARK(BM_RenderSide_Pdf)->Unit(benchmark::kMillisecond)->UseRealTime();

QString unbroken(qsizetype length) {
  QString text;
  text.reserve(length);
  for (qsizetype i = 0; i < length; ++i) text += QChar(char16_t(u'a' + i % 26));
  return text;
}

void BM_RenderSide_LongText(benchmark::State& state) {
  Card_Side_Snapshot snapshot;
  snapshot.frame = QRectF(0, 0, 5 * 72, 7 * 72);
  auto text = std::make_shared<CRDText>();
  text->_bounds = QRectF(30, 30, 300, 400);
  text->text_ctrl_font = Make_Font(QStringLiteral("Arial"), 14);
  text->txt_clr = CRDColor::blackColor();
  text->Text_Value = unbroken(state.range(0));
  snapshot.graphics.push_back(text);
  for (auto _ : state) {
    Picture picture = Render_Card_Picture(snapshot, Resolution);
    benchmark::DoNotOptimize(picture);
  }
  state.counters["characters"] = double(state.range(0));
}
BENCHMARK(BM_RenderSide_LongText)
    ->Arg(32768)->Arg(131072)->Arg(524288)->Arg(1048576)->Arg(4194304)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// The worst boxes: large ones in small type, showing more characters than painting lays
// out (the first 65,536 are shown), and a tall one a few characters wide (a line each).
// Arguments: characters, points, box width. At 72 dpi, so that the text's layout is what is timed.
void BM_RenderSide_LongText_LargeBox(benchmark::State& state) {
  Card_Side_Snapshot snapshot;
  snapshot.frame = QRectF(0, 0, 1000, 1000);
  auto text = std::make_shared<CRDText>();
  text->_bounds = QRectF(0, 0, double(state.range(2)), 1000);
  text->text_ctrl_font = Make_Font(QStringLiteral("Arial"), double(state.range(1)));
  text->txt_clr = CRDColor::blackColor();
  text->Text_Value = unbroken(state.range(0));
  snapshot.graphics.push_back(text);
  for (auto _ : state) {
    Picture picture = Render_Card_Picture(snapshot, 72);
    benchmark::DoNotOptimize(picture);
  }
}
BENCHMARK(BM_RenderSide_LongText_LargeBox)
    ->Args({1048576, 4, 1000})->Args({1048576, 1, 1000})->Args({1048576, 1, 3})->Unit(benchmark::kMillisecond)->UseRealTime();

// Every line of the whole text laid out at the box's width, as painting once did.
void BM_LongText_WholeLayout(benchmark::State& state) {
  const QString text = unbroken(state.range(0));
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(14 * 16);
  for (auto _ : state) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    double top = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(300 * 16);
      line.setPosition(QPointF(0, top));
      top += line.height();
    }
    layout.endLayout();
    benchmark::DoNotOptimize(top);
  }
  state.counters["characters"] = double(state.range(0));
}
BENCHMARK(BM_LongText_WholeLayout)->Arg(32768)->Arg(131072)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
