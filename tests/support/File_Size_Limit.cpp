#include "support/File_Size_Limit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <cerrno>
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

[[noreturn]] void run_child(int fd, qint64 limit,
                            const std::function<bool(QString* reason)>& write) {
  // The pipe is not a file: its writes are not limited.
  const rlimit size{rlim_t(limit), rlim_t(limit)};
  std::signal(SIGXFSZ, SIG_IGN);
  if (setrlimit(RLIMIT_FSIZE, &size) != 0) {
    write_all(fd, "0setrlimit failed");
    ::_exit(3);
  }
  QByteArray answer;
  try {
    QString reason;
    const bool written = write(&reason);
    answer = QByteArray(written ? "1" : "0") + reason.toUtf8();
  } catch (const std::exception& e) {
    answer = QByteArray("0exception: ") + e.what();
  } catch (...) {
    answer = "0exception";
  }
  write_all(fd, answer);
  ::close(fd);
  ::_exit(0);  // nothing of the parent's (windows, temporary folders) is torn down here
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

}  // namespace

Limited_Write Run_With_File_Size_Limit(qint64 limit,
                                       const std::function<bool(QString* reason)>& write) {
  Limited_Write result;
  empty_thread_pools();
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    result.reason = QStringLiteral("pipe failed");
    return result;
  }
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    result.reason = QStringLiteral("fork failed");
    return result;
  }
  if (child == 0) {
    ::close(fds[0]);
    run_child(fds[1], limit, write);
  }
  ::close(fds[1]);
  QByteArray answer;
  bool timed_out = false;
  for (;;) {
    pollfd p{fds[0], POLLIN, 0};
    const int ready = ::poll(&p, 1, 60000);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timed_out = true;
      break;
    }
    char buffer[4096];
    const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    answer.append(buffer, got);
  }
  ::close(fds[0]);
  if (timed_out) ::kill(child, SIGKILL);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  result.finished =
      !timed_out && WIFEXITED(status) && WEXITSTATUS(status) == 0 && !answer.isEmpty();
  if (!answer.isEmpty()) {
    result.written = answer.front() == '1';
    result.reason = QString::fromUtf8(answer.mid(1));
  }
  if (timed_out) result.reason = QStringLiteral("the child did not finish in a minute");
  return result;
}

Folder_State Take_Folder_State(const QString& folder, const QString& target) {
  Folder_State state;
  state.entries = QDir(folder).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  QFile file(target);
  if (!QFileInfo(target).isFile() || !file.open(QIODevice::ReadOnly))
    state.target = "<missing>";
  else
    state.target = file.readAll();
  return state;
}

QString System_Error_Text(int error_number) {
  return QString::fromLocal8Bit(std::strerror(error_number));
}

QString File_Too_Large_Text() { return System_Error_Text(EFBIG); }

Limited_Write Expect_Refused_Under_Limit(const QString& target, qint64 limit,
                                         const std::function<bool(QString* reason)>& write) {
  const QString folder = QFileInfo(target).absolutePath();
  const Folder_State before = Take_Folder_State(folder, target);
  const Limited_Write child = Run_With_File_Size_Limit(limit, write);
  EXPECT_TRUE(child.finished) << child.reason.toStdString();
  EXPECT_FALSE(child.written) << "the writer said it saved " << target.toStdString();
  EXPECT_TRUE(child.reason.contains(File_Too_Large_Text()))
      << "the reason: " << child.reason.toStdString();
  EXPECT_FALSE(child.reason.contains(QStringLiteral("Unknown error")))
      << "the reason: " << child.reason.toStdString();
  const Folder_State after = Take_Folder_State(folder, target);
  EXPECT_EQ(after.target.size(), before.target.size()) << "the old file was changed";
  EXPECT_TRUE(after.target == before.target) << "the old file was changed";
  EXPECT_EQ(after.entries.join(u'|').toStdString(), before.entries.join(u'|').toStdString())
      << "files were left in the folder";
  return child;
}

}  // namespace test_support
