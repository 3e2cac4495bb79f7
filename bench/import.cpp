// The spreadsheet and text imports at size. Targets: the picker's data-table mode on the
// 100,000 x 10 workbook of bench/xlsx.cpp (unpack, titles, rows, table filled) under 2 s;
// the table window showing that table at its last row under 200 ms; a 100,000-line CSV file
// imported as a series (read, parse, write) under 1 s.

#include "model/Resource_Folder.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "series/Data_From_Excel.h"
#include "series/Data_Series_Store.h"
#include "series/Import_Text.h"
#include "series/ui/Data_Table_Window.h"
#include "series/ui/Import_Excel.h"
#include "support/Bench_Workbook.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Fixture {
  QTemporaryDir dir;
  QString workbook = dir.path() + QStringLiteral("/big.xlsx");
  QString csv = dir.path() + QStringLiteral("/big.csv");
  Fixture() {
    Resource_Path = Shipped_Resources_Path();
    Data_Folder_Path = dir.path() + QStringLiteral("/DataSet");
    QDir().mkpath(Data_Folder_Path);
    const Sheet_Rows rows = Bench_Workbook_Rows();
    if (!SpreadsheetWriter::WriteWorkbook(workbook, rows, true)) qFatal("cannot write the workbook");
    // One line per row: a quoted text with a comma, a number, a plain text.
    QByteArray text;
    for (const QStringList& row : rows)
      text += "\"" + row.at(0).toUtf8() + ", " + row.at(3).toUtf8() + "\"," + row.at(1).toUtf8() +
              "," + row.at(2).toUtf8() + "\r\n";
    QFile file(csv);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
      qFatal("cannot write the CSV file");
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

// The picker in mode "E", every column ticked, as the profile dialogs open it.
void BM_Picker_Mode_E(benchmark::State& state) {
  Fixture& f = fixture();
  platform::Scoped_Scripted_Platform platform;
  Import_Excel* picker = Import_Excel::defaultInstance();
  picker->open_mode = QStringLiteral("E");
  platform.on_run_modal = [&](QObject*) {
    picker->Select_ALL_Pressed();
    picker->OKPressed();
    return -1;
  };
  for (auto _ : state) {
    if (picker->Open_excel_Wnd(f.workbook) != 1) state.SkipWithError("the picker did not import");
  }
  const Data_From_Excel* table = Data_From_Excel::defaultInstance();
  if (table->Row_Count() != Bench_Workbook_Rows_Count - 1 ||
      table->Column_Count() != Bench_Workbook_Columns + 1)
    state.SkipWithError("the table is wrong");
  state.counters["rows"] = table->Row_Count();
}
BENCHMARK(BM_Picker_Mode_E)->Unit(benchmark::kMillisecond)->Iterations(3);

// The table window opened on the full table and scrolled to its last row, painted.
void BM_Table_Window_Last_Row(benchmark::State& state) {
  if (Data_From_Excel::defaultInstance()->Row_Count() == 0) {
    state.SkipWithError("run BM_Picker_Mode_E first");
    return;
  }
  Data_Table_Window* window = Data_Table_Window::defaultInstance();
  for (auto _ : state) {
    window->show();
    window->Mark_List_New_Selection(Data_From_Excel::defaultInstance()->Row_Count() - 1);
    const QImage shown = window->grab().toImage();
    benchmark::DoNotOptimize(shown.constBits());
    state.PauseTiming();
    window->hide();
    window->ColList->scrollToTop();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Table_Window_Last_Row)->Unit(benchmark::kMillisecond)->Iterations(5);

// A 100,000-line CSV file into a series, as the wizard does it.
void BM_Csv_Import(benchmark::State& state) {
  Fixture& f = fixture();
  qsizetype values = 0;
  for (auto _ : state) {
    const Text_Import read = Read_Text_Import(f.csv);
    if (!read.error.isEmpty() || !Write_Series_File(Series_Path(QStringLiteral("Big")), read.values))
      state.SkipWithError("the import failed");
    values = read.values.size();
  }
  state.counters["values"] = double(values);
}
BENCHMARK(BM_Csv_Import)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
