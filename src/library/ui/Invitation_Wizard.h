#pragma once
// The start screen and the invitation wizard: every run (and every new design) begins
// here. Page 0 offers designing a new card with the wizard, opening a saved design, help,
// contact and Exit; pages 1-5 ask for the card size, a background picture, the festival,
// the greeting title and message, and the sender and addressee. Finishing publishes the
// answers (Invite_Title .. Invite_BG_IMG, trimmed), sizes the card through the window's
// hook and ends the modal run with 1.

#include "library/Greeting_Library.h"
#include "library/Image_Browser_Model.h"

#include <QDialog>
#include <QSizeF>

#include <functional>

class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTimeEdit;
class QWidget;

// What the wizard asks of the design window.
struct Wizard_Window_Hooks {
  // Runs the open panel and loads the chosen design; 1 when a design was loaded.
  std::function<int()> Open_Log_File;
  // Gives the card the size in millimetres (the sidebar's fields, the document and the
  // three canvases).
  std::function<void(QSizeF)> Set_Card_Size;
};

class Invitation_Wizard : public QDialog {
  Q_OBJECT

 public:
  // Open_Wnd's answer when the wizard could not be prepared (the reason was shown).
  static constexpr int Open_Failed = -1;

  static Invitation_Wizard* defaultInstance();

  Wizard_Window_Hooks hooks;

  // Resets the wizard (120 x 120 mm, the background list reloaded, the start screen) and
  // runs it modally: 1 after the wizard was finished or a design was opened, 0 otherwise,
  // Open_Failed after an exception.
  int Open_Wnd();

  // Start screen.
  void Using_Wizard_Click();
  void Open_Log_Click();
  void Select_card_option(int option);  // 1 "W", 2 "L"
  void ExitClick();
  void HelpClick();
  void Contact_Us_Click();
  // Navigation.
  void OK_Click();
  void Back_Click();
  void CancelClick();
  // Page 3: the festival of the code, then the title-and-message page.
  void Festival_Click(const QString& code);
  // Page 4.
  void Title_Back_Click();
  void Title_Next_Click();
  void Msg_Back_Click();
  void Msg_Next_Click();
  QString Get_Title() const { return greetings.Get_Title(); }
  QString Get_Message() const { return greetings.Get_Message(); }
  void Load_Msg_And_Title_According_Event();
  // Page 5.
  void Clear_Details_Click();
  void Clear_Details();
  void datePickerAction();
  void timePickerAction();
  // Cuts a field's text to its limit (From, To 40; venue, title 100; message 250).
  void controlTextDidChange(QWidget* field);
  // The browser: a pick stores the path; Next goes on.
  void imageBrowserSelectionDidChange();
  void Load_and_fill_backgrounds();
  void Show_Hide_Card_Start_Screen(bool start_screen);
  void Reset_All();

  // Escape: back to the start screen (nothing on the start screen). The window's close
  // button: Exit.
  void reject() override;

  // State.
  int next_counter = 0;
  Image_Browser_Model* images = nullptr;
  QString selected_image;
  bool auto_background_selection = false;  // Next onto page 2 selects the first background
  Greeting_Lists greetings;
  QString selected_title, selected_msg, selected_date, selected_time;

  // Controls.
  QStackedWidget* pages = nullptr;
  QWidget *Start_card_box = nullptr, *first_box = nullptr, *second_box = nullptr,
          *event_box = nullptr, *third_box = nullptr, *fourth_box = nullptr,
          *button_box = nullptr, *start_buttons = nullptr;
  QPushButton *Using_Wizard_btn = nullptr, *Open_Log_btn = nullptr, *Exit_btn = nullptr,
              *Help_btn_1 = nullptr, *Contact_us_btn = nullptr;
  QPushButton *Back_btn = nullptr, *Next_btn = nullptr, *Cancel_btn = nullptr;
  QDoubleSpinBox *width_Stepper = nullptr, *height_Stepper = nullptr;
  QListView* imageBrowser = nullptr;
  QLineEdit* msg_title = nullptr;
  QPlainTextEdit* msg_value = nullptr;
  QPushButton *Title_Back_btn = nullptr, *Title_Next_btn = nullptr, *Msg_Back_btn = nullptr,
              *Msg_Next_btn = nullptr;
  QLineEdit *from_value = nullptr, *to_value = nullptr, *venue_value = nullptr;
  QDateEdit* Date_picker = nullptr;
  QTimeEdit* Time_picker = nullptr;
  QLineEdit *Date_ctrl_value = nullptr, *Time_ctrl_value = nullptr;
  QLabel *venue_label = nullptr, *date_label = nullptr, *time_label = nullptr;
  QPushButton* clear_details_btn = nullptr;
  QLabel* APP_path_label = nullptr;  // says where the data folders are (start screen)

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  explicit Invitation_Wizard(QWidget* parent = nullptr);
  QWidget* build_start_page();
  QWidget* build_size_page();
  QWidget* build_background_page();
  QWidget* build_festival_page();
  QWidget* build_greeting_page();
  QWidget* build_details_page();
  void show_page(int page);
  void set_details_extras_visible(bool visible);
  void select_first_background();
  void Finish();
};
