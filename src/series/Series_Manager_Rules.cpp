#include "series/Series_Manager_Rules.h"

#include "model/Common_Functions.h"
#include "series/SpreadsheetWriter.h"

#include <QFileInfo>

Series_Window_Hooks& Series_Hooks() {
  static Series_Window_Hooks hooks;
  return hooks;
}

bool Series_Hook_In_Use(const QString& name) {
  const auto& in_use = Series_Hooks().in_use;
  return in_use && !name.isEmpty() && in_use(name);
}

int Selection_After_Delete(int last_selected, int new_count) {
  const int k = last_selected - 1;
  return k >= 0 && k < new_count ? k : -1;
}

Series_Write_Result Save_Edited_Series(const QString& typed, const QString& loaded,
                                       const QStringList& values) {
  const QString name = Clean_Series_Name(typed);
  const bool renamed = !loaded.isEmpty() && name != loaded;
  const bool target_existed = QFileInfo::exists(Series_Path(name));
  Series_Write_Rules rules;
  rules.trim_values = true;
  rules.skip_empty_values = true;
  // Saving onto the loaded series itself asks nothing; any other existing series is asked.
  rules.ask_replace = name != loaded;
  rules.in_use = [&loaded](const QString& target) {
    return Series_Hook_In_Use(loaded) || Series_Hook_In_Use(target);
  };
  rules.in_use_refusal = Series_Update_In_Use;
  const Series_Write_Result result = Save_Series(typed, values, rules);
  // A rename onto a new name moves the series: the old file goes once the new one is whole.
  // Saving onto another existing series replaces that one and keeps the loaded one.
  if (result == Series_Write_Result::Written && renamed && !target_existed &&
      Is_Valid_Series_Name(loaded) && QFileInfo::exists(Series_Path(loaded)))
    Delete_Series(loaded);
  return result;
}

const QStringList& Export_Types() {
  static const QStringList types{QStringLiteral("xlsx"), QStringLiteral("txt")};
  return types;
}

QString Export_Path(const QString& chosen, int type_index) {
  const QString type = type_index == 0 ? Export_Types().at(0) : Export_Types().at(1);
  const QFileInfo info(chosen);
  const QString suffix = info.suffix();
  QString base = chosen;
  // Only the last component's extension goes: "a.b/c" keeps its folder name whole.
  if (!suffix.isEmpty() && !info.fileName().startsWith(u'.') && chosen.endsWith(u'.' + suffix))
    base.chop(suffix.size() + 1);
  return base + u'.' + type;
}

bool Export_Series_Values(const QString& path, int type_index, const QStringList& values,
                          QString* error) {
  if (type_index != 0) return Write_Series_File(path, values, error);
  Sheet_Rows rows;
  rows.reserve(values.size() + 1);
  rows << QStringList{QStringLiteral("Batch Value")};
  for (const QString& value : values) rows << QStringList{value};
  return SpreadsheetWriter::WriteWorkbook(path, rows, false, error);
}
