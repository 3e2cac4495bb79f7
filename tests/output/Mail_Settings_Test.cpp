// The settings store and the SMTP settings dialog: what Save writes (read back by Python's
// plistlib), the file's mode, reopening, Reset, a damaged file, a file that cannot be
// written, and the validation in its order.

#include "output/Mail_Settings.h"
#include "model/Shared_Design_State.h"
#include "output/ui/Email_Setting.h"
#include "platform/Scripted_Platform.h"
#include "support/File_Size_Limit.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QRadioButton>

#include <sys/stat.h>

namespace {

using test_support::Design_Test;

// The file as Python's plistlib reads it, as JSON.
QJsonObject Read_With_Plistlib(const QString& path) {
  const auto result = test_support::Run_Program(
      test_support::System_Python(),
      {QStringLiteral("-c"),
       QStringLiteral("import json, plistlib, sys\n"
                      "print(json.dumps(plistlib.load(open(sys.argv[1], 'rb'))))"),
       path});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  return QJsonDocument::fromJson(result.out).object();
}

unsigned File_Mode(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return 0;
  return info.st_mode & 07777;
}

class Mail_Settings_Test : public Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    dialog = Email_Setting::defaultInstance();
  }

  void Fill(const Mail_Settings_Fields& f) {
    dialog->_send_mail_to->setText(f.recipient);
    dialog->_send_mail_sender_mail->setText(f.sender);
    dialog->_send_mail_password->setText(f.password);
    dialog->_send_mail_smtp->setText(f.server);
    dialog->_send_mail_port->setText(f.port);
    if (f.ssl) dialog->SSL_Selected();
    else dialog->TLS_Selected();
  }

  // Opens the dialog, runs the handler inside its modal run; answers the modal code.
  int Open(const std::function<void()>& handler) {
    scripted.on_run_modal = [&](QObject*) {
      handler();
      return -1;  // still open unless a handler ended the run
    };
    return dialog->Open_Wnd();
  }

  QString settings_path() const { return Preferences::Settings_File_Path(); }

  platform::Scoped_Scripted_Platform scripted;
  Email_Setting* dialog = nullptr;
  const Mail_Settings_Fields typed{QStringLiteral("Friend@Example.org"),
                                   QStringLiteral("me@example.org"),
                                   QStringLiteral("  pass wörd "),
                                   QStringLiteral("smtp.example.org"),
                                   QStringLiteral("587"),
                                   true};
};

TEST_F(Mail_Settings_Test, SaveWritesSixStringKeysOwnerOnlyAndReopeningShowsThem) {
  EXPECT_EQ(Open([&] {
              Fill(typed);
              dialog->Save_Button();
            }),
            1);
  EXPECT_TRUE(scripted.messages.isEmpty()) << scripted.messages;

  const QJsonObject stored = Read_With_Plistlib(settings_path());
  EXPECT_EQ(stored.size(), 6);
  EXPECT_EQ(stored["SendEmailRecipient"].toString(), typed.recipient);
  EXPECT_EQ(stored["SendEmailSender"].toString(), typed.sender);
  EXPECT_EQ(stored["SendEmailPwd"].toString(), typed.password);  // as typed, blanks kept
  EXPECT_EQ(stored["SendEmailSMTP"].toString(), typed.server);
  EXPECT_EQ(stored["SendEmailPORT"].toString(), typed.port);
  EXPECT_EQ(stored["SendEnableSSL"].toString(), QStringLiteral("Y"));
  EXPECT_EQ(File_Mode(settings_path()), 0600u);

  // The next opening shows exactly what was saved, even after the fields were changed.
  Fill({});
  Open([&] { dialog->Close_Button(); });
  EXPECT_EQ(dialog->_send_mail_to->text(), typed.recipient);
  EXPECT_EQ(dialog->_send_mail_password->text(), typed.password);
  EXPECT_EQ(dialog->_send_mail_port->text(), typed.port);
  EXPECT_TRUE(dialog->_send_mail_ssl->isChecked());
  EXPECT_FALSE(dialog->_send_mail_tls->isChecked());

  // TLS is saved as "N"; the window's copy of the settings follows the store.
  Open([&] {
    dialog->TLS_Selected();
    dialog->Save_Button();
  });
  EXPECT_EQ(Read_With_Plistlib(settings_path())["SendEnableSSL"].toString(), QStringLiteral("N"));
  Load_Email_Details();
  EXPECT_EQ(sender_email.get(), typed.sender);
  EXPECT_EQ(sender_pwd.get(), typed.password);
  EXPECT_EQ(sending_server.get(), typed.server);
  EXPECT_EQ(sending_port.get(), typed.port);
  EXPECT_EQ(send_enable_ssl.get(), QStringLiteral("N"));
}

TEST_F(Mail_Settings_Test, FreshInstallationAndResetLeaveAnEmptyFileAndNoSettings) {
  // No file: the first store creates it empty (owner only); the dialog shows nothing, TLS.
  ASSERT_FALSE(QFileInfo::exists(settings_path()));
  Load_Email_Details();
  ASSERT_TRUE(QFileInfo::exists(settings_path()));
  EXPECT_EQ(QFileInfo(settings_path()).size(), 0);
  EXPECT_EQ(File_Mode(settings_path()), 0600u);
  EXPECT_EQ(Open([&] { dialog->Close_Button(); }), 0);
  EXPECT_TRUE(dialog->_send_mail_sender_mail->text().isEmpty());
  EXPECT_TRUE(dialog->_send_mail_tls->isChecked());
  EXPECT_EQ(QFileInfo(settings_path()).size(), 0);

  // Saved settings, then Reset answered "No": nothing changes; "Yes": the file goes at once,
  // the fields and the process-wide settings are empty, the SSL flag has no value.
  Open([&] {
    Fill(typed);
    dialog->Save_Button();
  });
  Load_Email_Details();
  ASSERT_EQ(sender_email.get(), typed.sender);
  Open([&] {
    dialog->Reset_Button();
    EXPECT_EQ(dialog->_send_mail_smtp->text(), typed.server);
    scripted.yes_no_answers.push_back(true);
    dialog->Reset_Button();
    dialog->Close_Button();
  });
  EXPECT_EQ(scripted.questions,
            QStringList(2, QStringLiteral("Are you sure you want to reset current email settings?")));
  EXPECT_TRUE(dialog->_send_mail_smtp->text().isEmpty());
  EXPECT_TRUE(dialog->_send_mail_tls->isChecked());
  EXPECT_EQ(QFileInfo(settings_path()).size(), 0);
  for (const Shared_Value<QString>* value :
       {&sender_email, &sender_pwd, &sending_server, &sending_port})
    EXPECT_EQ(value->get(), QString(""));
  EXPECT_TRUE(send_enable_ssl.get().isNull());
}

TEST_F(Mail_Settings_Test, DamagedFilesReadAsEmpty) {
  for (const QByteArray& damaged :
       {QByteArray("<?xml version=\"1.0\"?><plist><dict><key>SendEmailSender"),
        QByteArray("\x00\x01garbage", 9),
        QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string>"
                   "</array></plist>")}) {
    QFile file(settings_path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(damaged);
    file.close();
    const Preferences store = Preferences::sharedInstance();
    EXPECT_EQ(store.send_email_SenderEmail(), QString(""));
    EXPECT_TRUE(store.send_email_enable_ssl().isNull());
  }
  // A value of another type counts as missing.
  plist::Dictionary odd{{QStringLiteral("SendEmailSender"), qint64(5)},
                        {QStringLiteral("SendEmailSMTP"), QStringLiteral("smtp.example.org")}};
  ASSERT_TRUE(plist::Write_File(settings_path(), odd, plist::Format::Xml));
  const Preferences store = Preferences::sharedInstance();
  EXPECT_TRUE(store.send_email_SenderEmail().isNull());
  EXPECT_EQ(store.send_email_SMTP_server(), QStringLiteral("smtp.example.org"));
}

TEST_F(Mail_Settings_Test, SaveThatCannotWriteSaysWhyAndStaysOpen) {
  ASSERT_TRUE(QDir().mkpath(settings_path()));  // the file's name taken by a folder
  EXPECT_EQ(Open([&] {
              Fill(typed);
              dialog->Save_Button();
            }),
            -1);
  ASSERT_EQ(scripted.messages.size(), 1);
  EXPECT_TRUE(scripted.messages[0].startsWith(QStringLiteral("\nThe E-mail settings could not be saved")))
      << scripted.messages[0];
  EXPECT_TRUE(QFileInfo(settings_path()).isDir());
}

// A disk that takes no more (files may not grow past a limit): Save says why and stays
// open; the settings saved before stay as they were, readable by their owner alone. Settings
// are small, so they fail only when their data is written out; a long password makes a
// file larger than a write buffer.
TEST_F(Mail_Settings_Test, SaveOntoAFullDiskKeepsTheSavedSettings) {
  Open([&] {
    Fill(typed);
    dialog->Save_Button();
  });
  ASSERT_EQ(File_Mode(settings_path()), 0600u);
  const struct {
    const char* name;
    qint64 limit;
    int password_size;
  } cases[] = {
      {"small settings, nothing reaches the disk", 0, 8},
      {"small settings, cut after 200 bytes", 200, 8},
      {"large settings, cut after 16 KB", 16 * 1024, 30000},  // a field holds 32767 at most
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Mail_Settings_Fields changed = typed;
    changed.password = QString(c.password_size, QLatin1Char('p'));
    const test_support::Limited_Write child =
        test_support::Expect_Refused_Under_Limit(settings_path(), c.limit, [&](QString* shown) {
          scripted.messages.clear();
          const int code = Open([&] {
            Fill(changed);
            dialog->Save_Button();
          });
          *shown = scripted.messages.join(u'|');
          return code == 1;
        });
    EXPECT_TRUE(child.reason.startsWith(QStringLiteral("\nThe E-mail settings could not be saved")))
        << child.reason.toStdString();
    EXPECT_EQ(File_Mode(settings_path()), 0600u);
    EXPECT_EQ(Read_With_Plistlib(settings_path())["SendEmailPwd"].toString(), typed.password);
  }
}

TEST_F(Mail_Settings_Test, ValidationNamesTheFirstFaultAndFocusesItsField) {
  using F = Mail_Settings_Field;
  const Mail_Settings_Fields good = typed;
  struct Case {
    std::function<void(Mail_Settings_Fields&)> spoil;
    bool test_mail;
    F field;
    const char* message;
  };
  const Case cases[] = {
      {[](auto& f) { f = {}; }, true, F::Sender, "Please enter sender E-mail."},
      {[](auto& f) { f.sender = QStringLiteral("me@x.o"); f.password.clear(); }, false,
       F::Password, "Please enter password."},
      {[](auto& f) { f.sender = QStringLiteral(" a@b.c "); }, false, F::Sender,
       "Please enter valid sender E-mail address."},
      {[](auto& f) { f.sender = QStringLiteral("me@@example.org"); }, false, F::Sender,
       "Please enter valid sender E-mail address."},
      {[](auto& f) { f.server.clear(); f.port.clear(); }, false, F::Server,
       "Please enter SMTP server."},
      {[](auto& f) { f.port.clear(); }, false, F::Port, "Please enter port number."},
      {[](auto& f) { f.recipient.clear(); }, true, F::Recipient,
       "Please enter recipient E-mail address."},
      {[](auto& f) { f.recipient = QStringLiteral("friend@example"); }, true, F::Recipient,
       "Please enter valid recipient E-mail address."},
      // Saving needs no test recipient; blanks count as typed.
      {[](auto& f) { f.recipient.clear(); f.password = f.server = QStringLiteral("  "); }, false,
       F::None, ""},
  };
  for (const Case& c : cases) {
    Mail_Settings_Fields fields = good;
    c.spoil(fields);
    const Mail_Settings_Check check = Check_Mail_Settings(fields, c.test_mail);
    EXPECT_EQ(check.field, c.field) << c.message;
    EXPECT_EQ(check.message, QString::fromUtf8(c.message));
  }

  // The dialog shows the message, leaves the run open and focuses the field.
  dialog->show();
  Open([&] {
    Fill(good);
    dialog->_send_mail_port->clear();
    dialog->Save_Button();
  });
  EXPECT_EQ(scripted.messages, QStringList{QStringLiteral("\nPlease enter port number.")});
  EXPECT_EQ(dialog->focusWidget(), dialog->_send_mail_port);
  dialog->hide();
}

TEST(Mail_Address_Test, AddressTest) {
  const std::pair<const char*, bool> cases[] = {
      {"a@b.cd", true},        {"  a@b.cd  ", true},    {"a@b.c", false},
      {"ab@cdef", false},      {"a@b@c.de", false},     {"", false},
      {"first.last@mail", true},  // one "@" and a "." anywhere: the test asks no more
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(isValidEmail(QString::fromUtf8(text)), valid) << text;
}

}  // namespace
