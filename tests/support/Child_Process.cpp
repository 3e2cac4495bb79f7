#include "support/Child_Process.h"

#include "support/Deadlock_Guard.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <exception>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test_support {

namespace {

void write_all(int fd, const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return;
    done += put;
  }
}

// A forked child has none of the parent's threads, but Qt's thread pools would still hand
// work to the idle threads they remember (Qt's own image scaling uses a pool of the
// application), and the child would wait for them for ever. Emptied first, the pools
// start threads of their own in the child.
void empty_thread_pools() {
  QThreadPool::globalInstance()->waitForDone();
  if (QCoreApplication* app = QCoreApplication::instance())
    for (QThreadPool* pool : app->findChildren<QThreadPool*>()) pool->waitForDone();
}

[[noreturn]] void run_child(int fd, const std::function<QByteArray()>& work) {
  // Threads started here get Qt's own event dispatcher, not GLib's: GLib's global locks
  // (its main-context list, its slice allocator) may have been copied held from a thread
  // of the parent, and a new thread's GLib context would wait for them for ever.
  qputenv("QT_NO_GLIB", "1");
  const rlimit no_core{0, 0};
  setrlimit(RLIMIT_CORE, &no_core);
  // SIGXCPU at the soft limit ends the child; SIGKILL at the hard one if it was caught.
  const rlimit cpu{rlim_t(kChild_Cpu_Seconds), rlim_t(kChild_Cpu_Seconds + 10)};
  setrlimit(RLIMIT_CPU, &cpu);
  std::signal(SIGXCPU, SIG_DFL);
  QByteArray answer;
  try {
    answer = work();
  } catch (const std::exception& e) {
    answer = QByteArray("exception: ") + e.what();
  } catch (...) {
    answer = "exception";
  }
  write_all(fd, answer);
  ::close(fd);
  ::_exit(0);  // nothing of the parent's (windows, temporary folders) is torn down here
}

}  // namespace

Child_Result Run_In_Child(const std::function<QByteArray()>& work) {
  Child_Result result;
  empty_thread_pools();
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return result;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return result;
  }
  if (child == 0) {
    ::close(fds[0]);
    run_child(fds[1], work);
  }
  ::close(fds[1]);
  // The answer is read as it comes (a pipe holds only so much), up to the end of the pipe,
  // which is the child's end.
  using Clock = std::chrono::steady_clock;
  const Clock::time_point give_up = Clock::now() + kDeadlock_Guard;
  bool deadlock = false;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(give_up - Clock::now()).count();
    if (left <= 0) {
      deadlock = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    const int ready = ::poll(&p, 1, int(std::min<long long>(left, 60000)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) continue;
    if (ready < 0) break;
    char buffer[4096];
    const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    result.answer.append(buffer, got);
  }
  ::close(fds[0]);
  if (deadlock) ::kill(child, SIGKILL);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (deadlock) {
    result.end = Child_Result::End::Deadlock;
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
    // SIGXCPU: the child reached its CPU-time limit (a SIGKILL at the hard limit is left
    // as Killed: the child caught SIGXCPU, which none of ours does).
    result.end = result.signal == SIGXCPU ? Child_Result::End::Out_Of_Cpu
                                          : Child_Result::End::Killed;
  } else {
    result.end = Child_Result::End::Answered;
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return result;
}

QString Child_Result::describe() const {
  switch (end) {
    case End::Answered:
      return QString::fromUtf8(answer);
    case End::Out_Of_Cpu:
      return QStringLiteral("runaway: the child used its %1 s of CPU time").arg(kChild_Cpu_Seconds);
    case End::Killed:
      return QStringLiteral("killed by signal %1 (%2)")
          .arg(signal)
          .arg(QString::fromLocal8Bit(strsignal(signal)));
    case End::Deadlock:
      return QStringLiteral("deadlock: the child did not end within %1 s")
          .arg(kDeadlock_Guard.count());
    case End::Not_Started:
      break;
  }
  return QStringLiteral("the child could not be started");
}

}  // namespace test_support
