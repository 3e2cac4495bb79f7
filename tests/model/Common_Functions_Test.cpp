#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct String_Case {
  const char* name;
  QString (*fn)(const QString&);
  QString input;
  QString expected;
};

TEST(CommonFunctions, TrimAndFileNameCleaning) {
  const String_Case cases[] = {
      {"trim spaces and line break", Trim_Str, QStringLiteral("  abc \n"), QStringLiteral("abc")},
      // White space goes first, so a space before a trailing control character stays.
      {"space before control char", Trim_Str, QStringLiteral("abc \u0001"), QStringLiteral("abc ")},
      {"control chars both ends", Trim_Str, QStringLiteral("\u0001x\u0002"), QStringLiteral("x")},
      {"tabs and no-break space", Trim_Str, QStringLiteral("\t\u00a0a b\u00a0\t"),
       QStringLiteral("a b")},
      {"only blanks", Trim_Str, QStringLiteral(" \n\t "), QStringLiteral("")},
      {"reserved both ends", Remove_Reserve_Char_In_File_Name, QStringLiteral("/abc/"),
       QStringLiteral("abc")},
      {"reserved inside stays", Remove_Reserve_Char_In_File_Name, QStringLiteral("a/b"),
       QStringLiteral("a/b")},
      // The reserved character behind leading white space stays.
      {"reserved behind space", Remove_Reserve_Char_In_File_Name, QStringLiteral(" /abc"),
       QStringLiteral("/abc")},
      {"all nine reserved", Remove_Reserve_Char_In_File_Name, QStringLiteral("?%*|\"<>\\/name<>"),
       QStringLiteral("name")},
  };
  for (const auto& c : cases) EXPECT_EQ(c.fn(c.input), c.expected) << c.name;
  EXPECT_TRUE(Trim_Str(QString()).isNull());
}

TEST(CommonFunctions, SubstringBounds) {
  const QString s = QStringLiteral("abcdef");
  struct Case {
    int n;
    QString left, right, from;
  } cases[] = {
      {2, "ab", "ef", "cdef"},     {0, "", "", "abcdef"},       {-3, "", "", ""},
      {6, "abcdef", "abcdef", ""}, {7, "abcdef", "abcdef", ""}, {10, "abcdef", "abcdef", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Left_Str_substringToIndex(s, c.n), c.left) << c.n;
    EXPECT_EQ(Right_Str_substringFromIndex(s, c.n), c.right) << c.n;
    EXPECT_EQ(Read_Str_FromIndex(s, c.n), c.from) << c.n;
  }
  EXPECT_EQ(Read_Str_FromIndex(s, -1), QString(""));
  EXPECT_EQ(Left_Str_substringToIndex(QString(""), 3), QString(""));
  EXPECT_EQ(Read_Str_FromIndex(QString(), 2), QString(""));
  EXPECT_TRUE(Left_Str_substringToIndex(QString(), 2).isNull());
}

TEST(CommonFunctions, FindAndReplace) {
  EXPECT_TRUE(Find_Str(QStringLiteral("Hello"), QStringLiteral("ell")));
  EXPECT_FALSE(Find_Str(QStringLiteral("Hello"), QStringLiteral("ELL")));
  EXPECT_FALSE(Find_Str(QStringLiteral("Hello"), QString("")));
  EXPECT_FALSE(Find_Str(QString(), QStringLiteral("a")));
  EXPECT_EQ(Replace_char_in_string(QStringLiteral("a-b-A"), "a", "x"), QStringLiteral("x-b-A"));
}

TEST(CommonFunctions, FileNamesThatWouldLeaveTheirFolderAreInvalid) {
  for (const QString& bad : {QString(""), QString("."), QString(".."), QString("a/b"),
                             QString("a\\b"), QString("a") + QChar(0) + "b"})
    EXPECT_FALSE(Is_Valid_File_Name(bad)) << bad.toStdString();
  for (const QString& good :
       {QString("Guests"), QString("..x"), QString("a.b"), QString("Ünïcode")})
    EXPECT_TRUE(Is_Valid_File_Name(good)) << good.toStdString();
}

TEST(CommonFunctions, MessageBoxesGoThroughThePlatform) {
  platform::Scoped_Scripted_Platform scripted;
  scripted.yes_no_answers = {true, false};
  Show_MessageBox(QStringLiteral("Saved."));
  EXPECT_EQ(scripted.messages, QStringList{QStringLiteral("\nSaved.")});
  EXPECT_TRUE(Show_YES_NO_MessageBox(QStringLiteral("Replace?")));
  EXPECT_TRUE(yes_no_msg_val);
  EXPECT_FALSE(Show_YES_NO_MessageBox(QStringLiteral("Replace?")));
  EXPECT_FALSE(yes_no_msg_val);
  EXPECT_EQ(scripted.questions.first(), QStringLiteral("Replace?"));
}

// The log's notes are silent until the logging rules switch them on; its warnings show.
TEST(CommonFunctions, LogNotesAreSilentUnlessEnabledAndWarningsShow) {
  static QStringList seen;
  seen.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { seen << text; });
  Show_NSLog_Message(QStringLiteral("photo.png"));
  qCWarning(lumigroveLog) << "a warning";
  QLoggingCategory::setFilterRules(QStringLiteral("lumigrove.info=true"));
  Show_NSLog_Message(QStringLiteral("shown.png"));
  Show_NSLog_Message(QString());  // nothing
  QLoggingCategory::setFilterRules(QString());
  Show_NSLog_Message(QStringLiteral("silent again.png"));
  qInstallMessageHandler(previous);
  EXPECT_EQ(seen, QStringList({QStringLiteral("a warning"), QStringLiteral("shown.png")}));
}

class Data_Folders : public test_support::Design_Test {};

TEST_F(Data_Folders, CreatedOnceAndMissingOnesRecreated) {
  const QStringList folders = {"DataSet",      "Background", "Fill_Style_Image",
                               "LibraryImage", "Templates",  "Templates/User"};
  ASSERT_TRUE(QDir(Resource_Path).removeRecursively());
  ASSERT_TRUE(QDir().mkpath(Resource_Path));
  EXPECT_TRUE(Check_Path_And_Create_Files());
  for (const QString& f : folders) EXPECT_TRUE(QFileInfo(Resource_Path + "/" + f).isDir()) << f;
  const auto before = QFileInfo(Resource_Path + "/DataSet").birthTime();
  EXPECT_TRUE(Check_Path_And_Create_Files());
  EXPECT_EQ(QFileInfo(Resource_Path + "/DataSet").birthTime(), before);

  ASSERT_TRUE(QDir(Resource_Path + "/Templates").removeRecursively());
  EXPECT_TRUE(Check_Path_And_Create_Files());
  EXPECT_TRUE(QFileInfo(Resource_Path + "/Templates/User").isDir());
  // Default permissions: never writable by others.
  EXPECT_FALSE(QFileInfo(Resource_Path + "/Templates").permissions() & QFile::WriteOther);
}

TEST_F(Data_Folders, FailedCreationIsReported) {
  // A file where the folder should be.
  ASSERT_TRUE(QDir(Resource_Path + "/Background").removeRecursively());
  QFile blocker(Resource_Path + "/Templates");
  ASSERT_TRUE(QDir(Resource_Path + "/Templates").removeRecursively());
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_FALSE(Check_Path_And_Create_Files());
  EXPECT_TRUE(QFileInfo(Resource_Path + "/Background").isDir());
}

TEST_F(Data_Folders, ResourceFolderIsSeededAndDeleteFileRemoves) {
  for (const char* name : {"no.png", "sign_sample.png", "fingerprints.png", "barcode_sample.png"})
    EXPECT_TRUE(QFileInfo::exists(Resource_Path + "/" + name)) << name;
  EXPECT_EQ(Data_Folder_Path, Resource_Path + "/DataSet");
  EXPECT_TRUE(Delete_File(Resource_Path + "/no.png"));
  EXPECT_FALSE(QFileInfo::exists(Resource_Path + "/no.png"));
  EXPECT_FALSE(Delete_File(Resource_Path + "/no.png"));
}

TEST_F(Data_Folders, HelpFileMissingIsSaid) {
  platform::Scoped_Scripted_Platform scripted;
  QFile::remove(Resource_Path + "/Help.pdf");
  Open_Help_File();
  EXPECT_EQ(scripted.messages, QStringList{"\nHelp file does not exist!"});
  EXPECT_TRUE(scripted.opened_urls.isEmpty());
}

// The desktop has nothing that shows PDF files, at once or when its opener ends with a
// failing status: the user is told so, and where the guide is.
TEST_F(Data_Folders, HelpFileThatCannotBeOpenedSaysWhereItIs) {
  const QString help = Resource_Path + "/Help.pdf";
  QFile file(help);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("%PDF-1.4\n%%EOF\n");
  file.close();
  const QString said = "\nThe user guide could not be opened: no program to show PDF files was "
                       "found, or it failed.\n\nThe user guide is the file\n" + help;
  for (const bool at_once : {true, false}) {
    SCOPED_TRACE(at_once ? "at once" : "when the opener ends");
    platform::Scoped_Scripted_Platform scripted;
    scripted.open_url_result = !at_once;
    Open_Help_File();
    EXPECT_EQ(scripted.opened_urls, QList<QUrl>{QUrl::fromLocalFile(help)});
    if (!at_once) {
      EXPECT_TRUE(scripted.messages.isEmpty()) << scripted.messages;
      ASSERT_EQ(scripted.open_url_failures.size(), 1);
      scripted.open_url_failures[0]();
    }
    EXPECT_EQ(scripted.messages, QStringList{said});
  }
}

}  // namespace
