#pragma once
// The settings store of e-mail sending: the SMTP settings as strings in the property list
// "<Resource_Path>/com.zelk.card.plist" (sender, password, server, port, SSL flag and the
// recipient of test mails).
//
// A store is a snapshot of the file taken when it is made; every user makes a fresh one
// (sharedInstance), reads or changes it and drops it. Only flush() writes: the file is
// written whole or not at all, readable by its owner alone (0600). A file that cannot be
// read as a dictionary (missing, empty, damaged) reads as empty; a missing file is created
// empty, so a fresh installation has its settings file from the first start on.

#include "platform/Property_List.h"

#include <QString>

class Preferences {
 public:
  // A fresh store of the settings file in Resource_Path.
  static Preferences sharedInstance();
  // A store of the file at the path.
  explicit Preferences(const QString& path);

  static QString Settings_File_Path();  // Resource_Path + "/com.zelk.card.plist"

  // Each getter answers a null string for a key the store lacks.
  QString send_email_Recipient() const { return value(Key_Recipient); }
  QString send_email_SenderEmail() const { return value(Key_Sender); }
  QString send_email_Password() const { return value(Key_Password); }
  QString send_email_SMTP_server() const { return value(Key_Server); }
  QString send_email_PORT_num() const { return value(Key_Port); }
  QString send_email_enable_ssl() const { return value(Key_SSL); }  // "Y", "N" or none

  void setsend_email_Recipient(const QString& v) { setValue(Key_Recipient, v); }
  void setsend_email_SenderEmail(const QString& v) { setValue(Key_Sender, v); }
  void setsend_email_Password(const QString& v) { setValue(Key_Password, v); }
  void setsend_email_SMTP_server(const QString& v) { setValue(Key_Server, v); }
  void setsend_email_PORT_num(const QString& v) { setValue(Key_Port, v); }
  void setsend_email_enable_ssl(const QString& v) { setValue(Key_SSL, v); }

  // The five text keys empty; the SSL flag stays unset until someone saves one.
  void setDefaults();
  // Writes the values to the file; false with the reason when nothing was written (the
  // file then keeps what it had).
  bool flush(QString* error = nullptr) const;

  const QString& mPreferencesPath() const { return path_; }
  const plist::Dictionary& mDict() const { return dict_; }

  static const QString Key_Recipient;  // "SendEmailRecipient"
  static const QString Key_Sender;     // "SendEmailSender"
  static const QString Key_Password;   // "SendEmailPwd"
  static const QString Key_Server;     // "SendEmailSMTP"
  static const QString Key_Port;       // "SendEmailPORT"
  static const QString Key_SSL;        // "SendEnableSSL"

 private:
  QString value(const QString& key) const;
  void setValue(const QString& key, const QString& value);

  QString path_;
  plist::Dictionary dict_;
};

// Get_Email_Details: a fresh store's sender, password, server, port and SSL flag copied
// into sender_email, sender_pwd, sending_server, sending_port and send_enable_ssl (a key
// the store lacks leaves a null string).
void Load_Email_Details();

// The address test: trimmed, longer than 5 characters, exactly one "@" and at least one
// ".".
bool isValidEmail(const QString& text);

// The SMTP settings dialog's fields as typed.
struct Mail_Settings_Fields {
  QString recipient;  // of test mails
  QString sender;
  QString password;
  QString server;
  QString port;
  bool ssl = false;
};

enum class Mail_Settings_Field { None, Recipient, Sender, Password, Server, Port };

struct Mail_Settings_Check {
  Mail_Settings_Field field = Mail_Settings_Field::None;  // None: the fields pass
  QString message;
};

// The dialog's validation, first failure only: sender, sender address, password, server,
// port, and for a test mail the recipient and its address. Emptiness looks at the text as
// typed (blanks count as filled); the address tests trim first.
Mail_Settings_Check Check_Mail_Settings(const Mail_Settings_Fields& fields, bool test_mail);
