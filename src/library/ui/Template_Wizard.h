#pragma once
// The template library: built-in and user templates as a grid of previews; OK hands the
// chosen template's design file to the caller in Selected_Template_Path. User templates
// can be deleted, copied and renamed. Also the template-name window (Export_Template).

#include "library/Image_Browser_Model.h"
#include "library/ui/Card_Wizard.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSlider;

// Asks for a template's name. No shared instance: each caller keeps its own. The caller
// sets template_name and template_passed (the current name for a rename, empty for a new
// template), runs it and on 1 reads export_template_name.
class Export_Template : public QDialog {
  Q_OBJECT

 public:
  explicit Export_Template(QWidget* parent = nullptr);
  // Runs the window with both fields set: 1 when a name was accepted.
  int Ask_Name(const QString& name, const QString& passed);
  void OKPressed();
  void CancelPressed();
  void reject() override { CancelPressed(); }

  QLineEdit* template_name = nullptr;
  QLineEdit* template_passed = nullptr;
};

class Template_Wizard : public QDialog {
  Q_OBJECT

 public:
  static Template_Wizard* defaultInstance();

  // Resets and runs the library: 1 for OK (Selected_Template_Path holds the design file),
  // 0 for Cancel.
  int Open_Template_Window();
  void Fill_Templates();
  void Fill_Templates_User_Defined();
  void OK_Click();
  void CancelClick();
  void Delete_Template_Click();
  void Copy_Templatee_Click();
  void Rename_Template_Click();
  void Show_Hide_Template_Buttons(bool hide);
  void User_Profile_Click();
  void comboBoxSelectionDidChange();
  void zoomSliderDidChange(int value);
  void imageBrowserSelectionDidChange();
  void reject() override { CancelClick(); }

  Wizard_Hooks hooks;
  Image_Browser_Model* images = nullptr;
  QListView* imageBrowser = nullptr;
  QComboBox* cat_cmbo_bx = nullptr;
  QLabel* category_label = nullptr;
  QSlider* _zoom_slider = nullptr;
  QPushButton *Delete_temp_btn = nullptr, *Copy_temp_btn = nullptr, *Rename_temp_btn = nullptr,
              *User_Profile_btn = nullptr;
  Export_Template* Export_Template_Window = nullptr;

 private:
  explicit Template_Wizard(QWidget* parent = nullptr);
  void list_folder(const QString& folder, bool user);
  bool has_selection() const;
  void set_zoom(double zoom);
};
