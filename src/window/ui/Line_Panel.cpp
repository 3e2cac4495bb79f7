#include "window/ui/Line_Panel.h"

#include "model/Shared_Design_State.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Color_Well.h"
#include "window/ui/Panel_Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

Line_Panel::Line_Panel(CRDWindowController& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("Line_Panel"));
  QWidget* page = window.line_tab;
  auto* layout = Fresh_Page_Layout(page);
  Line_clr = new Color_Well(page, QStringLiteral("Line_clr"));
  Line_Wdt_Stepper = Make_Int_Stepper(page, "Line_Wdt_Stepper", 1, 100, QStringLiteral(" pt"));
  Line_border_style = Named(new QComboBox(page), "Line_border_style");
  Add_Border_Style_Items(Line_border_style);
  // The orientation is only stored; the cap items follow the platform's cap values.
  Line_ori_style = Named(new QComboBox(page), "Line_ori_style");
  Line_ori_style->addItems({QStringLiteral("Free"), QStringLiteral("Horizontal"),
                            QStringLiteral("Vertical")});
  Line_cap_style = Named(new QComboBox(page), "Line_cap_style");
  Line_cap_style->addItems({QStringLiteral("Butt"), QStringLiteral("Round"), QStringLiteral("Square")});
  Line_alpha_Stepper = Make_Int_Stepper(page, "Line_alpha_Stepper", 0, 100, QStringLiteral(" %"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Colour"), Line_clr);
  form->addRow(QStringLiteral("Width"), Line_Wdt_Stepper);
  form->addRow(QStringLiteral("Style"), Line_border_style);
  form->addRow(QStringLiteral("Orientation"), Line_ori_style);
  form->addRow(QStringLiteral("Cap"), Line_cap_style);
  form->addRow(QStringLiteral("Opacity"), Line_alpha_Stepper);
  layout->addLayout(form);
  layout->addStretch(1);

  connect(Line_clr, &Color_Well::colorChanged, this, &Line_Panel::Update_Line_Graphics);
  for (QSpinBox* stepper : {Line_Wdt_Stepper, Line_alpha_Stepper})
    connect(stepper, &QSpinBox::valueChanged, this, &Line_Panel::Update_Line_Graphics);
}

void Line_Panel::Load(const CRDGraphic& graphic) {
  const Line_Panel_Values v = Load_Line_Panel(graphic);
  Line_clr->setColor(v.color);
  Line_Wdt_Stepper->setValue(v.width);
  if (v.style >= 0) Line_border_style->setCurrentIndex(v.style);
  Line_cap_style->setCurrentIndex(v.cap);
  Line_ori_style->setCurrentIndex(v.orientation);
  Line_alpha_Stepper->setValue(int(std::lround(v.opacity_percent)));
}

Line_Panel_Values Line_Panel::values() const {
  Line_Panel_Values v;
  v.color = Line_clr->color();
  v.width = Line_Wdt_Stepper->value();
  v.style = Line_border_style->currentIndex();
  v.cap = Line_cap_style->currentIndex();
  v.orientation = Line_ori_style->currentIndex();
  v.opacity_percent = Line_alpha_Stepper->value();
  v.print_object = window_.print_object_chk->isChecked() ? 1 : 0;
  return v;
}

void Line_Panel::Update_Line_Graphics() {
  if (Not_Draw_Only_Prop_Change) return;
  const Line_Panel_Values v = values();
  Write_Selected_Graphics(window_.current_canvas()->selectedGraphics(),
                          [&v](CRDGraphic& g) { Write_Line_Panel(v, g); });
}
