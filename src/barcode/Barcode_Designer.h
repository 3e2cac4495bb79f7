#pragma once
// The barcode designer without its window: everything the designer's controls hold, on top
// of the drawing settings of Barcode_Gen, and the generation that turns a value, a header
// and a footer into a barcode picture, for the designer's preview or headless for the batch
// output (Get_Image_From_Val).
//
// A Barcode_Designer is a plain value. The designer dialog keeps the live one (and may
// publish it as Barcode_Gen_Var); a batch worker copies it on the main thread and generates
// from its copy, which touches nothing the main thread uses. While one of its operations
// runs, Barcode_Gen_Var on that thread answers the designer itself, so the models and the
// renderer read exactly its settings. One designer is used by one thread at a time.
//
// Lengths typed by the user are centimetres (bar height, margins) and mils (module width);
// the working margins of Barcode_Gen are points, computed from the margin settings by the
// size operations (x 0.393701 x 72). The resolution, QR version and level and Data Matrix
// module size of a picture are this designer's own settings; the dialog keeps the
// process-wide USED_DPI_VALUE, QR_Version_Val, QR_EC_Level_Val in step with its own.

#include "barcode/Barcode_Gen.h"
#include "barcode/pdf417View.h"
#include "model/Picture.h"

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>

struct Barcode_Drawing;
class CRDGraphic;
class LinBarcode;

class Barcode_Designer : public Barcode_Gen {
 public:
  // The start state of the designer: the first symbology (linear), the value "0123" in both
  // value controls, header "HEADER", footer "FOOTER", nothing hidden, bar height 0.6 cm,
  // module width 20 mils, QR side 60 points, PDF417 100 x 20 points at level 2, Data Matrix
  // 2 points a module, every margin 0.1 cm, item 0 of every list but the alignments (1).
  Barcode_Designer();
  // A copy has the same settings; its working state (models, pictures, attached graphic)
  // starts empty.
  Barcode_Designer(const Barcode_Designer&) = default;
  Barcode_Designer& operator=(const Barcode_Designer&) = default;

  // Points in a centimetre, as the designer converts lengths typed in centimetres.
  static constexpr float Cm_To_Points = 0.393701f * 72.0f;

  // ---- Item lists -------------------------------------------------------------------------
  // "Auto", then "V1" to "V40": the index is the QR version, 0 automatic.
  static const QStringList& QR_Version_Items();
  // "L", "M", "Q", "H": the index is the QR error-correction level.
  static const QStringList& QR_EC_Level_Items();
  // "Auto", the 24 square formats "C10X10" to "C144X144", the 6 rectangular ones "C8X18" to
  // "C16X48" (C rows X columns).
  static const QStringList& DM_Format_Items();
  // "Auto", "Ascii", "C40", "Text", "Base256".
  static const QStringList& DM_Encoding_Items();
  // "Auto" (600 dpi), "72", "150", "300", "600", "1200", "Custom" (dpi_Stepper).
  static const QStringList& DPI_Items();
  // "Manual", "Series", "Excel": the index is the graphic's data_source_type.
  static const QStringList& Data_Source_Items();

  // ---- What the controls hold -------------------------------------------------------------
  Barcode_Item_List barcodeTypePopup;  // the symbology titles; index = barcode_font_index
  int liner_or_2D_font = 0;            // 0 linear or postal, 1 two-dimensional
  QString dataText;                    // the linear value
  QString dataText_2D;                 // the two-dimensional value
  QString HeaderText;
  QString FooterText;
  int hideHeaderCheckbox = 0;  // 1: header not printed
  int hideFooterCheckbox = 0;  // 1: footer not printed
  int captionCheckbox = 0;     // 1: value text not printed
  bool captionCheckbox_enabled = true;
  bool showinTopCheckbox_enabled = true;  // follows the value text (Get_Print_State)
  float HeightStepper = 0.6f;             // bar height, centimetres
  bool HeightStepper_enabled = true;
  float widthStepper = 20.0f;  // module width, mils
  bool widthStepper_enabled = true;
  int HeightStepper_2D = 60;  // side of the QR picture, points
  Barcode_Item_List qr_version_ComboBox;
  Barcode_Item_List qr_ec_lvl_ComboBox;
  int pdf_HeightStepper_2D = 20;  // PDF417 picture, points
  int Pdf_widthStepper_2D = 100;
  int pdf_ec_lvl_Stepper = 2;   // PDF417 error-correction level
  int dm_moduleStepper_2D = 2;  // points per Data Matrix module
  Barcode_Item_List dm_format_ComboBox;
  Barcode_Item_List dm_encoding_ComboBox;
  // Margins in centimetres: value, header, footer, top and bottom, left and right.
  float val_mar_Stepper = 0.1f;
  float hdr_mar_Stepper = 0.1f;
  float ftr_mar_Stepper = 0.1f;
  float TB_mar_Stepper = 0.1f;
  float LR_mar_Stepper = 0.1f;
  Barcode_Item_List DPI_ComboBox;
  int dpi_Stepper = 600;  // the custom resolution
  QString dpi_Text = QStringLiteral("600");
  Barcode_Item_List Data_source_type;
  Barcode_Item_List Batch_Series;  // series names (or column titles), filled by the dialog

  // Chooses a symbology by its index in the type list (or by title) and the mode that goes
  // with it: two-dimensional exactly for "QR Code", "PDF417" and "DataMatrix".
  void Select_Symbology(int index);
  void Select_Symbology(const QString& title);
  // The value of the current mode's value control.
  QString Current_Value() const;
  // Dots per inch of the two-dimensional pictures: the resolution item's number, 600 for
  // "Auto", dpi_Stepper for "Custom"; 600 for anything that gives no positive number.
  int Used_DPI() const;
  // Linear pictures are drawn at this resolution whatever the resolution item holds: linear
  // mode hides that item, so a graphic that kept 72 from a QR Code must not get coarse bars.
  static constexpr int Linear_DPI = 600;

  // ---- Copies between the designer and a barcode graphic -----------------------------------
  // Loads every barcode setting of the graphic (and its value source) without regenerating,
  // and keeps the graphic as pass_barcode_control(). On the main thread
  // Not_Draw_Only_Prop_Change is set meanwhile and cleared at the end.
  void Set_Barcode_Prop_To_Control(const std::shared_ptr<CRDGraphic>& graphic);
  // Stores the settings into the graphic, as the designer's OK does: every barcode field but
  // the value source and the series binding.
  void Set_Control_Prop_To_Barcode(CRDGraphic& graphic) const;
  const std::shared_ptr<CRDGraphic>& pass_barcode_control() const { return work_.graphic; }

  // ---- Generation -----------------------------------------------------------------------------
  // The headless picture of a value with this header and footer, at the current settings; null
  // for an empty value, a value the symbology refuses, a failed two-dimensional encoding or a
  // title that names no symbology of the current mode. The value is not validated: the
  // symbology decides.
  Picture Get_Image_From_Val(const QString& value, const QString& header, const QString& footer);
  // The same picture as a drawing (bars and texts in points, a two-dimensional symbol traced
  // into module rectangles), laid out exactly as that picture is, for painting on a printer;
  // false (drawing untouched) where Get_Image_From_Val gives no picture.
  bool Get_Drawing_From_Val(const QString& value, const QString& header, const QString& footer,
                            Barcode_Drawing* drawing);
  // Generation: the linear model of the value (nullptr when there is none; always nullptr in
  // two-dimensional mode, whose symbol is left in image_2d()). With preview, the picture is
  // also made for the preview (barcodeImage()), or the preview is made blank. While
  // Not_Draw_Only_Prop_Change is set on the main thread, a preview generation hands back
  // testBarcode() and does nothing else.
  std::shared_ptr<LinBarcode> Generate_Barcode_Variable(bool preview, const QString& value,
                                                        const QString& header,
                                                        const QString& footer);
  // Regenerates the preview from the current value, header and footer (when the value passes
  // validation) and keeps the model as testBarcode().
  void goButtonActionPerformed();
  // Accepts a non-empty 7-bit ASCII value in the current mode's value control; otherwise makes
  // the preview blank and answers false. Whether the symbology encodes it is generation's
  // business. Both arguments are unused (every caller passes false).
  bool Check_And_Validat_Barcode(bool show_message = false, bool check_image = false);
  // 1 while the value text is printed: the hide-value box is enabled and not ticked; the
  // value-above box is enabled exactly then.
  int Get_Print_State();

  // ---- Sizes (points) -------------------------------------------------------------------------
  // The working margins from the margin settings (value, header, footer margin 0 while that
  // text is hidden) and the model's height: bar height, the printed bands with their margins,
  // twice the top-and-bottom margin.
  void Set_Barcode_Height(LinBarcode& model);
  // The widest of the model's width, its header width and its footer width (hidden ones count
  // 0), plus twice the left-and-right margin, plus 15 when that margin is above 0.
  float Set_Linear_Barcode_Width(LinBarcode& model);
  // The frame of a two-dimensional symbol: height() = symbol height + header band and margin +
  // footer band and margin + twice the top-and-bottom margin; width() as for a linear picture.
  void Set_2d_Barcode_Height(const Picture& symbol);
  void Set_2d_Barcode_Width(const Picture& symbol);
  // The least QR picture side for a version index (0 "Auto"): 21, or 4 x version + 17.
  static int QR_Size_Minimum(int version_index);
  // Raises the QR side to the least the version needs.
  void Check_And_Set_QR_size_Acc_Version(int version_index);

  // ---- Two-dimensional symbols ----------------------------------------------------------------
  // Each leaves the symbol picture, rasterised at Used_DPI(), in image_2d() (left as it was
  // when the value cannot be encoded; Data Matrix then makes the preview blank).
  void Draw_QR_Barcode(const QString& value);
  void Draw_PDF_417_Barcode(const QString& value);
  void Draw_DataMatrix_Barcode(const QString& value);
  // Frames image_2d() again with the current header, footer, fonts and margins, without
  // encoding anew (two-dimensional mode); a blank preview when there is no symbol.
  void Get_2d_barcode_from_image();

  // ---- Preview -------------------------------------------------------------------------------
  // Renders a linear model into the preview (when the current value passes validation).
  void Get_Image_From_Barcode(LinBarcode& model);
  // Frames a symbol into the preview; a blank preview for no symbol.
  void Get_Image_From_barcode_image(const Picture& symbol);
  // No symbol, no preview picture, the error label shown.
  void Set_Blank_Image();

  // Why the last preview generation left the preview blank, when there is more to say than
  // that the value cannot be encoded: a picture over the size limit and what to lower.
  const QString& blank_reason() const { return work_.blank_reason; }
  // That reason for a picture of the size in points at Used_DPI(); empty when it fits.
  QString Too_Large_Reason(QSizeF points) const;

  const Picture& image_2d() const { return work_.image_2d; }
  const Picture& barcodeImage() const { return work_.preview; }  // null while blank
  bool barcode_error_label_shown() const { return work_.error_label; }
  // Why the last generation could not draw its symbol although the value was encoded (a QR
  // Code side too large to draw); empty otherwise. Shown by whoever owns the designer on the
  // main thread: generation itself never shows anything, so workers can use it.
  const QString& Drawing_Failure() const { return work_.failure; }
  const std::shared_ptr<LinBarcode>& testBarcode() const { return work_.testBarcode; }
  const std::shared_ptr<LinBarcode>& testBarcode_EXP() const { return work_.testBarcode_EXP; }

  // ---- Pictures ------------------------------------------------------------------------------
  // A picture of the new size in points, one pixel a point, the source copied at the origin at
  // its own size without interpolation; null (logged) for a null source or an empty size.
  static Picture Resize_Image(const Picture& picture, QSizeF new_size);
  // Writes the picture as a PNG file whole or not at all; false (logged, and the reason in
  // *error) on failure.
  static bool Save_Barcode_image(const Picture& picture, const QString& path,
                                 QString* error = nullptr);

 private:
  // What the designer made last; a copy of the designer starts without it.
  struct Working {
    Working() = default;
    Working(const Working&) : Working() {}
    Working& operator=(const Working&) {
      testBarcode.reset();
      testBarcode_EXP.reset();
      graphic.reset();
      image_2d = Picture();
      preview = Picture();
      error_label = false;
      failure.clear();
      blank_reason.clear();
      pdf_barcode = pdf417View();
      return *this;
    }
    std::shared_ptr<LinBarcode> testBarcode;
    std::shared_ptr<LinBarcode> testBarcode_EXP;
    std::shared_ptr<CRDGraphic> graphic;
    Picture image_2d;
    Picture preview;
    bool error_label = false;
    QString failure;  // Drawing_Failure()
    QString blank_reason;
    pdf417View pdf_barcode;
  };

  std::shared_ptr<LinBarcode> generate(bool preview, const QString& value, const QString& header,
                                       const QString& footer);
  // The working margins in points from the margin settings, hidden texts' margins 0.
  void compute_working_margins();

  Working work_;
};
