#pragma once
// The SMTP settings dialog: sender, password, server, port, SSL or TLS, and a recipient
// for test mails. Open_Wnd loads the stored settings; Save validates and stores them (and
// stays open, saying why, when the file cannot be written); Close stores nothing; Reset
// deletes the settings file at once; the test mail goes out with the values as typed,
// behind a please-wait sheet.

#include "output/Mail_Settings.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class Email_Setting : public QDialog {
  Q_OBJECT

 public:
  // The one dialog of the process, made on first use (GUI thread).
  static Email_Setting* defaultInstance();

  // Loads the stored settings and runs the dialog modally: 1 saved, 0 closed. The caller
  // re-reads the store.
  int Open_Wnd();
  void loadPreferences();
  // Stores the fields; false (after saying why) when the file could not be written.
  bool flushPreferences();
  // The validation; shows the first failure and moves the focus to its field.
  bool Check_Validation(bool test_mail);
  Mail_Settings_Fields Fields() const;
  static bool isValidEmail(const QString& text) { return ::isValidEmail(text); }

  QLineEdit* _send_mail_to = nullptr;
  QLineEdit* _send_mail_sender_mail = nullptr;
  QLineEdit* _send_mail_smtp = nullptr;
  QLineEdit* _send_mail_port = nullptr;
  QLineEdit* _send_mail_password = nullptr;
  QLineEdit* _send_mail_test_mail = nullptr;
  QLineEdit* _send_mail_result_status = nullptr;
  QRadioButton* _send_mail_ssl = nullptr;
  QRadioButton* _send_mail_tls = nullptr;
  QPushButton* save_button = nullptr;
  QPushButton* close_button = nullptr;
  QPushButton* reset_button = nullptr;
  QPushButton* test_button = nullptr;
  QDialog* plz_wait_Window = nullptr;

  static const QString Sent_Text;    // "E-mail has been sent successfully."
  static const QString Failed_Text;  // the advice, then "\n\nCould not send email."

 public slots:
  void Send_Test_Email();
  void Save_Button();
  void Close_Button();
  void Reset_Button();
  void SSL_Selected();
  void TLS_Selected();
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();
  // Escape answers like Close, except while a test mail is under way.
  void reject() override;

 private:
  Email_Setting();
  QLineEdit* field(Mail_Settings_Field which) const;

  bool sending_ = false;
};
