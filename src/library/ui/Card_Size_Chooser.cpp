#include "library/ui/Card_Size_Chooser.h"

#include "library/ui/Preset_Table_View.h"

#include "model/Common_Functions.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

Card_Size_Chooser::Card_Size_Chooser(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Card_Size_Chooser"));
  Category_ComboBox = new QComboBox(this);
  Category_ComboBox->setObjectName(QStringLiteral("Category_ComboBox"));
  Category_ComboBox->addItems({PVC_Card_Category, Paper_Card_Category});
  Preset_ComboBox = new QComboBox(this);
  Preset_ComboBox->setObjectName(QStringLiteral("Preset_ComboBox"));
  Preset_ComboBox->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical")});

  ListData = new Preset_List(this);
  ColList = Make_Preset_Table_View(ListData, this);
  ColList->setEditTriggers(QAbstractItemView::NoEditTriggers);

  auto make_stepper = [this](const char* name) {
    auto* stepper = new QDoubleSpinBox(this);
    stepper->setObjectName(QString::fromLatin1(name));
    stepper->setDecimals(3);
    stepper->setRange(1, 2000);
    stepper->setSuffix(QStringLiteral(" mm"));
    stepper->setKeyboardTracking(false);
    return stepper;
  };
  width_Stepper = make_stepper("width_Stepper");
  height_Stepper = make_stepper("height_Stepper");

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Category"), Category_ComboBox);
  form->addRow(QStringLiteral("Orientation"), Preset_ComboBox);
  auto* sizes = new QFormLayout;
  sizes->addRow(QStringLiteral("Width"), width_Stepper);
  sizes->addRow(QStringLiteral("Height"), height_Stepper);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(form);
  layout->addWidget(ColList, 1);
  layout->addLayout(sizes);

  connect(Category_ComboBox, &QComboBox::currentIndexChanged, this,
          [this] { comboBoxSelectionDidChange(Category_ComboBox); });
  connect(Preset_ComboBox, &QComboBox::currentIndexChanged, this,
          [this] { comboBoxSelectionDidChange(Preset_ComboBox); });
  connect(ColList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &Card_Size_Chooser::tableViewSelectionDidChange);
}

void Card_Size_Chooser::comboBoxSelectionDidChange(QObject* sender) {
  if (sender != Category_ComboBox) return;
  ListData->Remove_All();
  const QStringList& names =
      Category_ComboBox->currentIndex() == 0 ? PVC_Card_Names() : Paper_Card_Names();
  for (const QString& name : names) Create_List(name);
  Mark_List_New_Selection(0);
}

void Card_Size_Chooser::Create_List(const QString& name) { ListData->Create_List(name); }

void Card_Size_Chooser::Mark_List_New_Selection(int row) {
  {
    const QSignalBlocker quiet(ColList->selectionModel());
    ColList->selectionModel()->clearSelection();
    if (row >= 0 && row < ListData->rowCount())
      ColList->selectionModel()->select(ListData->index(row, 0),
                                        QItemSelectionModel::ClearAndSelect |
                                            QItemSelectionModel::Rows);
  }
  ColList->viewport()->update();
  tableViewSelectionDidChange();
}

void Card_Size_Chooser::tableViewSelectionDidChange() {
  const QModelIndexList rows = ColList->selectionModel()->selectedRows();
  const int row = rows.isEmpty() ? -1 : rows.first().row();
  const QString orientation = Preset_ComboBox->currentText() == QLatin1String("Horizontal")
                                  ? QStringLiteral("H")
                                  : QStringLiteral("V");
  const QSizeF size = Get_My_card_Size(Category_ComboBox->currentText(), orientation, row);
  width_Stepper->setValue(size.width());
  height_Stepper->setValue(size.height());
}

bool Card_Size_Chooser::tableView_setObjectValue(int row, const QString& column,
                                                 const QVariant& value) {
  if (row < 0 || row >= ListData->rowCount()) {
    Show_NSLog_Message(QStringLiteral("Invalid parameter not satisfying: %1")
                           .arg(QStringLiteral("pRowIndex >= 0 && pRowIndex < [ListData count]")));
    return false;
  }
  Q_UNUSED(column);  // the table has the one column "Extension"
  return ListData->setData(ListData->index(row, 0), value);
}

void Card_Size_Chooser::Reset() {
  for (QComboBox* list : {Preset_ComboBox, Category_ComboBox}) {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(0);
  }
  comboBoxSelectionDidChange(Category_ComboBox);
}

QSizeF Card_Size_Chooser::Size_mm() const {
  return {width_Stepper->value(), height_Stepper->value()};
}
