// The readers behind the import wizard: text decoding, comma-separated values, our rich text
// reader (against LibreOffice Writer reading the same files), text files, pasted text and
// picture folders.

#include "series/Import_Text.h"
#include "series/Rtf_Reader.h"

#include "LibreOffice_Jobs.h"
#include "Series_Test_Support.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace series_test;

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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Rtf_To_Text(c.rtf), c.text);
  }
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
      {"latin1.txt", "caf\xE9\n", {}, Import_File_Corrupted},
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
  EXPECT_EQ(Read_Text_Import(dir_.filePath("missing.txt")).error, Import_File_Unreadable);
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
