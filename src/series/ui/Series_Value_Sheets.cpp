#include "series/ui/Series_Value_Sheets.h"

#include "model/Common_Functions.h"
#include "platform/Platform.h"
#include "series/ui/Series_Dialog_Parts.h"
#include "series/ui/Series_List_Model.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Update_Ex_Num::Update_Ex_Num(Series_List_Model* values, QWidget* parent)
    : QDialog(parent), values_(values) {
  setObjectName(QStringLiteral("Update_Value_Wnd"));
  setWindowTitle(QStringLiteral("Update Value"));
  Series_Dialog_Background(this);
  m_ex_num_index = Named_Field("Update_m_ex_num_index", this);
  m_ex_num_index->hide();
  m_s_number = Named_Field("Update_m_s_number", this);
  m_s_number->setReadOnly(true);
  m_ex_num_str = Named_Field("Update_m_ex_num_str", this);
  m_ex_num_str->setMinimumWidth(320);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Current value:"), m_s_number);
  form->addRow(QStringLiteral("New value:"), m_ex_num_str);
  QPushButton* ok = Named_Button(QStringLiteral("OK"), "OK_btn", this);
  QPushButton* cancel = Named_Button(QStringLiteral("Cancel"), "Cancel_btn", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &Update_Ex_Num::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &Update_Ex_Num::CancelPressed);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(m_ex_num_index);
  layout->addLayout(buttons);
}

void Update_Ex_Num::Clear_Fields() {
  m_ex_num_index->clear();
  m_ex_num_str->clear();
  m_s_number->clear();
}

void Update_Ex_Num::OKPressed() {
  if (m_ex_num_str->text() == m_s_number->text()) {
    platform::Stop_Modal(this, 1);
    return;
  }
  const QString value = Trim_Str(m_ex_num_str->text());
  if (value.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please enter a valid value."));
    m_ex_num_str->setFocus();
    return;
  }
  bool ok = false;
  const qint64 row = m_ex_num_index->text().toLongLong(&ok);
  if (!ok || row < 0 || row >= values_->count()) {
    Show_NSLog_Message(QStringLiteral("The edited value's row %1 is not in the list of %2 values.")
                           .arg(m_ex_num_index->text())
                           .arg(values_->count()));
    Clear_Fields();
    platform::Stop_Modal(this, 0);
    return;
  }
  values_->replace(row, value);
  Clear_Fields();
  platform::Stop_Modal(this, 1);
}

void Update_Ex_Num::CancelPressed() {
  Clear_Fields();
  platform::Stop_Modal(this, 0);
}

Load_Num_Info::Load_Num_Info(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Load_Number_Window"));
  setWindowTitle(QStringLiteral("Add Values"));
  Series_Dialog_Background(this);
  auto* text = new QLabel(
      QStringLiteral("The list already holds values. Do you want to clear the list first?\n"
                     "Yes clears it, No adds the new values after the present ones."),
      this);
  text->setWordWrap(true);
  QPushButton* yes = Named_Button(QStringLiteral("Yes"), "YES_btn", this);
  QPushButton* no = Named_Button(QStringLiteral("No"), "NO_btn", this);
  QPushButton* cancel = Named_Button(QStringLiteral("Cancel"), "Cancel_btn", this);
  yes->setDefault(true);
  connect(yes, &QPushButton::clicked, this, &Load_Num_Info::YESPressed);
  connect(no, &QPushButton::clicked, this, &Load_Num_Info::NOPressed);
  connect(cancel, &QPushButton::clicked, this, &Load_Num_Info::CancelPressed);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addWidget(no);
  buttons->addWidget(yes);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(buttons);
}

void Load_Num_Info::YESPressed() { platform::Stop_Modal(this, Yes); }
void Load_Num_Info::NOPressed() { platform::Stop_Modal(this, No); }
void Load_Num_Info::CancelPressed() { platform::Stop_Modal(this, Cancel); }
