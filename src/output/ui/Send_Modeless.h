#pragma once
// The progress sheet of batch export and e-mail sending: total steps, current step, a
// bar, a pause text and a Stop button. A window-modal dialog over the window that runs
// the batch; its bar and current label are refreshed every 0.5 s by a timer on the GUI
// thread from the shared counters (curr_barcode_count, list_count), which the workers
// write. Stop asks whether to stop through the platform seam, the question saying what
// each answer does; while it is open Stop_Question_Open holds the workers before their next
// step; Yes sets Stop_SMS_Sending_Now, which they test before each step.

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

class Send_Modeless : public QDialog {
  Q_OBJECT

 public:
  explicit Send_Modeless(QWidget* parent = nullptr);

  // The one sheet (made on first use, GUI thread).
  static Send_Modeless* defaultInstance();

  QLabel* _tot_msg_cnt = nullptr;
  QLabel* _curr_msg_cnt = nullptr;
  QProgressBar* _Curr_Progress = nullptr;
  QPushButton* _stop_btn = nullptr;
  QLabel* pause_label = nullptr;
  QTimer msend_modTimer;  // the 0.5 s refresh while a run shows the sheet

  // The stop questions: of an export (the cards begun are finished) and of a mail run (the
  // e-mail under way is given up).
  static const QString Stop_Question;
  static const QString Mail_Stop_Question;

  // Start of a run: list_count = steps, the stop button enabled, the bar 0 .. steps at 0,
  // the total label "%d", the current label (and curr_msg_count) the first text filled
  // with 0 and steps ("%d / %d Card" for export, "%d / %d" for e-mail); then the sheet is
  // shown window-modal over `owner` and the refresh starts; curr_barcode_count = 0. Stop
  // asks `stop_question`.
  void Start_Run(QWidget* owner, int steps, const QString& first_text_format,
                 const QString& stop_question = Stop_Question);
  // End of a run: the refresh stops and the sheet is hidden (no final refresh).
  void End_Run();

 public slots:
  // The Stop button: asks the run's stop question; Yes stops the run, No changes nothing.
  void Stop_Sending_Pressed();
  // One refresh: the bar at curr_barcode_count, the label "%d / %d " of it and list_count.
  void update_sending_progress_bar();
  // Escape does not close the sheet: only the run ends it.
  void reject() override {}

 private:
  QString stop_question_ = Stop_Question;
};
