// Seeding the per-user resource folder: missing files come from the shipped folder, the
// user's files stay as they are, and the program's own mail script is brought up to date.

#include "model/Common_Functions.h"
#include "model/Resource_Folder.h"
#include "model/Shared_Design_State.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& data) {
  QDir().mkpath(path.left(path.lastIndexOf(u'/')));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(data);
}

class Resource_Folder : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    previous_ = qgetenv("LUMIGROVE_RESOURCES");
    qputenv("LUMIGROVE_RESOURCES", shipped_.path().toUtf8());
  }
  void TearDown() override {
    if (previous_.isEmpty()) qunsetenv("LUMIGROVE_RESOURCES");
    else qputenv("LUMIGROVE_RESOURCES", previous_);
    Design_Test::TearDown();
  }
  QString shipped(const QString& name) const { return shipped_.filePath(name); }
  QString user(const QString& name) const { return user_.filePath(name); }

  QTemporaryDir shipped_, user_;
  QByteArray previous_;
};

TEST_F(Resource_Folder, AnOlderMailScriptIsReplacedAndTheUsersFilesStay) {
  Write(shipped("pyth_mail.py"), "# the mended script\n");
  Write(shipped("Templates/Party.dcard"), "shipped template");
  Write(shipped("DataSet/Names.txt"), "shipped series");
  Write(user("pyth_mail.py"), "# the script of an older version\n");
  Write(user("Templates/Party.dcard"), "the user's own changes");
  Write(user("smtp-ca.pem"), "the user's authority");

  ASSERT_TRUE(Prepare_Resource_Path(user_.path()));
  EXPECT_EQ(Resource_Path, QDir::cleanPath(user_.path()));
  struct Expect {
    const char* file;
    QByteArray contents;
  };
  const Expect expected[] = {
      {"pyth_mail.py", "# the mended script\n"},          // the program's: replaced
      {"Templates/Party.dcard", "the user's own changes"},  // the user's: kept
      {"smtp-ca.pem", "the user's authority"},              // not shipped: kept
      {"DataSet/Names.txt", "shipped series"},              // missing: copied
  };
  for (const Expect& e : expected) EXPECT_EQ(Read(user(e.file)), e.contents) << e.file;
  EXPECT_FALSE(QFile::exists(user("pyth_mail.py.seeding")));

  // A user who changes the script gets the shipped one back at the next start; one that
  // is already the shipped one is left as it is.
  Write(user("pyth_mail.py"), "# edited\n");
  ASSERT_TRUE(Prepare_Resource_Path(user_.path()));
  EXPECT_EQ(Read(user("pyth_mail.py")), QByteArray("# the mended script\n"));
  QFile::setPermissions(user("pyth_mail.py"), QFile::ReadOwner);  // a new copy would be writable
  ASSERT_TRUE(Prepare_Resource_Path(user_.path()));
  EXPECT_EQ(QFile::permissions(user("pyth_mail.py")) & QFile::WriteOwner, QFile::Permissions());
}

// A mail script that is a link is replaced by a regular copy of the shipped one: the file
// the link named (elsewhere) is not written.
TEST_F(Resource_Folder, AMailScriptLinkIsReplacedNotWrittenThrough) {
  QTemporaryDir elsewhere;
  const QString outside = elsewhere.filePath(QStringLiteral("not_ours.py"));
  Write(outside, "# someone else's file\n");
  Write(shipped("pyth_mail.py"), "# the mended script\n");
  QDir().mkpath(user_.path());
  ASSERT_TRUE(QFile::link(outside, user("pyth_mail.py")));

  ASSERT_TRUE(Prepare_Resource_Path(user_.path()));
  EXPECT_EQ(Read(outside), QByteArray("# someone else's file\n"));
  EXPECT_FALSE(QFileInfo(user("pyth_mail.py")).isSymLink());
  EXPECT_EQ(Read(user("pyth_mail.py")), QByteArray("# the mended script\n"));
}

// Data folders that are links (to folders elsewhere) are not written into: seeding copies
// nothing into them and makes no folder inside them, the data folders' check makes none,
// and nothing is removed through them; the folders they name stay as they were. A file
// link planted in a real data folder is the user's file: it stays, and so does its target.
TEST_F(Resource_Folder, LinkedDataFoldersAreNotWrittenInto) {
  Write(shipped("Templates/Party.dcard"), "shipped template");
  Write(shipped("Templates/Party.png"), "shipped preview");
  Write(shipped("Templates/User/.keep"), "");
  Write(shipped("Background/Sky.png"), "shipped background");
  Write(shipped("DataSet/Names.txt"), "shipped series");
  Write(shipped("LibraryImage/Star.png"), "shipped picture");
  QTemporaryDir elsewhere;
  const QString outside = elsewhere.path();
  for (const char* folder : {"templates", "backgrounds", "series"})
    ASSERT_TRUE(QDir(outside).mkpath(QString::fromLatin1(folder)));
  Write(outside + "/series/Names.txt", "someone else's names");
  Write(outside + "/secret.png", "someone else's picture");
  QDir().mkpath(user("LibraryImage"));
  ASSERT_TRUE(QFile::link(outside + "/templates", user("Templates")));
  ASSERT_TRUE(QFile::link(outside + "/backgrounds", user("Background")));
  ASSERT_TRUE(QFile::link(outside + "/series", user("DataSet")));
  ASSERT_TRUE(QFile::link(outside + "/secret.png", user("LibraryImage/Star.png")));
  auto outside_files = [&outside] {
    QStringList files;
    QDirIterator it(outside, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(outside).relativeFilePath(it.next());
    files.sort();
    return files;
  };
  const QStringList before = outside_files();

  ASSERT_TRUE(Prepare_Resource_Path(user_.path()));
  Check_Path_And_Create_Files();
  EXPECT_TRUE(QFileInfo(user("LibraryImage/Star.png")).isSymLink());
  EXPECT_FALSE(Delete_File(user("DataSet/Names.txt")));
  EXPECT_FALSE(Delete_File(user("Templates/User")));
  EXPECT_TRUE(Delete_File(user("LibraryImage/Star.png")));  // a link goes, not its target

  EXPECT_EQ(outside_files(), before);
  EXPECT_EQ(Read(outside + "/series/Names.txt"), QByteArray("someone else's names"));
  EXPECT_EQ(Read(outside + "/secret.png"), QByteArray("someone else's picture"));
  for (const char* folder : {"Templates", "Background", "DataSet"})
    EXPECT_TRUE(QFileInfo(user(QString::fromLatin1(folder))).isSymLink()) << folder;
  // What the user is told once, at start.
  EXPECT_EQ(Linked_Data_Folders(),
            QStringList({user("DataSet"), user("Background"), user("Templates")}));
  // The real data folders are seeded and made as ever.
  EXPECT_TRUE(QFileInfo(user("Fill_Style_Image")).isDir());
  EXPECT_FALSE(QFileInfo::exists(user("LibraryImage/Star.png")));

  // The same folders real, with links planted at the names of shipped files: nothing is
  // written through them, and the folders are seeded with the rest.
  for (const char* folder : {"Templates", "Background", "DataSet"}) {
    ASSERT_TRUE(QFile::remove(user(QString::fromLatin1(folder))));
    ASSERT_TRUE(QDir().mkpath(user(QString::fromLatin1(folder))));
  }
  for (const char* file : {"Templates/Party.dcard", "Background/Sky.png", "DataSet/Names.txt"})
    ASSERT_TRUE(QFile::link(outside + "/secret.png", user(QString::fromLatin1(file)))) << file;
  ASSERT_TRUE(Prepare_Resource_Path(user_.path()));
  Check_Path_And_Create_Files();
  EXPECT_EQ(outside_files(), before);
  EXPECT_EQ(Read(outside + "/secret.png"), QByteArray("someone else's picture"));
  EXPECT_EQ(Read(user("Templates/Party.png")), QByteArray("shipped preview"));
  EXPECT_TRUE(QFileInfo(user("Templates/User")).isDir());
  EXPECT_TRUE(Linked_Data_Folders().isEmpty());
}

}  // namespace
