#pragma once
// The sheet and column picker: the chosen columns of a sheet either feed the series
// manager's value list row by row (mode "D", from the import wizard) or become the
// spreadsheet data table that card objects bind to (any other mode, "E" from the profile
// dialogs). The caller sets open_mode, then calls Open_excel_Wnd with the path.

#include "series/ui/Sheet_Picker.h"

class Import_Excel : public Sheet_Picker {
  Q_OBJECT

 public:
  static Import_Excel* defaultInstance();

  QString open_mode = QStringLiteral("D");

  // Mode "D": the chosen cells into the manager's value list.
  void Insert_file_Func();
  // Other modes: the chosen columns and the data rows become the data table.
  void Create_Excel_List_Func();

 public slots:
  void OKPressed() override;

 private:
  Import_Excel();
};
