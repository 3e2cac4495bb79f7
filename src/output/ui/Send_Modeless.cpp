#include "output/ui/Send_Modeless.h"

#include "model/Shared_Design_State.h"
#include "platform/Platform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

Send_Modeless::Send_Modeless(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Send_Models_Window"));
  setWindowTitle(QStringLiteral("Progress"));
  setStyleSheet(QStringLiteral("QDialog { background: rgb(241, 244, 250); }"));
  auto* layout = new QVBoxLayout(this);
  auto* totals = new QHBoxLayout;
  totals->addWidget(new QLabel(QStringLiteral("Total :"), this));
  _tot_msg_cnt = new QLabel(this);
  _tot_msg_cnt->setObjectName(QStringLiteral("_tot_msg_cnt"));
  totals->addWidget(_tot_msg_cnt);
  totals->addStretch(1);
  _curr_msg_cnt = new QLabel(this);
  _curr_msg_cnt->setObjectName(QStringLiteral("_curr_msg_cnt"));
  totals->addWidget(_curr_msg_cnt);
  layout->addLayout(totals);
  _Curr_Progress = new QProgressBar(this);
  _Curr_Progress->setObjectName(QStringLiteral("_Curr_Progress"));
  _Curr_Progress->setTextVisible(false);
  _Curr_Progress->setMinimumWidth(320);
  layout->addWidget(_Curr_Progress);
  auto* bottom = new QHBoxLayout;
  pause_label = new QLabel(this);
  pause_label->setObjectName(QStringLiteral("pause_label"));
  bottom->addWidget(pause_label, 1);
  _stop_btn = new QPushButton(QStringLiteral("Stop"), this);
  _stop_btn->setObjectName(QStringLiteral("_stop_btn"));
  _stop_btn->setAutoDefault(false);
  bottom->addWidget(_stop_btn);
  layout->addLayout(bottom);
  connect(_stop_btn, &QPushButton::clicked, this, &Send_Modeless::Stop_Sending_Pressed);
  msend_modTimer.setInterval(500);
  connect(&msend_modTimer, &QTimer::timeout, this, &Send_Modeless::update_sending_progress_bar);
}

Send_Modeless* Send_Modeless::defaultInstance() {
  static QPointer<Send_Modeless> instance;
  if (!instance) instance = new Send_Modeless;
  return instance;
}

void Send_Modeless::Start_Run(QWidget* owner, int steps, const QString& first_text_format,
                              const QString& stop_question) {
  list_count = steps;
  stop_question_ = stop_question;
  _stop_btn->setEnabled(true);
  _Curr_Progress->setRange(0, std::max(steps, 0));
  _Curr_Progress->setValue(0);
  _tot_msg_cnt->setText(QString::number(steps));
  QString first = first_text_format;
  first.replace(first.indexOf(QLatin1String("%d")), 2, QStringLiteral("0"));
  first.replace(first.indexOf(QLatin1String("%d")), 2, QString::number(steps));
  curr_msg_count = first;
  _curr_msg_cnt->setText(first);
  // A window-modal sheet over the owner's window (closing it is not a way to stop).
  if (owner && parentWidget() != owner) setParent(owner, windowFlags() | Qt::Sheet);
  setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
  show();
  msend_modTimer.start();
  curr_barcode_count = 0;
}

void Send_Modeless::End_Run() {
  msend_modTimer.stop();
  hide();
}

const QString Send_Modeless::Stop_Question = QStringLiteral(
    "Stop now?\n\nYes: the cards already begun are finished and no other is started.\n"
    "No: go on.");

const QString Send_Modeless::Mail_Stop_Question = QStringLiteral(
    "Stop now?\n\nYes: the e-mail under way is given up and no other is sent.\n"
    "No: go on.");

void Send_Modeless::Stop_Sending_Pressed() {
  // No step begins while the question is open, so the answer decides about the rest.
  struct Question_Open {
    Question_Open() { Stop_Question_Open = true; }
    ~Question_Open() { Stop_Question_Open = false; }
  } open;
  if (platform::Yes_No_Box(stop_question_)) Stop_SMS_Sending_Now = true;
}

void Send_Modeless::update_sending_progress_bar() {
  const int current = int(curr_barcode_count.load());
  _Curr_Progress->setValue(std::min(current, _Curr_Progress->maximum()));
  const QString text = QStringLiteral("%1 / %2 ").arg(current).arg(list_count.load());
  curr_msg_count = text;
  _curr_msg_cnt->setText(text);
}
