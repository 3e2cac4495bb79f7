#pragma once
// The data series store: every "Batch Processing Series" is one UTF-8 text file in the
// series folder (Data_Folder_Path), named after the series with the extension
// batch_file_EXT ("txt"), one value per line, each value followed by "\n".
//
// The series dialogs write and read series only through these functions. A name that could
// leave the series folder names no series: it is refused by the writers and reads as no
// values. A series file is
// replaced only after its new content has been written completely (a temporary file, then
// a rename): a failed write leaves the old series as it was.

#include "model/CRDGraphic.h"
#include "series/Import_Text.h"

#include <QString>
#include <QStringView>
#include <QStringList>

#include <functional>
#include <optional>

// Texts the writers show.
extern const QString Series_Replace_Question;  // "Batch Processing Series already exists. ..."
extern const QString Series_Access_Error;      // "Error in file accessing."
extern const QString Series_Name_Missing;      // "Please enter list name."
extern const QString Series_Update_In_Use;  // "... can't be update because it is currently in use."
extern const QString Series_Create_In_Use;  // "... can't be create because it is currently in use."
extern const QString Series_Delete_In_Use;  // "... can't be delete because it is currently in use."

// A name as the user typed it, made ready for a file name: reserved characters
// (/ \ ? % * | " < >) and white space removed from both ends.
QString Clean_Series_Name(const QString& typed);
// True when a cleaned name can name a series file inside the series folder: not empty, not
// "." or "..", without "/", "\" or NUL.
bool Is_Valid_Series_Name(const QString& name);
// The series folder's path, the name as one more path component, "." and "txt".
QString Series_Path(const QString& name);

// Writes exactly these values (each followed by "\n", UTF-8) as the file at `path`, whole
// or not at all. False, with the old file untouched and the reason in *error, when the
// file cannot be written, or when the values would make a file its readers refuse (see
// Series_Values_Refusal; nothing is written then).
bool Write_Series_File(const QString& path, const QStringList& values, QString* error = nullptr);
// Adds the values after the file's last line, creating the file when missing. A last line
// without its line feed gets one first, so that no two values run together. The file is
// replaced whole: a failed append, or one that would make a file past the readers' limits,
// leaves it as it was; *past_limits tells the second from a file that could not be read or
// written.
bool Append_Series_File(const QString& path, const QStringList& values, QString* error = nullptr,
                        bool* past_limits = nullptr);
// "Error in file accessing." with the reason of the failure on the next line.
QString Series_Access_Error_Because(const QString& reason);

// How a writer treats its values and an existing series of the same name.
struct Series_Write_Rules {
  bool trim_values = false;        // each value passes Trim_Str first
  bool skip_empty_values = false;  // empty values are left out (else written as empty lines)
  bool ask_replace = true;         // ask the replace question when the series exists
  // The design's in-use test and the refusal shown when it answers true; no test when
  // either is missing.
  std::function<bool(const QString& name)> in_use;
  QString in_use_refusal;
};

enum class Series_Write_Result { Written, Invalid_Name, In_Use, Kept, Failed };

// The whole write of a series dialog: cleans the typed name (an invalid one is refused with
// "Please enter list name."), refuses a series in use, asks before replacing an existing
// one ("No" keeps it), and writes; a failed write shows "Error in file accessing." and its
// reason (Series_Access_Error_Because). The messages go through Show_MessageBox and
// Show_YES_NO_MessageBox.
Series_Write_Result Save_Series(const QString& typed_name, const QStringList& values,
                                const Series_Write_Rules& rules);

// What a series file holds at most. The generator and the imports make at most 1,000,000
// values, a spreadsheet column at most 1,048,576 (with empty lines); the limits leave room
// above those. One value (a line) is at most as long as a text import takes one. A file past
// any of these is no series of ours: its readers refuse it whole and log why, having read it
// a piece at a time up to the limit (a line past the value length is met without the rest of
// the file being read or split).
constexpr qint64 Series_Max_Bytes = qint64(256) * 1024 * 1024;
constexpr qint64 Series_Max_Lines = qint64(1) << 21;
constexpr qsizetype Series_Max_Value_Length = Import_Max_Value_Length;

// The extent of a series file as it is written: its bytes (UTF-8, a line feed after each
// value), its line feeds and its longest line in characters. Values are measured without
// being copied; a long text that many values share (a column of one repeated cell) is
// measured once.
class Series_Extent {
 public:
  // Starts from what a file holds already (an append).
  explicit Series_Extent(qint64 bytes = 0, qint64 lines = 0) : bytes_(bytes), lines_(lines) {}
  void Add(QStringView value);
  // Past a limit already: a caller measuring many values may stop here.
  bool past() const {
    return bytes_ > Series_Max_Bytes || lines_ > Series_Max_Lines ||
           longest_ > Series_Max_Value_Length;
  }
  qint64 bytes() const { return bytes_; }
  qint64 lines() const { return lines_; }
  qsizetype longest_line() const { return longest_; }
  // Why a file of this extent is no series its readers read (past Series_Max_Bytes,
  // Series_Max_Lines or Series_Max_Value_Length); empty when it is one.
  QString Refusal() const;

 private:
  struct Measure {
    qint64 bytes = 0, feeds = 0;
    qsizetype longest = 0;
  };
  qint64 bytes_ = 0, lines_ = 0;
  qsizetype longest_ = 0;
  // The long values measured last (by their data), and their measures.
  struct Known {
    const QChar* data = nullptr;
    qsizetype size = -1;
    Measure measure;
  };
  Known known_[4];
  int next_known_ = 0;
};
// Series_Extent's refusal for these values written after what `extent` counts already (a
// whole file when it is empty); empty when they fit.
QString Series_Values_Refusal(const QStringList& values, Series_Extent extent = Series_Extent());

// The UTF-8 text of a series file (a byte-order mark dropped). Nothing, with the reason in
// *error, for a file that is missing, is not a regular file (a FIFO or a device is refused at
// once), is larger than Series_Max_Bytes, has more than Series_Max_Lines line feeds or a line
// longer than Series_Max_Value_Length characters, or is not UTF-8.
std::optional<QString> Read_Series_Text(const QString& path, QString* error = nullptr);

// The values a series shows: the file split at "\n", each line trimmed, empty ones left
// out. No values for a file Read_Series_Text refuses.
QStringList Read_Series_Values(const QString& name);
// The sample value of a bound series: the text before the first "\n", not trimmed, read
// without the rest of the file; empty for a missing file, one that is not a regular file or
// is larger than Series_Max_Bytes, or one whose first line is not UTF-8 or is longer than
// Series_Max_Value_Length characters.
QString Get_First_Value_Of_Dataset(const QString& name);
// The records batch output takes from a series: the whole text trimmed, then split at
// "\n" (inner empty lines stay empty records). No result when the file does not exist; no
// records for a file that is not UTF-8.
std::optional<QStringList> Series_Output_Records(const QString& name);
// The names of the series: the plain, visible files of the series folder less their
// extension, sorted by name without regard to case; empty when the folder is missing.
QStringList Get_datasheet_File_Name_Array();
// Removes the series file; false when it could not be removed.
bool Delete_Series(const QString& name);

// The design's in-use rule: the series file exists and a text, picture or barcode object
// of the front side (and of the back side when CARD_SIDE_STR is "2") takes its values from
// that series (data source 1 and the series' name).
bool Series_In_Use(const QString& name, const Graphic_List& front, const Graphic_List& back);
