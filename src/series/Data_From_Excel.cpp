#include "series/Data_From_Excel.h"

#include "model/Common_Functions.h"

#include <QPointer>

namespace {
const QString extension_key = QStringLiteral("Extension");
}

const QString Data_From_Excel::Row_Number_Title = QStringLiteral("Row No.");

QString Sheet_Column_Key(int column) { return QStringLiteral("Column%1").arg(column); }

namespace {
// The keys of the first columns, made once and shared by every row.
const QString& column_key(int column) {
  static const QStringList keys = [] {
    QStringList made;
    for (int k = 0; k <= 64; ++k) made << (k == 0 ? extension_key : Sheet_Column_Key(k));
    return made;
  }();
  static thread_local QString other;
  if (column >= 0 && column < keys.size()) return keys.at(column);
  other = Sheet_Column_Key(column);
  return other;
}
}  // namespace

QString Sheet_Value(const Data_Table_Rows& rows, int record, int column) {
  if (record < 0 || record >= rows.size() || column < 0) return {};
  const Data_Table_Row& row = rows.at(record);
  return row.value(column_key(column));
}

Data_From_Excel::Data_From_Excel(QObject* parent) : QAbstractTableModel(parent) {}

Data_From_Excel* Data_From_Excel::defaultInstance() {
  static QPointer<Data_From_Excel> instance;
  if (!instance) instance = new Data_From_Excel;  // lives until the program ends
  return instance;
}

void Data_From_Excel::setListData(const Data_Table_Rows& rows) {
  beginResetModel();
  rows_ = rows;
  endResetModel();
}

QStringList Data_From_Excel::Column_Titles() const {
  QStringList titles{Row_Number_Title};
  titles += titles_;
  return titles;
}

void Data_From_Excel::Set_Columns(const QStringList& titles) {
  beginResetModel();
  titles_ = titles;
  rows_.clear();
  endResetModel();
}

void Data_From_Excel::Restore(const QStringList& titles, const Data_Table_Rows& rows) {
  beginResetModel();
  if (!titles.isEmpty()) titles_ = titles.mid(1);
  rows_ = rows;
  endResetModel();
}

void Data_From_Excel::Create_List_By_Array(const QStringList& cells, int count) {
  Append_Rows({cells}, count);
}

Data_Table_Rows Data_From_Excel::Make_Rows(const QList<QStringList>& rows, int count,
                                           int first_number) {
  Data_Table_Rows made;
  made.reserve(rows.size());
  QList<int> columns;
  for (int i = 0; i < count; ++i) columns << i;
  for (const QStringList& cells : rows) {
    if (count < 0 || cells.size() < count) {
      Show_NSLog_Message(QStringLiteral("A spreadsheet row has %1 cells, not %2; it is left out.")
                             .arg(cells.size())
                             .arg(count));
      continue;
    }
    made.append(Make_Row(first_number + int(made.size()), cells, columns));
  }
  return made;
}

Data_Table_Row Data_From_Excel::Make_Row(int number, const QStringList& cells,
                                         const QList<int>& columns) {
  Data_Table_Row row;
  row.insert(extension_key, QString::number(number));
  for (qsizetype i = 0; i < columns.size(); ++i) {
    const int at = columns.at(i);
    row.insert(column_key(int(i) + 1),
               at >= 0 && at < cells.size() ? Trim_Str(cells.at(at)) : QString());
  }
  return row;
}

void Data_From_Excel::Append_Rows(const QList<QStringList>& rows, int count) {
  Data_Table_Rows made = Make_Rows(rows, count, int(rows_.size()) + 1);
  if (made.isEmpty()) return;
  const int at = int(rows_.size());
  beginInsertRows({}, at, at + int(made.size()) - 1);
  rows_.append(std::move(made));
  endInsertRows();
}

void Data_From_Excel::Create_Value_List(const QString& text) {
  const QString value = Trim_Str(text);
  if (value.isEmpty()) return;
  const int at = int(rows_.size());
  beginInsertRows({}, at, at);
  rows_.append(Data_Table_Row{{extension_key, value}});
  endInsertRows();
}

QString Data_From_Excel::key_of(int column) const { return column_key(column); }

int Data_From_Excel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Row_Count();
}

int Data_From_Excel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Column_Count();
}

QVariant Data_From_Excel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  if (index.row() >= rows_.size() || index.column() >= Column_Count()) return {};
  const auto& row = rows_.at(index.row());
  const auto found = row.constFind(key_of(index.column()));
  return found == row.cend() ? QVariant() : QVariant(*found);
}

bool Data_From_Excel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole) return false;
  if (!index.isValid() || index.row() < 0 || index.row() >= rows_.size()) {
    Show_NSLog_Message(QStringLiteral(
        "Invalid parameter not satisfying: pRowIndex >= 0 && pRowIndex < [ListData count]"));
    return false;
  }
  if (index.column() >= Column_Count()) return false;
  rows_[index.row()].insert(key_of(index.column()), value.toString());
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

QVariant Data_From_Excel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= Column_Count()) return {};
  return section == 0 ? Row_Number_Title : titles_.at(section - 1);
}

Qt::ItemFlags Data_From_Excel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}
