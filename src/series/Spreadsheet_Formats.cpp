// XML Spreadsheet 2003 documents, OpenDocument spreadsheets, and the small workbook parts
// of the shared SpreadsheetWriter.

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Bounded_File.h"
#include "series/Cell_Reference.h"
#include "series/SpreadsheetWriter.h"
#include "series/Xml_Stream.h"
#include "series/Zip_Archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The largest XML file read (an XML 2003 table or the content of an OpenDocument
// spreadsheet). Both are streamed, so memory follows the rows made, not the file; the limit
// bounds the time a read takes.
constexpr qint64 kMax_Xml_Bytes = qint64(256) * 1024 * 1024;

[[noreturn]] void refuse_too_large() { throw Spreadsheet_Error(Too_Many_Cells_Reason()); }

// Data where no sheet has a place: past its last row or its last column. Empty rows and
// cells there are no data (tables are often padded so) and are passed over.
[[noreturn]] void refuse_past_last_row() {
  throw Spreadsheet_Error(QStringLiteral("The sheet holds data past its last row, 1,048,576: a "
                                         "sheet has no more rows."));
}
[[noreturn]] void refuse_past_last_column() {
  throw Spreadsheet_Error(QStringLiteral("The sheet holds data past its last column, XFD "
                                         "(16,384): a sheet has no more columns."));
}

// Counts that place rows and cells are read whole, well past the sheet's end, so that data
// placed there is seen rather than moved onto the last row or column.
constexpr int kMax_Place_Count = std::numeric_limits<int>::max();

// Counts the characters a read makes, before it makes them (kMax_Read_Characters).
struct Text_Budget {
  qint64 used = 0;
  void take(qint64 characters) {
    used += characters;
    if (used > kMax_Read_Characters) throw Spreadsheet_Error(Too_Much_Text_Reason());
  }
};

// The number a value starts with, read as spreadsheet programs read counts: white space
// first, a sign, decimal digits or "0x" and hex digits, up to the first other character;
// a number too large for 64 bits becomes the largest.
long long leading_integer(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
    ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  int base = 10;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  constexpr unsigned long long kLargest = 9223372036854775807ull;
  unsigned long long value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      break;
    value = std::min(value * base + digit, kLargest + 1);
  }
  if (negative) return value == 0 ? 0 : -(long long)std::min(value, kLargest);
  return (long long)std::min(value, kLargest);
}

// The attribute's count, from 1 up to `limit`; `fallback` when it is missing or below 1.
int positive_attribute(const Xml_Pull_Reader& reader, std::string_view name, int fallback,
                       int limit) {
  std::string value;
  if (!reader.attribute(name, value)) return fallback;
  const long long number = leading_integer(value);
  if (number < 1) return fallback;
  return int(std::min<long long>(number, limit));
}

// Opens an XML file of at most kMax_Xml_Bytes for streaming; throws with the reason.
void open_xml(QFile& file, const QString& path) {
  QString reason;
  if (!Open_Regular_File(file, path, &reason)) throw Spreadsheet_Error(reason);
  if (file.size() > kMax_Xml_Bytes)
    throw Spreadsheet_Error(
        QStringLiteral("%1 is larger than %2, more than a file of this kind holds")
            .arg(QDir::toNativeSeparators(path), Bounded_File_Size_Text(kMax_Xml_Bytes)));
}

// The next token of the file at `path`; throws the reason of a document that is not well
// formed (white space between elements is kept: in mixed content it is part of the text).
Xml_Pull_Reader::Token next_token(Xml_Pull_Reader& reader, const QString& path) {
  const Xml_Pull_Reader::Token token = reader.next();
  if (token == Xml_Pull_Reader::Error)
    throw Spreadsheet_Error(QStringLiteral("%1: %2").arg(path, reader.error_string()));
  return token;
}

// The current text token as a string, after the budget took its characters.
QString text_of(const Xml_Pull_Reader& reader, std::string& scratch) {
  scratch.clear();
  reader.append_text(scratch);
  return QString::fromUtf8(scratch.data(), qsizetype(scratch.size()));
}

// Makes every row `width` cells wide. Empty rows (a million of them after a far row index)
// all share one blank row.
void pad_rows(Sheet_Rows* rows, qsizetype width) {
  const QStringList blank(width, QString());
  for (QStringList& row : *rows) {
    if (row.isEmpty())
      row = blank;
    else if (row.size() < width)
      row.resize(width);
  }
}

qsizetype widest_row(const Sheet_Rows& rows) {
  qsizetype widest = 0;
  for (const QStringList& row : rows) widest = std::max(widest, row.size());
  return widest;
}

std::string number_text(long long value) { return std::to_string(value); }

// ---- OpenDocument text -------------------------------------------------------------------

// The text of a paragraph by the white-space rules of OpenDocument: runs of literal white
// space count as one space and vanish at the paragraph's ends; <text:s/>, <text:tab/> and
// <text:line-break/> are the characters they stand for. Annotations are not cell text.
struct Paragraph_Text {
  explicit Paragraph_Text(Text_Budget* budget) : budget(budget) {}
  Text_Budget* budget;
  QString text;
  bool pending_space = false;

  // Every character of a literal part makes at most one character (a space that a run of
  // white space folds into included), so its size is what it may make.
  void literal(const QString& part) {
    budget->take(part.size());
    for (const QChar c : part) {
      if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
        if (!text.isEmpty()) pending_space = true;
        continue;
      }
      flush();
      text.append(c);
    }
  }
  void exact(QChar c, int count) {
    budget->take(count);
    flush();
    text.append(QString(count, c));
  }
  void flush() {
    if (pending_space) text.append(u' ');
    pending_space = false;
  }
};

// The rows of an OpenDocument table as its rows and cells arrive: start_row, add_cell for
// each cell, end_row. Rows without text are left out (as every reader does), and so are
// empty cells after a row's last text. Throws Spreadsheet_Error for a table that would make
// more cells or text than a read hands out, or that holds text past the sheet's last row or
// column.
class Ods_Table {
 public:
  Text_Budget budget;

  // `repeat`: the row's number-rows-repeated.
  void start_row(int repeat) {
    row_ = QStringList();
    far_row_.clear();
    column_ = 0;
    row_repeat_ = repeat;
  }
  // A cell, `repeat` times, holding `text`. Empty cells are only counted until a text
  // follows them, and texts far beyond wait in far_row_.
  void add_cell(int repeat, const QString& text) {
    if (!text.isEmpty()) {
      if (column_ + repeat > kMax_Sheet_Columns) refuse_past_last_column();
      if (far_row_.isEmpty() && column_ - row_.size() <= kNear_Columns) {
        row_.resize(column_);
        for (int i = 0; i < repeat; ++i) row_.append(text);
      } else {
        for (int i = 0; i < repeat; ++i) far_row_.append({column_ + i, text});
      }
    }
    column_ += repeat;
  }
  void end_row() {
    // Empty cells that pad a row to the table's width are no data.
    const qsizetype row_width = far_row_.isEmpty() ? row_.size() : far_row_.back().first + 1;
    const qint64 repeat = row_repeat_;
    const qint64 first_place = place_;
    place_ += repeat;
    if (row_width == 0) return;  // an empty row, however often repeated, is no data
    if (first_place + repeat > kMax_Sheet_Rows) refuse_past_last_row();
    // A row whose far texts fill much of it is made whole at once.
    if (!far_row_.isEmpty() && far_row_.size() * 8 >= row_width) {
      row_.resize(row_width);
      for (auto& [at, text] : far_row_) row_[at] = std::move(text);
      far_row_.clear();
    }
    const qsizetype width = std::max(widest_, row_width);
    // The cells the table will have once padded, counted before any is made.
    if (qint64(width) * (rows_.size() + repeat) > kMax_Read_Cells) refuse_too_large();
    widest_ = width;
    for (qint64 i = repeat; i > 0; --i) {
      for (const auto& [at, text] : far_row_) far_.push_back({rows_.size(), at, text});
      rows_.append(row_);
    }
    row_ = QStringList();
    far_row_.clear();
  }

  // The rows made as wide as the widest.
  Sheet_Rows finish() {
    pad_rows(&rows_, widest_);
    for (Far_Text& far : far_) rows_[far.row][far.column] = std::move(far.text);
    far_.clear();
    return std::move(rows_);
  }

 private:
  // A text far beyond the other cells of its row, kept aside until the table is known to fit
  // (a row with one cell in column XFD costs one cell meanwhile, not 16,384).
  struct Far_Text {
    qsizetype row;
    qsizetype column;  // from 0
    QString text;
  };
  static constexpr qsizetype kNear_Columns = 256;

  Sheet_Rows rows_;
  std::vector<Far_Text> far_;
  qsizetype widest_ = 0;
  qint64 place_ = 0;  // the sheet rows passed so far, empty ones included
  // The row being read: its cells up to its last near one, its far texts (column from 0),
  // the next cell's column (from 0) and its repeat count.
  QStringList row_;
  QList<std::pair<qsizetype, QString>> far_row_;
  qint64 column_ = 0;
  int row_repeat_ = 1;
};

// Writes one line of a cell text as OpenDocument paragraph content: a space that a reader
// would fold away (at an end, or after another space) becomes <text:s/>, a tab <text:tab/>.
void write_odf_line(Xml_Writer& out, const QString& line) {
  QString run;
  const auto flush = [&] {
    if (!run.isEmpty()) out.text(run);
    run.clear();
  };
  qsizetype i = 0;
  while (i < line.size()) {
    const QChar c = line.at(i);
    if (c == u' ') {
      qsizetype spaces = 1;
      while (i + spaces < line.size() && line.at(i + spaces) == u' ') ++spaces;
      const bool keep_first = i > 0 && i + spaces < line.size();
      if (keep_first) run.append(u' ');
      const qsizetype extra = keep_first ? spaces - 1 : spaces;
      if (extra > 0) {
        flush();
        out.start("text:s");
        if (extra > 1) out.attribute("text:c", number_text(extra));
        out.end("text:s");
      }
      i += spaces;
      continue;
    }
    if (c == u'\t') {
      flush();
      out.start("text:tab");
      out.end("text:tab");
    } else if (c != u'\r') {
      run.append(c);
    }
    ++i;
  }
  flush();
}

// A cell text as paragraphs, one per line, as spreadsheet programs keep line breaks.
void write_odf_text(Xml_Writer& out, const QString& text) {
  for (const QString& line : text.split(u'\n')) {
    out.start("text:p");
    write_odf_line(out, line);
    out.end("text:p");
  }
}

}  // namespace

// ---- XML Spreadsheet 2003 ------------------------------------------------------------------

// The rows of the first table of the first worksheet, streamed. A row, like a cell, may name
// its place (ss:Index, from 1); the rows it skips are empty. An index that goes back is not
// valid: such a row (or cell) takes the next place, losing nothing. A cell's text is all the
// text of its first <Data>; ss:MergeAcross leaves the cells it covers empty. Rows without
// text are left out (as every reader does), and so are empty cells after a row's last text;
// text past row kMax_Sheet_Rows or column kMax_Sheet_Columns is refused, empty rows and
// cells there are passed over. The table's extent (its rows times its widest text's place,
// which far indices make large from a small file) is checked before the cells up to a new
// place are made.
Sheet_Rows SpreadsheetWriter::ReadWorksheetXML2004(const QString& path) {
  QFile file;
  open_xml(file, path);
  Xml_Pull_Reader reader(&file);
  Sheet_Rows rows;
  Text_Budget budget;
  qint64 widest = 0;
  // Places are counted past the sheet's end, so that text there is seen, not moved.
  qint64 next_row = 1, next_column = 1, row_place = 0, column = 0;
  // The depth of the open worksheet, table, row, cell and data element (0: none open), and
  // of an element whose content is passed over.
  int worksheet = 0, table = 0, row = 0, cell = 0, data = 0, skip = 0;
  bool worksheet_seen = false, table_seen = false, data_seen = false;
  QStringList cells;  // the open row's cells up to its last text
  QString text;
  std::string scratch;
  for (;;) {
    const Xml_Pull_Reader::Token token = next_token(reader, path);
    if (token == Xml_Pull_Reader::End_Of_Document) break;
    const int depth = reader.depth();
    if (skip != 0) {
      if (token == Xml_Pull_Reader::End_Element && depth == skip) skip = 0;
      continue;
    }
    if (token == Xml_Pull_Reader::Text) {
      if (data != 0) {
        const QString part = text_of(reader, scratch);
        budget.take(part.size());
        text.append(part);
      }
      continue;
    }
    const std::string_view name = reader.name();
    if (token == Xml_Pull_Reader::Start_Element) {
      if (depth == 1) {
        if (name != "Workbook")
          throw Spreadsheet_Error(QStringLiteral("%1 is not an XML spreadsheet.").arg(path));
      } else if (data != 0) {
        // Formatting inside the data holds text too.
      } else if (cell != 0) {
        if (depth == cell + 1 && name == "Data" && !data_seen) {
          data = depth;
          data_seen = true;
        } else {
          skip = depth;
        }
      } else if (row != 0) {
        if (depth == row + 1 && name == "Cell") {
          column = std::max<qint64>(
              next_column, positive_attribute(reader, "Index", 1, kMax_Place_Count));
          next_column =
              column + 1 + positive_attribute(reader, "MergeAcross", 0, kMax_Place_Count);
          cell = depth;
          data_seen = false;
          text.clear();
        } else {
          skip = depth;
        }
      } else if (table != 0) {
        if (depth == table + 1 && name == "Row") {
          row_place = std::max<qint64>(
              next_row, positive_attribute(reader, "Index", 1, kMax_Place_Count));
          next_row = row_place + 1;
          next_column = 1;
          cells = QStringList();
          row = depth;
        } else {
          skip = depth;
        }
      } else if (worksheet != 0) {
        if (depth == worksheet + 1 && name == "Table" && !table_seen) {
          table = depth;
          table_seen = true;
        } else {
          skip = depth;
        }
      } else if (depth == 2 && name == "Worksheet" && !worksheet_seen) {
        worksheet = depth;
        worksheet_seen = true;
      } else {
        skip = depth;
      }
      continue;
    }
    // The end of an element that is read.
    if (depth == data) {
      data = 0;
    } else if (depth == cell) {
      cell = 0;
      if (text.isEmpty()) continue;  // an empty cell is no data, wherever it lies
      if (row_place > kMax_Sheet_Rows) refuse_past_last_row();
      if (column > kMax_Sheet_Columns) refuse_past_last_column();
      // The table as wide as this text's place, this row counted, before the row grows.
      if (std::max(widest, column) * (rows.size() + 1) > kMax_Read_Cells) refuse_too_large();
      widest = std::max(widest, column);
      while (cells.size() < column - 1) cells.append(QString());
      cells.append(text);
      text.clear();
    } else if (depth == row) {
      row = 0;
      if (!cells.isEmpty()) rows.append(std::move(cells));
      cells = QStringList();
    } else if (depth == table) {
      table = 0;
    } else if (depth == worksheet) {
      worksheet = 0;
    }
  }
  pad_rows(&rows, qsizetype(widest));
  return rows;
}

bool SpreadsheetWriter::WriteWorksheetXML2004(const QString& path, const Sheet_Rows& rows) {
  const qsizetype columns = widest_row(rows);
  if (columns == 0) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: there is nothing to write.").arg(path));
    return false;
  }
  Xml_Writer out(path);
  if (!out.open()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  out.declaration();
  out.start("Workbook");
  out.attribute("xmlns", std::string_view("urn:schemas-microsoft-com:office:spreadsheet"));
  out.attribute("xmlns:o", std::string_view("urn:schemas-microsoft-com:office:office"));
  out.attribute("xmlns:x", std::string_view("urn:schemas-microsoft-com:office:excel"));
  out.attribute("xmlns:ss", std::string_view("urn:schemas-microsoft-com:office:spreadsheet"));
  out.attribute("xmlns:html", std::string_view("http://www.w3.org/TR/REC-html40"));
  out.newline();
  out.start("Worksheet");
  out.attribute("ss:Name", std::string_view("Notes"));
  out.newline();
  out.start("Table");
  out.attribute("ss:ExpandedColumnCount", number_text(columns));
  out.attribute("ss:ExpandedRowCount", number_text(rows.size()));
  out.newline();
  for (const QStringList& row : rows) {
    out.start("Row");
    for (const QString& text : row) {
      out.start("Cell");
      out.start("Data");
      out.attribute("ss:Type", std::string_view(Is_Plain_Number(text) ? "Number" : "String"));
      out.text(text);
      out.end("Data");
      out.end("Cell");
    }
    out.end("Row");
    out.newline();
  }
  out.end("Table");
  out.newline();
  out.end("Worksheet");
  out.newline();
  out.end("Workbook");
  out.newline();
  if (!out.commit()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  return true;
}

// ---- OpenDocument spreadsheets -----------------------------------------------------------

Sheet_Rows SpreadsheetWriter::ReadODS(const QString& path) {
  SpreadsheetWriter& shared = spreadsheet();
  if (!shared.Prepare_Unpack_Folder())
    throw Spreadsheet_Error(QStringLiteral("Could not prepare the folder %1").arg(shared.tmpDir_));
  Zip_Error zip_error;
  // Only the content part is read, so only it is unpacked.
  if (!Zip_Archive::unzipFileAtPath(path, shared.tmpDir_, true, QString(), &zip_error,
                                    Workbook_Zip_Limits(),
                                    [](const QString& entry) { return entry == u"content.xml"; })) {
    shared.Prepare_Unpack_Folder();
    throw Spreadsheet_Error(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                                         zip_error.localizedDescription));
  }
  shared.source_ = path;
  const QString content = shared.tmpDir_ + QStringLiteral("/content.xml");
  if (!QFileInfo::exists(content) && !QFileInfo(content).isSymLink())
    throw Spreadsheet_Error(
        QStringLiteral("%1 holds no part content.xml").arg(QDir::toNativeSeparators(path)));
  try {
    return ReadODSContent(content);
  } catch (const Spreadsheet_Error& error) {
    throw Spreadsheet_Error(shared.Shown_Reason(error.reason(), content));
  }
}

// The first table of the first spreadsheet of the first body, streamed. Rows stand in the
// table, in groups of rows, and in groups of those; cells in rows; paragraphs in cells, with
// text in spans and links below them. Everything else is passed over.
Sheet_Rows SpreadsheetWriter::ReadODSContent(const QString& path) {
  QFile file;
  open_xml(file, path);
  Xml_Pull_Reader reader(&file);
  Ods_Table table;
  // The depth of the open body, spreadsheet, table, row, cell and paragraph (0: none open),
  // and of an element whose content is passed over.
  int body = 0, spreadsheet = 0, sheet = 0, row = 0, cell = 0, paragraph = 0, skip = 0;
  bool body_seen = false, spreadsheet_seen = false, sheet_seen = false;
  int cell_repeat = 1;
  QStringList paragraphs;
  std::optional<Paragraph_Text> text;
  std::string scratch;
  for (;;) {
    const Xml_Pull_Reader::Token token = next_token(reader, path);
    if (token == Xml_Pull_Reader::End_Of_Document) break;
    const int depth = reader.depth();
    if (skip != 0) {
      if (token == Xml_Pull_Reader::End_Element && depth == skip) skip = 0;
      continue;
    }
    if (token == Xml_Pull_Reader::Text) {
      if (paragraph != 0) text->literal(text_of(reader, scratch));
      continue;
    }
    const std::string_view name = reader.name();
    if (token == Xml_Pull_Reader::Start_Element) {
      if (depth == 1) {
        if (name != "document-content")
          throw Spreadsheet_Error(
              QStringLiteral("%1 is not an OpenDocument content part.").arg(path));
      } else if (paragraph != 0) {
        if (name == "s")
          text->exact(u' ', positive_attribute(reader, "c", 1, kMax_Sheet_Columns));
        else if (name == "tab")
          text->exact(u'\t', 1);
        else if (name == "line-break")
          text->exact(u'\n', 1);
        // Spans and links hold text; annotations and notes do not.
        if (name == "s" || name == "tab" || name == "line-break" || name == "annotation" ||
            name == "note")
          skip = depth;
      } else if (cell != 0) {
        if (depth == cell + 1 && (name == "p" || name == "h")) {
          if (!paragraphs.isEmpty()) table.budget.take(1);  // the line break before it
          text.emplace(&table.budget);
          paragraph = depth;
        } else {
          skip = depth;
        }
      } else if (row != 0) {
        if (depth == row + 1 && (name == "table-cell" || name == "covered-table-cell")) {
          cell_repeat =
              positive_attribute(reader, "number-columns-repeated", 1, kMax_Place_Count);
          paragraphs.clear();
          cell = depth;
        } else {
          skip = depth;
        }
      } else if (sheet != 0) {
        if (name == "table-row") {
          table.start_row(positive_attribute(reader, "number-rows-repeated", 1, kMax_Place_Count));
          row = depth;
        } else if (name != "table-header-rows" && name != "table-rows" &&
                   name != "table-row-group") {
          skip = depth;
        }
      } else if (spreadsheet != 0) {
        if (depth == spreadsheet + 1 && name == "table" && !sheet_seen) {
          sheet = depth;
          sheet_seen = true;
        } else {
          skip = depth;
        }
      } else if (body != 0) {
        if (depth == body + 1 && name == "spreadsheet" && !spreadsheet_seen) {
          spreadsheet = depth;
          spreadsheet_seen = true;
        } else {
          skip = depth;
        }
      } else if (depth == 2 && name == "body" && !body_seen) {
        body = depth;
        body_seen = true;
      } else {
        skip = depth;
      }
      continue;
    }
    // The end of an element that is read.
    if (depth == paragraph) {
      paragraphs << std::move(text->text);
      text.reset();
      paragraph = 0;
    } else if (depth == cell) {
      table.add_cell(cell_repeat, paragraphs.join(u'\n'));
      cell = 0;
    } else if (depth == row) {
      table.end_row();
      row = 0;
    } else if (depth == sheet) {
      sheet = 0;
    } else if (depth == spreadsheet) {
      spreadsheet = 0;
    } else if (depth == body) {
      body = 0;
    }
  }
  return table.finish();
}

bool SpreadsheetWriter::WriteODS(const QString& path, const Sheet_Rows& rows, bool) {
  SpreadsheetWriter& shared = spreadsheet();
  if (!shared.Unpack_Template_For(path, rows, QStringLiteral("Template.ods"))) return false;
  const QString folder = shared.tmpDir_;
  if (!shared.WriteODSData(folder + QStringLiteral("/content.xml"))) return false;
  // The package's "mimetype" comes first and uncompressed, so that it can be recognised
  // from its first bytes.
  Zip_Archive archive(path);
  bool written = archive.open();
  const QStringList entries = QDir(folder).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  if (written && entries.contains(QStringLiteral("mimetype")))
    written = archive.writeFile(QStringLiteral("mimetype"), folder, false);
  for (const QString& entry : entries)
    if (written && entry != u"mimetype") written = archive.writeFile(entry, folder);
  if (!written || !archive.close()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, archive.errorString()));
    return false;
  }
  return true;
}

bool SpreadsheetWriter::WriteODSData(const QString& path) {
  static const char* const kNamespaces[][2] = {
      {"xmlns:office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
      {"xmlns:style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
      {"xmlns:text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
      {"xmlns:table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
      {"xmlns:draw", "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"},
      {"xmlns:fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
      {"xmlns:meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
      {"xmlns:number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"},
      {"xmlns:presentation", "urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"},
      {"xmlns:svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
      {"xmlns:chart", "urn:oasis:names:tc:opendocument:xmlns:chart:1.0"},
      {"xmlns:dr3d", "urn:oasis:names:tc:opendocument:xmlns:dr3d:1.0"},
      {"xmlns:form", "urn:oasis:names:tc:opendocument:xmlns:form:1.0"},
      {"xmlns:script", "urn:oasis:names:tc:opendocument:xmlns:script:1.0"},
      {"xmlns:of", "urn:oasis:names:tc:opendocument:xmlns:of:1.2"},
      {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
      {"xmlns:math", "http://www.w3.org/1998/Math/MathML"},
      {"xmlns:dom", "http://www.w3.org/2001/xml-events"},
      {"xmlns:xforms", "http://www.w3.org/2002/xforms"},
      {"xmlns:xsd", "http://www.w3.org/2001/XMLSchema"},
      {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
      {"xmlns:html", "http://www.w3.org/1999/xhtml"},
      {"xmlns:grddl", "http://www.w3.org/2003/g/data-view#"},
      {"xmlns:css3t", "http://www.w3.org/TR/css3-text/"},
      {"xmlns:dc", "http://purl.org/dc/elements/1.1/"},
      {"xmlns:ooo", "http://openoffice.org/2004/office"},
      {"xmlns:ooow", "http://openoffice.org/2004/writer"},
      {"xmlns:oooc", "http://openoffice.org/2004/calc"},
      {"xmlns:rpt", "http://openoffice.org/2005/report"},
      {"xmlns:tableooo", "http://openoffice.org/2009/table"},
      {"xmlns:field", "urn:openoffice:names:experimental:ooo-ms-interop:xmlns:field:1.0"},
      {"xmlns:formx", "urn:openoffice:names:experimental:ooxml-odf-interop:xmlns:form:1.0"},
  };
  const qsizetype columns = widest_row(data_);
  Xml_Writer out(path);
  if (!out.open()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  out.declaration();
  out.start("office:document-content");
  for (const auto& ns : kNamespaces) out.attribute(ns[0], std::string_view(ns[1]));
  out.attribute("office:version", std::string_view("1.2"));
  out.newline();
  out.start("office:scripts");
  out.end("office:scripts");
  out.start("office:font-face-decls");
  for (const auto& face : {std::pair<const char*, const char*>{"Arial", "swiss"},
                           {"Arial Unicode MS", "system"},
                           {"Tahoma", "system"}}) {
    out.start("style:font-face");
    out.attribute("style:name", std::string_view(face.first));
    out.attribute("svg:font-family", std::string_view(face.first));
    out.attribute("style:font-family-generic", std::string_view(face.second));
    out.attribute("style:font-pitch", std::string_view("variable"));
    out.end("style:font-face");
  }
  out.end("office:font-face-decls");
  out.newline();
  out.start("office:automatic-styles");
  out.start("style:style");
  out.attribute("style:name", std::string_view("co1"));
  out.attribute("style:family", std::string_view("table-column"));
  out.start("style:table-column-properties");
  out.attribute("fo:break-before", std::string_view("auto"));
  out.attribute("style:column-width", std::string_view("2.258cm"));
  out.end("style:table-column-properties");
  out.end("style:style");
  out.start("style:style");
  out.attribute("style:name", std::string_view("ro1"));
  out.attribute("style:family", std::string_view("table-row"));
  out.start("style:table-row-properties");
  out.attribute("style:row-height", std::string_view("0.427cm"));
  out.attribute("fo:break-before", std::string_view("auto"));
  out.attribute("style:use-optimal-row-height", std::string_view("true"));
  out.end("style:table-row-properties");
  out.end("style:style");
  out.start("style:style");
  out.attribute("style:name", std::string_view("ta1"));
  out.attribute("style:family", std::string_view("table"));
  out.attribute("style:master-page-name", std::string_view("Default"));
  out.start("style:table-properties");
  out.attribute("table:display", std::string_view("true"));
  out.attribute("style:writing-mode", std::string_view("lr-tb"));
  out.end("style:table-properties");
  out.end("style:style");
  out.end("office:automatic-styles");
  out.newline();
  out.start("office:body");
  out.start("office:spreadsheet");
  out.start("table:table");
  out.attribute("table:name", std::string_view("Sheet1"));
  out.attribute("table:style-name", std::string_view("ta1"));
  out.newline();
  out.start("table:table-column");
  out.attribute("table:style-name", std::string_view("co1"));
  out.attribute("table:number-columns-repeated", number_text(columns));
  out.attribute("table:default-cell-style-name", std::string_view("Default"));
  out.end("table:table-column");
  out.newline();
  for (const QStringList& row : data_) {
    out.start("table:table-row");
    out.attribute("table:style-name", std::string_view("ro1"));
    for (const QString& text : row) {
      out.start("table:table-cell");
      out.attribute("office:value-type", std::string_view("string"));
      write_odf_text(out, text);
      out.end("table:table-cell");
    }
    out.end("table:table-row");
    out.newline();
  }
  out.end("table:table");
  out.end("office:spreadsheet");
  out.end("office:body");
  out.newline();
  out.end("office:document-content");
  out.newline();
  if (!out.commit()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  return true;
}

// ---- Workbook part -------------------------------------------------------------------------

QStringList SpreadsheetWriter::Read_Sheet_Name() {
  QFile file;
  const QString path = spreadsheet().tmpDir_ + QStringLiteral("/xl/workbook.xml");
  if (!Open_Regular_File(file, path) || file.size() > kMax_Xml_Bytes) return {};
  Xml_Pull_Reader reader(&file);
  QStringList names;
  for (;;) {
    const Xml_Pull_Reader::Token token = reader.next();
    if (token == Xml_Pull_Reader::End_Of_Document) return names;
    if (token == Xml_Pull_Reader::Error) return {};
    if (token != Xml_Pull_Reader::Start_Element || reader.name() != "sheet") continue;
    // A package holds no more worksheets than entries: a part naming more is no workbook's.
    if (names.size() >= Zip_Limits().max_entries) return {};
    names << reader.attribute("name");
  }
}

bool SpreadsheetWriter::WriteWorkbookXML(const QString& path, const QString& sheet_name) {
  Xml_Writer out(path);
  if (!out.open()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  out.declaration(false, true);
  out.start("workbook");
  out.attribute("xml:space", std::string_view("preserve"));
  out.attribute("xmlns",
                std::string_view("http://schemas.openxmlformats.org/spreadsheetml/2006/main"));
  out.attribute(
      "xmlns:r",
      std::string_view("http://schemas.openxmlformats.org/officeDocument/2006/relationships"));
  out.start("sheets");
  out.start("sheet");
  out.attribute("name", sheet_name);
  out.end("sheet");
  out.end("sheets");
  out.end("workbook");
  out.newline();
  if (!out.commit()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  return true;
}
