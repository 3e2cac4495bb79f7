#pragma once
// The batch image export: one card file (or a front and a back file) per record, written
// in parallel by worker threads, each with its own Record_Renderer and PNG encoder.
//
// Made and started on the GUI thread. Workers pull the next record number from a shared
// counter (one record per worker in flight), test the stop flags before each record,
// render, encode and write; they never touch widgets, the live design or the platform
// seam. A record whose picture or file fails leaves no file (not even part of one) and is
// collected with its reason; the run goes on. The progress counter curr_barcode_count
// holds the number of the latest record begun (1-based). When the last worker has ended,
// finished() is delivered on the GUI thread.

#include "output/Card_Picture_File.h"
#include "output/Record_Renderer.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

struct Batch_Export_Options {
  QString folder;        // where the files go (see Batch_Output_Folder)
  QString side = QStringLiteral("F");  // "BOTH", "F" or anything else for the back
  bool combined = false;  // with "BOTH": one picture, the front above the back
  QString ext = QStringLiteral("png");  // the files' extension (the data is PNG whatever it says)
  int threads = 0;        // 0: one per core
};

struct Batch_Export_Failure {
  int record = 0;  // counted from 0
  QString reason;
};

struct Batch_Export_Result {
  int count = 0;      // records of the run
  int done = 0;       // records worked on (all of them unless stopped)
  int failed = 0;     // records with a file that could not be made
  std::vector<Batch_Export_Failure> failures;  // sorted by record; at most 10 kept
  bool stopped = false;
};

// The folder "ZELK Festival Greeting Card" inside the chosen one, created with its
// missing parents and default permissions (an existing one is used as it is); empty when
// it cannot be made.
QString Batch_Output_Folder(const QString& chosen);

// The result line of the after-export box: "Card has been exported successfully." when
// every record was written, else how many records failed, the first record numbers
// (counted from 1) and the first reason.
QString Batch_Result_Message(const Batch_Export_Result& result);

class Batch_Export : public QObject {
  Q_OBJECT

 public:
  // Makes one renderer per worker from the prototype (GUI thread).
  Batch_Export(const Record_Renderer& prototype, Batch_Export_Options options,
               QObject* parent = nullptr);
  // Stops the run and waits for the records in flight (workers never wait for the GUI
  // thread, so this cannot hang).
  ~Batch_Export() override;

  void start();
  bool isFinished() const { return finished_; }
  // Waits for the end of the run while serving the event loop (questions, timers, the
  // progress sheet go on).
  void waitForFinished();
  // Asks the workers to start no further record.
  void stop() { stop_ = true; }
  // Valid once finished.
  const Batch_Export_Result& result() const { return result_; }

 signals:
  void finished();

 private:
  // What one worker thread owns and reuses from record to record.
  struct Worker {
    Record_Renderer renderer;
    Card_PNG_Encoder encoder;
  };
  void work(Worker& worker);
  bool export_record(Worker& worker, int record, QString* reason);
  void worker_done();

  Batch_Export_Options options_;
  std::vector<std::unique_ptr<Worker>> workers_;
  QThreadPool pool_;
  int count_ = 0;
  std::atomic<int> next_{0};
  std::atomic<int> done_{0};
  std::atomic<int> active_{0};
  std::atomic<bool> stop_{false};
  std::mutex failures_mutex_;
  std::vector<Batch_Export_Failure> failures_;
  int failed_ = 0;
  Batch_Export_Result result_;
  bool finished_ = false;
};
