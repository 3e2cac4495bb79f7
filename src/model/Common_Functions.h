#pragma once
// Free functions that every subsystem calls: message boxes safe on any thread, the log
// sink for caught errors, string trimming and cutting, the file-name cleaner, and the
// data folders.

#include <QLoggingCategory>
#include <QString>

// An alert with the text after one line break and the single button "OK". Safe on any
// thread: the alert runs on the main thread and the caller waits.
void Show_MessageBox(const QString& text);
// An alert with "Yes" and "No"; true for "Yes". Safe on any thread like Show_MessageBox.
// The answer is also left in yes_no_msg_val.
bool Show_YES_NO_MessageBox(const QString& text);
// The program's log category "lumigrove": its warnings are shown, its notes only when
// enabled (QT_LOGGING_RULES="lumigrove.info=true").
Q_DECLARE_LOGGING_CATEGORY(lumigroveLog)
// Writes a non-empty text to the log as a note of lumigroveLog.
void Show_NSLog_Message(const QString& text);

// White space and line breaks removed from both ends, then control characters.
QString Trim_Str(const QString& text);
QString Replace_Char_For_valid(const QString& text);  // same as Trim_Str
// Reserved file-name characters (/ \ ? % * | " < >) removed from both ends, then Trim_Str.
QString Remove_Reserve_Char_In_File_Name(const QString& name);
// True when a name typed by the user can name a file inside a folder: not empty, not
// "." or "..", and free of "/", "\" and NUL.
bool Is_Valid_File_Name(const QString& name);

QString Left_Str_substringToIndex(const QString& text, int n);
QString Right_Str_substringFromIndex(const QString& text, int n);
QString Read_Str_FromIndex(const QString& text, int index);
QString Replace_char_in_string(const QString& text, const QString& target,
                               const QString& replacement);
bool Find_Str(const QString& text, const QString& part);

// Creates each missing data folder under Resource_Path: "DataSet" (Data_Folder_Path),
// "Background", "Fill_Style_Image", "LibraryImage", "Templates", "Templates/User".
// Answers false (and logs) when a folder could not be created.
bool Check_Path_And_Create_Files();
// Removes the file or folder at the path when it can be removed; answers whether it did. A
// link is removed, not what it names; nothing is removed inside a linked folder of the
// program's own (that is logged).
bool Delete_File(const QString& path);
// Opens Resource_Path/Help.pdf with the default application, or says it is missing, or,
// when no program shows PDF files or the desktop's opener fails, says so and where the
// guide is.
void Open_Help_File();
