#include "platform/Worker_Runs.h"

#include "platform/Platform.h"
#include "platform/Thread_Handover.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

namespace platform {

struct Running_Work::Entry {
  std::function<void()> stop;
  std::function<bool()> finished;
  std::mutex mutex;  // held while stop or finished runs and while the owner unregisters
  bool registered = true;
};

namespace {

std::mutex registry_mutex;
std::vector<std::shared_ptr<Running_Work::Entry>>& registry() {
  static auto* entries = new std::vector<std::shared_ptr<Running_Work::Entry>>;  // never destroyed:
  return *entries;  // a run may still unregister while static objects go
}

std::vector<std::shared_ptr<Running_Work::Entry>> registered_runs() {
  std::lock_guard<std::mutex> lock(registry_mutex);
  return registry();
}

bool all_finished() {
  for (const auto& entry : registered_runs()) {
    std::lock_guard<std::mutex> lock(entry->mutex);
    if (entry->registered && entry->finished && !entry->finished()) return false;
  }
  if (!QThreadPool::globalInstance()->waitForDone(0)) return false;
  Pool_Joined(*QThreadPool::globalInstance());
  return true;
}

}  // namespace

Running_Work::Running_Work(std::function<void()> stop, std::function<bool()> finished)
    : entry_(std::make_shared<Entry>()) {
  entry_->stop = std::move(stop);
  entry_->finished = std::move(finished);
  std::lock_guard<std::mutex> lock(registry_mutex);
  registry().push_back(entry_);
}

Running_Work::~Running_Work() {
  {
    std::lock_guard<std::mutex> lock(entry_->mutex);
    entry_->registered = false;
  }
  std::lock_guard<std::mutex> lock(registry_mutex);
  auto& entries = registry();
  entries.erase(std::remove(entries.begin(), entries.end(), entry_), entries.end());
}

bool Stop_All_Work(int timeout_ms) {
  for (const auto& entry : registered_runs()) {
    std::lock_guard<std::mutex> lock(entry->mutex);
    if (entry->registered && entry->stop) entry->stop();
  }
  return Wait_Serving_Workers(all_finished, timeout_ms);
}

int Running_Work_Count() {
  std::lock_guard<std::mutex> lock(registry_mutex);
  return int(registry().size());
}

void Finish_Work_Before_Exit() {
  Begin_Shutdown();
  if (Stop_All_Work(5000)) return;
  std::fprintf(stderr, "lumigrove: waiting for %d runs of workers and %d background tasks to end\n",
               Running_Work_Count(), QThreadPool::globalInstance()->activeThreadCount());
  Stop_All_Work();
}

// ---- Worker_Pool -----------------------------------------------------------------------------

Worker_Pool::Worker_Pool(int threads)
    : running_([this] { stop_ = true; }, [this] { return pool_.waitForDone(0); }) {
  pool_.setMaxThreadCount(std::max(1, threads));
}

Worker_Pool::~Worker_Pool() {
  Stop();
  Wait();
}

void Worker_Pool::Start(std::function<void()> task) { Start_Task(pool_, std::move(task)); }

bool Worker_Pool::Finished() {
  if (!pool_.waitForDone(0)) return false;
  Pool_Joined(pool_);
  return true;
}

bool Worker_Pool::Wait(int timeout_ms) { return Wait_For_Pool(pool_, timeout_ms); }

}  // namespace platform
