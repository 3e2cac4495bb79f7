// The editing commands of the canvas: delete, clipboard, undo and redo with reselection,
// alignment, sizes, stacking, the print flag, key moves and menu validation.

#include "canvas/CRDGrid.h"
#include "canvas/CRDRenderingView.h"
#include "canvas/ui/CRDGraphicView.h"
#include "model/CRDImage.h"
#include "model/Common_Functions.h"
#include "model/Design_Window_Services.h"
#include "model/Graphic_Archive.h"
#include "model/Shared_Design_State.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QUuid>

namespace {

QString side_code() { return Card_Front_Or_Back == 1 ? QStringLiteral("B") : QStringLiteral("F"); }

QByteArray png_data(const QImage& image) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};
  return data;
}

Index_Set range(int first, int count) {
  Index_Set indexes;
  for (int i = 0; i < count; ++i) indexes << first + i;
  return indexes;
}

}  // namespace

bool CRDGraphicView::There_Is_Any_Lock_Contrl() const {
  for (const auto& graphic : selectedGraphics())
    if (graphic->ctrl_is_locked) return true;
  return false;
}

bool CRDGraphicView::refuse_locked() const {
  if (!There_Is_Any_Lock_Contrl()) return false;
  Show_MessageBox(CRDGraphicViewLockedMessage);
  return true;
}

// ---- Delete and the clipboard ------------------------------------------------------------

void CRDGraphicView::delete_() {
  if (refuse_locked()) return;
  const Index_Set indexes = selection_;
  if (!indexes.isEmpty()) remove_graphics(indexes);
  Window_Undo_Redo_Button_state();
  Window_Show_RHS_Properties(nullptr);
}

void CRDGraphicView::copy() {
  if (refuse_locked()) return;
  const Graphic_List selected = selectedGraphics();
  auto* data = new QMimeData;
  data->setData(CRDGraphicViewPasteboardMimeType, pasteboardDataWithGraphics(selected));
  const QByteArray token = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
  data->setData(CRDGraphicViewPasteboardTokenMimeType, token);
  const QByteArray pdf = CRDRenderingView::pdfDataWithGraphics_data(selected);
  if (!pdf.isEmpty()) data->setData(QStringLiteral("application/pdf"), pdf);
  // Other programs get a picture of exactly the copied graphics.
  const QByteArray tiff = CRDRenderingView::tiffDataWithGraphics(selected);
  if (!tiff.isEmpty()) {
    const QImage image = QImage::fromData(tiff);
    const QByteArray png = image.isNull() ? QByteArray() : png_data(image);
    if (!png.isEmpty()) data->setData(QStringLiteral("image/png"), png);
  }
  QGuiApplication::clipboard()->setMimeData(data);
  pasteboard_token_ = token;
  paste_cascade_number_ = 1;
  Window_Set_Paste_Button_Status();
}

void CRDGraphicView::cut() {
  if (refuse_locked()) return;
  copy();
  delete_();
  Window_Undo_Redo_Button_state();
}

void CRDGraphicView::paste() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return;
  if (data->hasFormat(CRDGraphicViewPasteboardMimeType)) {
    CRDError error;
    QString left_out;
    // Pictures are read under what the design's pictures leave, sharing its picture files.
    Graphic_Read_Budget pictures = Window_Design_Picture_Budget();
    std::optional<Graphic_List> pasted = graphicsWithPasteboardData(
        data->data(CRDGraphicViewPasteboardMimeType), &error, &left_out, &pictures);
    if (!pasted) {
      Show_MessageBox(error.localizedDescription);
      return;
    }
    // Texts past what a text may hold are not pasted, and the paste says so.
    if (const QString texts = pictures.Texts_Left_Out(); !texts.isEmpty()) {
      Show_NSLog_Message(QStringLiteral("Paste: %1").arg(texts));
      Show_MessageBox(QStringLiteral("Not everything was pasted: %1.").arg(texts));
    }
    // What the design's file could not hold is not pasted at all.
    if (const QString refusal = Window_Design_Refuses_Graphics(*pasted); !refusal.isEmpty()) {
      Show_MessageBox(QStringLiteral("Nothing was pasted: %1.").arg(refusal));
      return;
    }
    // Data of another copy (elsewhere, or older than this canvas's last copy) keeps its
    // positions the first time it is pasted here.
    const QByteArray token = data->data(CRDGraphicViewPasteboardTokenMimeType);
    if (token != pasteboard_token_) {
      pasteboard_token_ = token;
      paste_cascade_number_ = 0;
    }
    const auto tell_left_out = [&left_out] {
      if (left_out.isEmpty()) return;
      Show_NSLog_Message(QStringLiteral("Paste: %1").arg(left_out));
      Show_MessageBox(left_out);
    };
    if (pasted->empty()) {
      tell_left_out();
      return;
    }
    if (paste_cascade_number_ > 0) {
      const QString side = side_code();
      const QPointF point = Window_Control_New_Point(side);
      CRDGraphic::Paste_Location_Of_Graphics(*pasted, point.x(), point.y(), side);
    }
    ++paste_cascade_number_;
    const Index_Set indexes = range(0, int(pasted->size()));
    if (insert_graphics(*pasted, indexes)) changeSelectionIndexes(indexes);
    Window_Undo_Redo_Button_state();
    show_selection_in_sidebar();
    tell_left_out();
    return;
  }
  if (data->hasUrls()) return;  // file names are not pasted
  if (makeNewImageFromPasteboard(data, QPointF(50, 50))) show_selection_in_sidebar();
}

bool CRDGraphicView::makeNewImageFromPasteboard(const QMimeData* data, const QPointF& point) {
  if (!data) return false;
  QImage image;
  if (data->hasImage()) image = qvariant_cast<QImage>(data->imageData());
  if (image.isNull()) {
    for (const QString& format : data->formats()) {
      if (!format.startsWith(QLatin1String("image/"))) continue;
      image = QImage::fromData(data->data(format));
      if (!image.isNull()) break;
    }
  }
  if (image.isNull()) return false;
  const Picture picture(std::move(image));
  auto graphic = Window_Apply_New_Graphic_Defaults(
      std::make_shared<CRDImage>(QPointF(point.x(), point.y() - picture.size().height()), picture),
      true);
  if (!insert_graphics({graphic}, {0})) return false;
  changeSelectionIndexes({0});
  return true;
}

// ---- Undo and redo -----------------------------------------------------------------------

void CRDGraphicView::undo() { step_history(&Undo_Manager::undo); }
void CRDGraphicView::redo() { step_history(&Undo_Manager::redo); }

void CRDGraphicView::step_history(void (Undo_Manager::*step)()) {
  // A press holds its undo group open until its release.
  if (!document_ || drag_.kind != Drag_Kind::None) return;
  undo_selection_indexes_ = Index_Set{};
  (document_->undoManager(side_)->*step)();
  if (!undo_selection_indexes_->isEmpty()) changeSelectionIndexes(*undo_selection_indexes_);
  undo_selection_indexes_.reset();
  Window_Undo_Redo_Button_state();
  // The sidebar follows what the step left selected: a graphic taken away no longer
  // shows its pages, a graphic brought back shows its own.
  if (const auto shown = Selected_Graphic())
    Window_Show_RHS_Properties(shown);
  else if (selection_.isEmpty())
    Window_Show_RHS_Properties(nullptr);
}

// ---- Alignment and sizes -----------------------------------------------------------------

// Applies place to every selected unlocked graphic after the first (or every one when
// first_included), or single when exactly one graphic is selected. A graphic whose
// rectangle does not change is not touched.
void CRDGraphicView::align(void (*place)(QRectF& rect, const QRectF& first, const QSizeF& canvas),
                           bool first_included,
                           void (*single)(QRectF& rect, const QSizeF& canvas)) {
  const Graphic_List selected = selectedGraphics();
  if (selected.size() == 1 && selected.front()->ctrl_is_locked) return;
  const QSizeF canvas = frame_size_;
  if (selected.size() == 1) {
    QRectF rect = selected.front()->bounds();
    single(rect, canvas);
    if (rect != selected.front()->bounds()) selected.front()->setBounds(rect);
  } else if (!selected.empty()) {
    const QRectF first = selected.front()->bounds();
    for (size_t i = first_included ? 0 : 1; i < selected.size(); ++i) {
      const auto& graphic = selected[i];
      if (graphic->ctrl_is_locked) continue;
      QRectF rect = graphic->bounds();
      place(rect, first, canvas);
      if (rect != graphic->bounds()) graphic->setBounds(rect);
    }
  }
  Window_Undo_Redo_Button_state();
}

void CRDGraphicView::alignformCenter() {
  auto centre = [](QRectF& r, const QSizeF& c) {
    r.moveTopLeft(QPointF(c.width() / 2 - r.width() / 2, c.height() / 2 - r.height() / 2));
  };
  align(
      [](QRectF& r, const QRectF&, const QSizeF& c) {
        r.moveTopLeft(QPointF(c.width() / 2 - r.width() / 2, c.height() / 2 - r.height() / 2));
      },
      true, centre);
}

void CRDGraphicView::alignLeftEdges() {
  align([](QRectF& r, const QRectF& f, const QSizeF&) { r.moveLeft(f.x()); }, false,
        [](QRectF& r, const QSizeF&) { r.moveLeft(0); });
}

void CRDGraphicView::alignRightEdges() {
  align(
      [](QRectF& r, const QRectF& f, const QSizeF&) { r.moveLeft(f.x() + f.width() - r.width()); },
      false, [](QRectF& r, const QSizeF& c) { r.moveLeft(c.width() - r.width()); });
}

void CRDGraphicView::alignTopEdges() {
  align([](QRectF& r, const QRectF& f, const QSizeF&) { r.moveTop(f.y()); }, false,
        [](QRectF& r, const QSizeF&) { r.moveTop(0); });
}

void CRDGraphicView::alignBottomEdges() {
  align(
      [](QRectF& r, const QRectF& f, const QSizeF&) { r.moveTop(f.y() + f.height() - r.height()); },
      false, [](QRectF& r, const QSizeF& c) { r.moveTop(c.height() - r.height()); });
}

void CRDGraphicView::alignHorizontalCenters() {
  align([](QRectF& r, const QRectF& f,
           const QSizeF&) { r.moveLeft(f.x() + f.width() / 2 - r.width() / 2); },
        false, [](QRectF& r, const QSizeF& c) { r.moveLeft(c.width() / 2 - r.width() / 2); });
}

void CRDGraphicView::alignVerticalCenters() {
  align([](QRectF& r, const QRectF& f,
           const QSizeF&) { r.moveTop(f.y() + f.height() / 2 - r.height() / 2); },
        false, [](QRectF& r, const QSizeF& c) { r.moveTop(c.height() / 2 - r.height() / 2); });
}

void CRDGraphicView::alignWithGrid() {
  if (grid_ && grid_->canAlign()) {
    for (const auto& graphic : selectedGraphics()) {
      if (graphic->ctrl_is_locked) continue;
      const QRectF aligned = grid_->alignedRect(graphic->bounds());
      if (aligned != graphic->bounds()) graphic->setBounds(aligned);
    }
  }
  Window_Undo_Redo_Button_state();
}

void CRDGraphicView::makeSameWidth() {
  const Graphic_List selected = selectedGraphics();
  if (selected.size() > 1) {
    const double width = selected.front()->width();
    for (size_t i = 1; i < selected.size(); ++i) {
      const auto& graphic = selected[i];
      if (graphic->ctrl_is_locked || graphic->width() == width) continue;
      QRectF rect = graphic->bounds();
      rect.setWidth(width);
      graphic->setBounds(rect);
    }
  }
  Window_Undo_Redo_Button_state();
}

void CRDGraphicView::makeSameHeight() {
  const Graphic_List selected = selectedGraphics();
  if (selected.size() > 1) {
    const double height = selected.front()->height();
    for (size_t i = 1; i < selected.size(); ++i) {
      const auto& graphic = selected[i];
      if (graphic->ctrl_is_locked || graphic->height() == height) continue;
      QRectF rect = graphic->bounds();
      rect.setHeight(height);
      graphic->setBounds(rect);
    }
  }
  Window_Undo_Redo_Button_state();
}

void CRDGraphicView::makeNaturalSize() {
  for (const auto& graphic : selectedGraphics()) graphic->makeNaturalSize();
  Window_Undo_Redo_Button_state();
}

// ---- Stacking and the print flag ---------------------------------------------------------

void CRDGraphicView::bringToFront() {
  if (refuse_locked()) return;
  const Graphic_List selected = selectedGraphics();
  if (!selected.empty() && remove_graphics(selection_)) {
    const Index_Set indexes = range(0, int(selected.size()));
    if (insert_graphics(selected, indexes)) changeSelectionIndexes(indexes);
  }
  Window_Undo_Redo_Button_state();
}

void CRDGraphicView::sendToBack() {
  if (refuse_locked()) return;
  const Graphic_List selected = selectedGraphics();
  if (!selected.empty() && remove_graphics(selection_)) {
    const Index_Set indexes = range(int(graphics().size()), int(selected.size()));
    if (insert_graphics(selected, indexes)) changeSelectionIndexes(indexes);
  }
  Window_Undo_Redo_Button_state();
}

void CRDGraphicView::print_contol_or_not(int value) {
  for (const auto& graphic : selectedGraphics())
    if (!graphic->ctrl_is_locked) {
      graphic->print_object = value;
      drop_picture(graphic.get());
    }
}

// ---- Moves by keys -----------------------------------------------------------------------

void CRDGraphicView::moveSelectedGraphicsByX(double dx, double dy) {
  const Graphic_List selected = selectedGraphics();
  if (selected.empty()) return;
  hideHandlesMomentarily();
  CRDGraphic::translateGraphics(selected, dx, dy);
}

void CRDGraphicView::hideHandlesMomentarily() {
  handle_showing_timer_.start();
  hiding_handles_ = true;
  setNeedsDisplayInRect(CRDGraphic::drawingBoundsOfGraphics(selectedGraphics()));
}

void CRDGraphicView::keyPressEvent(QKeyEvent* event) {
  // Keys wait while the mouse button is held.
  if (drag_.kind != Drag_Kind::None) {
    event->accept();
    return;
  }
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (modifiers == Qt::NoModifier) {
    switch (event->key()) {
      case Qt::Key_Left: moveLeft(); return;
      case Qt::Key_Right: moveRight(); return;
      case Qt::Key_Up: moveUp(); return;
      case Qt::Key_Down: moveDown(); return;
      case Qt::Key_Backspace: deleteBackward(); return;
      case Qt::Key_Delete: deleteForward(); return;
      default: break;
    }
  }
  QWidget::keyPressEvent(event);
}

// ---- Menu validation ---------------------------------------------------------------------

bool CRDGraphicView::validateMenuItem(Command command) const {
  switch (command) {
    case Command::makeNaturalSize:
      for (const auto& graphic : selectedGraphics())
        if (graphic->canMakeNaturalSize()) return true;
      return false;
    case Command::alignWithGrid: return grid_ && grid_->canAlign() && !selection_.isEmpty();
    case Command::delete_:
    case Command::bringToFront:
    case Command::sendToBack:
    case Command::cut:
    case Command::copy: return !selection_.isEmpty();
    case Command::alignLeftEdges:
    case Command::alignRightEdges:
    case Command::alignTopEdges:
    case Command::alignBottomEdges:
    case Command::alignHorizontalCenters:
    case Command::alignVerticalCenters:
    case Command::makeSameWidth:
    case Command::makeSameHeight: return selection_.size() > 1;
    case Command::undo: return document_ && document_->undoManager(side_)->canUndo();
    case Command::redo: return document_ && document_->undoManager(side_)->canRedo();
    case Command::paste:
    case Command::alignformCenter:
    case Command::selectAll:
    case Command::showOrHideRulers: return true;
  }
  return true;
}
