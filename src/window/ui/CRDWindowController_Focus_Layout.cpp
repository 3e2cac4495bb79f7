// The design window's keyboard focus, Edit shortcuts, layout and place on the screen: the
// Edit commands reach the current side's canvas wherever the focus is, the sidebar keeps
// one width, the window never gets too small for its canvas and opens inside the screen.

#include "window/Window_Placement.h"
#include "window/ui/CRDWindowController.h"

#include <QAbstractSpinBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>

#include <algorithm>

namespace {

// The window's frame on a screen large enough: as the design window has always opened.
constexpr QSize Wanted_Window_Size{1000, 800};
constexpr QPoint Wanted_Window_Offset{100, 0};
// The sidebar is never narrower than this, whatever its pages ask.
constexpr int Minimum_Sidebar_Width = 300;

}  // namespace

CRDGraphicView* CRDWindowController::command_canvas() const {
  if (CRDGraphicView* canvas = focused_canvas()) return canvas;
  return shown_canvas();
}

QList<QKeySequence> CRDWindowController::edit_shortcuts(QKeySequence::StandardKey key) {
  if (key == QKeySequence::UnknownKey) return {};
  QList<QKeySequence> keys = QKeySequence::keyBindings(key);
  if (key == QKeySequence::Redo)
    for (const QKeySequence& redo :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
      if (!keys.contains(redo)) keys << redo;
  return keys;
}

bool CRDWindowController::text_field_command(CRDGraphicView::Command command, bool run,
                                             bool* enabled) const {
  using Command = CRDGraphicView::Command;
  if (command != Command::cut && command != Command::copy && command != Command::paste &&
      command != Command::delete_ && command != Command::selectAll)
    return false;
  QWidget* focus = focusWidget();
  if (auto* spin_box = qobject_cast<QAbstractSpinBox*>(focus))
    focus = spin_box->findChild<QLineEdit*>();
  const bool can_paste = !QGuiApplication::clipboard()->text().isEmpty();
  bool possible = false;
  if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    const bool selected = line->hasSelectedText();
    const bool writable = !line->isReadOnly();
    switch (command) {
      case Command::cut: possible = selected && writable; break;
      case Command::copy: possible = selected; break;
      case Command::paste: possible = writable && can_paste; break;
      case Command::delete_: possible = selected && writable; break;
      default: possible = !line->text().isEmpty(); break;
    }
    if (run && possible) {
      switch (command) {
        case Command::cut: line->cut(); break;
        case Command::copy: line->copy(); break;
        case Command::paste: line->paste(); break;
        case Command::delete_: line->del(); break;
        default: line->selectAll(); break;
      }
    }
  } else if (qobject_cast<QTextEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus)) {
    // Both editors offer the same slots and cursor.
    auto* text = qobject_cast<QTextEdit*>(focus);
    auto* plain = qobject_cast<QPlainTextEdit*>(focus);
    QTextCursor cursor = text ? text->textCursor() : plain->textCursor();
    const bool selected = cursor.hasSelection();
    const bool writable = !(text ? text->isReadOnly() : plain->isReadOnly());
    switch (command) {
      case Command::cut:
      case Command::delete_: possible = selected && writable; break;
      case Command::copy: possible = selected; break;
      case Command::paste: possible = writable && can_paste; break;
      default: possible = true; break;
    }
    if (run && possible) {
      if (command == Command::delete_) {
        cursor.removeSelectedText();
        text ? text->setTextCursor(cursor) : plain->setTextCursor(cursor);
      } else {
        const char* slot = command == Command::cut     ? "cut"
                           : command == Command::copy  ? "copy"
                           : command == Command::paste ? "paste"
                                                       : "selectAll";
        QMetaObject::invokeMethod(focus, slot);
      }
    }
  } else {
    return false;
  }
  if (enabled) *enabled = possible;
  return true;
}

bool CRDWindowController::edit_command_enabled(CRDGraphicView::Command command) const {
  bool enabled = false;
  if (text_field_command(command, false, &enabled)) return enabled;
  CRDGraphicView* canvas = command_canvas();
  return canvas && canvas->validateMenuItem(command);
}

void CRDWindowController::run_edit_command(CRDGraphicView::Command command,
                                           void (CRDGraphicView::*run)()) {
  if (text_field_command(command, true, nullptr)) return;
  CRDGraphicView* canvas = command_canvas();
  if (canvas && canvas->validateMenuItem(command)) (canvas->*run)();
}

void CRDWindowController::fit_layout() {
  // While every page is in the tab view (as at build time), its size hint is that of the
  // widest page: the sidebar keeps that width on every page, and is wide enough for every
  // row of tabs that shows at once to show whole.
  sett_tab->setFixedWidth(
      std::max({Minimum_Sidebar_Width, sett_tab->sizeHint().width(), Widest_Tab_Row()}));

  // The design area holds a viewport of at least Minimum_Canvas_Viewport beside both
  // scroll bars (the horizontal one carries the zoom pop-up), both rulers and the view's
  // frame.
  CRDZoomingScrollView* scroll = _zoomingScrollView;
  int bar_height = scroll->horizontalScrollBar()->sizeHint().height();
  for (const QWidget* widget : scroll->scrollBarWidgets(Qt::AlignLeft))
    bar_height = std::max(bar_height, widget->sizeHint().height());
  const int border = 2 * scroll->frameWidth() + scroll->rulerThickness();
  myTargetView->setMinimumSize(
      Minimum_Canvas_Viewport +
      QSize(scroll->verticalScrollBar()->sizeHint().width() + border, bar_height + border));
}

void CRDWindowController::place_window() {
  const QScreen* on = screen() ? screen() : QGuiApplication::primaryScreen();
  const QSize minimum = minimumSizeHint().expandedTo(minimumSize());
  if (!on) {
    setGeometry(QRect(Wanted_Window_Offset, Wanted_Window_Size.expandedTo(minimum)));
    return;
  }
  // The frame (title bar and borders) is known once the window has been shown; before
  // that the window manager adds it around the placed area.
  const QSize frame = frameGeometry().size() - geometry().size();
  const QRect placed = Place_Window_Frame(on->availableGeometry(), Wanted_Window_Size + frame,
                                          minimum + frame, Wanted_Window_Offset);
  resize(placed.size() - frame);
  move(placed.topLeft());
}
