// A series of 1,000,000 sequential values: generated into a series file by the generator
// dialog, then loaded into the series manager's editor and into the series viewer, each
// shown with its table drawn. Target: under 1 s each.

#include "model/Resource_Folder.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "series/Data_Series_Store.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Generate_List.h"
#include "series/ui/Series_List_Model.h"
#include "series/ui/View_Data_Series.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kValues = 1000000;
const QString kSeries = QStringLiteral("Million");

struct Fixture {
  QTemporaryDir dir;
  platform::Scoped_Scripted_Platform platform;
  Fixture() {
    if (!Prepare_Resource_Path(dir.path() + QStringLiteral("/Resources")))
      qFatal("cannot prepare the resource folder");
    platform.default_yes_no = true;
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

// The generator's OK with a sequence 1 .. 1,000,000 written as the series.
bool generate() {
  Generate_List* generator = Generate_List::defaultInstance();
  generator->file_name_required = 1;
  generator->file_name_Insert = 0;
  generator->from_txt->setText(QStringLiteral("1"));
  generator->to_txt->setText(QString::number(kValues));
  generator->prefix_txt->setText(QStringLiteral("No. "));
  generator->seq_file_name->setText(kSeries);
  generator->OKPressed();
  return QFile(Series_Path(kSeries)).size() > kValues;
}

void BM_Generate_Million_Values(benchmark::State& state) {
  fixture();
  for (auto _ : state) {
    state.PauseTiming();
    QFile::remove(Series_Path(kSeries));
    state.ResumeTiming();
    if (!generate()) state.SkipWithError("the series was not written");
  }
  state.counters["file_MiB"] = double(QFile(Series_Path(kSeries)).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_Generate_Million_Values)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Load_Manager_Editor(benchmark::State& state) {
  fixture();
  if (!QFile::exists(Series_Path(kSeries)) && !generate()) state.SkipWithError("no series");
  BatchWizard* manager = BatchWizard::defaultInstance();
  manager->Fill_List();
  manager->show();
  for (auto _ : state) {
    state.PauseTiming();
    manager->Back_Btn_Clicked();
    manager->ListData_value->clear();
    Select_Only_Row(manager->List, int(manager->ListData->values().indexOf(kSeries)));
    QApplication::processEvents();
    state.ResumeTiming();
    manager->On_Update();
    manager->List_value->repaint();  // the editor screen drawn with its first rows
    QApplication::processEvents();
    if (manager->ListData_value->count() != kValues) state.SkipWithError("wrong count");
  }
  manager->hide();
  state.counters["values"] = double(manager->ListData_value->count());
}
BENCHMARK(BM_Load_Manager_Editor)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Load_Viewer(benchmark::State& state) {
  fixture();
  if (!QFile::exists(Series_Path(kSeries)) && !generate()) state.SkipWithError("no series");
  View_Data_Series* viewer = View_Data_Series::defaultInstance();
  viewer->show();
  for (auto _ : state) {
    state.PauseTiming();
    viewer->ListData->clear();
    QApplication::processEvents();
    state.ResumeTiming();
    viewer->Load_file_Func(kSeries);
    viewer->List->repaint();
    QApplication::processEvents();
    if (viewer->ListData->count() != kValues) state.SkipWithError("wrong count");
  }
  viewer->hide();
  state.counters["values"] = double(viewer->ListData->count());
}
BENCHMARK(BM_Load_Viewer)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
