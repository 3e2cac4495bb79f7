#pragma once
// The spreadsheet columns import: the chosen columns of a sheet become series, one per
// column (named in the list's "Series Name" column) or all into one series (a new one, one
// replaced, or one appended to). The import wizard copies its file_name_Insert and calls
// Open_excel_Wnd with the path.

#include "series/ui/Sheet_Picker.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

class Import_Excel_DataSheet : public Sheet_Picker {
  Q_OBJECT

 public:
  static Import_Excel_DataSheet* defaultInstance();

  QRadioButton* Each_col_RD = nullptr;  // one series per column
  QRadioButton* Fill_col_RD = nullptr;  // all columns into one series
  QGroupBox* fill_box = nullptr;        // the one-series controls
  QButtonGroup* matrix_fill_type = nullptr;  // 0 new series, 1 replace, 2 append
  QLineEdit* list_name = nullptr;        // the new series' name
  QComboBox* List_ComboBox = nullptr;    // the existing series
  int fill_col_option = 0;
  // 1: refill the series manager's list of series at the end.
  int file_name_Insert = 0;

  // One series per ticked column; ends the run with 1.
  void Create_file_For_Col_Func();
  // All ticked columns into one series; false when the dialog stays open.
  bool Insert_file_Func();

 public slots:
  void Each_Col_RD_Click();
  void Fill_Col_RD_Click();
  void Fill_Type_CellClick(int option);
  void OKPressed() override;

 protected:
  void Reset() override;

 private:
  Import_Excel_DataSheet();
};
