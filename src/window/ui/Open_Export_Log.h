#pragma once
// The export result box: names the exported file or folder and offers to open it.

#include <QDialog>

class QCheckBox;
class QLabel;

class Open_Export_Log : public QDialog {
  Q_OBJECT

 public:
  explicit Open_Export_Log(QWidget* parent = nullptr);

  QCheckBox* _open_log_chk = nullptr;
  QLabel* _open_log_path = nullptr;
  QLabel* _open_log_message = nullptr;

 public slots:
  // Opens Export_File_Path when the box is ticked, ticks it again, ends the run with 1.
  void OKPressed();
  // Ticks the box again and ends the run with 0.
  void CancelPressed();
  void reject() override { CancelPressed(); }  // closing the box cancels
};
