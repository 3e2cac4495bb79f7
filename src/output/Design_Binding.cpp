#include "output/Design_Binding.h"

#include "output/Batch_Binding.h"
#include "series/Data_Series_Store.h"

const QString Source_Manual_Item = QStringLiteral("Manual");
const QString Source_Series_Item = QStringLiteral("Series");
const QString Source_Excel_Item = QStringLiteral("Excel");

const QString Data_Source_Help_Title = QStringLiteral("Batch Processing Settings Help :");
const QString Data_Source_Help_Text = QStringLiteral(
    "Select Data Source as 'Manual' to enter value manually, Select 'Batch Processing Series' "
    "to fetch the value from the list of existing Batch Processing Series.");

QStringList With_Excel_Choice(const QStringList& items) {
  if (items.size() != 2) return items;
  return items + QStringList{Source_Excel_Item};
}

QStringList Without_Excel_Choice(const QStringList& items) {
  if (items.size() != 3) return items;
  QStringList kept = items;
  kept.removeAll(Source_Excel_Item);
  return kept;
}

QString First_Bound_Value(int source, const QString& series_name, int column,
                          const Data_Table_Rows& sheet) {
  if (source == Source_Series) return Get_First_Value_Of_Dataset(series_name);
  if (source == Source_Sheet) return Sheet_Value(sheet, 0, column);
  return {};
}

std::function<void()>& Data_Table_Window_Opener() {
  static std::function<void()> opener;
  return opener;
}
