#pragma once
// CRDGraphicView: the interactive canvas of one card side. It shows one graphic list of the
// document over the card base and the grid, marks the selected graphics with handles, and
// is the object through which the design window, its commands and the fills change that
// list and its selection.
//
// Coordinates are card points, y down, origin at the card's top-left corner. The widget is
// the card's frame size times the zoom factor; painting and mouse positions are scaled.
//
// The list belongs to the document (CRDDocument): the canvas reads it on every use and
// changes it only through the document's insertGraphics / removeGraphicsAtIndexes, so its
// changes are undoable in its side's own history. The canvas follows the document's signals and
// redraws only the areas that changed.
//
// The selection of a side is held here: an ascending list of list indexes. When graphics
// are inserted or removed, the indexes follow the selected graphics (a removed graphic
// leaves the selection).
//
// A press of the mouse runs to its release as a small state machine (select, move, resize,
// rubber band, draw out a new graphic); the widget has the mouse while the button is held,
// and key presses are ignored until the release.
//
// What the canvas asks of the design window (card base, new positions, the sidebar, the
// Undo, Redo and Paste buttons, the barcode designer) goes through Design_Window_Services.

#include "canvas/CRDGrid.h"
#include "canvas/Graphic_Layer.h"
#include "model/CRDDocument.h"
#include "model/CRDGraphic.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class CRDZoomingScrollView;
class QMimeData;

// Binding names of the three lists (the document's list keys).
extern const QString CRDGraphicViewGraphicsBindingName;       // "graphics"
extern const QString CRDGraphicViewGraphicsBindingName_back;  // "graphics_back"
extern const QString CRDGraphicViewGraphicsBindingName_temp;  // "graphics_temp"
// The clipboard formats of copied graphics: the graphic pasteboard data, and a token that
// names one copy (it tells a canvas whether the clipboard still holds its own last copy).
extern const QString
    CRDGraphicViewPasteboardMimeType;  // "application/x-dirar-voveda-2-pasteboard-type"
extern const QString CRDGraphicViewPasteboardTokenMimeType;
// The message of the commands that refuse locked graphics.
extern const QString CRDGraphicViewLockedMessage;  // "Selected control is locked."

// Ascending list indexes without duplicates.
using Index_Set = QList<int>;

class CRDGraphicView : public QWidget {
  Q_OBJECT

 public:
  explicit CRDGraphicView(QWidget* parent = nullptr);
  ~CRDGraphicView() override;

  // ---- Connections ----------------------------------------------------------------------
  // Connects the canvas to the document's list of that binding name ("graphics",
  // "graphics_back", "graphics_temp"), after disconnecting any list connected before.
  // Answers false (and connects nothing) for another name or no document.
  bool bind(const QString& name, CRDDocument* document);
  // Disconnects the list when the name is one of the three list names.
  void unbind(const QString& name);
  bool isBound() const { return document_ != nullptr; }
  CRDDocument* document() const { return document_; }
  CRDDocument::Side side() const { return side_; }
  // The grid drawn under the graphics and used for snapping; not owned (the design window
  // keeps it). Changes of the grid redraw the canvas.
  void setGrid(CRDGrid* grid);
  CRDGrid* grid() const { return grid_; }

  // ---- Frame and zoom -------------------------------------------------------------------
  // The card's size in points (the design window sets it for every side).
  void setFrameSize(const QSizeF& size);
  QSizeF frameSize() const { return frame_size_; }
  // (0, 0) and the frame size: the card in canvas points.
  QRectF bounds() const { return QRectF(QPointF(0, 0), frame_size_); }
  // Set by the zooming scroll view; the widget is the frame size times the factor.
  void setZoomFactor(double factor);
  double zoomFactor() const { return zoom_; }
  // Canvas points from widget coordinates and back.
  QPointF pointFromWidget(const QPointF& widget_point) const { return widget_point / zoom_; }
  QRectF widgetRect(const QRectF& points) const;

  // ---- List and selection ---------------------------------------------------------------
  // The connected list, or an empty list when the canvas is not connected.
  const Graphic_List& graphics() const;
  Index_Set selectionIndexes() const { return selection_; }
  // Selects those indexes (others than the list's are dropped), redraws the graphics whose
  // selection changed, and enables the same-size buttons when more than one is selected.
  void changeSelectionIndexes(const Index_Set& indexes);
  // The selected graphics in index order (the first is the front-most).
  Graphic_List selectedGraphics() const;
  bool isSelected(int index) const;
  // Selects every graphic; the sidebar and the edit buttons then follow the front-most.
  void selectAll();
  void deselectAll();
  // The graphic this canvas last created, refilled or clicked, or the front-most selected
  // graphic after the selection changed; empty once that graphic leaves the list.
  std::shared_ptr<CRDGraphic> Selected_Graphic() const;
  // The graphic being created or refilled, none at other times.
  std::shared_ptr<CRDGraphic> creatingGraphic() const { return creating_; }

  // Graphics have no in-place editing view, so these do nothing; callers keep them.
  void startEditingGraphic(const std::shared_ptr<CRDGraphic>&) {}
  void stopEditing() {}

  // ---- Hit testing ----------------------------------------------------------------------
  struct Hit {
    std::shared_ptr<CRDGraphic> graphic;
    int index = -1;
    bool isSelected = false;
    int handle = CRDGraphicNoHandle;
  };
  // The handles of selected graphics come first, as they are painted over every graphic:
  // the front-most selected graphic with a handle under the point. Else the front-most
  // graphic whose drawing bounds hold the point and whose contents are under it. Hidden
  // and locked graphics count.
  std::optional<Hit> graphicUnderPoint(const QPointF& point) const;
  // The indexes of every graphic whose drawing bounds intersect the rectangle.
  Index_Set indexesOfGraphicsIntersectingRect(const QRectF& rect) const;

  // ---- Editing commands -----------------------------------------------------------------
  // Delete, copy, cut, bring to front and send to back refuse the whole command with
  // "Selected control is locked." when any selected graphic is locked; alignment, same
  // size, the print flag and moves leave locked graphics where they are.
  bool There_Is_Any_Lock_Contrl() const;
  void delete_();  // delete: removes the selection, then the sidebar shows the card
  void deleteBackward() { delete_(); }
  void deleteForward() { delete_(); }
  // The selection to the clipboard: graphic data, PDF of the card with them, PNG of them.
  void copy();
  void cut();
  // Graphics copied on this canvas are placed at the next new-object position each time;
  // graphics from elsewhere keep their positions the first time. A picture on the
  // clipboard becomes a picture graphic. The pasted graphics are selected, and the
  // sidebar and the edit buttons follow the front-most of them.
  void paste();
  // Undo and redo of this side's history; afterwards the graphics they inserted or changed are
  // selected and the sidebar shows what is selected (the card when nothing is).
  void undo();
  void redo();
  void alignformCenter();
  void alignLeftEdges();
  void alignRightEdges();
  void alignTopEdges();
  void alignBottomEdges();
  void alignHorizontalCenters();
  void alignVerticalCenters();
  void alignWithGrid();
  void makeSameWidth();
  void makeSameHeight();
  void makeNaturalSize();
  void bringToFront();
  void sendToBack();
  // Stores the value in print_object of every selected unlocked graphic.
  void print_contol_or_not(int value);
  void moveLeft() { moveSelectedGraphicsByX(-1, 0); }
  void moveRight() { moveSelectedGraphicsByX(1, 0); }
  void moveUp() { moveSelectedGraphicsByX(0, -1); }
  void moveDown() { moveSelectedGraphicsByX(0, 1); }
  // Moves the unlocked selected graphics, hiding the handles until 0.5 s after the last move.
  void moveSelectedGraphicsByX(double dx, double dy);
  void hideHandlesMomentarily();
  bool isHidingHandles() const { return hiding_handles_; }
  // Redraws the enclosing scroll view (after a new card size).
  void Refresh_ScrollView();
  // Redraws every graphic from its fields: for changes written straight into graphics,
  // which the canvas does not hear of (the design window's canvas refresh calls it).
  void refreshGraphics();
  // Waits for the graphics' pictures being rendered and redraws with them (for tests and
  // benchmarks; the canvas collects them by itself at its next redraw).
  void finishPictures();
  // A picture from clipboard data, centred on (point.x, point.y - its height), inserted at
  // the front and selected; false when the data holds no readable picture.
  bool makeNewImageFromPasteboard(const QMimeData* data, const QPointF& point);

  // The commands a menu item may carry, for validateMenuItem.
  enum class Command {
    makeNaturalSize,
    alignWithGrid,
    delete_,
    bringToFront,
    sendToBack,
    cut,
    copy,
    paste,
    alignLeftEdges,
    alignRightEdges,
    alignTopEdges,
    alignBottomEdges,
    alignHorizontalCenters,
    alignVerticalCenters,
    alignformCenter,
    makeSameWidth,
    makeSameHeight,
    undo,
    redo,
    selectAll,
    showOrHideRulers,
  };
  bool validateMenuItem(Command command) const;

  // Paste state: the token of the clipboard data last copied or pasted here, and the
  // pastes made since.
  qint64 pasteCascadeNumber() const { return paste_cascade_number_; }

  // ---- Control IDs ----------------------------------------------------------------------
  // The front-most text or picture graphic whose control_ID equals the ID, or none.
  std::shared_ptr<CRDGraphic> Selcect_Ctrl_With_ID(const QString& control_id) const;
  // Puts the value into the graphic with the ID (a text's characters, a picture's file),
  // or creates the graphic when there is none of the kind the class names.
  void ReplaceGraphicText(const QString& class_name, bool use_rect, const QRectF& bound_rect,
                          const QString& card_side, const QString& ctrl_value,
                          const QString& ctrl_ID);
  // Hides every text and picture graphic that carries one of the eleven profile IDs.
  void Hide_all_Text_control_FUP_Control();
  // Removes every graphic from the list (undoable).
  void delete_all_control();
  void Clear_Control_Selection() { changeSelectionIndexes({}); }

  // ---- Creation -------------------------------------------------------------------------
  // Makes a graphic of the class ("CRDText", "CRDLine", "Shape_Control", "CRDImage",
  // "CRDBarcode", "CRDSignature"; tools 8 to 12 decide the kind themselves), places it,
  // inserts it at the front in one undo group, selects it and remembers it. Without a
  // press the frame is bound_rect (use_rect; at the next new-object position unless a
  // control ID is given) or 50 x 50 at that position. With a press the user draws the
  // graphic out and the creation ends at the release; a graphic of no width and no height
  // is then discarded without a trace in the undo history.
  void createGraphicOfClass(const QString& class_name, const QMouseEvent* event, bool use_rect,
                            const QRectF& bound_rect, const QString& card_side,
                            const QString& ctrl_value, const QString& ctrl_ID);

  // ---- Rulers (CRDGraphicView_Rulers.cpp) -----------------------------------------------
  // The zooming scroll view around the canvas, or nullptr.
  CRDZoomingScrollView* enclosingScrollView() const;
  // Shows the enclosing scroll view's rulers while they are hidden, hides them while
  // they are shown.
  void showOrHideRulers();
  bool rulersShown() const;
  // The title of the menu item of showOrHideRulers: "Hide Ruler" while the rulers are
  // shown, "Show Ruler" while they are hidden.
  QString rulerMenuItemTitle() const;
  // While a move, a resize or a drawn-out creation runs with the rulers shown, three
  // lines on each ruler mark the dragged rectangle's edges and middle: added by begin,
  // moved by continue, removed by stop (at the release).
  void beginEchoingMoveToRulers(const QRectF& rect);
  void continueEchoingMoveToRulers(const QRectF& rect);
  void stopEchoingMoveToRulers();
  // The rectangle the rulers mark, else the zero rectangle.
  QRectF rulerEchoedBounds() const { return ruler_echoed_bounds_; }

  // The rubber band of a marquee selection in progress, else the zero rectangle.
  QRectF marqueeSelectionBounds() const { return marquee_; }
  // True from a press until its release.
  bool isTrackingMouse() const { return drag_.kind != Drag_Kind::None; }

 signals:
  // The selection indexes changed (also when list changes moved them).
  void selectionIndexesChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  enum class Drag_Kind { None, Swallow, Move, Resize, Marquee, Create };
  struct Drag {
    Drag_Kind kind = Drag_Kind::None;
    QPointF start;  // press point
    // Move
    Graphic_List group;
    QRectF group_bounds;
    QPointF last, offset;
    bool moving = false;
    // Resize and Create
    std::shared_ptr<CRDGraphic> graphic;
    int handle = CRDGraphicNoHandle;
    // Marquee
    Index_Set base_selection;
    // Move and Resize: one undo group from the press to the release, whatever the event
    // loop does in between.
    QPointer<Undo_Manager> undo_group;
    bool grouped_by_event = true;
  };
  // What a press does once its drag has ended.
  struct Press_Ending {
    bool forget_selected_graphic = false;  // a click creation is not remembered
    bool show_selected_graphic = false;    // a visible graphic was hit
    bool show_card_if_none = false;        // nothing remembered: the sidebar shows the card
  };
  // An open creation (from its press to its release).
  struct Creation {
    bool open = false;
    bool grouped_by_event = true;
    bool registers_undo = false;
  };

  void on_inserted(CRDDocument::Side side, const QList<int>& indexes);
  void on_removed(CRDDocument::Side side, const QList<int>& indexes, const Graphic_List& graphics,
                  const QList<QRectF>& drawing_bounds);
  void on_changed(CRDDocument::Side side, const std::shared_ptr<CRDGraphic>& graphic,
                  const QString& key, const QRectF& old_drawing_bounds);
  void set_selection(Index_Set indexes, const QRectF& changed_area);
  // The graphics' cached pictures for the items that may use one; renders the missing.
  void attach_pictures(std::vector<Layer_Item>& items);
  void drop_picture(const CRDGraphic* graphic) { pictures_.Drop(graphic); }
  void remember_drawn_selection(const QRectF& area);
  // After a command that selected graphics without the mouse: the front-most selected
  // graphic is remembered and shown by the sidebar, which sets the edit buttons for it.
  void show_selection_in_sidebar();
  // The selection handles of every selected graphic meeting the area (canvas points),
  // painted after all graphics so that no later graphic covers them.
  void paint_selection_handles(QPainter& painter, const QRectF& area) const;
  void setNeedsDisplayInRect(const QRectF& points);
  void update_widget_size();
  void schedule_card_check();
  void show_card_if_empty();
  int index_of(const CRDGraphic* graphic) const;
  bool insert_graphics(const Graphic_List& graphics, const QList<int>& indexes);
  bool remove_graphics(const QList<int>& indexes);
  bool refuse_locked() const;
  void align(void (*place)(QRectF& rect, const QRectF& first, const QSizeF& canvas),
             bool first_included, void (*single)(QRectF& rect, const QSizeF& canvas));

  // Mouse.
  void mouseDown(QMouseEvent* event, int click_count);
  void selectAndTrackMouseWithEvent(QMouseEvent* event);
  void moveSelectedGraphicsWithEvent(QMouseEvent* event);
  void resizeGraphic(const std::shared_ptr<CRDGraphic>& graphic, int handle, QMouseEvent* event);
  void marqueeSelectWithEvent(QMouseEvent* event);
  void hold_undo_group();
  QPointF drag_point(QMouseEvent* event);
  void track(const QPointF& point);
  void end_drag();
  void end_press();

  // Ruler marks of the drag in progress: from its start when the rulers are shown, and
  // after each of its steps.
  void begin_drag_echo();
  void echo_drag();

  // Creation.
  std::shared_ptr<CRDGraphic> make_graphic(const QString& class_name, const QRectF& frame,
                                           const QString& ctrl_value, const QString& ctrl_ID);
  void finish_creation();
  void step_history(void (Undo_Manager::*step)());

  QPointer<CRDDocument> document_;
  CRDDocument::Side side_ = CRDDocument::Side::Front;
  QList<QMetaObject::Connection> document_connections_;
  QPointer<CRDGrid> grid_;
  QMetaObject::Connection grid_connection_;

  QSizeF frame_size_{0, 0};
  double zoom_ = 1.0;

  Index_Set selection_;
  std::weak_ptr<CRDGraphic> selected_graphic_;
  std::shared_ptr<CRDGraphic> creating_;
  QRectF marquee_;
  bool hiding_handles_ = false;
  QTimer handle_showing_timer_;
  QByteArray pasteboard_token_;
  qint64 paste_cascade_number_ = 0;
  std::optional<Index_Set> undo_selection_indexes_;
  bool card_check_pending_ = false;

  QRectF ruler_echoed_bounds_;
  bool echoing_to_rulers_ = false;

  Drag drag_;
  Press_Ending press_ending_;
  Creation creation_;

  // Each graphic's contents at the current zoom, painted again only when it changes.
  Graphic_Picture_Cache pictures_;
};
