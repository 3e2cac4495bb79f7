#include "series/SpreadsheetWriter.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Bounded_File.h"
#include "series/Cell_Reference.h"
#include "series/Xml_Stream.h"
#include "series/Zip_Archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <memory>
#include <thread>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace {

constexpr std::string_view kMain_Namespace =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kRelationships_Namespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QString utf8_text(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n'))
    text.remove_suffix(1);
  return text;
}

qsizetype widest_row(const Sheet_Rows& rows) {
  qsizetype widest = 0;
  for (const QStringList& row : rows) widest = std::max(widest, row.size());
  return widest;
}

std::string decimal(long long value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

// ---- Worksheet reading -------------------------------------------------------------------

// The extent of the rows read so far: the rows, the width of the widest and the characters
// of text made. The workbook's shared strings are held meanwhile: each counts as a cell, and
// their characters count first. Scans of pieces of one sheet share it, so that the whole
// sheet's extent is checked as it grows.
struct Sheet_Extent {
  Sheet_Extent(const QStringList& shared_strings, qint64 shared_characters)
      : shared_strings(shared_strings.size()), characters(shared_characters) {}
  const qint64 shared_strings;
  std::atomic<qint64> rows{0};
  std::atomic<int> widest{0};
  std::atomic<qint64> characters;
  std::atomic<bool> too_large{false};      // the rows read passed kMax_Read_Cells
  std::atomic<bool> too_much_text{false};  // their texts passed kMax_Read_Characters
  // Whether rows this many, each this wide, are more than a read takes.
  bool past_cells(qint64 row_count, qint64 width) const {
    return row_count * width + shared_strings > kMax_Read_Cells;
  }
  QString too_large_reason() const { return Too_Many_Cells_Reason(shared_strings); }
  // Throws the reason when the rows read passed a limit.
  void refuse_past_limits() const {
    if (too_large) throw Spreadsheet_Error(too_large_reason());
    if (too_much_text) throw Spreadsheet_Error(Too_Much_Text_Reason());
  }
};

// A cell that lies far beyond the other cells of its row, kept aside until the rows are
// made whole (once the sheet is known to fit): a row with one cell in column XFD costs one
// cell meanwhile, not 16,384.
struct Far_Cell {
  qsizetype row;  // its row's place among the rows the scan gives
  int column;
  QString value;
};

// Walks a worksheet part once, cell by cell, into one row per stored row element, each at
// least `columns` wide (wider where a filled cell lies beyond). It notes on the way what
// the column titles need: the dimension and the widest filled cell.
class Worksheet_Scan {
 public:
  // `first_row_only`: the scan ends with the first stored row. `extent` is shared with the
  // scans of the other pieces of the sheet.
  Worksheet_Scan(const QStringList& shared_strings, int columns, bool first_row_only,
                 Sheet_Extent* extent)
      : shared_(shared_strings), columns_(columns), first_row_only_(first_row_only),
        extent_(extent) {}

  // False on a part that is not well formed (error()). Throws Spreadsheet_Error.
  bool run(Xml_Pull_Reader& reader, Sheet_Rows* rows);
  // The same for a piece of the sheet data after its first row (a reader made for the
  // piece, the worksheet and its sheet data open): rows at least `columns` wide; the
  // dimension is the first piece's.
  bool run_piece(Xml_Pull_Reader& reader, Sheet_Rows* rows);
  int widest_filled() const { return widest_filled_; }
  void take_widest_filled(int widest) { widest_filled_ = std::max(widest_filled_, widest); }
  // The width every row starts with.
  int blank_width() const { return blank_width_; }
  QString error() const { return error_; }
  // The width of the rows read.
  int columns() const { return columns_; }
  // Makes the rows this scan gave `width` wide, with the cells kept aside in place.
  void finish_rows(Sheet_Rows* rows, int width);
  // The columns the sheet declares: the dimension's; or, when the sheet has none or one
  // that claims more than kTrusted_Dimension columns, those its filled cells use (never
  // more than the dimension claims); `otherwise` when nothing says.
  int declared_columns(int otherwise) const;

 private:
  void start_cell(const Xml_Pull_Reader& reader);
  void end_cell();
  void place(int column, const QString& value, QStringList* row);
  // Notes a row `width` wide in the extent (a new row when `new_row`); throws when the rows
  // read so far, at the widest width seen, make more cells than a read hands out.
  void grow_extent(int width, bool new_row);
  // Counts characters of text about to be made; throws past kMax_Read_Characters.
  void take_characters(qint64 characters);

  const QStringList& shared_;
  int columns_;
  bool first_row_only_;
  QString error_;
  // The current row and cell.
  qsizetype row_count_ = 0;
  int previous_column_ = 0;
  int cell_column_ = 0;
  char cell_kind_ = 'n';  // 's' shared string, 'i' inline string, 'n' anything else
  std::string value_;
  std::string inline_text_;
  QStringList row_;
  qsizetype row_place_ = 0;  // the current row's place among the rows given
  int row_width_ = 0;        // the current row's width, its far cells included
  int row_far_from_ = 0;     // the current row's nearest far cell's column (0: none)
  qsizetype last_row_size_ = 0;  // the cells the row before held up to its last near one
  int widest_row_ = 0;       // the widest row this scan gave
  std::vector<Far_Cell> far_;
  Sheet_Extent* extent_;
  int dimension_columns_ = 0;  // 0: no usable dimension
  int widest_filled_ = 0;
  int blank_width_ = 0;
  bool inside_ = false;  // a piece of the sheet data: the worksheet and sheet data are open
};

// A dimension up to this wide is taken as it is; a wider one (whole formatted columns can
// give one) is checked against the cells.
constexpr int kTrusted_Dimension = 1024;
// The bytes of a shared string cell's value kept: its index with some white space.
constexpr size_t kMax_Index_Bytes = 1024;
// A cell more than this many columns beyond the end of its row waits aside (Far_Cell).
constexpr int kNear_Columns = 256;
// The most shared strings a workbook read takes in: no sheet shows more texts than it has
// cells. Their characters count toward kMax_Read_Characters.
constexpr qsizetype kMax_Shared_Strings = qsizetype(kMax_Read_Cells);

bool Worksheet_Scan::run_piece(Xml_Pull_Reader& reader, Sheet_Rows* rows) {
  inside_ = true;
  row_count_ = 1;  // the first row is read before the pieces
  return run(reader, rows);
}

bool Worksheet_Scan::run(Xml_Pull_Reader& reader, Sheet_Rows* rows) {
  bool worksheet = inside_, dimension_seen = inside_, in_sheet_data = inside_;
  bool sheet_data_done = false;
  bool in_row = false, in_cell = false, in_value = false, in_inline = false, in_text = false;
  int phonetic_depth = 0;
  // The width every row has once made whole. Rows start empty and grow with their cells
  // (finish_rows pads them), so that a row costs what it holds until the sheet is known to fit.
  int blank_width = qMax(columns_, 0);
  for (;;) {
    const Xml_Pull_Reader::Token token = reader.next();
    if (token == Xml_Pull_Reader::End_Of_Document) break;
    if (token == Xml_Pull_Reader::Error) {
      error_ = reader.error_string();
      return false;
    }
    const int depth = reader.depth();
    if (token == Xml_Pull_Reader::Text) {
      if (in_value)
        reader.append_text(value_);
      else if (in_text)
        reader.append_text(inline_text_);
      else
        continue;
      if (cell_kind_ == 's') {
        // An index into the shared strings: no valid one is nearly this long.
        if (value_.size() > kMax_Index_Bytes) value_.resize(kMax_Index_Bytes);
        continue;
      }
      // A text of n bytes of UTF-8 makes at least n / 3 characters: a cell of many runs is
      // refused while its bytes gather, before it is made.
      if (extent_->characters + qint64(value_.size() + inline_text_.size()) / 3 >
          kMax_Read_Characters) {
        extent_->too_much_text = true;
        throw Spreadsheet_Error(Too_Much_Text_Reason());
      }
      continue;
    }
    const std::string_view name = reader.name();
    if (token == Xml_Pull_Reader::Start_Element) {
      if (depth == 1) {
        worksheet = name == "worksheet";
      } else if (!worksheet) {
        continue;
      } else if (depth == 2) {
        if (name == "dimension" && !dimension_seen) {
          dimension_seen = true;
          dimension_columns_ = Dimension_Columns(reader.raw_attribute("ref"));
          // A dimension that can be trusted gives the rows their width from the start.
          if (dimension_columns_ > columns_ && dimension_columns_ <= kTrusted_Dimension &&
              row_count_ == 0)
            blank_width = dimension_columns_;
        } else if (name == "sheetData" && !sheet_data_done) {
          in_sheet_data = true;
        }
      } else if (depth == 3 && in_sheet_data && name == "row") {
        in_row = true;
        previous_column_ = 0;
        row_width_ = blank_width;
        row_far_from_ = 0;
        grow_extent(row_width_, true);
        row_place_ = rows->size();
        row_ = QStringList();
      } else if (depth == 4 && in_row && name == "c") {
        in_cell = true;
        start_cell(reader);
      } else if (depth == 5 && in_cell) {
        in_value = name == "v";
        in_inline = name == "is";
      } else if (in_inline && depth >= 6) {
        if (name == "rPh" && phonetic_depth == 0)
          phonetic_depth = depth;
        else if (name == "t" && phonetic_depth == 0 && (depth == 6 || depth == 7))
          in_text = true;
      }
      continue;
    }
    // End_Element
    if (!worksheet || depth < 2) continue;
    if (depth == 2 && name == "sheetData" && in_sheet_data) {
      in_sheet_data = false;
      sheet_data_done = true;
    } else if (depth == 3 && in_row && name == "row") {
      in_row = false;
      if (row_.isEmpty() && row_far_from_ == 0) {
        // A row without text is no row of the sheet's data (as every reader has it): it is
        // neither handed out nor counted, and the titles come from the first row with text.
        --extent_->rows;
        continue;
      }
      widest_row_ = std::max(widest_row_, row_width_);
      last_row_size_ = row_.size();
      rows->append(std::move(row_));
      row_ = QStringList();
      ++row_count_;
      if (first_row_only_) break;
    } else if (depth == 4 && in_cell && name == "c") {
      in_cell = false;
      end_cell();
    } else if (depth == 5 && in_cell) {
      in_value = in_inline = false;
    } else if (in_inline) {
      if (depth == phonetic_depth && name == "rPh")
        phonetic_depth = 0;
      else if (name == "t")
        in_text = false;
    }
  }
  blank_width_ = blank_width;
  columns_ = std::max({columns_, blank_width_, widest_row_});
  return true;
}

void Worksheet_Scan::grow_extent(int width, bool new_row) {
  const qint64 rows = new_row ? ++extent_->rows : extent_->rows.load();
  int widest = extent_->widest.load();
  while (widest < width && !extent_->widest.compare_exchange_weak(widest, width)) {
  }
  if (extent_->past_cells(rows, std::max(widest, width))) {
    extent_->too_large = true;
    throw Spreadsheet_Error(extent_->too_large_reason());
  }
}

void Worksheet_Scan::take_characters(qint64 characters) {
  if ((extent_->characters += characters) > kMax_Read_Characters) {
    extent_->too_much_text = true;
    throw Spreadsheet_Error(Too_Much_Text_Reason());
  }
}

void Worksheet_Scan::finish_rows(Sheet_Rows* rows, int width) {
  for (QStringList& row : *rows)
    if (row.size() < width) row.resize(width);
  for (Far_Cell& cell : far_) (*rows)[cell.row][cell.column - 1] = std::move(cell.value);
  far_.clear();
}

int Worksheet_Scan::declared_columns(int otherwise) const {
  if (dimension_columns_ > 0 && dimension_columns_ <= kTrusted_Dimension) return dimension_columns_;
  if (dimension_columns_ > 0) return std::clamp(widest_filled_, 1, dimension_columns_);
  if (widest_filled_ > 0) return widest_filled_;
  return otherwise;
}

void Worksheet_Scan::start_cell(const Xml_Pull_Reader& reader) {
  bool has_reference = false;
  const std::string_view reference = reader.raw_attribute("r", &has_reference);
  int column = previous_column_ + 1;  // a cell without reference follows the one before
  if (has_reference && !Parse_Cell_Reference(reference, &column))
    throw Spreadsheet_Error(
        QStringLiteral("The cell reference \"%1\" is not valid.")
            .arg(QString::fromUtf8(reference.data(), qsizetype(reference.size()))));
  // A cell without reference after XFD: no sheet has such a column.
  if (column > kMax_Sheet_Columns)
    throw Spreadsheet_Error(QStringLiteral("A cell lies beyond the last column, XFD."));
  previous_column_ = column;
  cell_column_ = column;
  const std::string_view kind = reader.raw_attribute("t");
  cell_kind_ = kind == "s" ? 's' : kind == "inlineStr" ? 'i' : 'n';
  value_.clear();
  inline_text_.clear();
}

void Worksheet_Scan::end_cell() {
  // Past the first row a cell that holds anything counts as filled for the titles.
  if (row_count_ > 0 && (!value_.empty() || !inline_text_.empty()))
    widest_filled_ = std::max(widest_filled_, cell_column_);
  QString value;
  if (cell_kind_ == 's') {
    const std::string_view digits = trimmed(value_);
    if (digits.empty()) return;
    long long index = -1;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (parsed.ec != std::errc() || parsed.ptr != digits.data() + digits.size() || index < 0)
      throw Spreadsheet_Error(
          QStringLiteral("A string cell in column %1 names no shared string (%2).")
              .arg(Column_Letters(cell_column_),
                   QString::fromUtf8(digits.data(), qsizetype(digits.size()))));
    // Names no string of this workbook (or it has none): stays empty.
    if (index >= shared_.size()) return;
    value = shared_.at(qsizetype(index));
  } else {
    // A formula cell gives its cached value. The shared strings counted already.
    value = utf8_text(cell_kind_ == 'i' ? inline_text_ : value_);
    take_characters(value.size());
  }
  if (value.isEmpty()) return;
  widest_filled_ = std::max(widest_filled_, cell_column_);
  place(cell_column_, value, &row_);
}

// A cell beyond the width of the rows widens its row (every row is made as wide as the
// widest once the sheet is read); one far beyond the row's end waits aside until then.
// Either way the sheet's extent is checked before the row grows.
void Worksheet_Scan::place(int column, const QString& value, QStringList* row) {
  if (column > row_width_) {
    grow_extent(column, false);
    row_width_ = column;
  }
  if (column <= row->size()) {
    (*row)[column - 1] = value;
    return;
  }
  if (column - row->size() > kNear_Columns) {
    far_.push_back({row_place_, column, value});
    if (row_far_from_ == 0 || column < row_far_from_) row_far_from_ = column;
    return;
  }
  // Rows of a sheet are much alike: room for as many cells as the row before held.
  if (row->isEmpty()) row->reserve(std::max<qsizetype>(column, last_row_size_));
  row->resize(column);
  if (row_far_from_ != 0 && column >= row_far_from_) {
    // Cells of this row that waited aside and now lie within it move in first, so that a
    // later cell of the same column still wins.
    auto waiting = far_.end();
    while (waiting != far_.begin() && std::prev(waiting)->row == row_place_) --waiting;
    auto kept = waiting;
    row_far_from_ = 0;
    for (auto cell = waiting; cell != far_.end(); ++cell) {
      if (cell->column <= column) {
        (*row)[cell->column - 1] = std::move(cell->value);
      } else {
        if (row_far_from_ == 0 || cell->column < row_far_from_) row_far_from_ = cell->column;
        *kept++ = std::move(*cell);
      }
    }
    far_.erase(kept, far_.end());
  }
  (*row)[column - 1] = value;
}

// The most bytes of worksheet parts a read keeps in memory together, and of shared strings:
// larger parts are unpacked into the folder and streamed from there, so that a read holds
// no more of a part than a piece at a time.
constexpr qint64 kMax_Held_Bytes = qint64(4) << 20;
// Worksheet parts streamed from the folder from this size on are read in pieces on several
// threads.
constexpr qint64 kPiece_Reading_Bytes = kMax_Held_Bytes;
constexpr int kMax_Piece_Threads = 4;

// Where `pattern` first stands in the file at or after `from`, read a piece at a time; -1
// when nowhere.
qint64 find_in_file(QFile& file, qint64 from, QByteArrayView pattern) {
  constexpr qint64 kChunk = qint64(1) << 20;
  const qint64 overlap = pattern.size() - 1;
  QByteArray chunk(kChunk + overlap, Qt::Uninitialized);
  for (qint64 at = from;; at += kChunk) {
    if (!file.seek(at)) return -1;
    const qint64 got = file.read(chunk.data(), chunk.size());
    if (got < pattern.size()) return -1;
    const qsizetype hit = QByteArrayView(chunk.constData(), got).indexOf(pattern);
    if (hit >= 0) return at + hit;
    if (got < chunk.size()) return -1;
  }
}

// Reads a large worksheet part from its file in pieces: the first row as usual, then the
// rest cut after row end tags into pieces read side by side, each from its own handle on
// the file. A cut the pieces do not confirm (each but the last must end, without error,
// where the worksheet and its sheet data are still open) or any failure answers false: the
// caller then reads the sheet in one go, which finds the same rows or says why it fails.
// Only a sheet data without comments, character data sections and processing instructions
// is cut, so that every row end tag found is one: the rows the pieces read are the sheet's,
// and when they pass a limit (`extent` says which) so does the sheet, which is then refused
// without reading it again.
bool read_in_pieces(const QString& path, const QStringList& shared, int columns,
                    Sheet_Rows* rows, int* width, int* declared, int otherwise,
                    Sheet_Extent* extent) {
  const int threads = std::min(kMax_Piece_Threads, int(std::thread::hardware_concurrency()));
  if (threads < 2) return false;
  try {
    QFile file;
    if (!Open_Regular_File(file, path)) return false;
    const qint64 size = file.size();
    Xml_Pull_Reader first_reader(&file);
    Worksheet_Scan first(shared, columns, true, extent);
    Sheet_Rows first_rows;
    if (!first.run(first_reader, &first_rows) || first_rows.size() != 1) return false;
    const std::vector<std::string> open = first_reader.open_elements();
    const qint64 start = first_reader.position();
    if (open.size() != 2) return false;
    if (find_in_file(file, start, "<!") >= 0 || find_in_file(file, start, "<?") >= 0)
      return false;
    // The row end tag as the sheet writes it (with its prefix, if any).
    const qint64 window = std::min<qint64>(start, 4096);
    if (!file.seek(start - window)) return false;
    const QByteArray before = file.read(window);
    const qsizetype tag = before.lastIndexOf("</");
    if (tag < 0 || before.size() != window || !before.endsWith('>')) return false;
    const QByteArray row_end = before.mid(tag);
    const bool row_tag = row_end.endsWith("row>") && row_end.size() >= 6 &&
                         (row_end.at(row_end.size() - 5) == '/' ||
                          row_end.at(row_end.size() - 5) == ':');
    if (!row_tag || row_end.count('<') != 1 || row_end.count('>') != 1)
      return false;  // the first row was written <row/>
    std::vector<qint64> cuts{start};
    const qint64 step = (size - start) / threads;
    for (int i = 1; i < threads; ++i) {
      const qint64 at = find_in_file(file, std::max(cuts.back(), start + i * step), row_end);
      if (at < 0) break;
      cuts.push_back(at + row_end.size());
    }
    cuts.push_back(size);
    file.close();
    const size_t pieces = cuts.size() - 1;
    std::vector<Sheet_Rows> piece_rows(pieces);
    std::vector<std::unique_ptr<Worksheet_Scan>> scans(pieces);
    std::vector<char> good(pieces, 0);
    const auto read_piece = [&](size_t i) {
      try {
        QFile piece;
        if (!Open_Regular_File(piece, path) || !piece.seek(cuts[i])) return;
        const bool last = i + 1 == pieces;
        Xml_Pull_Reader reader(&piece, last ? -1 : cuts[i + 1] - cuts[i], open);
        scans[i] = std::make_unique<Worksheet_Scan>(shared, first.blank_width(), false, extent);
        good[i] = scans[i]->run_piece(reader, &piece_rows[i]) && (last || reader.depth() == 2);
      } catch (...) {
        good[i] = 0;
      }
    };
    std::vector<std::thread> helpers;
    for (size_t i = 1; i < pieces; ++i) helpers.emplace_back(read_piece, i);
    read_piece(0);
    for (std::thread& helper : helpers) helper.join();
    int widest_filled = first.widest_filled();
    int row_width = first.columns();
    qsizetype count = 1;
    for (size_t i = 0; i < pieces; ++i) {
      if (!good[i]) return false;
      widest_filled = std::max(widest_filled, scans[i]->widest_filled());
      row_width = std::max(row_width, scans[i]->columns());
      count += piece_rows[i].size();
    }
    if (extent->past_cells(count, row_width)) {
      extent->too_large = true;
      return false;
    }
    first.finish_rows(&first_rows, row_width);
    for (size_t i = 0; i < pieces; ++i) scans[i]->finish_rows(&piece_rows[i], row_width);
    rows->reserve(count);
    rows->append(std::move(first_rows.front()));
    for (Sheet_Rows& piece : piece_rows) {
      rows->append(std::move(piece));
      piece = Sheet_Rows();
    }
    first.take_widest_filled(widest_filled);
    *width = row_width;
    *declared = first.declared_columns(otherwise);
    return true;
  } catch (...) {
    return false;
  }
}

// Numeric order of worksheet part names: sheet2 before sheet10.
int trailing_number(const QString& name) {
  qsizetype i = name.size();
  while (i > 0 && name.at(i - 1).isDigit()) --i;
  bool ok = false;
  const int number = name.mid(i).toInt(&ok);
  return ok ? number : -1;
}

// A part that could not be written: logged, and the reason handed on.
bool part_not_written(const QString& path, const Xml_Writer& out, QString* error) {
  const QString reason = QStringLiteral("%1: %2").arg(path, out.error_string());
  Show_NSLog_Message(QStringLiteral("Error when writing file %1").arg(reason));
  if (error) *error = reason;
  return false;
}

}  // namespace

Zip_Limits Workbook_Zip_Limits() {
  Zip_Limits limits;
  limits.max_entry_bytes = qint64(256) << 20;
  limits.max_total_bytes = qint64(512) << 20;
  return limits;
}

Spreadsheet_Error::Spreadsheet_Error(const QString& reason)
    : std::runtime_error(reason.toStdString()) {}

QString Too_Many_Cells_Reason(qint64 shared_strings) {
  const QLocale english(QLocale::English);
  if (shared_strings > 0)
    return QStringLiteral("The sheet is too large to read: its rows, each as wide as the widest, "
                          "would hold more than the %1 cells a read takes, with the workbook's "
                          "%2 shared strings counted as cells.")
        .arg(english.toString(kMax_Read_Cells), english.toString(shared_strings));
  return QStringLiteral("The sheet is too large to read: its rows, each as wide as the widest, "
                        "would hold more than the %1 cells a read takes.")
      .arg(english.toString(kMax_Read_Cells));
}

namespace {

QString Too_Much_Shared_Text_Reason() {
  return QStringLiteral("The shared strings hold more text than a read takes: more than the %1 "
                        "characters a read makes.")
      .arg(QLocale(QLocale::English).toString(kMax_Read_Characters));
}

}  // namespace

QString Too_Much_Text_Reason() {
  return QStringLiteral("The sheet holds more text than a read takes: its cells would hold more "
                        "than the %1 characters a read makes.")
      .arg(QLocale(QLocale::English).toString(kMax_Read_Characters));
}

// The private folder is "lumigrove-<process id>-XXXXXX" in the temporary folder, so that
// one left behind by a run that died can be told from one in use.
void Remove_Abandoned_Unpack_Folders() {
#ifdef Q_OS_UNIX
  const QDir temp(QDir::tempPath());
  for (const QFileInfo& info :
       temp.entryInfoList({QStringLiteral("lumigrove-*-*")},
                          QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
    if (info.isSymLink() || info.ownerId() != ::getuid()) continue;
    const QStringList parts = info.fileName().split(u'-');
    bool number = false;
    const qint64 pid = parts.size() == 3 ? parts[1].toLongLong(&number) : 0;
    if (!number || pid <= 0 || pid == QCoreApplication::applicationPid()) continue;
    // Kept while the process runs (or may run: a process we may not signal is not ours).
    if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
    QDir(info.filePath()).removeRecursively();
  }
#endif
}

QString Excel_Unpack_Folder() {
  static QTemporaryDir private_folder = [] {
    Remove_Abandoned_Unpack_Folders();
    return QTemporaryDir(QDir::tempPath() + QStringLiteral("/lumigrove-%1-XXXXXX")
                                                .arg(QCoreApplication::applicationPid()));
  }();
  if (!private_folder.isValid()) return QString();
  return private_folder.path() + QStringLiteral("/ziptmp");
}

void Delete_Excel_File_Temp_Folder() {
  const QString folder = Excel_Unpack_Folder();
  if (!folder.isEmpty()) QDir(folder).removeRecursively();
}

// ---- The shared instance -----------------------------------------------------------------

SpreadsheetWriter& SpreadsheetWriter::spreadsheet() {
  static SpreadsheetWriter* shared = new SpreadsheetWriter;  // lives until the process ends
  return *shared;
}

SpreadsheetWriter::SpreadsheetWriter(const QString& folder) : tmpDir_(folder) {}

SpreadsheetWriter::SpreadsheetWriter() : tmpDir_(Excel_Unpack_Folder()) {
  Prepare_Unpack_Folder();
  Show_NSLog_Message(QStringLiteral("Temp. directory initialized:\n %1").arg(tmpDir_));
}

bool SpreadsheetWriter::Prepare_Unpack_Folder() {
  source_.clear();
  parts_.clear();
  read_path_.clear();
  read_rows_.clear();
  if (tmpDir_.isEmpty()) return false;
  QDir folder(tmpDir_);
  if (folder.exists() && !folder.removeRecursively()) return false;
  return QDir().mkdir(tmpDir_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

namespace {

const QString kWorksheets_Folder = QStringLiteral("xl/worksheets/");
const QString kShared_Strings_Part = QStringLiteral("xl/sharedStrings.xml");
const QString kWorkbook_Part = QStringLiteral("xl/workbook.xml");

// A worksheet part: "xl/worksheets/<name>.xml", not in a folder below.
bool is_worksheet_part(const QString& relative) {
  return relative.startsWith(kWorksheets_Folder) &&
         relative.indexOf(u'/', kWorksheets_Folder.size()) < 0 &&
         relative.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) &&
         relative.size() > kWorksheets_Folder.size() + 4;
}

}  // namespace

QStringList SpreadsheetWriter::Worksheet_Names() {
  const SpreadsheetWriter& shared = spreadsheet();
  const QDir folder(shared.tmpDir_ + u'/' + kWorksheets_Folder);
  QStringList names;
  for (const QFileInfo& info : folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
    if (info.suffix().toLower() == u"xml") names << info.completeBaseName();
  for (auto part = shared.parts_.cbegin(); part != shared.parts_.cend(); ++part) {
    if (!is_worksheet_part(part.key())) continue;
    const QString name = part.key().mid(kWorksheets_Folder.size()).chopped(4);
    if (!names.contains(name)) names << name;
  }
  std::sort(names.begin(), names.end());
  std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const int na = trailing_number(a), nb = trailing_number(b);
    if ((na < 0) != (nb < 0)) return nb < 0;  // numbered parts first
    return na < nb;
  });
  return names;
}

QString SpreadsheetWriter::Shown_Path(const QString& path) const {
  const QString folder = tmpDir_ + u'/';
  if (source_.isEmpty() || !path.startsWith(folder)) return QDir::toNativeSeparators(path);
  return QStringLiteral("%1, part %2").arg(QDir::toNativeSeparators(source_),
                                           path.mid(folder.size()));
}

QString SpreadsheetWriter::Shown_Reason(QString reason, const QString& path) const {
  return reason.replace(QDir::toNativeSeparators(path), Shown_Path(path));
}

QString SpreadsheetWriter::Worksheet_Path() const {
  const QStringList names = Worksheet_Names();
  const int number = Excel_Sheet_Number;
  const QString name = number >= 1 && number <= names.size()
                           ? names.at(number - 1)
                           : QStringLiteral("sheet%1").arg(number);
  return tmpDir_ + u'/' + kWorksheets_Folder + name + QStringLiteral(".xml");
}

void SpreadsheetWriter::Release_Data() {
  SpreadsheetWriter& shared = spreadsheet();
  shared.parts_.clear();
  shared.read_path_.clear();
  shared.read_rows_.clear();
}

// ---- Reading -----------------------------------------------------------------------------

Sheet_Rows SpreadsheetWriter::ReadWorkbook(const QString& path, bool only_col) {
  SpreadsheetWriter& shared = spreadsheet();
  if (!only_col) {
    const QString sheet = shared.Worksheet_Path();
    if (sheet != shared.read_path_) {
      shared.ReadData(sheet);
      return shared.data_;
    }
    // The titles read took this sheet's rows already.
    const int width = int(widest_row(shared.read_rows_));
    shared.data_ = shared.read_rows_;
    if (Excel_Sheet_Columns > width)
      for (QStringList& row : shared.data_) row.resize(Excel_Sheet_Columns);
    Excel_Sheet_Columns = std::max(Excel_Sheet_Columns, width);
    return shared.data_;
  }
  Excel_Sheet_Columns = 1;
  shared.sharedStrings_.clear();
  shared.shared_characters_ = 0;
  if (!shared.Prepare_Unpack_Folder())
    throw Spreadsheet_Error(QStringLiteral("Could not prepare the folder %1").arg(shared.tmpDir_));
  // The shared strings are unpacked and read on a second thread while the other parts are
  // unpacked here. Small ones stay in memory with the small worksheets (kMax_Held_Bytes for
  // each); the rest is written and streamed from the folder.
  const QString folder = shared.tmpDir_;
  Zip_Error error, strings_error;
  bool unpacked = false, strings_unpacked = false, strings_read = false;
  QString strings_problem;
  SpreadsheetWriter strings_reader(folder);
  std::thread strings_thread([&] {
    Zip_Memory_Entries strings;
    strings.keep = [](const QString&) { return true; };
    strings.max_bytes = kMax_Held_Bytes;
    strings_unpacked = Zip_Archive::unzipFileAtPath(
        path, folder, true, QString(), &strings_error, Workbook_Zip_Limits(),
        [&](const QString& entry) { return entry == kShared_Strings_Part; }, &strings);
    if (!strings_unpacked) return;
    const auto part = strings.entries.constFind(kShared_Strings_Part);
    if (part != strings.entries.cend()) {
      Xml_Pull_Reader reader(*part);
      strings_read = strings_reader.Read_Shared_Strings_From(reader, &strings_problem);
      return;
    }
    const QString written = folder + u'/' + kShared_Strings_Part;
    if (!QFileInfo::exists(written) && !QFileInfo(written).isSymLink()) {
      strings_read = true;  // a workbook without strings
      return;
    }
    QFile file;
    if (!Open_Regular_File(file, written, &strings_problem)) {
      strings_problem.replace(QDir::toNativeSeparators(written), kShared_Strings_Part);
      return;
    }
    Xml_Pull_Reader reader(&file);
    strings_read = strings_reader.Read_Shared_Strings_From(reader, &strings_problem);
  });
  Zip_Memory_Entries sheets;
  sheets.keep = is_worksheet_part;
  sheets.max_bytes = kMax_Held_Bytes;
  // Only the parts that are read: the worksheets and the workbook part naming them.
  unpacked = Zip_Archive::unzipFileAtPath(
      path, folder, true, QString(), &error, Workbook_Zip_Limits(),
      [&](const QString& entry) { return is_worksheet_part(entry) || entry == kWorkbook_Part; },
      &sheets);
  strings_thread.join();
  if (!unpacked || !strings_unpacked || !strings_read) {
    // Nothing half unpacked may be offered as a workbook.
    shared.Prepare_Unpack_Folder();
    const QString shown = QDir::toNativeSeparators(path);
    throw Spreadsheet_Error(
        !unpacked ? QStringLiteral("%1: %2").arg(shown, error.localizedDescription)
        : !strings_unpacked
            ? QStringLiteral("%1: %2").arg(shown, strings_error.localizedDescription)
            : QStringLiteral("%1, part %2: %3").arg(shown, kShared_Strings_Part, strings_problem));
  }
  shared.source_ = path;
  shared.parts_ = std::move(sheets.entries);
  shared.sharedStrings_ = std::move(strings_reader.sharedStrings_);
  shared.shared_characters_ = strings_reader.shared_characters_;
  return shared.data_;
}

bool SpreadsheetWriter::ReadSharedStrings(const QString& path, QString* error) {
  sharedStrings_.clear();
  shared_characters_ = 0;
  read_path_.clear();
  read_rows_.clear();
  if (!QFileInfo::exists(path)) return true;  // a workbook without strings
  QFile file;
  QString not_opened;
  if (!Open_Regular_File(file, path, &not_opened)) {
    if (error) *error = Shown_Reason(not_opened, path);
    return false;
  }
  const auto fail = [&](const QString& why) {
    if (error) *error = QStringLiteral("%1: %2").arg(Shown_Path(path), why);
    return false;
  };
  Xml_Pull_Reader reader(&file);
  QString why;
  return Read_Shared_Strings_From(reader, &why) || fail(why);
}

bool SpreadsheetWriter::Read_Shared_Strings_From(Xml_Pull_Reader& reader, QString* why) {
  sharedStrings_.clear();
  shared_characters_ = 0;
  const auto fail = [&](const QString& reason) {
    *why = reason;
    return false;
  };
  QStringList strings;
  qint64 characters = 0;
  std::string text;
  bool sst = false, in_item = false, in_run = false, in_text = false;
  int phonetic_depth = 0;
  for (;;) {
    const Xml_Pull_Reader::Token token = reader.next();
    if (token == Xml_Pull_Reader::End_Of_Document) break;
    if (token == Xml_Pull_Reader::Error) return fail(reader.error_string());
    const int depth = reader.depth();
    if (token == Xml_Pull_Reader::Text) {
      if (!in_text) continue;
      reader.append_text(text);
      // n bytes of UTF-8 make at least n / 3 characters: refused before they are made.
      if (characters + qint64(text.size()) / 3 > kMax_Read_Characters)
        return fail(Too_Much_Shared_Text_Reason());
      continue;
    }
    const std::string_view name = reader.name();
    if (token == Xml_Pull_Reader::Start_Element) {
      if (depth == 1) {
        sst = name == "sst";
        // The count the part declares, when believable, saves growing the list.
        bool ok = false;
        const qsizetype declared = reader.attribute("uniqueCount").toLongLong(&ok);
        if (sst && ok && declared > 0 && declared <= kMax_Shared_Strings)
          strings.reserve(declared);
      } else if (!sst) {
        continue;
      } else if (depth == 2 && name == "si") {
        in_item = true;
        text.clear();
      } else if (in_item && phonetic_depth == 0) {
        // An item is its text, or the texts of its formatted runs; phonetic guides are
        // annotations, not part of the text.
        if (name == "rPh")
          phonetic_depth = depth;
        else if (depth == 3 && name == "r")
          in_run = true;
        else if (name == "t" && (depth == 3 || (depth == 4 && in_run)))
          in_text = true;
      }
      continue;
    }
    if (!sst || !in_item) continue;
    if (depth == 2 && name == "si") {
      if (strings.size() >= kMax_Shared_Strings)
        return fail(QStringLiteral("The shared strings are too many to read: a read takes %1.")
                        .arg(QLocale(QLocale::English).toString(kMax_Shared_Strings)));
      strings << utf8_text(text);
      characters += strings.back().size();
      if (characters > kMax_Read_Characters) return fail(Too_Much_Shared_Text_Reason());
      in_item = false;
    } else if (phonetic_depth != 0) {
      if (depth == phonetic_depth) phonetic_depth = 0;
    } else if (name == "t") {
      in_text = false;
    } else if (depth == 3 && name == "r") {
      in_run = false;
    }
  }
  sharedStrings_ = std::move(strings);
  shared_characters_ = characters;
  return true;
}

Sheet_Rows SpreadsheetWriter::Read_Sheet(const QString& path, int columns, int* declared,
                                          bool first_row_only) const {
  Sheet_Rows rows;
  bool read = false;
  const QString relative =
      path.startsWith(tmpDir_ + u'/') ? path.mid(tmpDir_.size() + 1) : QString();
  const auto part = relative.isEmpty() ? parts_.cend() : parts_.constFind(relative);
  QFile file;
  if (part == parts_.cend()) {
    if (!source_.isEmpty() && !relative.isEmpty() && !QFileInfo::exists(path) &&
        !QFileInfo(path).isSymLink())
      throw Spreadsheet_Error(QStringLiteral("%1 holds no part %2")
                                  .arg(QDir::toNativeSeparators(source_), relative));
    QString not_opened;
    if (!Open_Regular_File(file, path, &not_opened))
      throw Spreadsheet_Error(Shown_Reason(not_opened, path));
    if (!first_row_only && file.size() >= kPiece_Reading_Bytes) {
      Sheet_Extent extent(sharedStrings_, shared_characters_);
      int width = 0, found = 0;
      if (read_in_pieces(path, sharedStrings_, columns, &rows, &width, &found, columns,
                         &extent)) {
        if (declared) *declared = found;
        if (extent.past_cells(rows.size(), width))
          throw Spreadsheet_Error(extent.too_large_reason());
        for (QStringList& row : rows)
          if (row.size() < width) row.resize(width);
        return rows;
      }
      extent.refuse_past_limits();
      rows.clear();
    }
  }
  Sheet_Extent extent(sharedStrings_, shared_characters_);
  Worksheet_Scan scan(sharedStrings_, columns, first_row_only, &extent);
  if (part != parts_.cend()) {
    Xml_Pull_Reader reader(*part);
    read = scan.run(reader, &rows);
  } else {
    Xml_Pull_Reader reader(&file);
    read = scan.run(reader, &rows);
  }
  if (!read)
    throw Spreadsheet_Error(QStringLiteral("%1: %2").arg(Shown_Path(path), scan.error()));
  if (declared) *declared = scan.declared_columns(columns);
  const int width = scan.columns();
  if (extent.past_cells(rows.size(), width)) throw Spreadsheet_Error(extent.too_large_reason());
  scan.finish_rows(&rows, width);
  return rows;
}

void SpreadsheetWriter::ReadData(const QString& path) {
  data_.clear();
  data_ = Read_Sheet(path, Excel_Sheet_Columns, nullptr, false);
  Excel_Sheet_Columns = std::max(Excel_Sheet_Columns, int(widest_row(data_)));
}

Sheet_Rows SpreadsheetWriter::ReadData_only_column() {
  SpreadsheetWriter& shared = spreadsheet();
  shared.data_.clear();
  shared.read_path_.clear();
  shared.read_rows_.clear();
  const QString path = shared.Worksheet_Path();
  int declared = 0;
  Sheet_Rows rows;
  bool whole = true;
  try {
    rows = shared.Read_Sheet(path, 0, &declared, false);
  } catch (const Spreadsheet_Error&) {
    // A sheet that fails further down still offers its titles; the rows read then says
    // why it fails.
    rows = shared.Read_Sheet(path, 0, &declared, true);
    whole = false;
  }
  // Titles and rows have one width: what the sheet declares, or more where its cells reach
  // further.
  const int columns = std::max(declared > 0 ? declared : Excel_Sheet_Columns,
                               int(widest_row(rows)));
  Excel_Sheet_Columns = columns;
  if (rows.isEmpty()) return shared.data_;
  for (QStringList& row : rows)
    if (row.size() < columns) row.resize(columns);
  QStringList titles = rows.first();
  for (qsizetype i = 0; i < titles.size(); ++i)
    if (titles.at(i).isEmpty()) titles[i] = QStringLiteral("Untitled Column %1").arg(i + 1);
  if (whole) {
    shared.read_path_ = path;
    shared.read_rows_ = std::move(rows);
  }
  shared.data_ = Sheet_Rows{titles};
  return shared.data_;
}

// ---- Writing -----------------------------------------------------------------------------

bool SpreadsheetWriter::Unpack_Template_For(const QString& path, const Sheet_Rows& rows,
                                            const QString& template_name, QString* error) {
  const auto fail = [&](const QString& reason, const QString& logged) {
    Show_NSLog_Message(logged);
    if (error) *error = reason;
    return false;
  };
  data_ = rows;
  if (widest_row(rows) == 0) {
    const QString reason = QStringLiteral("there is nothing to write.");
    return fail(reason, QStringLiteral("Error when writing file %1: %2").arg(path, reason));
  }
  const QString template_path = Resource_Path + u'/' + template_name;
  if (const QFileInfo found(template_path); !found.isFile()) {
    // A FIFO, device or folder of that name is there but is no template.
    const QString reason = found.exists()
                               ? QStringLiteral("the template %1 is not a regular file.").arg(template_path)
                               : QStringLiteral("the template %1 is missing.").arg(template_path);
    return fail(reason, QStringLiteral("Error when writing file %1: %2").arg(path, reason));
  }
  if (!Prepare_Unpack_Folder()) {
    const QString reason = QStringLiteral("Could not prepare the folder %1").arg(tmpDir_);
    return fail(reason, reason);
  }
  Zip_Error unzip_error;
  if (!Zip_Archive::unzipFileAtPath(template_path, tmpDir_, true, QString(), &unzip_error)) {
    const QString reason =
        QStringLiteral("%1: %2").arg(template_path, unzip_error.localizedDescription);
    return fail(reason, reason);
  }
  return true;
}

bool SpreadsheetWriter::WriteWorkbook(const QString& path, const Sheet_Rows& rows, bool,
                                      QString* error) {
  SpreadsheetWriter& shared = spreadsheet();
  if (!shared.Unpack_Template_For(path, rows, QStringLiteral("Template.xlsx"), error)) return false;
  const QString folder = shared.tmpDir_;
  if (!QDir().mkpath(folder + QStringLiteral("/xl/worksheets"))) {
    const QString reason = QStringLiteral("Could not prepare the folder %1").arg(folder);
    Show_NSLog_Message(reason);
    if (error) *error = reason;
    return false;
  }
  // The shared strings are known before the sheet is written (every text that is not a
  // number, in order), so the two parts are written side by side.
  SpreadsheetWriter strings_writer(folder);
  for (const QStringList& row : rows)
    for (const QString& text : row)
      if (!Is_Plain_Number(text)) strings_writer.sharedStrings_ << text;
  bool strings_written = false;
  QString strings_error, sheet_error;
  std::thread strings_thread([&] {
    strings_written = strings_writer.WriteSharedStringsXML(
        folder + QStringLiteral("/xl/sharedStrings.xml"), &strings_error);
  });
  const bool sheet_written =
      shared.WriteWorksheetData(folder + QStringLiteral("/xl/worksheets/sheet1.xml"), &sheet_error);
  strings_thread.join();
  if (!sheet_written || !strings_written) {
    if (error) *error = !sheet_written ? sheet_error : strings_error;
    return false;
  }
  QStringList entries;
  for (const QString& entry : QDir(folder).entryList(
           QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
    entries << folder + u'/' + entry;
  QString zip_error;
  if (!Zip_Archive::createZipFileAtPath(path, entries, &zip_error)) {
    Show_NSLog_Message(QStringLiteral("Error when writing file %1: %2").arg(path, zip_error));
    if (error) *error = zip_error;
    return false;
  }
  return true;
}

bool SpreadsheetWriter::WriteWorksheetData(const QString& path, QString* error) {
  const int columns = int(widest_row(data_));
  const std::string last_cell = Column_Letters(std::max(columns, 1)).toStdString() +
                                decimal(std::max<qsizetype>(data_.size(), 1));
  const std::string spans = "1:" + decimal(columns);
  sharedStrings_.clear();
  std::vector<std::string> letters;
  letters.reserve(size_t(columns));
  for (int c = 1; c <= columns; ++c) letters.push_back(Column_Letters(c).toStdString());

  Xml_Writer out(path);
  if (!out.open()) return part_not_written(path, out, error);
  out.declaration();
  out.start("worksheet");
  out.attribute("xmlns", kMain_Namespace);
  out.attribute("xmlns:r", kRelationships_Namespace);
  out.attribute("xmlns:mc",
                std::string_view("http://schemas.openxmlformats.org/markup-compatibility/2006"));
  out.attribute("xmlns:x14ac",
                std::string_view("http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac"));
  out.attribute("mc:Ignorable", std::string_view("x14ac"));
  out.newline();
  out.start("dimension");
  out.attribute("ref", "A1:" + last_cell);
  out.end("dimension");
  out.start("sheetViews");
  out.start("sheetView");
  out.attribute("tabSelected", std::string_view("1"));
  out.attribute("workbookViewId", std::string_view("0"));
  out.start("selection");
  out.attribute("activeCell", last_cell);
  out.attribute("sqref", last_cell);
  out.end("selection");
  out.end("sheetView");
  out.end("sheetViews");
  out.start("sheetFormatPr");
  out.attribute("baseColWidth", std::string_view("10"));
  out.attribute("defaultRowHeight", std::string_view("15"));
  out.attribute("x14ac:dyDescent", std::string_view("0"));
  out.end("sheetFormatPr");
  out.newline();
  out.start("sheetData");
  out.newline();
  std::string reference;
  for (qsizetype r = 0; r < data_.size(); ++r) {
    const std::string row_number = decimal(r + 1);
    out.start("row");
    out.attribute("r", row_number);
    out.attribute("spans", spans);
    const QStringList& row = data_.at(r);
    for (qsizetype c = 0; c < row.size(); ++c) {
      const QString& text = row.at(c);
      reference = letters[size_t(c)];
      reference += row_number;
      const bool number = Is_Plain_Number(text);
      out.start("c");
      out.attribute("r", reference);
      if (!number) out.attribute("t", std::string_view("s"));
      out.start("v");
      if (number) {
        out.text(text);
      } else {
        // Every occurrence gets its own item: equal texts are not merged.
        sharedStrings_ << text;
        out.text(decimal(sharedStrings_.size() - 1));
      }
      out.end("v");
      out.end("c");
    }
    out.end("row");
    out.newline();
  }
  out.end("sheetData");
  out.newline();
  out.start("pageMargins");
  out.attribute("left", std::string_view("0.75"));
  out.attribute("right", std::string_view("0.75"));
  out.attribute("top", std::string_view("1"));
  out.attribute("bottom", std::string_view("0.5"));
  out.attribute("header", std::string_view("0.5"));
  out.attribute("footer", std::string_view("0.5"));
  out.end("pageMargins");
  out.start("extLst");
  out.start("ext");
  out.attribute("xmlns:mx",
                std::string_view("http://schemas.microsoft.com/office/mac/excel/2008/main"));
  out.attribute("uri", std::string_view("{64002731-A6B0-56B0-2670-7721B7C09600}"));
  out.start("mx:PLV");
  out.attribute("Mode", std::string_view("0"));
  out.attribute("OnePage", std::string_view("0"));
  out.attribute("WScale", std::string_view("0"));
  out.end("mx:PLV");
  out.end("ext");
  out.end("extLst");
  out.newline();
  out.end("worksheet");
  out.newline();
  if (!out.commit()) return part_not_written(path, out, error);
  return true;
}

bool SpreadsheetWriter::WriteSharedStringsXML(const QString& path, QString* error) {
  Xml_Writer out(path);
  if (!out.open()) return part_not_written(path, out, error);
  out.declaration();
  out.start("sst");
  out.attribute("xmlns", kMain_Namespace);
  if (!sharedStrings_.isEmpty()) {
    const std::string count = decimal(sharedStrings_.size());
    out.attribute("count", count);
    out.attribute("uniqueCount", count);
  }
  out.newline();
  for (const QString& text : sharedStrings_) {
    out.start("si");
    out.start("t");
    out.preserve_space_for(text);
    out.text(text);
    out.end("t");
    out.end("si");
    out.newline();
  }
  out.end("sst");
  out.newline();
  if (!out.commit()) return part_not_written(path, out, error);
  return true;
}

// ---- Column letters ----------------------------------------------------------------------

QString SpreadsheetWriter::ColumnIndexToName(int column) { return Column_Letters(column); }

QString SpreadsheetWriter::Get_Column_Char_Str(const QString& reference) {
  qsizetype i = 0;
  while (i < reference.size() && !(reference.at(i) >= u'1' && reference.at(i) <= u'9')) ++i;
  return reference.left(i);
}

int SpreadsheetWriter::Get_Col_index(const QString& letters, int base) {
  const int number = Column_Number(QStringView(letters));
  if (number == 0) return -1;
  return number - (base - 64);
}

int SpreadsheetWriter::Asc_Val(const QString& text) {
  return text.isEmpty() ? 0 : (text.at(0).unicode() & 0xFF);
}
