#pragma once
// The long message dialog: help texts too long for an alert (one button), and questions
// with an optional apply-to-all check box (two buttons).
//
// Help text: set Cutom_Msg_Title and Cutom_Msg_Val, leave title_val null, open.
// Question: set title_val, msg_val_str and apply_chk_show, open, then read the answer and
// Msg_Apply_All_Chk. The dialog keeps these fields between openings: it stays in question
// form until a caller sets title_val back to a null string.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class Long_SMS_Dlg : public QDialog {
  Q_OBJECT

 public:
  // The one dialog of the process, created on first use.
  static Long_SMS_Dlg* defaultInstance();

  // Runs the dialog modally: 1 for the first button, 0 for the second (or closing it).
  int Open_Long_sms_Dialog();

  QLabel* _Msg_Title = nullptr;
  QPlainTextEdit* _Msg_Val = nullptr;
  QCheckBox* apply_chk = nullptr;
  QPushButton* yes_button = nullptr;
  QPushButton* no_button = nullptr;

  QString title_val;  // null: a help text
  QString msg_val_str;
  bool apply_chk_show = false;

 public slots:
  // Leaves the apply-to-all state in Msg_Apply_All_Chk, then ends the run with 1.
  void OKPressed();
  // Ends the run with 0; Msg_Apply_All_Chk keeps its value.
  void CancelPressed();
  // Escape and the window's close button answer like the second button.
  void reject() override;

 private:
  Long_SMS_Dlg();
};
