#pragma once
// The line panel (the sidebar's line page): colour, width, dash, orientation, cap and
// opacity. Every control writes the whole panel into the selected graphics of the current
// side (Update_Line_Graphics), switching their stroke on.

#include "window/Object_Panel_Values.h"

#include <QObject>

class CRDWindowController;
class Color_Well;
class QComboBox;
class QSpinBox;

class Line_Panel : public QObject {
  Q_OBJECT

 public:
  explicit Line_Panel(CRDWindowController& window);

  void Load(const CRDGraphic& graphic);
  Line_Panel_Values values() const;
  void Update_Line_Graphics();

  Color_Well* Line_clr = nullptr;
  QSpinBox* Line_Wdt_Stepper = nullptr;
  QComboBox* Line_border_style = nullptr;
  QComboBox* Line_ori_style = nullptr;
  QComboBox* Line_cap_style = nullptr;
  QSpinBox* Line_alpha_Stepper = nullptr;

 private:
  CRDWindowController& window_;
};
