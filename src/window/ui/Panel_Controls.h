#pragma once
// Widgets and layout helpers the property panels share: a page's layout made anew, named
// controls, the border group (check box heading a box with width, colour and style), a
// slider over decimal values, and a spin box that reports only finished edits.

#include "window/Panel_Writeback.h"

#include <QSlider>

#include <initializer_list>

class Color_Well;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QHBoxLayout;
class QSpinBox;
class QVBoxLayout;
class QWidget;

// The page's start-up layout and its row labels go (its controls stay); a new vertical
// layout takes their place.
QVBoxLayout* Fresh_Page_Layout(QWidget* page);

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QHBoxLayout* Row_Of(std::initializer_list<QWidget*> widgets);

// A whole-number and a decimal spin box that report only finished edits (no keyboard
// tracking) within a range.
QSpinBox* Make_Int_Stepper(QWidget* parent, const char* name, int minimum, int maximum,
                           const QString& suffix = {});
QDoubleSpinBox* Make_Decimal_Stepper(QWidget* parent, const char* name, double minimum,
                                     double maximum, int decimals, const QString& suffix = {});

// The five border styles, items 0 to 4 in the order of the codes "S" to "DDD".
void Add_Border_Style_Items(QComboBox* combo);

// The border group of an object panel.
struct Border_Controls {
  QCheckBox* check = nullptr;
  QGroupBox* box = nullptr;
  QSpinBox* width = nullptr;
  Color_Well* color = nullptr;
  QComboBox* style = nullptr;

  Border_Group values() const;
  // Loads the group; the box is enabled exactly when the check box is on.
  void load(const Border_Group& group);
  // The box enabled exactly when the check box is on.
  void enable_box();
};
// Builds the group into the layout. Names: check box, box, width stepper, colour well,
// style combo; `style` is adopted when given (else made).
Border_Controls Make_Border_Controls(QWidget* page, QVBoxLayout* layout,
                                     std::initializer_list<const char*> names,
                                     QComboBox* style = nullptr);

// A slider over decimal values: the integer range is the decimal range times the scale,
// so values of two decimals (the reset values among them) are held exactly.
class Decimal_Slider : public QSlider {
  Q_OBJECT

 public:
  Decimal_Slider(QWidget* parent, const char* name, double minimum, double maximum,
                 int scale = 100);
  double decimalValue() const { return value() / double(scale_); }
  void setDecimalValue(double value);

 private:
  int scale_;
};
