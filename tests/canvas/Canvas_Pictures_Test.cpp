// The canvas keeps each graphic's contents as a picture at its zoom: the frame looks as
// if every graphic had been painted, and a picture never outlives a change of its graphic
// (keyed changes, bounds, removal, fields written directly and then refreshed, zoom).

#include "Canvas_Test_Support.h"

#include "canvas/Card_Base.h"
#include "canvas/Graphic_Layer.h"
#include "canvas/ui/CRDZoomingScrollView.h"
#include "model/CRDText.h"

#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstdlib>

namespace {

using canvas_test::Canvas_Test;

class Canvas_Pictures : public Canvas_Test {
 protected:
  void SetUp() override {
    Canvas_Test::SetUp();
    // Enough graphics over a large enough area for the frame to be shared out in bands.
    Graphic_List graphics;
    for (int i = 0; i < 30; ++i)
      graphics.push_back(
          canvas_test::Mixed_Shape(i, QRectF(4 + (i % 10) * 19, 6 + (i / 10) * 30, 30, 26)));
    auto text = std::make_shared<CRDText>();
    text->setBounds(QRectF(20, 40, 150, 30));
    text->Text_Value = QStringLiteral("Happy birthday");
    graphics.push_back(text);
    add(graphics);
    canvas->setZoomFactor(2);
    canvas->changeSelectionIndexes({3, 30});
  }

  // A frame drawn from the pictures: the pictures a first frame asks for are rendered on a
  // worker thread while that frame paints the graphics.
  static QImage pictured_frame(CRDGraphicView& view) {
    view.grab();
    view.finishPictures();
    return view.grab().toImage();
  }
  QImage frame() { return pictured_frame(*canvas); }

  // What a canvas that never painted before shows of the document now.
  QImage fresh_frame() {
    CRDGraphicView fresh;
    fresh.setFrameSize(canvas->frameSize());
    fresh.bind(CRDGraphicViewGraphicsBindingName, &document);
    fresh.setZoomFactor(canvas->zoomFactor());
    fresh.changeSelectionIndexes(canvas->selectionIndexes());
    return pictured_frame(fresh);
  }
};

TEST_F(Canvas_Pictures, FrameLooksLikeTheGraphicsPainted) {
  canvas->refreshGraphics();
  const QImage first = canvas->grab().toImage();  // painted in bands; pictures being made
  const QImage again = frame();                   // drawn from them
  // Band edges cut curves a little differently: a few levels of antialiasing at most.
  EXPECT_LE(test_support::Largest_Difference(first, again), 4);

  // The graphics painted one after the other over the card base, then the handles.
  QImage painted(first.size(), QImage::Format_ARGB32_Premultiplied);
  painted.fill(Qt::transparent);
  {
    QPainter painter(&painted);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(2, 2);
    Card_Base_Drawing(painter, canvas->bounds());
    std::vector<Layer_Item> items;
    for (int i = int(list().size()) - 1; i >= 0; --i)
      items.push_back({list()[size_t(i)], false, false});
    Paint_Layer_Items(painter, items);
    // The handles of the selection over all graphics, the back-most graphic's first.
    for (int i = int(list().size()) - 1; i >= 0; --i) {
      if (!canvas->isSelected(i)) continue;
      painter.save();
      list()[size_t(i)]->drawHandlesInView(painter, list()[size_t(i)]->ctrl_is_locked);
      painter.restore();
    }
  }
  // Bands and pictures round antialiased edges a little differently, no more.
  EXPECT_LE(test_support::Largest_Difference(again, painted), 4);
}

TEST_F(Canvas_Pictures, PicturesLandInPlaceInsideAWindow) {
  // The canvas in its zooming scroll view, as in the design window, and what the window
  // shows on screen (painted into the window's backing store).
  CRDZoomingScrollView view;
  view.setDocumentView(canvas.get());
  view.setFactor(2);
  view.resize(700, 500);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  const QImage alone = frame();
  // A change repaints a part of the canvas, the window the rest.
  list()[4]->setFillColor(CRDColor::rgb(1, 0, 0));
  QApplication::processEvents();
  const QImage changed = frame();
  view.repaint();
  list()[4]->setFillColor(CRDColor::rgb(0, 0, 1));
  QApplication::processEvents();
  list()[4]->setFillColor(CRDColor::rgb(1, 0, 0));
  QApplication::processEvents();
  const QPoint corner = canvas->mapTo(&view, QPoint(0, 0));
  ASSERT_NE(corner, QPoint(0, 0));
  const QImage shown =
      view.screen()->grabWindow(view.winId()).toImage().copy(QRect(corner, canvas->size()));
  // Painted straight onto the card or through the layer of bands: one level at most.
  EXPECT_LE(test_support::Largest_Difference(shown, changed), 1);
  EXPECT_GT(test_support::Largest_Difference(changed, alone), 64);
  view.setDocumentView(nullptr);
  canvas->setParent(nullptr);
}

TEST_F(Canvas_Pictures, NoPictureOutlivesAChange) {
  struct Case {
    const char* name;
    std::function<void()> change;
  } cases[] = {
      {"keyed change", [&] { list()[4]->setFillColor(CRDColor::rgb(1, 0, 0)); }},
      {"bounds", [&] { list()[5]->setBounds(QRectF(60, 50, 60, 40)); }},
      {"stroke width", [&] { list()[8]->setStrokeWidth(6); }},
      {"removed", [&] { without_undo([&] { document.removeGraphicsAtIndexes({0}); }); }},
      {"undone", [&] { document.undoManager()->undo(); }},
      {"written directly, then refreshed",
       [&] {
         list()[12]->_fill_type = QStringLiteral("S");
         list()[12]->_fillColor = CRDColor::rgb(0, 1, 0);
         list()[30 - 1]->Text_Value = QStringLiteral("Changed");
         canvas->refreshGraphics();
       }},
      {"zoom", [&] { canvas->setZoomFactor(1.5); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage before = frame();
    ASSERT_EQ(test_support::Largest_Difference(before, frame()), 0);  // drawn from the pictures
    c.change();
    QApplication::processEvents();
    const QImage after = frame();
    EXPECT_GT(test_support::Largest_Difference(before, after), 64);  // the change shows
    EXPECT_EQ(test_support::Largest_Difference(after, fresh_frame()), 0);
  }
}

TEST_F(Canvas_Pictures, DraggedGraphicLeavesNoPictureBehind) {
  frame();
  const QRectF start = list()[3]->bounds();
  const QPointF grip = start.center();
  press(grip);
  for (int step = 1; step <= 3; ++step) {
    move(grip + QPointF(5 * step, 3 * step));
    frame();
  }
  release(grip + QPointF(15, 9));
  EXPECT_EQ(list()[3]->bounds(), start.translated(15, 9));
  EXPECT_EQ(test_support::Largest_Difference(frame(), fresh_frame()), 0);
}

}  // namespace
