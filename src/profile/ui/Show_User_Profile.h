#pragma once
// The designer profile dialog: the profile of the card side being edited ("F" or "B"),
// loaded from the side's visible profile objects at every opening, with a caption and a
// value check box per text field.

#include "profile/ui/Profile_Dialog.h"

class Show_User_Profile : public Profile_Dialog {
  Q_OBJECT

 public:
  static Show_User_Profile* defaultInstance();

  // Mode true: reset, then load the current side; false: reset only, titled for both
  // sides, keeping the last side list.
  int Open_Wnd(bool mode) override;
  void Reset_all_Ctrl() override;
  // The side as it is now, in the preview picture.
  void Create_and_Set_template_picture() override;

 private:
  Show_User_Profile();
};

// The designer dialog once it exists (nullptr before).
extern Show_User_Profile* Show_User_Profile_Window;
