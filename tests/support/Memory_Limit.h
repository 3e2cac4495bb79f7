#pragma once
// Runs a reader where memory is short: in a forked child whose address space may grow only a
// little past what it has (RLIMIT_AS), so that a reader that builds far more than its input
// fails there with std::bad_alloc (or is killed) instead of taking the machine's memory.
// The child has a CPU-time limit, not a wall-clock one (support/Child_Process.h).

#include <QByteArray>
#include <QString>
#include <QThreadPool>

#include <cstdio>
#include <functional>
#include <new>

#include <sys/resource.h>
#include <unistd.h>

#include "support/Child_Process.h"

namespace test_support {

// Address-space limits mean nothing under AddressSanitizer, which reserves terabytes.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemory_Limit_Works = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemory_Limit_Works = false;
#else
constexpr bool kMemory_Limit_Works = true;
#endif
#else
constexpr bool kMemory_Limit_Works = true;
#endif

// What the child sent back: the answer of `work`, "out of memory" when it ran out, or why
// it sent none (Child_Result::describe: a runaway stopped by its CPU-time limit, a crash,
// a deadlock). The parent waits for the child as long as it takes: under load a large case
// takes several times its time on an idle machine, and that is no fault.
inline QString Run_With_Memory_Limit(qint64 extra_bytes, const std::function<QString()>& work) {
  QThreadPool::globalInstance()->waitForDone();  // before the size is taken
  long pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  const qint64 limit = qint64(pages) * sysconf(_SC_PAGESIZE) + extra_bytes;
  const Child_Result child = Run_In_Child([&]() -> QByteArray {
    const rlimit space{rlim_t(limit), rlim_t(limit)};
    if (pages == 0 || setrlimit(RLIMIT_AS, &space) != 0) return "no limit";
    try {
      return work().toUtf8();
    } catch (const std::bad_alloc&) {
      return "out of memory";
    }
  });
  return child.describe();
}

}  // namespace test_support
