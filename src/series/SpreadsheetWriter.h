#pragma once
// Workbooks as lists of text rows: the .xlsx reader and writer (Office Open XML, ECMA-376),
// and the other spreadsheet formats (XML Spreadsheet 2003, OpenDocument spreadsheets).
//
// Reading a workbook goes through the unpack folder "ziptmp" (Excel_Unpack_Folder), in
// the order the import dialogs use:
//   1. ReadWorkbook(path, true) empties the folder, unpacks the workbook into it and reads
//      its shared strings (Excel_Sheet_Columns becomes 1); small worksheets and shared
//      strings stay in memory (they are parsed from there), the other parts are written
//      (large worksheets are streamed from the folder);
//   2. Worksheet_Names() offers the worksheets ("sheet1", "sheet2", ... in numeric order);
//      the caller sets Excel_Sheet_Number to the chosen position + 1;
//   3. ReadData_only_column() reads that sheet whole and gives its column titles; it sets
//      Excel_Sheet_Columns to the width of its rows (the titles are as wide, "Untitled
//      Column %d" where a row reaches further than the title row);
//   4. ReadWorkbook({}, false) gives all its rows, each with Excel_Sheet_Columns texts
//      (those step 3 read, when it read this sheet).
// A worksheet part written into the folder by other means is read from there.
// A write assembles the workbook in the same folder from the resource "Template.xlsx";
// a workbook must be unpacked again before its sheets are read after a write.
//
// Every operation works on the one shared instance and its folder, on the main thread:
// one workbook is in work at a time. Every read that fails (a file that cannot be unpacked,
// a part that cannot be opened or parsed, a sheet or table that cannot be read as rows or is
// larger than a read hands out) throws Spreadsheet_Error; the dialogs catch it, log its
// reason and tell the user the file cannot be read. A reason names the user's file and the
// part inside it, not the unpack folder.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "series/Zip_Archive.h"

#include <stdexcept>

using Sheet_Rows = QList<QStringList>;

class Xml_Pull_Reader;

// The most cells a read of a sheet hands out: its rows times its widest row, empty cells
// included (every row is made as wide as the widest); for a workbook, each of its shared
// strings counts as one more. Every reader refuses a sheet that would give more, counting
// before the cells are made, with Too_Many_Cells_Reason(). A cell costs its slot in the row
// (24 bytes) and, with a short text of its own, 32 to 64 bytes more; a row costs some 50
// bytes beside its cells, a shared string as much as a cell with its text.
inline constexpr qint64 kMax_Read_Cells = qint64(1) << 21;  // 2,097,152
// "The sheet is too large to read: ..." with the limit in cells. A workbook's shared strings
// are held while a sheet is read: each counts as a cell, and the reason says how many there are.
QString Too_Many_Cells_Reason(qint64 shared_strings = 0);
// The most characters (UTF-16 code units) of text a read of a sheet makes, counted before they
// are made: the texts of all its cells together (a text that a repeat count copies, or a
// shared string many cells show, is made once and counts once) and, for a workbook, the
// shared strings it holds while the sheet is read. Every reader refuses a sheet that would
// make more, with Too_Much_Text_Reason(). With kMax_Read_Cells this keeps the largest read
// within 256 MB.
inline constexpr qint64 kMax_Read_Characters = qint64(1) << 25;  // 33,554,432
// "The sheet holds more text than a read takes: ..." with the limit in characters.
QString Too_Much_Text_Reason();

// What a read unpacks of a workbook or OpenDocument package: only the parts it reads, each
// at most 256 MB and all together at most 512 MB (by the sizes they declare, checked before
// anything is unpacked); parts it does not read are never inflated.
Zip_Limits Workbook_Zip_Limits();

// A file that cannot be read as rows, and why.
class Spreadsheet_Error : public std::runtime_error {
 public:
  explicit Spreadsheet_Error(const QString& reason);
  QString reason() const { return QString::fromStdString(what()); }
};

// The unpack folder: "ziptmp" inside a private folder of this process (mode 0700), never
// directly in the shared temporary folder. The private folder goes when the process ends.
QString Excel_Unpack_Folder();
// Removes the unpack folder with everything in it; errors are ignored.
void Delete_Excel_File_Temp_Folder();
// Removes the private folders that runs of this user which no longer run left behind (a
// run that died keeps its folder). Done when the unpack folder is first made, and at start.
void Remove_Abandoned_Unpack_Folders();

class SpreadsheetWriter {
 public:
  // The shared instance, created on first use: its folder is emptied then.
  static SpreadsheetWriter& spreadsheet();

  const Sheet_Rows& data() const { return data_; }
  void setData(const Sheet_Rows& rows) { data_ = rows; }
  const QStringList& sharedStrings() const { return sharedStrings_; }
  void setSharedStrings(const QStringList& strings) {
    sharedStrings_ = strings;
    shared_characters_ = 0;
    for (const QString& text : strings) shared_characters_ += text.size();
  }
  QString tmpDir() const { return tmpDir_; }
  void setTmpDir(const QString& path) { tmpDir_ = path; }

  // ---- .xlsx workbooks -----------------------------------------------------------------
  // only_col true: empties the unpack folder, unpacks the workbook at `path` and reads its
  // shared strings; answers data() unchanged. Throws when the file cannot be unpacked or
  // its shared strings cannot be read (the folder is left empty). only_col false: the rows of worksheet
  // Excel_Sheet_Number of the unpacked workbook (`path` plays no part). Throws
  // Spreadsheet_Error for a sheet that cannot be read.
  static Sheet_Rows ReadWorkbook(const QString& path, bool only_col);
  // One row, the column titles of worksheet Excel_Sheet_Number ("Untitled Column %d" for
  // an empty title), or no row for a sheet without rows; sets Excel_Sheet_Columns.
  static Sheet_Rows ReadData_only_column();
  // The worksheet parts of the unpacked workbook by name without extension, in the order
  // of their numbers (sheet2 before sheet10). Position i is Excel_Sheet_Number i + 1.
  static QStringList Worksheet_Names();
  // Writes the rows as the one sheet of a new workbook at `path` (replaced whole, or left
  // alone on failure). False, with the reason logged and in *error, when there are no texts
  // to write, the template is missing or no regular file, or a part or the package cannot
  // be written.
  // `hasTitleRow` does not change the output: the first row is written like every other.
  static bool WriteWorkbook(const QString& path, const Sheet_Rows& rows, bool hasTitleRow,
                            QString* error = nullptr);
  // Lets go of the worksheets held in memory and the rows last read (the unpacked files
  // stay): the picker sends it when it closes. A later read unpacks the workbook again.
  static void Release_Data();

  // Parts of a workbook, for the operations above.
  // False, with the reason in *error, for a part that is not well formed or holds more
  // strings than a read takes in; a missing part is a workbook without strings.
  bool ReadSharedStrings(const QString& path, QString* error = nullptr);
  // The rows of a worksheet part into data(); throws Spreadsheet_Error.
  void ReadData(const QString& path);
  // Parts written whole; false, with the reason logged and in *error, on failure.
  bool WriteWorksheetData(const QString& path, QString* error = nullptr);
  bool WriteSharedStringsXML(const QString& path, QString* error = nullptr);

  // Column letters: 1 -> "A", 28 -> "AB", 16384 -> "XFD".
  static QString ColumnIndexToName(int column);
  // The column letters at the start of a cell reference ("AB7" -> "AB"): the characters
  // before the first digit 1 to 9.
  static QString Get_Column_Char_Str(const QString& reference);
  // The column of the letters: base 64 counts from 1, base 65 from 0; -1 for letters that
  // name no column.
  static int Get_Col_index(const QString& letters, int base);
  // The low 8 bits of the code of the first character; 0 for the empty text.
  static int Asc_Val(const QString& text);

  // ---- Other spreadsheet formats -------------------------------------------------------
  // XML Spreadsheet 2003: the rows of the first table, rows and cells placed by their index,
  // every row as wide as the widest. Throws Spreadsheet_Error.
  static Sheet_Rows ReadWorksheetXML2004(const QString& path);
  static bool WriteWorksheetXML2004(const QString& path, const Sheet_Rows& rows);
  // OpenDocument spreadsheets: the rows of the first table, repeated rows and cells
  // expanded, the empty cells and rows that pad a table at its end left out.
  // Throws Spreadsheet_Error.
  static Sheet_Rows ReadODS(const QString& path);
  // The same from an unpacked content part ("content.xml").
  static Sheet_Rows ReadODSContent(const QString& path);
  // Writes the rows as the one table of a new .ods built from the resource "Template.ods".
  static bool WriteODS(const QString& path, const Sheet_Rows& rows, bool hasTitleRow);
  // Writes data() as an OpenDocument content part.
  bool WriteODSData(const QString& path);
  // The sheet names of the unpacked workbook, in the workbook's order.
  static QStringList Read_Sheet_Name();
  // A minimal workbook part naming one sheet.
  bool WriteWorkbookXML(const QString& path, const QString& sheet_name);
  static QString ColumnNumber_To_Name(int column) { return ColumnIndexToName(column); }

 private:
  SpreadsheetWriter();
  explicit SpreadsheetWriter(const QString& folder);  // a helper that only reads parts
  bool Prepare_Unpack_Folder();
  // Takes the rows to write and unpacks the named template of the resource folder into
  // the emptied unpack folder; logs and answers false, with the reason in *error, when
  // there is nothing to write or the template cannot be unpacked.
  bool Unpack_Template_For(const QString& path, const Sheet_Rows& rows,
                           const QString& template_name, QString* error = nullptr);
  QString Worksheet_Path() const;
  // A path in the unpack folder as the user knows it: the workbook's file and the part
  // inside it ("/home/me/book.xlsx, part xl/worksheets/sheet1.xml"); other paths as they
  // are. Shown_Reason puts that name for the path in a reason.
  QString Shown_Path(const QString& path) const;
  QString Shown_Reason(QString reason, const QString& path) const;
  // The rows of the worksheet part at `path` (the held part, else the file), at least
  // `columns` wide, every row as wide as the widest (only the first row when
  // `first_row_only`); the declared columns (see Worksheet_Scan) in *declared. Throws
  // Spreadsheet_Error.
  Sheet_Rows Read_Sheet(const QString& path, int columns, int* declared,
                        bool first_row_only) const;
  bool Read_Shared_Strings_From(Xml_Pull_Reader& reader, QString* why);

  Sheet_Rows data_;
  // The worksheet parts held in memory, by path below the unpack folder.
  QHash<QString, QByteArray> parts_;
  // The rows the titles read took, for the rows read of the same sheet.
  QString read_path_;
  Sheet_Rows read_rows_;
  QStringList sharedStrings_;
  qint64 shared_characters_ = 0;  // the characters of sharedStrings_
  QString tmpDir_;
  // The workbook the unpack folder holds, for reasons; empty when none was read into it.
  QString source_;
};
