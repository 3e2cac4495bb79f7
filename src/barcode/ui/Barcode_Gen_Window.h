#pragma once
// The barcode designer dialog: the symbology, the value or its source, header and footer,
// fonts, colours, sizes, margins and the two-dimensional settings of one barcode object, with
// a live preview. The dialog owns the live Barcode_Designer (published as Barcode_Gen_Var);
// every handler writes the control's value into it and then asks it to regenerate, re-render
// (linear: the model stays, its heights and picture are made again) or re-frame
// (two-dimensional: the last symbol is framed again). Only the preview alignment lives in the
// widgets alone.
//
// A stepper and its field are one spin box named after the stepper. The value source chosen
// in the dialog reaches the graphic only on OK, together with the other settings; Cancel
// leaves the graphic and Barcode_output_image without a picture. With a manual value OK is
// enabled only while the preview shows a picture, so settings and picture agree after OK; with
// a series or column it stays enabled (each card gets its own record's value) and the preview
// says why it is blank.

#include "barcode/Barcode_Designer.h"

#include <QDialog>
#include <QSpinBox>

#include <functional>
#include <memory>

class CRDGraphic;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;
class QWidget;

// A spin box that tells a step (arrows, keys, wheel) from a typed value.
class Stepping_Spin_Box : public QSpinBox {
  Q_OBJECT
 public:
  using QSpinBox::QSpinBox;
  bool stepping() const { return stepping_; }
  void stepBy(int steps) override;

 private:
  bool stepping_ = false;
};

// What choosing "Excel" says while no spreadsheet is loaded (the source stays as it was).
extern const QString Excel_Source_Not_Loaded;

class Barcode_Gen_Window : public QDialog {
  Q_OBJECT

 public:
  // The one dialog of the process, created on first use.
  static Barcode_Gen_Window* defaultInstance();

  // What the design window lends the dialog: the long-message dialog for the help texts
  // (default: a message box).
  struct Hooks {
    std::function<void(const QString& title, const QString& text)> show_help;
  };
  static Hooks& hooks();

  // The live designer: what every control holds.
  Barcode_Designer& designer() { return designer_; }

  // Loads the graphic, draws its preview, runs the dialog modally; on OK stores the settings
  // and the value source into the graphic. Answers the graphic.
  std::shared_ptr<CRDGraphic> Open_Wnd(const std::shared_ptr<CRDGraphic>& graphic);
  // Loads the graphic's settings into the designer and the controls (no preview).
  void Set_Barcode_Prop_To_Control(const std::shared_ptr<CRDGraphic>& graphic);

  // The preview of a finished picture, at its size in points.
  void Set_Barcode_On_Panel(const Picture& picture);

  // ---- Controls (object names as the fields) -----------------------------------------------
  QComboBox* barcodeTypePopup = nullptr;
  QLineEdit* dataText = nullptr;
  QPlainTextEdit* dataText_2D = nullptr;
  QLineEdit* HeaderText = nullptr;
  QLineEdit* FooterText = nullptr;
  QCheckBox* hideHeaderCheckbox = nullptr;
  QCheckBox* hideFooterCheckbox = nullptr;
  QComboBox* align_hdr_combo = nullptr;
  QComboBox* align_ftr_combo = nullptr;
  QCheckBox* captionCheckbox = nullptr;
  QCheckBox* showinTopCheckbox = nullptr;
  QCheckBox* kerning_value_Checkbox = nullptr;
  QDoubleSpinBox* HeightStepper = nullptr;  // bar height, cm
  QDoubleSpinBox* widthStepper = nullptr;   // module width, mils
  QDoubleSpinBox* val_mar_Stepper = nullptr;
  QDoubleSpinBox* hdr_mar_Stepper = nullptr;
  QDoubleSpinBox* ftr_mar_Stepper = nullptr;
  QDoubleSpinBox* TB_mar_Stepper = nullptr;
  QDoubleSpinBox* LR_mar_Stepper = nullptr;
  QToolButton* barcode_clr = nullptr;
  QToolButton* bar_back_clr = nullptr;
  QToolButton* bar_val_clr = nullptr;
  QToolButton* bar_hdr_clr = nullptr;
  QToolButton* bar_ftr_clr = nullptr;
  QLabel* value_font_value = nullptr;
  QLabel* header_font_value = nullptr;
  QLabel* footer_font_value = nullptr;
  QPushButton* val_font_btn = nullptr;
  QPushButton* hdr_font_btn = nullptr;
  QPushButton* ftr_font_btn = nullptr;
  QSpinBox* HeightStepper_2D = nullptr;  // QR side, points
  QComboBox* qr_version_ComboBox = nullptr;
  QComboBox* qr_ec_lvl_ComboBox = nullptr;
  QSpinBox* pdf_HeightStepper_2D = nullptr;
  QSpinBox* Pdf_widthStepper_2D = nullptr;
  QSpinBox* pdf_ec_lvl_Stepper = nullptr;
  QSpinBox* dm_widthStepper_2D = nullptr;   // symbol width of the format (or drawn), points
  QSpinBox* dm_HeightStepper_2D = nullptr;  // symbol height of the format (or drawn), points
  Stepping_Spin_Box* dm_moduleStepper_2D = nullptr;
  QComboBox* dm_format_ComboBox = nullptr;
  QComboBox* dm_encoding_ComboBox = nullptr;
  QComboBox* DPI_ComboBox = nullptr;
  QSpinBox* dpi_Stepper = nullptr;
  QLabel* dpi_label = nullptr;  // "Custom DPI :", shown with dpi_Stepper
  QScrollArea* image_scroll = nullptr;
  QLabel* barcodeImage = nullptr;
  QComboBox* bar_align_combo = nullptr;
  QLabel* barcode_error_label = nullptr;
  QComboBox* Data_source_type = nullptr;
  QComboBox* Batch_Series = nullptr;
  QPushButton* view_series_btn = nullptr;
  QTabWidget* sett_tab = nullptr;
  QWidget* dpi_tab_item = nullptr;
  QGroupBox* margin_box = nullptr;
  QGroupBox* linear_sett_box = nullptr;
  QGroupBox* two_d_sett_box = nullptr;
  QGroupBox* pdf_2d_sett_box = nullptr;
  QGroupBox* dm_2d_sett_box = nullptr;
  QLabel* barHeightLabel = nullptr;
  QLabel* barWidthLabel = nullptr;
  QLabel* val_mar_label = nullptr;
  QLabel* val_font_label = nullptr;
  QLabel* val_clr_label = nullptr;
  QLabel* bar_clr_label = nullptr;
  QLabel* bar_bk_clr_label = nullptr;
  QPushButton* OK_Btn = nullptr;
  QPushButton* Cancel_Btn = nullptr;
  QPushButton* Encode_Btn = nullptr;

 public slots:
  void OK_Btn_Clicked();
  void Cancel_Btn_Clicked();
  void reject() override { Cancel_Btn_Clicked(); }
  void Encode_btn();
  void barcodeTypeChanged();
  void captionChanged();
  void showinTopChanged();
  void hideHeaderChanged();
  void hideFooterChanged();
  void kerningChanged();
  void Value_Margin_Changed();
  void Header_Margin_Changed();
  void Footer_Margin_Changed();
  void TB_Margin_Changed();
  void LR_Margin_Changed();
  void heightChanged();     // bar height (linear)
  void qr_sizeChanged();    // QR side (two-dimensional)
  void widthChanged();      // module width (linear)
  void pdf_widthChanged();  // PDF417 width (two-dimensional)
  void pdf_heightChanged();
  void PDF_EC_Lvl_Changed();
  void dm_modulesizeChanged();
  void Header_Color_Changed(QToolButton* well);
  void Value_Font_Changed();
  void Header_Font_Changed();
  void Footer_Font_Changed();
  void DPI_Value_Changed();
  void View_batch_Series_Button();
  // Typing into the value, header and footer fields; the multi-line value.
  void controlTextDidChange(QObject* field);
  void textDidChange();
  // The lists of the dialog, by the list that changed.
  void comboBoxSelectionDidChange(QComboBox* combo);

  // Help buttons: their text in the long-message dialog.
  void QR_Version_Help_Btn();
  void QR_EC_Lvl_Help_Btn();
  void PDF_ec_lvl_Help_btn();
  void DM_format_Help_btn();
  void DM_Encoding_Help_btn();
  void DPI_Help_Label();

 protected:
  // The preview is placed again once the dialog has its real size.
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  Barcode_Gen_Window();
  void build();
  void Liner_Barcode_Opt_Select();
  // The controls only linear symbologies use.
  void show_linear_only_controls(bool shown);
  void two_d_barcode_Opt_Select();
  void _setLabels();
  // Shows the designer's state in the controls, signals held back.
  void load_controls();
  void show_font_labels();
  void show_well(QToolButton* well, const CRDColor& color);
  CRDColor* well_color(QToolButton* well);
  void set_value_editable(bool editable);
  // The value-source list's handler and the pick of a series or column.
  void value_source_changed();
  void batch_series_picked();
  // Fills Batch_Series for the pending source; false when there is nothing to show.
  bool fill_batch_series(int source);

  // The three refreshes, each followed by showing the preview.
  void regenerate();
  void re_render();
  void redraw();
  void re_frame();
  void show_preview();
  // What the error label says while the preview is blank.
  QString blank_reason(bool bound) const;
  void show_custom_dpi(bool shown);
  void show_dm_least_size();
  void place_preview_again();
  void set_linear_width();
  void run_font_panel(QFont& font, QLabel* label, int which);

  Barcode_Designer designer_;
  // The value source chosen in this run; written into the graphic on OK.
  struct Binding {
    int data_source_type = 0;
    QString batch_list_name;
    int batch_list_index = 0;
    int excel_col_indx = 0;
  } binding_;
  bool scroll_h_on_ = false;
  bool scroll_v_on_ = false;
};
