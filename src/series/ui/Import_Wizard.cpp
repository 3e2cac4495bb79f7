#include "series/ui/Import_Wizard.h"

#include "model/Common_Functions.h"
#include "platform/Platform.h"
#include "series/Data_Series_Store.h"
#include "series/Import_Text.h"
#include "series/Series_Manager_Rules.h"
#include "series/Sheet_Import.h"
#include "series/SpreadsheetWriter.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Import_Excel.h"
#include "series/ui/Import_Excel_DataSheet.h"
#include "series/ui/Series_Dialog_Parts.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

Import_Wizard* Import_Wizard_Instance = nullptr;

}  // namespace

Import_Wizard* Import_Wizard::defaultInstance() {
  if (!Import_Wizard_Instance) Import_Wizard_Instance = new Import_Wizard;
  return Import_Wizard_Instance;
}

Import_Wizard::Import_Wizard() {
  setObjectName(QStringLiteral("Import_Wizard"));
  setWindowTitle(QStringLiteral("Import Batch Processing Series"));
  Series_Dialog_Background(this);
  resize(560, 520);

  auto radio = [this](const char* name, const QString& text) {
    auto* button = new QRadioButton(text, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoExclusive(false);  // the handlers set all four
    return button;
  };
  Excel_RD = radio("Excel_RD", QStringLiteral("Spreadsheet (.xlsx, .ods, .xml)"));
  Text_RD = radio("Text_RD", QStringLiteral("Text file (.txt, .rtf, .csv)"));
  Mnul_RD = radio("Mnul_RD", QStringLiteral("Type or paste values, one per line"));
  Image_RD = radio("Image_RD", QStringLiteral("Pictures of a folder"));
  connect(Excel_RD, &QRadioButton::clicked, this, &Import_Wizard::Excel_RD_Pressed);
  connect(Text_RD, &QRadioButton::clicked, this, &Import_Wizard::Text_RD_Pressed);
  connect(Mnul_RD, &QRadioButton::clicked, this, &Import_Wizard::Manual_RD_Pressed);
  connect(Image_RD, &QRadioButton::clicked, this, &Import_Wizard::Image_RD_Pressed);

  Excel_path = Named_Field("Excel_path", this);
  Excel_btn = Named_Button(QStringLiteral("Browse..."), "Excel_btn", this);
  Text_file_name = Named_Field("Text_file_name", this);
  Text_path = Named_Field("Text_path", this);
  Text_btn = Named_Button(QStringLiteral("Browse..."), "Text_btn", this);
  ManualEdit = new QPlainTextEdit(this);
  ManualEdit->setObjectName(QStringLiteral("ManualEdit"));
  Manual_file_name = Named_Field("Manual_file_name", this);
  Image_file_name = Named_Field("Image_file_name", this);
  Image_path = Named_Field("Image_path", this);
  Image_btn = Named_Button(QStringLiteral("Browse..."), "Image_btn", this);
  connect(Excel_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Excel_Pressed);
  connect(Text_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Text_Pressed);
  connect(Image_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Image_Pressed);

  auto* grid = new QGridLayout;
  int row = 0;
  auto name_row = [&](QLineEdit* field) {
    auto* label = new QLabel(QStringLiteral("Series name:"), this);
    grid->addWidget(label, row, 1);
    grid->addWidget(field, row++, 2, 1, 2);
    name_widgets_ << label << field;
  };
  auto path_row = [&](QLineEdit* field, QPushButton* browse, const QString& label) {
    grid->addWidget(new QLabel(label, this), row, 1);
    grid->addWidget(field, row, 2);
    grid->addWidget(browse, row++, 3);
  };
  grid->setColumnMinimumWidth(0, 16);
  grid->addWidget(Excel_RD, row++, 0, 1, 4);
  path_row(Excel_path, Excel_btn, QStringLiteral("Workbook:"));
  grid->addWidget(Text_RD, row++, 0, 1, 4);
  name_row(Text_file_name);
  path_row(Text_path, Text_btn, QStringLiteral("File:"));
  grid->addWidget(Mnul_RD, row++, 0, 1, 4);
  name_row(Manual_file_name);
  grid->addWidget(ManualEdit, row++, 1, 1, 3);
  grid->addWidget(Image_RD, row++, 0, 1, 4);
  name_row(Image_file_name);
  path_row(Image_path, Image_btn, QStringLiteral("Folder:"));

  option_controls_[0] = {Excel_btn, Excel_path};
  option_controls_[1] = {Text_btn, Text_path, Text_file_name};
  option_controls_[2] = {ManualEdit, Manual_file_name};
  option_controls_[3] = {Image_btn, Image_path, Image_file_name};

  QPushButton* help = Named_Button(QStringLiteral("Help"), "Help_btn", this);
  QPushButton* cancel = Named_Button(QStringLiteral("Cancel"), "Cancel_btn", this);
  QPushButton* ok = Named_Button(QStringLiteral("OK"), "OK_btn", this);
  connect(help, &QPushButton::clicked, this, &Import_Wizard::HelpPressed);
  connect(cancel, &QPushButton::clicked, this, &Import_Wizard::CancelPressed);
  connect(ok, &QPushButton::clicked, this, &Import_Wizard::OKPressed);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(help);
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);
}

int Import_Wizard::Open_Wnd() {
  Check_Path_And_Create_Files();
  for (QLineEdit* field : {Excel_path, Text_path, Image_path, Text_file_name, Manual_file_name,
                           Image_file_name})
    field->clear();
  ManualEdit->clear();
  const bool named = file_name_required == 1;
  for (QWidget* widget : name_widgets_) widget->setVisible(named);
  Choose_Option(0);
  const int code = platform::Run_Modal(this);
  hide();
  return code;
}

void Import_Wizard::Choose_Option(int option) {
  import_option = option;
  QRadioButton* radios[] = {Excel_RD, Text_RD, Mnul_RD, Image_RD};
  for (int o = 0; o < 4; ++o) {
    radios[o]->setChecked(o == option);
    for (QWidget* control : option_controls_[o]) control->setEnabled(o == option);
  }
  QLineEdit* names[] = {nullptr, Text_file_name, Manual_file_name, Image_file_name};
  if (names[option] && Trim_Str(names[option]->text()).isEmpty())
    names[option]->setText(QStringLiteral("Untitled"));
}

bool Import_Wizard::Browse(const platform::Open_Panel_Options& options, QLineEdit* path_field) {
  const QString path = platform::Open_File_Panel(options);
  if (path.isEmpty()) return false;
  path_field->setText(path);
  OKPressed();
  return true;
}

void Import_Wizard::Browse_Excel_Pressed() {
  Delete_Excel_File_Temp_Folder();
  platform::Open_Panel_Options options;
  options.title = QStringLiteral("Choose a workbook");
  options.extensions = Import_Workbook_Extensions();
  Browse(options, Excel_path);
}

void Import_Wizard::Browse_Text_Pressed() {
  platform::Open_Panel_Options options;
  options.title = QStringLiteral("Choose a text file");
  options.extensions = {"txt", "TXT", "rtf", "RTF", "csv", "CSV"};
  Browse(options, Text_path);
}

void Import_Wizard::Browse_Image_Pressed() {
  platform::Open_Panel_Options options;
  options.title = QStringLiteral("Choose a folder of pictures");
  options.choose_folders = true;
  Browse(options, Image_path);
}

void Import_Wizard::OKPressed() {
  switch (import_option) {
    case 0: {
      const QString path = Trim_Str(Excel_path->text());
      if (Refuse_Import_Path(path)) return;
      int code = 0;
      if (file_name_required == 1) {
        Import_Excel_DataSheet* columns = Import_Excel_DataSheet::defaultInstance();
        columns->file_name_Insert = file_name_Insert;
        code = columns->Open_excel_Wnd(path);
      } else {
        Import_Excel* picker = Import_Excel::defaultInstance();
        picker->open_mode = QStringLiteral("D");
        code = picker->Open_excel_Wnd(path);
      }
      // Cancel in the picker, or a file it could not read, comes back to this page.
      if (code == 1) platform::Stop_Modal(this, 1);
      return;
    }
    case 1: {
      const QString path = Trim_Str(Text_path->text());
      if (Refuse_Import_Path(path)) return;
      if (Create_And_Save_Text_Data_Sheet(path)) platform::Stop_Modal(this, 1);
      return;
    }
    case 2:
      if (Create_And_Save_Manual_Paste_data_Sheet()) platform::Stop_Modal(this, 1);
      return;
    case 3: {
      const QString path = Trim_Str(Image_path->text());
      if (Refuse_Import_Path(path)) return;
      if (!QFileInfo(path).isDir()) {
        Show_MessageBox(Import_Invalid_Path);
        return;
      }
      if (Create_And_Save_Image_data_Sheet(path)) platform::Stop_Modal(this, 1);
      return;
    }
    default:
      return;
  }
}

void Import_Wizard::CancelPressed() { platform::Stop_Modal(this, 0); }

void Import_Wizard::HelpPressed() { Open_Help_File(); }

bool Import_Wizard::Series_Name(QLineEdit* field, QString& name) const {
  name = file_name_required == 1 ? Clean_Series_Name(field->text()) : QString();
  if (Series_Hook_In_Use(name)) {
    Show_MessageBox(Series_Update_In_Use);
    return false;
  }
  return true;
}

bool Import_Wizard::Deliver(const QString& name, const QStringList& values) {
  if (file_name_required == 1) {
    Series_Write_Rules rules;
    rules.in_use = Series_Hook_In_Use;
    rules.in_use_refusal = Series_Update_In_Use;
    if (Save_Series(name, values, rules) != Series_Write_Result::Written) return false;
  } else {
    BatchWizard::defaultInstance()->Append_Values(values);
  }
  if (file_name_Insert == 1) BatchWizard::defaultInstance()->Fill_List();
  return true;
}

bool Import_Wizard::Create_And_Save_Text_Data_Sheet(const QString& path) {
  QString name;
  if (!Series_Name(Text_file_name, name)) return false;
  Text_Import read;
  {
    const Busy_Cursor busy;
    read = Read_Text_Import(path);
  }
  if (!read.error.isEmpty()) {
    Show_MessageBox(read.error);
    return false;
  }
  return Deliver(name, read.values);
}

bool Import_Wizard::Create_And_Save_Manual_Paste_data_Sheet() {
  QString name;
  if (!Series_Name(Manual_file_name, name)) return false;
  const QStringList values = Pasted_Values(ManualEdit->toPlainText());
  if (values.isEmpty()) {
    Show_MessageBox(Import_Paste_Empty);
    return false;
  }
  return Deliver(name, values);
}

bool Import_Wizard::Create_And_Save_Image_data_Sheet(const QString& folder) {
  QString name;
  if (!Series_Name(Image_file_name, name)) return false;
  QStringList values;
  {
    const Busy_Cursor busy;
    values = Picture_Folder_Values(folder);
  }
  return Deliver(name, values);
}
