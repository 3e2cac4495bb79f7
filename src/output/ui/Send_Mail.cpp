#include "output/ui/Send_Mail.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "output/Mail_Settings.h"
#include "output/ui/Email_Setting.h"
#include "output/ui/Mail_Dialog_Support.h"
#include "output/ui/Send_Modeless.h"
#include "platform/Platform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

Send_Mail* Send_Mail::defaultInstance() {
  static QPointer<Send_Mail> instance;
  if (!instance) instance = new Send_Mail;
  return instance;
}

Send_Mail::Send_Mail() {
  Prepare_Mail_Dialog(this, "Send_Mail", QStringLiteral("Send E-mail"));

  auto named = [](QWidget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
  };
  auto button = [&](QPushButton*& b, const char* name, const QString& text) {
    b = Mail_Dialog_Button(this, name, text);
  };
  auto stepper = [&](QSpinBox*& s, const char* name, int low, int high, const QString& suffix) {
    s = new QSpinBox(this);
    named(s, name);
    s->setRange(low, high);
    s->setSuffix(suffix);
  };

  // Sender and recipients.
  from_txt = new QLineEdit(this);
  named(from_txt, "from_txt");
  to_txt = new QLineEdit(this);
  named(to_txt, "to_txt");
  to_txt->setPlaceholderText(QStringLiteral("friend@example.org, another@example.org"));
  button(setting_button, "setting_button", QStringLiteral("SMTP Settings..."));
  auto* from_row = new QHBoxLayout;
  from_row->addWidget(from_txt, 1);
  from_row->addWidget(setting_button);
  auto* addresses = new QFormLayout;
  addresses->addRow(QStringLiteral("From :"), from_row);
  addresses->addRow(QStringLiteral("To :"), to_txt);

  // What to send.
  rd_mail_curr_barcode = new QRadioButton(QStringLiteral("Send the card"), this);
  named(rd_mail_curr_barcode, "rd_mail_curr_barcode");
  rd_without_barcode = new QRadioButton(QStringLiteral("Send a message without the card"), this);
  named(rd_without_barcode, "rd_without_barcode");
  auto* what = new QButtonGroup(this);
  what->addButton(rd_mail_curr_barcode);
  what->addButton(rd_without_barcode);
  connect(rd_mail_curr_barcode, &QRadioButton::clicked, this, &Send_Mail::send_barcode_rd_select);
  connect(rd_without_barcode, &QRadioButton::clicked, this, &Send_Mail::Without_barcode_rd_select);
  auto* what_row = new QHBoxLayout;
  what_row->addWidget(rd_mail_curr_barcode);
  what_row->addWidget(rd_without_barcode);
  what_row->addStretch(1);

  // Card settings.
  send_sett_box = new QGroupBox(QStringLiteral("Card"), this);
  named(send_sett_box, "send_sett_box");
  matrix_card_side = new QButtonGroup(this);
  auto* sides = new QHBoxLayout;
  const char* side_names[] = {"Front and back", "Front", "Back"};
  for (int row = 0; row < 3; ++row) {
    auto* radio = new QRadioButton(QString::fromLatin1(side_names[row]), send_sett_box);
    radio->setObjectName(QStringLiteral("matrix_card_side_%1").arg(row));
    matrix_card_side->addButton(radio, row);
    sides->addWidget(radio);
  }
  sides->addStretch(1);
  connect(matrix_card_side, &QButtonGroup::idClicked, this, &Send_Mail::mail_card_side_CellClick);
  file_name_txt = new QLineEdit(send_sett_box);
  named(file_name_txt, "file_name_txt");
  send_with_batch_chk = new QCheckBox(QStringLiteral("Use data series"), send_sett_box);
  named(send_with_batch_chk, "send_with_batch_chk");
  send_with_excel_chk = new QCheckBox(QStringLiteral("Use spreadsheet columns"), send_sett_box);
  named(send_with_excel_chk, "send_with_excel_chk");
  connect(send_with_batch_chk, &QCheckBox::clicked, this, &Send_Mail::batch_chk_select);
  connect(send_with_excel_chk, &QCheckBox::clicked, this, &Send_Mail::batch_chk_select);
  rd_all_to_every = new QRadioButton(QStringLiteral("Every card to every recipient"), send_sett_box);
  named(rd_all_to_every, "rd_all_to_every");
  rd_one_per_recp = new QRadioButton(QStringLiteral("One card per recipient"), send_sett_box);
  named(rd_one_per_recp, "rd_one_per_recp");
  auto* card_form = new QFormLayout(send_sett_box);
  card_form->addRow(QStringLiteral("Side :"), sides);
  card_form->addRow(QStringLiteral("Picture name :"), file_name_txt);
  auto* sources = new QHBoxLayout;
  sources->addWidget(send_with_batch_chk);
  sources->addWidget(send_with_excel_chk);
  sources->addStretch(1);
  card_form->addRow(QStringLiteral("Records :"), sources);
  auto* batch_modes = new QHBoxLayout;
  batch_modes->addWidget(rd_all_to_every);
  batch_modes->addWidget(rd_one_per_recp);
  batch_modes->addStretch(1);
  card_form->addRow(QStringLiteral("Batch :"), batch_modes);

  // Delayed delivery.
  delayed_delv_chk = new QCheckBox(QStringLiteral("Delayed delivery"), this);
  named(delayed_delv_chk, "delayed_delv_chk");
  connect(delayed_delv_chk, &QCheckBox::clicked, this, &Send_Mail::delayed_delv_chk_select);
  delayed_box = new QGroupBox(QStringLiteral("Pause"), this);
  named(delayed_box, "delayed_box");
  stepper(mail_count_stepper, "mail_count_stepper", 1, 100000, QString());
  stepper(hour_stepper, "hour_stepper", 0, 99, QStringLiteral(" h"));
  stepper(min_stepper, "min_stepper", 0, 59, QStringLiteral(" min"));
  stepper(sec_stepper, "sec_stepper", 0, 59, QStringLiteral(" s"));
  auto* pause_row = new QHBoxLayout(delayed_box);
  pause_row->addWidget(new QLabel(QStringLiteral("After every"), delayed_box));
  pause_row->addWidget(mail_count_stepper);
  pause_row->addWidget(new QLabel(QStringLiteral("steps pause for"), delayed_box));
  pause_row->addWidget(hour_stepper);
  pause_row->addWidget(min_stepper);
  pause_row->addWidget(sec_stepper);
  pause_row->addStretch(1);

  // The message.
  subject_txt = new QLineEdit(this);
  named(subject_txt, "subject_txt");
  message_txt = new QPlainTextEdit(this);
  named(message_txt, "message_txt");
  message_txt->setMinimumHeight(110);
  attachment = new QLineEdit(this);
  named(attachment, "attachment");
  button(browse_att, "browse_att", QStringLiteral("Browse..."));
  button(clear_att, "clear_att", QStringLiteral("Clear"));
  connect(browse_att, &QPushButton::clicked, this, &Send_Mail::browse_att_Button);
  connect(clear_att, &QPushButton::clicked, this, &Send_Mail::clear_att_Button);
  auto* attachment_row = new QHBoxLayout;
  attachment_row->addWidget(attachment, 1);
  attachment_row->addWidget(browse_att);
  attachment_row->addWidget(clear_att);
  auto* message_form = new QFormLayout;
  message_form->addRow(QStringLiteral("Subject :"), subject_txt);
  message_form->addRow(QStringLiteral("Message :"), message_txt);
  message_form->addRow(QStringLiteral("Attachment :"), attachment_row);

  button(close_button, "close_button", QStringLiteral("Close"));
  button(send_button, "send_button", QStringLiteral("Send"));
  send_button->setDefault(true);
  connect(close_button, &QPushButton::clicked, this, &Send_Mail::Close_Button);
  connect(send_button, &QPushButton::clicked, this, &Send_Mail::Send_Button);
  connect(setting_button, &QPushButton::clicked, this, &Send_Mail::Setting_Button);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(close_button);
  buttons->addWidget(send_button);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(addresses);
  layout->addLayout(what_row);
  layout->addWidget(send_sett_box);
  layout->addWidget(delayed_delv_chk);
  layout->addWidget(delayed_box);
  layout->addLayout(message_form, 1);
  layout->addLayout(buttons);
  resize(620, 640);

  send_modls_wnd = Send_Modeless::defaultInstance();
  delayed_box->setEnabled(false);
  Pause_Timer.setInterval(1000);
  connect(&Pause_Timer, &QTimer::timeout, this, &Send_Mail::pause_tick);
}

void Send_Mail::Open_Wnd() { Run_Mail_Dialog(this, [this] { Reset(); }); }

void Send_Mail::Reset() {
  matrix_card_side->button(1)->setChecked(true);
  card_side_str = QStringLiteral("F");
  from_txt->setText(sender_email.get());
  to_txt->clear();
  set_batch_modes_enabled(false);
  rd_without_barcode->setChecked(false);
  rd_mail_curr_barcode->setChecked(true);
  send_sett_box->setEnabled(true);
  file_name_txt->setText(QStringLiteral("ZELKCard"));
  send_with_batch_chk->setEnabled(Use_Data_Sheet_Values);
  send_with_batch_chk->setChecked(false);
  send_with_excel_chk->setEnabled(Use_Excel_Binding_Values);
  send_with_excel_chk->setChecked(false);
  rd_all_to_every->setChecked(true);
  subject_txt->clear();
  message_txt->clear();
  attachment->clear();
  browse_att->setEnabled(false);
  clear_att->setEnabled(false);
  delayed_delv_chk->setChecked(false);
  delayed_box->setEnabled(false);
  mail_count_stepper->setValue(1);
  hour_stepper->setValue(0);
  min_stepper->setValue(0);
  sec_stepper->setValue(0);
}

void Send_Mail::set_batch_modes_enabled(bool enabled) {
  rd_all_to_every->setEnabled(enabled);
  rd_one_per_recp->setEnabled(enabled);
}

void Send_Mail::Close_Button() {
  if (run_ && !run_->isFinished()) return;  // the progress sheet ends a run, not Close
  platform::Stop_Modal(this, 0);
}

void Send_Mail::reject() { Close_Button(); }

void Send_Mail::Setting_Button() {
  Email_Setting::defaultInstance()->Open_Wnd();
  if (hooks.settings_changed) hooks.settings_changed();
  else Load_Email_Details();
  from_txt->setText(sender_email.get());
}

void Send_Mail::browse_att_Button() {
  platform::Open_Panel_Options options;
  options.title = QStringLiteral("Choose a file to attach");
  const QString path = platform::Open_File_Panel(options);
  if (!path.isEmpty()) attachment->setText(path);
}

void Send_Mail::clear_att_Button() { attachment->clear(); }

void Send_Mail::Without_barcode_rd_select() {
  rd_without_barcode->setChecked(true);
  rd_mail_curr_barcode->setChecked(false);
  send_sett_box->setEnabled(false);
  browse_att->setEnabled(true);
  clear_att->setEnabled(true);
}

void Send_Mail::send_barcode_rd_select() {
  if (hooks.batch_check) hooks.batch_check();
  rd_without_barcode->setChecked(false);
  rd_mail_curr_barcode->setChecked(true);
  send_sett_box->setEnabled(true);
  send_with_batch_chk->setEnabled(Use_Data_Sheet_Values);
  if (!Use_Data_Sheet_Values) send_with_batch_chk->setChecked(false);
  send_with_excel_chk->setEnabled(Use_Excel_Binding_Values);
  if (!Use_Excel_Binding_Values) send_with_excel_chk->setChecked(false);
  set_batch_modes_enabled(send_with_batch_chk->isChecked() || send_with_excel_chk->isChecked());
  browse_att->setEnabled(false);
  clear_att->setEnabled(false);
}

void Send_Mail::batch_chk_select() {
  set_batch_modes_enabled(send_with_batch_chk->isChecked() || send_with_excel_chk->isChecked());
}

void Send_Mail::delayed_delv_chk_select() { delayed_box->setEnabled(delayed_delv_chk->isChecked()); }

void Send_Mail::mail_card_side_CellClick(int row) {
  card_side_str = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F") : QStringLiteral("B");
  Show_NSLog_Message(card_side_str);
}

void Send_Mail::Send_Button() {
  if (run_ && !run_->isFinished()) return;  // one run at a time
  Stop_SMS_Sending_Now = false;
  Mail_Form form;
  form.from = from_txt->text();
  form.to = to_txt->text();
  form.card = rd_mail_curr_barcode->isChecked();
  form.picture_name = file_name_txt->text();
  const bool use_series = send_with_batch_chk->isChecked();
  const bool use_sheet = send_with_excel_chk->isChecked();
  form.batch = form.card && (use_series || use_sheet);
  form.all_to_every = rd_all_to_every->isChecked();
  const Mail_Form_Check check = Check_Mail_Form(form);
  if (!check.message.isEmpty()) {
    Show_MessageBox(check.message);
    return;
  }

  // Everything the run needs, taken now: later edits of the dialog, the settings or the
  // design do not reach it.
  Mail_Run_Settings settings;
  settings.mode = Mail_Run_Mode(form);
  settings.side = card_side_str;
  settings.picture_name = check.picture_name;
  settings.recipients = check.recipients;
  settings.message.sender = check.sender;
  settings.message.password = sender_pwd.get();
  settings.message.server = sending_server.get();
  settings.message.port = sending_port.get();
  settings.message.ssl = send_enable_ssl.get();
  settings.message.subject = subject_txt->text();
  settings.message.body = message_txt->toPlainText();
  settings.attachment = attachment->text();
  if (delayed_delv_chk->isChecked()) {
    settings.pauses = Pause_Plan(mail_count_stepper->value(), hour_stepper->value() * 3600000 +
                                                                  min_stepper->value() * 60000 +
                                                                  sec_stepper->value() * 1000);
  }
  Mail_Card_Renderer renderer;
  if (form.card && hooks.prepare_cards) renderer = hooks.prepare_cards(use_series, use_sheet);
  settings.records = Total_Batch_Excel_Card;

  delete run_.data();
  auto* run = new Mail_Sender(std::move(settings), std::move(renderer), this);
  run_ = run;
  connect(run, &Mail_Sender::pause_started, this, &Send_Mail::pause_started);
  connect(run, &Mail_Sender::pause_ended, this, &Send_Mail::pause_ended);
  connect(run, &Mail_Sender::finished, this, [this, batch = form.batch] { run_ended(batch); });
  if (!send_modls_wnd) send_modls_wnd = Send_Modeless::defaultInstance();
  send_modls_wnd->Start_Run(this, run->steps(), QStringLiteral("%d / %d"),
                            Send_Modeless::Mail_Stop_Question);
  run->start();
}

void Send_Mail::pause_started(int pause_ms) {
  if (send_modls_wnd) send_modls_wnd->pause_label->setText(Calculate_Pause_Time(pause_ms));
  Pause_Delay_Time = (pause_ms / 1000 - 1) * 1000;
  Pause_Timer.start();
}

void Send_Mail::pause_tick() {
  if (Pause_Delay_Time <= 0) return;
  if (send_modls_wnd) send_modls_wnd->pause_label->setText(Calculate_Pause_Time(Pause_Delay_Time));
  Pause_Delay_Time -= 1000;
}

void Send_Mail::pause_ended() {
  Pause_Timer.stop();
  Pause_Delay_Time = 0;
  if (send_modls_wnd) send_modls_wnd->pause_label->clear();
}

void Send_Mail::run_ended(bool batch) {
  pause_ended();
  if (send_modls_wnd) send_modls_wnd->End_Run();
  if (batch && hooks.write_back_first_record) hooks.write_back_first_record();
  if (run_) Show_MessageBox(Mail_Result_Message(run_->result()));
}
