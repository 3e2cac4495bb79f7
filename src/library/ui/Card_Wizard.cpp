#include "library/ui/Card_Wizard.h"

#include "library/ui/Card_Size_Chooser.h"
#include "library/ui/Support_Windows.h"
#include "model/Card_Property.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

double Card_MM_To_Points(double millimetres) { return millimetres * 2.834645669291; }

Card_Wizard* Card_Wizard::defaultInstance() {
  static QPointer<Card_Wizard> instance;
  if (!instance) instance = new Card_Wizard(Design_Window_Parent());
  return instance;
}

Card_Wizard::Card_Wizard(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Card_Wizard"));
  setWindowTitle(QStringLiteral("Card Wizard"));
  setModal(true);
  Apply_Library_Dialog_Style(this);

  chooser = new Card_Size_Chooser(this);
  Sides_ComboBox = new QComboBox(this);
  Sides_ComboBox->setObjectName(QStringLiteral("Sides_ComboBox"));
  Sides_ComboBox->addItems({QStringLiteral("Front and back"), QStringLiteral("Front only")});
  // The wizard does not read the sides list: it is shown for the layout's sake only when
  // a caller uses it, so it stays hidden here.
  Sides_ComboBox->hide();

  auto* shapes = new QGroupBox(QStringLiteral("Card outline"), this);
  matrix_card_shape = new QButtonGroup(this);
  auto* shape_rows = new QVBoxLayout(shapes);
  for (int row = 0; row < 3; ++row) {
    auto* cell = new QRadioButton(Card_Outline_Names()[row], shapes);
    cell->setObjectName(QStringLiteral("card_shape_%1").arg(row));
    matrix_card_shape->addButton(cell, row);
    shape_rows->addWidget(cell);
  }

  User_Profile_btn = new QPushButton(QStringLiteral("User Profile..."), this);
  User_Profile_btn->setObjectName(QStringLiteral("User_Profile_btn"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* middle = new QHBoxLayout;
  middle->addWidget(chooser, 1);
  middle->addWidget(shapes, 0, Qt::AlignTop);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(User_Profile_btn);
  bottom->addStretch(1);
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(middle, 1);
  layout->addLayout(bottom);
  resize(560, 420);

  // Only the user's clicks write Card_Shape; the opening's reset does not.
  connect(matrix_card_shape, &QButtonGroup::idClicked, this, &Card_Wizard::card_shape_CellClick);
  connect(User_Profile_btn, &QPushButton::clicked, this, &Card_Wizard::User_Profile_Click);
  connect(buttons, &QDialogButtonBox::accepted, this, &Card_Wizard::OK_Click);
  connect(buttons, &QDialogButtonBox::rejected, this, &Card_Wizard::CancelClick);
}

int Card_Wizard::Open_Wnd() {
  const int code = Run_Modal_Logged(this, [this] {
    matrix_card_shape->button(0)->setChecked(true);
    Sides_ComboBox->setCurrentIndex(0);
    chooser->Reset();
    User_Profile_btn->setVisible(bool(hooks.open_general_profile));
  });
  return code == 1 ? 1 : 0;
}

void Card_Wizard::card_shape_CellClick(int row) {
  if (row >= 0 && row <= 2) Card_Shape = row;
}

void Card_Wizard::User_Profile_Click() {
  if (hooks.open_general_profile) hooks.open_general_profile();
}

void Card_Wizard::OK_Click() {
  const QSizeF mm = chooser->Size_mm();
  const QSizeF points(Card_MM_To_Points(mm.width()), Card_MM_To_Points(mm.height()));
  if (hooks.resize_canvas) hooks.resize_canvas(points);
  platform::Stop_Modal(this, 1);
}

void Card_Wizard::CancelClick() {
  Card_Shape = 0;
  platform::Stop_Modal(this, 0);
}
