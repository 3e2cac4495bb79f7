#include "window/ui/Grid_Wizard.h"

#include "platform/Platform.h"
#include "window/ui/Dialog_Style.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
Grid_Wizard* grid_DefaultInstance = nullptr;
}

Grid_Wizard* Grid_Wizard::defaultInstance() {
  if (!grid_DefaultInstance) grid_DefaultInstance = new Grid_Wizard;
  return grid_DefaultInstance;
}

Grid_Wizard::Grid_Wizard() {
  setObjectName(QStringLiteral("Grid_Wizard"));
  setWindowTitle(QStringLiteral("Grid Settings"));
  Apply_Dialog_Style(this);

  Grid_Controls = new QWidget(this);
  Grid_Controls->setObjectName(QStringLiteral("Grid_Controls"));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OK_Btn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cancel_Btn"));
  connect(ok, &QPushButton::clicked, this, &Grid_Wizard::OK_Btn_Clicked);
  connect(cancel, &QPushButton::clicked, this, &Grid_Wizard::Cancel_Btn_Clicked);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Grid_Controls, 1);
  layout->addLayout(buttons);
}

void Grid_Wizard::Open_Wnd() {
  platform::Run_Modal(this);
  hide();
}

void Grid_Wizard::OK_Btn_Clicked() { platform::Stop_Modal(this, 1); }

void Grid_Wizard::Cancel_Btn_Clicked() { platform::Stop_Modal(this, 0); }

void Grid_Wizard::reject() { Cancel_Btn_Clicked(); }
