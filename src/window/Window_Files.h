#pragma once
// File services of the design window that need no widgets: folder listings, the test
// whether a data series is bound on the card, file paths from panels, and the current date
// and time in a pattern.

#include "model/CRDGraphic.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

// The names, without their last extension, of the files in a folder (hidden files
// included, sub-folders left out), sorted by name. A folder that does not exist or cannot
// be read answers an empty list.
QStringList Get_Files_Array_At_Path(const QString& folder);
// The names of the data series: defined once, by the series store (Data_Series_Store.h).
QStringList Get_datasheet_File_Name_Array();
// The name without its last extension, as a file listing shows it ("a.b.txt" -> "a.b";
// a leading dot starts no extension: ".hidden" stays).
QString Delete_Path_Extension(const QString& name);

// True when the series' file exists in the data-series folder and a picture, text or
// barcode picture of the front side, or of the back side when the card has two sides
// (CARD_SIDE_STR "2"), is bound to the series by that exact name.
bool Check_Batch_File_In_Use_Validation(const QString& series_name, const Graphic_List& front,
                                        const Graphic_List& back);

// A date or time written with a pattern of the Unicode date-field symbols ("dd-MM-yyyy",
// "h:mm:ss a") in the user's language.
QString Get_date_Value(const QString& pattern,
                       const QDateTime& when = QDateTime::currentDateTime());
QString Get_time_Value(const QString& pattern,
                       const QDateTime& when = QDateTime::currentDateTime());
// The same pattern in Qt's date-format notation.
QString Qt_Date_Format(const QString& pattern);

// The path of a file address, as file panels answer them.
QString Convert_Path_From_URL(const QUrl& url);
// False when the path, trimmed, names an existing file or folder. Otherwise says "Please
// select valid file path." and answers true (the answer is true for a path that is not
// valid).
bool Check_And_Validate_File_Path(const QString& path);
