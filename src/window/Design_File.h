#pragma once
// The design file ("*.dcard"): one XML property list whose root array holds a magic text,
// the settings of both card sides (28 elements each), the spreadsheet binding, the data
// table's column titles and rows, and the front and back graphics as keyed archives,
// each list preceded by its count.
//
// Design_To_Array builds that array; Design_From_Array checks a whole array before it
// answers anything, so a damaged or foreign file never half-loads a design. The window
// applies only a checked Design_Contents.

#include "model/CRDGraphic.h"
#include "model/Card_Property.h"
#include "model/Graphic_Archive.h"
#include "platform/Property_List.h"
#include "series/Data_From_Excel.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>

namespace design_file {

inline constexpr char Magic[] = "ZELKMACBDAYINVITECARD";
inline constexpr int Side_Elements = 28;
inline constexpr int Front_Offset = 1;
inline constexpr int Back_Offset = Front_Offset + Side_Elements;
inline constexpr int Binding_Index = 57;  // "Y"/"N", then the source path
inline constexpr int Titles_Index = 59;
inline constexpr int Rows_Index = 60;
inline constexpr int Front_Count_Index = 61;
inline constexpr int Minimum_Elements = 63;  // a design without graphics
// The front card size must lie within the size controls' range.
inline constexpr double Minimum_Card_MM = 1.0;
inline constexpr double Maximum_Card_MM = 2000.0;

// What a design file holds.
struct Design_Contents {
  Card_Property front, back;  // the background pictures themselves are not stored
  bool excel_binding_use = false;
  QString excel_source_path;
  QStringList column_titles;  // the row-number column's title first
  Data_Table_Rows rows;
  Graphic_List front_graphics, back_graphics;  // list order, front-most first
  // What was left out while reading (pictures beyond the design's budget), to be told to
  // the person opening the file; "" when nothing was.
  QString left_out;
  // The picture files that unbound picture objects name and that are gone (their frames
  // are empty), each once; filled by Read_Design_File.
  QStringList missing_pictures;
};

// A side's background path is kept only while its fill is a picture ("I"): the path is
// cleared in the settings themselves, as the file stores it.
void Clear_Unused_Background_Path(Card_Property& side);

// The file's array. The sides' background paths are written as Clear_Unused_Background_Path
// leaves them (the caller clears them in its own settings first).
plist::Array Design_To_Array(const Design_Contents& design);

// The contents of an array, or nothing when any element is missing, of the wrong kind or
// out of range, or when the design holds more graphics than the budget takes; *reason says
// which. The graphics and their pictures are read under the budget given (the default one
// when none is).
std::optional<Design_Contents> Design_From_Array(const plist::Value& root, QString* reason = nullptr,
                                                 Graphic_Read_Budget* budget = nullptr);

// What a design file may hold: the reader refuses a file past any of these, so the writer
// refuses to write one (a design that was saved always opens again). Both take the same
// values from here.
inline constexpr qint64 Max_File_Bytes = 256LL * 1024 * 1024;
// The values a design file may hold unless the limits say otherwise: 2,000,000. Only tests
// change it, lowering it together with their inputs, so that a table at the limit is quick
// to make; the program never does.
inline std::atomic<qint64> Default_Max_Values{2LL * 1000 * 1000};
struct File_Limits {
  qint64 max_bytes = Max_File_Bytes;
  // Values of the property list (its XML elements: every string, key, list and table row).
  qint64 max_values = Default_Max_Values.load(std::memory_order_relaxed);
  // Graphics of both sides together.
  qint64 max_graphics = Graphic_Read_Budget::Default_Graphics;
  // What the archive of one graphic may hold (its objects, values and size, as the
  // unarchiver counts them).
  keyed_archive::Limits archive;
};

// Why the design, written, would pass a limit, saying what is large and what to remove;
// "" when it fits. Counted without writing the file: the graphics are archived one at a
// time (each checked against what the reader takes of one archive, and let go), stopping
// as soon as a limit is passed, so a design of many gigabytes costs about what a file at
// the limit would and is refused at once. *measure gets the file's size and values when
// asked (both only "more than the limit" once it is passed).
QString Design_Past_Limits(const Design_Contents& design, const File_Limits& limits = {},
                           plist::Xml_Measure* measure = nullptr);

// The most rows a data table of `columns` cell columns may have for its rows alone to stay
// within limits.max_values (a row is a dictionary of the row number and the cells: 3 + 2 x
// columns values). A table of more rows is refused before its rows are made; one of fewer
// may still be refused by Design_Past_Limits with the rest of the design.
qint64 Most_Table_Rows(qint64 columns, const File_Limits& limits = {});
// Why a data table of `rows` rows of `columns` cell columns could not be held, told as
// Design_Past_Limits tells it; "" when its rows fit (rows <= Most_Table_Rows).
QString Table_Past_Limit(qint64 rows, qint64 columns, const File_Limits& limits = {});

// Files. Writing is whole or nothing (temporary file, then rename); *error gets the reason.
// A design past the limits is refused before anything is written (the file stays as it
// was), with Design_Past_Limits' reason.
bool Write_Design_File(const QString& path, const Design_Contents& design, QString* error = nullptr,
                       const File_Limits& limits = {});
// Reading takes a regular file of at most limits.max_bytes only. The pictures of picture
// objects are read from their files (when these are still there) under the same budget.
// A budget given brings its own limit of graphics; without one, limits.max_graphics holds.
std::optional<Design_Contents> Read_Design_File(const QString& path, QString* reason = nullptr,
                                                Graphic_Read_Budget* budget = nullptr,
                                                const File_Limits& limits = {});

// What opening says of missing picture files: their paths (the first ten, then how many
// more) and that their frames are empty.
QString Missing_Pictures_Message(const QStringList& files);

// "Y" exactly for true; reading takes "Y" as true and every other text as false.
QString Flag_Text(bool value);
bool Flag_From_Text(const QString& text);

}  // namespace design_file
