#include "window/ui/Long_SMS_Dlg.h"

#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "window/ui/Dialog_Style.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
Long_SMS_Dlg* Long_SMS_DefaultInstance = nullptr;
}

Long_SMS_Dlg* Long_SMS_Dlg::defaultInstance() {
  if (!Long_SMS_DefaultInstance) Long_SMS_DefaultInstance = new Long_SMS_Dlg;
  return Long_SMS_DefaultInstance;
}

Long_SMS_Dlg::Long_SMS_Dlg() {
  setObjectName(QStringLiteral("Long_SMS_Dlg"));
  Apply_Dialog_Style(this);
  resize(520, 380);

  _Msg_Title = new QLabel(this);
  _Msg_Title->setObjectName(QStringLiteral("_Msg_Title"));
  QFont bold = _Msg_Title->font();
  bold.setBold(true);
  _Msg_Title->setFont(bold);
  _Msg_Title->setWordWrap(true);

  _Msg_Val = new QPlainTextEdit(this);
  _Msg_Val->setObjectName(QStringLiteral("_Msg_Val"));
  _Msg_Val->setReadOnly(true);

  apply_chk = new QCheckBox(QStringLiteral("Apply to all"), this);
  apply_chk->setObjectName(QStringLiteral("apply_chk"));

  yes_button = new QPushButton(QStringLiteral("OK"), this);
  yes_button->setObjectName(QStringLiteral("yes_button"));
  yes_button->setDefault(true);
  no_button = new QPushButton(QStringLiteral("No"), this);
  no_button->setObjectName(QStringLiteral("no_button"));
  connect(yes_button, &QPushButton::clicked, this, &Long_SMS_Dlg::OKPressed);
  connect(no_button, &QPushButton::clicked, this, &Long_SMS_Dlg::CancelPressed);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(apply_chk);
  buttons->addStretch(1);
  buttons->addWidget(no_button);
  buttons->addWidget(yes_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(_Msg_Title);
  layout->addWidget(_Msg_Val, 1);
  layout->addLayout(buttons);
}

int Long_SMS_Dlg::Open_Long_sms_Dialog() {
  const bool help_text = title_val.isNull();
  if (help_text) {
    _Msg_Title->setText(Cutom_Msg_Title);
    _Msg_Val->setPlainText(Cutom_Msg_Val);
    yes_button->setText(QStringLiteral("OK"));
    no_button->setHidden(true);
  } else {
    _Msg_Title->setText(title_val);
    _Msg_Val->setPlainText(msg_val_str);
    yes_button->setText(QStringLiteral("Yes"));
    no_button->setHidden(false);
  }
  setWindowTitle(_Msg_Title->text());
  apply_chk->setHidden(!apply_chk_show);
  const int code = platform::Run_Modal(this);
  hide();
  return code;
}

void Long_SMS_Dlg::OKPressed() {
  Msg_Apply_All_Chk = apply_chk->isChecked();
  platform::Stop_Modal(this, 1);
}

void Long_SMS_Dlg::CancelPressed() { platform::Stop_Modal(this, 0); }

void Long_SMS_Dlg::reject() { CancelPressed(); }
