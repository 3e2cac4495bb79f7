#include "window/ui/Panel_Controls.h"

#include "model/ui/Set_Obj_Enabled.h"
#include "window/ui/Color_Well.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {
void delete_row_labels(QLayout* layout) {
  for (int i = 0; layout && i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (auto* label = qobject_cast<QLabel*>(item->widget())) label->deleteLater();
    delete_row_labels(item->layout());
  }
}
}  // namespace

QVBoxLayout* Fresh_Page_Layout(QWidget* page) {
  delete_row_labels(page->layout());
  delete page->layout();
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(6, 6, 6, 6);
  return layout;
}

QHBoxLayout* Row_Of(std::initializer_list<QWidget*> widgets) {
  auto* row = new QHBoxLayout;
  for (QWidget* w : widgets) row->addWidget(w);
  row->addStretch(1);
  return row;
}

QSpinBox* Make_Int_Stepper(QWidget* parent, const char* name, int minimum, int maximum,
                           const QString& suffix) {
  auto* stepper = Named(new QSpinBox(parent), name);
  stepper->setRange(minimum, maximum);
  stepper->setSuffix(suffix);
  stepper->setKeyboardTracking(false);
  return stepper;
}

QDoubleSpinBox* Make_Decimal_Stepper(QWidget* parent, const char* name, double minimum,
                                     double maximum, int decimals, const QString& suffix) {
  auto* stepper = Named(new QDoubleSpinBox(parent), name);
  stepper->setRange(minimum, maximum);
  stepper->setDecimals(decimals);
  stepper->setSuffix(suffix);
  stepper->setKeyboardTracking(false);
  return stepper;
}

void Add_Border_Style_Items(QComboBox* combo) {
  for (const char* item : {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"})
    combo->addItem(QString::fromLatin1(item));
}

Border_Group Border_Controls::values() const {
  return {check->isChecked(), color->color(), width->value(), style->currentIndex()};
}

void Border_Controls::load(const Border_Group& group) {
  check->setChecked(group.on);
  color->setColor(group.color);
  width->setValue(group.width);
  if (group.style >= 0) style->setCurrentIndex(group.style);
  enable_box();
}

void Border_Controls::enable_box() { SetObjEnabled(box, check->isChecked()); }

Border_Controls Make_Border_Controls(QWidget* page, QVBoxLayout* layout,
                                     std::initializer_list<const char*> names, QComboBox* style) {
  const char* const* n = names.begin();
  Border_Controls c;
  c.check = Named(new QCheckBox(QStringLiteral("Border"), page), n[0]);
  c.box = Named(new QGroupBox(page), n[1]);
  c.width = Make_Int_Stepper(c.box, n[2], 0, 100, QStringLiteral(" pt"));
  c.color = new Color_Well(c.box, QString::fromLatin1(n[3]));
  if (!style) {
    style = Named(new QComboBox(c.box), n[4]);
    Add_Border_Style_Items(style);
  }
  c.style = style;
  c.style->setParent(c.box);
  auto* form = new QFormLayout(c.box);
  form->addRow(QStringLiteral("Colour"), c.color);
  form->addRow(QStringLiteral("Width"), c.width);
  form->addRow(QStringLiteral("Style"), c.style);
  layout->addWidget(c.check);
  layout->addWidget(c.box);
  return c;
}

Decimal_Slider::Decimal_Slider(QWidget* parent, const char* name, double minimum, double maximum,
                               int scale)
    : QSlider(Qt::Horizontal, parent), scale_(scale) {
  setObjectName(QString::fromLatin1(name));
  setRange(int(std::lround(minimum * scale)), int(std::lround(maximum * scale)));
}

void Decimal_Slider::setDecimalValue(double value) { setValue(int(std::lround(value * scale_))); }
