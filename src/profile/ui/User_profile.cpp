#include "profile/ui/User_profile.h"

#include "model/Shared_Design_State.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

User_profile* User_profile::defaultInstance() {
  static User_profile* instance = new User_profile;
  return instance;
}

User_profile::User_profile() : Profile_Dialog(false, true) {
  setObjectName(QStringLiteral("User_profile"));
  setWindowTitle(QStringLiteral("User Profile Information"));
  Template_picture = new QLabel(this);
  Template_picture->setObjectName(QStringLiteral("Template_picture"));
  Preivew_picture->setFixedSize(300, 190);  // two pictures share the column here
  Template_picture->setFixedSize(Preivew_picture->size());
  Template_picture->setAlignment(Qt::AlignCenter);
  Template_picture->setFrameShape(QFrame::StyledPanel);
  const int at = pictures_layout_->indexOf(Preivew_picture) - 1;  // before "Preview"
  pictures_layout_->insertWidget(at, Template_picture);
  pictures_layout_->insertWidget(at, new QLabel(QStringLiteral("Card"), this));
}

void User_profile::Show_Side_Combos(bool show) {
  select_side_label_->setVisible(show);
  for (Field_Controls& f : field_) f.side_combo->setVisible(show);
}

int User_profile::Open_Wnd(bool mode) {
  if (mode) {
    Reset_all_Ctrl();
    excel_path_field->setText(Excel_Source_Path);
    Show_Side_Combos(false);
    Take_Current_Side();
    Create_and_Set_template_picture();
    const int side = Card_Front_Or_Back == 0 ? 0 : 1;
    for (Field_Controls& f : field_) f.side_combo->setCurrentIndex(side);
    Load_Side_Fields();
  } else {
    setWindowTitle(QStringLiteral("User Profile Information"));
    Show_Side_Combos(true);
    Reset_all_Ctrl();
    excel_path_field->setText(Excel_Source_Path);
  }
  return Run();
}

void User_profile::Reset_all_Ctrl() {
  Show_Picture(Template_picture, QImage());
  Show_Picture(Preivew_picture, QImage());
  Reset_Fields();
  for (Field_Controls& f : field_) f.side_combo->setCurrentIndex(2);
}

void User_profile::Create_and_Set_template_picture() {
  const QImage picture = Render_Graphics_array();
  Show_Picture(Template_picture, picture);
  Show_Picture(Preivew_picture, picture);
}
