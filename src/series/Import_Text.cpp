#include "series/Import_Text.h"

#include "model/Common_Functions.h"
#include "series/Rtf_Reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>

const QString Import_File_Unreadable = QStringLiteral("Please select a valid file.");
const QString Import_File_Corrupted =
    QStringLiteral("Either file is corrupted or selected file contains invalid characters.");
const QString Import_Paste_Empty = QStringLiteral("Please enter some data.");
const QString Import_Invalid_Path = QStringLiteral("Please select valid file path.");

std::optional<QString> Decode_Text(const QByteArray& bytes) {
  struct Mark {
    QByteArray bom;
    QStringConverter::Encoding encoding;
  };
  // UTF-32 LE before UTF-16 LE: its mark begins with the other's.
  static const Mark marks[] = {
      {QByteArray("\xEF\xBB\xBF", 3), QStringConverter::Utf8},
      {QByteArray("\xFF\xFE\x00\x00", 4), QStringConverter::Utf32LE},
      {QByteArray("\x00\x00\xFE\xFF", 4), QStringConverter::Utf32BE},
      {QByteArray("\xFF\xFE", 2), QStringConverter::Utf16LE},
      {QByteArray("\xFE\xFF", 2), QStringConverter::Utf16BE},
  };
  QStringConverter::Encoding encoding = QStringConverter::Utf8;
  qsizetype skip = 0;
  for (const Mark& mark : marks) {
    if (bytes.startsWith(mark.bom)) {
      encoding = mark.encoding;
      skip = mark.bom.size();
      break;
    }
  }
  const QByteArrayView body = QByteArrayView(bytes).sliced(skip);
  const qsizetype unit = encoding == QStringConverter::Utf16LE || encoding == QStringConverter::Utf16BE ? 2
                         : encoding == QStringConverter::Utf8 ? 1 : 4;
  if (body.size() % unit != 0) return std::nullopt;  // a unit cut at the end
  // Qt's UTF-32 decoder takes values past U+10FFFF and surrogates without an error.
  if (unit == 4) {
    const bool little = encoding == QStringConverter::Utf32LE;
    for (qsizetype i = 0; i < body.size(); i += 4) {
      const uchar* p = reinterpret_cast<const uchar*>(body.data() + i);
      const quint32 code = little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
      if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    }
  }
  QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
  QString text = decoder.decode(body);
  if (decoder.hasError()) return std::nullopt;
  // Marks repeated at the start are no text either (the decoder drops only one of them).
  qsizetype repeated = 0;
  while (repeated < text.size() && text.at(repeated) == QChar(QChar::ByteOrderMark)) ++repeated;
  text.remove(0, repeated);
  // Its UTF-16 decoder passes unpaired surrogates through.
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      ++i;
    } else if (text.at(i).isSurrogate()) {
      return std::nullopt;
    }
  }
  return text;
}

QList<QStringList> Parse_Csv(const QString& text) {
  QList<QStringList> rows;
  QStringList row;
  QString field;
  bool quoted = false;
  bool row_started = false;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text.at(i);
    if (quoted) {
      if (c == u'"') {
        if (i + 1 < n && text.at(i + 1) == u'"') {
          field += u'"';
          ++i;
        } else {
          quoted = false;
        }
      } else if (c == u'\r' || c == u'\n') {
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
        field += u' ';
      } else {
        field += c;
      }
      continue;
    }
    if (c == u'"') {
      quoted = true;
      row_started = true;
    } else if (c == u',') {
      row << field;
      field.clear();
      row_started = true;
    } else if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
      if (row_started || !field.isEmpty()) rows << (row << field);
      row.clear();
      field.clear();
      row_started = false;
    } else {
      field += c;
      row_started = true;
    }
  }
  if (row_started || !field.isEmpty()) rows << (row << field);
  return rows;
}

QString Clean_Import_Value(const QString& text) {
  QString cleaned = text;
  cleaned.remove(u'\\');
  cleaned.remove(u'{');
  cleaned.remove(u'}');
  return Trim_Str(cleaned);
}

QStringList Split_Lines(const QString& text) {
  QString unified = text;
  unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  unified.replace(u'\r', u'\n');
  return unified.split(u'\n');
}

namespace {

void Add_Cleaned(QStringList& values, const QString& piece) {
  const QString value = Clean_Import_Value(piece);
  if (!value.isEmpty()) values << value;
}

}  // namespace

Text_Import Read_Text_Import(const QString& path) {
  Text_Import result;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > Import_Max_Bytes) {
    result.error = Import_File_Unreadable;
    return result;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    result.error = Import_File_Unreadable;
    return result;
  }
  const QString extension = QFileInfo(path).suffix().toUpper();
  const std::optional<QString> text =
      extension == QLatin1String("RTF") ? Rtf_To_Text(bytes) : Decode_Text(bytes);
  if (!text || text->isEmpty()) {
    result.error = Import_File_Corrupted;
    return result;
  }
  if (extension == QLatin1String("CSV")) {
    for (const QStringList& row : Parse_Csv(*text))
      for (const QString& field : row) Add_Cleaned(result.values, field);
  } else {
    for (const QString& line : Split_Lines(*text)) Add_Cleaned(result.values, line);
  }
  return result;
}

QStringList Pasted_Values(const QString& text) {
  QStringList values;
  for (const QString& line : Split_Lines(Trim_Str(text)))
    if (!line.isEmpty()) values << line;
  return values;
}

QStringList Picture_Folder_Values(const QString& folder) {
  static const QStringList extensions = {"jpg", "jpeg", "jpe", "jfif", "gif",
                                         "bmp", "png",  "tif", "tiff"};
  QStringList values;
  const QDir dir(folder);
  const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
  for (const QFileInfo& entry : entries) {
    if (extensions.contains(entry.suffix().toLower())) values << dir.filePath(entry.fileName());
  }
  return values;
}

bool Refuse_Import_Path(const QString& path) {
  const QString trimmed = Trim_Str(path);
  if (!trimmed.isEmpty() && QFileInfo::exists(trimmed)) return false;
  Show_MessageBox(Import_Invalid_Path);
  return true;
}
