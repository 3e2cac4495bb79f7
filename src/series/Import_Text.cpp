#include "series/Import_Text.h"

#include "model/Common_Functions.h"
#include "platform/Bounded_File.h"
#include "series/Rtf_Reader.h"
#include "series/Series_Generator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

const QString Import_File_Unreadable = QStringLiteral("Please select a valid file.");
const QString Import_File_Corrupted =
    QStringLiteral("Either file is corrupted or selected file contains invalid characters.");
const QString Import_Paste_Empty = QStringLiteral("Please enter some data.");
const QString Import_Invalid_Path = QStringLiteral("Please select valid file path.");
const QString Import_Too_Many_Values = QStringLiteral(
    "The file holds more than 1,000,000 values. A series can have at most 1,000,000 values.");
const QString Import_Value_Too_Long = QStringLiteral(
    "The file has a line or field longer than 1,048,576 characters, more than a value can hold.");
const QString Import_No_Values =
    QStringLiteral("Nothing was imported: every line and field of the file is empty.");

static_assert(Import_Max_Values == Max_Generated_Values, "an import makes one series");
static_assert(Import_Max_Value_Length == 1048576, "as the message says");

namespace {

// Text is decoded and split a piece at a time, so that a limit is met before the text past it
// is made.
constexpr qsizetype kPiece_Bytes = qsizetype(1) << 20;

// Bytes into text piece by piece: the encoding from a byte-order mark at the start (else
// strict UTF-8), every piece checked as it comes. A piece ends on a whole unit or sequence;
// the bytes of one cut between pieces wait for the next.
class Text_Decoder {
 public:
  // Takes each piece of text; false stops the decoding.
  using Sink = std::function<bool(QStringView)>;
  explicit Text_Decoder(Sink sink) : sink_(std::move(sink)) {}

  // False when the bytes are not valid text or the sink stopped.
  bool feed(QByteArrayView bytes) {
    waiting_.append(bytes.data(), bytes.size());
    if (!started_) {
      if (waiting_.size() < 4) return true;  // the longest mark is 4 bytes
      start();
    }
    return decode(false);
  }
  // False when the last unit or sequence is cut, or a surrogate is left unpaired.
  bool finish() {
    if (!started_) start();
    return decode(true) && !pending_high_;
  }
  bool has_text() const { return has_text_; }
  bool stopped() const { return stopped_; }
  // The encoding is UTF-8 (no byte-order mark named another).
  bool utf8() const { return encoding_ == QStringConverter::Utf8; }

 private:
  void start() {
    struct Mark {
      const char* bom;
      int size;
      QStringConverter::Encoding encoding;
    };
    // UTF-32 LE before UTF-16 LE: its mark begins with the other's.
    static const Mark marks[] = {
        {"\xEF\xBB\xBF", 3, QStringConverter::Utf8},
        {"\xFF\xFE\x00\x00", 4, QStringConverter::Utf32LE},
        {"\x00\x00\xFE\xFF", 4, QStringConverter::Utf32BE},
        {"\xFF\xFE", 2, QStringConverter::Utf16LE},
        {"\xFE\xFF", 2, QStringConverter::Utf16BE},
    };
    started_ = true;
    for (const Mark& mark : marks) {
      if (waiting_.startsWith(QByteArrayView(mark.bom, mark.size))) {
        encoding_ = mark.encoding;
        waiting_.remove(0, mark.size);
        break;
      }
    }
    unit_ = encoding_ == QStringConverter::Utf16LE || encoding_ == QStringConverter::Utf16BE ? 2
            : encoding_ == QStringConverter::Utf8 ? 1 : 4;
  }

  // Where the waiting bytes stop being whole: a UTF-8 sequence whose lead byte is among the
  // last three and whose length goes past the end waits for the next piece.
  qsizetype whole_bytes() const {
    const qsizetype n = waiting_.size();
    if (unit_ > 1) return n - n % unit_;
    for (qsizetype back = 1; back <= 3 && back <= n; ++back) {
      const uchar byte = uchar(waiting_.at(n - back));
      if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
      const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      return back < length ? n - back : n;
    }
    return n;
  }

  bool decode(bool last) {
    const qsizetype whole = last ? waiting_.size() : whole_bytes();
    if (whole == 0) return true;
    if (whole % unit_ != 0) return false;  // a unit cut at the end
    const QByteArrayView body = QByteArrayView(waiting_).first(whole);
    // Qt's UTF-32 decoder takes values past U+10FFFF and surrogates without an error.
    if (unit_ == 4) {
      const bool little = encoding_ == QStringConverter::Utf32LE;
      for (qsizetype i = 0; i < body.size(); i += 4) {
        const uchar* p = reinterpret_cast<const uchar*>(body.data() + i);
        const quint32 code = little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
      }
    }
    // Each piece is whole, so no state is carried; a mark is kept as a character (only marks
    // at the very start are dropped, below).
    QStringDecoder decoder(encoding_, QStringConverter::Flag::Stateless |
                                          QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder.decode(body);
    if (decoder.hasError()) return false;
    waiting_.remove(0, whole);
    QStringView piece(text);
    // Marks repeated at the start are no text either.
    if (!has_text_) {
      qsizetype marks = 0;
      while (marks < piece.size() && piece.at(marks) == QChar(QChar::ByteOrderMark)) ++marks;
      piece = piece.sliced(marks);
    }
    // Qt's UTF-16 decoder passes unpaired surrogates through; a pair may be cut between
    // pieces.
    for (const QChar c : piece) {
      if (pending_high_ != c.isLowSurrogate()) return false;
      pending_high_ = c.isHighSurrogate();
    }
    if (piece.isEmpty()) return true;
    has_text_ = true;
    if (!sink_(piece)) {
      stopped_ = true;
      return false;
    }
    return true;
  }

  Sink sink_;
  QByteArray waiting_;
  bool started_ = false;
  QStringConverter::Encoding encoding_ = QStringConverter::Utf8;
  qsizetype unit_ = 1;
  bool pending_high_ = false;
  bool has_text_ = false;
  bool stopped_ = false;
};

// Comma-separated values a character at a time (RFC 4180). `field` takes each field as it
// ends and `row_end` follows the last field of a row; a false answer stops the reading. A
// field longer than `max_field` stops it too.
class Csv_Reader {
 public:
  Csv_Reader(std::function<bool(QString&&)> field, std::function<bool()> row_end,
             qsizetype max_field)
      : on_field_(std::move(field)), on_row_end_(std::move(row_end)), max_field_(max_field) {}

  // False when stopped.
  bool feed(QStringView text) {
    for (const QChar c : text)
      if (!take(c)) return false;
    return true;
  }
  bool finish() {
    quote_pending_ = false;  // a closing quote at the very end
    return !(row_started_ || !field_.isEmpty()) || end_row();
  }
  bool field_too_long() const { return too_long_; }

 private:
  bool take(QChar c) {
    if (after_cr_) {
      after_cr_ = false;
      if (c == u'\n') return true;  // CRLF is one line end
    }
    if (quote_pending_) {
      quote_pending_ = false;
      if (c == u'"') return append(u'"');  // a doubled quote
      quoted_ = false;                     // the closing quote; c is outside the field's quotes
    }
    if (quoted_) {
      if (c == u'"') {
        quote_pending_ = true;
        return true;
      }
      if (c == u'\r' || c == u'\n') {
        after_cr_ = c == u'\r';
        return append(u' ');  // a value is one line
      }
      return append(c);
    }
    if (c == u'"') {
      quoted_ = true;
      row_started_ = true;
      return true;
    }
    if (c == u',') {
      row_started_ = true;
      return on_field_(std::exchange(field_, QString()));
    }
    if (c == u'\r' || c == u'\n') {
      after_cr_ = c == u'\r';
      return !(row_started_ || !field_.isEmpty()) || end_row();  // empty lines give no row
    }
    row_started_ = true;
    return append(c);
  }

  bool append(QChar c) {
    if (field_.size() >= max_field_) {
      too_long_ = true;
      return false;
    }
    field_.append(c);
    return true;
  }

  bool end_row() {
    row_started_ = false;
    return on_field_(std::exchange(field_, QString())) && on_row_end_();
  }

  std::function<bool(QString&&)> on_field_;
  std::function<bool()> on_row_end_;
  qsizetype max_field_;
  QString field_;
  bool quoted_ = false;
  bool quote_pending_ = false;
  bool after_cr_ = false;
  bool row_started_ = false;
  bool too_long_ = false;
};

}  // namespace

std::optional<QString> Decode_Text(const QByteArray& bytes) {
  QString text;
  Text_Decoder decoder([&text](QStringView piece) {
    text.append(piece);
    return true;
  });
  if (!decoder.feed(bytes) || !decoder.finish()) return std::nullopt;
  return text;
}

QList<QStringList> Parse_Csv(const QString& text) {
  QList<QStringList> rows;
  QStringList row;
  Csv_Reader reader(
      [&row](QString&& field) {
        row << std::move(field);
        return true;
      },
      [&] {
        rows << std::exchange(row, QStringList());
        return true;
      },
      std::numeric_limits<qsizetype>::max());
  reader.feed(text);
  reader.finish();
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

// The cleaned, non-empty values of one import, as many as a series can have.
struct Import_Values {
  QStringList values;
  QString error;
  bool add(const QString& piece) {
    QString value = Clean_Import_Value(piece);
    if (value.isEmpty()) return true;
    if (values.size() >= Import_Max_Values) {
      error = Import_Too_Many_Values;
      return false;
    }
    values << std::move(value);
    return true;
  }
};

// The lines of a text as values, a piece at a time: lines end at LF, CRLF or CR.
class Line_Values {
 public:
  explicit Line_Values(Import_Values* values) : values_(values) {}
  bool feed(QStringView text) {
    qsizetype i = 0;
    while (i < text.size()) {
      if (after_cr_) {
        after_cr_ = false;
        if (text.at(i) == u'\n') {
          ++i;
          continue;
        }
      }
      qsizetype end = i;
      while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r') ++end;
      if (line_.size() + (end - i) > Import_Max_Value_Length) {
        values_->error = Import_Value_Too_Long;
        return false;
      }
      line_.append(text.sliced(i, end - i));
      if (end == text.size()) break;
      after_cr_ = text.at(end) == u'\r';
      i = end + 1;
      if (!values_->add(std::exchange(line_, QString()))) return false;
    }
    return true;
  }
  bool finish() { return values_->add(std::exchange(line_, QString())); }

 private:
  Import_Values* values_;
  QString line_;
  bool after_cr_ = false;
};

QString unreadable(const QString& reason) { return Import_File_Unreadable + u'\n' + reason; }

// A text file that is not rich text, read, decoded and split a piece at a time.
QString read_plain(const QString& path, bool csv, Import_Values* values) {
  QFile file;
  QString reason;
  if (!Open_Regular_File(file, path, &reason)) return unreadable(reason);
  const auto too_large = [&] {
    return unreadable(QStringLiteral("%1 is larger than %2, more than a file of this kind holds")
                          .arg(QDir::toNativeSeparators(path), Bounded_File_Size_Text(Import_Max_Bytes)));
  };
  if (file.size() > Import_Max_Bytes) return too_large();
  Line_Values lines(values);
  Csv_Reader fields([values](QString&& field) { return values->add(field); }, [] { return true; },
                    Import_Max_Value_Length);
  Text_Decoder decoder([&](QStringView piece) { return csv ? fields.feed(piece) : lines.feed(piece); });
  // A small file needs no megabyte; a file that grows is still read to its end.
  QByteArray piece(qsizetype(std::clamp<qint64>(file.size() + 1, 4096, kPiece_Bytes)),
                   Qt::Uninitialized);
  qint64 total = 0;
  bool fed = true;
  while (fed) {
    const qint64 got = file.read(piece.data(), piece.size());
    if (got < 0) return unreadable(QStringLiteral("%1 cannot be read: %2")
                                       .arg(QDir::toNativeSeparators(path), file.errorString()));
    if (got == 0) break;
    total += got;
    if (total > Import_Max_Bytes) return too_large();  // grown while being read
    fed = decoder.feed(QByteArrayView(piece.constData(), got));
  }
  const auto stopped_because = [&] {
    return fields.field_too_long() ? Import_Value_Too_Long : values->error;
  };
  const bool decoded = fed && decoder.finish();
  if (decoder.stopped()) return stopped_because();
  // Bytes that are no text in the file's encoding are refused, never replaced: the message
  // every reader gives, with its reason below.
  if (!decoded)
    return Import_File_Corrupted + QStringLiteral("\n\n") +
           (decoder.utf8()
                ? QStringLiteral("%1 is not encoded in UTF-8: it holds bytes that are no UTF-8 "
                                 "character.")
                : QStringLiteral("%1 is not valid text in the encoding its byte-order mark "
                                 "names."))
               .arg(QDir::toNativeSeparators(path));
  if (!decoder.has_text()) return Import_File_Corrupted;
  if (!(csv ? fields.finish() : lines.finish())) return stopped_because();
  return {};
}

}  // namespace

Text_Import Read_Text_Import(const QString& path) {
  Text_Import result;
  Import_Values values;
  const QString extension = QFileInfo(path).suffix().toUpper();
  if (extension == QLatin1String("RTF")) {
    QByteArray bytes;
    QString reason;
    if (!Read_Bounded_File(path, Import_Max_Bytes, &bytes, &reason)) {
      result.error = unreadable(reason);
      return result;
    }
    // The text goes to the values as it is made, so that a limit stops the reading.
    Line_Values lines(&values);
    bool has_text = false;
    const Rtf_Result read = Rtf_To_Text(bytes, [&](QStringView piece) {
      has_text = true;
      return lines.feed(piece);
    });
    if (read == Rtf_Result::Stopped || (read == Rtf_Result::Text && has_text && !lines.finish())) {
      result.error = values.error;
    } else if (read != Rtf_Result::Text || !has_text) {
      result.error = Import_File_Corrupted;
    }
  } else {
    result.error = read_plain(path, extension == QLatin1String("CSV"), &values);
  }
  if (result.error.isEmpty() && values.values.isEmpty()) result.error = Import_No_Values;
  if (result.error.isEmpty()) result.values = std::move(values.values);
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
