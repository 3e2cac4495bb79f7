// Reading and writing a workbook of 100,000 rows x 10 columns (five text columns, five
// number columns). Targets: a whole read (unpack, shared strings, titles, rows) in at most
// 0.12 of the time Python's zipfile + iterparse takes on the same file in the same run, with
// a peak memory growth under 100 MB; a write under 1 s. The peers of the read (xlsx_peer.py
// run by /usr/bin/python3; openpyxl in read-only mode when it is installed) print the ratio
// ours / theirs.

#include "model/Resource_Folder.h"
#include "model/Shared_Design_State.h"
#include "series/SpreadsheetWriter.h"
#include "series/Zip_Archive.h"
#include "support/Bench_Workbook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

constexpr int kRows = Bench_Workbook_Rows_Count;

struct Fixture {
  QTemporaryDir dir;
  Sheet_Rows rows = Bench_Workbook_Rows();
  QString workbook = dir.path() + QStringLiteral("/big.xlsx");
  double xml_mib = 0;  // the sheet and the shared strings unpacked
  Fixture() {
    Resource_Path = Shipped_Resources_Path();
    if (!SpreadsheetWriter::WriteWorkbook(workbook, rows, true))
      qFatal("cannot write the workbook");
    const QString folder = dir.path() + QStringLiteral("/parts");
    if (!Zip_Archive::unzipFileAtPath(workbook, folder)) qFatal("cannot unpack the workbook");
    xml_mib = double(QFileInfo(folder + "/xl/worksheets/sheet1.xml").size() +
                     QFileInfo(folder + "/xl/sharedStrings.xml").size()) /
              (1024.0 * 1024.0);
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

// The mean seconds of our reads in this run, for the peer's ratio.
double our_read_seconds = 0;

void BM_Read_Xlsx(benchmark::State& state) {
  Fixture& f = fixture();
  double peak_mib = 0, seconds = 0;
  const double xml_mib = f.xml_mib;
  qsizetype rows = 0;
  Sheet_Rows titles, read;
  for (auto _ : state) {
    state.PauseTiming();
    titles.clear();  // the previous results go while the clock stands
    read.clear();
    forget_workbook();
    const qint64 before = start_peak_measurement();
    state.ResumeTiming();
    QElapsedTimer clock;
    clock.start();
    SpreadsheetWriter::ReadWorkbook(f.workbook, true);
    Excel_Sheet_Number = 1;
    titles = SpreadsheetWriter::ReadData_only_column();
    read = SpreadsheetWriter::ReadWorkbook(QString(), false);
    seconds += double(clock.nsecsElapsed()) / 1e9;
    state.PauseTiming();
    peak_mib = double(status_kib("VmHWM:") - before) / 1024.0;
    rows = read.size();
    if (rows != kRows || titles.size() != 1) state.SkipWithError("the workbook read back wrong");
    state.ResumeTiming();
  }
  state.counters["rows"] = double(rows);
  state.counters["xml_MiB"] = xml_mib;
  state.counters["peak_MiB"] = peak_mib;
  state.counters["peak_per_xml"] = xml_mib > 0 ? peak_mib / xml_mib : 0;
  our_read_seconds = state.iterations() > 0 ? seconds / double(state.iterations()) : 0;
}
BENCHMARK(BM_Read_Xlsx)->Unit(benchmark::kMillisecond)->Iterations(5);

// The unpacking alone (every part written into a folder), the first step of a read.
void BM_Unpack_Xlsx(benchmark::State& state) {
  Fixture& f = fixture();
  const QString folder = f.dir.path() + QStringLiteral("/unpacked");
  for (auto _ : state)
    if (!Zip_Archive::unzipFileAtPath(f.workbook, folder)) state.SkipWithError("unpack failed");
}
BENCHMARK(BM_Unpack_Xlsx)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same file read by a Python peer; the script times its own read (not the interpreter's
// start). Skipped when /usr/bin/python3 (or the peer's module) is missing.
void run_python_peer(benchmark::State& state, const QStringList& mode, const char* ratio) {
  Fixture& f = fixture();
  double seconds = 0;
  for (auto _ : state) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral(XLSX_PEER_SCRIPT), f.workbook} + mode);
    if (!python.waitForFinished(600000)) {
      state.SkipWithError("the Python reader did not run");
      break;
    }
    if (python.exitCode() == 3) {
      state.SkipWithError("the peer's Python module is not installed");
      break;
    }
    const QList<QByteArray> answer = python.readAllStandardOutput().trimmed().split(' ');
    if (python.exitCode() != 0 || answer.size() != 2 || answer[1].toInt() != kRows) {
      state.SkipWithError("the Python reader read the workbook wrong");
      break;
    }
    state.SetIterationTime(answer[0].toDouble());
    seconds += answer[0].toDouble();
  }
  if (state.error_occurred()) return;
  const double peer_seconds = seconds / double(state.iterations());
  state.counters[ratio] = peer_seconds > 0 ? our_read_seconds / peer_seconds : 0;
}

// Python's zipfile + iterparse (xlsx_peer.py).
void BM_Read_Xlsx_Python_Peer(benchmark::State& state) { run_python_peer(state, {}, "ours_per_python"); }
BENCHMARK(BM_Read_Xlsx_Python_Peer)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

// openpyxl in read-only mode, where it is installed.
void BM_Read_Xlsx_Openpyxl_Peer(benchmark::State& state) {
  run_python_peer(state, {QStringLiteral("openpyxl")}, "ours_per_openpyxl");
}
BENCHMARK(BM_Read_Xlsx_Openpyxl_Peer)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

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
