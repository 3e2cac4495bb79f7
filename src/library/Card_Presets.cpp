#include "library/Card_Presets.h"

#include "model/Common_Functions.h"

#include <array>
#include <cmath>

const QString PVC_Card_Category = QStringLiteral("PVC Card");
const QString Paper_Card_Category = QStringLiteral("Paper Badge");
const QString Preset_Name_Key = QStringLiteral("Extension");

namespace {

struct Preset {
  const char* name;
  double width_in;
  double height_in;
};

constexpr std::array<Preset, 8> paper_presets{{
    {"Durable 1452 - Name Badge", 2.36, 1.58},
    {"Durable 1453 - Name Badge", 2.95, 1.58},
    {"Durable 1454 - Name Badge", 2.95, 1.58},
    {"Durable 1455 - Name Badge", 3.54, 2.13},
    {"Durable 1456 - Name Badge", 3.54, 2.36},
    {"Durable 1457 - Name Badge", 2.36, 3.54},
    {"Durable 1458 - Name Badge", 3.94, 4.09},
    {"Durable 1459 - Name Badge", 5.91, 4.96},
}};

constexpr std::array<Preset, 7> pvc_presets{{
    {"CR80-Credit Card Size", 3.37, 2.13},
    {"CR79", 3.31, 2.06},
    {"CR90-Over Sized", 3.62, 2.38},
    {"CR100-Military Size", 3.88, 2.62},
    {"CR50", 3.5, 1.75},
    {"CR60", 3.25, 2.34},
    {"CR70", 2.88, 2.12},
}};

constexpr double mm_per_inch = 25.4;

template <size_t N>
QStringList names_of(const std::array<Preset, N>& table) {
  QStringList names;
  for (const Preset& p : table) names << QString::fromUtf8(p.name);
  return names;
}

template <size_t N>
QSizeF size_of(const std::array<Preset, N>& table, int index) {
  if (index == -1) return QSizeF(30, 30);  // no row chosen: millimetres, not inches
  double w = 30, h = 30;
  if (index >= 0 && size_t(index) < N) {
    w = table[size_t(index)].width_in;
    h = table[size_t(index)].height_in;
  }
  return QSizeF(static_cast<float>(w * mm_per_inch), static_cast<float>(h * mm_per_inch));
}

}  // namespace

const QStringList& Paper_Card_Names() {
  static const QStringList names = names_of(paper_presets);
  return names;
}

const QStringList& PVC_Card_Names() {
  static const QStringList names = names_of(pvc_presets);
  return names;
}

QSizeF Get_My_card_Size(const QString& category, const QString& orientation, int list_index) {
  const QSizeF size = category == PVC_Card_Category ? size_of(pvc_presets, list_index)
                                                    : size_of(paper_presets, list_index);
  return orientation == QLatin1String("V") ? size.transposed() : size;
}

int Preset_Row_For_Size(const QString& category, const QString& orientation, QSizeF size_mm,
                        int preferred_row) {
  const int count =
      int((category == PVC_Card_Category ? PVC_Card_Names() : Paper_Card_Names()).size());
  const auto fits = [&](int row) {
    if (row < 0 || row >= count) return false;
    const QSizeF preset = Get_My_card_Size(category, orientation, row);
    return std::abs(preset.width() - size_mm.width()) < 0.5 &&
           std::abs(preset.height() - size_mm.height()) < 0.5;
  };
  if (fits(preferred_row)) return preferred_row;
  for (int row = 0; row < count; ++row)
    if (fits(row)) return row;
  return -1;
}

Preset_List::Preset_List(QObject* parent) : QAbstractTableModel(parent) {}

void Preset_List::Create_List(const QString& name) {
  const QString trimmed = Trim_Str(name);
  if (trimmed.isEmpty()) return;
  const int row = int(rows_.size());
  beginInsertRows({}, row, row);
  rows_.append(QVariantMap{{Preset_Name_Key, trimmed}});
  endInsertRows();
}

void Preset_List::Remove_All() {
  if (rows_.isEmpty()) return;
  beginResetModel();
  rows_.clear();
  endResetModel();
}

QString Preset_List::Get_Item_Text(int row) const {
  if (row < 0 || row >= rows_.size()) return QStringLiteral("");
  const auto it = rows_[row].constFind(Preset_Name_Key);
  return it == rows_[row].constEnd() ? QString() : it->toString();
}

int Preset_List::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(rows_.size());
}

int Preset_List::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant Preset_List::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_.size() || index.column() != 0) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return rows_[index.row()].value(Preset_Name_Key);
}

bool Preset_List::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.column() != 0) return false;
  if (index.row() < 0 || index.row() >= rows_.size()) {
    Show_NSLog_Message(
        QStringLiteral("Preset list: no row %1 to store a value in").arg(index.row()));
    return false;
  }
  rows_[index.row()].insert(Preset_Name_Key, value);
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

QVariant Preset_List::headerData(int section, Qt::Orientation orientation, int role) const {
  if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
    return Preset_Name_Key;
  return {};
}

Qt::ItemFlags Preset_List::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}
