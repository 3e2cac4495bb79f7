// Repainting the canvas: a 5 x 7 inch side with 500 mixed objects (shapes with solid,
// gradient and hatch fills, texts, lines, adjusted pictures, signatures, barcode pictures),
// 20 of them selected, at zoom 2 (720 x 1008 pixels). Target: under 16 ms for a whole
// frame; the area a dragged object repaints costs a fraction of that. The canvas keeps
// each graphic's contents as a picture at its zoom: a frame draws the pictures again,
// and only the first frame after a change of zoom (or a refresh) paints every graphic.
// The same frame painted on one thread without pictures shows what both gain.
// The rulers beside the canvas: a drag step moves their six lines and repaints the strips
// around them only; a scroll or zoom repaints them whole.

#include "canvas/Card_Base.h"
#include "canvas/Graphic_Layer.h"
#include "canvas/ui/CRDGraphicView.h"
#include "canvas/ui/CRDRulerView.h"
#include "model/CRDBarcode.h"
#include "model/CRDDocument.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Resource_Folder.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "support/Bench_Scenes.h"

namespace {

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

struct Side {
  QTemporaryDir folder;
  CRDDocument document;
  CRDGraphicView canvas;

  Side() {
    Prepare_Resource_Path(folder.filePath(QStringLiteral("Resources")));
    QImage hatch(8, 8, QImage::Format_ARGB32);
    hatch.fill(Qt::transparent);
    for (int i = 0; i < 8; ++i) hatch.setPixelColor(i, i, Qt::black);
    hatch.save(QDir(Resource_Path).filePath(QStringLiteral("Fill_Style_Image/Diagonal.png")));

    const QSizeF card(5 * 72, 7 * 72);
    canvas.setFrameSize(card);
    canvas.setZoomFactor(2);
    canvas.bind(CRDGraphicViewGraphicsBindingName, &document);

    Graphic_List g;
    auto place = [&](int i, double w, double h) {
      return QRectF(std::fmod(i * 37.0, card.width() - w), std::fmod(i * 53.0, card.height() - h),
                    w, h);
    };
    for (int i = 0; i < 250; ++i)
      g.push_back(bench_scenes::Mixed_Shape(i, place(i, 30 + i % 40, 25 + i % 30)));
    for (int i = 0; i < 150; ++i) {
      auto t =
          bench_scenes::Mixed_Text(i, place(i + 1000, 120, 30),
                                   QStringLiteral("Happy birthday, dear friend number %1!").arg(i));
      t->text_alignmnet = i % 3;
      t->_isDrawingFill = i % 4 == 0;
      g.push_back(t);
    }
    for (int i = 0; i < 50; ++i) {
      auto l = std::make_shared<CRDLine>();
      l->_bounds = place(i + 2000, 80, 40);
      l->_strokeWidth = 1 + i % 3;
      g.push_back(l);
    }
    for (int i = 0; i < 20; ++i) {
      auto p = std::make_shared<CRDImage>();
      p->_contents = CRDImage::Capped_Picture(Picture(photo({600, 400}, i * 13)));
      p->_file_path = QStringLiteral("photo.jpg");
      p->_bounds = place(i + 3000, 90, 60);
      p->Sepia = i % 3 == 0;
      p->hue_val = 0.2f * (i % 4);
      p->img_trnsp_val = 85;
      g.push_back(p);
    }
    for (int i = 0; i < 20; ++i) {
      auto s = std::make_shared<CRDSignature>(QPointF(0, 0), Picture(photo({200, 100}, i)),
                                              QStringLiteral("S"));
      s->_bounds = place(i + 4000, 100, 50);
      g.push_back(s);
    }
    for (int i = 0; i < 10; ++i) {
      auto b = std::make_shared<CRDBarcode>();
      b->Set_Barcode_image(Picture(photo({240, 120}, i), QSizeF(120, 60)));
      b->_bounds = place(i + 5000, 120, 60);
      g.push_back(b);
    }
    QList<int> indexes;
    for (int i = 0; i < int(g.size()); ++i) indexes << i;
    document.Enable_Disable_Undo_Registraion(false);
    document.insertGraphics(g, indexes);
    document.Enable_Disable_Undo_Registraion(true);
    Index_Set selected;
    for (int i = 0; i < 500; i += 25) selected << i;
    canvas.changeSelectionIndexes(selected);
  }

  // Paints the region of the widget into the frame picture, as a repaint does.
  void repaint(QImage& frame, const QRegion& region) {
    canvas.render(&frame, region.boundingRect().topLeft(), region,
                  QWidget::RenderFlags(QWidget::DrawChildren));
  }
};

void BM_Canvas_FullFrame(benchmark::State& state) {
  Side side;
  QImage frame(side.canvas.size(), QImage::Format_ARGB32_Premultiplied);
  side.repaint(frame, QRegion(side.canvas.rect()));  // pictures adjusted and cached
  side.canvas.finishPictures();
  for (auto _ : state) {
    side.repaint(frame, QRegion(side.canvas.rect()));
    benchmark::DoNotOptimize(frame.constBits());
  }
  state.counters["objects"] = double(side.canvas.graphics().size());
  state.counters["pixels"] = double(frame.width()) * frame.height();
}
BENCHMARK(BM_Canvas_FullFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first frame after every picture was dropped (a new zoom, a refresh): the graphics
// painted in bands as they are, while a worker thread renders their pictures.
void BM_Canvas_FullFrame_NoPictures(benchmark::State& state) {
  Side side;
  QImage frame(side.canvas.size(), QImage::Format_ARGB32_Premultiplied);
  side.repaint(frame, QRegion(side.canvas.rect()));
  for (auto _ : state) {
    side.canvas.refreshGraphics();
    side.repaint(frame, QRegion(side.canvas.rect()));
    benchmark::DoNotOptimize(frame.constBits());
  }
}
BENCHMARK(BM_Canvas_FullFrame_NoPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole frame on the calling thread alone, without pictures: card base and graphics.
void BM_Canvas_FullFrame_OneThread(benchmark::State& state) {
  Side side;
  QImage frame(side.canvas.size(), QImage::Format_ARGB32_Premultiplied);
  side.repaint(frame, QRegion(side.canvas.rect()));
  std::vector<Layer_Item> items;
  const Graphic_List& list = side.canvas.graphics();
  for (auto it = list.rbegin(); it != list.rend(); ++it) items.push_back({*it, false, false});
  for (auto _ : state) {
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(2, 2);
    Card_Base_Drawing(painter, side.canvas.bounds());
    Paint_Layer_Items(painter, items);
    benchmark::DoNotOptimize(frame.constBits());
  }
}
BENCHMARK(BM_Canvas_FullFrame_OneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// One object dragged by a few points: its old and new drawing areas.
void BM_Canvas_DraggedObjectArea(benchmark::State& state) {
  Side side;
  QImage frame(side.canvas.size(), QImage::Format_ARGB32_Premultiplied);
  side.repaint(frame, QRegion(side.canvas.rect()));
  side.canvas.finishPictures();
  const auto& graphic = side.canvas.graphics()[100];
  const QRectF before = graphic->drawingBounds();
  const QRegion area = QRegion(side.canvas.widgetRect(before).toAlignedRect()) +
                       side.canvas.widgetRect(before.translated(4, 3)).toAlignedRect();
  for (auto _ : state) {
    side.repaint(frame, area);
    benchmark::DoNotOptimize(frame.constBits());
  }
}
BENCHMARK(BM_Canvas_DraggedObjectArea)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two rulers of the side above at zoom 2, the card centred in a 900 x 700 view.
struct Rulers {
  CRDRulerView across{Qt::Horizontal};
  CRDRulerView down{Qt::Vertical};
  QImage across_frame, down_frame;

  Rulers() {
    const int t = across.ruleThickness();
    across.resize(900, t);
    down.resize(t, 700);
    across.setScale(2, -(900 - 720) / 4.0, 5 * 72);
    down.setScale(2, -(700 - 1008) / 4.0, 7 * 72);
    across_frame = QImage(across.size(), QImage::Format_ARGB32_Premultiplied);
    down_frame = QImage(down.size(), QImage::Format_ARGB32_Premultiplied);
    repaint(across, across_frame, QRegion(across.rect()));
    repaint(down, down_frame, QRegion(down.rect()));
  }
  static void repaint(CRDRulerView& ruler, QImage& frame, const QRegion& region) {
    ruler.render(&frame, region.boundingRect().topLeft(), region, QWidget::DrawChildren);
  }
};

// One step of a drag: a 60 x 40 point rectangle moves by one point both ways; its six
// lines move and each ruler repaints the strips of their old and new places.
void BM_Rulers_DragStep(benchmark::State& state) {
  Rulers rulers;
  QRectF r(100, 100, 60, 40);
  auto place = [&](const QRectF& from, const QRectF& to) {
    QRegion across, down;
    const double x0[] = {from.left(), from.center().x(), from.right()};
    const double x1[] = {to.left(), to.center().x(), to.right()};
    const double y0[] = {from.top(), from.center().y(), from.bottom()};
    const double y1[] = {to.top(), to.center().y(), to.bottom()};
    for (int i = 0; i < 3; ++i) {
      rulers.across.moveRulerline(x0[i], x1[i]);
      rulers.down.moveRulerline(y0[i], y1[i]);
      across += rulers.across.rulerlineRect(x0[i]);
      across += rulers.across.rulerlineRect(x1[i]);
      down += rulers.down.rulerlineRect(y0[i]);
      down += rulers.down.rulerlineRect(y1[i]);
    }
    Rulers::repaint(rulers.across, rulers.across_frame, across);
    Rulers::repaint(rulers.down, rulers.down_frame, down);
  };
  for (double v : {r.left(), r.center().x(), r.right()}) rulers.across.moveRulerline(std::nullopt, v);
  for (double v : {r.top(), r.center().y(), r.bottom()}) rulers.down.moveRulerline(std::nullopt, v);
  double step = 1;
  for (auto _ : state) {
    const QRectF next = r.translated(step, step);
    place(r, next);
    r = next;
    if (r.x() > 250 || r.x() < 50) step = -step;
    benchmark::DoNotOptimize(rulers.across_frame.constBits());
  }
}
BENCHMARK(BM_Rulers_DragStep)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Both rulers painted whole after a scroll by one point (their pictures made again).
void BM_Rulers_Scrolled(benchmark::State& state) {
  Rulers rulers;
  double offset = 0;
  for (auto _ : state) {
    offset = offset > 100 ? 0 : offset + 1;
    rulers.across.setScale(2, -45 + offset, 5 * 72);
    rulers.down.setScale(2, 77 + offset, 7 * 72);
    Rulers::repaint(rulers.across, rulers.across_frame, QRegion(rulers.across.rect()));
    Rulers::repaint(rulers.down, rulers.down_frame, QRegion(rulers.down.rect()));
    benchmark::DoNotOptimize(rulers.down_frame.constBits());
  }
}
BENCHMARK(BM_Rulers_Scrolled)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
