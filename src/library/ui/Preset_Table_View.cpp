#include "library/ui/Preset_Table_View.h"

#include "library/Card_Presets.h"

#include <QHeaderView>
#include <QTableView>

QTableView* Make_Preset_Table_View(Preset_List* list, QWidget* parent) {
  auto* view = new QTableView(parent);
  view->setObjectName(QStringLiteral("ColList"));
  view->setModel(list);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->horizontalHeader()->setStretchLastSection(true);
  view->horizontalHeader()->hide();
  view->verticalHeader()->hide();
  return view;
}
