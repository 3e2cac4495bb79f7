// The design window's arrange and grid commands: the alignment page's buttons act on the
// current side's canvas; the grid settings dialog shows, recolours, respaces the window's
// grid; the snapping command turns snapping on and off.

#include "model/Common_Functions.h"
#include "model/ui/Set_Obj_Enabled.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Color_Well.h"
#include "window/ui/Grid_Wizard.h"

#include <QBoxLayout>
#include <cmath>

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

void CRDWindowController::build_arrange_commands() {
  // The alignment page: its buttons above the print flag the card side put there.
  auto* page = qobject_cast<QBoxLayout*>(aligmnt_tab->layout());
  if (!page) page = new QVBoxLayout(aligmnt_tab);
  auto button = [this](QPushButton*& b, QWidget* parent, const char* name, const char* text,
                       void (CRDWindowController::*action)()) {
    b = new QPushButton(QString::fromLatin1(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, this, action);
    return b;
  };
  auto* align = new QGroupBox(QStringLiteral("Align"), aligmnt_tab);
  auto* align_grid = new QGridLayout(align);
  const struct {
    QPushButton*& button;
    const char* name;
    const char* text;
    void (CRDWindowController::*action)();
  } aligners[] = {
      {Align_Left_btn, "Align_Left_btn", "Left", &CRDWindowController::Align_Left_Clicked},
      {Align_Right_btn, "Align_Right_btn", "Right", &CRDWindowController::Align_Right_Clicked},
      {Align_Top_btn, "Align_Top_btn", "Top", &CRDWindowController::Align_Top_Clicked},
      {Align_Bottom_btn, "Align_Bottom_btn", "Bottom", &CRDWindowController::Align_Bottom_Clicked},
      {Align_Horz_btn, "Align_Horz_btn", "Centres across", &CRDWindowController::Align_Horz_Clicked},
      {Align_Vert_btn, "Align_Vert_btn", "Centres down", &CRDWindowController::Align_Vert_Clicked},
      {Align_Center_btn, "Align_Center_btn", "Centre on card",
       &CRDWindowController::Align_Center_Clicked},
      {Align_To_Grid_btn, "Align_To_Grid_btn", "To grid", &CRDWindowController::Align_To_Grid_Clicked},
  };
  int i = 0;
  for (const auto& a : aligners) {
    align_grid->addWidget(button(a.button, align, a.name, a.text, a.action), i / 2, i % 2);
    ++i;
  }
  auto* size = new QGroupBox(QStringLiteral("Size"), aligmnt_tab);
  auto* size_row = new QVBoxLayout(size);
  size_row->addWidget(button(Make_same_width_btn, size, "Make_same_width_btn", "Same width",
                             &CRDWindowController::Make_Same_Width_Clicked));
  size_row->addWidget(button(Make_same_height_btn, size, "Make_same_height_btn", "Same height",
                             &CRDWindowController::Make_Same_Height_Clicked));
  size_row->addWidget(button(Make_natural_size_btn, size, "Make_natural_size_btn",
                             "Natural size", &CRDWindowController::Make_Natural_Clicked));
  page->insertWidget(0, align);
  page->insertWidget(1, size);
  page->addStretch(1);
  Set_Same_Size_Buttons_Enabled(false);
  // Aligning to the grid needs the grid on screen; the grid reports when it shows.
  Align_To_Grid_btn->setToolTip(
      QStringLiteral("Snaps the selection to the grid (shown with Grid... under the tools)"));
  Set_Align_With_Grid_Enabled(_grid->isAlwaysShown());

  // The grid settings' controls; the dialog borrows them while it runs.
  grid_controls_ = new QWidget(this);
  grid_controls_->setObjectName(QStringLiteral("grid_controls"));
  grid_controls_->hide();
  Show_hide_grid_chk = new QCheckBox(QStringLiteral("Show grid"), grid_controls_);
  Show_hide_grid_chk->setObjectName(QStringLiteral("Show_hide_grid_chk"));
  Grid_Opt_box = new QGroupBox(grid_controls_);
  Grid_Opt_box->setObjectName(QStringLiteral("Grid_Opt_box"));
  Grid_clr = new Color_Well(Grid_Opt_box, QStringLiteral("Grid_clr"));
  Grid_Space_slidr = new QSlider(Qt::Horizontal, Grid_Opt_box);
  Grid_Space_slidr->setObjectName(QStringLiteral("Grid_Space_slidr"));
  // Whole points from 1: a spacing of 0 would leave no usable grid.
  Grid_Space_slidr->setRange(1, 72);
  auto* spacing_value = new QLabel(Grid_Opt_box);
  spacing_value->setMinimumWidth(48);
  auto* spacing = new QHBoxLayout;
  spacing->addWidget(Grid_Space_slidr, 1);
  spacing->addWidget(spacing_value);
  auto* options = new QFormLayout(Grid_Opt_box);
  options->addRow(QStringLiteral("Colour"), Grid_clr);
  options->addRow(QStringLiteral("Spacing"), spacing);
  auto* controls = new QVBoxLayout(grid_controls_);
  controls->setContentsMargins(0, 0, 0, 0);
  controls->addWidget(Show_hide_grid_chk);
  controls->addWidget(Grid_Opt_box);
  connect(Show_hide_grid_chk, &QCheckBox::clicked, this,
          &CRDWindowController::Grid_Show_Hide_Changed);
  connect(Grid_clr, &Color_Well::colorChanged, this, &CRDWindowController::Grid_Clr_Changed);
  grid_spacing_label_ = spacing_value;
  connect(Grid_Space_slidr, &QSlider::valueChanged, this,
          &CRDWindowController::Grid_Slider_Changed);

  // Grid settings and snapping under the tools.
  auto* palette = findChild<QWidget*>(QStringLiteral("Tool_Palette"));
  auto* tools = qobject_cast<QGridLayout*>(palette->layout());
  int row = 0;
  while (row < tools->rowCount() && tools->itemAtPosition(row, 0)) ++row;
  Grid_btn = new QToolButton(palette);
  Grid_btn->setObjectName(QStringLiteral("Grid_btn"));
  Grid_btn->setText(QStringLiteral("Grid..."));
  Grid_btn->setToolTip(QStringLiteral("Grid settings"));
  connect(Grid_btn, &QToolButton::clicked, this, &CRDWindowController::toggleGridShowing);
  Snap_btn = new QToolButton(palette);
  Snap_btn->setObjectName(QStringLiteral("Snap_btn"));
  Snap_btn->setText(QStringLiteral("Snap"));
  Snap_btn->setToolTip(QStringLiteral("Snap to the grid"));
  Snap_btn->setCheckable(true);
  connect(Snap_btn, &QToolButton::clicked, this, &CRDWindowController::toggleGridConstraining);
  for (QToolButton* b : {Grid_btn, Snap_btn}) b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  tools->addWidget(Grid_btn, row, 0);
  tools->addWidget(Snap_btn, row, 1);
}

void CRDWindowController::Set_Same_Size_Buttons_Enabled(bool enabled) {
  for (QPushButton* b : {Make_same_width_btn, Make_same_height_btn, Make_natural_size_btn})
    if (b) b->setEnabled(enabled);
}

// ---- Arranging -----------------------------------------------------------------------------

void CRDWindowController::Arrange_On_Current_Canvas(void (CRDGraphicView::*command)()) {
  Run_On_Current_Canvas(command);
  Refresh_Canvas();
}

void CRDWindowController::Align_Center_Clicked() {
  Arrange_On_Current_Canvas(&CRDGraphicView::alignformCenter);
}
void CRDWindowController::Align_Left_Clicked() {
  Arrange_On_Current_Canvas(&CRDGraphicView::alignLeftEdges);
}
void CRDWindowController::Align_Right_Clicked() {
  Arrange_On_Current_Canvas(&CRDGraphicView::alignRightEdges);
}
void CRDWindowController::Align_Top_Clicked() {
  Arrange_On_Current_Canvas(&CRDGraphicView::alignTopEdges);
}
void CRDWindowController::Align_Bottom_Clicked() {
  Arrange_On_Current_Canvas(&CRDGraphicView::alignBottomEdges);
}
void CRDWindowController::Align_Horz_Clicked() {
  Arrange_On_Current_Canvas(&CRDGraphicView::alignHorizontalCenters);
}
void CRDWindowController::Align_Vert_Clicked() {
  Arrange_On_Current_Canvas(&CRDGraphicView::alignVerticalCenters);
}
void CRDWindowController::Make_Natural_Clicked() {
  Arrange_On_Current_Canvas(&CRDGraphicView::makeNaturalSize);
}

void CRDWindowController::Make_Same_Size(void (CRDGraphicView::*command)()) {
  CRDGraphicView* canvas = current_canvas();
  if (!canvas || canvas->selectedGraphics().size() < 2) {
    Show_MessageBox(QStringLiteral("Please select more than one control."));
    return;
  }
  Arrange_On_Current_Canvas(command);
}

void CRDWindowController::Make_Same_Width_Clicked() { Make_Same_Size(&CRDGraphicView::makeSameWidth); }
void CRDWindowController::Make_Same_Height_Clicked() {
  Make_Same_Size(&CRDGraphicView::makeSameHeight);
}

void CRDWindowController::Align_To_Grid_Clicked() {
  // Snapping to a grid the user cannot see, or one without spacing, would surprise.
  if (!_grid->isAlwaysShown() || !_grid->isUsable()) {
    Show_MessageBox(QStringLiteral("Please use grid option first."));
    return;
  }
  Arrange_On_Current_Canvas(&CRDGraphicView::alignWithGrid);
}

// ---- Grid ----------------------------------------------------------------------------------

void CRDWindowController::toggleGridConstraining() {
  _grid->setConstraining(!_grid->isConstraining());
  Snap_btn->setChecked(_grid->isConstraining());
}

void CRDWindowController::toggleGridShowing() {
  Grid_clr->setColor(_grid->_color);
  {
    const QSignalBlocker quiet(Grid_Space_slidr);  // loading only
    Grid_Space_slidr->setValue(int(std::lround(float(_grid->_spacing))));
  }
  grid_spacing_label_->setText(QStringLiteral("%1 pt").arg(Grid_Space_slidr->value()));
  Show_hide_grid_chk->setChecked(_grid->isAlwaysShown());
  SetObjEnabled(Grid_Opt_box, _grid->isAlwaysShown());

  // The dialog shows the window's controls while it runs, then gives them back.
  Grid_Wizard* wizard = Grid_Wizard::defaultInstance();
  QWidget* holder = wizard->Grid_Controls;
  auto* layout = holder->layout() ? holder->layout() : new QVBoxLayout(holder);
  grid_controls_->setParent(holder);
  layout->addWidget(grid_controls_);
  grid_controls_->show();
  wizard->Open_Wnd();
  layout->removeWidget(grid_controls_);
  grid_controls_->hide();
  grid_controls_->setParent(this);
}

void CRDWindowController::Grid_Clr_Changed() {
  _grid->_color = Grid_clr->color();
  _grid->setAlwaysShown(true);
  Sync_Grid_Controls();
}

void CRDWindowController::Grid_Slider_Changed() {
  grid_spacing_label_->setText(QStringLiteral("%1 pt").arg(Grid_Space_slidr->value()));
  _grid->_spacing = double(float(Grid_Space_slidr->value()));
  _grid->setAlwaysShown(true);
  Sync_Grid_Controls();
}

void CRDWindowController::Grid_Show_Hide_Changed() {
  _grid->setAlwaysShown(Show_hide_grid_chk->isChecked());
  SetObjEnabled(Grid_Opt_box, Show_hide_grid_chk->isChecked());
}

void CRDWindowController::Sync_Grid_Controls() {
  // Colour and spacing show the grid: the check box and the options follow.
  Show_hide_grid_chk->setChecked(_grid->isAlwaysShown());
  SetObjEnabled(Grid_Opt_box, _grid->isAlwaysShown());
}
