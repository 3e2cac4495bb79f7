#pragma once
// The series viewer: the values of one series, read-only, with their number. The caller
// sets file_name (the series' name) and calls Open_Wnd.

#include <QDialog>

class QLabel;
class QLineEdit;
class QTableView;
class Series_List_Model;

class View_Data_Series : public QDialog {
  Q_OBJECT

 public:
  static View_Data_Series* defaultInstance();
  // What the dialogs with a series combo box do: the chosen name, trimmed, is shown in the
  // viewer; an empty one is refused with "Please select the series.".
  static void View_Series(const QString& chosen);

  // Reads the series file anew, shows its values and runs the viewer until OK.
  void Open_Wnd();
  // Reads the named series into the list (missing or not UTF-8: no values).
  void Load_file_Func(const QString& name);
  void Update_batch_List_Count();

  QString file_name;
  QLineEdit* series_name = nullptr;
  Series_List_Model* ListData = nullptr;  // the values ("Extension")
  QTableView* List = nullptr;
  QLabel* list_count = nullptr;           // "Total Rows : %d"

 public slots:
  void OK_Btn_Clicked();  // ends the run with 1
  void reject() override { OK_Btn_Clicked(); }

 private:
  View_Data_Series();
};
