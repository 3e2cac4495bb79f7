#include "profile/ui/Show_User_Profile.h"

#include "model/Shared_Design_State.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

Show_User_Profile* Show_User_Profile_Window = nullptr;

Show_User_Profile* Show_User_Profile::defaultInstance() {
  if (!Show_User_Profile_Window) Show_User_Profile_Window = new Show_User_Profile;
  return Show_User_Profile_Window;
}

Show_User_Profile::Show_User_Profile() : Profile_Dialog(true, false) {
  setObjectName(QStringLiteral("Show_User_Profile"));
  setWindowTitle(QStringLiteral("User Profile Information"));
}

int Show_User_Profile::Open_Wnd(bool mode) {
  if (mode) {
    Reset_all_Ctrl();
    excel_path_field->setText(Excel_Source_Path);
    Take_Current_Side();
    Create_and_Set_template_picture();
    Load_Side_Fields();
  } else {
    setWindowTitle(QStringLiteral("User Profile Information"));
    Reset_all_Ctrl();
    excel_path_field->setText(Excel_Source_Path);
  }
  return Run();
}

void Show_User_Profile::Reset_all_Ctrl() {
  Show_Picture(Preivew_picture, QImage());
  Set_User_Image(QString());
  for (Field_Controls& f : field_) {
    if (f.label_chk) f.label_chk->setChecked(false);
    if (f.value_chk) f.value_chk->setChecked(false);
  }
  Reset_Fields();
}

void Show_User_Profile::Create_and_Set_template_picture() { Create_and_Set_Preview_picture(); }
