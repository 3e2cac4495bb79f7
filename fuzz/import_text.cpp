// A text file as the import wizard reads it: the first byte picks the file's extension
// (.csv, .txt or .rtf), the rest is the file. The decoding and the CSV rows are also run on
// the bytes directly; decoded text must be whole Unicode.

#include "Fuzz_Support.h"
#include "series/Import_Text.h"

#include <QFile>

#include <cstdlib>

QList<QByteArray> Fuzz_Seeds() {
  const auto utf16 = [](const QString& s, bool big) {
    QByteArray out = big ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    for (const QChar c : s) {
      const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
      out += big ? QByteArray{&hi, 1} + QByteArray{&lo, 1} : QByteArray{&lo, 1} + QByteArray{&hi, 1};
    }
    return out;
  };
  const QString csv = QStringLiteral("Name,\"Town, Land\",Age\r\n\"An \"\"A\"\"\nnne\",Lyon,31\r\r\n,,\n{x}\\y,\u00e9t\u00e9");
  return {
      'c' + csv.toUtf8(),
      'c' + QByteArray("\xEF\xBB\xBF") + csv.toUtf8(),
      'c' + utf16(csv, false),
      't' + utf16(QStringLiteral("one\r\ntwo\rthree\n\U0001F389"), true),
      't' + QByteArray("\xFF\xFE\x00\x00", 4) + QByteArray("a\0\0\0\n\0\0\0b\0\0\0", 12),
      't' + QByteArray("\x00\x00\xFE\xFF", 4) + QByteArray("\0\0\0a\0\0\0\n\0\0\0b", 12),
      'r' + QByteArray("{\\rtf1\\ansi caf\\'e9\\par b\\line c,d}"),
  };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const QByteArray body(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
  const char* extension = data[0] % 3 == 0 ? "csv" : data[0] % 3 == 1 ? "txt" : "rtf";
  const QString path = fuzz::Write_File(QStringLiteral("import.") + QLatin1String(extension),
                                        reinterpret_cast<const uint8_t*>(body.constData()),
                                        size_t(body.size()));
  // An import gives values or a reason, never both, and no value is empty.
  const Text_Import read = Read_Text_Import(path);
  if (read.error.isEmpty() == read.values.isEmpty()) std::abort();
  for (const QString& value : read.values)
    if (value.isEmpty()) std::abort();
  QFile::remove(path);
  if (const std::optional<QString> text = Decode_Text(body)) {
    // Decoded text is whole Unicode, and reads back the same from UTF-8.
    if (!text->isValidUtf16() || Decode_Text(text->toUtf8()) != text) std::abort();
    Parse_Csv(*text);
    Pasted_Values(*text);
  }
  return 0;
}
