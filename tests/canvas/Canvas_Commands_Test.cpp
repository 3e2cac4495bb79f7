// The editing commands of the canvas: locks, the clipboard, undo with reselection,
// alignment, sizes, stacking, key moves, the print flag and menu validation.

#include "Canvas_Test_Support.h"

#include "model/CRDImage.h"
#include "model/CRDSignature.h"
#include "model/Graphic_Archive.h"
#include "model/Shape_Control.h"
#include "platform/Property_List.h"

#include <functional>

#include <QBuffer>
#include <QClipboard>
#include <QTimer>
#include <QGuiApplication>
#include <QMimeData>
#include "support/Deadlock_Guard.h"

using namespace canvas_test;

namespace {

const QString Locked_Message = QStringLiteral("\nSelected control is locked.");

class Canvas_Commands : public Canvas_Test {
 protected:
  void SetUp() override {
    Canvas_Test::SetUp();
    QGuiApplication::clipboard()->clear();
  }
};

TEST_F(Canvas_Commands, LockedGraphicRefusesTheWholeCommand) {
  const std::pair<const char*, void (CRDGraphicView::*)()> commands[] = {
      {"delete", &CRDGraphicView::delete_},
      {"copy", &CRDGraphicView::copy},
      {"cut", &CRDGraphicView::cut},
      {"bring to front", &CRDGraphicView::bringToFront},
      {"send to back", &CRDGraphicView::sendToBack},
  };
  add({Rect_Shape({10, 10, 20, 20}), Rect_Shape({40, 10, 20, 20}), Rect_Shape({70, 10, 20, 20})});
  list()[2]->ctrl_is_locked = true;
  const Graphic_List before = list();
  for (const auto& [name, command] : commands) {
    SCOPED_TRACE(name);
    canvas->changeSelectionIndexes({0, 2});
    platform.messages.clear();
    (canvas.get()->*command)();
    EXPECT_EQ(platform.messages, QStringList({Locked_Message}));
    EXPECT_EQ(list(), before);
    EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0, 2}));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!data || !data->hasFormat(CRDGraphicViewPasteboardMimeType));
  }
  EXPECT_FALSE(document.undoManager()->canUndo());
}

TEST_F(Canvas_Commands, DeleteRemovesTheSelectionAndUndoSelectsItAgain) {
  add({Rect_Shape({10, 10, 20, 20}), Rect_Shape({40, 10, 20, 20}), Rect_Shape({70, 10, 20, 20})});
  const Graphic_List before = list();
  canvas->changeSelectionIndexes({0, 2});
  canvas->delete_();
  EXPECT_EQ(list(), Graphic_List({before[1]}));
  EXPECT_TRUE(canvas->selectionIndexes().isEmpty());
  EXPECT_EQ(window.sidebar.last(), nullptr);
  EXPECT_GE(window.undo_button_updates, 1);
  canvas->undo();
  EXPECT_EQ(list(), before);
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0, 2}));
  canvas->redo();
  EXPECT_EQ(list(), Graphic_List({before[1]}));

  // Undoing a move selects the moved graphic.
  canvas->changeSelectionIndexes({});
  QApplication::processEvents();
  list()[0]->setBounds({0, 0, 5, 5});
  QApplication::processEvents();
  canvas->undo();
  EXPECT_EQ(list()[0]->bounds(), QRectF(40, 10, 20, 20));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));
}

TEST_F(Canvas_Commands, PastesOfThisCanvasCascadeAndOthersKeepTheirPlaceOnce) {
  add({Rect_Shape({10, 10, 20, 20})});
  canvas->selectAll();
  canvas->copy();
  EXPECT_EQ(window.paste_button_updates, 1);
  EXPECT_EQ(canvas->pasteCascadeNumber(), 1);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  EXPECT_TRUE(data->hasFormat(QStringLiteral("application/pdf")));
  EXPECT_TRUE(data->hasFormat(QStringLiteral("image/png")));

  window.new_points = {{30, 30}, {50, 50}, {70, 70}};
  for (int i = 0; i < 3; ++i) canvas->paste();
  EXPECT_EQ(canvas->pasteCascadeNumber(), 4);
  ASSERT_EQ(list().size(), 4u);
  EXPECT_EQ(
      bounds_of_list(),
      QList<QRectF>({{70, 70, 20, 20}, {50, 50, 20, 20}, {30, 30, 20, 20}, {10, 10, 20, 20}}));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));

  // Another canvas's copy: the first paste keeps the stored place, the next cascades.
  CRDGraphicView other;
  other.setFrameSize({200, 100});
  ASSERT_TRUE(other.bind(CRDGraphicViewGraphicsBindingName_back, &document));
  add({Rect_Shape({5, 60, 10, 10}), Rect_Shape({25, 60, 10, 10})}, CRDDocument::Side::Back);
  other.selectAll();
  other.copy();
  window.new_points = {{100, 20}, {120, 40}};
  canvas->paste();
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0, 1}));
  EXPECT_EQ(list()[0]->bounds(), QRectF(5, 60, 10, 10));
  EXPECT_EQ(list()[1]->bounds(), QRectF(25, 60, 10, 10));
  canvas->paste();
  EXPECT_EQ(list()[0]->bounds(), QRectF(100, 20, 10, 10));
  EXPECT_EQ(list()[1]->bounds(), QRectF(120, 40, 10, 10));
  EXPECT_EQ(list().size(), 8u);
}

TEST_F(Canvas_Commands, PastingAPictureOrBadData) {
  QImage image(40, 20, QImage::Format_ARGB32);
  image.fill(Qt::green);
  auto* picture = new QMimeData;
  picture->setImageData(image);
  QGuiApplication::clipboard()->setMimeData(picture);
  canvas->paste();
  ASSERT_EQ(list().size(), 1u);
  EXPECT_EQ(list()[0]->className(), QStringLiteral("CRDImage"));
  EXPECT_EQ(list()[0]->bounds(), QRectF(30, 20, 40, 20));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));

  auto* bad = new QMimeData;
  bad->setData(CRDGraphicViewPasteboardMimeType, "not a property list");
  QGuiApplication::clipboard()->setMimeData(bad);
  canvas->paste();
  EXPECT_EQ(list().size(), 1u);
  EXPECT_EQ(platform.messages.size(), 1);

  auto* files = new QMimeData;
  files->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.png"))});
  QGuiApplication::clipboard()->setMimeData(files);
  canvas->paste();
  EXPECT_EQ(list().size(), 1u);

  // An empty copy pastes nothing.
  canvas->deselectAll();
  canvas->copy();
  canvas->paste();
  EXPECT_EQ(list().size(), 1u);
}

// Copied graphics whose pictures pass the budget are not pasted at all (no empty frame),
// and Paste names those pictures; graphics the design's file could not hold are not pasted.
TEST_F(Canvas_Commands, PasteSaysWhatItLeftOutOrWhyItPastedNothing) {
  // A picture whose header claims 6000 x 6000 pixels (more than one picture may have): it
  // is left out by its header, never decoded.
  QImage small(8, 8, QImage::Format_RGB32);
  small.fill(Qt::blue);
  QByteArray big_png;
  {
    QBuffer buffer(&big_png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(small.save(&buffer, "PNG"));
  }
  // IHDR's width and height (big-endian, at bytes 16 and 20), and its CRC again.
  for (int at : {16, 20}) {
    big_png[at] = 0;
    big_png[at + 1] = 0;
    big_png[at + 2] = char(6000 >> 8);
    big_png[at + 3] = char(6000 & 0xFF);
  }
  quint32 crc = 0xFFFFFFFFu;
  for (int i = 12; i < 29; ++i) {  // the chunk type and its 13 bytes of data
    crc ^= quint8(big_png[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  crc = ~crc;
  for (int k = 0; k < 4; ++k) big_png[29 + k] = char(crc >> (24 - 8 * k));
  auto shape = std::make_shared<Shape_Control>();
  shape->setBounds(QRectF(0, 0, 10, 10));
  shape->_barcode_image = Picture(small, QSizeF(8, 8));
  // The archive's picture data (TIFF) replaced by the large one.
  std::function<void(plist::Value&)> replace = [&](plist::Value& v) {
    if (const QByteArray* d = v.data(); d && (d->startsWith("II*") || d->startsWith("MM")))
      v = plist::Value(big_png);
    else if (plist::Array* a = v.array())
      for (plist::Value& item : *a) replace(item);
    else if (plist::Dictionary* dict = v.dictionary())
      for (const plist::Dictionary_Entry& e : dict->entries()) replace(*dict->find(e.key));
  };
  auto signature = std::make_shared<CRDSignature>();
  signature->setBounds(QRectF(20, 0, 10, 10));
  signature->_barcode_image = Picture(small, QSizeF(8, 8));
  const auto with_big_picture = [&](const CRDGraphic& graphic) {
    auto archive = plist::Read(Archive_Graphic(graphic));
    EXPECT_TRUE(archive);
    replace(*archive);
    return plist::Write(*archive, plist::Format::Binary);
  };
  const QByteArray pasteboard =
      plist::Write(plist::Array{with_big_picture(*shape), Archive_Graphic(*shape),
                                with_big_picture(*signature)},
                   plist::Format::Binary);

  auto* data = new QMimeData;
  data->setData(CRDGraphicViewPasteboardMimeType, pasteboard);
  QGuiApplication::clipboard()->setMimeData(data);
  canvas->paste();
  ASSERT_EQ(list().size(), 1u) << "only the graphic whose picture was read is pasted";
  EXPECT_FALSE(list()[0]->_barcode_image.isNull());
  EXPECT_EQ(platform.messages,
            QStringList{"\n2 objects were not pasted: the pictures of one design may hold 96 "
                        "million pixels together, one picture 32 million, and their pictures are "
                        "past that:\nthe picture of a shape (6000 x 6000 pixels)\nthe picture of "
                        "a signature (6000 x 6000 pixels)"})
      << platform.messages.join("|").toStdString();
  EXPECT_EQ(window.offered_graphics, QList<int>{1});

  // A design that could not hold them takes nothing, and says why.
  platform.messages.clear();
  window.graphics_refusal = QStringLiteral("the design has 10,001 objects");
  canvas->paste();
  EXPECT_EQ(list().size(), 1u);
  EXPECT_EQ(platform.messages, QStringList{"\nNothing was pasted: the design has 10,001 objects."});
}

TEST_F(Canvas_Commands, CutIsCopyThenDelete) {
  add({Rect_Shape({10, 10, 20, 20}), Rect_Shape({40, 10, 20, 20})});
  canvas->changeSelectionIndexes({1});
  canvas->cut();
  EXPECT_EQ(list().size(), 1u);
  const auto pasted = graphicsWithPasteboardData(
      QGuiApplication::clipboard()->mimeData()->data(CRDGraphicViewPasteboardMimeType));
  ASSERT_TRUE(pasted && pasted->size() == 1);
  EXPECT_EQ((*pasted)[0]->bounds(), QRectF(40, 10, 20, 20));
}

// Three selected graphics, the first (the reference) at x 40 and locked, on a 200 x 100 card.
TEST_F(Canvas_Commands, AlignmentMovesUnlockedGraphicsToTheFirstOrTheCanvas) {
  struct Case {
    const char* name;
    void (CRDGraphicView::*command)();
    QRectF second, third;  // after aligning the three
    QRectF single;         // the second graphic aligned alone
  } cases[] = {
      {"left",
       &CRDGraphicView::alignLeftEdges,
       {40, 50, 10, 10},
       {40, 70, 30, 20},
       {0, 50, 10, 10}},
      {"right",
       &CRDGraphicView::alignRightEdges,
       {50, 50, 10, 10},
       {30, 70, 30, 20},
       {190, 50, 10, 10}},
      {"top", &CRDGraphicView::alignTopEdges, {5, 10, 10, 10}, {100, 10, 30, 20}, {5, 0, 10, 10}},
      {"bottom",
       &CRDGraphicView::alignBottomEdges,
       {5, 20, 10, 10},
       {100, 10, 30, 20},
       {5, 90, 10, 10}},
      {"horizontal centres",
       &CRDGraphicView::alignHorizontalCenters,
       {45, 50, 10, 10},
       {35, 70, 30, 20},
       {95, 50, 10, 10}},
      {"vertical centres",
       &CRDGraphicView::alignVerticalCenters,
       {5, 15, 10, 10},
       {100, 10, 30, 20},
       {5, 45, 10, 10}},
      {"centre",
       &CRDGraphicView::alignformCenter,
       {95, 45, 10, 10},
       {85, 40, 30, 20},
       {95, 45, 10, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    without_undo([&] { canvas->delete_all_control(); });
    add({Rect_Shape({40, 10, 20, 20}), Rect_Shape({5, 50, 10, 10}), Rect_Shape({100, 70, 30, 20})});
    list()[0]->ctrl_is_locked = true;
    canvas->selectAll();
    (canvas.get()->*c.command)();
    EXPECT_EQ(bounds_of_list(), QList<QRectF>({{40, 10, 20, 20}, c.second, c.third}));
    canvas->changeSelectionIndexes({1});
    without_undo([&] { list()[1]->setBounds({5, 50, 10, 10}); });
    (canvas.get()->*c.command)();
    EXPECT_EQ(list()[1]->bounds(), c.single);
    // The locked graphic alone: nothing moves and the Undo button is not updated.
    canvas->changeSelectionIndexes({0});
    const int updates = window.undo_button_updates;
    (canvas.get()->*c.command)();
    EXPECT_EQ(list()[0]->bounds(), QRectF(40, 10, 20, 20));
    EXPECT_EQ(window.undo_button_updates, updates);
  }
}

TEST_F(Canvas_Commands, SameSizeNaturalSizeAndGrid) {
  add({Rect_Shape({10, 10, 40, 20}), Rect_Shape({60, 10, 10, 30}), Rect_Shape({80, 10, 15, 15})});
  list()[2]->ctrl_is_locked = true;
  canvas->selectAll();
  canvas->makeSameWidth();
  canvas->makeSameHeight();
  EXPECT_EQ(bounds_of_list(),
            QList<QRectF>({{10, 10, 40, 20}, {60, 10, 40, 20}, {80, 10, 15, 15}}));

  canvas->changeSelectionIndexes({1});
  const int updates = window.undo_button_updates;
  canvas->makeSameHeight();
  EXPECT_EQ(list()[1]->bounds(), QRectF(60, 10, 40, 20));
  EXPECT_EQ(window.undo_button_updates, updates + 1);

  canvas->makeNaturalSize();
  EXPECT_EQ(list()[1]->bounds(), QRectF(60, 10, 20, 20));

  CRDGrid grid;  // spacing 9, not snapping: aligning does not ask for it
  canvas->setGrid(&grid);
  without_undo([&] { list()[0]->setBounds({4, 4, 10, 10}); });
  canvas->selectAll();
  canvas->alignWithGrid();
  EXPECT_EQ(bounds_of_list(), QList<QRectF>({{0, 0, 18, 18}, {63, 9, 18, 18}, {80, 10, 15, 15}}));
}

TEST_F(Canvas_Commands, StackingKeepsTheRelativeOrderAndTheSelection) {
  Graphic_List six;
  for (int i = 0; i < 6; ++i) six.push_back(Rect_Shape({10.0 + 20 * i, 10, 10, 10}));
  add(six);
  canvas->changeSelectionIndexes({2, 5});
  canvas->bringToFront();
  EXPECT_EQ(list(), Graphic_List({six[2], six[5], six[0], six[1], six[3], six[4]}));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0, 1}));
  QApplication::processEvents();  // the next command is the next undo step
  canvas->sendToBack();
  EXPECT_EQ(list(), Graphic_List({six[0], six[1], six[3], six[4], six[2], six[5]}));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({4, 5}));
  QApplication::processEvents();
  canvas->undo();
  EXPECT_EQ(list(), Graphic_List({six[2], six[5], six[0], six[1], six[3], six[4]}));
}

TEST_F(Canvas_Commands, ArrowKeysMoveAndHideTheHandlesForHalfASecond) {
  add({Rect_Shape({10, 10, 20, 20}), Rect_Shape({40, 10, 20, 20})});
  list()[1]->ctrl_is_locked = true;
  canvas->selectAll();
  for (int i = 0; i < 3; ++i) key(Qt::Key_Right);
  // The handles come back by themselves, and not before half a second after the last key: a
  // precise timer of 0.45 s started just before it goes off first (timers go off in the
  // order they are due).
  QTimer reference;
  reference.setSingleShot(true);
  reference.setTimerType(Qt::PreciseTimer);
  bool reference_went_off = false;
  QObject::connect(&reference, &QTimer::timeout, [&] { reference_went_off = true; });
  reference.start(450);
  key(Qt::Key_Up);
  EXPECT_EQ(bounds_of_list(), QList<QRectF>({{13, 9, 20, 20}, {40, 10, 20, 20}}));
  EXPECT_TRUE(canvas->isHidingHandles());
  bool back_after_reference = false;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        if (canvas->isHidingHandles()) return false;
        back_after_reference = reference_went_off;
        return true;
      },
      test_support::kDeadlock_Guard_Ms))
      << "the handles never came back";
  EXPECT_TRUE(back_after_reference) << "the handles came back within 0.45 s of the last key";

  canvas->changeSelectionIndexes({0});
  key(Qt::Key_Backspace);
  EXPECT_EQ(list().size(), 1u);
}

TEST_F(Canvas_Commands, PrintFlagSkipsLockedGraphics) {
  add({Rect_Shape({10, 10, 20, 20}), Rect_Shape({40, 10, 20, 20})});
  list()[1]->ctrl_is_locked = true;
  canvas->selectAll();
  canvas->print_contol_or_not(1);
  EXPECT_EQ(list()[0]->print_object, 1);
  EXPECT_EQ(list()[1]->print_object, 0);
}

TEST_F(Canvas_Commands, MenuItemsFollowTheSelection) {
  using C = CRDGraphicView::Command;
  add({Rect_Shape({10, 10, 20, 10}), Rect_Shape({40, 10, 30, 30})});
  CRDGrid grid;
  canvas->setGrid(&grid);
  struct Case {
    Index_Set selection;
    C command;
    bool enabled;
  } cases[] = {
      {{}, C::delete_, false},
      {{0}, C::delete_, true},
      {{0}, C::copy, true},
      {{}, C::paste, true},
      {{0}, C::alignLeftEdges, false},
      {{0, 1}, C::alignLeftEdges, true},
      {{0}, C::makeSameWidth, false},
      {{0, 1}, C::makeSameHeight, true},
      {{1}, C::makeNaturalSize, false},
      {{0, 1}, C::makeNaturalSize, true},
      {{}, C::alignWithGrid, false},
      {{1}, C::alignWithGrid, true},
      {{}, C::alignformCenter, true},
      {{}, C::undo, false},
  };
  for (const Case& c : cases) {
    canvas->changeSelectionIndexes(c.selection);
    EXPECT_EQ(canvas->validateMenuItem(c.command), c.enabled) << int(c.command);
  }
  grid.setSpacing(0);
  EXPECT_FALSE(canvas->validateMenuItem(C::alignWithGrid));
}

}  // namespace
