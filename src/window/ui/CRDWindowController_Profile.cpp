// The user profile: the toolbar's Profile button, the opening of the profile dialogs, the
// fills that put a side's profile onto the card, and the preview the dialogs build on the
// temporary side.

#include "window/ui/CRDWindowController.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "profile/Profile_Fields.h"
#include "profile/ui/Profile_Fill.h"
#include "profile/ui/Show_User_Profile.h"
#include "profile/ui/User_profile.h"
#include "window/ui/Data_Source_Panel.h"

#include <QComboBox>
#include <QPointer>
#include <QToolBar>
#include <QToolButton>

void CRDWindowController::add_profile_button(QToolBar* toolbar) {
  User_Profile_btn = new QToolButton(toolbar);
  User_Profile_btn->setObjectName(QStringLiteral("User_Profile_btn"));
  User_Profile_btn->setText(QStringLiteral("Profile"));
  User_Profile_btn->setToolTip(QStringLiteral("Put your profile on this side of the card"));
  toolbar->addWidget(User_Profile_btn);
  connect(User_Profile_btn, &QToolButton::clicked, this,
          &CRDWindowController::User_Profile_Button_Clicked);
  Install_Profile_Services();
}

void CRDWindowController::User_Profile_Button_Clicked() {
  const bool back = Card_Front_Or_Back != 0;
  if (Open_User_Profile_Window(true, back ? QStringLiteral("B") : QStringLiteral("F")) == 1) {
    if (back)
      Fill_User_profile_info_back_side();
    else
      Fill_User_profile_info_front_side();
    Undo_Redo_Button_state();  // the objects the fill created can be undone
    // The sidebar and the edit buttons follow what the fill left selected (nothing, when
    // it filled nothing and the side had no selection).
    Show_Selection_Properties();
  }
  Refresh_Canvas();
}

int CRDWindowController::Open_User_Profile_Window(bool mode, const QString& side) {
  Install_Profile_Services();
  const QString trimmed = Trim_Str(side);
  Profile_Dialog* dialog = trimmed.isEmpty()
                               ? static_cast<Profile_Dialog*>(User_profile::defaultInstance())
                               : Show_User_Profile::defaultInstance();
  dialog->load_side = trimmed;
  const int answer = dialog->Open_Wnd(mode);
  if (answer == 1) Fill_User_Profile = true;
  return answer;
}

QRectF CRDWindowController::Get_Control_Rect_From_Template(const QString& control_id) const {
  return Profile_Default_Rect(control_id, Front_card_Prop.Card_Size);
}

void CRDWindowController::Fill_User_profile_info_front_side() {
  Fill_Profile_Side_Of(_graphicView, Front_user_profile, true);
}

void CRDWindowController::Fill_User_profile_info_back_side() {
  Fill_Profile_Side_Of(_graphicView_BACK, Back_user_profile, true);
}

void CRDWindowController::Fill_User_profile_info_TEMP_side() {
  Fill_Profile_Side_Of(_graphicView_TEMP, TEMP_user_profile, false);
}

void CRDWindowController::Fill_User_profile_Details() {
  Fill_User_profile_info_front_side();
  Fill_User_profile_info_back_side();
}

void CRDWindowController::Fill_Profile_Side_Of(CRDGraphicView* canvas, User_Profile_Class& record,
                                               bool design_side) {
  if (design_side) {
    // The data-source page offers "Excel" exactly while the design uses a spreadsheet.
    if (data_source_panel) {
      if (Excel_Binding_Use)
        Add_Excel_Col_Name_In_Combo(data_source_panel->Data_source_type);
      else
        Remove_Excel_Col_Name_In_Combo(data_source_panel->Data_source_type);
    }
    if (!Fill_User_Profile) return;
  }
  Fill_Profile_Side(*canvas, record, Front_card_Prop.Card_Size, Selected_Control_Tool);
}

Graphic_List CRDWindowController::Profile_Preview() {
  // The temporary side gets copies of the current side's objects, so the preview never
  // hides or rewrites the design's own.
  if (!document_) return {};
  _graphicView_TEMP->delete_all_control();
  const Graphic_List& side =
      Card_Front_Or_Back != 0 ? Get_Back_Controls_Array() : Get_Front_Controls_Array();
  Graphic_List copies;
  QList<int> indexes;
  for (const auto& graphic : side) {
    indexes << int(copies.size());
    copies.push_back(graphic->clone());
  }
  document_->insertGraphics(CRDDocument::Side::Temp, copies, indexes);
  const float x = last_ctrl_X, y = last_ctrl_Y;
  Fill_User_profile_info_TEMP_side();
  last_ctrl_X = x;
  last_ctrl_Y = y;
  _graphicView_TEMP->update();
  return Get_Temp_Controls_Array();
}

void CRDWindowController::Install_Profile_Services() {
  // The dialogs outlive any one window: services of a window that is gone do nothing.
  QPointer<CRDWindowController> self(this);
  Profile_Services& s = Profile_Window_Services();
  s.record = [self](int which) -> User_Profile_Class* {
    if (!self) return nullptr;
    return which == 0 ? &self->Front_user_profile
                      : which == 1 ? &self->Back_user_profile : &self->TEMP_user_profile;
  };
  s.side_graphics = [self]() -> Graphic_List {
    if (!self) return {};
    return Card_Front_Or_Back != 0 ? self->Get_Back_Controls_Array()
                                   : self->Get_Front_Controls_Array();
  };
  s.preview = [self]() -> Graphic_List { return self ? self->Profile_Preview() : Graphic_List{}; };
  s.fill_series_names = [self](QComboBox* combo) {
    if (self) self->Fill_Data_Set_File_Name_In_Combo(combo);
  };
  s.fill_column_titles = [self](QComboBox* combo) {
    if (self) self->Fill_Excel_Col_Name_In_Combo(combo);
  };
  s.add_excel = [self](QComboBox* combo) {
    if (self) self->Add_Excel_Col_Name_In_Combo(combo);
  };
  s.remove_excel = [self](QComboBox* combo) {
    if (self) self->Remove_Excel_Col_Name_In_Combo(combo);
  };
  s.first_series_value = [self](const QString& name) {
    return self ? self->Get_First_Value_Of_Dataset(name) : QString();
  };
  s.first_column_value = [self](int column) {
    return self ? self->Get_First_Value_Of_Excel_Binding(column) : QString();
  };
  s.series_manager = [self] {
    if (self) self->Batch_Series_Button();
  };
  s.delete_excel_temp_folder = [self] {
    if (self) self->Delete_Excel_File_Temp_Folder();
  };
  s.invalid_file_path = [self](const QString& path) {
    return !self || self->Check_And_Validate_File_Path(path);
  };
}
