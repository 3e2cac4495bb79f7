// Reading and writing a workbook of 100,000 rows x 10 columns (five text columns, five
// number columns). Targets: a read (unpack, shared strings, titles, rows) under 1 s with a
// peak memory growth under three times the unpacked XML; a write under 1 s.

#include "model/Resource_Folder.h"
#include "model/Shared_Design_State.h"
#include "series/SpreadsheetWriter.h"
#include "support/Bench_Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

constexpr int kRows = Bench_Workbook_Rows_Count;

struct Fixture {
  QTemporaryDir dir;
  Sheet_Rows rows = Bench_Workbook_Rows();
  QString workbook = dir.path() + QStringLiteral("/big.xlsx");
  Fixture() {
    Resource_Path = Shipped_Resources_Path();
    if (!SpreadsheetWriter::WriteWorkbook(workbook, rows, true))
      qFatal("cannot write the workbook");
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

qint64 status_kib(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith(field))
      return line.mid(qsizetype(strlen(field))).trimmed().split(' ').front().toLongLong();
  return 0;
}

// The resident size now, after the peak has been reset to it.
qint64 start_peak_measurement() {
  malloc_trim(0);
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly)) clear.write("5");
  return status_kib("VmRSS:");
}

void forget_workbook() {
  SpreadsheetWriter& shared = SpreadsheetWriter::spreadsheet();
  shared.setData({});
  shared.setSharedStrings({});
}

void BM_Read_Xlsx(benchmark::State& state) {
  Fixture& f = fixture();
  double peak_mib = 0, xml_mib = 0;
  qsizetype rows = 0;
  Sheet_Rows titles, read;
  for (auto _ : state) {
    state.PauseTiming();
    titles.clear();  // the previous results go while the clock stands
    read.clear();
    forget_workbook();
    const qint64 before = start_peak_measurement();
    state.ResumeTiming();
    SpreadsheetWriter::ReadWorkbook(f.workbook, true);
    Excel_Sheet_Number = 1;
    titles = SpreadsheetWriter::ReadData_only_column();
    read = SpreadsheetWriter::ReadWorkbook(QString(), false);
    state.PauseTiming();
    peak_mib = double(status_kib("VmHWM:") - before) / 1024.0;
    const QString folder = SpreadsheetWriter::spreadsheet().tmpDir();
    xml_mib = double(QFileInfo(folder + "/xl/worksheets/sheet1.xml").size() +
                     QFileInfo(folder + "/xl/sharedStrings.xml").size()) /
              (1024.0 * 1024.0);
    rows = read.size();
    if (rows != kRows || titles.size() != 1) state.SkipWithError("the workbook read back wrong");
    state.ResumeTiming();
  }
  state.counters["rows"] = double(rows);
  state.counters["xml_MiB"] = xml_mib;
  state.counters["peak_MiB"] = peak_mib;
  state.counters["peak_per_xml"] = xml_mib > 0 ? peak_mib / xml_mib : 0;
}
BENCHMARK(BM_Read_Xlsx)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Write_Xlsx(benchmark::State& state) {
  Fixture& f = fixture();
  const QString target = f.dir.path() + QStringLiteral("/written.xlsx");
  double peak_mib = 0;
  for (auto _ : state) {
    state.PauseTiming();
    forget_workbook();
    const qint64 before = start_peak_measurement();
    state.ResumeTiming();
    if (!SpreadsheetWriter::WriteWorkbook(target, f.rows, true))
      state.SkipWithError("write failed");
    state.PauseTiming();
    peak_mib = double(status_kib("VmHWM:") - before) / 1024.0;
    state.ResumeTiming();
  }
  state.counters["package_MiB"] = double(QFileInfo(target).size()) / (1024.0 * 1024.0);
  state.counters["peak_MiB"] = peak_mib;
}
BENCHMARK(BM_Write_Xlsx)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
