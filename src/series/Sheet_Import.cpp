#include "series/Sheet_Import.h"

#include "model/Common_Functions.h"
#include "platform/Bounded_File.h"
#include "platform/Whole_File.h"
#include "series/Cell_Reference.h"
#include "model/Shared_Design_State.h"
#include "series/Data_From_Excel.h"
#include "series/Data_Series_Store.h"
#include "series/Import_Text.h"
#include "series/Series_Manager_Rules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#include <type_traits>

const QString Picker_No_Column = QStringLiteral("There is no column.");
const QString Picker_No_Selection = QStringLiteral("No column is selected.");
const QString Picker_Select_List = QStringLiteral("Please select list name.");
const QString Picker_No_Sheet_Data = QStringLiteral(
    "There is no data in selected sheet.\nPlease select another Sheet/Excel File.\nEither file "
    "is corrupted or selected file contains invalid characters.");

// ---- The column list ----------------------------------------------------------------------

Sheet_Column_List::Sheet_Column_List(bool with_header, QObject* parent)
    : QAbstractTableModel(parent), with_header_(with_header) {}

void Sheet_Column_List::Set_Titles(const QStringList& titles) {
  beginResetModel();
  rows_.clear();
  for (qsizetype j = 0; j < titles.size(); ++j) {
    Row row;
    row.title = Trim_Str(titles.at(j));
    if (row.title.isEmpty()) row.title = QStringLiteral("Untitled Column %1").arg(j + 1);
    row.header = Trim_Str(titles.at(j)).isEmpty() ? row.title : titles.at(j);
    rows_ << row;
  }
  endResetModel();
}

void Sheet_Column_List::Set_All(bool state) {
  for (Row& row : rows_) row.state = state;
  if (!rows_.isEmpty()) emit dataChanged(index(0, 0), index(count() - 1, 0), {Qt::CheckStateRole});
}

int Sheet_Column_List::Get_Selection_State(int j) const {
  return j >= 0 && j < count() && rows_.at(j).state ? 1 : 0;
}

bool Sheet_Column_List::Check_For_One_Extension_Selection() const { return !Ticked().isEmpty(); }

QList<int> Sheet_Column_List::Ticked() const {
  QList<int> ticked;
  for (int j = 0; j < count(); ++j)
    if (rows_.at(j).state) ticked << j;
  return ticked;
}

int Sheet_Column_List::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : count();
}

int Sheet_Column_List::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : (with_header_ ? 3 : 2);
}

QVariant Sheet_Column_List::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count()) return {};
  const Row& row = rows_.at(index.row());
  if (index.column() == 0) {
    if (role == Qt::CheckStateRole) return row.state ? Qt::Checked : Qt::Unchecked;
    return {};
  }
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return index.column() == 1 ? row.title : row.header;
}

bool Sheet_Column_List::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.row() < 0 || index.row() >= count()) {
    Show_NSLog_Message(QStringLiteral("Invalid parameter not satisfying: row within the column list"));
    return false;
  }
  Row& row = rows_[index.row()];
  if (index.column() == 0 && role == Qt::CheckStateRole) {
    row.state = value.toInt() == Qt::Checked;
  } else if (index.column() == 2 && role == Qt::EditRole) {
    row.header = value.toString();
  } else {
    return false;
  }
  emit dataChanged(index, index, {role});
  return true;
}

QVariant Sheet_Column_List::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case 0: return QString();
    case 1: return QStringLiteral("Column");
    case 2: return QStringLiteral("Series Name");
    default: return {};
  }
}

Qt::ItemFlags Sheet_Column_List::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  if (index.column() == 2) flags |= Qt::ItemIsEditable;
  return flags;
}

// ---- Reading the workbook -----------------------------------------------------------------

namespace {

// Runs a read of the workbook reader; a failure is logged, its reason goes to *reason, and
// it gives the fallback.
template <typename Read, typename Result = std::invoke_result_t<Read>>
Result Logged(Read read, QString* reason = nullptr, Result fallback = {}) {
  QString why;
  try {
    return read();
  } catch (const Spreadsheet_Error& error) {
    why = error.reason();
  } catch (const std::bad_alloc&) {
    why = QStringLiteral("There is not enough memory to read it.");
  } catch (const std::exception& error) {
    why = QString::fromUtf8(error.what());
  }
  Show_NSLog_Message(why);
  if (reason) *reason = why;
  return fallback;
}

// An OpenDocument spreadsheet or an XML Spreadsheet 2003 is read whole when it is opened:
// its first table stands for the one sheet the pickers show.
struct Single_Table {
  bool open = false;
  Sheet_Rows rows;
};

Single_Table& Opened_Table() {
  static Single_Table table;
  return table;
}

}  // namespace

const QStringList& Import_Workbook_Extensions() {
  static const QStringList extensions = {"xlsx", "XLSX", "ods", "ODS", "xml", "XML"};
  return extensions;
}

Workbook_Sheets Open_Workbook(const QString& path) {
  Workbook_Sheets result;
  Single_Table& table = Opened_Table();
  table = {};
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("ods") || suffix == QLatin1String("xml")) {
    QString reason;
    const bool read = Logged(
        [&] {
          table.rows = suffix == QLatin1String("ods") ? SpreadsheetWriter::ReadODS(path)
                                                      : SpreadsheetWriter::ReadWorksheetXML2004(path);
          return true;
        },
        &reason, false);
    if (!read) {
      table.rows.clear();
      // The reason names the file, as the workbook reader's do.
      const QString shown = QDir::toNativeSeparators(path);
      if (!reason.contains(shown)) reason = shown + QStringLiteral(": ") + reason;
      result.error = With_Reason(Import_File_Corrupted, reason);
      return result;
    }
    table.open = true;
    result.sheets = {QStringLiteral("sheet1")};
    return result;
  }
  QString reason;
  result.sheets = Logged(
      [&] {
        SpreadsheetWriter::ReadWorkbook(path, true);
        return SpreadsheetWriter::Worksheet_Names();
      },
      &reason);
  if (result.sheets.isEmpty()) {
    if (reason.isEmpty()) {
      reason = QStringLiteral("%1 holds no worksheet.").arg(QDir::toNativeSeparators(path));
      Show_NSLog_Message(reason);
    }
    result.error = With_Reason(Import_File_Corrupted, reason);
  }
  return result;
}

QStringList Sheet_Titles(int position, QString* reason) {
  Excel_Sheet_Number = position + 1;
  if (reason) reason->clear();
  if (const Single_Table& table = Opened_Table(); table.open)
    return table.rows.isEmpty() ? QStringList() : table.rows.first();
  const Sheet_Rows titles =
      Logged([] { return SpreadsheetWriter::ReadData_only_column(); }, reason);
  return titles.isEmpty() ? QStringList() : titles.first();
}

Sheet_Rows Sheet_Data_Rows(QString* reason) {
  if (reason) reason->clear();
  if (const Single_Table& table = Opened_Table(); table.open) return table.rows;
  return Logged([] { return SpreadsheetWriter::ReadWorkbook(QString(), false); }, reason);
}

QString With_Reason(const QString& message, const QString& reason) {
  return reason.isEmpty() ? message : message + QStringLiteral("\n\n") + reason;
}

// ---- Values ---------------------------------------------------------------------------------

const QString Import_Too_Many_Sheet_Values = QStringLiteral(
    "The chosen columns hold more than 1,000,000 values. A series can have at most 1,000,000 "
    "values.");

namespace {

// The part of a cell Trim_Str keeps, without copying it.
QStringView trimmed_view(const QString& cell) {
  QStringView view(cell);
  while (!view.isEmpty() && view.front().isSpace()) view = view.sliced(1);
  while (!view.isEmpty() && view.back().isSpace()) view.chop(1);
  const auto control = [](QChar c) {
    return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
  };
  while (!view.isEmpty() && control(view.front())) view = view.sliced(1);
  while (!view.isEmpty() && control(view.back())) view.chop(1);
  return view;
}

}  // namespace

QString Import_Values_Refusal(const Sheet_Rows& rows, const QList<int>& columns, bool header_on,
                              qint64* count_out) {
  const qsizetype first = header_on ? 1 : 0;
  // How many values, and what the series file would hold, before any value is made: a
  // cell's text is shared with the sheet, its trimmed copy would not be.
  qint64 count = 0;
  for (qsizetype r = first; r < rows.size(); ++r)
    for (int column : columns)
      if (column >= 0 && column < rows.at(r).size()) ++count;
  if (count_out) *count_out = count;
  if (count > Import_Max_Values) return Import_Too_Many_Sheet_Values;
  Series_Extent extent;
  for (qsizetype r = first; r < rows.size() && !extent.past(); ++r) {
    const QStringList& row = rows.at(r);
    for (int column : columns) {
      if (column < 0 || column >= row.size()) continue;
      // The part kept is what the file holds (a shared text is measured once).
      extent.Add(trimmed_view(row.at(column)));
      if (extent.past()) break;
    }
  }
  return extent.Refusal();
}

Import_Values Row_Major_Values(const Sheet_Rows& rows, const QList<int>& columns, bool header_on) {
  Import_Values taken;
  qint64 count = 0;
  taken.refusal = Import_Values_Refusal(rows, columns, header_on, &count);
  if (!taken.refusal.isEmpty()) return taken;
  const qsizetype first = header_on ? 1 : 0;
  taken.values.reserve(count);
  for (qsizetype r = first; r < rows.size(); ++r) {
    const QStringList& row = rows.at(r);
    for (int column : columns)
      if (column >= 0 && column < row.size()) taken.values << Trim_Str(row.at(column));
  }
  return taken;
}

Import_Values Column_Values(const Sheet_Rows& rows, int column, bool header_on) {
  return Row_Major_Values(rows, {column}, header_on);
}

qsizetype Data_Table_Row_Count(const Sheet_Rows& rows, bool header_on) {
  qsizetype count = 0;
  for (qsizetype r = header_on ? 1 : 0; r < rows.size(); ++r)
    if (!rows.at(r).isEmpty()) ++count;
  return count;
}

Data_Table_Rows Data_Table_Rows_Of(const Sheet_Rows& rows, const QList<int>& columns,
                                   bool header_on) {
  // Made straight from the sheet's rows: no copy of the chosen cells on the way.
  Data_Table_Rows made;
  made.reserve(Data_Table_Row_Count(rows, header_on));
  for (qsizetype r = header_on ? 1 : 0; r < rows.size(); ++r) {
    const QStringList& row = rows.at(r);
    if (!row.isEmpty()) made.append(Data_From_Excel::Make_Row(int(made.size()) + 1, row, columns));
  }
  return made;
}

void Fill_Data_Table(Data_From_Excel& table, const Data_Table_Rows& made,
                     const QStringList& titles) {
  // The table's views see one reset, never 100,000 single inserts.
  table.Set_Columns(titles);
  table.setListData(made);
}

void Fill_Data_Table(Data_From_Excel& table, const Sheet_Rows& rows, const QList<int>& columns,
                     const QStringList& titles, bool header_on) {
  Fill_Data_Table(table, Data_Table_Rows_Of(rows, columns, header_on), titles);
}

Column_Import Write_Column_Series(const Sheet_Rows& rows, const QList<Column_Series>& columns,
                                  bool header_on) {
  Column_Import result;
  // Every check comes before the first write, so that the import writes all its columns or
  // none.
  QStringList names, invalid, twice, in_use, existing;
  for (const Column_Series& column : columns) {
    const QString name = Clean_Series_Name(column.name);
    if (!Is_Valid_Series_Name(name)) {
      invalid << QStringLiteral("Column %1").arg(column.column + 1);
      continue;
    }
    for (const QString& earlier : names)  // named as the first column that has it
      if (earlier.compare(name, Qt::CaseInsensitive) == 0 && !twice.contains(earlier)) twice << earlier;
    names << name;
    if (!QFile::exists(Series_Path(name))) continue;
    if (Series_Hook_In_Use(name))
      in_use << name;
    else
      existing << name;
  }
  const QString nothing = QStringLiteral("Nothing was imported: every series is as it was.\n\n");
  // Columns a series file cannot hold are refused before any question or write.
  QStringList too_large;
  for (qsizetype i = 0; i < columns.size() && invalid.isEmpty(); ++i) {
    const QString refusal = Import_Values_Refusal(rows, {columns.at(i).column}, header_on);
    if (!refusal.isEmpty())
      too_large << QStringLiteral("%1 (column %2): %3")
                       .arg(names.at(i), Column_Letters(columns.at(i).column + 1), refusal);
  }
  if (!too_large.isEmpty()) {
    result.refusal = nothing + QStringLiteral("These columns cannot be series:\n%1\n\nUntick them, "
                                              "then press OK again.")
                                   .arg(too_large.join(u'\n'));
    return result;
  }
  if (!invalid.isEmpty() || !twice.isEmpty() || !in_use.isEmpty()) {
    result.refusal = nothing;
    if (!in_use.isEmpty())
      result.refusal += QStringLiteral("These series are used by objects of the design, and a series "
                                       "in use cannot be replaced:\n%1\n\n")
                            .arg(in_use.join(QStringLiteral(", ")));
    if (!invalid.isEmpty())
      result.refusal += QStringLiteral("These columns have no valid series name:\n%1\n\n")
                            .arg(invalid.join(QStringLiteral(", ")));
    if (!twice.isEmpty())
      result.refusal += QStringLiteral("These series names are given to more than one column:\n%1\n\n")
                            .arg(twice.join(QStringLiteral(", ")));
    result.refusal += QStringLiteral("Give these columns other names in the Series Name column, or "
                                     "untick them, then press OK again.");
    return result;
  }
  if (!existing.isEmpty()) {
    const QString text =
        QStringLiteral("These series already exist:\n%1\n\nYes replaces them with the sheet's "
                       "columns and imports every chosen column.\nNo imports nothing and leaves every "
                       "series as it is.")
            .arg(existing.join(QStringLiteral(", ")));
    if (Ask_Long_Question(QStringLiteral("Batch Processing Series already exists :"), text, false) != 1)
      return result;
  }

  // The writes; a failure puts back what the import had written before it.
  struct Written {
    QString path;
    std::optional<QByteArray> old;  // none: the series was new
  };
  QList<Written> done;
  for (qsizetype i = 0; i < columns.size(); ++i) {
    const QString path = Series_Path(names.at(i));
    Written entry{path, std::nullopt};
    // The old series is kept to be put back; it is read as every series file is (a FIFO
    // or a device there is refused at once, not waited on).
    if (QFileInfo::exists(path)) {
      QByteArray bytes;
      QString why;
      if (!Read_Bounded_File(path, Series_Max_Bytes, &bytes, &why))
        result.refusal = nothing + QStringLiteral("The series %1 cannot be read (%2).")
                                       .arg(names.at(i), why);
      else
        entry.old = std::move(bytes);
    }
    QString reason;
    if (result.refusal.isEmpty() &&
        !Write_Series_File(path, Column_Values(rows, columns.at(i).column, header_on).values,
                           &reason))
      result.refusal = nothing + QStringLiteral("The series %1 cannot be written (%2).")
                                     .arg(names.at(i), reason);
    if (!result.refusal.isEmpty()) {
      for (const Written& w : done) {
        QString why;
        if (!w.old)
          Delete_File(w.path);
        else if (!Write_Whole_File(w.path, *w.old, &why))
          result.refusal += QStringLiteral("\nThe series file %1 could not be put back (%2).")
                                .arg(w.path, why);
      }
      return result;
    }
    done << entry;
  }
  result.written = true;
  return result;
}

Long_Question& Long_Question_Hook() {
  static Long_Question hook;
  return hook;
}

int Ask_Long_Question(const QString& title, const QString& text, bool show_apply) {
  if (Long_Question_Hook()) return Long_Question_Hook()(title, text, show_apply);
  return Show_YES_NO_MessageBox(text) ? 1 : 0;
}
