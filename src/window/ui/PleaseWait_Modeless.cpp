#include "window/ui/PleaseWait_Modeless.h"

#include "window/ui/Dialog_Style.h"

#include <QLabel>
#include <QVBoxLayout>

PleaseWait_Modeless::PleaseWait_Modeless(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("plz_wait_Window"));
  Apply_Dialog_Style(this);
  setWindowModality(Qt::WindowModal);
  modeless_msg_lbl = new QLabel(this);
  modeless_msg_lbl->setObjectName(QStringLiteral("modeless_msg_lbl"));
  modeless_msg_lbl->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(modeless_msg_lbl);
  resize(360, 90);
}
