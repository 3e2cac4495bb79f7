#pragma once
// The general profile dialog: the eleven profile fields entered once for both card sides.
// It opens empty; OK writes the same values and bindings into the front and the back
// record, and nothing is put onto the card. A side combo stands beside every field.

#include "profile/ui/Profile_Dialog.h"

class User_profile : public Profile_Dialog {
  Q_OBJECT

 public:
  static User_profile* defaultInstance();

  // Mode false (what its callers use): empty, side combos shown. Mode true: loads the
  // current side like the designer dialog, side combos hidden on that side.
  int Open_Wnd(bool mode) override;
  void Reset_all_Ctrl() override;
  // The side as it is now, in both pictures.
  void Create_and_Set_template_picture() override;

  QLabel* Template_picture = nullptr;
  QLabel* select_side_label() const { return select_side_label_; }

 private:
  User_profile();
  void Show_Side_Combos(bool show);
};
