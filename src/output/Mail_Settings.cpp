#include "output/Mail_Settings.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Whole_File.h"

#include <QFile>
#include <QFileInfo>

const QString Preferences::Key_Recipient = QStringLiteral("SendEmailRecipient");
const QString Preferences::Key_Sender = QStringLiteral("SendEmailSender");
const QString Preferences::Key_Password = QStringLiteral("SendEmailPwd");
const QString Preferences::Key_Server = QStringLiteral("SendEmailSMTP");
const QString Preferences::Key_Port = QStringLiteral("SendEmailPORT");
const QString Preferences::Key_SSL = QStringLiteral("SendEnableSSL");

namespace {
constexpr QFileDevice::Permissions owner_only = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
}

QString Preferences::Settings_File_Path() {
  // No resource folder yet: no file (never one at the root of the file system).
  if (Resource_Path.isEmpty()) return {};
  return Resource_Path + QStringLiteral("/com.zelk.card.plist");
}

Preferences Preferences::sharedInstance() { return Preferences(Settings_File_Path()); }

Preferences::Preferences(const QString& path) : path_(path) {
  // A few strings: anything larger than this is not a settings file of ours.
  plist::Read_Limits limits;
  limits.max_bytes = 1024 * 1024;
  limits.max_depth = 4;
  if (auto root = plist::Read_File(path_, limits); root && root->dictionary()) {
    dict_ = *root->dictionary();
    return;
  }
  if (!path_.isEmpty() && !QFileInfo::exists(path_)) {
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, owner_only))
      Show_NSLog_Message(QStringLiteral("Could not create %1: %2").arg(path_, file.errorString()));
  }
  setDefaults();
}

void Preferences::setDefaults() {
  for (const QString* key : {&Key_Recipient, &Key_Sender, &Key_Password, &Key_Server, &Key_Port})
    dict_.insert(*key, QString(""));
}

QString Preferences::value(const QString& key) const {
  const plist::Value* value = dict_.find(key);
  const QString* text = value ? value->string() : nullptr;
  return text ? *text : QString();
}

void Preferences::setValue(const QString& key, const QString& value) {
  dict_.insert(key, value.isNull() ? QString("") : value);
}

bool Preferences::flush(QString* error) const {
  const QByteArray bytes = plist::Write(plist::Value(dict_), plist::Format::Xml);
  // The temporary file is the one renamed into place: it carries the mode from the start.
  Whole_File_Options options;
  options.permissions = owner_only;
  return Write_Whole_File(path_, bytes, error, options);
}

void Load_Email_Details() {
  const Preferences store = Preferences::sharedInstance();
  sender_email = store.send_email_SenderEmail();
  sender_pwd = store.send_email_Password();
  sending_server = store.send_email_SMTP_server();
  sending_port = store.send_email_PORT_num();
  send_enable_ssl = store.send_email_enable_ssl();
}

bool isValidEmail(const QString& text) {
  const QString address = Trim_Str(text);
  return address.size() > 5 && address.count(QLatin1Char('@')) == 1 &&
         address.contains(QLatin1Char('.'));
}

Mail_Settings_Check Check_Mail_Settings(const Mail_Settings_Fields& fields, bool test_mail) {
  using F = Mail_Settings_Field;
  const QString sender = fields.sender.toLower();
  if (sender.isEmpty()) return {F::Sender, QStringLiteral("Please enter sender E-mail.")};
  if (!isValidEmail(sender))
    return {F::Sender, QStringLiteral("Please enter valid sender E-mail address.")};
  if (fields.password.isEmpty()) return {F::Password, QStringLiteral("Please enter password.")};
  if (fields.server.isEmpty()) return {F::Server, QStringLiteral("Please enter SMTP server.")};
  if (fields.port.isEmpty()) return {F::Port, QStringLiteral("Please enter port number.")};
  if (test_mail) {
    const QString recipient = fields.recipient.toLower();
    if (recipient.isEmpty())
      return {F::Recipient, QStringLiteral("Please enter recipient E-mail address.")};
    if (!isValidEmail(recipient))
      return {F::Recipient, QStringLiteral("Please enter valid recipient E-mail address.")};
  }
  return {};
}
