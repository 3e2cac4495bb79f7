#include "series/ui/Import_Excel_DataSheet.h"

#include "model/Common_Functions.h"
#include "platform/Platform.h"
#include "series/Data_Series_Store.h"
#include "series/Import_Text.h"
#include "series/Series_Manager_Rules.h"
#include "series/Sheet_Import.h"
#include "series/ui/BatchWizard.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>

namespace {
Import_Excel_DataSheet* Import_Excel_DataSheet_Instance = nullptr;
}

Import_Excel_DataSheet* Import_Excel_DataSheet::defaultInstance() {
  if (!Import_Excel_DataSheet_Instance) Import_Excel_DataSheet_Instance = new Import_Excel_DataSheet;
  return Import_Excel_DataSheet_Instance;
}

Import_Excel_DataSheet::Import_Excel_DataSheet()
    : Sheet_Picker("Import_Excel_DataSheet", QStringLiteral("Import Spreadsheet Columns"), true) {
  Each_col_RD = new QRadioButton(QStringLiteral("One series per column"), this);
  Each_col_RD->setObjectName(QStringLiteral("Each_col_RD"));
  Fill_col_RD = new QRadioButton(QStringLiteral("All columns into one series"), this);
  Fill_col_RD->setObjectName(QStringLiteral("Fill_col_RD"));
  connect(Each_col_RD, &QRadioButton::clicked, this, &Import_Excel_DataSheet::Each_Col_RD_Click);
  connect(Fill_col_RD, &QRadioButton::clicked, this, &Import_Excel_DataSheet::Fill_Col_RD_Click);

  fill_box = new QGroupBox(this);
  fill_box->setObjectName(QStringLiteral("fill_box"));
  matrix_fill_type = new QButtonGroup(this);
  auto* grid = new QGridLayout(fill_box);
  const char* labels[] = {"New series", "Replace series", "Append to series"};
  for (int option = 0; option < 3; ++option) {
    auto* cell = new QRadioButton(QString::fromLatin1(labels[option]), fill_box);
    cell->setObjectName(QStringLiteral("matrix_fill_type_%1").arg(option));
    matrix_fill_type->addButton(cell, option);
    grid->addWidget(cell, 0, option);
  }
  connect(matrix_fill_type, &QButtonGroup::idClicked, this,
          &Import_Excel_DataSheet::Fill_Type_CellClick);
  list_name = new QLineEdit(fill_box);
  list_name->setObjectName(QStringLiteral("list_name"));
  list_name->setPlaceholderText(QStringLiteral("Series name"));
  List_ComboBox = new QComboBox(fill_box);
  List_ComboBox->setObjectName(QStringLiteral("List_ComboBox"));
  grid->addWidget(list_name, 1, 0, 1, 3);
  grid->addWidget(List_ComboBox, 2, 0, 1, 3);

  extra_layout->addWidget(Each_col_RD);
  extra_layout->addWidget(Fill_col_RD);
  extra_layout->addWidget(fill_box);
}

void Import_Excel_DataSheet::Reset() {
  Fill_Type_CellClick(0);
  Each_Col_RD_Click();
  List_ComboBox->clear();
  List_ComboBox->addItems(Get_datasheet_File_Name_Array());
  List_ComboBox->setCurrentIndex(List_ComboBox->count() > 0 ? 0 : -1);
  list_name->clear();
}

void Import_Excel_DataSheet::Each_Col_RD_Click() {
  Each_col_RD->setChecked(true);
  Fill_col_RD->setChecked(false);
  fill_box->setEnabled(false);
}

void Import_Excel_DataSheet::Fill_Col_RD_Click() {
  Each_col_RD->setChecked(false);
  Fill_col_RD->setChecked(true);
  fill_box->setEnabled(true);
}

void Import_Excel_DataSheet::Fill_Type_CellClick(int option) {
  fill_col_option = option < 0 || option > 2 ? 0 : option;
  matrix_fill_type->button(fill_col_option)->setChecked(true);
  list_name->setVisible(fill_col_option == 0);
  List_ComboBox->setVisible(fill_col_option != 0);
  ColList->setColumnHidden(2, fill_col_option != 0);
}

void Import_Excel_DataSheet::OKPressed() {
  if (!Check_Choice()) return;
  if (Each_col_RD->isChecked()) {
    Create_file_For_Col_Func();
    return;
  }
  const QString typed =
      Trim_Str(fill_col_option == 0 ? list_name->text() : List_ComboBox->currentText());
  if (typed.isEmpty()) {
    Show_MessageBox(fill_col_option == 0 ? Series_Name_Missing : Picker_Select_List);
    return;
  }
  Insert_file_Func();
}

void Import_Excel_DataSheet::Create_file_For_Col_Func() {
  QString reason;
  const Sheet_Rows rows = Read_Rows(&reason);
  if (!Has_Data_Rows(rows, Header_On())) {  // nothing to write: every series stays as it was
    Show_MessageBox(With_Reason(Picker_No_Sheet_Data, reason));  // and another sheet may be chosen
    return;
  }
  QList<Column_Series> columns;
  for (int j : ListData_xl->Ticked())
    if (j < rows.first().size()) columns.append({j, ListData_xl->row(j).header});
  // All or none: after a refusal or a No the picker stays open for another choice.
  const Column_Import result = Write_Column_Series(rows, columns, Header_On());
  if (!result.written) {
    if (!result.refusal.isEmpty()) Show_MessageBox(result.refusal);
    return;
  }
  if (file_name_Insert == 1) BatchWizard::defaultInstance()->Fill_List();
  platform::Stop_Modal(this, 1);
}

bool Import_Excel_DataSheet::Insert_file_Func() {
  const QString typed = fill_col_option == 0 ? list_name->text() : List_ComboBox->currentText();
  const QString name = Clean_Series_Name(typed);
  if (!Is_Valid_Series_Name(name)) {
    Show_MessageBox(fill_col_option == 0 ? Series_Name_Missing : Picker_Select_List);
    return false;
  }
  // A series a design uses is neither replaced nor appended to.
  if (Series_Hook_In_Use(name)) {
    Show_MessageBox(Series_Update_In_Use);
    return false;
  }
  QString reason;
  const Sheet_Rows rows = Read_Rows(&reason);
  if (!Has_Data_Rows(rows, Header_On())) {  // nothing to write: the series stays as it was
    Show_MessageBox(With_Reason(Import_File_Corrupted, reason));  // and another sheet may be chosen
    return false;
  }
  // Values a series file cannot hold are refused before the question and the write.
  const Import_Values taken = Row_Major_Values(rows, ListData_xl->Ticked(), Header_On());
  if (!taken.refusal.isEmpty()) {
    Show_MessageBox(QStringLiteral("Nothing was imported: the series is as it was.\n\n") +
                    taken.refusal);
    return false;
  }
  const QStringList& values = taken.values;
  const QString path = Series_Path(name);
  if (fill_col_option == 0 && QFile::exists(path) && !Show_YES_NO_MessageBox(Series_Replace_Question))
    return false;
  bool past_limits = false;  // the values alone fit (checked above); with the file's, not
  const bool written = fill_col_option == 2
                           ? Append_Series_File(path, values, &reason, &past_limits)
                           : Write_Series_File(path, values, &reason);
  if (!written) {
    Show_MessageBox(past_limits ? QStringLiteral("Nothing was imported: the series is as it "
                                                 "was.\n\n") + reason
                                : Series_Access_Error_Because(reason));
    return false;
  }
  if (file_name_Insert == 1) BatchWizard::defaultInstance()->Fill_List();
  platform::Stop_Modal(this, 1);
  return true;
}
