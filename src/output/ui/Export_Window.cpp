#include "output/ui/Export_Window.h"

#include "model/Shared_Design_State.h"
#include "platform/Platform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>


Export_Window::Export_Window(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ExportWindow"));
  setWindowTitle(QStringLiteral("Export Card"));
  setStyleSheet(QStringLiteral("QDialog { background: rgb(241, 244, 250); }"));
  auto* layout = new QVBoxLayout(this);

  auto* sides = new QGroupBox(QStringLiteral("Card side"), this);
  auto* sides_layout = new QVBoxLayout(sides);
  matrix_export_card_side = new QButtonGroup(this);
  matrix_export_card_side->setObjectName(QStringLiteral("matrix_export_card_side"));
  const char* side_titles[] = {"Both sides", "Front side", "Back side"};
  for (int row = 0; row < 3; ++row) {
    auto* button = new QRadioButton(QString::fromLatin1(side_titles[row]), sides);
    matrix_export_card_side->addButton(button, row);
    sides_layout->addWidget(button);
  }
  export_combined_image_chk =
      new QCheckBox(QStringLiteral("Both sides in one picture (front above back)"), sides);
  export_combined_image_chk->setObjectName(QStringLiteral("export_combined_image_chk"));
  sides_layout->addWidget(export_combined_image_chk);
  layout->addWidget(sides);

  auto* types = new QGroupBox(QStringLiteral("File type"), this);
  auto* types_layout = new QFormLayout(types);
  auto* type_row = new QHBoxLayout;
  matrix_file_type = new QButtonGroup(this);
  matrix_file_type->setObjectName(QStringLiteral("matrix_file_type"));
  // Only the types this program writes are offered.
  const QStringList file_types = Card_File_Titles();
  for (int row = 0; row < file_types.size(); ++row) {
    auto* button = new QRadioButton(file_types[row], types);
    matrix_file_type->addButton(button, row);
    type_row->addWidget(button);
  }
  types_layout->addRow(type_row);
  fileFormatPopup = new QComboBox(types);
  fileFormatPopup->setObjectName(QStringLiteral("fileFormatPopup"));
  fileFormatPopup->addItems(file_types);
  types_layout->addRow(QStringLiteral("Extension:"), fileFormatPopup);
  saveDPIText = new QComboBox(types);
  saveDPIText->setObjectName(QStringLiteral("saveDPIText"));
  // Item 0, which every opening selects, is the resolution of the other types.
  saveDPIText->addItems({QString::number(Fixed_Resolution), QStringLiteral("72"),
                         QStringLiteral("150"), QStringLiteral("600")});
  saveDPIText->setToolTip(QStringLiteral(
      "Pixels per inch of TIFF pictures; PNG, JPEG and BMP pictures are made at %1 dpi.")
                              .arg(Fixed_Resolution));
  types_layout->addRow(QStringLiteral("Resolution:"), saveDPIText);
  layout->addWidget(types);

  auto* data = new QGroupBox(QStringLiteral("Batch output"), this);
  auto* data_layout = new QVBoxLayout(data);
  Export_with_batch_chk = new QCheckBox(QStringLiteral("Use Batch Processing Series values"), data);
  Export_with_batch_chk->setObjectName(QStringLiteral("Export_with_batch_chk"));
  Export_with_excel_chk = new QCheckBox(QStringLiteral("Use spreadsheet values"), data);
  Export_with_excel_chk->setObjectName(QStringLiteral("Export_with_excel_chk"));
  data_layout->addWidget(Export_with_batch_chk);
  data_layout->addWidget(Export_with_excel_chk);
  layout->addWidget(data);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &Export_Window::exportOkay);
  connect(buttons, &QDialogButtonBox::rejected, this, &Export_Window::exportCancel);
  connect(matrix_export_card_side, &QButtonGroup::idClicked, this,
          &Export_Window::export_card_side_CellClick);
  connect(matrix_file_type, &QButtonGroup::idClicked, this,
          &Export_Window::export_file_type_CellClick);
  connect(fileFormatPopup, &QComboBox::currentIndexChanged, this,
          &Export_Window::exportFileTypeChanged);
  Reset(false, false);
}

void Export_Window::Reset(bool use_series, bool use_sheet) {
  saveDPIText->setCurrentIndex(0);
  matrix_file_type->button(0)->setChecked(true);
  fileFormatPopup->setCurrentIndex(0);
  saveDPIText->setEnabled(Type() == Card_File_Type::TIFF);  // row 0 is TIFF where it is written
  export_combined_image_chk->setChecked(false);
  matrix_export_card_side->button(1)->setChecked(true);
  export_card_side = QStringLiteral("F");
  export_combined_image_chk->setEnabled(false);
  Export_with_batch_chk->setEnabled(use_series);
  Export_with_batch_chk->setChecked(use_series);
  Export_with_excel_chk->setEnabled(use_sheet);
  Export_with_excel_chk->setChecked(use_sheet);
}

Card_File_Type Export_Window::Type() const {
  return Card_File_Type_Named(fileFormatPopup->currentText()).value_or(Card_File_Type::PNG);
}

QString Export_Window::Extension() const { return Card_File_Extension(Type()); }

int Export_Window::Resolution(Card_File_Type type) const {
  if (type != Card_File_Type::TIFF) return Fixed_Resolution;
  const int dpi = saveDPIText->currentText().toInt();
  return dpi > 0 ? dpi : Fixed_Resolution;
}

void Export_Window::export_card_side_CellClick() {
  const int row = matrix_export_card_side->checkedId();
  export_card_side = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F")
                                                                   : QStringLiteral("B");
  export_combined_image_chk->setEnabled(row == 0);
}

void Export_Window::export_file_type_CellClick() {
  // Row k is item k; the resolution list follows the TIFF row (row 0 while TIFF is offered).
  fileFormatPopup->setCurrentIndex(matrix_file_type->checkedId());
  saveDPIText->setEnabled(Type() == Card_File_Type::TIFF);
}

void Export_Window::exportFileTypeChanged() {
  saveDPIText->setEnabled(fileFormatPopup->currentText() == QLatin1String("TIFF"));
  if (QAbstractButton* row = matrix_file_type->button(fileFormatPopup->currentIndex()))
    row->setChecked(true);
}

void Export_Window::exportOkay() {
  hide();
  platform::Stop_Modal(this, 1);
}

void Export_Window::exportCancel() {
  hide();
  platform::Stop_Modal(this, 0);
}
