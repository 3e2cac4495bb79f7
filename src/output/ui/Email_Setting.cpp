#include "output/ui/Email_Setting.h"

#include "model/Common_Functions.h"
#include "output/Mail_Script.h"
#include "output/ui/Mail_Dialog_Support.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

const QString Email_Setting::Sent_Text = QStringLiteral("E-mail has been sent successfully.");
const QString Email_Setting::Failed_Text = QStringLiteral(
    "Please make sure that:\n1. Entered E-mail settings are correct.\n2. Internet connectivity "
    "to E-mail server is not interrupted and E-mail server is not down.\n3. Your Firewall or "
    "Security software (if any) is not blocking the software to communicate with your E-mail "
    "server.\n\nCould not send email.");

Email_Setting* Email_Setting::defaultInstance() {
  static QPointer<Email_Setting> instance;
  if (!instance) instance = new Email_Setting;
  return instance;
}

Email_Setting::Email_Setting() {
  Prepare_Mail_Dialog(this, "Email_Setting", QStringLiteral("E-mail Settings"));

  auto line = [this](QLineEdit*& edit, const char* name) {
    edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(280);
  };
  line(_send_mail_sender_mail, "_send_mail_sender_mail");
  line(_send_mail_password, "_send_mail_password");
  _send_mail_password->setEchoMode(QLineEdit::Password);
  line(_send_mail_smtp, "_send_mail_smtp");
  line(_send_mail_port, "_send_mail_port");
  line(_send_mail_to, "_send_mail_to");
  line(_send_mail_test_mail, "_send_mail_test_mail");
  _send_mail_test_mail->hide();  // only a reset empties it; nothing shows it
  line(_send_mail_result_status, "_send_mail_result_status");
  _send_mail_result_status->setReadOnly(true);

  _send_mail_ssl = new QRadioButton(QStringLiteral("SSL"), this);
  _send_mail_ssl->setObjectName(QStringLiteral("_send_mail_ssl"));
  _send_mail_tls = new QRadioButton(QStringLiteral("TLS"), this);
  _send_mail_tls->setObjectName(QStringLiteral("_send_mail_tls"));
  _send_mail_tls->setChecked(true);
  connect(_send_mail_ssl, &QRadioButton::clicked, this, &Email_Setting::SSL_Selected);
  connect(_send_mail_tls, &QRadioButton::clicked, this, &Email_Setting::TLS_Selected);
  auto* security = new QHBoxLayout;
  security->addWidget(_send_mail_ssl);
  security->addWidget(_send_mail_tls);
  security->addStretch(1);

  test_button = Mail_Dialog_Button(this, "test_button", QStringLiteral("Send Test Mail"));
  reset_button = Mail_Dialog_Button(this, "reset_button", QStringLiteral("Reset"));
  close_button = Mail_Dialog_Button(this, "close_button", QStringLiteral("Close"));
  save_button = Mail_Dialog_Button(this, "save_button", QStringLiteral("Save"));
  save_button->setDefault(true);
  connect(test_button, &QPushButton::clicked, this, &Email_Setting::Send_Test_Email);
  connect(reset_button, &QPushButton::clicked, this, &Email_Setting::Reset_Button);
  connect(close_button, &QPushButton::clicked, this, &Email_Setting::Close_Button);
  connect(save_button, &QPushButton::clicked, this, &Email_Setting::Save_Button);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Sender E-mail :"), _send_mail_sender_mail);
  form->addRow(QStringLiteral("Password :"), _send_mail_password);
  form->addRow(QStringLiteral("SMTP Server :"), _send_mail_smtp);
  form->addRow(QStringLiteral("Port :"), _send_mail_port);
  form->addRow(QStringLiteral("Security :"), security);

  auto* test_box = new QFormLayout;
  auto* test_row = new QHBoxLayout;
  test_row->addWidget(_send_mail_to, 1);
  test_row->addWidget(test_button);
  test_box->addRow(QStringLiteral("Test recipient :"), test_row);
  test_box->addRow(QStringLiteral("Status :"), _send_mail_result_status);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(reset_button);
  buttons->addStretch(1);
  buttons->addWidget(close_button);
  buttons->addWidget(save_button);

  auto* title = new QLabel(QStringLiteral("<b>SMTP settings for sending cards by e-mail</b>"), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addLayout(form);
  layout->addSpacing(8);
  layout->addLayout(test_box);
  layout->addSpacing(8);
  layout->addLayout(buttons);

  plz_wait_Window = new QDialog(this);
  plz_wait_Window->setObjectName(QStringLiteral("plz_wait_Window"));
  plz_wait_Window->setWindowModality(Qt::WindowModal);
  plz_wait_Window->setStyleSheet(styleSheet());
  auto* wait_layout = new QVBoxLayout(plz_wait_Window);
  auto* wait_label = new QLabel(QStringLiteral("Sending the test mail, please wait..."),
                                plz_wait_Window);
  wait_label->setAlignment(Qt::AlignCenter);
  wait_layout->addWidget(wait_label);
  plz_wait_Window->resize(340, 80);
}

int Email_Setting::Open_Wnd() {
  return Run_Mail_Dialog(this, [this] { loadPreferences(); });
}

void Email_Setting::loadPreferences() {
  const Preferences store = Preferences::sharedInstance();
  _send_mail_to->setText(store.send_email_Recipient());
  _send_mail_sender_mail->setText(store.send_email_SenderEmail());
  _send_mail_smtp->setText(store.send_email_SMTP_server());
  _send_mail_port->setText(store.send_email_PORT_num());
  _send_mail_password->setText(store.send_email_Password());
  if (store.send_email_enable_ssl() == QLatin1String("Y")) SSL_Selected();
  else TLS_Selected();
}

Mail_Settings_Fields Email_Setting::Fields() const {
  Mail_Settings_Fields fields;
  fields.recipient = _send_mail_to->text();
  fields.sender = _send_mail_sender_mail->text();
  fields.password = _send_mail_password->text();
  fields.server = _send_mail_smtp->text();
  fields.port = _send_mail_port->text();
  fields.ssl = _send_mail_ssl->isChecked() && !_send_mail_tls->isChecked();
  return fields;
}

bool Email_Setting::flushPreferences() {
  const Mail_Settings_Fields fields = Fields();
  Preferences store = Preferences::sharedInstance();
  store.setsend_email_Recipient(fields.recipient);
  store.setsend_email_SenderEmail(fields.sender);
  store.setsend_email_SMTP_server(fields.server);
  store.setsend_email_PORT_num(fields.port);
  store.setsend_email_Password(fields.password);
  store.setsend_email_enable_ssl(fields.ssl ? QStringLiteral("Y") : QStringLiteral("N"));
  QString error;
  if (store.flush(&error)) return true;
  Show_MessageBox(QStringLiteral("The E-mail settings could not be saved to %1:\n%2")
                      .arg(store.mPreferencesPath(), error));
  return false;
}

QLineEdit* Email_Setting::field(Mail_Settings_Field which) const {
  switch (which) {
    case Mail_Settings_Field::Recipient: return _send_mail_to;
    case Mail_Settings_Field::Sender: return _send_mail_sender_mail;
    case Mail_Settings_Field::Password: return _send_mail_password;
    case Mail_Settings_Field::Server: return _send_mail_smtp;
    case Mail_Settings_Field::Port: return _send_mail_port;
    case Mail_Settings_Field::None: break;
  }
  return nullptr;
}

bool Email_Setting::Check_Validation(bool test_mail) {
  const Mail_Settings_Check check = Check_Mail_Settings(Fields(), test_mail);
  if (check.field == Mail_Settings_Field::None) return true;
  Show_MessageBox(check.message);
  if (QLineEdit* edit = field(check.field)) edit->setFocus();
  return false;
}

void Email_Setting::Send_Test_Email() {
  if (sending_ || !Check_Validation(true)) return;
  sending_ = true;
  Show_Create_Modeless();
  const Mail_Settings_Fields fields = Fields();
  const QString app = QCoreApplication::applicationName();
  Mail_Message message;
  message.recipient = fields.recipient.toLower();
  message.sender = fields.sender.toLower();
  message.password = fields.password;
  message.server = fields.server;
  message.port = fields.port;
  message.ssl = fields.ssl ? QStringLiteral("Y") : QStringLiteral("N");
  message.body = QStringLiteral("This is test mail sent by %1.").arg(app);
  message.subject = app + QStringLiteral(" Test Mail");
  _send_mail_result_status->setText(QStringLiteral("It may take a while, Please wait..."));
  const Mail_Result result = sendEmail_pyth(message);
  Hide_Destroy_Modeless();
  sending_ = false;
  // A failure says what the script found (login refused, certificate not trusted, no TLS).
  const QString text = result.sent ? Sent_Text
                       : result.reason.isEmpty()
                           ? Failed_Text
                           : Failed_Text + QStringLiteral("\n\n") + result.reason;
  _send_mail_result_status->setText(text);
  Show_MessageBox(text);
}

void Email_Setting::Save_Button() {
  if (sending_ || !Check_Validation(false)) return;
  if (flushPreferences()) platform::Stop_Modal(this, 1);
}

void Email_Setting::Close_Button() {
  if (!sending_) platform::Stop_Modal(this, 0);
}

void Email_Setting::reject() { Close_Button(); }

void Email_Setting::Reset_Button() {
  if (sending_ ||
      !Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to reset current email settings?")))
    return;
  Delete_File(Preferences::Settings_File_Path());
  for (QLineEdit* edit : {_send_mail_to, _send_mail_sender_mail, _send_mail_smtp, _send_mail_port,
                          _send_mail_password, _send_mail_test_mail})
    edit->clear();
  TLS_Selected();
  Load_Email_Details();
}

void Email_Setting::SSL_Selected() {
  _send_mail_ssl->setChecked(true);
  _send_mail_tls->setChecked(false);
}

void Email_Setting::TLS_Selected() {
  _send_mail_tls->setChecked(true);
  _send_mail_ssl->setChecked(false);
}

void Email_Setting::Show_Create_Modeless() {
  if (isVisible()) plz_wait_Window->show();
}

void Email_Setting::Hide_Destroy_Modeless() { plz_wait_Window->hide(); }
