#include "series/Sheet_Import.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "series/Data_From_Excel.h"
#include "series/Data_Series_Store.h"
#include "series/Import_Text.h"
#include "series/Series_Manager_Rules.h"

#include <QFile>

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

// Runs a read of the workbook reader; a failure is logged and gives the fallback.
template <typename Read, typename Result = std::invoke_result_t<Read>>
Result Logged(Read read, Result fallback = {}) {
  try {
    return read();
  } catch (const Spreadsheet_Error& error) {
    Show_NSLog_Message(error.reason());
  } catch (const std::exception& error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  return fallback;
}

}  // namespace

Workbook_Sheets Open_Workbook(const QString& path) {
  Workbook_Sheets result;
  result.sheets = Logged([&] {
    SpreadsheetWriter::ReadWorkbook(path, true);
    return SpreadsheetWriter::Worksheet_Names();
  });
  if (result.sheets.isEmpty()) {
    Show_NSLog_Message(QStringLiteral("No worksheet in ") + path);
    result.error = Import_File_Corrupted;
  }
  return result;
}

QStringList Sheet_Titles(int position) {
  Excel_Sheet_Number = position + 1;
  const Sheet_Rows titles = Logged([] { return SpreadsheetWriter::ReadData_only_column(); });
  return titles.isEmpty() ? QStringList() : titles.first();
}

Sheet_Rows Sheet_Data_Rows() {
  return Logged([] { return SpreadsheetWriter::ReadWorkbook(QString(), false); });
}

// ---- Values ---------------------------------------------------------------------------------

QStringList Row_Major_Values(const Sheet_Rows& rows, const QList<int>& columns, bool header_on) {
  QStringList values;
  for (qsizetype r = header_on ? 1 : 0; r < rows.size(); ++r) {
    const QStringList& row = rows.at(r);
    for (int column : columns)
      if (column < row.size()) values << Trim_Str(row.at(column));
  }
  return values;
}

QStringList Column_Values(const Sheet_Rows& rows, int column, bool header_on) {
  return Row_Major_Values(rows, {column}, header_on);
}

void Fill_Data_Table(Data_From_Excel& table, const Sheet_Rows& rows, const QList<int>& columns,
                     const QStringList& titles, bool header_on) {
  Data_From_Excel built;  // no view watches it: rows are appended without signals to views
  built.Set_Columns(titles);
  QStringList cells;
  for (qsizetype r = header_on ? 1 : 0; r < rows.size(); ++r) {
    const QStringList& row = rows.at(r);
    if (row.isEmpty()) continue;
    cells.clear();
    for (int column : columns) cells << (column < row.size() ? row.at(column) : QString());
    built.Create_List_By_Array(cells, int(columns.size()));
  }
  table.Set_Columns(titles);
  table.setListData(built.ListData());
}

QStringList Write_Column_Series(const Sheet_Rows& rows, const QList<Column_Series>& columns,
                                bool header_on) {
  const auto ask = Ask_Long_Question;
  QStringList skipped;
  Msg_Apply_All_Chk = false;
  const bool show_apply = columns.size() > 1;
  for (const Column_Series& column : columns) {
    const QString name = Clean_Series_Name(column.name);
    if (!Is_Valid_Series_Name(name)) {
      skipped << (Trim_Str(column.name).isEmpty() ? QStringLiteral("Column %1").arg(column.column + 1)
                                                  : column.name) +
                     QStringLiteral(": invalid series name");
      continue;
    }
    const QString path = Series_Path(name);
    if (QFile::exists(path)) {
      if (Series_Hook_In_Use(name)) {
        if (!Msg_Apply_All_Chk) {
          ask(QStringLiteral("Message :"),
              name + QStringLiteral("\nBatch processing Series name is already in use with another "
                                    "sequence. Please change Batch Processing Series Name."),
              show_apply);
        }
        skipped << name + QStringLiteral(": in use");
        continue;
      }
      if (!Msg_Apply_All_Chk) {
        const int answer =
            ask(QStringLiteral("Batch Processing Series already exists :"),
                name + QStringLiteral("\nBatch Processing Series already exists. Do you want to "
                                      "replace it?"),
                show_apply);
        if (answer != 1) continue;
      }
    }
    QString reason;
    if (!Write_Series_File(path, Column_Values(rows, column.column, header_on), &reason))
      skipped << name + QStringLiteral(": cannot be written (%1)").arg(reason);
  }
  return skipped;
}

Long_Question& Long_Question_Hook() {
  static Long_Question hook;
  return hook;
}

int Ask_Long_Question(const QString& title, const QString& text, bool show_apply) {
  if (Long_Question_Hook()) return Long_Question_Hook()(title, text, show_apply);
  return Show_YES_NO_MessageBox(text) ? 1 : 0;
}
