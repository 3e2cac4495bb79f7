#include "series/Data_Series_Store.h"

#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "platform/Whole_File.h"
#include "support/File_Size_Limit.h"
#include "support/Test_Support.h"
#include "support/Watchdog.h"

#include "support/Memory_Limit.h"
#include "Series_Test_Support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace series_test;
using test_support::kMemory_Limit_Works;
using test_support::Run_With_Memory_Limit;

namespace {

class SeriesStore : public test_support::Design_Test {
 protected:
  QString series_file(const QString& name) const { return Data_Folder_Path + u'/' + name + ".txt"; }
  platform::Scoped_Scripted_Platform platform_;
};

TEST_F(SeriesStore, NamesThatWouldLeaveTheFolderAreRefused) {
  struct Case {
    QString typed;
    QString cleaned;
    bool valid;
  } cases[] = {
      {"Guests", "Guests", true},
      {"?sales", "sales", true},
      {" sales? ", "sales?", true},  // the "?" is not at an end while the blanks are there
      {"a/b", "a/b", false},
      {"x\\y", "x\\y", false},
      {"../escape", "../escape", false},
      {"..", "..", false},
      {".", ".", false},
      {"/", "", false},
      {"  \t", "", false},
      {QStringLiteral("a") + QChar(0) + QStringLiteral("b"), QStringLiteral("a") + QChar(0) + "b",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    EXPECT_EQ(Clean_Series_Name(c.typed), c.cleaned);
    EXPECT_EQ(Is_Valid_Series_Name(c.cleaned), c.valid);
    platform_.messages.clear();
    const Series_Write_Result result = Save_Series(c.typed, {"v"}, {});
    EXPECT_EQ(result, c.valid ? Series_Write_Result::Written : Series_Write_Result::Invalid_Name);
    if (!c.valid) {
      EXPECT_EQ(platform_.messages, QStringList{"\nPlease enter list name."});
    }
  }
  EXPECT_EQ(Tree(Data_Folder_Path), (QStringList{"Guests.txt", "sales.txt", "sales?.txt"}));
  EXPECT_FALSE(QFileInfo::exists(Data_Folder_Path + "/../escape.txt"));
  EXPECT_FALSE(QFileInfo::exists(Data_Folder_Path + ".txt"));
}

TEST_F(SeriesStore, WritesOneValuePerLine) {
  struct Case {
    const char* name;
    QStringList values;
    bool trim, skip_empty;
    QByteArray bytes;
  } cases[] = {
      {"plain", {"a", "b"}, true, true, "a\nb\n"},
      {"constant", {"x", "x", "x"}, false, false, "x\nx\nx\n"},
      {"trimmed, empties skipped", {" a ", "", "\t", "b"}, true, true, "a\nb\n"},
      {"trimmed, empties kept", {"p", " ", "q"}, true, false, "p\n\nq\n"},
      {"as given", {"a\r", " b "}, false, true, "a\r\n b \n"},
      {"unicode",
       {QStringLiteral("Zo\u00eb \u65e5\u672c")},
       false,
       false,
       "Zo\xc3\xab \xe6\x97\xa5\xe6\x9c\xac\n"},
      {"no values", {}, false, false, ""},
  };
  for (const Case& c : cases) {
    Series_Write_Rules rules;
    rules.trim_values = c.trim;
    rules.skip_empty_values = c.skip_empty;
    rules.ask_replace = false;
    EXPECT_EQ(Save_Series("S", c.values, rules), Series_Write_Result::Written) << c.name;
    EXPECT_EQ(Read_File(series_file("S")), c.bytes) << c.name;
  }
  EXPECT_TRUE(platform_.questions.isEmpty());
}

TEST_F(SeriesStore, ReplacingAsksFirstAndKeepsTheOldFileUntilTheNewOneIsWhole) {
  Write_File(series_file("Guests"), "old\n");
  platform_.yes_no_answers = {false};
  EXPECT_EQ(Save_Series("Guests", {"new"}, {}), Series_Write_Result::Kept);
  EXPECT_EQ(platform_.questions,
            QStringList{"Batch Processing Series already exists. Do you want to replace it?"});
  EXPECT_EQ(Read_File(series_file("Guests")), QByteArray("old\n"));

  platform_.yes_no_answers = {true};
  EXPECT_EQ(Save_Series("Guests", {"new"}, {}), Series_Write_Result::Written);
  EXPECT_EQ(Read_File(series_file("Guests")), QByteArray("new\n"));

  // A write that fails leaves what was there: here a folder stands at the series path, so
  // the new file cannot take its place, and the folder keeps its content.
  Write_File(series_file("Blocked") + "/inside", "kept");
  platform_.yes_no_answers = {true};
  platform_.messages.clear();
  EXPECT_EQ(Save_Series("Blocked", {"new"}, {}), Series_Write_Result::Failed);
  EXPECT_EQ(platform_.messages,
            QStringList{"\nError in file accessing.\nreplacing a folder failed: " +
                        test_support::System_Error_Text(EISDIR)});
  EXPECT_EQ(Read_File(series_file("Blocked") + "/inside"), QByteArray("kept"));

  // Writers do not create the series folder.
  QDir(Data_Folder_Path).removeRecursively();
  platform_.messages.clear();
  EXPECT_EQ(Save_Series("Guests", {"a"}, {}), Series_Write_Result::Failed);
  EXPECT_EQ(platform_.messages,
            QStringList{"\nError in file accessing.\ncreating the temporary file failed: " +
                        test_support::System_Error_Text(ENOENT)});
  EXPECT_FALSE(QFileInfo::exists(Data_Folder_Path));
}

// A disk that takes no more (files may not grow past a limit): every way of writing a
// series says it failed and why, and the series keeps what it held. Small series fail only
// when their data is written out, large ones on the way.
TEST_F(SeriesStore, ADiskThatTakesNoMoreKeepsTheSeries) {
  const struct {
    const char* name;
    qint64 limit;
    int values;
  } sizes[] = {
      {"small series, nothing reaches the disk", 0, 3},
      {"small series, cut after 1 KB", 1024, 800},
      {"large series, cut after 64 KB", 64 * 1024, 100000},
  };
  using Writer = std::function<bool(const QStringList& values, QString* reason)>;
  const QString path = series_file("Guests");
  const std::pair<const char*, Writer> writers[] = {
      {"save (the dialogs' write)",
       [&](const QStringList& values, QString* shown) {
         platform_.default_yes_no = true;
         const bool written = Save_Series("Guests", values, {}) == Series_Write_Result::Written;
         *shown = platform_.messages.join(u'|');
         return written;
       }},
      {"write", [&](const QStringList& values,
                    QString* reason) { return Write_Series_File(path, values, reason); }},
      {"append", [&](const QStringList& values,
                     QString* reason) { return Append_Series_File(path, values, reason); }},
  };
  for (const auto& size : sizes) {
    QStringList values;
    for (int i = 0; i < size.values; ++i) values << QStringLiteral("Guest number %1").arg(i);
    for (const auto& [writer_name, write] : writers) {
      SCOPED_TRACE(std::string(size.name) + ", " + writer_name);
      Write_File(path, "Ann\nBo\n");
      platform_.messages.clear();
      const test_support::Limited_Write child = test_support::Expect_Refused_Under_Limit(
          path, size.limit, [&](QString* reason) { return write(values, reason); });
      if (QLatin1String(writer_name).startsWith(QLatin1String("save")))
        EXPECT_TRUE(child.reason.startsWith("\nError in file accessing.\nwriting failed: "))
            << child.reason.toStdString();
      // Without the limit the same values are written.
      QString reason;
      ASSERT_TRUE(write(values, &reason)) << reason.toStdString();
      EXPECT_GT(QFileInfo(path).size(), size.limit);
    }
  }
}

TEST_F(SeriesStore, InUseSeriesAreNotWritten) {
  Write_File(series_file("Guests"), "old\n");
  Series_Write_Rules rules;
  rules.in_use_refusal = Series_Create_In_Use;
  QStringList asked;
  rules.in_use = [&](const QString& name) {
    asked << name;
    return name == u"Guests";
  };
  EXPECT_EQ(Save_Series(" Guests?", {"new"}, rules), Series_Write_Result::In_Use);
  EXPECT_EQ(asked, QStringList{"Guests"}) << "the test gets the cleaned name";
  EXPECT_EQ(
      platform_.messages,
      QStringList{"\nBatch Processing Series can't be create because it is currently in use."});
  EXPECT_TRUE(platform_.questions.isEmpty());
  EXPECT_EQ(Read_File(series_file("Guests")), QByteArray("old\n"));
}

TEST_F(SeriesStore, InUseRule) {
  Write_File(series_file("Guests"), "a\n");
  const auto bound = [](std::shared_ptr<CRDGraphic> graphic, int source, const QString& name) {
    graphic->Set_Data_source_type(source);
    graphic->Set_Batch_List_Name(name);
    return graphic;
  };
  struct Case {
    const char* name;
    Graphic_List front, back;
    QString sides;
    QString series;
    bool in_use;
  };
  const std::vector<Case> cases = {
      {"bound text", {bound(std::make_shared<CRDText>(), 1, "Guests")}, {}, "1", "Guests", true},
      {"bound picture",
       {bound(std::make_shared<CRDImage>(), 1, "Guests")},
       {},
       "1",
       "Guests",
       true},
      {"bound barcode",
       {bound(std::make_shared<CRDBarcode>(), 1, "Guests")},
       {},
       "1",
       "Guests",
       true},
      {"a shape does not count",
       {bound(std::make_shared<Shape_Control>(), 1, "Guests")},
       {},
       "1",
       "Guests",
       false},
      {"bound to a spreadsheet column",
       {bound(std::make_shared<CRDText>(), 2, "Guests")},
       {},
       "1",
       "Guests",
       false},
      {"another series",
       {bound(std::make_shared<CRDText>(), 1, "Other")},
       {},
       "1",
       "Guests",
       false},
      {"back side of a one-sided card",
       {},
       {bound(std::make_shared<CRDText>(), 1, "Guests")},
       "1",
       "Guests",
       false},
      {"back side of a two-sided card",
       {},
       {bound(std::make_shared<CRDText>(), 1, "Guests")},
       "2",
       "Guests",
       true},
      {"no series file", {bound(std::make_shared<CRDText>(), 1, "Gone")}, {}, "1", "Gone", false},
  };
  for (const Case& c : cases) {
    CARD_SIDE_STR = c.sides;
    EXPECT_EQ(Series_In_Use(c.series, c.front, c.back), c.in_use) << c.name;
  }
}

TEST_F(SeriesStore, Appending) {
  struct Case {
    const char* name;
    QByteArray before;  // "<missing>": no file
    QByteArray after;
  } cases[] = {
      {"new file", "<missing>", "x\ny\n"},
      {"after the last line", "a\n", "a\nx\ny\n"},
      {"last line without its line feed", "a", "a\nx\ny\n"},
      {"empty file", "", "x\ny\n"},
  };
  for (const Case& c : cases) {
    QFile::remove(series_file("S"));
    if (c.before != "<missing>") Write_File(series_file("S"), c.before);
    EXPECT_TRUE(Append_Series_File(series_file("S"), {"x", "y"})) << c.name;
    EXPECT_EQ(Read_File(series_file("S")), c.after) << c.name;
  }
}

// The series folder is the program's own: a link planted at a series' name is replaced by
// the new series, and a series folder that is a link is not written into (the refusal names
// it); what either link named stays as it was.
TEST_F(SeriesStore, LinksPlantedInTheSeriesFolderAreNotFollowed) {
  QTemporaryDir elsewhere;
  const QString outside = elsewhere.filePath("notes.txt");
  Write_File(outside, "someone else's notes\n");
  ASSERT_TRUE(QFile::link(outside, series_file("Guests")));
  platform_.yes_no_answers = {true};
  EXPECT_EQ(Save_Series("Guests", {"Ann", "Bob"}, {}), Series_Write_Result::Written);
  EXPECT_FALSE(QFileInfo(series_file("Guests")).isSymLink());
  EXPECT_EQ(Read_File(series_file("Guests")), QByteArray("Ann\nBob\n"));
  EXPECT_EQ(Read_File(outside), QByteArray("someone else's notes\n"));

  ASSERT_TRUE(QDir(Data_Folder_Path).removeRecursively());
  ASSERT_TRUE(QFile::link(elsewhere.path(), Data_Folder_Path));
  Write_File(elsewhere.filePath("Guests.txt"), "outside\n");
  const QString refusal = Series_Access_Error_Because(Linked_Folder_Refusal(Data_Folder_Path));
  platform_.messages.clear();
  platform_.yes_no_answers = {true};
  EXPECT_EQ(Save_Series("Guests", {"new"}, {}), Series_Write_Result::Failed);
  EXPECT_EQ(Save_Series("Hosts", {"new"}, {}), Series_Write_Result::Failed);
  EXPECT_EQ(platform_.messages, QStringList({"\n" + refusal, "\n" + refusal}));
  QString error;
  EXPECT_FALSE(Append_Series_File(series_file("Guests"), {"more"}, &error));
  EXPECT_EQ(error, Linked_Folder_Refusal(Data_Folder_Path));
  EXPECT_FALSE(Delete_Series("Guests"));
  EXPECT_EQ(Read_File(elsewhere.filePath("Guests.txt")), QByteArray("outside\n"));
  EXPECT_EQ(Read_File(outside), QByteArray("someone else's notes\n"));
  EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            QStringList({"Guests.txt", "notes.txt"}));
}

TEST_F(SeriesStore, ReadersOfASeries) {
  struct Case {
    const char* name;
    QByteArray content;  // "<missing>": no file
    QStringList values;
    QString first;
    std::optional<QStringList> records;
  };
  const std::vector<Case> cases = {
      {"plain", "a\nb\n", {"a", "b"}, "a", QStringList{"a", "b"}},
      {"empty file", "", {}, "", QStringList{}},
      {"begins with an empty line",
       "\nfirst\nsecond\n",
       {"first", "second"},
       "",
       QStringList{"first", "second"}},
      {"empty cell between two", "p\n\nq\n", {"p", "q"}, "p", QStringList{"p", "", "q"}},
      {"blanks around values", "a\n\n b \n", {"a", "b"}, "a", QStringList{"a", "", " b"}},
      {"carriage returns", "x\r\ny\r\n", {"x", "y"}, "x\r", QStringList{"x\r", "y"}},
      {"byte-order mark",
       "\xef\xbb\xbf"
       "a\n",
       {"a"},
       "a",
       QStringList{"a"}},
      {"not UTF-8", "ab\xff\xfe\n", {}, "", QStringList{}},
      {"missing file", "<missing>", {}, "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(series_file("S"));
    if (c.content != "<missing>") Write_File(series_file("S"), c.content);
    EXPECT_EQ(Read_Series_Values("S"), c.values);
    EXPECT_EQ(Get_First_Value_Of_Dataset("S"), c.first);
    EXPECT_EQ(Series_Output_Records("S"), c.records);
  }
  // Bytes that are no UTF-8 are refused with the reason every reader gives.
  Write_File(series_file("S"), "ab\xff\xfe\n");
  QString reason;
  EXPECT_FALSE(Read_Series_Text(series_file("S"), &reason));
  EXPECT_TRUE(reason.endsWith(" is not encoded in UTF-8: it holds bytes that are no UTF-8 character."))
      << reason.toStdString();
  // A name from a design file cannot reach files outside the series folder.
  Write_File(Data_Folder_Path + "/../outside.txt", "secret\n");
  EXPECT_TRUE(Read_Series_Values("../outside").isEmpty());
  EXPECT_EQ(Get_First_Value_Of_Dataset("../outside"), QString(""));
  EXPECT_EQ(Series_Output_Records("../outside"), std::nullopt);
  EXPECT_FALSE(Delete_Series("../outside"));
  EXPECT_TRUE(QFileInfo::exists(Data_Folder_Path + "/../outside.txt"));
}

// A series file is read only when it is a regular file within the limits, checked before it
// is split: a FIFO or device would block or never end, and a file of millions of lines or
// gigabytes would take many times its size. Such a file reads as no values, and an append
// to it is refused with the reason.
TEST_F(SeriesStore, ReadersTakeOnlyRegularFilesWithinTheLimits) {
  const test_support::Watchdog watchdog("reading series that are no regular files");
  ASSERT_EQ(::mkfifo(QFile::encodeName(series_file("fifo")).constData(), 0600), 0);
  {
    QFile huge(series_file("huge"));  // sparse: no disk is used
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(Series_Max_Bytes + 1));
  }
  Write_File(series_file("lines"), QByteArray(Series_Max_Lines, '\n') + "v\n");
  Write_File(series_file("most lines"), QByteArray(Series_Max_Lines - 1, '\n') + "v\n");
  struct Case {
    const char* name;
    const char* reason;  // empty: read
    bool append_refused;  // an append reads the bytes, but splits nothing
  };
  const Case cases[] = {
      {"fifo", "is not a regular file", true},
      {"huge", "is larger than 256 MB", true},
      {"lines", "has more than 2097152 lines", false},
      {"most lines", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString name = QString::fromLatin1(c.name);
    QString reason;
    const std::optional<QString> text = Read_Series_Text(series_file(name), &reason);
    EXPECT_EQ(text.has_value(), *c.reason == 0);
    EXPECT_TRUE(reason.contains(QLatin1String(c.reason))) << reason.toStdString();
    EXPECT_EQ(Read_Series_Values(name), *c.reason ? QStringList() : QStringList{"v"});
    EXPECT_EQ(Get_First_Value_Of_Dataset(name), QString(""));
    if (!c.append_refused) continue;
    EXPECT_FALSE(Append_Series_File(series_file(name), {"w"}, &reason));
    EXPECT_TRUE(reason.contains(QLatin1String(c.reason))) << reason.toStdString();
  }
  EXPECT_EQ(Series_Output_Records("fifo"), std::nullopt);
  EXPECT_EQ(Series_Output_Records("huge"), QStringList());
}

// One value is at most as long as a text import takes one, whatever the file: a line past
// that refuses the file in every reader, and the first value is read without the rest of
// the file. Each case is read where memory is short: a 200 MB line once became one value of
// 200 million characters, 819 MB for each read.
TEST_F(SeriesStore, ValuesAreNoLongerThanAnImportTakes) {
  const test_support::Watchdog watchdog("reading series with long lines");
  const qint64 big = qint64(200) << 20;
  const auto sparse = [&](const QString& name, const QByteArray& head) {
    Write_File(series_file(name), head);
    QFile file(series_file(name));  // the rest of 200 MB without using the disk: NUL characters
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.resize(big));
  };
  const QString e_acute = QStringLiteral("\u00e9");
  Write_File(series_file("longest"), QByteArray(Series_Max_Value_Length, 'v') + "\nw\n");
  Write_File(series_file("one more"), "w\n" + QByteArray(Series_Max_Value_Length + 1, 'v') + "\n");
  Write_File(series_file("two bytes each"),
             QString(Series_Max_Value_Length, e_acute.at(0)).toUtf8() + "\n");
  sparse(QStringLiteral("one line of 200 MB"), {});
  sparse(QStringLiteral("a first line, then 200 MB"), "first\n");
  const QString too_long =
      QStringLiteral("has a line longer than 1,048,576 characters, more than a value holds");
  struct Case {
    const char* name;
    QString readers;  // what the readers of the series give (see below)
  } cases[] = {
      {"longest", "text 1048579; values 2; first 1048576 vvvvv; records 2"},
      {"two bytes each", "text 1048577; values 1; first 1048576 " + QString(5, e_acute.at(0)) +
                             "; records 1"},
      {"one more", "text " + too_long + "; values 0; first 1 w; records 0"},
      {"one line of 200 MB", "text " + too_long + "; values 0; first 0 ; records 0"},
      {"a first line, then 200 MB", "text " + too_long + "; values 0; first 5 first; records 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString name = QString::fromLatin1(c.name);
    const auto readers = [&] {
      QString reason;
      const std::optional<QString> text = Read_Series_Text(series_file(name), &reason);
      const QString first = Get_First_Value_Of_Dataset(name);
      const std::optional<QStringList> records = Series_Output_Records(name);
      return QStringLiteral("text %1; values %2; first %3 %4; records %5")
          .arg(text ? QString::number(text->size())
                    : reason.remove(QDir::toNativeSeparators(series_file(name)) + u' '))
          .arg(Read_Series_Values(name).size())
          .arg(first.size())
          .arg(first.left(5))
          .arg(records ? QString::number(records->size()) : QStringLiteral("none"));
    };
    const QString got = kMemory_Limit_Works ? Run_With_Memory_Limit(qint64(64) << 20, readers)
                                            : readers();
    EXPECT_EQ(got.toStdString(), c.readers.toStdString());
  }
}

// What is written as a series is within what its readers read: a write past a limit is
// refused before anything is written, with the reason, and leaves the old file as it was
// (a 328 MB series was once written, reported done, and then read as no values). Each
// limit at its edge: the most is written and reads back whole, one more is refused.
TEST_F(SeriesStore, WhatIsWrittenIsWhatTheReadersRead) {
  const test_support::Watchdog watchdog("writing series at their limits");
  const QString longest(Series_Max_Value_Length, u'v');
  const QString longer(Series_Max_Value_Length + 1, u'v');
  const QString one_mb_line(Series_Max_Value_Length - 1, u'm');  // 1 MiB with its line feed
  const auto copies = [](qsizetype n, const QString& value) { return QStringList(n, value); };
  struct Case {
    const char* name;
    QStringList values;
    const char* refusal;  // empty: written, and read back as these values
  };
  const Case cases[] = {
      {"the longest value", {"a", longest}, ""},
      {"one character longer", {"a", longer}, "longer than 1,048,576 characters"},
      {"a cell's line break makes two lines", {"a\n" + longest}, ""},
      {"one of those lines too long", {"a\n" + longer}, "longer than 1,048,576 characters"},
      {"the most lines", copies(Series_Max_Lines, "x"), ""},
      {"one line more", copies(Series_Max_Lines + 1, "x"), "more than 2,097,152 lines"},
      {"line breaks inside values count", copies(Series_Max_Lines / 2 + 1, "x\ny"),
       "more than 2,097,152 lines"},
      {"257 MB of one shared value", copies(257, one_mb_line), "larger than 256 MB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write_File(series_file("S"), "old\n");
    QString reason;
    const bool written = Write_Series_File(series_file("S"), c.values, &reason);
    EXPECT_EQ(written, *c.refusal == 0) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QLatin1String(c.refusal))) << reason.toStdString();
    if (!written) {
      EXPECT_EQ(Read_File(series_file("S")), "old\n");
      continue;
    }
    QString read_reason;
    const std::optional<QString> text = Read_Series_Text(series_file("S"), &read_reason);
    ASSERT_TRUE(text) << read_reason.toStdString();
    EXPECT_TRUE(*text == c.values.join(u'\n') + u'\n');
  }
  // The bytes at their edge, measured without writing 256 MB: 256 values of a MiB with
  // their line feeds are the most, one byte more is refused.
  EXPECT_EQ(Series_Values_Refusal(copies(256, one_mb_line)), QString());
  EXPECT_TRUE(Series_Values_Refusal(copies(256, one_mb_line) << "").contains("larger than 256 MB"));
  // Characters of more than one byte count as their UTF-8 bytes.
  // "a" and 524,287 characters of two bytes: a MiB with the line feed.
  const QString two_bytes = "a" + QString(Series_Max_Value_Length / 2 - 1, QChar(0xE9));
  EXPECT_EQ(Series_Values_Refusal(copies(256, two_bytes)), QString());
  EXPECT_FALSE(Series_Values_Refusal(copies(256, two_bytes) << "").isEmpty());

  // An append counts what the file holds already.
  Write_File(series_file("S"), QByteArray(Series_Max_Lines - 1, '\n'));
  QString reason;
  EXPECT_TRUE(Append_Series_File(series_file("S"), {"x"}, &reason)) << reason.toStdString();
  bool past_limits = false;
  EXPECT_FALSE(Append_Series_File(series_file("S"), {"y"}, &reason, &past_limits));
  EXPECT_TRUE(reason.contains("more than 2,097,152 lines")) << reason.toStdString();
  EXPECT_TRUE(past_limits);
  EXPECT_EQ(QFileInfo(series_file("S")).size(), Series_Max_Lines + 1);

  // The dialogs' write says why, and writes nothing.
  platform_.messages.clear();
  Series_Write_Rules rules;
  rules.ask_replace = false;
  EXPECT_EQ(Save_Series("T", {"a", longer}, rules), Series_Write_Result::Failed);
  ASSERT_EQ(platform_.messages.size(), 1);
  EXPECT_TRUE(platform_.messages.first().contains("longer than 1,048,576 characters"));
  EXPECT_FALSE(QFile::exists(series_file("T")));
}

TEST_F(SeriesStore, ListOfSeries) {
  Write_File(series_file("b"), "1\n");
  Write_File(series_file("A"), "");
  Write_File(Data_Folder_Path + "/notes.csv", "x,y\n");
  Write_File(Data_Folder_Path + "/sub/inner.txt", "no\n");
  Write_File(Data_Folder_Path + "/.hidden.txt", "no\n");
  EXPECT_EQ(Get_datasheet_File_Name_Array(), (QStringList{"A", "b", "notes"}));
  // A file put there by hand is listed, though its series path does not exist.
  EXPECT_TRUE(Read_Series_Values("notes").isEmpty());
  EXPECT_TRUE(Read_Series_Values("A").isEmpty()) << "an empty series has no values";

  EXPECT_TRUE(Delete_Series("b"));
  EXPECT_EQ(Get_datasheet_File_Name_Array(), (QStringList{"A", "notes"}));
  QDir(Data_Folder_Path).removeRecursively();
  EXPECT_TRUE(Get_datasheet_File_Name_Array().isEmpty());
}

}  // namespace
