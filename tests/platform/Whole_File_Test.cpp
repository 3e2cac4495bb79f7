// Files written whole or not at all: refused writes (a disk that takes no more, a folder
// in the way, a missing folder) leave the old file byte for byte and no temporary file,
// and say why in the system's words; written files are whole, with the right mode.

#include "platform/Whole_File.h"

#include "support/File_Size_Limit.h"
#include "support/Test_Support.h"
#include "support/Deadlock_Guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray Noise(qsizetype size) {
  QByteArray bytes(size, Qt::Uninitialized);
  QRandomGenerator random(5);
  for (char& c : bytes) c = char(random.generate());
  return bytes;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

unsigned Mode(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return 0;
  return info.st_mode & 07777;
}

QString System_Text(int error_number) {
  return QString::fromLocal8Bit(std::strerror(error_number));
}

// The ways a writer hands its data over.
enum class Form {
  Whole,      // one buffer
  Pieces,     // many small writes, as an encoder streams
  Seek_Back,  // written, then a header patched at the start, as minizip does
  Copy,       // a copy of another file
};

// Every way of writing, named.
const struct {
  const char* name;
  Form form;
} forms[] = {{"whole", Form::Whole},
             {"pieces", Form::Pieces},
             {"seek back", Form::Seek_Back},
             {"copy", Form::Copy}};

// Copy copies the file "source" in the scratch folder, which holds the data already.
bool Write_As(Form form, const QString& path, const QByteArray& data, const QString& scratch,
              QString* error, const Whole_File_Options& options = {}) {
  switch (form) {
    case Form::Whole: return Write_Whole_File(path, data, error, options);
    case Form::Pieces:
    case Form::Seek_Back: {
      Whole_File_Writer file(path, options);
      if (!file.open(QIODevice::ReadWrite)) {
        *error = file.error_string();
        return false;
      }
      if (form == Form::Seek_Back) file.write(QByteArray(8, '\0'));
      const qsizetype start = form == Form::Seek_Back ? 8 : 0;
      for (qsizetype at = start; at < data.size(); at += 1000) file.write(data.mid(at, 1000));
      if (form == Form::Seek_Back && file.seek(0)) file.write(data.left(8));
      const bool ok = file.commit();
      if (!ok) *error = file.error_string();
      return ok;
    }
    case Form::Copy:
      return Copy_Whole_File(scratch + QStringLiteral("/source"), path, error, options);
  }
  return false;
}

class Whole_File_Test : public ::testing::Test {
 protected:
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir, scratch;
};

TEST_F(Whole_File_Test, ADiskThatTakesNoMoreLeavesTheOldFileAndSaysWhy) {
  const struct {
    const char* name;
    qint64 limit;
    qsizetype size;
  } sizes[] = {
      // Small files fit any write buffer: they fail only when it is written out.
      {"small, nothing reaches the disk", 0, 3000},
      {"small, cut after 1 KB", 1024, 12 * 1024},
      {"large, cut after 64 KB, many pieces", 64 * 1024, 3 * 1024 * 1024},
  };
  const QString target = path("card.dcard");
  for (const auto& size : sizes) {
    for (const auto& form : forms) {
      SCOPED_TRACE(std::string(size.name) + ", " + form.name);
      Put(target, "the file as it was");
      const QByteArray data = Noise(size.size);
      Put(scratch.filePath(QStringLiteral("source")), data);
      const test_support::Limited_Write child =
          test_support::Expect_Refused_Under_Limit(target, size.limit, [&](QString* reason) {
            return Write_As(form.form, target, data, scratch.path(), reason);
          });
      EXPECT_TRUE(child.reason.startsWith(QStringLiteral("writing failed: ")))
          << child.reason.toStdString();
      // Without the limit the same data is written whole.
      QString error;
      ASSERT_TRUE(Write_As(form.form, target, data, scratch.path(), &error)) << error.toStdString();
      EXPECT_TRUE(Contents(target) == data);
      EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                QStringList{"card.dcard"});
    }
  }
}

// A disk that fails when the data is flushed or the file closed (an I/O error, a network
// file system that writes on close): the sync and close of the writer are made to fail.
int Failing_Sync(int fd) {
  ::fsync(fd);
  errno = EIO;
  return -1;
}
int Failing_Folder_Sync(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode)) return ::fsync(fd);
  errno = EIO;
  return -1;
}
int Failing_Close(int fd) {
  ::close(fd);  // the descriptor is let go all the same, as Linux does
  errno = EIO;
  return -1;
}

class Failing_Disk_Calls {
 public:
  Failing_Disk_Calls(Whole_File_System_Call sync, Whole_File_System_Call close)
      : sync_(Replace_Whole_File_Sync(sync)), close_(Replace_Whole_File_Close(close)) {}
  ~Failing_Disk_Calls() {
    Replace_Whole_File_Sync(sync_);
    Replace_Whole_File_Close(close_);
  }

 private:
  Whole_File_System_Call sync_, close_;
};

TEST_F(Whole_File_Test, ASyncOrCloseThatFailsLeavesTheOldFileAndSaysWhy) {
  const struct {
    const char* name;
    Whole_File_System_Call sync, close;
    bool replaced;   // the new file is in place all the same
    const char* step;
  } cases[] = {
      {"the file's sync fails", Failing_Sync, nullptr, false, "syncing to disk"},
      {"closing fails", nullptr, Failing_Close, false, "closing"},
      // Renamed already: the file is whole, but its name might not survive a crash.
      {"the folder's sync fails", Failing_Folder_Sync, nullptr, true, "syncing the folder"},
  };
  const QString target = path("card.dcard");
  const QByteArray data = Noise(300 * 1024);
  Put(scratch.filePath(QStringLiteral("source")), data);
  for (const auto& c : cases) {
    for (const auto& form : forms) {
      SCOPED_TRACE(std::string(c.name) + ", " + form.name);
      Put(target, "the file as it was");
      QString error;
      {
        const Failing_Disk_Calls failing(c.sync, c.close);
        EXPECT_FALSE(Write_As(form.form, target, data, scratch.path(), &error));
      }
      EXPECT_EQ(error.toStdString(),
                QStringLiteral("%1 failed: %2").arg(c.step, System_Text(EIO)).toStdString());
      if (c.replaced)
        EXPECT_TRUE(Contents(target) == data) << "the new file is not in place";
      else
        EXPECT_TRUE(Contents(target) == "the file as it was") << "the old file was changed";
      EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                QStringList{"card.dcard"});
    }
  }
  // The system's own calls are back.
  QString error;
  ASSERT_TRUE(Write_Whole_File(target, data, &error)) << error.toStdString();
  EXPECT_TRUE(Contents(target) == data);
}

TEST_F(Whole_File_Test, OtherFailuresNameTheStepAndTheSystemsError) {
  ASSERT_TRUE(QDir().mkdir(path("folder")));
  Put(path("folder/inside"), "kept");
  Put(scratch.filePath(QStringLiteral("source")), "new");
  const struct {
    const char* name;
    QString target;
    QString reason;
  } cases[] = {
      {"a folder stands at the path", path("folder"),
       QStringLiteral("replacing a folder failed: ") + System_Text(EISDIR)},
      {"the folder is missing", path("missing/card.png"),
       QStringLiteral("creating the temporary file failed: ") + System_Text(ENOENT)},
      {"no path", QString(),
       QStringLiteral("creating the temporary file failed: ") + System_Text(ENOENT)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (Form form : {Form::Whole, Form::Pieces, Form::Copy}) {
      QString error;
      EXPECT_FALSE(Write_As(form, c.target, "new", scratch.path(), &error));
      EXPECT_EQ(error, c.reason);
    }
  }
  EXPECT_EQ(Contents(path("folder/inside")), QByteArray("kept"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"folder"});

  // A source that cannot be read is named.
  QString error;
  EXPECT_FALSE(Copy_Whole_File(path("nothing"), path("copy"), &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("reading ") + path("nothing")))
      << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(path("copy")));
}

TEST_F(Whole_File_Test, AWriterNotCommittedLeavesTheOldFile) {
  Put(path("card.png"), "old");
  {
    Whole_File_Writer file(path("card.png"));
    ASSERT_TRUE(file.open());
    file.write(Noise(500 * 1024));
    file.write("tail");
  }  // gone without commit()
  {
    Whole_File_Writer file(path("card.png"));
    ASSERT_TRUE(file.open());
    file.write("new");
    file.close();
    EXPECT_FALSE(file.commit()) << "closed is thrown away";
  }
  EXPECT_EQ(Contents(path("card.png")), QByteArray("old"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"card.png"});
}

TEST_F(Whole_File_Test, WrittenDataCanBeReadBackAndPatched) {
  // As minizip does: write, seek back to patch a header, read, seek to the end, go on.
  Whole_File_Writer file(path("a.zip"));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  const QByteArray body = Noise(700 * 1024);
  file.write("HEAD0000");
  file.write(body);
  EXPECT_EQ(file.pos(), 8 + body.size());
  EXPECT_EQ(file.size(), 8 + body.size());
  ASSERT_TRUE(file.seek(4));
  file.write("1234");
  ASSERT_TRUE(file.seek(0));
  EXPECT_EQ(file.read(8), QByteArray("HEAD1234"));
  ASSERT_TRUE(file.seek(file.size()));
  file.write("END");
  ASSERT_TRUE(file.commit()) << file.error_string().toStdString();
  EXPECT_TRUE(Contents(path("a.zip")) == "HEAD1234" + body + "END");
}

TEST_F(Whole_File_Test, ModesOfNewAndReplacedFiles) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const struct {
    const char* name;
    int old_mode;  // -1: no old file
    std::optional<QFileDevice::Permissions> fixed;
    unsigned mode;
  } cases[] = {
      {"a new file: 0666 less the umask", -1, std::nullopt, 0666u & ~mask},
      {"a replaced file keeps its mode", 0640, std::nullopt, 0640},
      {"a fixed mode on a new file", -1, QFileDevice::ReadOwner | QFileDevice::WriteOwner, 0600},
      {"a fixed mode on a file open to all", 0666, QFileDevice::ReadOwner | QFileDevice::WriteOwner,
       0600},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString target = path("settings.plist");
    QFile::remove(target);
    if (c.old_mode >= 0) {
      Put(target, "old");
      ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), mode_t(c.old_mode)), 0);
    }
    Whole_File_Options options;
    options.permissions = c.fixed;
    QString error;
    ASSERT_TRUE(Write_Whole_File(target, "new", &error, options)) << error.toStdString();
    EXPECT_EQ(Mode(target), c.mode);
    EXPECT_EQ(Contents(target), QByteArray("new"));
  }
}

TEST_F(Whole_File_Test, LinksAndLongNames) {
  // Written through a link when asked: the file it names is replaced, the link stays.
  ASSERT_TRUE(QDir().mkdir(path("real")));
  Put(path("real/card.dcard"), "old");
  ASSERT_TRUE(QFile::link(path("real/card.dcard"), path("link.dcard")));
  Whole_File_Options through;
  through.write_through_link = true;
  ASSERT_TRUE(Write_Whole_File(path("link.dcard"), "new", nullptr, through));
  EXPECT_TRUE(QFileInfo(path("link.dcard")).isSymLink());
  EXPECT_EQ(Contents(path("real/card.dcard")), QByteArray("new"));

  // Without it the link itself is replaced by a regular file; what it named is untouched,
  // and its mode is not taken over.
  Put(path("real/secret"), "outside");
  ASSERT_EQ(::chmod(QFile::encodeName(path("real/secret")).constData(), 0604), 0);
  ASSERT_TRUE(QFile::link(path("real/secret"), path("own.plist")));
  ASSERT_TRUE(Write_Whole_File(path("own.plist"), "mine"));
  EXPECT_FALSE(QFileInfo(path("own.plist")).isSymLink());
  EXPECT_EQ(Contents(path("own.plist")), QByteArray("mine"));
  EXPECT_EQ(Contents(path("real/secret")), QByteArray("outside"));
  EXPECT_EQ(Mode(path("real/secret")), 0604);
  // A link to nowhere, too.
  ASSERT_TRUE(QFile::link(path("real/missing"), path("dangling.plist")));
  ASSERT_TRUE(Write_Whole_File(path("dangling.plist"), "mine"));
  EXPECT_FALSE(QFileInfo(path("dangling.plist")).isSymLink());
  EXPECT_FALSE(QFileInfo::exists(path("real/missing")));

  // The longest name a file may have still leaves room for the temporary file beside it.
  const QString longest = dir.filePath(QString(255, QLatin1Char('c')));
  Put(longest, "old");
  QString error;
  ASSERT_TRUE(Write_Whole_File(longest, "new", &error)) << error.toStdString();
  EXPECT_EQ(Contents(longest), QByteArray("new"));
  const QString accented =
      dir.filePath(QString(126, QChar(0xE9)) + QStringLiteral("xyz"));  // 255 bytes
  ASSERT_TRUE(Write_Whole_File(accented, "new", &error)) << error.toStdString();
  EXPECT_EQ(Contents(accented), QByteArray("new"));
}

// Files of the program's own folders: a link planted at a file's name is replaced, never
// written through, even by a writer that follows the user's links elsewhere; a link planted
// as a folder on the way down is refused by name, and nothing lands in what it names. The
// own folder itself may be a link. The rule holds for the folder a writer names and for
// every file below the program's folder.
TEST_F(Whole_File_Test, LinksPlantedInTheProgramsOwnFoldersAreNeverFollowed) {
  const QString own = path("own"), outside = path("outside");
  for (const QString& folder : {own + "/Templates/User", own + "/Background", outside})
    ASSERT_TRUE(QDir().mkpath(folder));
  Put(outside + "/secret", "outside");
  const QByteArray data = "the new contents";
  Put(scratch.filePath("source"), data);
  ASSERT_TRUE(QFile::link(outside + "/secret", own + "/Templates/User/Party.dcard"));
  ASSERT_TRUE(QFile::link(outside, own + "/DataSet"));
  ASSERT_TRUE(QFile::link(outside, own + "/Background/Linked"));
  ASSERT_TRUE(QFile::link(own, path("own link")));

  // Files in the own folders, and what a write of each does.
  const struct {
    const char* name;
    QString file;
    QString refused_for;  // the linked folder named in the refusal; empty: written
  } cases[] = {
      {"a file link is replaced", own + "/Templates/User/Party.dcard", {}},
      {"a folder link is refused", own + "/DataSet/secret", own + "/DataSet"},
      {"a deeper folder link", own + "/Background/Linked/secret", own + "/Background/Linked"},
      {"a new file in a new folder's place", own + "/DataSet/Sub/new.txt", own + "/DataSet"},
      {"the own folder may be a link", path("own link") + "/Background/plain.png", {}},
  };
  for (const auto& named_by : {"the writer", "the program's folder"}) {
    const bool by_writer = std::strcmp(named_by, "the writer") == 0;
    Set_Program_Folder(by_writer ? QString() : own);
    for (const auto& [form_name, form] : forms) {
      for (const auto& c : cases) {
        SCOPED_TRACE(std::string(named_by) + ", " + form_name + ": " + c.name);
        Whole_File_Options options;
        options.write_through_link = true;  // as the user's files are written
        const bool own_link_root = c.file.startsWith(path("own link"));
        if (by_writer)
          options.own_folder = own_link_root ? path("own link") : own;
        else if (own_link_root)
          options.own_folder = path("own link");
        QString error;
        const bool written = Write_As(form, c.file, data, scratch.path(), &error, options);
        if (c.refused_for.isEmpty()) {
          EXPECT_TRUE(written) << error.toStdString();
          EXPECT_FALSE(QFileInfo(c.file).isSymLink());
          EXPECT_EQ(Contents(c.file), data);
        } else {
          EXPECT_FALSE(written);
          EXPECT_EQ(error, Linked_Folder_Refusal(c.refused_for));
        }
        EXPECT_EQ(Contents(outside + "/secret"), QByteArray("outside"));
        EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList({"secret"}));
        // The link is planted again for the next writer.
        QFile::remove(own + "/Templates/User/Party.dcard");
        ASSERT_TRUE(QFile::link(outside + "/secret", own + "/Templates/User/Party.dcard"));
      }
    }
  }
  // Outside the program's folder the user's links are still written through.
  ASSERT_TRUE(QFile::link(outside + "/secret", path("users.dcard")));
  Whole_File_Options through;
  through.write_through_link = true;
  ASSERT_TRUE(Write_Whole_File(path("users.dcard"), "the user's", nullptr, through));
  EXPECT_TRUE(QFileInfo(path("users.dcard")).isSymLink());
  EXPECT_EQ(Contents(outside + "/secret"), QByteArray("the user's"));
  Set_Program_Folder(QString());

  // Folders of the program's own are made below it, never inside a linked one.
  QString why;
  EXPECT_TRUE(Make_Own_Folders(own, own + "/Templates/User/Deeper/Still", &why))
      << why.toStdString();
  EXPECT_TRUE(QFileInfo(own + "/Templates/User/Deeper/Still").isDir());
  EXPECT_FALSE(Make_Own_Folders(own, own + "/DataSet/User", &why));
  EXPECT_EQ(why, Linked_Folder_Refusal(own + "/DataSet"));
  EXPECT_FALSE(Make_Own_Folders(own, own + "/DataSet", &why));
  EXPECT_FALSE(QFileInfo::exists(outside + "/User"));
  Put(own + "/plain", "a file");
  EXPECT_FALSE(Make_Own_Folders(own, own + "/plain/User", &why));
  EXPECT_TRUE(why.contains(System_Text(ENOTDIR))) << why.toStdString();
}

// A writer killed while it writes leaves its temporary file behind: the next write into
// that folder removes it. Only our own temporary files go, and only those no running
// writer holds: another writer's file being written stays, and so does every other file.
TEST_F(Whole_File_Test, TemporaryFilesOfKilledWritersGoAtTheNextWrite) {
  // A child that begins writing the file and is killed before it ends.
  const auto killed_while_writing = [](const QString& target) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      Whole_File_Writer file(target);
      const bool begun = file.open(QIODevice::WriteOnly) &&
                         file.write(QByteArray(300 * 1024, 'x')) == 300 * 1024;
      const char sign = begun ? '1' : '0';
      if (::write(ready[1], &sign, 1) != 1) ::_exit(2);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    pollfd wait_for{ready[0], POLLIN, 0};
    char sign = 0;
    const bool told = ::poll(&wait_for, 1, test_support::kDeadlock_Guard_Ms) == 1 && ::read(ready[0], &sign, 1) == 1;
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(told) << "the writing child never began to write";
    ASSERT_EQ(sign, '1') << "the writing child could not begin to write";
  };
  const auto hidden = [&] {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                          QDir::NoDotAndDotDot,
                                      QDir::Name);
  };
  killed_while_writing(path("Card_1.png"));
  QStringList left = hidden();
  ASSERT_EQ(left.size(), 1) << left.join(' ').toStdString();
  EXPECT_TRUE(left[0].startsWith(".Card_1.png.") && left[0].endsWith(".lumigrove-part"))
      << left[0].toStdString();
  // The next writer, killed too, removed that one and left its own.
  killed_while_writing(path("design.dcard"));
  left = hidden();
  ASSERT_EQ(left.size(), 1) << left.join(' ').toStdString();
  EXPECT_TRUE(left[0].startsWith(".design.dcard.")) << left[0].toStdString();

  // What must stay: a writer of this process still writing, files of other programs and
  // things named like ours that are no regular files.
  Whole_File_Writer running(path("running.txt"));
  ASSERT_TRUE(running.open(QIODevice::WriteOnly));
  ASSERT_EQ(running.write("still being written"), 19);
  Put(path(".notes.txt.backup"), "someone's");
  Put(path(".bashrc.Ab3dE9"), "someone's");
  Put(path(".Card_10.png.Ab3dE9"), "someone's");  // beside a file not written here
  Put(scratch.filePath("outside"), "outside");
  ASSERT_TRUE(QDir().mkdir(path(".folder.AAAAAA.lumigrove-part")));
  ASSERT_TRUE(QFile::link(scratch.filePath("outside"), path(".link.BBBBBB.lumigrove-part")));
  const QStringList staying = [&] {
    QStringList names = hidden();
    for (const QString& name : left) names.removeAll(name);
    return names;
  }();
  ASSERT_EQ(staying.size(), 6) << staying.join(' ').toStdString();
  // An earlier build's killed write of the very file written now goes too.
  Put(path(".Card_1.png.Zx81Qa"), "partial");

  QString error;
  ASSERT_TRUE(Write_Whole_File(path("Card_1.png"), "new", &error)) << error.toStdString();
  QStringList expected = staying;
  expected << "Card_1.png";
  expected.sort();
  EXPECT_EQ(hidden(), expected);
  EXPECT_EQ(Contents(scratch.filePath("outside")), QByteArray("outside"));
  // The running writer ends as it would have.
  ASSERT_TRUE(running.commit()) << running.error_string().toStdString();
  EXPECT_EQ(Contents(path("running.txt")), QByteArray("still being written"));

  // Called on its own (a batch run into the folder), it answers what it removed.
  killed_while_writing(path("Card_2.png"));
  EXPECT_EQ(Remove_Stale_Temporary_Files(dir.path()), 1);
  EXPECT_EQ(Remove_Stale_Temporary_Files(dir.path()), 0);
  EXPECT_FALSE(hidden().filter(".Card_2.png.").size());
}

}  // namespace
