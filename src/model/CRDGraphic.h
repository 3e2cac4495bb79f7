#pragma once
// The record of one object on a card side. Every kind of object (shape, line, text,
// picture, signature, barcode) derives from it; the record holds the settings of all
// kinds at once, and its fields are public: panels, fills and the batch binding write
// them directly. Only changes made through setBounds() and the keyed setters
// (setValueForKey and the typed setters below) are announced to the observer, which
// redraws and records undo.
//
// Graphics are shared (std::shared_ptr). Painting works on the calling thread; worker
// threads paint snapshots made with clone(), never the live design.

#include "model/CRDColor.h"
#include "model/Picture.h"
#include "model/StyledText.h"

#include <QFont>
#include <QMetaType>
#include <QPainterPath>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

class CRDGraphic;
class QPainter;

using Graphic_List = std::vector<std::shared_ptr<CRDGraphic>>;

// Key names of the observed values.
extern const QString CRDGraphicIsDrawingFillKey;    // "drawingFill"
extern const QString CRDGraphicFillColorKey;        // "fillColor"
extern const QString CRDGraphicIsDrawingStrokeKey;  // "drawingStroke"
extern const QString CRDGraphicStrokeColorKey;      // "strokeColor"
extern const QString CRDGraphicStrokeWidthKey;      // "strokeWidth"
extern const QString CRDGraphicXPositionKey;        // "xPosition"
extern const QString CRDGraphicYPositionKey;        // "yPosition"
extern const QString CRDGraphicWidthKey;            // "width"
extern const QString CRDGraphicHeightKey;           // "height"
extern const QString CRDGraphicBoundsKey;           // "bounds"
extern const QString CRDGraphicDrawingBoundsKey;    // "drawingBounds"
extern const QString CRDGraphicDrawingContentsKey;  // "drawingContents"
extern const QString CRDGraphicKeysForValuesToObserveForUndoKey;
extern const QString CRDGraphicCanSetDrawingFillKey;    // "canSetDrawingFill"
extern const QString CRDGraphicCanSetDrawingStrokeKey;  // "canSetDrawingStroke"

constexpr double CRDGraphicHandleWidth = 6.0;
constexpr double CRDGraphicHandleHalfWidth = 3.0;
constexpr int CRDGraphicNoHandle = 0;

// Told about every keyed change of a graphic: before it (so the old value can be read)
// and after it. Derived keys ("drawingBounds", "drawingContents", the position and size
// keys) are not sent separately; see CRDGraphic::keysAffectedBy.
class Graphic_Observer {
 public:
  virtual ~Graphic_Observer() = default;
  virtual void graphicWillChange(CRDGraphic& graphic, const QString& key) = 0;
  virtual void graphicDidChange(CRDGraphic& graphic, const QString& key) = 0;
};

// The fields of the record, in declaration order. A record of this struct alone is
// bare: every field zero, NO, empty or none (what decoding starts from).
struct CRDGraphic_Record {
  QRectF _bounds;
  bool _isDrawingFill = false;
  CRDColor _fillColor;
  bool _isDrawingStroke = false;
  CRDColor _strokeColor;
  double _strokeWidth = 0.0;
  QString _stroke_border_type;
  QString _fill_type;
  CRDColor _fill_Grad_clr1;
  CRDColor _fill_Grad_clr2;
  double _fill_grad_angle = 0.0;
  CRDColor _fill_htch_clr;
  QString _fill_hatch_type;
  bool _isFlippedHorizontally = false;
  bool _isFlippedVertically = false;
  bool invert_clr = false;
  bool gray_Scale = false;
  bool Sepia = false;
  float img_trnsp_val = 0.0f;
  float hue_val = 0.0f;
  float sat_val = 0.0f;
  float brt_val = 0.0f;
  float con_val = 0.0f;
  float srp_val = 0.0f;
  float ev_val = 0.0f;
  float blr_val = 0.0f;
  int data_source_type = 0;
  float rotate_image = 0.0f;
  QString _file_path;
  QPointer<QObject> _scriptingContainer;  // the document, while in its front list
  QString sign_or_fingureprint;
  QString batch_list_name;
  int batch_list_index = 0;
  int _line_ori = 0;
  int _line_cap_style = 0;
  float cor_rad_val_val = 0.0f;
  float alpha_val = 0.0f;
  float alpha_val_stroke = 0.0f;
  QFont text_ctrl_font;
  CRDColor txt_clr;
  std::shared_ptr<StyledText> _Text_contents;
  QString _shape_type;
  Picture _barcode_image;
  int linear_or_2d = 0;
  int barcode_font_index = 0;
  QString linear_font_val;
  QString two_d_font_val;
  QString header_val;
  QString footer_val;
  int show_hide_hdr = 0;
  int show_hide_ftr = 0;
  int show_hide_val = 0;
  int show_val_on_top = 0;
  int align_hdr_index = 0;
  int align_ftr_index = 0;
  float linear_height_val = 0.0f;
  float linear_width_val = 0.0f;
  int qr_size_val = 0;
  int qr_version_index = 0;
  int qr_ec_index = 0;
  int pdf_hgt_val = 0;
  int pdf_wdt_val = 0;
  int pdf_ec_val = 0;
  int dm_module_val = 0;
  int dm_format_index = 0;
  int dm_encoding_index = 0;
  float hdr_margin_val = 0.0f;
  float ftr_margin_val = 0.0f;
  float val_margin_val = 0.0f;
  float TB_marging_val = 0.0f;
  float LR_margin_val = 0.0f;
  QFont value_font_val;
  QFont header_font_val;
  QFont footer_font_val;
  CRDColor barcode_hdr_clr_val;
  CRDColor barcode_ftr_clr_val;
  CRDColor barcode_val_clr_val;
  CRDColor barcode_back_clr_val;
  CRDColor barcode_clr_val;
  int dpi_val_index = 0;
  QString dpi_custom_val;
  int barcode_unit_val = 0;
  bool ctrl_is_locked = false;
  int text_alignmnet = 0;
  int text_transfrom_case = 0;
  float text_kerning = 0.0f;
  int print_object = 0;
  QString control_ID;
  bool excel_binding = false;
  int excel_col_indx = 0;
  QString Text_Value;
  bool ctrl_is_visible = false;
  int double_star_type = 0;
  int polygon_type = 0;
};

class CRDGraphic : public std::enable_shared_from_this<CRDGraphic>, public CRDGraphic_Record {
 public:
  // A record with every default of the design (the base of every kind's constructor).
  CRDGraphic();
  // A bare record: every field zero, NO, empty or none. Decoding starts from it.
  struct Bare {};
  explicit CRDGraphic(Bare);
  // A complete copy (styled text copied too); the copy has no observer and no container.
  CRDGraphic(const CRDGraphic& other);
  CRDGraphic& operator=(const CRDGraphic&) = delete;
  virtual ~CRDGraphic();

  // The class name the archive records ("Shape_Control", "CRDLine", ...).
  virtual QString className() const { return QStringLiteral("CRDGraphic"); }
  // A complete, independent copy of the same kind (styled text copied too, no observer).
  virtual std::shared_ptr<CRDGraphic> clone() const;

  // ---- Accessors -------------------------------------------------------------------
  void Set_Ctrl_Is_Visible(bool visible) { ctrl_is_visible = visible; }
  bool Is_Control_Locked() const { return ctrl_is_locked; }
  void Set_Barcode_image(const Picture& picture) { _barcode_image = picture; }
  QString Get_shape_type() const { return _shape_type; }
  void Set_Shape_Type(const QString& type) { _shape_type = type; }
  // The styled text, made on the first call from Text_Value (black, Text_Ctrl_Font at
  // 14 points); later calls answer the same object.
  std::shared_ptr<StyledText> Text_contents();
  void Set_Excel_binding(bool binding) { excel_binding = binding; }
  void Set_Excel_binding_Index(int index) { excel_col_indx = index; }
  QFont Text_Font_value() const { return text_ctrl_font; }
  CRDColor Text_Color_Value() const { return txt_clr; }
  int Get_Line_Ori() const { return _line_ori; }
  int Get_Line_Cap_Style() const { return _line_cap_style; }
  void Set_Batch_List_Name(const QString& name) { batch_list_name = name; }
  QString batch_list_name_val() const { return batch_list_name; }
  void Set_Batch_List_Index(int index) { batch_list_index = index; }
  int batch_list_index_val() const { return batch_list_index; }
  void Set_Data_source_type(int type) { data_source_type = type; }
  int data_source_type_val() const { return data_source_type; }
  virtual void setFlippedHorizontally(bool flipped) { _isFlippedHorizontally = flipped; }
  virtual void setFlippedVertically(bool flipped) { _isFlippedVertically = flipped; }
  QString Sign_Or_FP_Val() const { return sign_or_fingureprint; }
  void Set_Sign_Or_FP(const QString& value) { sign_or_fingureprint = value; }
  void Set_Control_File_path(const QString& path) { _file_path = path; }
  QString FilePath() const { return _file_path; }
  virtual bool isDrawingFill() const { return _isDrawingFill; }
  virtual bool isDrawingStroke() const { return _isDrawingStroke; }
  // Colour getters: the stored colour with its alpha replaced by the opacity field
  // (alpha_val, for the stroke alpha_val_stroke), stored back and answered.
  CRDColor fillColor();
  CRDColor strokeColor();
  CRDColor fill_Grad_clr1();
  CRDColor fill_Grad_clr2();
  CRDColor fill_hatch_bk_clr();
  double strokeWidth() const { return _strokeWidth; }
  double fill_grad_angle() const { return _fill_grad_angle; }
  QString strokeBorderType() const { return _stroke_border_type; }
  QString fill_type() const { return _fill_type; }
  QString fill_hatch_type() const { return _fill_hatch_type; }
  double Get_Image_Trnsp_val() const { return img_trnsp_val; }
  double Get_Hue_val() const { return hue_val; }
  void setScriptingContainer(QObject* container) { _scriptingContainer = container; }

  // ---- Keyed, observed setters -----------------------------------------------------
  void setDrawingFill(bool on);
  void setFillColor(const CRDColor& color);
  void setDrawingStroke(bool on);
  void setStrokeColor(const CRDColor& color);
  void setStrokeWidth(double width);
  // Reads and writes the observed values by key ("bounds" as QRectF, colours as
  // CRDColor, flags as bool, widths as double; the kinds add their own keys). Reading
  // a colour goes through its getter. setValueForKey answers false for an unknown key.
  virtual QVariant valueForKey(const QString& key);
  virtual bool setValueForKey(const QString& key, const QVariant& value);
  // The keys whose changes the document records for undo.
  virtual QStringList keysForValuesToObserveForUndo() const;
  // The derived keys that change with a key (for "bounds": "xPosition", "yPosition",
  // "width", "height", "drawingBounds"; for the colours: "drawingContents"; ...).
  virtual QStringList keysAffectedBy(const QString& key) const;
  // The name of an undoable property, for undo menu titles; empty for the base keys.
  virtual QString presentablePropertyNameForKey(const QString& key) const;

  void setObserver(Graphic_Observer* observer) { observer_ = observer; }
  Graphic_Observer* observer() const { return observer_; }

  // ---- Geometry ----------------------------------------------------------------------
  QRectF bounds() const { return _bounds; }
  virtual void setBounds(const QRectF& bounds);
  double xPosition() const { return _bounds.x(); }
  double yPosition() const { return _bounds.y(); }
  double width() const { return _bounds.width(); }
  double height() const { return _bounds.height(); }
  void setXPosition(double x);
  void setYPosition(double y);
  void setWidth(double width);
  void setHeight(double height);
  // The area to redraw: the bounds grown by the larger of half a handle and half the
  // stroke width, plus one point in width and height.
  virtual QRectF drawingBounds() const;

  // ---- Painting ----------------------------------------------------------------------
  // Paints the object in canvas points (origin at the card's top left, y down). The
  // flag is true while the canvas creates or edits the object.
  virtual void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited);
  // The outline of shapes and lines. The base class has none and throws.
  virtual QPainterPath bezierPathForDrawing() const;
  virtual void drawHandlesInView(QPainter& painter, bool lock_hai) const;
  static void drawHandleInView(QPainter& painter, const QPointF& point, bool lock_hai);

  // ---- Editing -----------------------------------------------------------------------
  virtual bool canSetDrawingFill() const { return true; }
  virtual bool canSetDrawingStroke() const { return true; }
  virtual bool canMakeNaturalSize() const;
  virtual void makeNaturalSize();
  virtual bool isContentsUnderPoint(const QPointF& point) const;
  virtual int handleUnderPoint(const QPointF& point) const;
  static bool isHandleAtPoint(const QPointF& handlePoint, const QPointF& point);
  // Moves the handle to the point, flipping when an edge crosses the opposite one;
  // answers the handle now being dragged.
  virtual int resizeByMovingHandle(int handle, const QPointF& point);
  virtual void flipHorizontally() {}
  virtual void flipVertically() {}
  virtual void finalizeEditingView() {}
  // The handle dragged while a new graphic is drawn out: 8 (bottom right).
  virtual int creationSizingHandle() const { return 8; }
  // Reloads the picture of a picture object from its file; other kinds ignore it.
  virtual void setFilePath(const QString& path) { _file_path = path; }

  // ---- Lists -------------------------------------------------------------------------
  static QRectF boundsOfGraphics(const Graphic_List& graphics);
  // For an empty list: the bounds of the front side's canvas.
  static QRectF drawingBoundsOfGraphics(const Graphic_List& graphics);
  // Moves every unlocked graphic.
  static void translateGraphics(const Graphic_List& graphics, double dx, double dy);
  // Places pasted graphics: the first at (x, y), each further one at the window's next
  // placement point for the side; locked graphics stay where they are.
  static void Paste_Location_Of_Graphics(const Graphic_List& graphics, double x, double y,
                                         const QString& card_side);

  // A handle's point on the bounds (codes 1 to 8).
  static QPointF handlePoint(const QRectF& bounds, int handle);

 protected:
  void willChangeValueForKey(const QString& key);
  void didChangeValueForKey(const QString& key);

  // For the kinds' clone(): a copy of the right class, finished like the base's.
  template <typename Kind>
  std::shared_ptr<CRDGraphic> clone_as() const {
    return std::make_shared<Kind>(static_cast<const Kind&>(*this));
  }

 private:
  Graphic_Observer* observer_ = nullptr;
};

// The rectangle union of the platform: an empty rectangle (zero or negative width or
// height) does not count.
QRectF Union_Rect(const QRectF& a, const QRectF& b);

Q_DECLARE_METATYPE(CRDColor)
Q_DECLARE_METATYPE(Picture)
