#pragma once
// Ends the test program with a message when a scope is not left within the deadlock guard,
// so a deadlock fails the run instead of hanging it. Use the default: the guard is no
// judgement of speed (support/Deadlock_Guard.h).

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "support/Deadlock_Guard.h"

namespace test_support {

class Watchdog {
 public:
  explicit Watchdog(const char* what, std::chrono::seconds limit = kDeadlock_Guard)
      : thread_([this, what, limit] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (cv_.wait_for(lock, limit, [this] { return disarmed_; })) return;
          std::fprintf(stderr, "Watchdog: \"%s\" did not finish within %lld s (deadlock?)\n", what,
                       static_cast<long long>(limit.count()));
          std::fflush(stderr);
          std::_Exit(3);
        }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      disarmed_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool disarmed_ = false;
  std::thread thread_;  // last: starts after the fields it uses
};

}  // namespace test_support
