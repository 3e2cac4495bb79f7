#include "series/Zip_Archive.h"
#include "support/File_Size_Limit.h"
#include "support/Test_Support.h"
#include "support/Watchdog.h"

#include "Series_Test_Support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <filesystem>

#include <sys/stat.h>

using namespace series_test;

namespace {

class ZipArchive : public ::testing::Test {
 protected:
  QString path(const QString& relative) const { return dir_.path() + u'/' + relative; }
  QTemporaryDir dir_;
};

// Several MiB that compress unevenly, so that large files are packed in several blocks.
QByteArray large_content() {
  QByteArray bytes;
  quint32 state = 7;
  while (bytes.size() < (7 << 19)) {
    state = state * 1103515245u + 12345u;
    bytes += QByteArray::number(state >> 8) + ((state & 0x300) ? ' ' : '\n');
  }
  return bytes;
}

// A folder tree with a hidden file, an empty folder, a non-ASCII name and a large file.
void make_tree(const QString& root) {
  Write_File(root + QStringLiteral("/pkg/a.txt"), "alpha");
  Write_File(root + QStringLiteral("/pkg/.hidden"), "secret");
  Write_File(root + QStringLiteral("/pkg/sub/Zo\u00eb.txt"), QByteArray(40000, 'z'));
  Write_File(root + QStringLiteral("/pkg/sub/large.txt"), large_content());
  QDir().mkpath(root + QStringLiteral("/pkg/empty"));
}

TEST_F(ZipArchive, PacksFoldersRecursivelyAndUnpacksThemAgain) {
  make_tree(path("src"));
  for (const QString& item : {path("src/pkg"), path("src/pkg/")}) {
    SCOPED_TRACE(item.toStdString());
    const QString zip = path("out.zip");
    ASSERT_TRUE(Zip_Archive::createZipFileAtPath(zip, QStringList{item, path("src/pkg/a.txt")}));
    const std::vector<Listed_Entry> entries = List_Zip(zip);
    QStringList names;
    for (const Listed_Entry& e : entries) {
      names << e.name;
      EXPECT_EQ(e.dos_date, 0u) << "entries from files carry no date: " << e.name;
      EXPECT_TRUE(e.flag & (1u << 11)) << "names are marked as UTF-8: " << e.name;
      EXPECT_EQ(e.method, Z_DEFLATED) << e.name;
      if (e.name.endsWith(u'/')) {
        EXPECT_EQ(e.size, 0u) << e.name;
      }
    }
    EXPECT_EQ(names, (QStringList{"pkg/.hidden", "pkg/a.txt", "pkg/empty/", "pkg/sub/Zo\u00eb.txt",
                                  "pkg/sub/large.txt", "a.txt"}));

    const QString out = path("unpacked");
    QDir(out).removeRecursively();
    ASSERT_TRUE(Zip_Archive::unzipFileAtPath(zip, out));
    EXPECT_EQ(Tree(out), (QStringList{"a.txt", "pkg/", "pkg/.hidden", "pkg/a.txt", "pkg/empty/",
                                      "pkg/sub/", "pkg/sub/Zo\u00eb.txt", "pkg/sub/large.txt"}));
    EXPECT_EQ(Read_File(out + "/pkg/sub/large.txt"), large_content());
    EXPECT_EQ(Read_File(out + QStringLiteral("/pkg/sub/Zo\u00eb.txt")), QByteArray(40000, 'z'));
    EXPECT_EQ(Read_File(out + "/pkg/.hidden"), QByteArray("secret"));
  }
}

TEST_F(ZipArchive, PackingIsAllOrNothing) {
  make_tree(path("src"));
  const QString zip = path("out.zip");
  Write_File(zip, "previous archive");
  // An item that cannot be read fails the whole archive; the old file stays as it was.
  EXPECT_FALSE(
      Zip_Archive::createZipFileAtPath(zip, QStringList{path("src/pkg"), path("missing.txt")}));
  EXPECT_EQ(Read_File(zip), QByteArray("previous archive"));
  EXPECT_EQ(Tree(dir_.path()).filter(QStringLiteral("out.zip")), QStringList{"out.zip"})
      << "no temporary file is left behind";
  EXPECT_FALSE(Zip_Archive::createZipFileAtPath(path("no/such/folder/out.zip"), path("src/pkg")));
  EXPECT_FALSE(QFileInfo::exists(path("no/such/folder/out.zip")));
  // A FIFO among the items is refused at once, not waited on.
  const test_support::Watchdog watchdog("packing a FIFO");
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("src/pkg/fifo.xml")).constData(), 0600), 0);
  QString error;
  EXPECT_FALSE(Zip_Archive::createZipFileAtPath(zip, path("src/pkg"), &error));
  EXPECT_TRUE(error.contains("is not a regular file")) << error.toStdString();
  EXPECT_EQ(Read_File(zip), QByteArray("previous archive"));
}

// A disk that takes no more (files may not grow past a limit): packing leaves the old
// archive, unpacking the files that were there, and both say why.
TEST_F(ZipArchive, ADiskThatTakesNoMoreKeepsWhatWasThere) {
  make_tree(path("src"));
  const QString zip = path("out.zip");
  const struct {
    const char* name;
    qint64 limit;
    QString item;
  } packs[] = {
      {"small archive, nothing reaches the disk", 0, path("src/pkg/a.txt")},
      {"small archive, cut after 100 bytes", 100, path("src/pkg/sub/Zo\u00eb.txt")},
      {"large archive, cut after 64 KB", 64 * 1024, path("src/pkg")},
  };
  for (const auto& c : packs) {
    SCOPED_TRACE(c.name);
    Write_File(zip, "previous archive");
    test_support::Expect_Refused_Under_Limit(zip, c.limit, [&](QString* reason) {
      return Zip_Archive::createZipFileAtPath(zip, c.item, reason);
    });
    ASSERT_TRUE(Zip_Archive::createZipFileAtPath(zip, c.item));
    EXPECT_GT(QFileInfo(zip).size(), c.limit);
  }

  // Unpacking over files of an earlier unpack: the entry that fails leaves its old file.
  const struct {
    const char* name;
    qint64 limit;
    const char* failing;  // the entry that meets the limit
  } unpacks[] = {
      {"small entry, nothing reaches the disk", 0, "pkg/.hidden"},
      {"large entry, cut after 64 KB", 64 * 1024, "pkg/sub/large.txt"},
  };
  const QString out = path("unpacked");
  for (const auto& c : unpacks) {
    SCOPED_TRACE(c.name);
    for (const char* entry : {"pkg/.hidden", "pkg/sub/Zo\u00eb.txt", "pkg/sub/large.txt"})
      Write_File(out + u'/' + QString::fromUtf8(entry), "old");
    const QString failing = out + u'/' + QString::fromLatin1(c.failing);
    const test_support::Limited_Write child =
        test_support::Expect_Refused_Under_Limit(failing, c.limit, [&](QString* reason) {
          Zip_Error error;
          const bool unpacked = Zip_Archive::unzipFileAtPath(zip, out, true, QString(), &error);
          *reason = QString::number(error.code) + u' ' + error.localizedDescription;
          return unpacked;
        });
    EXPECT_TRUE(child.reason.startsWith(QString::number(Zip_Archive::Write_Failed) + u' '))
        << child.reason.toStdString();
    EXPECT_TRUE(child.reason.contains(failing)) << child.reason.toStdString();
  }
}

TEST_F(ZipArchive, EntryByEntryUse) {
  Write_File(path("file.txt"), "content");
  Zip_Archive archive(path("one.zip"));
  EXPECT_FALSE(archive.writeFile("file.txt", dir_.path())) << "writing before open";
  ASSERT_TRUE(archive.open());
  EXPECT_FALSE(archive.open()) << "opening twice";
  EXPECT_TRUE(archive.writeFile("file.txt", dir_.path()));
  EXPECT_FALSE(archive.writeData(QByteArray(), "nothing.txt"));
  EXPECT_TRUE(archive.writeData("made in memory", "data/note.txt"));
  EXPECT_FALSE(QFileInfo::exists(path("one.zip"))) << "the archive appears only when closed";
  ASSERT_TRUE(archive.close());
  EXPECT_FALSE(archive.close());

  const std::vector<Listed_Entry> entries = List_Zip(path("one.zip"));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].dos_date, 0u);
  EXPECT_NE(entries[1].dos_date, 0u) << "data entries are dated now";
  ASSERT_TRUE(Zip_Archive::unzipFileAtPath(path("one.zip"), path("out")));
  EXPECT_EQ(Read_File(path("out/data/note.txt")), QByteArray("made in memory"));
  const QDateTime written = QFileInfo(path("out/data/note.txt")).lastModified();
  EXPECT_LE(qAbs(written.secsTo(QDateTime::currentDateTime())), 120);
}

TEST_F(ZipArchive, ZipInfoAndEpoch) {
  zip_fileinfo info{};
  Zip_Archive::zipInfo(&info, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7), Qt::LocalTime));
  EXPECT_EQ(info.tmz_date.tm_year, 2021u);
  EXPECT_EQ(info.tmz_date.tm_mon, 2u);  // months count from 0
  EXPECT_EQ(info.tmz_date.tm_mday, 4u);
  EXPECT_EQ(info.tmz_date.tm_hour, 5u);
  EXPECT_EQ(info.tmz_date.tm_min, 6u);
  EXPECT_EQ(info.tmz_date.tm_sec, 7u);
  EXPECT_EQ(Zip_Archive::_dateFor1980(), QDateTime(QDate(1980, 1, 1), QTime(0, 0), Qt::LocalTime));
}

TEST_F(ZipArchive, UnpackingNamesDatesAndOverwrite) {
  // 2020-05-17 13:45:30 as an MS-DOS date and time.
  const uLong dos =
      (uLong(2020 - 1980) << 25) | (5u << 21) | (17u << 16) | (13u << 11) | (45u << 5) | (30u / 2);
  Make_Zip(path("in.zip"), {{"xl\\worksheets\\sheet1.xml", "<worksheet/>", dos},
                            {"folder\\", "", 0},
                            {"keep.txt", "from the archive", 0}});
  const QString out = path("out");
  Write_File(out + "/keep.txt", "already here");

  ASSERT_TRUE(Zip_Archive::unzipFileAtPath(path("in.zip"), out, false, QString(), nullptr));
  EXPECT_EQ(Read_File(out + "/xl/worksheets/sheet1.xml"), QByteArray("<worksheet/>"));
  EXPECT_TRUE(QFileInfo(out + "/folder").isDir());
  EXPECT_EQ(Read_File(out + "/keep.txt"), QByteArray("already here")) << "overwrite off";
  EXPECT_EQ(QFileInfo(out + "/xl/worksheets/sheet1.xml").lastModified(),
            QDateTime(QDate(2020, 5, 17), QTime(13, 45, 30), Qt::LocalTime));

  ASSERT_TRUE(Zip_Archive::unzipFileAtPath(path("in.zip"), out));
  EXPECT_EQ(Read_File(out + "/keep.txt"), QByteArray("from the archive")) << "overwrite on";
}

TEST_F(ZipArchive, OpeningErrors) {
  const test_support::Watchdog watchdog("opening archives that cannot be read");
  // A FIFO would block an open by name until something writes to it: it is refused at once.
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.zip")).constData(), 0600), 0);
  Write_File(path("text.zip"), "this is not a zip file at all");
  Make_Zip(path("empty.zip"), {});
  // The signature of the first central directory record broken: the archive opens, its
  // directory cannot be read.
  Make_Zip(path("directory.zip"), {{"a.txt", "payload"}, {"b.txt", "more"}});
  QByteArray directory = Read_File(path("directory.zip"));
  const qsizetype record = directory.indexOf(QByteArray("PK\x01\x02", 4));
  ASSERT_GT(record, 0);
  directory[record + 3] = '\x09';
  Write_File(path("directory.zip"), directory);
  struct Case {
    const char* name;
    QString zip;
    long code;
    const char* message;
  } cases[] = {
      {"missing file", path("missing.zip"), Zip_Archive::Open_Failed, "failed to open zip file"},
      {"a FIFO", path("fifo.zip"), Zip_Archive::Open_Failed,
       "failed to open zip file: %1 is not a regular file"},
      {"a folder", dir_.path(), Zip_Archive::Open_Failed,
       "failed to open zip file: %1 is a folder, not a file"},
      {"not a zip file", path("text.zip"), Zip_Archive::Open_Failed, "failed to open zip file"},
      {"no entries", path("empty.zip"), Zip_Archive::No_First_File,
       "failed to open first file in zip file"},
      {"a damaged directory", path("directory.zip"), Zip_Archive::Damaged_Entry,
       "the zip file's directory is damaged"},
  };
  for (const Case& c : cases) {
    Zip_Error error;
    EXPECT_FALSE(Zip_Archive::unzipFileAtPath(c.zip, path("out"), true, QString(), &error))
        << c.name;
    EXPECT_EQ(error.domain, QStringLiteral("Zip_ArchiveErrorDomain")) << c.name;
    EXPECT_EQ(error.code, c.code) << c.name;
    EXPECT_EQ(error.localizedDescription, QString::fromUtf8(c.message).replace("%1", c.zip))
        << c.name;
  }
}

// Hostile archives are refused before anything is written, and nothing ever lands outside
// the destination.
TEST_F(ZipArchive, RefusesHostileArchives) {
  const QByteArray zeros(2 << 20, '\0');  // 2 MiB that deflate to a few KiB
  Make_Zip(path("good.zip"), {{"a.txt", "payload"}, {"b.txt", "more payload"}});
  QByteArray truncated = Read_File(path("good.zip"));
  truncated.chop(truncated.size() / 2);
  Write_File(path("truncated.zip"), truncated);
  // A flipped byte inside the compressed data of the first entry.
  Make_Zip(path("damaged.zip"), {{"data.bin", QByteArray(5000, 'q') + QByteArray("tail", 4)}});
  QByteArray damaged = Read_File(path("damaged.zip"));
  damaged[30 + 8 + 4] = char(damaged[30 + 8 + 4] ^ 0x55);
  Write_File(path("damaged.zip"), damaged);

  struct Case {
    const char* name;
    std::vector<Raw_Entry> entries;  // empty: use `file`
    QString file;
    long code;
    // A link dest/link -> ../dest-evil in place before unpacking: a sibling folder whose
    // name begins with the destination's, which a plain prefix test takes for inside.
    bool sibling_link = false;
  };
  const std::vector<Case> cases = {
      {"parent folder",
       {{"ok.txt", "fine"}, {"../evil.txt", "x"}},
       {},
       Zip_Archive::Unsafe_Entry_Name},
      {"parent inside the name",
       {{"ok.txt", "fine"}, {"a/../../evil.txt", "x"}},
       {},
       Zip_Archive::Unsafe_Entry_Name},
      {"backslash parent", {{"..\\evil.txt", "x"}}, {}, Zip_Archive::Unsafe_Entry_Name},
      {"absolute name",
       {{"ok.txt", "fine"}, {"/tmp/evil.txt", "x"}},
       {},
       Zip_Archive::Unsafe_Entry_Name},
      {"drive letter", {{"C:\\evil.txt", "x"}}, {}, Zip_Archive::Unsafe_Entry_Name},
      {"unpacks too large", {{"ok.txt", "fine"}, {"bomb.bin", zeros}}, {}, Zip_Archive::Too_Large},
      {"too many entries",
       {{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}},
       {},
       Zip_Archive::Too_Large},
      {"truncated archive", {}, path("truncated.zip"), Zip_Archive::Open_Failed},
      {"damaged entry", {}, path("damaged.zip"), Zip_Archive::Damaged_Entry},
      {"an entry shorter than it claims",
       {{"data.bin", QByteArray(3000, 'q'), 0, 9000}},
       {},
       Zip_Archive::Damaged_Entry},
      {"through a link to a sibling named like the destination",
       {{"link/evil.txt", "x"}},
       {},
       Zip_Archive::Unsafe_Entry_Name,
       true},
      {"a folder below a link to a sibling named like the destination",
       {{"link/sub/evil.txt", "x"}},
       {},
       Zip_Archive::Unsafe_Entry_Name,
       true},
  };
  Zip_Limits limits;
  limits.max_total_bytes = 1 << 20;
  limits.max_entries = 4;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString zip = c.file.isEmpty() ? path("hostile.zip") : c.file;
    if (c.file.isEmpty()) Make_Zip(zip, c.entries);
    const QString root = path("root");
    QDir(root).removeRecursively();
    QDir().mkpath(root + "/dest");
    if (c.sibling_link) {
      QDir().mkpath(root + "/dest-evil");
      std::filesystem::create_directory_symlink("../dest-evil", (root + "/dest/link").toStdString());
    }
    const QStringList before = Tree(root);
    Zip_Error error;
    EXPECT_FALSE(
        Zip_Archive::unzipFileAtPath(zip, root + "/dest", true, QString(), &error, limits));
    EXPECT_EQ(error.code, c.code) << error.localizedDescription.toStdString();
    const QStringList written = Tree(root);
    for (const QString& item : written) {
      if (!before.contains(item)) {
        EXPECT_TRUE(item.startsWith(QStringLiteral("dest/"))) << "written outside: " << item;
      }
    }
    if (c.code == Zip_Archive::Unsafe_Entry_Name || c.code == Zip_Archive::Too_Large) {
      EXPECT_EQ(written, before) << "nothing unpacked from a refused archive";
    }
    if (c.code == Zip_Archive::Damaged_Entry) {
      EXPECT_FALSE(QFileInfo::exists(root + "/dest/data.bin")) << "no half-written file";
    }
    EXPECT_FALSE(QFileInfo::exists(path("evil.txt")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/tmp/evil.txt")));
  }
}

TEST_F(ZipArchive, DeclaredSizesBoundWhatIsWritten) {
  // The header claims 100 bytes while the data inflates to 2 MiB: no more than the claim
  // is ever written, so a lying entry cannot fill the disk.
  Make_Zip(path("liar.zip"), {{"small.bin", QByteArray(2 << 20, 'x'), 0, 100}});
  Zip_Limits limits;
  limits.max_total_bytes = 1 << 20;
  Zip_Error error;
  Zip_Archive::unzipFileAtPath(path("liar.zip"), path("out"), true, QString(), &error, limits);
  EXPECT_LE(QFileInfo(path("out/small.bin")).size(), 100);
}

TEST_F(ZipArchive, LinksInTheDestinationLeadNowhere) {
  QDir().mkpath(path("outside"));
  QDir().mkpath(path("dest"));
  ASSERT_TRUE(QFile::link(path("outside"), path("dest/link")));
  Write_File(path("outside/target.txt"), "original");
  ASSERT_TRUE(QFile::link(path("outside/target.txt"), path("dest/file.txt")));
  for (const QByteArray& name : {QByteArray("link/evil.txt"), QByteArray("file.txt")}) {
    SCOPED_TRACE(name.toStdString());
    Make_Zip(path("in.zip"), {{name, "x"}});
    Zip_Error error;
    EXPECT_FALSE(
        Zip_Archive::unzipFileAtPath(path("in.zip"), path("dest"), true, QString(), &error));
    EXPECT_EQ(error.code, Zip_Archive::Unsafe_Entry_Name);
  }
  EXPECT_EQ(Tree(path("outside")), QStringList{"target.txt"});
  EXPECT_EQ(Read_File(path("outside/target.txt")), QByteArray("original"));
}

}  // namespace

namespace {

// An entry without a name (a 114-byte workbook of a fuzzer) is no file to write; the others
// are unpacked.
TEST_F(ZipArchive, AnEntryWithoutNameIsSkipped) {
  Make_Zip(path("nameless.zip"), {{"", "x"}, {"a.txt", "payload"}});
  Zip_Error error;
  EXPECT_TRUE(Zip_Archive::unzipFileAtPath(path("nameless.zip"), path("out"), true, QString(),
                                           &error))
      << error.localizedDescription.toStdString();
  EXPECT_EQ(Tree(path("out")), QStringList{"a.txt"});
}

}  // namespace

TEST_F(ZipArchive, EntriesKeptInMemoryAreNotWritten) {
  const QByteArray big = large_content();
  Make_Zip(path("book.zip"), {{"xl/workbook.xml", "<workbook/>"},
                              {"xl/worksheets/sheet1.xml", big},
                              {"xl/worksheets/sheet2.xml", "<worksheet/>"},
                              {"xl/worksheets/empty.xml", ""}});
  Zip_Memory_Entries kept;
  kept.keep = [](const QString& entry) { return entry.startsWith(u"xl/worksheets/"); };
  Zip_Error error;
  ASSERT_TRUE(Zip_Archive::unzipFileAtPath(path("book.zip"), path("out"), true, QString(), &error,
                                           Zip_Limits(), {}, &kept))
      << error.localizedDescription.toStdString();
  EXPECT_EQ(Tree(path("out")), (QStringList{"xl/", "xl/workbook.xml"}));
  EXPECT_EQ(kept.entries.size(), 3);
  EXPECT_EQ(kept.entries.value("xl/worksheets/sheet1.xml"), big);
  EXPECT_EQ(kept.entries.value("xl/worksheets/sheet2.xml"), QByteArray("<worksheet/>"));
  EXPECT_TRUE(kept.entries.contains("xl/worksheets/empty.xml"));

  // Kept entries are checked and counted like written ones.
  const QByteArray zeros(2 << 20, '\0');
  Make_Zip(path("bomb.zip"), {{"a.txt", "fine"}, {"bomb.bin", zeros}});
  Make_Zip(path("damaged.zip"), {{"data.bin", QByteArray(5000, 'q') + QByteArray("tail", 4)}});
  QByteArray damaged = Read_File(path("damaged.zip"));
  damaged[30 + 8 + 4] = char(damaged[30 + 8 + 4] ^ 0x55);
  Write_File(path("damaged.zip"), damaged);
  Make_Zip(path("short.zip"), {{"data.bin", QByteArray(3000, 'q'), 0, 9000}});
  const std::pair<const char*, long> refused[] = {{"bomb.zip", Zip_Archive::Too_Large},
                                                  {"damaged.zip", Zip_Archive::Damaged_Entry},
                                                  {"short.zip", Zip_Archive::Damaged_Entry}};
  Zip_Limits limits;
  limits.max_total_bytes = 1 << 20;
  for (const auto& [zip, code] : refused) {
    SCOPED_TRACE(zip);
    Zip_Memory_Entries all;
    all.keep = [](const QString&) { return true; };
    EXPECT_FALSE(Zip_Archive::unzipFileAtPath(path(zip), path("refused"), true, QString(), &error,
                                              limits, {}, &all));
    EXPECT_EQ(error.code, code);
    EXPECT_TRUE(Tree(path("refused")).isEmpty());
  }
}
