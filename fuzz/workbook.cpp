// The parts of a workbook the reader takes in: the shared strings, then (after a NUL byte)
// a worksheet. Both are read the way the import does: titles first, then all rows.

#include "Fuzz_Support.h"
#include "model/Shared_Design_State.h"
#include "series/SpreadsheetWriter.h"

#include <QDir>

QList<QByteArray> Fuzz_Seeds() {
  SpreadsheetWriter& shared = SpreadsheetWriter::spreadsheet();
  const QString sheet = QDir(fuzz::Folder()).filePath("sheet.xml");
  const QString strings = QDir(fuzz::Folder()).filePath("strings.xml");
  QList<QByteArray> seeds;
  const Sheet_Rows samples[] = {
      {{"Name", "Town", "Age"}, {"Anne", "Lyon", "31"}, {"Bo", "", "7.5"}},
      {{"a"}, {}, {"", "", " spaced \n line "}, {"&<>\"", "12", "x"}},
  };
  for (const Sheet_Rows& rows : samples) {
    shared.setData(rows);
    if (!shared.WriteWorksheetData(sheet) || !shared.WriteSharedStringsXML(strings)) continue;
    QFile a(strings), b(sheet);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly)) continue;
    seeds << a.readAll() + QByteArray(1, '\0') + b.readAll();
  }
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                   qsizetype(size));
  const qsizetype split = bytes.indexOf('\0');
  const QByteArray strings = split < 0 ? QByteArray() : bytes.left(split);
  const QByteArray sheet = split < 0 ? bytes : bytes.mid(split + 1);
  SpreadsheetWriter& shared = SpreadsheetWriter::spreadsheet();
  const QString folder = shared.tmpDir();
  QDir().mkpath(folder + "/xl/worksheets");
  const auto put = [&](const QString& name, const QByteArray& content) {
    QFile file(folder + name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(content);
  };
  put("/xl/worksheets/sheet1.xml", sheet);
  if (split >= 0) put("/xl/sharedStrings.xml", strings);
  try {
    shared.ReadSharedStrings(folder + "/xl/sharedStrings.xml");
    Excel_Sheet_Number = 1;
    SpreadsheetWriter::ReadData_only_column();
    SpreadsheetWriter::ReadWorkbook(QString(), false);
  } catch (const Spreadsheet_Error&) {
  }
  QFile::remove(folder + "/xl/sharedStrings.xml");
  return 0;
}
