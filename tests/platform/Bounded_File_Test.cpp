// Files a user or a design names: only regular files are read, refused at once (a FIFO
// without a writer must not block, /dev/zero must not be read to the end), and a file over
// the limit is refused before it is read.

#include "platform/Bounded_File.h"

#include "support/Memory_Limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Case {
  const char* name;
  QString path;
  qint64 limit;
  bool read;
  const char* reason_part;  // words the reason holds when refused
};

TEST(Bounded_File, TakesRegularFilesWithinTheLimitOnly) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString small = dir.filePath("small.txt");
  {
    QFile file(small);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("twelve bytes");
  }
  const QString fifo = dir.filePath("pipe");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString link = dir.filePath("link.txt");
  ASSERT_TRUE(QFile::link(small, link));

  const Case cases[] = {
      {"regular file", small, 1024, true, ""},
      {"exactly the limit", small, 12, true, ""},
      {"one byte over", small, 11, false, "larger than 11 bytes"},
      {"link to a regular file", link, 1024, true, ""},
      {"FIFO without a writer", fifo, 1024, false, "not a regular file"},
      {"endless device", "/dev/zero", 1024, false, "not a regular file"},
      {"folder", dir.path(), 1024, false, "is a folder"},
      {"missing", dir.filePath("none"), 1024, false, "No such file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QByteArray bytes("left over");
    QString reason;
    EXPECT_EQ(Read_Bounded_File(c.path, c.limit, &bytes, &reason), c.read) << reason.toStdString();
    if (c.read) {
      EXPECT_EQ(bytes, QByteArray("twelve bytes"));
    } else {
      EXPECT_TRUE(bytes.isEmpty());
      EXPECT_TRUE(reason.contains(QLatin1String(c.reason_part))) << reason.toStdString();
    }

    QFile file;
    QString open_reason;
    const bool opened = Open_Regular_File(file, c.path, &open_reason);
    EXPECT_EQ(opened, c.read || c.limit < 12) << open_reason.toStdString();
    if (opened) EXPECT_EQ(file.readAll(), QByteArray("twelve bytes"));
    else EXPECT_FALSE(file.isOpen());
  }
}

// A file far past the limit is refused from its size alone: read where memory is short, a
// few gigabytes (sparse: they take no room on the disk) would not fit.
TEST(Bounded_File, AFileFarPastTheLimitIsRefusedBeforeItIsRead) {
  if (!test_support::kMemory_Limit_Works)
    GTEST_SKIP() << "no address-space limit under AddressSanitizer";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString huge = dir.filePath("huge.csv");
  {
    const int fd = ::open(QFile::encodeName(huge).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t(3) << 30), 0);
    ::close(fd);
  }
  const QString answer = test_support::Run_With_Memory_Limit(qint64(64) << 20, [&] {
    QByteArray bytes;
    QString reason;
    if (Read_Bounded_File(huge, 1024, &bytes, &reason)) return QStringLiteral("read");
    return bytes.isEmpty() ? reason : QStringLiteral("refused, with bytes left: ") + reason;
  });
  EXPECT_EQ(answer.toStdString(),
            (huge + QStringLiteral(" is larger than 1 KB, more than a file of this kind holds"))
                .toStdString());
}

TEST(Bounded_File, SizesForPeople) {
  EXPECT_EQ(Bounded_File_Size_Text(256LL * 1024 * 1024), "256 MB");
  EXPECT_EQ(Bounded_File_Size_Text(64 * 1024), "64 KB");
  EXPECT_EQ(Bounded_File_Size_Text(1000), "1000 bytes");
}

}  // namespace
