#include "series/ui/Sheet_Picker.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "series/Sheet_Import.h"
#include "series/ui/Series_Dialog_Parts.h"
#include "series/ui/Work_Progress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

Sheet_Picker::Sheet_Picker(const char* name, const QString& title, bool with_header_column) {
  setObjectName(QString::fromLatin1(name));
  setWindowTitle(title);
  Series_Dialog_Background(this);
  resize(520, 460);

  file_path = Named_Field("file_path", this);
  file_path->setReadOnly(true);
  Sheet_ComboBox = new QComboBox(this);
  Sheet_ComboBox->setObjectName(QStringLiteral("Sheet_ComboBox"));
  contains_header = new QCheckBox(QStringLiteral("First row contains column titles"), this);
  contains_header->setObjectName(QStringLiteral("contains_header"));
  connect(Sheet_ComboBox, &QComboBox::currentIndexChanged, this,
          &Sheet_Picker::comboBoxSelectionDidChange);

  ListData_xl = new Sheet_Column_List(with_header_column, this);
  ColList = new QTableView(this);
  ColList->setObjectName(QStringLiteral("ColList"));
  ColList->setModel(ListData_xl);
  ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
  ColList->setSelectionMode(QAbstractItemView::SingleSelection);
  ColList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
  ColList->verticalHeader()->setVisible(false);
  ColList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  ColList->horizontalHeader()->setStretchLastSection(true);
  ColList->setAlternatingRowColors(true);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Workbook:"), file_path);
  auto* sheet_row = new QHBoxLayout;
  sheet_row->addWidget(Sheet_ComboBox, 1);
  sheet_row->addWidget(contains_header);
  form->addRow(QStringLiteral("Sheet:"), sheet_row);

  extra_box = new QWidget(this);
  extra_layout = new QVBoxLayout(extra_box);
  extra_layout->setContentsMargins(0, 0, 0, 0);

  QPushButton* all = Named_Button(QStringLiteral("Select All"), "Select_ALL_btn", this);
  QPushButton* none = Named_Button(QStringLiteral("Clear All"), "Clear_All_btn", this);
  QPushButton* cancel = Named_Button(QStringLiteral("Cancel"), "Cancel_btn", this);
  QPushButton* ok = Named_Button(QStringLiteral("OK"), "OK_btn", this);
  ok->setDefault(true);
  connect(all, &QPushButton::clicked, this, &Sheet_Picker::Select_ALL_Pressed);
  connect(none, &QPushButton::clicked, this, &Sheet_Picker::Clear_All_Pressed);
  connect(cancel, &QPushButton::clicked, this, &Sheet_Picker::CancelPressed);
  connect(ok, &QPushButton::clicked, this, &Sheet_Picker::OKPressed);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(all);
  buttons->addWidget(none);
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(new QLabel(QStringLiteral("Columns:"), this));
  layout->addWidget(ColList, 1);
  layout->addWidget(extra_box);
  layout->addLayout(buttons);
}

int Sheet_Picker::Open_excel_Wnd(const QString& path) {
  Excel_Sheet_Number = 1;
  file_path->setText(path);
  contains_header->setChecked(true);
  ListData_xl->Clear();
  {
    const QSignalBlocker block(Sheet_ComboBox);
    Sheet_ComboBox->clear();
  }
  Reset();
  if (!Load_file_Func(path)) return 0;
  const int code = platform::Run_Modal(this);
  hide();
  // The workbook's sheets and rows held for the picker go with it.
  SpreadsheetWriter::Release_Data();
  return code;
}

namespace {
const QString reading_workbook = QStringLiteral("Reading the workbook…");
}

bool Sheet_Picker::Load_file_Func(const QString& path) {
  // The workbook is opened and its first sheet read on a worker; the picker shows once both
  // are done.
  struct Opened {
    Workbook_Sheets workbook;
    QStringList titles;
    QString titles_refused;  // why the first sheet's titles could not be read
  };
  Excel_Sheet_Number = 1;
  const Opened opened = Run_With_Progress<Opened>(this, reading_workbook, [path] {
    Opened read{Open_Workbook(path), {}, {}};
    if (read.workbook.error.isEmpty()) read.titles = Sheet_Titles(0, &read.titles_refused);
    return read;
  });
  if (!opened.workbook.error.isEmpty()) {
    Show_MessageBox(opened.workbook.error);
    return false;
  }
  {
    const QSignalBlocker block(Sheet_ComboBox);
    Sheet_ComboBox->addItems(opened.workbook.sheets);
    Sheet_ComboBox->setCurrentIndex(0);
  }
  Show_Titles(opened.titles);
  // A sheet that cannot be read says why; another sheet may still be chosen.
  if (!opened.titles_refused.isEmpty())
    Show_MessageBox(With_Reason(Picker_No_Sheet_Data, opened.titles_refused));
  return true;
}

void Sheet_Picker::comboBoxSelectionDidChange(int index) {
  if (index < 0) return;
  struct Titles {
    QStringList titles;
    QString refused;
  };
  const Titles read = Run_With_Progress<Titles>(this, reading_workbook, [index] {
    Titles titles;
    titles.titles = Sheet_Titles(index, &titles.refused);
    return titles;
  });
  Show_Titles(read.titles);
  if (!read.refused.isEmpty()) Show_MessageBox(With_Reason(Picker_No_Sheet_Data, read.refused));
}

void Sheet_Picker::Show_Titles(const QStringList& titles) {
  ListData_xl->Set_Titles(titles);
  ColList->resizeColumnToContents(0);
}

void Sheet_Picker::Select_ALL_Pressed() { ListData_xl->Set_All(true); }
void Sheet_Picker::Clear_All_Pressed() { ListData_xl->Set_All(false); }
void Sheet_Picker::CancelPressed() { platform::Stop_Modal(this, 0); }

bool Sheet_Picker::Check_Choice() {
  if (ListData_xl->count() == 0) {
    Show_MessageBox(Picker_No_Column);
    return false;
  }
  if (!ListData_xl->Check_For_One_Extension_Selection()) {
    Show_MessageBox(Picker_No_Selection);
    return false;
  }
  return true;
}

Sheet_Rows Sheet_Picker::Read_Rows(QString* reason) const {
  Excel_Sheet_Number = Sheet_ComboBox->currentIndex() + 1;
  struct Read {
    Sheet_Rows rows;
    QString reason;
  };
  Read read = Run_With_Progress<Read>(const_cast<Sheet_Picker*>(this), reading_workbook, [] {
    Read made;
    made.rows = Sheet_Data_Rows(&made.reason);
    return made;
  });
  if (reason) *reason = read.reason;
  return std::move(read.rows);
}

bool Sheet_Picker::Header_On() const { return contains_header->isChecked(); }
