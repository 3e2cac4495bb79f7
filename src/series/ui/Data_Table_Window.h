#pragma once
// The window of the spreadsheet data table: the rows card objects bind to, with the row and
// column counts. It shows the one table (Data_From_Excel::defaultInstance()); cells may be
// edited in place. The view buttons call Open_Wnd and ignore its code.

#include <QDialog>

class QLabel;
class QTableView;

class Data_Table_Window : public QDialog {
  Q_OBJECT

 public:
  static Data_Table_Window* defaultInstance();

  QTableView* ColList = nullptr;
  QLabel* rows_count = nullptr;
  QLabel* column_count = nullptr;

  // Shows the counts and runs the window modally; answers the modal code (1 by OK).
  int Open_Wnd();
  // Selects that row alone and shows it.
  void Mark_List_New_Selection(int row);

 public slots:
  void OK_Click();
  void reject() override { OK_Click(); }

 private:
  Data_Table_Window();
  // Shows the table's current counts.
  void Show_Counts();
};
