#pragma once
// The greeting picker: shows one title or one message of the current festival
// (Event_Type) at a time, lets the user step through them and edit the shown text, and
// hands the chosen text back in Template_Msg_Val.

#include "library/Greeting_Library.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class Insert_Template : public QDialog {
  Q_OBJECT

 public:
  static Insert_Template* defaultInstance();

  QString title_or_msg = QStringLiteral("M");  // "T" picks a title; set by the caller

  // Runs the picker modally from entry 0 of the current festival: 1 after OK (the text,
  // trimmed, in Template_Msg_Val), 0 after Cancel (Template_Msg_Val empty).
  int Open_Template_Dialog();
  void Msg_Back_Click();
  void Msg_Next_Click();
  void OKPressed();
  void CancelPressed();
  QString Get_Title() const { return greetings.Get_Title(); }
  QString Get_Message() const { return greetings.Get_Message(); }
  void Load_Msg_And_Title_According_Event() { greetings.Load_Msg_And_Title_According_Event(); }
  void reject() override { CancelPressed(); }

  Greeting_Lists greetings;
  QPlainTextEdit* msg_value = nullptr;
  QPushButton *Back_btn = nullptr, *Next_btn = nullptr, *OK_btn = nullptr, *Cancel_btn = nullptr;

 private:
  explicit Insert_Template(QWidget* parent = nullptr);
  bool picks_title() const { return title_or_msg == QLatin1String("T"); }
  void show_current();
};
