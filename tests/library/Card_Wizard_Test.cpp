// The card wizard and its card-size chooser, driven through the scripted desktop.

#include "library/ui/Card_Size_Chooser.h"
#include "library/ui/Card_Wizard.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

#include <cmath>

namespace {

using test_support::Design_Test;

class Card_Wizard_Test : public Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    wizard = Card_Wizard::defaultInstance();
    wizard->hooks = {};
    wizard->hooks.resize_canvas = [this](QSizeF points) { resized.push_back(points); };
    chooser = wizard->chooser;
  }
  // Runs the wizard; the handler acts while it is open.
  int run(const std::function<void()>& while_open) {
    platform.on_run_modal = [&](QObject*) {
      while_open();
      return 0;
    };
    return wizard->Open_Wnd();
  }
  QSizeF shown() const { return chooser->Size_mm(); }
  int selected_row() const {
    const QModelIndexList rows = chooser->ColList->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
  }

  platform::Scoped_Scripted_Platform platform;
  Card_Wizard* wizard = nullptr;
  Card_Size_Chooser* chooser = nullptr;
  std::vector<QSizeF> resized;
};

void Expect_Size(QSizeF size, double width, double height) {
  EXPECT_NEAR(size.width(), width, 0.0005) << size;
  EXPECT_NEAR(size.height(), height, 0.0005) << size;
}

TEST_F(Card_Wizard_Test, OpeningShowsTheFirstPvcPresetWhateverWasChosenBefore) {
  // Leave the wizard on paper, portrait, another row; the next opening resets all of it.
  run([&] {
    chooser->Category_ComboBox->setCurrentIndex(1);
    chooser->Preset_ComboBox->setCurrentIndex(1);
    chooser->Mark_List_New_Selection(4);
  });
  run([&] {
    EXPECT_EQ(chooser->Category_ComboBox->currentText(), "PVC Card");
    EXPECT_EQ(chooser->Preset_ComboBox->currentText(), "Horizontal");
    EXPECT_EQ(chooser->ListData->rowCount(), 7);
    EXPECT_EQ(chooser->ListData->Get_Item_Text(0), "CR80-Credit Card Size");
    EXPECT_EQ(selected_row(), 0);
    Expect_Size(shown(), 85.598, 54.102);
    EXPECT_TRUE(wizard->matrix_card_shape->button(0)->isChecked());
  });
}

TEST_F(Card_Wizard_Test, PresetSizesFollowCategoryOrientationAndRow) {
  struct Case {
    int category, orientation, row;
    double width, height;
  };
  const Case cases[] = {
      {0, 1, 0, 54.102, 85.598},   // vertical exchanges width and height
      {1, 0, 0, 59.944, 40.132},   // first paper badge
      {1, 0, 1, 74.93, 40.132},    // second and third paper badges are one size
      {1, 0, 2, 74.93, 40.132},
      {0, 0, -1, 30, 30},          // no row chosen
  };
  run([&] {
    for (const Case& c : cases) {
      chooser->Category_ComboBox->setCurrentIndex(c.category);
      chooser->Preset_ComboBox->setCurrentIndex(c.orientation);
      chooser->Mark_List_New_Selection(c.row);
      SCOPED_TRACE(c.row);
      Expect_Size(shown(), c.width, c.height);
    }
  });
}

TEST_F(Card_Wizard_Test, ACategoryChangeListsItsPresetsAndSelectsRowZero) {
  run([&] {
    chooser->Mark_List_New_Selection(5);
    chooser->Category_ComboBox->setCurrentIndex(1);
    EXPECT_EQ(chooser->ListData->rowCount(), 8);
    EXPECT_EQ(chooser->ListData->Get_Item_Text(7), "Durable 1459 - Name Badge");
    EXPECT_EQ(selected_row(), 0);
    chooser->Mark_List_New_Selection(3);
    chooser->Category_ComboBox->setCurrentIndex(0);
    EXPECT_EQ(chooser->ListData->rowCount(), 7);
    EXPECT_EQ(selected_row(), 0);
    // The orientation list alone changes nothing shown.
    chooser->Preset_ComboBox->setCurrentIndex(1);
    Expect_Size(shown(), 85.598, 54.102);
  });
}

TEST_F(Card_Wizard_Test, OkResizesTheCanvasInPoints) {
  const int code = run([&] {
    chooser->width_Stepper->setValue(100);
    chooser->height_Stepper->setValue(50);
    wizard->OK_Click();
  });
  EXPECT_EQ(code, 1);
  ASSERT_EQ(resized.size(), 1u);
  EXPECT_NEAR(resized[0].width(), 283.465, 0.001);
  EXPECT_NEAR(resized[0].height(), 141.732, 0.001);
}

TEST_F(Card_Wizard_Test, ShapeClicksWriteCardShapeAndCancelPutsItBack) {
  Card_Shape = 1;
  int code = run([&] {
    EXPECT_EQ(Card_Shape, 1);  // the opening's reset does not write it
    wizard->matrix_card_shape->button(2)->click();
    EXPECT_EQ(Card_Shape, 2);
    wizard->CancelClick();
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Card_Shape, 0);
  EXPECT_TRUE(resized.empty());

  code = run([&] {
    wizard->matrix_card_shape->button(1)->click();
    wizard->OK_Click();
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Card_Shape, 1);
}

TEST_F(Card_Wizard_Test, CellEditsOutsideTheTableAreLoggedAndStoreNothing) {
  run([&] {
    test_support::Log_Capture log;
    EXPECT_FALSE(chooser->tableView_setObjectValue(7, "Extension", QStringLiteral("X")));
    EXPECT_FALSE(chooser->tableView_setObjectValue(-1, "Extension", QStringLiteral("X")));
    EXPECT_TRUE(log.contains(QStringLiteral(
        "Invalid parameter not satisfying: pRowIndex >= 0 && pRowIndex < [ListData count]")));
    EXPECT_TRUE(chooser->tableView_setObjectValue(6, "Extension", QStringLiteral("Mine")));
    EXPECT_EQ(chooser->ListData->Get_Item_Text(6), "Mine");
    EXPECT_EQ(chooser->ListData->rowCount(), 7);
  });
}

TEST_F(Card_Wizard_Test, TheProfileButtonShowsOnlyWithSomethingToOpen) {
  int opened = 0;
  run([&] { EXPECT_TRUE(wizard->User_Profile_btn->isHidden()); });
  wizard->hooks.open_general_profile = [&] { ++opened; };
  run([&] {
    EXPECT_FALSE(wizard->User_Profile_btn->isHidden());
    wizard->User_Profile_btn->click();
  });
  EXPECT_EQ(opened, 1);
}

}  // namespace
