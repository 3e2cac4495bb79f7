#pragma once
// The family of profile dialogs: the designer profile dialog (Show_User_Profile), opened
// for the card side being edited, and the general one (User_profile), opened for both
// sides. This base holds everything the two share: the eleven fields' controls, source
// selection, validation, writing a record, OK and Cancel, the spreadsheet browse, the
// photo, the series views and the preview. The subclasses differ only in their opening,
// their reset, the side picture and the window set-up.
//
// Every control carries the name the design gives it as its object name ("name_value",
// "comp_name_ds_combo", "image_ser_col_cb", ...). A selection that code makes in a combo
// runs the same handler as the user's; index -1 is "no selection".

#include "model/CRDGraphic.h"
#include "profile/Profile_Fields.h"
#include "profile/User_Profile_Class.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// What the profile dialogs need of the design window; the window fills it in.
struct Profile_Services {
  // The front (0), back (1) or temporary (2) record; nullptr without a design window.
  std::function<User_Profile_Class*(int which)> record;
  // The graphics of the current side (by Card_Front_Or_Back).
  std::function<Graphic_List()> side_graphics;
  // Builds the preview on the temporary side from the temporary record and answers the
  // temporary side's list.
  std::function<Graphic_List()> preview;
  // The pop-up fillers (nothing selected afterwards) and the "Excel" item functions.
  std::function<void(QComboBox*)> fill_series_names, fill_column_titles, add_excel, remove_excel;
  std::function<QString(const QString&)> first_series_value;
  std::function<QString(int)> first_column_value;
  std::function<void()> series_manager;
  std::function<void()> delete_excel_temp_folder;
  // True (after saying so) when the path is empty or names no file.
  std::function<bool(const QString&)> invalid_file_path;
};
Profile_Services& Profile_Window_Services();

class Profile_Dialog : public QDialog {
  Q_OBJECT

 public:
  // One field's controls; those a dialog lacks are nullptr (the photo has no value,
  // caption or check boxes; only the general dialog has side combos, only the designer
  // dialog check boxes).
  struct Field_Controls {
    QLabel* caption = nullptr;
    QLineEdit* value = nullptr;       // _value
    QLineEdit* label = nullptr;       // _label
    QCheckBox* label_chk = nullptr;   // _label_chk
    QCheckBox* value_chk = nullptr;   // _value_chk
    QComboBox* ds_combo = nullptr;    // _ds_combo: Manual, Series (, Excel)
    QComboBox* ser_col_cb = nullptr;  // _ser_col_cb: series names or column titles
    QComboBox* side_combo = nullptr;  // _side_combo
    QPushButton* view_btn = nullptr;  // _view_btn
  };

  // Prepares the controls and runs the window modally: 1 OK, 0 Cancel.
  virtual int Open_Wnd(bool mode) = 0;
  virtual void Reset_all_Ctrl() = 0;

  bool Check_Validation();
  bool Fill_Front_User_profile_value_in_Variable();
  bool Fill_Back_User_profile_value_in_Variable();
  bool Fill_TEMP_User_profile_value_in_Variable();

  void OK_Btn_Clicked();
  void Cancel_Btn_Clicked();
  void Reset_Btn_Clicked() { Reset_all_Ctrl(); }
  void Help_Btn_Clicked();
  void Browse_excel_Btn_Clicked();
  void Add_Excel_in_Data_Source_Combo();
  void Remove_Excel_in_Data_Source_Combo();
  void View_Excel_Btn_Clicked();
  void Batch_Series_Btn_Clicked();
  void Browse_image_Btn_Clicked();
  void Clear_image_Btn_Clicked();
  void Set_User_Image(const QString& path);
  void View_Data_Series_By_Name(QComboBox* popup);
  // The per-field handlers (View_Name_Series_Btn_Clicked, Name_Label_Chk_Clicked,
  // Name_Value_Chk_Clicked and their like), one each with the field's index.
  void View_Series_Btn_Clicked(int field) { View_Data_Series_By_Name(field_[size_t(field)].ser_col_cb); }
  void Label_Chk_Clicked(int field);
  void Value_Chk_Clicked(int field);
  // Typing in a caption or value field ticks its check box (designer dialog).
  void controlTextDidChange(QLineEdit* edited);
  // Every source combo and pop-up reports here.
  void comboBoxSelectionDidChange(QComboBox* combo);
  void Preview_Btn_Clicked();
  void Create_and_Set_Preview_picture();
  virtual void Create_and_Set_template_picture() = 0;

  const Field_Controls& field(int index) const { return field_[size_t(index)]; }

  // The same controls under their own names (nullptr where the dialog has none).
#define LUMIGROVE_PROFILE_OUTLETS(p)                                                \
  QLineEdit *p##_value = nullptr, *p##_label = nullptr;                             \
  QCheckBox *p##_label_chk = nullptr, *p##_value_chk = nullptr;                     \
  QComboBox *p##_ds_combo = nullptr, *p##_ser_col_cb = nullptr, *p##_side_combo = nullptr; \
  QPushButton* p##_view_btn = nullptr;
  LUMIGROVE_PROFILE_OUTLETS(name)
  LUMIGROVE_PROFILE_OUTLETS(title)
  LUMIGROVE_PROFILE_OUTLETS(comp_name)
  LUMIGROVE_PROFILE_OUTLETS(slogan)
  LUMIGROVE_PROFILE_OUTLETS(address)
  LUMIGROVE_PROFILE_OUTLETS(phone)
  LUMIGROVE_PROFILE_OUTLETS(fax)
  LUMIGROVE_PROFILE_OUTLETS(email)
  LUMIGROVE_PROFILE_OUTLETS(website)
  LUMIGROVE_PROFILE_OUTLETS(unique)
  LUMIGROVE_PROFILE_OUTLETS(image)
#undef LUMIGROVE_PROFILE_OUTLETS

  QString load_side;
  QLineEdit* excel_path_field = nullptr;
  QLabel* Preivew_picture = nullptr;
  Graphic_List Graphics_array;
  QLabel* user_picture = nullptr;
  QLineEdit* image_path_val = nullptr;
  QPushButton *browse_pic_btn = nullptr, *clear_pic_btn = nullptr;
  QString checked_field_name;
  QPushButton *OK_btn = nullptr, *Cancel_btn = nullptr, *Reset_btn = nullptr, *Help_btn = nullptr,
              *Preview_btn = nullptr, *Browse_excel_btn = nullptr, *View_Excel_btn = nullptr,
              *Batch_Series_btn = nullptr;

 protected:
  // with_checks: caption and value check boxes (designer dialog); with_sides: side combos
  // (general dialog).
  Profile_Dialog(bool with_checks, bool with_sides, QWidget* parent = nullptr);

  // Opening's common steps: the window title, Graphics_array from the current side.
  void Take_Current_Side();
  // Loads the side's visible profile objects into the fields (ticking the value check
  // boxes when there are any).
  void Load_Side_Fields();
  // The reset both dialogs share: the photo, value fields, sources and pop-ups.
  void Reset_Fields();
  // Shows the picture scaled into the label (a null picture empties it).
  static void Show_Picture(QLabel* label, const QImage& image);
  QImage Render_Graphics_array() const;
  // The window runs modally, then is put away; answers the code.
  int Run();

  std::array<Field_Controls, Profile_Field_Count> field_;
  QLabel* select_side_label_ = nullptr;
  QVBoxLayout* pictures_layout_ = nullptr;  // the photo and the side pictures

 private:
  bool Write_Record(User_Profile_Class* record, bool side_record);
  void Source_Changed(int field);
  void Popup_Changed(int field);
  void build();
  void name_outlets();

  bool with_checks_;
  bool with_sides_;
};
