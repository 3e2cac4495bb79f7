// XML Spreadsheet 2003 documents.

#include "Fuzz_Support.h"
#include "series/SpreadsheetWriter.h"

#include <QDir>

QList<QByteArray> Fuzz_Seeds() {
  const QString path = QDir(fuzz::Folder()).filePath("seed.xml");
  QList<QByteArray> seeds;
  const Sheet_Rows samples[] = {
      {{"Name", "Town"}, {"Anne", "Lyon"}, {"", "x"}},
      {{"a&b", "<c>", "12"}, {}, {"", "", "3"}},
  };
  for (const Sheet_Rows& rows : samples) {
    QFile file(path);
    if (SpreadsheetWriter::WriteWorksheetXML2004(path, rows) && file.open(QIODevice::ReadOnly))
      seeds << file.readAll();
  }
  seeds << QByteArray(
      "<Workbook xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet><Table>"
      "<Row ss:Index=\"2\"><Cell ss:Index=\"3\" ss:MergeAcross=\"1\"><Data>a<B>b</B></Data></Cell>"
      "<Cell><Data>c</Data></Cell></Row><Row ss:Index=\"5\"><Cell><Data>d</Data></Cell></Row>"
      "</Table></Worksheet></Workbook>");
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = fuzz::Write_File("input.xml", data, size);
  try {
    SpreadsheetWriter::ReadWorksheetXML2004(path);
  } catch (const Spreadsheet_Error&) {
  }
  return 0;
}
