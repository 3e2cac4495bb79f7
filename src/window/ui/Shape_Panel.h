#pragma once
// The shape panel (the sidebar's shape page): border, fill (plain colour, gradient or
// hatch pattern), opacity and the variant of rounded rectangles, double stars and
// polygons. Load() fills it from a shape; every control writes the whole panel into the
// selected graphics of the current side (Update_Shape_Graphics).

#include "window/Object_Panel_Values.h"
#include "window/ui/Panel_Controls.h"

#include <QObject>

class CRDWindowController;
class QLabel;
class QRadioButton;

class Shape_Panel : public QObject {
  Q_OBJECT

 public:
  explicit Shape_Panel(CRDWindowController& window);

  // Shows the variant group of the shape code and fills the controls (the caller holds
  // Not_Draw_Only_Prop_Change). Answers the panel's title for the code, empty when unknown.
  QString Load(const CRDGraphic& graphic);
  Shape_Panel_Values values() const;
  void Update_Shape_Graphics();

  // Handlers.
  void Shape_Border_ChkBox();
  void Shape_Fill_Chk_Box();
  void Shape_Fill_RD_Sel(const QString& fill_kind);  // the three radios

  Border_Controls border;
  QCheckBox* Shape_fill_chk = nullptr;
  QGroupBox* Shape_Fill_Box = nullptr;
  QRadioButton *Shape_solid_fill_rd = nullptr, *Shape_gradient_fill_rd = nullptr,
               *Shape_Style_fill_rd = nullptr;
  Color_Well *shape_fill_clr = nullptr, *shape_fill_Grd_1_clr = nullptr,
             *shape_fill_Grd_2_clr = nullptr, *shape_hatch_bk_clr = nullptr;
  QSpinBox* shape_grad_Stepper = nullptr;
  QComboBox* shape_hatch_style = nullptr;  // the window's
  QSpinBox* shape_alpha_Stepper = nullptr;
  QLabel* shape_cor_radius_Label = nullptr;
  QDoubleSpinBox* shape_cor_radius_Stepper = nullptr;
  QLabel* double_star_Label = nullptr;
  QSpinBox* double_star_Stepper = nullptr;
  QLabel* polygon_Label = nullptr;
  QSpinBox* polygon_Stepper = nullptr;
  QLabel* Shape_prop_title = nullptr;

 private:
  // Radios and the enabled fill controls of a fill kind.
  void show_fill_kind(const QString& fill_kind);
  CRDWindowController& window_;
};
