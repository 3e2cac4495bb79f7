#pragma once
// The rules of the series manager, apart from its dialog: what the design window lends the
// series dialogs, the selection after rows are deleted, saving an edited series (also under
// another name), and exporting values as a workbook or a text file.

#include "series/Data_Series_Store.h"

#include <QString>
#include <QStringList>

#include <functional>

// What the series dialogs ask of the design window. The window fills these before it opens
// a series dialog; until then no series is in use and an export shows no result box.
struct Series_Window_Hooks {
  // The in-use test: the series exists and an object of the card takes its values from it.
  std::function<bool(const QString& name)> in_use;
  // Shows the export-result box for Export_File_Path and Export_File_Message.
  std::function<void()> show_export_result;
};
Series_Window_Hooks& Series_Hooks();
bool Series_Hook_In_Use(const QString& name);

// After rows were removed from a list that now holds new_count rows: the row to select alone
// (the row before the last one selected, when it still exists), or -1 for no selection.
int Selection_After_Delete(int last_selected, int new_count);

// Saves the editor's values under the typed name. `loaded` is the series loaded into the
// editor ("" for a new one). Refuses when the loaded series or an existing target series is
// in use; asks before replacing another existing series; writes the trimmed, non-empty
// values; and only after that write succeeded removes the loaded series' file when this was
// a rename onto a new name. A failed write leaves every file as it was.
Series_Write_Result Save_Edited_Series(const QString& typed, const QString& loaded,
                                       const QStringList& values);

// The export types of the save panel, in its order: "xlsx", "txt".
const QStringList& Export_Types();
// The chosen path with its own extension replaced by that of the chosen type (index into
// Export_Types(); any index but 0 gives "txt").
QString Export_Path(const QString& chosen, int type_index);
// Writes the values to the path: a workbook whose first row is "Batch Value" followed by one
// row per value, or a text file of UTF-8 lines. False, with any file at the path left as it
// was and the reason in *error, when the file could not be written.
bool Export_Series_Values(const QString& path, int type_index, const QStringList& values,
                          QString* error = nullptr);
