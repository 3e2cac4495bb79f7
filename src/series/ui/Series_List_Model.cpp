#include "series/ui/Series_List_Model.h"

#include "model/Common_Functions.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

Series_List_Model::Series_List_Model(const QString& identifier, const QString& title,
                                     QObject* parent)
    : QAbstractTableModel(parent), identifier_(identifier), title_(title) {}

QString Series_List_Model::value(qsizetype row) const {
  if (row < 0 || row >= values_.size()) {
    Show_NSLog_Message(QStringLiteral("pRowIndex >= 0 && pRowIndex < [%1 count]").arg(identifier_));
    return {};
  }
  return values_.at(row);
}

void Series_List_Model::setValues(const QStringList& values) {
  beginResetModel();
  values_ = values;
  endResetModel();
}

qsizetype Series_List_Model::appendTrimmed(const QStringList& values) {
  QStringList added;
  added.reserve(values.size());
  for (const QString& value : values) {
    const QString trimmed = Trim_Str(value);
    if (!trimmed.isEmpty()) added << trimmed;
  }
  if (added.isEmpty()) return 0;
  const int first = int(values_.size());
  beginInsertRows({}, first, first + int(added.size()) - 1);
  values_ += added;
  endInsertRows();
  return added.size();
}

void Series_List_Model::replace(qsizetype row, const QString& value) {
  if (row < 0 || row >= values_.size()) return;
  values_[row] = value;
  const QModelIndex cell = index(int(row), 0);
  emit dataChanged(cell, cell);
}

void Series_List_Model::removeRows(QList<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(),
                            [this](int r) { return r < 0 || r >= values_.size(); }),
             rows.end());
  if (rows.isEmpty()) return;
  QStringList kept;
  kept.reserve(values_.size() - rows.size());
  qsizetype next = 0;
  for (qsizetype i = 0; i < values_.size(); ++i) {
    if (next < rows.size() && rows.at(next) == i) {
      ++next;
      continue;
    }
    kept << values_.at(i);
  }
  setValues(kept);
}

int Series_List_Model::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(values_.size());
}

int Series_List_Model::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant Series_List_Model::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() != 0) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  return value(index.row());
}

QVariant Series_List_Model::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return section == 0 ? QVariant(title_) : QVariant();
  return section + 1;
}

QTableView* Make_Series_Table(Series_List_Model* model, const QString& object_name,
                              QWidget* parent) {
  auto* view = new QTableView(parent);
  view->setObjectName(object_name);
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->horizontalHeader()->setStretchLastSection(true);
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->verticalHeader()->setVisible(false);
  view->setAlternatingRowColors(true);
  view->setWordWrap(false);
  return view;
}

QList<int> Selected_Rows(const QTableView* view) {
  QList<int> rows;
  if (!view->selectionModel()) return rows;
  for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

int Last_Selected_Row(const QTableView* view) {
  const QItemSelectionModel* selection = view->selectionModel();
  if (!selection || !selection->hasSelection()) return -1;
  const QModelIndex current = selection->currentIndex();
  if (current.isValid() && selection->isRowSelected(current.row(), {})) return current.row();
  const QList<int> rows = Selected_Rows(view);
  return rows.isEmpty() ? -1 : rows.last();
}

void Select_Only_Row(QTableView* view, int row) {
  QItemSelectionModel* selection = view->selectionModel();
  if (!selection) return;
  if (row < 0 || row >= view->model()->rowCount()) {
    selection->clear();
    return;
  }
  const QModelIndex index = view->model()->index(row, 0);
  selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  view->scrollTo(index);
}
