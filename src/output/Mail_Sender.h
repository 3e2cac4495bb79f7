#pragma once
// The mail run: one worker thread that renders the cards of a run into a private
// temporary folder and delivers every e-mail by one run of the mail script, with delivery
// pauses and cooperative stop.
//
// Made and started on the GUI thread from a snapshot of every input taken at Send (the
// form, the SMTP settings, and a card renderer that owns copies of the design). The worker
// never touches widgets, the live design or the platform seam; it writes the progress
// counter curr_barcode_count and tests Stop_SMS_Sending_Now before each step and during
// pauses; a stop (or the end of the process) also ends the mail script under way at once. Pauses are announced to the GUI thread (pause_started / pause_ended), which
// counts the label down. finished() is delivered on the GUI thread; the pictures are gone
// by then, also after a stop or a failure.

#include "model/Picture.h"
#include "output/Mail_Plan.h"
#include "output/Mail_Script.h"
#include "platform/Worker_Runs.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

// The card picture of record k (record < 0: the design as it is) of the front (0) or the
// back (1); null with the reason when it cannot be made. Called on the worker thread only.
using Mail_Card_Renderer = std::function<Picture(int record, int side, QString* reason)>;

struct Mail_Run_Settings {
  Mail_Mode mode = Mail_Mode::Card;
  QString side = QStringLiteral("F");  // "BOTH" (back attached first), "F" or "B"
  QString picture_name = QStringLiteral("ZELKCard");
  int records = 0;  // batch modes
  QStringList recipients;
  Mail_Message message;  // sender, password, server, port, SSL flag, subject, body
  QString attachment;    // no-card mode: a file to attach when it exists
  Pause_Plan pauses;
  int script_time_limit_ms = Mail_Script_Time_Limit_ms;
  QString script = Mail_Script_Path();  // taken where the settings are made (GUI thread)
};

struct Mail_Run_Result {
  int steps = 0;
  int planned = 0;  // e-mails the whole run would send
  int calls = 0;  // mail script calls made
  int sent = 0;
  bool last_sent = false;  // the last call sent its e-mail
  bool stopped = false;
  QString failure;  // why the last call failed
  QList<int> skipped;       // records (from 0) whose card could not be made
  QString skipped_reason;   // the first one's reason
};

// The result box: after a stop, that the run was stopped and how many e-mails of those
// planned were sent; otherwise the success text, or the failure text followed by the
// script's reason; then the records that could not be made (numbered from 1) when there
// were any.
QString Mail_Result_Message(const Mail_Run_Result& result);

// Every run keeps its card pictures in "lumigrove-mail-<process id>-XXXXXX" in the
// temporary folder and removes it at its end. At start-up this removes the folders of
// this user's runs whose process is gone (killed, crashed); others' and live ones stay.
void Remove_Abandoned_Mail_Folders();

class Mail_Sender : public QObject {
  Q_OBJECT

 public:
  Mail_Sender(Mail_Run_Settings settings, Mail_Card_Renderer renderer, QObject* parent = nullptr);
  // Stops the run (ending the e-mail under way) and waits for the worker.
  ~Mail_Sender() override;

  // Starts the worker; list_count and curr_barcode_count are the caller's to show.
  void start();
  int steps() const { return result_.steps; }
  bool isFinished() const { return finished_; }
  // Waits for the end while serving the event loop.
  void waitForFinished();
  // Valid once finished.
  const Mail_Run_Result& result() const { return result_; }
  // The run's private picture folder (removed at its end).
  QString picture_folder() const { return folder_path_; }

 signals:
  void pause_started(int pause_ms);
  void pause_ended();
  void finished();

 private:
  void work();
  bool render_and_save(int record, QStringList* files);
  bool send_to(const QString& recipient, const QStringList& files);
  bool more_to_send(int step) const;
  void pause(int seconds);
  void worker_done();

  Mail_Run_Settings settings_;
  Mail_Card_Renderer renderer_;
  std::unique_ptr<QTemporaryDir> folder_;
  QString folder_path_;
  QThread* thread_ = nullptr;
  std::atomic<bool> cancel_{false};
  Mail_Run_Result result_;  // written by the worker until it ends, then read on the GUI thread
  bool finished_ = false;
  // Quitting stops the run and waits for it (platform/Worker_Runs.h).
  platform::Running_Work running_{[this] { cancel_ = true; },
                                  [this] { return !thread_ || thread_->isFinished(); }};
};
