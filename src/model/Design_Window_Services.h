#pragma once
// What the model and the canvas ask of the design window. The window implements this
// interface and publishes itself with Set_Main_App_wnd; until then (and in model tests)
// the free functions below answer the design's plain defaults. Tests install their own
// implementation to observe the calls.

#include "model/CRDColor.h"
#include "model/CRDGraphic.h"
#include "model/Graphic_Archive.h"
#include "model/Picture.h"

#include <QFont>
#include <QMap>
#include <QList>
#include <QStringList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <limits>
#include <memory>

class CRDGraphic;
class QPainter;
struct Card_Property;

class Design_Window_Services {
 public:
  virtual ~Design_Window_Services() = default;

  // The all-text font and colour of the window (new objects take them).
  virtual QFont All_Text_font() const = 0;
  virtual CRDColor All_Text_clr() const = 0;
  // The next cascade position for a new or pasted object on a side ("F" or "B").
  virtual QPointF Control_New_Point(const QString& side) = 0;
  // The bounds of the front side's canvas.
  virtual QRectF Front_Canvas_Bounds() const = 0;
  // Enables the align-to-grid button.
  virtual void Set_Align_With_Grid_Enabled(bool enabled) = 0;
  // Redraws the current side's canvas (does nothing during a batch export).
  virtual void Refresh_Canvas() = 0;

  // ---- Graphic kinds and card base (defaults for windows and doubles without them) ----
  // Puts the picture panel's adjustment controls back to their defaults.
  virtual void Reset_Image_Editing_Controls() {}
  // The settings of the front side (0) or the back side (any other value).
  virtual Card_Property* Side_Card_Property(int /*side*/) { return nullptr; }
  // Shows a background picture path in the card panel.
  virtual void Show_Card_Image_Path(const QString& /*path*/) {}
  // Rebuilds the property sidebar with nothing selected (the card's tabs).
  virtual void Show_Card_Properties() {}

  // ---- Canvas (defaults for windows and doubles without them) ---------------------------
  // The class name of the current tool's objects ("CRDText", "Shape_Control", ...); empty
  // for the arrow and for tools that make nothing.
  virtual QString currentGraphicClass() const { return {}; }
  // The current tool number (Selected_Control_Tool, 0 the arrow).
  virtual int Current_Control_Tool() const { return 0; }
  // One of the pictures the window loads at start, by its field name: "no_image",
  // "barcode_sample_img", "sign_sample_img", "fp_sample_img", "banner_image",
  // "promotion_pattern_image". The default reads the resource folder's file.
  virtual Picture Loaded_Picture(const QString& field_name);
  // Rebuilds the property sidebar for the graphic, or for the card when it is null.
  virtual void Show_RHS_Properties(const std::shared_ptr<CRDGraphic>& /*graphic*/) {}
  // Enables the Undo and Redo buttons by the document's undo manager.
  virtual void Undo_Redo_Button_state() {}
  // Enables the Paste button when the clipboard holds copied graphics.
  virtual void Set_Paste_Button_Status() {}
  // Opens the barcode designer on the barcode graphic of the current side's canvas.
  virtual void Open_Barcode_Window() {}
  // The picture a new barcode object shows from its start: the designer's symbol of the
  // object's own settings. The default is none: the object then shows the sample picture.
  virtual Picture New_Barcode_Picture(const std::shared_ptr<CRDGraphic>& /*barcode*/) { return {}; }
  // Enables the same-width, same-height and natural-size buttons.
  virtual void Set_Same_Size_Buttons_Enabled(bool /*enabled*/) {}

  // ---- What the design's file can hold -----------------------------------------------------
  // Why the design could not be saved (and opened again) with these graphics added, or with
  // this data table in place of its own; "" when it could. Content that comes in is checked
  // here, so that the user learns at that step, not when saving.
  virtual QString Design_Refuses_Graphics(const Graphic_List& /*added*/) { return {}; }
  // A picture budget holding the pictures of the design (but those of `replacing`), as
  // opening its file would count them: pictures that come in are read under it, so that
  // what the window holds, the file opens again whole.
  virtual Graphic_Read_Budget Design_Picture_Budget(const CRDGraphic* /*replacing*/) {
    return {};
  }
  virtual QString Design_Refuses_Table(const QStringList& /*titles*/,
                                       const QList<QMap<QString, QString>>& /*rows*/) {
    return {};
  }
  // The most rows a data table of `columns` cell columns may have for the design's file to
  // hold them, and why one of `rows` rows under these titles is refused ("" when its rows
  // fit): a workbook's table of more rows is refused before its rows are made. The rest of
  // the design is not counted (Design_Refuses_Table checks the whole).
  virtual qint64 Design_Table_Most_Rows(int /*columns*/) {
    return std::numeric_limits<qint64>::max();
  }
  virtual QString Design_Refuses_Table_Rows(const QStringList& /*titles*/, qint64 /*rows*/) {
    return {};
  }
};

// The published services, or nullptr before the design window exists.
Design_Window_Services* Window_Services();

// Calls that fall back to the defaults when no window is published.
QFont Window_All_Text_Font();                           // Text_Ctrl_Font at 14 points
CRDColor Window_All_Text_Color();                       // black
QPointF Window_Control_New_Point(const QString& side);  // (10, 10)
QRectF Window_Front_Canvas_Bounds();                    // the zero rectangle
void Window_Set_Align_With_Grid_Enabled(bool enabled);
void Window_Refresh_Canvas();
void Window_Reset_Image_Editing_Controls();
Card_Property* Window_Side_Card_Property(int side);  // nullptr
void Window_Show_Card_Image_Path(const QString& path);
void Window_Show_Card_Properties();
QString Window_Current_Graphic_Class();  // ""
int Window_Current_Control_Tool();       // 0
Picture Window_Loaded_Picture(const QString& field_name);

// What a graphic the design window creates takes from the window: the all-text font and
// colour, and with reset_picture_panel (a picture, signature or fingerprint placed from a
// picture) a reset of the picture panel's adjustment controls. Main thread only.
// Constructors ask the window nothing, so workers can make graphics; the window's creation
// paths call this instead. Answers the graphic.
std::shared_ptr<CRDGraphic> Window_Apply_New_Graphic_Defaults(std::shared_ptr<CRDGraphic> graphic,
                                                              bool reset_picture_panel = false);
void Window_Show_RHS_Properties(const std::shared_ptr<CRDGraphic>& graphic);
void Window_Undo_Redo_Button_state();
void Window_Set_Paste_Button_Status();
void Window_Open_Barcode_Window();
Picture Window_New_Barcode_Picture(const std::shared_ptr<CRDGraphic>& barcode);  // none
void Window_Set_Same_Size_Buttons_Enabled(bool enabled);
QString Window_Design_Refuses_Graphics(const Graphic_List& added);  // ""
Graphic_Read_Budget Window_Design_Picture_Budget(const CRDGraphic* replacing = nullptr);
QString Window_Design_Refuses_Table(const QStringList& titles,
                                    const QList<QMap<QString, QString>>& rows);  // ""
qint64 Window_Design_Table_Most_Rows(int columns);  // no limit
QString Window_Design_Refuses_Table_Rows(const QStringList& titles, qint64 rows);  // ""
