#pragma once
// Sheets and columns of a workbook into series, without any GUI: the column list the pickers
// show (one row per sheet column, ticked or not, with the series name a column becomes),
// reading a workbook's sheets, titles and rows, and the values the imports take.

#include "series/SpreadsheetWriter.h"

class Data_From_Excel;

#include <QAbstractTableModel>
#include <QMap>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Texts the pickers show.
extern const QString Picker_No_Column;        // "There is no column."
extern const QString Picker_No_Selection;     // "No column is selected."
extern const QString Picker_Select_List;      // "Please select list name."
extern const QString Picker_No_Sheet_Data;    // "There is no data in selected sheet. ..."

// The column list of a picker: row j stands for sheet column j. Columns of the model:
// 0 "State" (a check box), 1 "Extension" (the title), 2 "Header" (the series name, editable;
// only when made with the header column).
class Sheet_Column_List : public QAbstractTableModel {
  Q_OBJECT

 public:
  struct Row {
    bool state = false;
    QString title;   // trimmed; a blank title shows as "Untitled Column <j+1>"
    QString header;  // the series name the column becomes
  };

  explicit Sheet_Column_List(bool with_header, QObject* parent = nullptr);

  // One unticked row per title, in order; the series name is the title as read.
  void Set_Titles(const QStringList& titles);
  void Clear() { Set_Titles({}); }
  // Ticks or unticks every row, keeping titles and series names.
  void Set_All(bool state);

  int count() const { return int(rows_.size()); }
  const Row& row(int j) const { return rows_.at(j); }
  // The state of row j as 0 or 1; 0 when there is no such row.
  int Get_Selection_State(int j) const;
  bool Check_For_One_Extension_Selection() const;
  // The positions of the ticked rows, in order.
  QList<int> Ticked() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  bool with_header_;
  QList<Row> rows_;
};

// The file types the spreadsheet imports offer: .xlsx workbooks, OpenDocument spreadsheets
// (.ods) and XML Spreadsheet 2003 files (.xml).
const QStringList& Import_Workbook_Extensions();

// Unpacks the workbook and lists its worksheets ("sheet1", "sheet2", ... in the order of
// their numbers). An .ods or .xml file (by its extension) is read whole at once, and its
// first table is the one sheet "sheet1". `error` is Import_File_Corrupted when it cannot be
// read or holds no worksheet, followed by the reader's reason (With_Reason; also logged).
struct Workbook_Sheets {
  QStringList sheets;
  QString error;
};
Workbook_Sheets Open_Workbook(const QString& path);
// The column titles of worksheet `position` (from 0) of the unpacked workbook; empty for a
// sheet without rows or one that cannot be read (logged, and the reader's reason in
// *reason). Sets Excel_Sheet_Number.
QStringList Sheet_Titles(int position, QString* reason = nullptr);
// All rows of the chosen worksheet; no rows for one that cannot be read (logged, and the
// reader's reason in *reason).
Sheet_Rows Sheet_Data_Rows(QString* reason = nullptr);
// A message the dialogs show, with the reader's reason for it below (when there is one).
QString With_Reason(const QString& message, const QString& reason);

// True when the rows hold a data row (a row after the title row when the first row holds
// titles). The column imports write nothing without one, so a sheet of titles only never
// empties a series.
inline bool Has_Data_Rows(const Sheet_Rows& rows, bool header_on) {
  return rows.size() > (header_on ? 1 : 0);
}

// The values a column import takes for one series, or why it takes none: more than
// Import_Max_Values values, or values a series file cannot hold (Series_Extent). Both are
// counted before a value is made: a text that many cells share (a repeated or shared cell)
// counts once for every row it is taken from, as the series holds it.
struct Import_Values {
  QStringList values;
  QString refusal;  // empty when the values were taken
};
// The cells of the chosen columns of each data row (from row 1 when the first row holds
// titles), row by row, trimmed; empty cells stay as empty values.
Import_Values Row_Major_Values(const Sheet_Rows& rows, const QList<int>& columns, bool header_on);
// The cells of one column, one per data row, trimmed.
Import_Values Column_Values(const Sheet_Rows& rows, int column, bool header_on);
// Row_Major_Values' refusal alone, without making the values; *count gets how many there are.
QString Import_Values_Refusal(const Sheet_Rows& rows, const QList<int>& columns, bool header_on,
                              qint64* count = nullptr);
// "The chosen columns hold more than 1,000,000 values. A series can have at most ..."
extern const QString Import_Too_Many_Sheet_Values;

// Makes the chosen columns the data table's columns (titled `titles`) and the data rows its
// rows, numbered from 1, cells trimmed; the table's views are reset once.
void Fill_Data_Table(Data_From_Excel& table, const Sheet_Rows& rows, const QList<int>& columns,
                     const QStringList& titles, bool header_on);
// The rows of a data table made from the rows: the rows after the title row when the first
// row holds titles, empty rows left out (any thread).
qsizetype Data_Table_Row_Count(const Sheet_Rows& rows, bool header_on);
// The table's rows Fill_Data_Table makes, without the table (any thread).
QList<QMap<QString, QString>> Data_Table_Rows_Of(const Sheet_Rows& rows,
                                                 const QList<int>& columns, bool header_on);
// Puts rows made by Data_Table_Rows_Of into the table under the titles (one reset).
void Fill_Data_Table(Data_From_Excel& table, const QList<QMap<QString, QString>>& made,
                     const QStringList& titles);

// One series per chosen column, all of them or none. `columns` are (sheet column, typed
// series name) pairs. Nothing is written, and `refusal` says why and what to do, when a name
// is not valid, names two columns, or names a series in use. Series that exist are replaced
// only after one question that names them all (through Ask_Long_Question; No writes
// nothing). A write that fails puts back what the import had written before it.
struct Column_Series {
  int column = 0;
  QString name;
};
struct Column_Import {
  bool written = false;  // every column was written
  QString refusal;       // why nothing was written; empty after a write or a No
};
Column_Import Write_Column_Series(const Sheet_Rows& rows, const QList<Column_Series>& columns,
                                  bool header_on);

// The long message dialog's question, lent by the design window: (title, text, show the
// apply-to-all box) -> 1 for OK, leaving the box's state in Msg_Apply_All_Chk. Without it a
// plain Yes/No question is asked and the apply-to-all choice stays unset.
using Long_Question = std::function<int(const QString& title, const QString& text, bool show_apply)>;
Long_Question& Long_Question_Hook();
int Ask_Long_Question(const QString& title, const QString& text, bool show_apply);
