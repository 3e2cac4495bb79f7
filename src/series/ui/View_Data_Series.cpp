#include "series/ui/View_Data_Series.h"

#include "model/Common_Functions.h"
#include "platform/Platform.h"
#include "series/Data_Series_Store.h"
#include "series/ui/Series_Dialog_Parts.h"
#include "series/ui/Series_List_Model.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
View_Data_Series* View_Data_Series_Instance = nullptr;
}

View_Data_Series* View_Data_Series::defaultInstance() {
  if (!View_Data_Series_Instance) View_Data_Series_Instance = new View_Data_Series;
  return View_Data_Series_Instance;
}

void View_Data_Series::View_Series(const QString& chosen) {
  const QString name = Trim_Str(chosen);
  if (name.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please select the series."));
    return;
  }
  View_Data_Series* viewer = defaultInstance();
  viewer->file_name = name;
  viewer->Open_Wnd();
}

View_Data_Series::View_Data_Series() {
  setObjectName(QStringLiteral("View_Data_Series"));
  setWindowTitle(QStringLiteral("View Batch Processing Series"));
  Series_Dialog_Background(this);
  resize(420, 460);
  series_name = Named_Field("series_name", this);
  series_name->setReadOnly(true);
  ListData = new Series_List_Model(QStringLiteral("Extension"), QStringLiteral("Value"), this);
  List = Make_Series_Table(ListData, QStringLiteral("List"), this);
  list_count = new QLabel(this);
  list_count->setObjectName(QStringLiteral("list_count"));
  QPushButton* ok = Named_Button(QStringLiteral("OK"), "OK_btn", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &View_Data_Series::OK_Btn_Clicked);

  auto* name_row = new QHBoxLayout;
  name_row->addWidget(new QLabel(QStringLiteral("Series:"), this));
  name_row->addWidget(series_name, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(list_count, 1);
  bottom->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(name_row);
  layout->addWidget(List, 1);
  layout->addLayout(bottom);
  Update_batch_List_Count();
}

void View_Data_Series::Open_Wnd() {
  series_name->setText(file_name);
  ListData->clear();
  Load_file_Func(file_name);
  platform::Run_Modal(this);
  hide();
}

void View_Data_Series::Load_file_Func(const QString& name) {
  const Busy_Cursor busy;
  ListData->setValues(Read_Series_Values(name));
  Update_batch_List_Count();
}

void View_Data_Series::Update_batch_List_Count() {
  list_count->setText(QStringLiteral("Total Rows : %1").arg(ListData->count()));
}

void View_Data_Series::OK_Btn_Clicked() { platform::Stop_Modal(this, 1); }
