#include "support/File_Size_Limit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>

#include <sys/resource.h>

#include "support/Child_Process.h"

namespace test_support {

Limited_Write Run_With_File_Size_Limit(qint64 limit,
                                       const std::function<bool(QString* reason)>& write) {
  const Child_Result child = Run_In_Child([&]() -> QByteArray {
    // The pipe is not a file: its writes are not limited.
    const rlimit size{rlim_t(limit), rlim_t(limit)};
    std::signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &size) != 0) return "0setrlimit failed";
    try {
      QString reason;
      const bool written = write(&reason);
      return QByteArray(written ? "1" : "0") + reason.toUtf8();
    } catch (const std::exception& e) {
      return QByteArray("0exception: ") + e.what();
    }
  });
  Limited_Write result;
  result.finished = child.answered() && child.exit_code == 0 && !child.answer.isEmpty();
  if (result.finished) {
    result.written = child.answer.front() == '1';
    result.reason = QString::fromUtf8(child.answer.mid(1));
  } else {
    result.reason = child.describe();
  }
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
