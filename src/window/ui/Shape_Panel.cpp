#include "window/ui/Shape_Panel.h"

#include "model/Shared_Design_State.h"
#include "model/ui/Set_Obj_Enabled.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Color_Well.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

Shape_Panel::Shape_Panel(CRDWindowController& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("Shape_Panel"));
  QWidget* page = window.shape_tab;
  shape_hatch_style = window.shape_hatch_style;
  QComboBox* style = window.shape_border_style;
  auto* layout = Fresh_Page_Layout(page);
  Shape_prop_title = Named(new QLabel(page), "Shape_prop_title");
  QFont bold = Shape_prop_title->font();
  bold.setBold(true);
  Shape_prop_title->setFont(bold);
  layout->addWidget(Shape_prop_title);
  border = Make_Border_Controls(page, layout,
                                {"Shape_border_chk", "Shape_Border_Box", "shape_bor_Stepper",
                                 "shape_bordr_clr", "shape_border_style"},
                                style);

  Shape_fill_chk = Named(new QCheckBox(QStringLiteral("Fill"), page), "Shape_fill_chk");
  Shape_Fill_Box = Named(new QGroupBox(page), "Shape_Fill_Box");
  QGroupBox* box = Shape_Fill_Box;
  Shape_solid_fill_rd = Named(new QRadioButton(QStringLiteral("Colour"), box), "Shape_solid_fill_rd");
  Shape_gradient_fill_rd =
      Named(new QRadioButton(QStringLiteral("Gradient"), box), "Shape_gradient_fill_rd");
  Shape_Style_fill_rd = Named(new QRadioButton(QStringLiteral("Pattern"), box), "Shape_Style_fill_rd");
  shape_fill_clr = new Color_Well(box, QStringLiteral("shape_fill_clr"));
  shape_fill_Grd_1_clr = new Color_Well(box, QStringLiteral("shape_fill_Grd_1_clr"));
  shape_fill_Grd_2_clr = new Color_Well(box, QStringLiteral("shape_fill_Grd_2_clr"));
  shape_grad_Stepper = Make_Int_Stepper(box, "shape_grad_Stepper", 0, 360, QStringLiteral("°"));
  shape_hatch_style->setParent(box);
  shape_hatch_bk_clr = new Color_Well(box, QStringLiteral("shape_hatch_bk_clr"));
  auto* fill = new QFormLayout(box);
  fill->addRow(Shape_solid_fill_rd, shape_fill_clr);
  fill->addRow(Shape_gradient_fill_rd, Row_Of({shape_fill_Grd_1_clr, shape_fill_Grd_2_clr}));
  fill->addRow(QStringLiteral("Angle"), shape_grad_Stepper);
  fill->addRow(Shape_Style_fill_rd, shape_hatch_style);
  fill->addRow(QStringLiteral("Under the pattern"), shape_hatch_bk_clr);
  layout->addWidget(Shape_fill_chk);
  layout->addWidget(Shape_Fill_Box);

  shape_alpha_Stepper = Make_Int_Stepper(page, "shape_alpha_Stepper", 0, 100, QStringLiteral(" %"));
  shape_cor_radius_Label = Named(new QLabel(QStringLiteral("Corner radius"), page), "shape_cor_radius_Label");
  shape_cor_radius_Stepper =
      Make_Decimal_Stepper(page, "shape_cor_radius_Stepper", 0, 500, 1, QStringLiteral(" pt"));
  double_star_Label = Named(new QLabel(QStringLiteral("Points"), page), "double_star_Label");
  double_star_Stepper = Make_Int_Stepper(page, "double_star_Stepper", 1, 5);
  polygon_Label = Named(new QLabel(QStringLiteral("Variant"), page), "polygon_Label");
  polygon_Stepper = Make_Int_Stepper(page, "polygon_Stepper", 1, 5);
  auto* more = new QFormLayout;
  more->addRow(QStringLiteral("Opacity"), shape_alpha_Stepper);
  more->addRow(shape_cor_radius_Label, shape_cor_radius_Stepper);
  more->addRow(double_star_Label, double_star_Stepper);
  more->addRow(polygon_Label, polygon_Stepper);
  layout->addLayout(more);
  layout->addStretch(1);

  connect(border.check, &QCheckBox::clicked, this, &Shape_Panel::Shape_Border_ChkBox);
  connect(Shape_fill_chk, &QCheckBox::clicked, this, &Shape_Panel::Shape_Fill_Chk_Box);
  const std::pair<QRadioButton*, const char*> radios[] = {
      {Shape_solid_fill_rd, "S"}, {Shape_gradient_fill_rd, "G"}, {Shape_Style_fill_rd, "H"}};
  for (const auto& [radio, code] : radios) {
    const QString kind = QString::fromLatin1(code);
    connect(radio, &QRadioButton::clicked, this, [this, kind] { Shape_Fill_RD_Sel(kind); });
  }
  for (Color_Well* well : {border.color, shape_fill_clr, shape_fill_Grd_1_clr, shape_fill_Grd_2_clr,
                           shape_hatch_bk_clr})
    connect(well, &Color_Well::colorChanged, this, &Shape_Panel::Update_Shape_Graphics);
  for (QSpinBox* stepper : {border.width, shape_grad_Stepper, shape_alpha_Stepper,
                            double_star_Stepper, polygon_Stepper})
    connect(stepper, &QSpinBox::valueChanged, this, &Shape_Panel::Update_Shape_Graphics);
  connect(shape_cor_radius_Stepper, &QDoubleSpinBox::valueChanged, this,
          &Shape_Panel::Update_Shape_Graphics);
}

QString Shape_Panel::Load(const CRDGraphic& graphic) {
  const QString code = graphic.Get_shape_type();
  const Shape_Variant variant = Shape_Variant_Of(code);
  const std::pair<Shape_Variant, std::pair<QWidget*, QWidget*>> groups[] = {
      {Shape_Variant::Corner_Radius, {shape_cor_radius_Label, shape_cor_radius_Stepper}},
      {Shape_Variant::Double_Star, {double_star_Label, double_star_Stepper}},
      {Shape_Variant::Polygon, {polygon_Label, polygon_Stepper}}};
  for (const auto& [kind, widgets] : groups) {
    widgets.first->setVisible(kind == variant);
    widgets.second->setVisible(kind == variant);
  }
  const QString title = Shape_Panel_Title(code);
  if (!title.isEmpty()) Shape_prop_title->setText(title);

  const Shape_Panel_Values v = Load_Shape_Panel(graphic);
  border.load(v.border);
  Shape_fill_chk->setChecked(v.fill_on);
  shape_fill_clr->setColor(v.fill_color);
  shape_fill_Grd_1_clr->setColor(v.gradient_start);
  shape_fill_Grd_2_clr->setColor(v.gradient_end);
  shape_grad_Stepper->setValue(int(std::lround(v.gradient_angle)));
  shape_hatch_bk_clr->setColor(v.hatch_background);
  shape_hatch_style->setCurrentIndex(v.hatch_name.isEmpty() ? -1 : shape_hatch_style->findText(v.hatch_name));
  shape_alpha_Stepper->setValue(int(std::lround(v.opacity_percent)));
  shape_cor_radius_Stepper->setValue(v.corner_radius);
  double_star_Stepper->setValue(v.double_star);
  polygon_Stepper->setValue(v.polygon);
  SetObjEnabled(Shape_Fill_Box, v.fill_on);
  show_fill_kind(v.fill_kind);
  return title;
}

Shape_Panel_Values Shape_Panel::values() const {
  Shape_Panel_Values v;
  v.border = border.values();
  v.fill_on = Shape_fill_chk->isChecked();
  v.fill_color = shape_fill_clr->color();
  v.fill_kind = Shape_gradient_fill_rd->isChecked() ? QStringLiteral("G")
                : Shape_Style_fill_rd->isChecked()  ? QStringLiteral("H")
                                                    : QStringLiteral("S");
  v.gradient_start = shape_fill_Grd_1_clr->color();
  v.gradient_end = shape_fill_Grd_2_clr->color();
  v.gradient_angle = shape_grad_Stepper->value();
  v.hatch_background = shape_hatch_bk_clr->color();
  v.hatch_name = shape_hatch_style->currentIndex() < 0 ? QString() : shape_hatch_style->currentText();
  v.opacity_percent = shape_alpha_Stepper->value();
  v.corner_radius = shape_cor_radius_Stepper->value();
  v.double_star = double_star_Stepper->value();
  v.polygon = polygon_Stepper->value();
  v.print_object = window_.print_object_chk->isChecked() ? 1 : 0;
  return v;
}

void Shape_Panel::Update_Shape_Graphics() {
  if (Not_Draw_Only_Prop_Change) return;
  const Shape_Panel_Values v = values();
  Write_Selected_Graphics(window_.current_canvas()->selectedGraphics(),
                          [&v](CRDGraphic& g) { Write_Shape_Panel(v, g); });
}

void Shape_Panel::Shape_Border_ChkBox() {
  border.enable_box();
  Update_Shape_Graphics();
}

void Shape_Panel::Shape_Fill_Chk_Box() {
  SetObjEnabled(Shape_Fill_Box, Shape_fill_chk->isChecked());
  // The fill kind's controls keep their own states inside the box.
  if (Shape_fill_chk->isChecked())
    show_fill_kind(values().fill_kind);
  Update_Shape_Graphics();
}

void Shape_Panel::Shape_Fill_RD_Sel(const QString& fill_kind) {
  show_fill_kind(fill_kind);
  Update_Shape_Graphics();
}

void Shape_Panel::show_fill_kind(const QString& fill_kind) {
  const bool gradient = fill_kind == QLatin1String("G");
  const bool hatch = fill_kind == QLatin1String("H");
  const bool plain = !gradient && !hatch;
  Shape_solid_fill_rd->setChecked(plain);
  Shape_gradient_fill_rd->setChecked(gradient);
  Shape_Style_fill_rd->setChecked(hatch);
  if (!Shape_fill_chk->isChecked()) return;  // the whole box stays disabled
  shape_fill_clr->setEnabled(plain);
  for (QWidget* w : {static_cast<QWidget*>(shape_fill_Grd_1_clr), static_cast<QWidget*>(shape_fill_Grd_2_clr),
                     static_cast<QWidget*>(shape_grad_Stepper)})
    w->setEnabled(gradient);
  shape_hatch_style->setEnabled(hatch);
  shape_hatch_bk_clr->setEnabled(hatch);
}
