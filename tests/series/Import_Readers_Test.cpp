// The readers behind the import wizard: text decoding, comma-separated values, our rich text
// reader (against LibreOffice Writer reading the same files), text files, pasted text and
// picture folders.

#include "series/Import_Text.h"
#include "series/Rtf_Reader.h"

#include "LibreOffice_Jobs.h"
#include "Series_Test_Support.h"
#include "support/Memory_Limit.h"
#include "support/Watchdog.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

#include <sys/stat.h>

using namespace series_test;
using test_support::kMemory_Limit_Works;
using test_support::Run_With_Memory_Limit;

namespace {

TEST(DecodeText, ByteOrderMarksAndStrictUtf8) {
  const QString word = QStringLiteral("Stra\u00dfe \u65e5\u672c");
  struct Case {
    const char* name;
    QByteArray bytes;
    std::optional<QString> text;
  };
  QStringEncoder le16(QStringConverter::Utf16LE), be16(QStringConverter::Utf16BE),
      le32(QStringConverter::Utf32LE), be32(QStringConverter::Utf32BE);
  const Case cases[] = {
      {"plain UTF-8", word.toUtf8(), word},
      {"UTF-8 with mark", "\xEF\xBB\xBF" + word.toUtf8(), word},
      {"UTF-16 LE", QByteArray("\xFF\xFE", 2) + QByteArray(le16.encode(word)), word},
      {"UTF-16 BE", QByteArray("\xFE\xFF", 2) + QByteArray(be16.encode(word)), word},
      {"UTF-32 LE", QByteArray("\xFF\xFE\0\0", 4) + QByteArray(le32.encode(word)), word},
      {"UTF-32 BE", QByteArray("\0\0\xFE\xFF", 4) + QByteArray(be32.encode(word)), word},
      {"repeated UTF-8 marks", "\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF" + word.toUtf8(), word},
      {"repeated UTF-16 marks", QByteArray("\xFF\xFE\xFF\xFE\xFF\xFE\xFF\xFE", 8) + QByteArray(le16.encode(word)),
       word},
      {"Latin-1 without mark", QByteArray("caf\xE9"), std::nullopt},
      {"cut UTF-8 sequence", QByteArray("ab\xE6\x97"), std::nullopt},
      {"odd UTF-16", QByteArray("\xFF\xFE" "a", 3), std::nullopt},
      {"UTF-16 lone high surrogate", QByteArray("\xFF\xFE\x00\xD8" "a\0", 6), std::nullopt},
      {"UTF-16 lone low surrogate", QByteArray("\xFE\xFF\xDC\x00", 4), std::nullopt},
      {"UTF-32 surrogate", QByteArray("\xFF\xFE\0\0\x00\xD8\0\0", 8), std::nullopt},
      {"UTF-32 past U+10FFFF", QByteArray("\0\0\xFE\xFF\0\x11\0\0", 8), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Decode_Text(c.bytes), c.text);
  }
}

TEST(ParseCsv, Rfc4180FieldsAndEveryLineEnd) {
  struct Case {
    const char* name;
    QString text;
    QList<QStringList> rows;
  };
  const Case cases[] = {
      {"LF", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}},
      {"CRLF", "a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}},
      {"CR", "x,y\r1,2\r", {{"x", "y"}, {"1", "2"}}},
      {"no last line end", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}},
      {"one-field lines kept", "one\ntwo\n", {{"one"}, {"two"}}},
      {"empty lines give no row", "a\n\n\r\nb\n", {{"a"}, {"b"}}},
      {"quoted comma, doubled quote", "\"1,5\",\"say \"\"hi\"\"\"\n", {{"1,5", "say \"hi\""}}},
      {"line breaks inside a field become spaces", "\"two\r\nlines\",\"x\ry\nz\"\n",
       {{"two lines", "x y z"}}},
      {"empty fields", ",a,\n", {{"", "a", ""}}},
      {"a quoted empty field is a row", "\"\"\n", {{""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parse_Csv(c.text), c.rows);
  }
}

TEST(RtfReader, ControlWordsCodePagesAndUnicode) {
  struct Case {
    const char* name;
    QByteArray rtf;
    std::optional<QString> text;
  };
  const Case cases[] = {
      {"paragraphs and a line", "{\\rtf1\\ansi a\\par b\\line c}", QStringLiteral("a\nb\nc")},
      {"backslash before a line break", "{\\rtf1 a\\\nb}", QStringLiteral("a\nb")},
      {"file line ends are no text", "{\\rtf1 a\r\nb}", QStringLiteral("ab")},
      {"tab and escaped symbols", "{\\rtf1 a\\tab \\{b\\}\\\\}", QStringLiteral("a\t{b}\\")},
      {"\\'hh in cp1252", "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}", QStringLiteral("caf\u00e9")},
      {"\\'hh in cp1251", "{\\rtf1\\ansi\\ansicpg1251 \\'c0}", QStringLiteral("\u0410")},
      {"font character set", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 X;}}\\f1 \\'c0\\f0 \\'c0}",
       QStringLiteral("\u0410\u00c0")},
      {"\\u with \\uc0", "{\\rtf1 Stra\\uc0\\u223 e}", QStringLiteral("Stra\u00dfe")},
      {"\\u skips its fallback", "{\\rtf1\\uc1 \\u26085?\\u26412\\'3f!}", QStringLiteral("\u65e5\u672c!")},
      {"\\uc2 and a negative \\u", "{\\rtf1\\uc2\\u-3913??x}", QString(QChar(0xF0B7)) + "x"},
      {"surrogate pair", "{\\rtf1\\uc0\\u-10180\\u-8311}", QStringLiteral("\U0001F389")},
      {"skipped destinations",
       "{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red255;}{\\stylesheet{s}}"
       "{\\info{\\title T}}{\\*\\unknown x}{\\pict 0102}{\\header h}body}",
       QStringLiteral("body")},
      {"binary data stepped over", QByteArray("{\\rtf1{\\*\\blip\\bin3 }}}}x}"), QStringLiteral("x")},
      {"field result kept", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt link}}}",
       QStringLiteral("link")},
      {"plain text", "hello", std::nullopt},
      {"open group", "{\\rtf1 a{b}", std::nullopt},
      {"extra close", "{\\rtf1 a}}", QStringLiteral("a")},
      {"cut \\'", "{\\rtf1 \\'e", std::nullopt},
      {"\\'hh with a sign", "{\\rtf1 \\'-1}", std::nullopt},
      {"\\'hh with a space", "{\\rtf1 \\' f}", std::nullopt},
      {"too deep", "{\\rtf1" + QByteArray(Rtf_Max_Depth, '{') + QByteArray(Rtf_Max_Depth + 1, '}'),
       std::nullopt},
      {"\\bin beyond the end", "{\\rtf1\\bin99 x}", std::nullopt},
      // Text with an unpaired surrogate is not Unicode, as in a plain text file.
      {"lone high surrogate", "{\\rtf1\\uc0 a\\u-10180 b}", std::nullopt},
      {"lone low surrogate", "{\\rtf1\\uc0 \\u-8311 b}", std::nullopt},
      {"high surrogate at the end", "{\\rtf1\\uc1 a\\u55357?}", std::nullopt},
      {"pair split by a fallback", "{\\rtf1\\uc1 \\u-10180?\\u-8311?}", QStringLiteral("\U0001F389")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Rtf_To_Text(c.rtf), c.text);
  }
}

// Every code page a file names shares one decoder per encoding: a million distinct
// \\ansicpgN (a 16 MB file) are read in a little memory, where one decoder each took
// hundreds of MB.
TEST(RtfReader, ManyCodePagesInLittleMemory) {
  if (!kMemory_Limit_Works) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
  QByteArray rtf = "{\\rtf1 ";
  for (int page = 2000; page < 1002000; ++page) rtf += "\\ansicpg" + QByteArray::number(page) + " x\\par ";
  rtf += "}";
  const QString answer = Run_With_Memory_Limit(qint64(160) << 20, [&rtf] {
    const std::optional<QString> text = Rtf_To_Text(rtf);
    return text ? QString::number(text->count(u'x')) : QStringLiteral("no text");
  });
  EXPECT_EQ(answer, QStringLiteral("1000000"));
}

class ImportFiles : public ::testing::Test {
 protected:
  QString file(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    Write_File(path, bytes);
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(ImportFiles, TextCsvAndRtfValues) {
  struct Case {
    const char* name;
    QByteArray bytes;
    QStringList values;
    QString error;
  };
  const Case cases[] = {
      {"a.txt", "a\n\n  b  \n", {"a", "b"}, {}},
      {"crlf.txt", "a\r\nb\rc\r\n", {"a", "b", "c"}, {}},
      {"braces.txt", "{abc}\n\\x\\y\n", {"abc", "xy"}, {}},
      {"utf16.txt", QByteArray("\xFF\xFE", 2) + QByteArray("h\0i\0\n\0", 6), {"hi"}, {}},
      {"latin1.txt", "caf\xE9\n", {},
       Import_File_Corrupted + "\n\n" + dir_.filePath("latin1.txt") +
           " is not encoded in UTF-8: it holds bytes that are no UTF-8 character."},
      {"empty.txt", "", {}, Import_File_Corrupted},
      {"cr.csv", "x,y\r1,2\r", {"x", "y", "1", "2"}, {}},
      {"lf.csv", "Name,City\none\n\"a, b\",\"two\nlines\"\n,\n", {"Name", "City", "one", "a, b", "two lines"}, {}},
      {"bom.CSV", "\xEF\xBB\xBF\"007\",x\r\n", {"007", "x"}, {}},
      {"cocoa.rtf",
       "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2580\n\\cocoatextscaling0\\cocoaplatform0{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
       "{\\colortbl;\\red255\\green255\\blue255;}\n{\\*\\expandedcolortbl;;}\n"
       "\\paperw11900\\paperh16840\\margl1440\\margr1440\\vieww11520\\viewh8400\\viewkind0\n"
       "\\pard\\tx566\\tx1133\\pardirnatural\\partightenfactor0\n\n"
       "\\f0\\fs24 \\cf0 Stra\\uc0\\u223 e\\\ncaf\\'e9\\\n\\uc0\\u26085 \\u26412 }",
       {QStringLiteral("Stra\u00dfe"), QStringLiteral("caf\u00e9"), QStringLiteral("\u65e5\u672c")}, {}},
      {"cyrillic.RTF",
       "{\\rtf1\\ansi\\ansicpg1251\\cocoartf2580\n{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
       "\\pard\\f0\\fs24 \\cf0 \\'c0}",
       {QStringLiteral("\u0410")}, {}},
      {"plain.rtf", "just text\n", {}, Import_File_Corrupted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text_Import read = Read_Text_Import(file(QString::fromLatin1(c.name), c.bytes));
    EXPECT_EQ(read.values, c.values);
    EXPECT_EQ(read.error, c.error);
  }
  EXPECT_TRUE(Read_Text_Import(dir_.filePath("missing.txt")).error.startsWith(Import_File_Unreadable + u'\n'));
}

// Only regular files are read, none larger than an import takes: a FIFO or a device is
// refused at once (it would block or never end), a file over the limit before it is read.
TEST_F(ImportFiles, OnlyRegularFilesWithinTheLimit) {
  const test_support::Watchdog watchdog("reading what is no regular file");
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir_.filePath("fifo.txt")).constData(), 0600), 0);
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.csv"));
  struct Case {
    QString path;
    const char* reason;
  };
  std::vector<Case> cases = {
      {dir_.filePath("fifo.txt"), "is not a regular file"},
      {QStringLiteral("/dev/zero"), "is not a regular file"},
      {dir_.filePath("folder.csv"), "is a folder"},
  };
  for (const char* name : {"huge.txt", "huge.csv", "huge.rtf"}) {
    // Sparse: no disk is used, and nothing is read from it.
    QFile huge(dir_.filePath(QLatin1String(name)));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(Import_Max_Bytes + 1));
    cases.push_back({huge.fileName(), "is larger than 256 MB"});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const Text_Import read = Read_Text_Import(c.path);
    EXPECT_TRUE(read.error.startsWith(Import_File_Unreadable + u'\n')) << read.error.toStdString();
    EXPECT_TRUE(read.error.contains(QLatin1String(c.reason))) << read.error.toStdString();
    EXPECT_TRUE(read.values.isEmpty());
  }
}

// One import makes one series: at most a million values, each line or field at most 1 MiB
// characters, refused with the reason before more is made; an import that finds no value
// says so.
TEST_F(ImportFiles, LimitsOfOneImport) {
  const QByteArray longest(Import_Max_Value_Length, 'x');
  struct Case {
    const char* name;
    QByteArray bytes;
    qsizetype values;
    QString error;
  };
  const Case cases[] = {
      {"million.txt", QByteArray("v\n").repeated(Import_Max_Values), Import_Max_Values, {}},
      {"more.txt", QByteArray("v\n").repeated(Import_Max_Values) + "w", 0, Import_Too_Many_Values},
      {"more.csv", QByteArray("v,").repeated(Import_Max_Values) + "w\n", 0, Import_Too_Many_Values},
      {"more.rtf", "{\\rtf1 " + QByteArray("\\par v").repeated(Import_Max_Values + 1) + "}", 0,
       Import_Too_Many_Values},
      {"empty lines count nothing.txt", QByteArray("\n\n v\n").repeated(Import_Max_Values), Import_Max_Values, {}},
      {"longest.txt", "a\r\n" + longest + "\r\nb", 3, {}},
      {"longer.txt", "a\r\n" + longest + "y\r\nb", 0, Import_Value_Too_Long},
      {"longer.rtf", "{\\rtf1 " + longest + "y}", 0, Import_Value_Too_Long},
      {"longest.csv", "a,\"" + longest + "\",b\n", 3, {}},
      {"longer.csv", "a,\"" + longest + "y\",b\n", 0, Import_Value_Too_Long},
      // Quoted line breaks are one field: a megabyte of them is no value of a card.
      {"quoted line breaks.csv", "\"" + QByteArray(Import_Max_Value_Length + 1, '\n') + "\"\n", 0,
       Import_Value_Too_Long},
      {"blank.csv", "\" \r\n \"\n,,\n", 0, Import_No_Values},
      {"blank.txt", " \n\t\n{}\n", 0, Import_No_Values},
      {"blank.rtf", "{\\rtf1 \\par \\tab}", 0, Import_No_Values},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text_Import read = Read_Text_Import(file(QString::fromLatin1(c.name), c.bytes));
    EXPECT_EQ(read.error, c.error);
    EXPECT_EQ(read.values.size(), c.values);
  }
}

// A text file is decoded and split a megabyte at a time: characters, surrogate pairs, line
// ends and doubled quotes cut between two pieces read as if whole.
TEST_F(ImportFiles, TextCutBetweenPieces) {
  constexpr qsizetype piece = qsizetype(1) << 20;
  QStringEncoder utf16(QStringConverter::Utf16LE);
  const auto expect_values = [&](const char* name, const QByteArray& bytes,
                                 const QString& value) -> qsizetype {
    SCOPED_TRACE(name);
    EXPECT_GT(bytes.size(), piece);
    const Text_Import read = Read_Text_Import(file(QString::fromLatin1(name), bytes));
    EXPECT_EQ(read.error, QString());
    EXPECT_TRUE(std::all_of(read.values.begin(), read.values.end(),
                            [&](const QString& v) { return v == value; }));
    return read.values.size();
  };
  // Each line 12 bytes; the first piece ends 4 bytes into a line: inside a character.
  const QString cjk = QStringLiteral("\u65e5\u672c\U0001F389");
  expect_values("utf8.txt", (cjk + "\r\n").toUtf8().repeated(piece / 12 + 100), cjk);
  // Each line 12 bytes after the 2-byte mark: the first piece ends between the halves of a
  // surrogate pair.
  const QString pair_first = QStringLiteral("\U0001F389\u65e5\u672c");
  expect_values("utf16.txt",
                QByteArray("\xFF\xFE", 2) + QByteArray(utf16.encode(pair_first + "\r\n")).repeated(piece / 12 + 100),
                pair_first);
  // Fields of 7 bytes after a 1-byte first field: the first piece ends between the CR and
  // the LF inside a quoted field, which stay one space.
  EXPECT_EQ(expect_values("crlf.csv", "," + QByteArray("\"p\r\nq\",").repeated(piece / 7 + 100), "p q"),
            piece / 7 + 100);
  // The first piece ends between the two quotes of a doubled one.
  const qsizetype filler = piece - 3;
  EXPECT_EQ(expect_values("quotes.csv", "\"" + QByteArray(filler, ' ') + "a\"\"b\"\n", "a\"b"), 1);
  // A lone surrogate in the second piece still makes the file corrupted.
  EXPECT_EQ(Read_Text_Import(file("lone.txt", QByteArray("\xFF\xFE", 2) +
                                                  QByteArray(utf16.encode(QStringLiteral("a\n"))).repeated(piece / 4 + 10) +
                                                  QByteArray("\x00\xD8" "a\0", 4)))
                .error,
            Import_File_Corrupted + "\n\n" + dir_.filePath("lone.txt") +
                " is not valid text in the encoding its byte-order mark names.");
}

TEST_F(ImportFiles, PastedTextAndPictureFolders) {
  EXPECT_EQ(Pasted_Values(QStringLiteral("\n p \r\nq\n\n r\n")), (QStringList{"p ", "q", " r"}));
  EXPECT_TRUE(Pasted_Values(QStringLiteral(" \n\t")).isEmpty());

  const QString folder = dir_.filePath("pictures");
  for (const char* name : {"b.txt", "A.JPG", "c.png/inner.png", "d.Tiff", "e.jfif", "noext"})
    Write_File(folder + u'/' + QString::fromLatin1(name), "x");
  EXPECT_EQ(Picture_Folder_Values(folder),
            (QStringList{folder + "/A.JPG", folder + "/d.Tiff", folder + "/e.jfif"}));
}

// LibreOffice Writer reads our rich text fixtures and writes them as UTF-8 text, and writes
// rich text of its own from a document: our reader must give the same lines.
TEST_F(ImportFiles, RtfReaderAgreesWithLibreOfficeWriter) {
  const QString fodt = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:body><office:text>
  <text:p>Stra%1e</text:p><text:p>%2</text:p><text:p>caf%3</text:p><text:p>%4</text:p>
  <text:p>tab<text:tab/>and<text:line-break/>break {braces}</text:p>
 </office:text></office:body>
</office:document>
)").arg(QChar(0xdf)).arg(QStringLiteral("\u65e5\u672c")).arg(QChar(0xe9)).arg(QChar(0x410));
  const QString written = file("writer.fodt", fodt.toUtf8());
  const QStringList fixtures = {
      file("cocoa.rtf",
           "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2580{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
           "\\pard\\f0\\fs24 \\cf0 Stra\\uc0\\u223 e\\\ncaf\\'e9\\\n\\uc0\\u26085 \\u26412 }"),
      file("cyrillic.rtf",
           "{\\rtf1\\ansi\\ansicpg1251\n\\pard \\'c0\\par \\'e0\\'e1}"),
      dir_.filePath("writer.rtf"),
  };
  QList<Convert_Job> jobs = {{written, fixtures.last(), QStringLiteral("Rich Text Format"), {}}};
  for (const QString& rtf : fixtures)
    jobs.append({rtf, rtf + ".txt", QStringLiteral("Text (encoded)"), QStringLiteral("UTF8")});
  Run_LibreOffice_Jobs(dir_.filePath("lo"), jobs);
  if (HasFatalFailure()) return;

  for (const QString& rtf : fixtures) {
    SCOPED_TRACE(rtf.toStdString());
    const std::optional<QString> writer = Decode_Text(Read_File(rtf + ".txt"));
    ASSERT_TRUE(writer.has_value());
    QStringList expected;
    for (const QString& line : Split_Lines(*writer))
      if (!Clean_Import_Value(line).isEmpty()) expected << Clean_Import_Value(line);
    const Text_Import ours = Read_Text_Import(rtf);
    EXPECT_EQ(ours.error, QString());
    EXPECT_EQ(ours.values, expected);
  }
  EXPECT_EQ(Read_Text_Import(fixtures.last()).values,
            (QStringList{QStringLiteral("Stra\u00dfe"), QStringLiteral("\u65e5\u672c"),
                         QStringLiteral("caf\u00e9"), QStringLiteral("\u0410"), "tab\tand",
                         "break braces"}));
}

}  // namespace
