// The alignment page's commands and the grid settings, on the current side's canvas.

#include "Window_Fixture.h"

#include "model/Shared_Design_State.h"
#include "window/ui/Color_Well.h"
#include "window/ui/Grid_Wizard.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSlider>

namespace {

using test_support::Window_Fixture;
using Side = CRDDocument::Side;

class Arrange_Grid : public Window_Fixture {
 protected:
  // Two shapes on each side; the given side current, both of its shapes selected.
  void Two_On_Each_Side(Side current) {
    for (Side side : {Side::Front, Side::Back}) {
      add_shape(side, "R", QRectF(10, 10, 40, 20));
      add_shape(side, "R", QRectF(60, 33, 15, 50));
    }
    if (current == Side::Back) window->Back_Side_btn->click();
    window->current_canvas()->changeSelectionIndexes({0, 1});
  }
  QRectF Bounds(Side side, int index) const { return document.list(side)[size_t(index)]->bounds(); }

  // Runs the grid settings with a handler acting on the dialog's controls.
  void In_Grid_Settings(const std::function<void()>& act) {
    platform.on_run_modal = [act](QObject* window) {
      EXPECT_EQ(window, Grid_Wizard::defaultInstance());
      act();
      return 1;
    };
    window->Grid_btn->click();
    platform.on_run_modal = nullptr;
  }
};

TEST_F(Arrange_Grid, SameSizeNeedsTwoObjectsOnTheCurrentSideOnly) {
  for (Side current : {Side::Front, Side::Back}) {
    SCOPED_TRACE(current == Side::Front ? "front" : "back");
    window->New_Project();
    platform.messages.clear();
    Two_On_Each_Side(current);
    const Side other = current == Side::Front ? Side::Back : Side::Front;
    EXPECT_TRUE(window->Make_same_width_btn->isEnabled());

    window->current_canvas()->changeSelectionIndexes({1});
    EXPECT_FALSE(window->Make_same_width_btn->isEnabled());
    window->Make_Same_Width_Clicked();
    window->Make_Same_Height_Clicked();
    EXPECT_EQ(platform.messages, QStringList(2, "\nPlease select more than one control."));
    EXPECT_EQ(Bounds(current, 1).size(), QSizeF(15, 50));

    window->current_canvas()->changeSelectionIndexes({0, 1});
    window->Make_same_width_btn->click();
    EXPECT_EQ(Bounds(current, 1).width(), 40);
    window->Make_same_height_btn->click();
    EXPECT_EQ(Bounds(current, 1).size(), QSizeF(40, 20));
    window->Align_Left_btn->click();
    EXPECT_EQ(Bounds(current, 1).left(), 10);
    window->Align_Bottom_btn->click();
    EXPECT_EQ(Bounds(current, 1).bottom(), 30);
    // The other side's objects stay where they were.
    EXPECT_EQ(Bounds(other, 1), QRectF(60, 33, 15, 50));
    window->Select_front_side();
  }
}

TEST_F(Arrange_Grid, AlignToGridNeedsTheGridShown) {
  Two_On_Each_Side(Side::Back);
  // The button is enabled exactly while the grid shows; the command refuses by itself.
  EXPECT_FALSE(window->Align_To_Grid_btn->isEnabled());
  window->Align_To_Grid_Clicked();
  EXPECT_EQ(platform.messages, QStringList{"\nPlease use grid option first."});
  EXPECT_EQ(Bounds(Side::Back, 1).topLeft(), QPointF(60, 33));

  In_Grid_Settings([this] {
    EXPECT_FALSE(window->Grid_Space_slidr->isEnabled());
    EXPECT_FALSE(window->Grid_clr->isEnabled());
    window->Show_hide_grid_chk->click();
    EXPECT_TRUE(window->Grid_Space_slidr->isEnabled());
  });
  EXPECT_TRUE(window->_grid->isAlwaysShown());
  EXPECT_TRUE(window->Align_To_Grid_btn->isEnabled());
  window->Align_To_Grid_btn->click();
  EXPECT_EQ(platform.messages.size(), 1);
  EXPECT_EQ(Bounds(Side::Back, 1).topLeft(), QPointF(63, 36));  // the 9-point grid
  EXPECT_EQ(Bounds(Side::Front, 1).topLeft(), QPointF(60, 33));

  In_Grid_Settings([this] { window->Show_hide_grid_chk->click(); });
  EXPECT_FALSE(window->_grid->isAlwaysShown());
  EXPECT_FALSE(window->Align_To_Grid_btn->isEnabled());
  window->Align_To_Grid_Clicked();
  EXPECT_EQ(platform.messages.size(), 2);

  // A new design hides the grid again, and the button follows.
  In_Grid_Settings([this] { window->Show_hide_grid_chk->click(); });
  ASSERT_TRUE(window->Align_To_Grid_btn->isEnabled());
  window->new_design();
  EXPECT_FALSE(window->Align_To_Grid_btn->isEnabled());
}

TEST_F(Arrange_Grid, SpacingAndColourShowTheGridAndLeaveSnapping) {
  ASSERT_FALSE(window->_grid->isAlwaysShown());
  In_Grid_Settings([this] {
    // The controls are loaded from the grid and sit in the dialog.
    EXPECT_TRUE(Grid_Wizard::defaultInstance()->isAncestorOf(window->Grid_Space_slidr));
    EXPECT_EQ(window->Grid_Space_slidr->value(), 9);
    EXPECT_FALSE(window->Show_hide_grid_chk->isChecked());
    window->Grid_Space_slidr->setValue(20);
  });
  EXPECT_EQ(window->_grid->spacing(), 20.0);
  EXPECT_TRUE(window->_grid->isAlwaysShown());
  EXPECT_FALSE(window->_grid->isConstraining());
  EXPECT_TRUE(window->isAncestorOf(window->Grid_Space_slidr));  // given back

  In_Grid_Settings([this] {
    EXPECT_TRUE(window->Show_hide_grid_chk->isChecked());
    window->Show_hide_grid_chk->click();  // hidden
    platform.color_answers = {QColor(Qt::red)};
    window->Grid_clr->setEnabled(true);  // a colour chosen while hidden shows the grid
    window->Grid_clr->click();
    EXPECT_TRUE(window->Show_hide_grid_chk->isChecked());
  });
  EXPECT_TRUE(window->_grid->isAlwaysShown());
  EXPECT_EQ(window->_grid->color().toQColor(), QColor(Qt::red));
  EXPECT_EQ(window->_grid->spacing(), 20.0);
}

TEST_F(Arrange_Grid, SnappingToggles) {
  EXPECT_FALSE(window->_grid->isConstraining());
  window->Snap_btn->click();
  EXPECT_TRUE(window->_grid->isConstraining());
  EXPECT_TRUE(window->Snap_btn->isChecked());
  window->Snap_btn->click();
  EXPECT_FALSE(window->_grid->isConstraining());
  EXPECT_FALSE(window->Snap_btn->isChecked());
}

}  // namespace
