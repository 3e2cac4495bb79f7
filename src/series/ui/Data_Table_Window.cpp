#include "series/ui/Data_Table_Window.h"

#include "platform/Platform.h"
#include "series/Data_From_Excel.h"
#include "series/ui/Series_Dialog_Parts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
Data_Table_Window* Data_Table_Window_Instance = nullptr;
}

Data_Table_Window* Data_Table_Window::defaultInstance() {
  if (!Data_Table_Window_Instance) Data_Table_Window_Instance = new Data_Table_Window;
  return Data_Table_Window_Instance;
}

Data_Table_Window::Data_Table_Window() {
  setObjectName(QStringLiteral("Data_From_Excel"));
  setWindowTitle(QStringLiteral("Spreadsheet Data"));
  Series_Dialog_Background(this);
  resize(720, 480);

  Data_From_Excel* table = Data_From_Excel::defaultInstance();
  ColList = new QTableView(this);
  ColList->setObjectName(QStringLiteral("ColList"));
  ColList->setModel(table);
  ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
  ColList->setSelectionMode(QAbstractItemView::SingleSelection);
  ColList->setAlternatingRowColors(true);
  ColList->setWordWrap(false);
  // Uniform rows: the view never measures the table's rows, however many there are.
  ColList->verticalHeader()->setVisible(false);
  ColList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  ColList->verticalHeader()->setDefaultSectionSize(ColList->fontMetrics().height() + 6);
  ColList->horizontalHeader()->setDefaultSectionSize(100);
  ColList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ColList->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

  rows_count = new QLabel(this);
  rows_count->setObjectName(QStringLiteral("rows_count"));
  column_count = new QLabel(this);
  column_count->setObjectName(QStringLiteral("column_count"));
  QPushButton* ok = Named_Button(QStringLiteral("OK"), "OK_btn", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &Data_Table_Window::OK_Click);
  // The counts follow every change of the table while the window is open.
  connect(table, &QAbstractItemModel::modelReset, this, &Data_Table_Window::Show_Counts);
  connect(table, &QAbstractItemModel::rowsInserted, this, &Data_Table_Window::Show_Counts);

  auto* counts = new QFormLayout;
  counts->addRow(QStringLiteral("Rows:"), rows_count);
  counts->addRow(QStringLiteral("Columns:"), column_count);
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(counts);
  bottom->addStretch();
  bottom->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ColList, 1);
  layout->addLayout(bottom);
}

void Data_Table_Window::Show_Counts() {
  const Data_From_Excel* table = Data_From_Excel::defaultInstance();
  rows_count->setText(QString::number(table->Row_Count()));
  column_count->setText(QString::number(table->Column_Count()));
}

int Data_Table_Window::Open_Wnd() {
  Show_Counts();
  const int code = platform::Run_Modal(this);
  hide();
  return code;
}

void Data_Table_Window::Mark_List_New_Selection(int row) {
  const QModelIndex index = ColList->model()->index(row, 0);
  if (!index.isValid()) return;
  ColList->selectionModel()->select(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ColList->scrollTo(index);
}

void Data_Table_Window::OK_Click() { platform::Stop_Modal(this, 1); }
