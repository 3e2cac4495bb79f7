#pragma once
// The card side panel: the sidebar's card tabs (settings, background, border) shown while
// nothing is selected on the current side. Load() fills the controls from a side's
// settings; every control's handler writes the whole panel back into the current side's
// settings (Update_Card_Graphics) and redraws. The all-text font and colour of the
// settings tab apply to every text of the current side.
//
// The panel builds its controls into the window's three card pages and adopts the ones
// the window made at start-up (sides, preset, category, size list, size steppers, layout,
// hatch and border style combos).

#include "model/CRDColor.h"
#include "model/Card_Property.h"
#include "window/Card_Side_Settings.h"

#include <QFont>
#include <QObject>

class CRDWindowController;
class Color_Well;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class Card_Panel : public QObject {
  Q_OBJECT

 public:
  explicit Card_Panel(CRDWindowController& window);

  // ---- Loading and writing ---------------------------------------------------------------
  // Fills the controls from a side's settings (the caller holds Not_Draw_Only_Prop_Change)
  // and remembers the all-text values as shown.
  void Load(const Card_Property& side);
  // The controls' values.
  Card_Panel_Values values() const;
  // Writes the panel into the current side's settings and redraws; nothing while
  // Not_Draw_Only_Prop_Change is set.
  void Update_Card_Graphics();
  // The fill radios and the enabled fill controls for a fill code; writes nothing.
  void card_prop_set(const QString& fill_code);

  // ---- Handlers ------------------------------------------------------------------------
  void Set_Card_Clr();
  void Card_Border_ChkBox();
  void Card_Border_Changed();
  void Card_Gradient_Changed();
  void Card_Alpha_Changed();
  void Card_Fill_Chk_Box();
  void Card_Fill_RD_Sel(const QString& fill_code);  // the four radios
  void Card_Image_Browse_Btn();
  void Card_Image_Library_Btn();
  void Card_Width_Changed();
  void Card_Height_Changed();
  void Apply_Size_Clicked();
  void card_shape_CellClick(int row);

  // ---- All-text font and colour --------------------------------------------------------
  void Content_Font_Clicked();
  // The font dialog's answer: the new common font, then applied to the side's texts.
  void changeAllTextFont(const QFont& font);
  void Contect_Color_Clicked();
  void Update_All_Card_Content();
  // A new design: the font Text_Ctrl_Font at 14 points, black, nothing changed.
  void Reset_All_Text();
  QFont All_Text_font() const { return All_Text_font_; }
  CRDColor All_Text_clr() const;

  // Shows a background picture path.
  void Show_Card_Image_Path(const QString& path);

  // ---- Controls ------------------------------------------------------------------------
  // Border page.
  QCheckBox* Card_border_chk = nullptr;
  QGroupBox* Card_Border_Box = nullptr;
  Color_Well* Card_bordr_clr = nullptr;
  QSpinBox* Card_bor_Stepper = nullptr;  // the window's
  QComboBox* Card_border_style = nullptr;
  // Background page.
  QCheckBox* Card_fill_chk = nullptr;
  QGroupBox* Card_Fill_Box = nullptr;
  QRadioButton *Card_solid_fill_rd = nullptr, *Card_gradient_fill_rd = nullptr,
               *Card_Style_fill_rd = nullptr, *Card_Image_fill_rd = nullptr;
  Color_Well *Card_fill_clr = nullptr, *Card_fill_Grd_1_clr = nullptr,
             *Card_fill_Grd_2_clr = nullptr, *Card_hatch_bk_clr = nullptr;
  QDoubleSpinBox* Card_grad_Stepper = nullptr;  // degrees
  QComboBox* Card_hatch_style = nullptr;
  QGroupBox* Card_image_box = nullptr;
  QLineEdit* Card_Image_path = nullptr;
  QPushButton *Card_Image_Browse = nullptr, *Card_Image_Library = nullptr;
  QComboBox* Card_image_layout = nullptr;
  QSpinBox* Card_alpha_Stepper = nullptr;
  // Settings page.
  QLineEdit* card_name = nullptr;
  QGroupBox* matrix_card_shape = nullptr;
  QButtonGroup* card_shape_group = nullptr;
  QPushButton* Apply_Size = nullptr;
  QPushButton* All_Text_font_btn = nullptr;
  QLabel* All_Text_font_value = nullptr;
  Color_Well* All_Text_clr_well = nullptr;

 private:
  void build_settings_page();
  void build_background_page();
  void build_border_page();
  // The radios and the enabled fill controls of a fill code (the boxes untouched).
  void show_fill_kind(const QString& fill_code);
  CRDWindowController& window_;
  QFont All_Text_font_;
  // The all-text values as last loaded: a change since then applies to every text.
  CRDColor All_Text_clr_COPY;
  bool All_Text_font_changed_ = false;
};
