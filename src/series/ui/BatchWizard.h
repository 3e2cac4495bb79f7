#pragma once
// The series manager: the list of series (open, add, delete, generate) on its first screen,
// and the values of one series (edit, delete, generate, save, export) on its second. The
// generator feeds its value list (Append_Values) and refills its list (Fill_List).

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class Load_Num_Info;
class Series_List_Model;
class Update_Ex_Num;

class BatchWizard : public QDialog {
  Q_OBJECT

 public:
  static BatchWizard* defaultInstance();

  // Creates the data folders when missing, shows the list screen with a fresh list of
  // series and runs the manager modally until a Close button ends it.
  void Open_Wnd();

  Series_List_Model* ListData = nullptr;        // the series' names ("Extension")
  QTableView* List = nullptr;
  Series_List_Model* ListData_value = nullptr;  // the editor's values ("Header")
  QTableView* List_value = nullptr;
  Load_Num_Info* Load_Number_Window = nullptr;
  Update_Ex_Num* Update_Value_Wnd = nullptr;
  QLineEdit *Update_m_ex_num_str = nullptr, *Update_m_s_number = nullptr,
            *Update_m_ex_num_index = nullptr;
  QLineEdit* batch_list_name = nullptr;  // the series' name on the editor screen
  QLabel* batch_list_count = nullptr;    // "Total List : %d"
  QLabel* batch_value_count = nullptr;   // "Total Rows : %d"
  QWidget *avl_list_box = nullptr, *list_value_box = nullptr, *btn_box1 = nullptr,
          *btn_box2 = nullptr;
  QLineEdit* update_list_name = nullptr;  // hidden: the loaded series, "" for a new one

  // Refills the list of series from the series folder.
  void Fill_List();
  void Show_hide_first_screen(bool hide);
  void Show_hide_Last_screen(bool hide);
  // Checks that a series is selected; says why not.
  bool Batch_List_Selection_Validation();
  // Loads the selected series into the editor.
  void On_Update();
  // Appends a name to the list of series, a value (or many) to the value list: trimmed,
  // left out when empty.
  void Create_Avail_List(const QString& name);
  void Create_Value_List(const QString& value);
  void Append_Values(const QStringList& values);
  void Update_Value_List_Count();
  void Update_batch_List_Count();
  // Opens the edit sheet for the selected value.
  void OnGetSelected();

 public slots:
  void Help_Btn_Clicked();
  void AddNew_Btn_Clicked();
  void Update_Btn_Clicked() { On_Update(); }
  void CreateSeries_Btn_Clicked();
  void Delete_List_Btn_Clicked();
  void Close_Btn_Clicked();
  void Series_Value_Btn_Clicked();
  // The import wizard: a new series (list screen), or values for the editor.
  void Import_Btn_Clicked();
  void Import_Value_Btn_Clicked();
  void Delete_Rows_Btn_Clicked();
  void Export_Value_Btn_Clicked();
  void Back_Btn_Clicked();
  void Save_Btn_Clicked();
  void doubleClickInTable(QTableView* table);
  void reject() override { Close_Btn_Clicked(); }

 private:
  BatchWizard();
  // Before values are fed from another dialog: asks whether the editor's values go first;
  // false when the user cancelled.
  bool Make_Room_For_Values();
  QStackedWidget* screens_ = nullptr;
};
