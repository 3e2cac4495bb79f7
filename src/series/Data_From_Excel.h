#pragma once
// The spreadsheet data table: the rows of the imported spreadsheet that card objects bind
// to (data source 2). A GUI-free table model; its window (a QTableView on it) and the
// import dialogs only use the operations below.
//
// A row maps text keys to text values: "Extension" holds the row's number counted from 1,
// and "Column1", "Column2", ... the cells. Column 0 of the model is the row number, column
// k >= 1 the key "Column<k>"; the header titles name the columns (the row-number column's
// title first) and are what binding combos offer, so a title's position is the column
// index a graphic stores (excel_col_indx).
//
// A row is a QMap, not a QHash: a table of a few columns has hundreds of thousands of rows,
// and a QHash of two keys takes some 2,600 bytes (its first block holds 48 entries) where a
// QMap takes about 300. The keys come out sorted, the order a design file writes them in.
// Rows are implicitly shared (Data_Table_Rows is a QList of QMap): batch output copies the
// rows on the main thread in constant time and reads its copy on any thread. The table
// itself is changed on the main thread only.

#include <QAbstractTableModel>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

using Data_Table_Row = QMap<QString, QString>;
using Data_Table_Rows = QList<Data_Table_Row>;

// "Column<k>": the key of cell column k (k >= 1).
QString Sheet_Column_Key(int column);
// The value batch output takes for record r and column index c: "" when r is not a row,
// the row number for c = 0, else the cell under "Column<c>" ("" when the row lacks it).
QString Sheet_Value(const Data_Table_Rows& rows, int record, int column);

class Data_From_Excel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The title of the row-number column (the first binding choice).
  static const QString Row_Number_Title;  // "Row No."

  explicit Data_From_Excel(QObject* parent = nullptr);

  // The one process-wide table (made on first use, on the main thread).
  static Data_From_Excel* defaultInstance();

  // ---- Contents ---------------------------------------------------------------------
  const Data_Table_Rows& ListData() const { return rows_; }
  // Replaces the rows (as opening a design does); the columns stay.
  void setListData(const Data_Table_Rows& rows);
  // The header titles of all columns, the row-number column's first.
  QStringList Column_Titles() const;
  // Replaces every column after the row number by columns with these titles (for
  // positions 1, 2, ...) and empties the rows: the start of an import.
  void Set_Columns(const QStringList& titles);
  // What a design file stores: the titles of all columns, then the rows.
  // Restores both; a missing key of a stored row reads as "". An empty title list keeps
  // the columns (the stored rows are still taken).
  void Restore(const QStringList& titles, const Data_Table_Rows& rows);

  // Appends one row: "Extension" = row count + 1, "Column<i+1>" = Trim_Str of cells[i]
  // for i < count. A list shorter than count appends nothing (logged).
  void Create_List_By_Array(const QStringList& cells, int count);
  // The same for many rows at once (each list at least `count` long; shorter ones are left
  // out and logged), with one insertion for the views.
  void Append_Rows(const QList<QStringList>& rows, int count);
  // The rows Append_Rows makes, numbered from `first_number`, without a table (any thread).
  static Data_Table_Rows Make_Rows(const QList<QStringList>& rows, int count, int first_number);
  // One such row numbered `number` from the cells at `columns` ("" where the list is
  // shorter): "Column<i+1>" holds the cell at columns[i] (any thread).
  static Data_Table_Row Make_Row(int number, const QStringList& cells, const QList<int>& columns);
  // Appends a row holding only "Extension" = the trimmed text, when that is not empty.
  void Create_Value_List(const QString& text);

  // ---- Counts and values --------------------------------------------------------------
  int Row_Count() const { return int(rows_.size()); }
  // Columns including the row-number column (an import of three columns gives 4).
  int Column_Count() const { return int(titles_.size()) + 1; }
  QString Value(int record, int column) const { return Sheet_Value(rows_, record, column); }
  // The sample value of a column: row 0's value ("" for an empty table).
  QString Get_First_Value_Of_Excel_Binding(int column) const { return Value(0, column); }

  // ---- QAbstractTableModel --------------------------------------------------------------
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // Stores an edited cell (a row outside the table is refused and logged).
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  QString key_of(int column) const;

  QStringList titles_;  // positions 1 .. N
  Data_Table_Rows rows_;
};
