#pragma once
// Card-size presets: paper name badges and PVC cards of standard sizes, and the one-column
// list of preset names that the card sidebar shows (its selected row names the side's
// size preset).

#include <QAbstractTableModel>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariantMap>

extern const QString PVC_Card_Category;    // "PVC Card"; any other category means paper
// The paper category as the card panel and the card wizard list it: the presets are paper
// name badges.
extern const QString Paper_Card_Category;  // "Paper Badge"
extern const QString Preset_Name_Key;    // "Extension": the list's one column

// The preset names of each category, in index order.
const QStringList& Paper_Card_Names();
const QStringList& PVC_Card_Names();

// The size of a preset in millimetres (width, height). "V" as orientation exchanges width
// and height. An index outside the category's table answers 762 x 762 mm (30 inches); the
// index -1 (no row chosen) answers 30 x 30 mm.
QSizeF Get_My_card_Size(const QString& category, const QString& orientation, int list_index);

// The row of the category's presets whose size (in the orientation) is the card's size in
// millimetres: preferred_row when its preset has that size, else the first that has it,
// else -1 (a size of the user's own). Sizes within half a millimetre count as the same,
// since a card's size may have been kept in whole points.
int Preset_Row_For_Size(const QString& category, const QString& orientation, QSizeF size_mm,
                        int preferred_row);

// The rows of the preset list: one dictionary per row, the name under "Extension".
class Preset_List : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit Preset_List(QObject* parent = nullptr);

  // Appends a row with the name, trimmed; a name of blanks only adds nothing.
  void Create_List(const QString& name);
  // Removes every row.
  void Remove_All();
  // The row's name: a null string when the row holds none, "" for a row that does not
  // exist.
  QString Get_Item_Text(int row) const;

  const QList<QVariantMap>& ListData() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // Stores an edited value in the row under the column's key; a row outside the list
  // changes nothing and answers false.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  QList<QVariantMap> rows_;
};
