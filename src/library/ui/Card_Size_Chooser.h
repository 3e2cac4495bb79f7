#pragma once
// The card-size chooser: a category list (entry 0 "PVC Card", then paper badges), an
// orientation list (entry 0 "Horizontal"), the table of the category's presets and the
// card's width and height in millimetres. Selecting a preset row shows its size in the
// orientation chosen; the size fields can also be typed.

#include "library/Card_Presets.h"

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QTableView;

class Card_Size_Chooser : public QWidget {
  Q_OBJECT

 public:
  explicit Card_Size_Chooser(QWidget* parent = nullptr);

  // A change of the category list rebuilds the preset table and selects its row 0; any
  // other list's change is ignored.
  void comboBoxSelectionDidChange(QObject* sender);
  // Adds one preset row (trimmed; blanks only add nothing).
  void Create_List(const QString& name);
  // Selects exactly that row, which shows its size.
  void Mark_List_New_Selection(int row);
  // Shows the selected preset's size (30 x 30 mm when no row is selected).
  void tableViewSelectionDidChange();
  // Stores an edited cell; a row outside the table is logged and changes nothing.
  bool tableView_setObjectValue(int row, const QString& column, const QVariant& value);

  // Entry 0 of every list, the PVC presets and their first row.
  void Reset();
  // The size in the fields, in millimetres.
  QSizeF Size_mm() const;

  QComboBox* Category_ComboBox = nullptr;
  QComboBox* Preset_ComboBox = nullptr;
  Preset_List* ListData = nullptr;
  QTableView* ColList = nullptr;
  QDoubleSpinBox* width_Stepper = nullptr;
  QDoubleSpinBox* height_Stepper = nullptr;
};
