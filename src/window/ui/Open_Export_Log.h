#pragma once
// The export result box: names the exported file or folder and offers to open it.

#include <QDialog>

class QCheckBox;
class QLabel;
class QScrollArea;

class Open_Export_Log : public QDialog {
  Q_OBJECT

 public:
  explicit Open_Export_Log(QWidget* parent = nullptr);

  QCheckBox* _open_log_chk = nullptr;
  QLabel* _open_log_path = nullptr;
  QLabel* _open_log_message = nullptr;
  // Holds the message and the path: the box grows with them up to most of the screen,
  // and scrolls past that, so that every line of a long result can be read.
  QScrollArea* _open_log_scroll = nullptr;

  // Sizes the box to its texts (call after setting them, before showing it).
  void Fit_To_Text();

  // What the user is told when the exported file or folder cannot be opened.
  static QString Open_Failure_Message(const QString& path, bool folder);

 public slots:
  // Opens Export_File_Path when the box is ticked, ticks it again, ends the run with 1.
  void OKPressed();
  // Ticks the box again and ends the run with 0.
  void CancelPressed();
  void reject() override { CancelPressed(); }  // closing the box cancels
};
