#include "model/ui/Set_Obj_Enabled.h"
#include "support/Test_Support.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

TEST(SetObjEnabled, BoxesAreRecursedIntoNotDisabledWhole) {
  QGroupBox outer;
  auto* layout = new QVBoxLayout(&outer);
  auto* button = new QPushButton("Go");
  auto* label = new QLabel("Name");
  auto* inner = new QGroupBox;
  auto* inner_layout = new QVBoxLayout(inner);
  auto* field = new QLineEdit;
  inner_layout->addWidget(field);
  layout->addWidget(button);
  layout->addWidget(label);
  layout->addWidget(inner);

  SetObjEnabled(&outer, false);
  EXPECT_TRUE(outer.isEnabled());
  EXPECT_TRUE(inner->isEnabled());
  EXPECT_FALSE(button->isEnabled());
  EXPECT_FALSE(label->isEnabled());  // drawn in the disabled text colour
  EXPECT_FALSE(field->isEnabled());
  SetObjEnabled(&outer, true);
  EXPECT_TRUE(field->isEnabled());
  EXPECT_TRUE(button->isEnabled());
}

}  // namespace
