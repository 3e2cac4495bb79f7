#include "output/ui/Mail_Dialog_Support.h"

#include "model/Common_Functions.h"
#include "platform/Platform.h"

#include <QDialog>
#include <QPushButton>

#include <exception>

void Prepare_Mail_Dialog(QDialog* dialog, const char* name, const QString& title) {
  dialog->setObjectName(QString::fromLatin1(name));
  dialog->setWindowTitle(title);
  dialog->setStyleSheet(QStringLiteral("QDialog { background: rgb(241, 244, 250); }"));
}

QPushButton* Mail_Dialog_Button(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

int Run_Mail_Dialog(QDialog* dialog, const std::function<void()>& prepare) {
  int code = 0;
  try {
    prepare();
    code = platform::Run_Modal(dialog);
    dialog->hide();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
  }
  return code;
}
