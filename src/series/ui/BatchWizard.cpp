#include "series/ui/BatchWizard.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "series/Data_Series_Store.h"
#include "series/Series_Manager_Rules.h"
#include "series/ui/Generate_List.h"
#include "series/ui/Import_Wizard.h"
#include "series/ui/Series_Dialog_Parts.h"
#include "series/ui/Series_List_Model.h"
#include "series/ui/Series_Value_Sheets.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

BatchWizard* BatchWizard_Instance = nullptr;

const QString List_Empty = QStringLiteral("List is empty.");

QWidget* Button_Column(QWidget* parent, const char* name, const QList<QPushButton*>& buttons,
                       const QList<QPushButton*>& bottom) {
  auto* box = new QWidget(parent);
  box->setObjectName(QString::fromLatin1(name));
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  for (QPushButton* button : buttons) column->addWidget(button);
  column->addStretch();
  for (QPushButton* button : bottom) column->addWidget(button);
  return box;
}

}  // namespace

BatchWizard* BatchWizard::defaultInstance() {
  if (!BatchWizard_Instance) BatchWizard_Instance = new BatchWizard;
  return BatchWizard_Instance;
}

BatchWizard::BatchWizard() {
  setObjectName(QStringLiteral("BatchWizard"));
  setWindowTitle(QStringLiteral("Batch Processing Series"));
  Series_Dialog_Background(this);
  resize(560, 460);

  // List screen.
  ListData = new Series_List_Model(QStringLiteral("Extension"),
                                   QStringLiteral("Batch Processing Series"), this);
  List = Make_Series_Table(ListData, QStringLiteral("List"), this);
  batch_list_count = new QLabel(this);
  batch_list_count->setObjectName(QStringLiteral("batch_list_count"));
  avl_list_box = new QWidget(this);
  avl_list_box->setObjectName(QStringLiteral("avl_list_box"));
  auto* list_column = new QVBoxLayout(avl_list_box);
  list_column->setContentsMargins(0, 0, 0, 0);
  list_column->addWidget(List);
  list_column->addWidget(batch_list_count);

  QPushButton* create = Named_Button(QStringLiteral("Create Series..."), "CreateSeries_btn", this);
  QPushButton* import = Named_Button(QStringLiteral("Import..."), "Import_btn", this);
  QPushButton* add = Named_Button(QStringLiteral("Add New"), "AddNew_btn", this);
  QPushButton* update = Named_Button(QStringLiteral("Update"), "Update_btn", this);
  QPushButton* remove = Named_Button(QStringLiteral("Delete"), "Delete_List_btn", this);
  QPushButton* help = Named_Button(QStringLiteral("Help"), "Help_btn", this);
  QPushButton* close = Named_Button(QStringLiteral("Close"), "Close_btn", this);
  connect(create, &QPushButton::clicked, this, &BatchWizard::CreateSeries_Btn_Clicked);
  connect(import, &QPushButton::clicked, this, &BatchWizard::Import_Btn_Clicked);
  connect(add, &QPushButton::clicked, this, &BatchWizard::AddNew_Btn_Clicked);
  connect(update, &QPushButton::clicked, this, &BatchWizard::Update_Btn_Clicked);
  connect(remove, &QPushButton::clicked, this, &BatchWizard::Delete_List_Btn_Clicked);
  connect(help, &QPushButton::clicked, this, &BatchWizard::Help_Btn_Clicked);
  connect(close, &QPushButton::clicked, this, &BatchWizard::Close_Btn_Clicked);
  btn_box1 = Button_Column(this, "btn_box1", {create, import, add, update, remove}, {help, close});

  auto* first = new QWidget(this);
  auto* first_row = new QHBoxLayout(first);
  first_row->addWidget(avl_list_box, 1);
  first_row->addWidget(btn_box1);

  // Editor screen.
  batch_list_name = Named_Field("batch_list_name", this);
  update_list_name = Named_Field("update_list_name", this);
  update_list_name->hide();
  ListData_value = new Series_List_Model(QStringLiteral("Header"), QStringLiteral("Value"), this);
  List_value = Make_Series_Table(ListData_value, QStringLiteral("List_value"), this);
  batch_value_count = new QLabel(this);
  batch_value_count->setObjectName(QStringLiteral("batch_value_count"));
  list_value_box = new QWidget(this);
  list_value_box->setObjectName(QStringLiteral("list_value_box"));
  auto* value_column = new QVBoxLayout(list_value_box);
  value_column->setContentsMargins(0, 0, 0, 0);
  auto* name_row = new QHBoxLayout;
  name_row->addWidget(new QLabel(QStringLiteral("Series name:"), this));
  name_row->addWidget(batch_list_name, 1);
  value_column->addLayout(name_row);
  value_column->addWidget(List_value);
  value_column->addWidget(batch_value_count);
  value_column->addWidget(update_list_name);

  QPushButton* generate = Named_Button(QStringLiteral("Generate Values..."), "Series_Value_btn", this);
  QPushButton* import_values =
      Named_Button(QStringLiteral("Import Values..."), "Import_Value_btn", this);
  QPushButton* delete_rows = Named_Button(QStringLiteral("Delete Values"), "Delete_Rows_btn", this);
  QPushButton* save = Named_Button(QStringLiteral("Save"), "Save_btn", this);
  QPushButton* export_values = Named_Button(QStringLiteral("Export..."), "Export_Value_btn", this);
  QPushButton* back = Named_Button(QStringLiteral("Back"), "Back_btn", this);
  QPushButton* help2 = Named_Button(QStringLiteral("Help"), "Help_2_btn", this);
  QPushButton* close2 = Named_Button(QStringLiteral("Close"), "Close_2_btn", this);
  connect(generate, &QPushButton::clicked, this, &BatchWizard::Series_Value_Btn_Clicked);
  connect(import_values, &QPushButton::clicked, this, &BatchWizard::Import_Value_Btn_Clicked);
  connect(delete_rows, &QPushButton::clicked, this, &BatchWizard::Delete_Rows_Btn_Clicked);
  connect(save, &QPushButton::clicked, this, &BatchWizard::Save_Btn_Clicked);
  connect(export_values, &QPushButton::clicked, this, &BatchWizard::Export_Value_Btn_Clicked);
  connect(back, &QPushButton::clicked, this, &BatchWizard::Back_Btn_Clicked);
  connect(help2, &QPushButton::clicked, this, &BatchWizard::Help_Btn_Clicked);
  connect(close2, &QPushButton::clicked, this, &BatchWizard::Close_Btn_Clicked);
  btn_box2 = Button_Column(this, "btn_box2", {generate, import_values, delete_rows, save, export_values},
                           {back, help2, close2});

  auto* second = new QWidget(this);
  auto* second_row = new QHBoxLayout(second);
  second_row->addWidget(list_value_box, 1);
  second_row->addWidget(btn_box2);

  screens_ = new QStackedWidget(this);
  screens_->addWidget(first);
  screens_->addWidget(second);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(screens_);

  connect(List, &QTableView::doubleClicked, this, [this] { doubleClickInTable(List); });
  connect(List_value, &QTableView::doubleClicked, this, [this] { doubleClickInTable(List_value); });

  Load_Number_Window = new Load_Num_Info(this);
  Update_Value_Wnd = new Update_Ex_Num(ListData_value, this);
  Update_m_ex_num_str = Update_Value_Wnd->m_ex_num_str;
  Update_m_s_number = Update_Value_Wnd->m_s_number;
  Update_m_ex_num_index = Update_Value_Wnd->m_ex_num_index;

  Update_batch_List_Count();
  Update_Value_List_Count();
}

void BatchWizard::Open_Wnd() {
  Check_Path_And_Create_Files();
  Show_hide_Last_screen(true);
  Show_hide_first_screen(false);
  Fill_List();
  platform::Run_Modal(this);
  hide();
}

void BatchWizard::Fill_List() {
  ListData->setValues({});
  for (const QString& name : Get_datasheet_File_Name_Array()) Create_Avail_List(name);
  Update_batch_List_Count();
}

void BatchWizard::Show_hide_first_screen(bool hide) {
  if (!hide) {
    screens_->setCurrentIndex(0);
    update_list_name->clear();
  }
}

void BatchWizard::Show_hide_Last_screen(bool hide) {
  if (!hide) screens_->setCurrentIndex(1);
}

void BatchWizard::Help_Btn_Clicked() { Open_Help_File(); }

void BatchWizard::AddNew_Btn_Clicked() {
  Show_hide_first_screen(true);
  Show_hide_Last_screen(false);
  batch_list_name->setText(QStringLiteral("Untitled"));
  ListData_value->clear();
  Update_Value_List_Count();
  batch_list_name->setFocus();
  batch_list_name->selectAll();
}

bool BatchWizard::Batch_List_Selection_Validation() {
  if (ListData->count() == 0) {
    Show_MessageBox(QStringLiteral("Available list is empty."));
    return false;
  }
  const int row = Last_Selected_Row(List);
  if (row >= 0 && !Trim_Str(ListData->value(row)).isEmpty()) return true;
  Show_MessageBox(QStringLiteral("Please select a record from the available list to continue."));
  List->setFocus();
  return false;
}

void BatchWizard::On_Update() {
  if (!Batch_List_Selection_Validation()) return;
  const QString name = Trim_Str(ListData->value(Last_Selected_Row(List)));
  // The series must be readable and writable, as a save will replace it.
  QFile test(Series_Path(name));
  if (!Is_Valid_Series_Name(name) || !QFileInfo(test).isFile() ||
      !test.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
    Show_MessageBox(Series_Access_Error);
    return;
  }
  test.close();
  Show_hide_first_screen(true);
  Show_hide_Last_screen(false);
  batch_list_name->setText(name);
  update_list_name->setText(name);
  const Busy_Cursor busy;
  ListData_value->setValues(Read_Series_Values(name));
  Update_Value_List_Count();
}

void BatchWizard::CreateSeries_Btn_Clicked() {
  Generate_List* generator = Generate_List::defaultInstance();
  generator->file_name_required = 1;
  generator->file_name_Insert = 1;
  generator->Open_Wnd();
}

void BatchWizard::Delete_List_Btn_Clicked() {
  if (!Batch_List_Selection_Validation()) return;
  const QList<int> rows = Selected_Rows(List);
  const int last = Last_Selected_Row(List);
  // Every chosen series is tested before anything goes: one in use keeps them all.
  for (int row : rows) {
    if (Series_Hook_In_Use(ListData->value(row))) {
      Show_MessageBox(Series_Delete_In_Use);
      return;
    }
  }
  if (!Show_YES_NO_MessageBox(
          QStringLiteral("Are you sure want to delete selected Batch Processing Series?")))
    return;
  for (int row : rows) {
    const QString name = ListData->value(row);
    if (!Delete_Series(name)) Show_NSLog_Message(QStringLiteral("Could not delete the series ") + name);
  }
  // The list shows what the folder holds now, also when a file could not be removed.
  Fill_List();
  Select_Only_Row(List, Selection_After_Delete(last, int(ListData->count())));
}

void BatchWizard::Close_Btn_Clicked() { platform::Stop_Modal(this, 0); }

bool BatchWizard::Make_Room_For_Values() {
  if (ListData_value->count() > 0) {
    const int answer = platform::Run_Modal(Load_Number_Window);
    Load_Number_Window->hide();
    if (answer == Load_Num_Info::Yes) {
      ListData_value->clear();
      Update_Value_List_Count();
    } else if (answer != Load_Num_Info::No) {
      return false;
    }
  }
  return true;
}

void BatchWizard::Import_Btn_Clicked() {
  Import_Wizard* wizard = Import_Wizard::defaultInstance();
  wizard->file_name_required = 1;
  wizard->file_name_Insert = 1;
  wizard->Open_Wnd();
}

void BatchWizard::Import_Value_Btn_Clicked() {
  if (!Make_Room_For_Values()) return;
  Import_Wizard* wizard = Import_Wizard::defaultInstance();
  wizard->file_name_required = 0;
  wizard->file_name_Insert = 1;
  wizard->Open_Wnd();
}

void BatchWizard::Series_Value_Btn_Clicked() {
  if (!Make_Room_For_Values()) return;
  Generate_List* generator = Generate_List::defaultInstance();
  generator->file_name_required = 0;
  generator->file_name_Insert = 1;
  generator->Open_Wnd();
}

void BatchWizard::Delete_Rows_Btn_Clicked() {
  if (ListData_value->count() == 0) {
    Show_MessageBox(List_Empty);
    List_value->setFocus();
    return;
  }
  const QList<int> rows = Selected_Rows(List_value);
  if (rows.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please select at least one record from the list to continue."));
    List_value->setFocus();
    return;
  }
  const int last = Last_Selected_Row(List_value);
  ListData_value->removeRows(rows);
  Select_Only_Row(List_value, Selection_After_Delete(last, int(ListData_value->count())));
  Update_Value_List_Count();
}

void BatchWizard::Export_Value_Btn_Clicked() {
  if (ListData_value->count() == 0) {
    Show_MessageBox(List_Empty);
    List_value->setFocus();
    return;
  }
  int type = 0;
  platform::Save_Panel_Options options;
  options.title = QStringLiteral("Export Batch Processing Series");
  options.file_name = Clean_Series_Name(batch_list_name->text());
  options.file_types = Export_Types();
  options.chosen_type = &type;
  const QString chosen = platform::Save_Panel(options);
  raise();
  if (chosen.isEmpty()) return;
  const QString path = Export_Path(chosen, type);
  // The panel confirmed replacing the path it answered; a path whose extension changed
  // after it is asked about here.
  if (path != chosen && QFileInfo::exists(path) &&
      !Show_YES_NO_MessageBox(QStringLiteral("The file already exists. Do you want to replace it?")))
    return;
  bool written = false;
  QString reason;
  {
    const Busy_Cursor busy;
    written = Export_Series_Values(path, type, ListData_value->values(), &reason);
  }
  if (!written) {
    Show_MessageBox(Series_Access_Error_Because(reason));
    return;
  }
  raise();
  Export_File_Message.set(QStringLiteral("Record has been exported successfully."));
  Export_File_Path.set(path);
  if (Series_Hooks().show_export_result) Series_Hooks().show_export_result();
}

void BatchWizard::Back_Btn_Clicked() {
  Show_hide_Last_screen(true);
  Show_hide_first_screen(false);
}

void BatchWizard::Save_Btn_Clicked() {
  if (ListData_value->count() == 0) {
    Show_MessageBox(List_Empty);
    List_value->setFocus();
    return;
  }
  const Series_Write_Result result = Save_Edited_Series(
      batch_list_name->text(), update_list_name->text(), ListData_value->values());
  if (result != Series_Write_Result::Written) return;  // said why; the editor stays
  raise();
  Show_hide_Last_screen(true);
  Show_hide_first_screen(false);
  Fill_List();
  const int saved = int(ListData->values().indexOf(Clean_Series_Name(batch_list_name->text())));
  Select_Only_Row(List, saved);
}

void BatchWizard::Create_Avail_List(const QString& name) {
  if (ListData->appendTrimmed({name}) > 0) Update_batch_List_Count();
}

void BatchWizard::Create_Value_List(const QString& value) { Append_Values({value}); }

void BatchWizard::Append_Values(const QStringList& values) {
  ListData_value->appendTrimmed(values);
  Update_Value_List_Count();
}

void BatchWizard::Update_Value_List_Count() {
  batch_value_count->setText(QStringLiteral("Total Rows : %1").arg(ListData_value->count()));
}

void BatchWizard::Update_batch_List_Count() {
  batch_list_count->setText(QStringLiteral("Total List : %1").arg(ListData->count()));
}

void BatchWizard::doubleClickInTable(QTableView* table) {
  const QList<int> rows = Selected_Rows(table);
  if (rows.isEmpty()) return;
  if (rows.size() > 1) {
    Show_MessageBox(QStringLiteral("Please select only one record to update."));
    return;
  }
  if (table == List)
    On_Update();
  else if (table == List_value)
    OnGetSelected();
}

void BatchWizard::OnGetSelected() {
  if (ListData_value->count() == 0) return;
  const int row = Last_Selected_Row(List_value);
  if (row < 0) return;
  const QString value = Trim_Str(ListData_value->value(row));
  Update_m_ex_num_str->setText(value);
  Update_m_s_number->setText(value);
  Update_m_ex_num_index->setText(QString::number(row));
  Update_m_ex_num_str->setFocus();
  platform::Run_Modal(Update_Value_Wnd);
  Update_Value_Wnd->hide();
}
