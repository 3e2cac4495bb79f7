#include "series/Data_Series_Store.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Bounded_File.h"
#include "platform/Whole_File.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <functional>
#include <iterator>

const QString Series_Replace_Question =
    QStringLiteral("Batch Processing Series already exists. Do you want to replace it?");
const QString Series_Access_Error = QStringLiteral("Error in file accessing.");
const QString Series_Name_Missing = QStringLiteral("Please enter list name.");
const QString Series_Update_In_Use =
    QStringLiteral("Batch Processing Series can't be update because it is currently in use.");
const QString Series_Create_In_Use =
    QStringLiteral("Batch Processing Series can't be create because it is currently in use.");
const QString Series_Delete_In_Use =
    QStringLiteral("Batch Processing Series can't be delete because it is currently in use.");

namespace {

QByteArray encode(const QStringList& values) {
  QByteArray bytes;
  for (const QString& value : values) {
    bytes += value.toUtf8();
    bytes += '\n';
  }
  return bytes;
}

// Reads a series file a piece at a time and hands each line (the text between line feeds,
// and after the last one) to `take`, decoded; `take` answering false ends the read there,
// without the rest of the file. A byte-order mark at the start is dropped. False, with the
// reason in *error, for a file that cannot be read or is past a limit; the lines handed on
// before then are no series.
bool read_lines(const QString& path, QString* error,
                const std::function<bool(QString&& line)>& take) {
  const auto refuse = [&](const QString& why) {
    if (error) *error = QStringLiteral("%1 %2").arg(QDir::toNativeSeparators(path), why);
    return false;
  };
  QFile file;
  if (!Open_Regular_File(file, path, error)) return false;
  if (file.size() > Series_Max_Bytes) {
    return refuse(QStringLiteral("is larger than %1, more than a file of this kind holds")
                      .arg(Bounded_File_Size_Text(Series_Max_Bytes)));
  }
  QLocale grouped = QLocale::c();
  grouped.setNumberOptions(QLocale::DefaultNumberOptions);  // 1,048,576
  const QString too_long =
      QStringLiteral("has a line longer than %1 characters, more than a value holds")
          .arg(grouped.toString(qlonglong(Series_Max_Value_Length)));
  // A UTF-8 line of more than three bytes per character is longer than the limit whatever
  // its characters.
  constexpr qsizetype kMax_Line_Bytes = 3 * Series_Max_Value_Length;
  QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless |
                                                QStringConverter::Flag::ConvertInitialBom);
  QByteArray piece(64 * 1024, Qt::Uninitialized);
  QByteArray line;
  qint64 read = 0, feeds = 0;
  bool first = true, more = true;
  const auto hand_on = [&]() -> bool {
    QByteArrayView bytes(line);
    if (first && bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
    first = false;
    QString text = utf8(bytes);
    line.clear();
    if (utf8.hasError())
      return refuse(
          QStringLiteral("is not encoded in UTF-8: it holds bytes that are no UTF-8 character."));
    if (text.size() > Series_Max_Value_Length) return refuse(too_long);
    more = take(std::move(text));
    return true;
  };
  for (;;) {
    const qint64 got = file.read(piece.data(), piece.size());
    if (got < 0) return refuse(QStringLiteral("cannot be read: %1").arg(file.errorString()));
    if (got == 0) break;
    read += got;
    if (read > Series_Max_Bytes) {
      return refuse(QStringLiteral("is larger than %1, more than a file of this kind holds")
                        .arg(Bounded_File_Size_Text(Series_Max_Bytes)));
    }
    qsizetype from = 0;
    while (from < got) {
      const qsizetype feed = QByteArrayView(piece.constData() + from, got - from).indexOf('\n');
      const qsizetype end = feed < 0 ? got : from + feed;
      line.append(piece.constData() + from, end - from);
      if (line.size() > kMax_Line_Bytes) return refuse(too_long);
      if (feed < 0) break;
      if (++feeds > Series_Max_Lines) {
        return refuse(QStringLiteral("has more than %1 lines, more than a series file holds")
                          .arg(Series_Max_Lines));
      }
      if (!hand_on()) return false;
      if (!more) return true;
      from = end + 1;
    }
  }
  return hand_on();
}

// The file's text; nothing for a missing file, one that is not valid UTF-8 or one past the
// limits (whose reason, unlike a missing file's, is logged). A byte-order mark at the start
// is dropped.
std::optional<QString> read_text(const QString& path) {
  QString reason;
  std::optional<QString> text = Read_Series_Text(path, &reason);
  if (!text && !reason.isEmpty() && QFileInfo::exists(path)) Show_NSLog_Message(reason);
  return text;
}

// The same for readers of the lines: false after logging the reason.
bool read_logged_lines(const QString& path, const std::function<bool(QString&& line)>& take) {
  QString reason;
  if (read_lines(path, &reason, take)) return true;
  if (!reason.isEmpty() && QFileInfo::exists(path)) Show_NSLog_Message(reason);
  return false;
}

}  // namespace

std::optional<QString> Read_Series_Text(const QString& path, QString* error) {
  QString text;
  bool started = false;
  const bool read = read_lines(path, error, [&](QString&& line) {
    if (started) text += u'\n';
    started = true;
    text += line;
    return true;
  });
  if (!read) return std::nullopt;
  return text;
}

QString Clean_Series_Name(const QString& typed) { return Remove_Reserve_Char_In_File_Name(typed); }

bool Is_Valid_Series_Name(const QString& name) { return Is_Valid_File_Name(name); }

QString Series_Path(const QString& name) {
  return Data_Folder_Path + u'/' + name + u'.' + batch_file_EXT;
}

void Series_Extent::Add(QStringView value) {
  // Short values are measured as they come; a long one that was measured a moment ago (a
  // shared text) is not measured again.
  constexpr qsizetype kRemembered = 256;
  Known* known = nullptr;
  if (value.size() >= kRemembered) {
    for (Known& k : known_) {
      if (k.data == value.data() && k.size == value.size()) {
        known = &k;
        break;
      }
    }
  }
  Measure measure;
  if (known) {
    measure = known->measure;
  } else {
    qsizetype line = 0;
    const QChar* c = value.data();
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
      const char16_t u = c[i].unicode();
      if (u < 0x80) {
        ++measure.bytes;
        if (u == u'\n') {
          ++measure.feeds;
          measure.longest = std::max(measure.longest, line);
          line = 0;
          continue;
        }
      } else if (u < 0x800) {
        measure.bytes += 2;
      } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(c[i + 1].unicode())) {
        measure.bytes += 4;  // one character of two units
        ++line;
        ++i;
      } else {
        measure.bytes += 3;  // a lone surrogate is written as U+FFFD
      }
      ++line;
    }
    measure.longest = std::max(measure.longest, line);
    if (value.size() >= kRemembered) {
      known_[next_known_] = {value.data(), value.size(), measure};
      next_known_ = (next_known_ + 1) % int(std::size(known_));
    }
  }
  bytes_ += measure.bytes + 1;  // the value's line feed
  lines_ += measure.feeds + 1;
  longest_ = std::max(longest_, measure.longest);
}

QString Series_Extent::Refusal() const {
  QLocale grouped = QLocale::c();
  grouped.setNumberOptions(QLocale::DefaultNumberOptions);  // 1,048,576
  if (longest_ > Series_Max_Value_Length)
    return QStringLiteral("A value has a line longer than %1 characters, more than a series "
                          "value holds.")
        .arg(grouped.toString(qlonglong(Series_Max_Value_Length)));
  if (lines_ > Series_Max_Lines)
    return QStringLiteral("The series would have more than %1 lines, more than a series file "
                          "holds.")
        .arg(grouped.toString(Series_Max_Lines));
  if (bytes_ > Series_Max_Bytes)
    return QStringLiteral("The series would be larger than %1, more than a series file holds.")
        .arg(Bounded_File_Size_Text(Series_Max_Bytes));
  return {};
}

QString Series_Values_Refusal(const QStringList& values, Series_Extent extent) {
  for (const QString& value : values) {
    extent.Add(value);
    if (extent.past()) break;
  }
  return extent.Refusal();
}

bool Write_Series_File(const QString& path, const QStringList& values, QString* error) {
  // A file its readers would refuse is not written: the old one stays.
  if (const QString refusal = Series_Values_Refusal(values); !refusal.isEmpty()) {
    if (error) *error = refusal;
    return false;
  }
  return Write_Whole_File(path, encode(values), error);
}

bool Append_Series_File(const QString& path, const QStringList& values, QString* error,
                        bool* past_limits) {
  if (past_limits) *past_limits = false;
  QByteArray bytes;
  if (QFileInfo::exists(path)) {
    QString reason;
    if (!Read_Bounded_File(path, Series_Max_Bytes, &bytes, &reason)) {
      if (error) *error = QStringLiteral("reading failed: %1").arg(reason);
      return false;
    }
    if (!bytes.isEmpty() && !bytes.endsWith('\n')) bytes += '\n';
  }
  // The file as it will be: what it holds, then the values. Its own lines were within the
  // limits when it was read back, or it reads as no values already.
  if (const QString refusal =
          Series_Values_Refusal(values, Series_Extent(bytes.size(), bytes.count('\n')));
      !refusal.isEmpty()) {
    if (error) *error = refusal;
    if (past_limits) *past_limits = true;
    return false;
  }
  bytes += encode(values);
  return Write_Whole_File(path, bytes, error);
}

QString Series_Access_Error_Because(const QString& reason) {
  return reason.isEmpty() ? Series_Access_Error : Series_Access_Error + u'\n' + reason;
}

Series_Write_Result Save_Series(const QString& typed_name, const QStringList& values,
                                const Series_Write_Rules& rules) {
  const QString name = Clean_Series_Name(typed_name);
  if (!Is_Valid_Series_Name(name)) {
    Show_MessageBox(Series_Name_Missing);
    return Series_Write_Result::Invalid_Name;
  }
  if (rules.in_use && !rules.in_use_refusal.isEmpty() && rules.in_use(name)) {
    Show_MessageBox(rules.in_use_refusal);
    return Series_Write_Result::In_Use;
  }
  const QString path = Series_Path(name);
  QStringList written;
  written.reserve(values.size());
  for (const QString& value : values) {
    const QString text = rules.trim_values ? Trim_Str(value) : value;
    if (rules.skip_empty_values && text.isEmpty()) continue;
    written << text;
  }
  // Values past what a series file holds are no access error: the refusal says what, before
  // any question.
  if (const QString refusal = Series_Values_Refusal(written); !refusal.isEmpty()) {
    Show_MessageBox(refusal);
    return Series_Write_Result::Failed;
  }
  if (rules.ask_replace && QFileInfo::exists(path) &&
      !Show_YES_NO_MessageBox(Series_Replace_Question))
    return Series_Write_Result::Kept;
  QString reason;
  // Measured above already: written as they are.
  if (!Write_Whole_File(path, encode(written), &reason)) {
    Show_MessageBox(Series_Access_Error_Because(reason));
    return Series_Write_Result::Failed;
  }
  return Series_Write_Result::Written;
}

QStringList Read_Series_Values(const QString& name) {
  QStringList values;
  if (!Is_Valid_Series_Name(name)) return values;
  const bool read = read_logged_lines(Series_Path(name), [&](QString&& line) {
    QString value = Trim_Str(line);
    if (!value.isEmpty()) values << std::move(value);
    return true;
  });
  if (!read) values.clear();
  return values;
}

QString Get_First_Value_Of_Dataset(const QString& name) {
  if (!Is_Valid_Series_Name(name)) return QStringLiteral("");
  QString first;
  const bool read = read_logged_lines(Series_Path(name), [&](QString&& line) {
    first = std::move(line);
    return false;
  });
  return read ? first : QStringLiteral("");
}

std::optional<QStringList> Series_Output_Records(const QString& name) {
  if (!Is_Valid_Series_Name(name)) return std::nullopt;
  const QString path = Series_Path(name);
  if (!QFileInfo(path).isFile()) return std::nullopt;
  const std::optional<QString> text = read_text(path);
  if (!text) return QStringList();
  const QString whole = Trim_Str(*text);
  if (whole.isEmpty()) return QStringList();  // a series without values has no records
  return whole.split(u'\n');
}

QStringList Get_datasheet_File_Name_Array() {
  QStringList names;
  const QDir folder(Data_Folder_Path);
  if (Data_Folder_Path.isEmpty() || !folder.exists()) return names;
  for (const QFileInfo& file : folder.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase))
    names << file.completeBaseName();
  return names;
}

bool Delete_Series(const QString& name) {
  if (!Is_Valid_Series_Name(name)) return false;
  return Delete_File(Series_Path(name));
}

bool Series_In_Use(const QString& name, const Graphic_List& front, const Graphic_List& back) {
  if (!Is_Valid_Series_Name(name) || !QFileInfo::exists(Series_Path(name))) return false;
  const auto bound = [&name](const Graphic_List& graphics) {
    for (const auto& graphic : graphics) {
      if (!graphic) continue;
      const QString kind = graphic->className();
      if (kind != u"CRDImage" && kind != u"CRDText" && kind != u"CRDBarcode") continue;
      if (graphic->data_source_type == 1 && graphic->batch_list_name == name) return true;
    }
    return false;
  };
  return bound(front) || (CARD_SIDE_STR == u"2" && bound(back));
}
