#pragma once
// What the two spreadsheet dialogs share: the workbook's path, the sheet list, the header
// box and the column list with Select All and Clear All, OK and Cancel. The dialogs add
// their own controls to extra_box and their own OK.

#include "series/SpreadsheetWriter.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableView;
class QVBoxLayout;
class Sheet_Column_List;

class Sheet_Picker : public QDialog {
  Q_OBJECT

 public:
  QLineEdit* file_path = nullptr;        // the workbook's path; OK reads it
  QCheckBox* contains_header = nullptr;  // the first row holds the titles
  QComboBox* Sheet_ComboBox = nullptr;   // the worksheets
  Sheet_Column_List* ListData_xl = nullptr;
  QTableView* ColList = nullptr;

  // Resets the dialog, reads the workbook and runs the dialog modally; answers the modal
  // code (1 after an import, 0 by Cancel or when the workbook cannot be read).
  int Open_excel_Wnd(const QString& path);

  // Unpacks the workbook and lists its worksheets; the first one is chosen. False, after
  // saying "Either file is corrupted ...", when there is none.
  bool Load_file_Func(const QString& path);

 public slots:
  // A sheet was chosen: its titles fill the column list (a sheet without titles empties it).
  void comboBoxSelectionDidChange(int index);
  void Select_ALL_Pressed();
  void Clear_All_Pressed();
  virtual void OKPressed() = 0;
  void CancelPressed();
  void reject() override { CancelPressed(); }

 protected:
  Sheet_Picker(const char* name, const QString& title, bool with_header_column);
  // Resets the dialog's own controls before each opening.
  virtual void Reset() {}
  // Checks that there are columns and a ticked one; says why not.
  bool Check_Choice();
  // The rows of the chosen sheet; the reader's reason in *reason when it cannot be read.
  Sheet_Rows Read_Rows(QString* reason = nullptr) const;
  bool Header_On() const;
  // Fills the column list with a sheet's titles.
  void Show_Titles(const QStringList& titles);

  QWidget* extra_box = nullptr;
  QVBoxLayout* extra_layout = nullptr;
};
