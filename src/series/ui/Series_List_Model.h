#pragma once
// A one-column, read-only table model over a list of texts: the list of series, the value
// list and the viewer's list. The rows are the texts themselves, so a series of a million
// values needs one list in memory and no widget per row.

#include <QAbstractTableModel>
#include <QStringList>

class QTableView;

class Series_List_Model : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `identifier` names the column ("Extension", "Header"); `title` is its header text.
  Series_List_Model(const QString& identifier, const QString& title, QObject* parent = nullptr);

  QString identifier() const { return identifier_; }
  const QStringList& values() const { return values_; }
  qsizetype count() const { return values_.size(); }
  QString value(qsizetype row) const;

  void setValues(const QStringList& values);
  // Appends each value, trimmed, leaving out those that are empty; answers how many came in.
  qsizetype appendTrimmed(const QStringList& values);
  void clear() { setValues({}); }
  void replace(qsizetype row, const QString& value);
  // Removes the rows (any order, duplicates allowed).
  void removeRows(QList<int> rows);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QString identifier_;
  QString title_;
  QStringList values_;
};

// A table view made for such a model: one stretched column, whole rows selected, several
// rows at once, no editing in place, rows of one fixed height (fast for long lists).
QTableView* Make_Series_Table(Series_List_Model* model, const QString& object_name,
                              QWidget* parent);
// The selected rows of the view, ascending, and the row selected last (-1 for none).
QList<int> Selected_Rows(const QTableView* view);
int Last_Selected_Row(const QTableView* view);
// Selects exactly that row (nothing for -1) and shows it.
void Select_Only_Row(QTableView* view, int row);
