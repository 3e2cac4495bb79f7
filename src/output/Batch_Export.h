#pragma once
// The batch image export: one card file (or a front and a back file) per record, written
// in parallel by worker threads, each with its own Record_Renderer and encoder, in the
// chosen type (PNG, JPEG, TIFF or BMP) at the chosen resolution.
//
// Made and started on the GUI thread. Workers pull the next record number from a shared
// counter (one record per worker in flight), test the stop flags before each record and
// hold while the stop question is open, render, encode and write; they never touch
// widgets, the live design or the platform seam. What goes wrong is collected as values:
// a record whose picture or file fails leaves no file (not even part of one), a record
// drawn without a bound picture (its file missing) or barcode is written and named; the
// run goes on, and the GUI thread shows the result once. The progress counter
// curr_barcode_count holds the number of the latest record begun (1-based). When the last
// worker has ended, finished() is delivered on the GUI thread.
//
// The workers run on a platform::Worker_Pool: quitting stops and waits for them, and the
// destructor waits serving the seam.

#include "output/Card_Picture_File.h"
#include "output/Record_Renderer.h"
#include "platform/Thread_Handover.h"
#include "platform/Worker_Runs.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

struct Batch_Export_Options {
  QString folder;        // where the files go (see Batch_Output_Folder)
  QString side = QStringLiteral("F");  // "BOTH", "F" or anything else for the back
  bool combined = false;  // with "BOTH": one picture, the front above the back
  Card_File_Type type = Card_File_Type::PNG;  // the files' data; their extension is its title
  int threads = 0;        // 0: one per core (fewer for large card pictures)
};

// One record the result names, with what happened to it.
struct Batch_Export_Failure {
  int record = 0;  // counted from 0
  QString reason;
};

struct Batch_Export_Result {
  int count = 0;      // records of the run
  int done = 0;       // records worked on (all of them unless stopped)
  int written = 0;    // records whose files were all written
  int failed = 0;     // records with a file that could not be made
  std::vector<Batch_Export_Failure> failures;  // sorted by record; at most 10 kept
  // Records written without a bound picture or barcode; the reason names the first
  // missing picture file (or why the barcode could not be drawn).
  int incomplete = 0;
  std::vector<Batch_Export_Failure> incomplete_records;  // sorted by record; at most 10 kept
  bool stopped = false;  // Stop ended the run before its last record was begun
};

// The folder "ZELK Festival Greeting Card" inside the chosen one, created with its
// missing parents and default permissions (an existing one is used as it is); empty, with
// the reason in *why, when it cannot be made or is a symbolic link (the program writes its
// card files into no linked folder).
QString Batch_Output_Folder(const QString& chosen, QString* why = nullptr);

// The result line of the after-export box: "Card has been exported successfully." when
// every record was written whole; otherwise one paragraph for each of: the run was
// stopped (how many cards were written), records that failed, records written without a
// picture whose file is missing — each with the count, the first record numbers (counted
// from 1) and the first reason or path.
QString Batch_Result_Message(const Batch_Export_Result& result);

// The picture files that picture objects of the lists name and that are gone (no regular
// file there), each once, in list order. Objects bound to a series or column are left out:
// their files change per record and are named per record.
QStringList Missing_Picture_Files(const std::vector<const Graphic_List*>& lists);
// The export's result line with a paragraph naming those files (their frames are empty on
// every card) in place of "Card has been exported successfully."; the line as it was when
// no file is missing.
QString With_Missing_Picture_Files(const QString& message, const QStringList& files);

class Batch_Export : public QObject {
  Q_OBJECT

 public:
  // Makes one renderer per worker from the prototype (GUI thread). The prototype's
  // resolution is the pictures' resolution.
  Batch_Export(const Record_Renderer& prototype, Batch_Export_Options options,
               QObject* parent = nullptr);
  // Stops the run and waits for the records in flight, serving the workers' calls through
  // the seam meanwhile.
  ~Batch_Export() override;

  void start();
  bool isFinished() const { return finished_; }
  // Waits for the end of the run while serving the event loop (questions, timers, the
  // progress sheet go on).
  void waitForFinished();
  // Asks the workers to start no further record.
  void stop() { pool_.Stop(); }
  // Valid once finished.
  const Batch_Export_Result& result() const { return result_; }
  // The worker threads of the run: one per core (or as many as asked), no more than
  // records, and fewer for large card pictures (Record_Renderer::Threads_For_Pictures).
  int threads() const { return int(workers_.size()); }

 signals:
  void finished();

 private:
  // What one worker thread owns and reuses from record to record.
  struct Worker {
    Record_Renderer renderer;
    Card_Picture_Encoder encoder;
  };
  // Outcome of one record.
  struct Record_Outcome {
    bool written = false;
    QString reason;      // why it was not written
    QString incomplete;  // what is missing from a written record
  };
  void work(Worker& worker);
  // False when the run is to stop; holds while the stop question is open.
  bool may_begin_record();
  Record_Outcome export_record(Worker& worker, int record);
  void worker_done();

  Batch_Export_Options options_;
  // Why every record fails at once (combined pictures too large for a run); "" otherwise.
  QString refusal_;
  std::vector<std::unique_ptr<Worker>> workers_;
  int count_ = 0;
  std::atomic<int> next_{0};
  std::atomic<int> done_{0};
  std::atomic<int> written_{0};
  std::atomic<int> active_{0};
  std::mutex failures_mutex_;
  std::vector<Batch_Export_Failure> failures_;
  int failed_ = 0;
  std::vector<Batch_Export_Failure> incomplete_;
  int incomplete_count_ = 0;
  Batch_Export_Result result_;
  bool finished_ = false;
  platform::Call_Target calls_;  // the workers' end reaches the GUI thread through it
  // Last: destroyed first, so the workers have ended before anything they use goes.
  platform::Worker_Pool pool_;
};
