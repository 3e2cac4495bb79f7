#include "library/ui/Insert_Template.h"

#include "library/ui/Library_Dialog.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

Insert_Template* Insert_Template::defaultInstance() {
  static QPointer<Insert_Template> instance;
  if (!instance) instance = new Insert_Template(Design_Window_Parent());
  return instance;
}

Insert_Template::Insert_Template(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Insert_Template"));
  setModal(true);
  Apply_Library_Dialog_Style(this);
  resize(460, 220);

  msg_value = new QPlainTextEdit(this);
  msg_value->setObjectName(QStringLiteral("msg_value"));
  msg_value->setTabChangesFocus(true);
  const auto make = [this](const QString& text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  Back_btn = make(QStringLiteral("< &Previous"), "Back_btn");
  Next_btn = make(QStringLiteral("N&ext >"), "Next_btn");
  Cancel_btn = make(QStringLiteral("Cancel"), "Cancel_btn");
  OK_btn = make(QStringLiteral("OK"), "OK_btn");
  OK_btn->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addWidget(Back_btn);
  row->addWidget(Next_btn);
  row->addStretch(1);
  row->addWidget(Cancel_btn);
  row->addWidget(OK_btn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(msg_value, 1);
  layout->addLayout(row);

  connect(Back_btn, &QPushButton::clicked, this, &Insert_Template::Msg_Back_Click);
  connect(Next_btn, &QPushButton::clicked, this, &Insert_Template::Msg_Next_Click);
  connect(OK_btn, &QPushButton::clicked, this, &Insert_Template::OKPressed);
  connect(Cancel_btn, &QPushButton::clicked, this, &Insert_Template::CancelPressed);
}

void Insert_Template::show_current() {
  msg_value->setPlainText(picks_title() ? Get_Title() : Get_Message());
}

int Insert_Template::Open_Template_Dialog() {
  Template_Msg_Val.clear();
  greetings.title_index = 0;
  greetings.message_index = 0;
  Load_Msg_And_Title_According_Event();
  setWindowTitle(picks_title() ? QStringLiteral("Choose a Title") : QStringLiteral("Choose a Message"));
  show_current();
  msg_value->setFocus();
  const int code = platform::Run_Modal(this);
  hide();
  return code;
}

void Insert_Template::Msg_Back_Click() {
  if (picks_title())
    greetings.Title_Back();
  else
    greetings.Msg_Back();
  show_current();
}

void Insert_Template::Msg_Next_Click() {
  if (picks_title())
    greetings.Title_Next();
  else
    greetings.Msg_Next();
  show_current();
}

void Insert_Template::OKPressed() {
  Template_Msg_Val = Trim_Str(msg_value->toPlainText());
  if (Template_Msg_Val.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please select message."));
    msg_value->setFocus();
    return;
  }
  platform::Stop_Modal(this, 1);
}

void Insert_Template::CancelPressed() {
  Template_Msg_Val.clear();
  platform::Stop_Modal(this, 0);
}
