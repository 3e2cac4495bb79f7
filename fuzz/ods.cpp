// The content part of an OpenDocument spreadsheet.

#include "Fuzz_Support.h"
#include "series/SpreadsheetWriter.h"

#include <QDir>

QList<QByteArray> Fuzz_Seeds() {
  SpreadsheetWriter& shared = SpreadsheetWriter::spreadsheet();
  const QString path = QDir(fuzz::Folder()).filePath("content.xml");
  QList<QByteArray> seeds;
  const Sheet_Rows samples[] = {
      {{"Name", "Town"}, {"Anne", "Lyon"}, {"", "x"}},
      {{"  two  spaces\tand tab", "line\nbreak"}, {}, {"", "", "3"}},
  };
  for (const Sheet_Rows& rows : samples) {
    shared.setData(rows);
    QFile file(path);
    if (shared.WriteODSData(path) && file.open(QIODevice::ReadOnly)) seeds << file.readAll();
  }
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = fuzz::Write_File("content.xml", data, size);
  try {
    SpreadsheetWriter::ReadODSContent(path);
  } catch (const Spreadsheet_Error&) {
  }
  return 0;
}
