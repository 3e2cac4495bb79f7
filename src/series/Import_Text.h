#pragma once
// The values the import wizard takes from a text file (.txt, .csv, .rtf), from pasted text
// and from a folder of pictures, without any GUI. Every source is read whole before anything
// is written.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Texts the imports show.
extern const QString Import_File_Unreadable;  // "Please select a valid file."
extern const QString Import_File_Corrupted;   // "Either file is corrupted or selected file ..."
extern const QString Import_Paste_Empty;      // "Please enter some data."
extern const QString Import_Invalid_Path;     // "Please select valid file path."

// Text from bytes: UTF-8, UTF-16 or UTF-32 when a byte-order mark says so, else strict
// UTF-8. Marks repeated at the start are no text. No text when the bytes are not valid in
// that encoding.
std::optional<QString> Decode_Text(const QByteArray& bytes);

// The rows of comma-separated values (RFC 4180): quoted fields may hold commas, doubled
// quotes and line breaks; lines end in LF, CRLF or CR; a line break inside a field becomes
// one space (a value is one line). Empty lines give no row.
QList<QStringList> Parse_Csv(const QString& text);

// One line or field made ready as a value: every "\", "{" and "}" removed, then trimmed.
QString Clean_Import_Value(const QString& text);

// The lines of a text, split at LF, CRLF or CR.
QStringList Split_Lines(const QString& text);

// What one text import takes at most; a file past any of these is refused whole, before it
// is read further. A series can have at most Import_Max_Values values (as the generator
// allows); a line or field longer than Import_Max_Value_Length characters is no value a card
// shows (nor does a series file hold one: Series_Max_Value_Length is this length).
constexpr qsizetype Import_Max_Bytes = qsizetype(256) * 1024 * 1024;
constexpr qint64 Import_Max_Values = 1000000;
constexpr qsizetype Import_Max_Value_Length = qsizetype(1) << 20;
extern const QString Import_Too_Many_Values;  // "The file holds more than 1,000,000 values. ..."
extern const QString Import_Value_Too_Long;   // "The file has a line or field longer than ..."
extern const QString Import_No_Values;        // "Nothing was imported: every line and field ..."

// The values of a text file: a .csv file's cleaned fields row by row, a .rtf file's and any
// other file's cleaned lines; empty values are left out. Only regular files are read (a FIFO
// or a device is refused at once), and a text file is read and split piece by piece, so that
// a limit is met before the values past it are made. `error` gets the message to show:
// Import_File_Unreadable with the reason on the next line for a file that cannot be read or is
// too large; Import_File_Corrupted for one that gives no text (not valid in its encoding, not
// rich text, or empty); Import_Too_Many_Values or Import_Value_Too_Long past a limit;
// Import_No_Values when every line and field is empty once cleaned. `values` is empty when
// `error` is set.
struct Text_Import {
  QStringList values;
  QString error;
};
Text_Import Read_Text_Import(const QString& path);

// The lines of pasted text: trimmed as a whole, split at line ends. Lines stay as typed
// (not trimmed); empty lines are left out.
QStringList Pasted_Values(const QString& text);

// The picture files directly inside the folder (no sub-folders), by name: their full paths.
// Pictures are known by the extensions jpg, jpeg, jpe, jfif, gif, bmp, png, tif, tiff in
// any case.
QStringList Picture_Folder_Values(const QString& folder);

// True, after saying "Please select valid file path.", when the trimmed path is empty or
// nothing exists at it.
bool Refuse_Import_Path(const QString& path);
