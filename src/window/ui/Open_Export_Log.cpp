#include "window/ui/Open_Export_Log.h"

#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "window/ui/Dialog_Style.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

Open_Export_Log::Open_Export_Log(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Open_Export_Files"));
  setWindowTitle(QStringLiteral("Export"));
  Apply_Dialog_Style(this);

  _open_log_message = new QLabel(this);
  _open_log_message->setObjectName(QStringLiteral("_open_log_message"));
  _open_log_message->setWordWrap(true);
  _open_log_path = new QLabel(this);
  _open_log_path->setObjectName(QStringLiteral("_open_log_path"));
  _open_log_path->setWordWrap(true);
  _open_log_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
  _open_log_chk = new QCheckBox(this);
  _open_log_chk->setObjectName(QStringLiteral("_open_log_chk"));
  _open_log_chk->setChecked(true);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OK_btn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cancel_btn"));
  connect(ok, &QPushButton::clicked, this, &Open_Export_Log::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &Open_Export_Log::CancelPressed);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(_open_log_message);
  layout->addWidget(_open_log_path);
  layout->addWidget(_open_log_chk);
  layout->addLayout(buttons);
  resize(460, 160);
}

void Open_Export_Log::OKPressed() {
  if (_open_log_chk->isChecked()) platform::Open_Url(QUrl::fromLocalFile(Export_File_Path.get()));
  _open_log_chk->setChecked(true);
  platform::Stop_Modal(this, 1);
}

void Open_Export_Log::CancelPressed() {
  _open_log_chk->setChecked(true);
  platform::Stop_Modal(this, 0);
}
