#pragma once
// The please-wait sheet that covers the design window while long work runs.

#include <QDialog>

class QLabel;

class PleaseWait_Modeless : public QDialog {
  Q_OBJECT

 public:
  explicit PleaseWait_Modeless(QWidget* parent = nullptr);

  QLabel* modeless_msg_lbl = nullptr;

 protected:
  void reject() override {}  // the work in progress decides when the sheet goes
};
