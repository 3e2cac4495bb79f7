#pragma once
// The help and support window, the share window, the review window and the promotion
// window, and the look they share: the dialog background and link-styled buttons.

#include "library/ui/Library_Dialog.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// Runs prepare, then the window modally, then hides it; answers the modal code. An
// exception on the way is logged, the window hidden and 0 answered.
int Run_Modal_Logged(QDialog* window, const std::function<void()>& prepare = {});
// A button that acts as a link: flat, bold 11 pt blue underlined title on the dialog
// background, the open-hand cursor over it.
void Apply_Link_Style(QPushButton* button);

// Help and support: the help file, the maker's support, reseller and web links and the
// four social buttons. No shared instance: the design window keeps its own.
class Help_Support : public QDialog {
  Q_OBJECT

 public:
  explicit Help_Support(QWidget* parent = nullptr);

  // Opens "Help.pdf" of the resource folder; "Help file does not exist!" when it is not
  // there.
  void HelpFilePressed();
  void Gplus_Clicked();
  void Facebook_Clicked();
  void Twitter_Clicked();
  void FB_Like_Clicked();
  void Social_Comments_Clicked();

  QPushButton *support_id = nullptr, *support_id_2 = nullptr, *website_1 = nullptr,
              *reseller_1 = nullptr, *reseller_2 = nullptr, *_Help_File_Label = nullptr;
};

// The share window: the four social buttons, the social-comments page and OK.
class Share_It_Dlg : public QDialog {
  Q_OBJECT

 public:
  explicit Share_It_Dlg(QWidget* parent = nullptr);
  void OK_Pressed();
  void Go_Share_It_Pressed();
  void reject() override { OK_Pressed(); }
};

// The review window shown when the program ends: both buttons open the review page and
// close it with 1. Escape and the title bar's close only close it, with 0.
class Review_Form : public QDialog {
  Q_OBJECT

 public:
  static Review_Form* defaultInstance();
  int Open_Review_Form_Window();
  void OK_Clicked();
  void Review_Clicked();
  static void Open_Link(const QString& address);
  void reject() override;

  QPushButton *support_id = nullptr, *website_1 = nullptr;

 private:
  explicit Review_Form(QWidget* parent = nullptr);
};

// The promotion window: one of the maker's three other products ("S", "R", "B").
class Promotion_Form : public QDialog {
  Q_OBJECT

 public:
  static Promotion_Form* defaultInstance();
  // Shows the product of software_type (any other code keeps what was shown) and runs the
  // window: 1 for OK.
  int Open_Promotion_Window();
  void OK_Clicked();
  void Mail_Clicked();
  void Contact_us_Clicked();
  void Order_Clicked();
  void youtube_Clicked();
  static void Open_Link(const QString& address);
  void reject() override { OK_Clicked(); }

  QString software_type;
  QString app_name;  // the application's name the contact links carry
  QLabel *bundle_image = nullptr, *Software_title = nullptr, *short_descp = nullptr,
         *long_descp = nullptr;
  QPushButton *support_id = nullptr, *website_1 = nullptr;

 private:
  explicit Promotion_Form(QWidget* parent = nullptr);
};
