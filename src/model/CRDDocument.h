#pragma once
// The document: the three ordered graphic lists of a card (front, back, temporary side;
// index 0 is the front-most object) and the undo of each side.
//
// The lists exist from construction and change only through insertGraphics and
// removeGraphicsAtIndexes, which announce every change (graphicsInserted,
// graphicsRemoved). The document observes the graphics of all three lists and announces
// each keyed change (graphicChanged, with the drawing bounds from before the change, so
// a canvas can redraw both places).
//
// Every side has an undo history of its own, so that Undo on one side never changes
// another: an insertion registers the removal and the reverse with the side of the
// list; keyed changes of the keys a graphic names in keysForValuesToObserveForUndo
// (directly, or through a key that affects them, as a line's bounds affect its two end
// points) are collected per undo group, keeping each property's first old value, and
// undone by one action per group whatever the number of graphics and properties.
// Changes of a graphic inserted in the same group are not recorded: undoing the group
// removes it anyway. A change goes to the history of the side being edited when that
// side's list holds the graphic (the temporary side shares the graphics of a real
// side), else to the side that holds it; while a side's undo or redo runs, to that side.

#include "model/CRDError.h"
#include "model/CRDGraphic.h"
#include "model/Undo_Manager.h"

#include <QList>
#include <QObject>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

extern const QString CRDDocumentCanvasSizeKey;     // "canvasSize"
extern const QString CRDDocumentGraphicsKey;       // "graphics"
extern const QString CRDDocumentGraphicsKey_back;  // "graphics_back"
extern const QString CRDDocumentGraphicsKey_temp;  // "graphics_temp"
extern const QString CRDDocumentNewTypeName;       // "com.dadidividuvu.Lumigrove"
extern const QString CRDDocumentOldTypeName;       // "ZELK CARD document"
extern const int CRDDocumentCurrentVersion;        // 2
extern const QString CRDDocumentVersionKey;        // "version"
extern const QString CRDDocumentPrintInfoKey;      // "printInfo"

// Per graphic, the first old value of every property changed during one undo group; the
// object of that group's property undo action.
class CRDMapTableOwner {
 public:
  using Values = std::vector<std::pair<QString, QVariant>>;

  // The old values of a graphic (an empty list the first time).
  Values& valuesFor(const std::shared_ptr<CRDGraphic>& graphic);
  const std::vector<std::pair<std::shared_ptr<CRDGraphic>, Values>>& entries() const {
    return entries_;
  }

 private:
  std::vector<std::pair<std::shared_ptr<CRDGraphic>, Values>> entries_;
  std::unordered_map<const CRDGraphic*, size_t> index_;
};

class CRDDocument : public QObject, public Graphic_Observer {
  Q_OBJECT

 public:
  enum class Side { Front, Back, Temp };
  Q_ENUM(Side)

  explicit CRDDocument(QObject* parent = nullptr);
  ~CRDDocument() override;

  // ---- Lists ---------------------------------------------------------------------------
  const Graphic_List& graphics() const { return lists_[0]; }
  const Graphic_List& graphics_back() const { return lists_[1]; }
  const Graphic_List& graphics_temp() const { return lists_[2]; }
  const Graphic_List& list(Side side) const { return lists_[int(side)]; }
  // The side whose list holds the graphic, or nothing: the front or back side before
  // the temporary one, which may share the graphics of a real side.
  std::optional<Side> sideOf(const CRDGraphic& graphic) const;
  // True when that side's list holds the graphic.
  bool holds(Side side, const CRDGraphic& graphic) const;

  // Inserts graphics[i] at indexes[i]; the indexes rise strictly, each one the position
  // the graphic has once all are inserted. Both register undo with the list's side. A call
  // with mismatched or impossible indexes, or with a graphic that is already in that
  // list, changes nothing and answers false; so does putting a graphic of one real side
  // into the other. The temporary list may hold the graphics of a real side: each
  // keyed change is then announced for both lists, and taking a graphic out of the
  // temporary list leaves its side's membership, observer and undo alone.
  bool insertGraphics(const Graphic_List& graphics, const QList<int>& indexes);
  bool removeGraphicsAtIndexes(const QList<int>& indexes);
  bool insertGraphics(Side side, const Graphic_List& graphics, const QList<int>& indexes);
  bool removeGraphicsAtIndexes(Side side, const QList<int>& indexes);

  // ---- Undo ----------------------------------------------------------------------------
  // The undo history of a side; undoManager() is the front side's.
  Undo_Manager* undoManager() const { return sides_undo_[0].manager; }
  Undo_Manager* undoManager(Side side) const { return sides_undo_[int(side)].manager; }
  // The side the user edits (the one shown): changes of a graphic that this side's list
  // shares with another go to this side's history. The front side at first.
  void setEditedSide(Side side) { edited_side_ = side; }
  Side editedSide() const { return edited_side_; }
  // true enables, false disables undo registration on every side; every false is paired
  // with a true.
  void Enable_Disable_Undo_Registraion(bool enable);
  // Forgets all undo and redo history of every side and empties the front list
  // (announced, not undoable). The back and temporary lists stay.
  void Clear_All_Undo_Redo();
  // Forgets the undo and redo history of every side, or of one side; the lists stay.
  void Forget_Undo_History();
  void Forget_Undo_History(Side side);
  // The undo action of property changes: sets every recorded value back by key.
  void setGraphicProperties(const CRDMapTableOwner& properties);
  // The name of the properties changed in a side's current group: empty at its start and
  // once properties of different names have changed.
  QString undoGroupPresentablePropertyName(Side side = Side::Front) const {
    return sides_undo_[int(side)].property_name;
  }

  // ---- Document services ---------------------------------------------------------------
  // The fixed card size of 243 x 154 points when asked for, else the size given.
  static QSizeF canvasSize(bool fixed, const QSizeF& size);
  // The application's name, whatever file the document has.
  QString displayName() const;
  // The document's data of a type: for the document type a binary property list with
  // "version" and the front list's archives under "graphics"; for "com.adobe.pdf" and
  // "public.tiff" the front list rendered by the installed image renderer. Any other
  // type, or an image type without a renderer, answers no data.
  QByteArray dataOfType(const QString& type, CRDError* error = nullptr) const;
  // Documents are not read from data and never report unsaved changes: designs are
  // saved and opened by the design window.
  bool readFromData(const QByteArray&, const QString&) { return false; }
  static bool canConcurrentlyReadDocumentsOfType(const QString&) { return true; }
  bool isDocumentEdited() const { return false; }
  // An alert with the text and the single button "OK".
  void show_msg(const QString& text);

  // ---- Print info ----------------------------------------------------------------------
  // The page layout of printing from the document: at first the locale's paper (Letter
  // where sizes are in inches, else A4), portrait, with margins of 72 points left and
  // right and 90 points top and bottom.
  const QPageLayout& printInfo() const { return print_info_; }
  // Takes a new page layout and announces a change of "canvasSize" around it
  // (canvasSizeWillChange before, canvasSizeDidChange after). The document keeps no card
  // size (the canvases' frames hold it), so the value announced is null: a page layout
  // never resizes the card.
  void setPrintInfo(const QPageLayout& layout);

  // Creates the design window, once per process: the first call made by any document
  // creates it through the installed factory and keeps it; later calls do nothing.
  void makeWindowControllers();
  using Window_Controller_Factory = std::function<QObject*(CRDDocument&)>;
  static void Set_Window_Controller_Factory(Window_Controller_Factory factory);
  // Design windows created in this process.
  static int first;

  using Image_Data_Renderer =
      std::function<QByteArray(const QString& type, const Graphic_List& graphics, CRDError*)>;
  static void Set_Image_Data_Renderer(Image_Data_Renderer renderer);

  // ---- Graphic_Observer ----------------------------------------------------------------
  void graphicWillChange(CRDGraphic& graphic, const QString& key) override;
  void graphicDidChange(CRDGraphic& graphic, const QString& key) override;

 signals:
  void graphicsInserted(CRDDocument::Side side, const QList<int>& indexes);
  // The removed graphics (still alive here) and where they were drawn.
  void graphicsRemoved(CRDDocument::Side side, const QList<int>& indexes,
                       const Graphic_List& graphics, const QList<QRectF>& drawingBounds);
  // After a keyed change; oldDrawingBounds is the graphic's drawing area before it.
  void graphicChanged(CRDDocument::Side side, const std::shared_ptr<CRDGraphic>& graphic,
                      const QString& key, const QRectF& oldDrawingBounds);
  // Around a change of the key "canvasSize"; the new value is a QSizeF in points, or null
  // when the change leaves the card's size to its holder.
  void canvasSizeWillChange();
  void canvasSizeDidChange(const QVariant& canvasSize);

 private:
  struct Pending_Change {
    CRDGraphic* graphic = nullptr;
    QString key;
    QRectF old_drawing_bounds;
    Side undo_side = Side::Front;  // whose history records it
    // The undo keys this change reaches, with their values before it.
    std::vector<std::pair<QString, QVariant>> old_values;
  };

  Graphic_List& list_of(Side side) { return lists_[int(side)]; }
  // State of a side's current undo group, dropped at every checkpoint of its manager.
  struct Side_Undo {
    Undo_Manager* manager = nullptr;
    std::unordered_map<const CRDGraphic*, std::shared_ptr<CRDGraphic>> inserted;
    std::shared_ptr<CRDMapTableOwner> old_properties;
    QString property_name;
    bool has_multiple_properties = false;
  };

  // The side whose history records a change of the graphic (see the notes above).
  std::optional<Side> undo_side_of(const CRDGraphic& graphic) const;
  void record_property_change(Side side, CRDGraphic& graphic, const QString& key,
                              const QVariant& old_value);
  void checkpoint(Side side);
  void detach(CRDGraphic& graphic);

  Graphic_List lists_[3];
  // Per graphic, the lists holding it: bit 1 << int(side).
  std::unordered_map<const CRDGraphic*, unsigned> sides_;
  std::vector<Pending_Change> pending_;
  std::vector<std::unique_ptr<QObject>> windowControllers_;
  Side_Undo sides_undo_[3];
  Side edited_side_ = Side::Front;
  QPageLayout print_info_;
};
