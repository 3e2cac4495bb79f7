#pragma once
// The design-time side of binding: what the design window's data-source page offers and
// shows while a card is designed — the sample (first) value of a series or a spreadsheet
// column, the choices of the data-source combo, and the help text.

#include "series/Data_From_Excel.h"

#include <QString>
#include <QStringList>

#include <functional>

// The data-source combo's choices: "Manual" (0) and "Series" (1) always, "Excel" (2)
// while a spreadsheet is imported.
extern const QString Source_Manual_Item;  // "Manual"
extern const QString Source_Series_Item;  // "Series"
extern const QString Source_Excel_Item;   // "Excel"

// "Excel" added to a combo holding exactly two items; other lists stay as they are.
QStringList With_Excel_Choice(const QStringList& items);
// "Excel" removed from a combo holding exactly three items; other lists stay.
QStringList Without_Excel_Choice(const QStringList& items);

// The sample value of a graphic bound to a source: the first line of the series (source
// 1, by name) or row 0 of the spreadsheet column (source 2, by column index); "" for any
// other source or when there is none.
QString First_Bound_Value(int source, const QString& series_name, int column,
                          const Data_Table_Rows& sheet);

// The data-source help.
extern const QString Data_Source_Help_Title;
extern const QString Data_Source_Help_Text;

// Opens the spreadsheet data table's window; set by that window's code. Without it the
// table cannot be shown.
std::function<void()>& Data_Table_Window_Opener();
