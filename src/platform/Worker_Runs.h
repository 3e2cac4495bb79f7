#pragma once
// Runs of worker threads and the end of the process: every run of workers (a batch export's
// pool, a mail run's thread, a print run) is registered for as long as it exists, so that
// quitting and Terminate can ask all of them to stop and wait until each has ended before
// anything the workers use is torn down.
//
// The waits here are those of Platform.h: on the main thread they serve the calls workers
// make through the seam, so a worker waiting for an answer never holds up its own end.
//
//   // A pool of one's own (a batch export, a print run):
//   platform::Worker_Pool pool(threads);
//   pool.Start([&] { while (!pool.Stopping() && ...) work_one(); });
//   ...                                    // the destructor stops it and waits, serving
//
//   // A thread of one's own (the mail run): registered beside it.
//   platform::Running_Work running([this] { cancel_ = true; },
//                                  [this] { return !thread_ || thread_->isFinished(); });

#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

namespace platform {

// Registers one run for as long as this object exists (make and destroy it on the main
// thread). stop asks the run's workers to begin nothing new: called on the main thread, it
// must not block. finished answers true once none of the run's workers is running.
class Running_Work {
 public:
  Running_Work(std::function<void()> stop, std::function<bool()> finished);
  ~Running_Work();
  Running_Work(const Running_Work&) = delete;
  Running_Work& operator=(const Running_Work&) = delete;

  struct Entry;

 private:
  std::shared_ptr<Entry> entry_;
};

// Main thread: asks every registered run to stop, then waits until each has finished and
// the global thread pool is idle, serving the workers' calls through the seam meanwhile.
// False when timeout_ms (>= 0) ran out first.
bool Stop_All_Work(int timeout_ms = -1);
// Runs registered now.
int Running_Work_Count();

// The end of the process, for main after its event loop and for Terminate: begins shutdown
// (workers are answered at once from now on), stops every run and waits for all of them,
// saying on standard error what it still waits for after a few seconds. Main thread only;
// never from a worker (it would wait for itself).
void Finish_Work_Before_Exit();

// A thread pool that is a registered run: Stop() sets the flag its tasks test before each
// piece of work (Stopping()), and the destructor stops the pool and waits for its tasks,
// serving the seam. Use it instead of a plain QThreadPool for work that renders or paints.
class Worker_Pool {
 public:
  explicit Worker_Pool(int threads);
  ~Worker_Pool();
  Worker_Pool(const Worker_Pool&) = delete;
  Worker_Pool& operator=(const Worker_Pool&) = delete;

  void Start(std::function<void()> task);
  // Asks the tasks to begin nothing new (any thread).
  void Stop() { stop_ = true; }
  bool Stopping() const { return stop_; }
  // True once no task runs or waits.
  bool Finished();
  // Waits for every task, serving the seam on the main thread; false on timeout.
  bool Wait(int timeout_ms = -1);

 private:
  QThreadPool pool_;
  std::atomic<bool> stop_{false};
  Running_Work running_;
};

}  // namespace platform
