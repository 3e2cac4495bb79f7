#pragma once
// Runs a reader where memory is short: in a forked child whose address space may grow only a
// little past what it has (RLIMIT_AS), so that a reader that builds far more than its input
// fails there with std::bad_alloc (or is killed) instead of taking the machine's memory.

#include <QByteArray>
#include <QString>
#include <QThreadPool>

#include <csignal>
#include <cstdio>
#include <exception>
#include <functional>
#include <new>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// What the child sent back: the answer of `work`, "out of memory" when it ran out, or
// "killed" when it did not end by itself within a minute.
inline QString Run_With_Memory_Limit(qint64 extra_bytes, const std::function<QString()>& work) {
  QThreadPool::globalInstance()->waitForDone();  // the child has none of these threads
  long pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  const qint64 limit = qint64(pages) * sysconf(_SC_PAGESIZE) + extra_bytes;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return QStringLiteral("pipe failed");
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    QByteArray answer;
    const rlimit space{rlim_t(limit), rlim_t(limit)};
    if (pages == 0 || setrlimit(RLIMIT_AS, &space) != 0) {
      answer = "no limit";
    } else {
      try {
        answer = work().toUtf8();
      } catch (const std::bad_alloc&) {
        answer = "out of memory";
      } catch (const std::exception& e) {
        answer = QByteArray("exception: ") + e.what();
      }
    }
    qsizetype done = 0;
    while (done < answer.size()) {
      const ssize_t put = ::write(fds[1], answer.constData() + done, size_t(answer.size() - done));
      if (put <= 0) break;
      done += put;
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  if (child < 0) {
    ::close(fds[0]);
    return QStringLiteral("fork failed");
  }
  QByteArray answer;
  bool ended = false;
  for (int waited = 0; waited < 600 && !ended; ++waited) {
    pollfd poll_fd{fds[0], POLLIN, 0};
    if (::poll(&poll_fd, 1, 100) <= 0) continue;
    char buffer[4096];
    const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
    if (got > 0)
      answer.append(buffer, got);
    else
      ended = true;
  }
  ::close(fds[0]);
  if (!ended) ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!ended || !WIFEXITED(status)) return QStringLiteral("killed");
  return QString::fromUtf8(answer);
}

}  // namespace test_support
