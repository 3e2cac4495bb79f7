#include "series/Cell_Reference.h"
#include "series/Import_Text.h"
#include "series/Sheet_Import.h"
#include "series/SpreadsheetWriter.h"
#include "series/Zip_Archive.h"

#include "model/Shared_Design_State.h"
#include "support/File_Size_Limit.h"
#include "support/Test_Support.h"
#include "support/Watchdog.h"

#include "support/Memory_Limit.h"
#include "support/Deadlock_Guard.h"
#include "Series_Test_Support.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <pugixml.hpp>

#include <sys/stat.h>

using namespace series_test;
using test_support::kMemory_Limit_Works;
using test_support::Run_With_Memory_Limit;

namespace {

const QByteArray kDeclaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
const QByteArray kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// A worksheet part; an empty dimension leaves the element out.
QByteArray sheet_xml(const QByteArray& dimension, const QByteArray& rows) {
  QByteArray xml = kDeclaration + "<worksheet xmlns=\"" + kMain + "\">";
  if (!dimension.isEmpty()) xml += "<dimension ref=\"" + dimension + "\"/>";
  return xml + "<sheetData>" + rows + "</sheetData></worksheet>";
}

QByteArray shared_xml(const QList<QByteArray>& items) {
  QByteArray xml = kDeclaration + "<sst xmlns=\"" + kMain + "\">";
  for (const QByteArray& item : items) xml += "<si>" + item + "</si>";
  return xml + "</sst>";
}

QByteArray s(int index, const char* ref) {
  return QByteArray("<c r=\"") + ref + "\" t=\"s\"><v>" + QByteArray::number(index) + "</v></c>";
}
QByteArray n(const char* value, const char* ref) {
  return QByteArray("<c r=\"") + ref + "\"><v>" + value + "</v></c>";
}
QByteArray inl(const char* text, const char* ref) {
  return QByteArray("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}
QByteArray row(const QByteArray& cells) { return "<row>" + cells + "</row>"; }

class Workbook : public test_support::Design_Test {
 protected:
  // Packs the parts (name -> content) as a workbook.
  QString make_workbook(const QList<std::pair<QString, QByteArray>>& parts) {
    const QString folder = dir_.path() + QStringLiteral("/parts%1").arg(++made_);
    for (const auto& [name, content] : parts) Write_File(folder + u'/' + name, content);
    const QString path = dir_.path() + QStringLiteral("/book%1.xlsx").arg(made_);
    QStringList items;
    for (const QString& item : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
      items << folder + u'/' + item;
    EXPECT_TRUE(Zip_Archive::createZipFileAtPath(path, items));
    return path;
  }
  QString workbook(const QByteArray& sheet,
                   const std::optional<QByteArray>& shared = std::nullopt) {
    QList<std::pair<QString, QByteArray>> parts{{"xl/worksheets/sheet1.xml", sheet}};
    if (shared) parts.append({"xl/sharedStrings.xml", *shared});
    return make_workbook(parts);
  }
  // The import dialogs' order: unpack, choose sheet 1, titles, rows.
  std::pair<Sheet_Rows, Sheet_Rows> read(const QString& path, int sheet = 1) {
    SpreadsheetWriter::ReadWorkbook(path, true);
    Excel_Sheet_Number = sheet;
    Sheet_Rows titles = SpreadsheetWriter::ReadData_only_column();
    Sheet_Rows rows = SpreadsheetWriter::ReadWorkbook(QString(), false);
    return {titles, rows};
  }
  QString path(const QString& name) const { return dir_.path() + u'/' + name; }

  QTemporaryDir dir_;
  int made_ = 0;
};

TEST(CellReferences, ColumnLettersBothWays) {
  const std::pair<int, const char*> columns[] = {{1, "A"},     {26, "Z"},     {27, "AA"},
                                                 {52, "AZ"},   {53, "BA"},    {702, "ZZ"},
                                                 {703, "AAA"}, {16384, "XFD"}};
  for (const auto& [number, letters] : columns) {
    EXPECT_EQ(SpreadsheetWriter::ColumnIndexToName(number), QString(letters));
    EXPECT_EQ(SpreadsheetWriter::ColumnNumber_To_Name(number), QString(letters));
    EXPECT_EQ(SpreadsheetWriter::Get_Col_index(letters, 64), number) << letters;
    EXPECT_EQ(SpreadsheetWriter::Get_Col_index(letters, 65), number - 1) << letters;
  }
  for (int outside : {0, -1, 16385}) EXPECT_EQ(Column_Letters(outside), QString()) << outside;
  for (const char* bad : {"", "a", "XFE", "AAAA", "A1"})
    EXPECT_EQ(SpreadsheetWriter::Get_Col_index(bad, 64), -1) << bad;

  const std::pair<const char*, const char*> leading[] = {
      {"AB7", "AB"}, {"A10", "A"}, {"XFD1048576", "XFD"}, {"C", "C"}};
  for (const auto& [reference, letters] : leading)
    EXPECT_EQ(SpreadsheetWriter::Get_Column_Char_Str(reference), QString(letters));
  EXPECT_EQ(SpreadsheetWriter::Asc_Val("A"), 65);
  EXPECT_EQ(SpreadsheetWriter::Asc_Val(QStringLiteral("\u0141")), 0x41);
}

TEST(CellReferences, DimensionsOfAnyValidForm) {
  const std::pair<const char*, int> cases[] = {
      {"A1:D20", 4},
      {"B2:D20", 4},
      {"A1", 1},
      {"C3", 3},
      {"A10:AB200", 28},
      {"AA1:AC9", 29},
      {"A1:XFD1048576", 16384},
      {"$A$1:$C$5", 3},
      {" A1:B2 ", 2},
      {"", 0},
      {"A1:", 0},
      {"1:5", 0},
      {"XFE1", 0},
      {"A0", 0},
      {"A1048577", 0},
      {"a1:b2", 0},
  };
  for (const auto& [ref, columns] : cases)
    EXPECT_EQ(Dimension_Columns(std::string_view(ref)), columns) << ref;
}

TEST(CellReferences, WhichTextsAreNumbers) {
  for (const char* number : {"0", "12", "-3.25", "0.5", "123456789012345", "-0.001", "100",
                             "0.000000000000012", "0.123456789012345"})
    EXPECT_TRUE(Is_Plain_Number(QString(number))) << number;
  for (const char* text :
       {"007", "1,5", "1.50", "+1", "1e3", "-0", "", " 12", "12 ", "1.", ".5", "1234567890123456",
        "0x1F", "12abc", "1.0", "--1", "-", "0.000000000000001", "0.0000000000000123"})
    EXPECT_FALSE(Is_Plain_Number(QString(text))) << text;
  EXPECT_FALSE(Is_Plain_Number(QStringLiteral("\u0661\u0662"))) << "other digits";
}

TEST_F(Workbook, ReadsTitlesAndRows) {
  struct Case {
    const char* name;
    QByteArray sheet;
    std::optional<QByteArray> shared;
    QStringList titles;
    int columns;
    Sheet_Rows rows;
  };
  const QByteArray people = shared_xml({"<t>Name</t>", "<t>City</t>", "<t>Ann</t>"});
  const std::vector<Case> cases = {
      {"titles from the first stored row",
       sheet_xml("A1:D20",
                 row(s(0, "A1") + s(1, "C1")) + row(s(2, "A2") + n("42", "B2") + inl("x", "D2"))),
       people,
       {"Name", "Untitled Column 2", "City", "Untitled Column 4"},
       4,
       {{"Name", "", "City", ""}, {"Ann", "42", "", "x"}}},
      {"empty rows are not stored",
       sheet_xml("A3:B5", "<row r=\"3\">" + inl("T1", "A3") + inl("T2", "B3") +
                              "</row><row r=\"5\">" + n("1", "A5") + "</row>"),
       std::nullopt,
       {"T1", "T2"},
       2,
       {{"T1", "T2"}, {"1", ""}}},
      {"a dimension from B2 counts from A",
       sheet_xml("B2:D3", row(inl("b", "B2")) + row(inl("d", "D3"))),
       std::nullopt,
       {"Untitled Column 1", "b", "Untitled Column 3", "Untitled Column 4"},
       4,
       {{"", "b", "", ""}, {"", "", "", "d"}}},
      {"formatted runs and phonetic guides",
       sheet_xml("A1:D1", row(s(0, "A1") + s(1, "B1") + s(2, "C1") + s(3, "D1"))),
       shared_xml({"<t>plain</t>",
                   "<r><rPr><b/></rPr><t>Bold</t></r><r><t xml:space=\"preserve\"> text</t></r>",
                   "<t>\xe6\xbc\xa2\xe5\xad\x97</t><rPh sb=\"0\" "
                   "eb=\"2\"><t>\xe3\x81\x8b\xe3\x82\x93</t></rPh>",
                   "<t>last</t>"}),
       {"plain", "Bold text", QStringLiteral("\u6f22\u5b57"), "last"},
       4,
       {{"plain", "Bold text", QStringLiteral("\u6f22\u5b57"), "last"}}},
      {"string indexes past the strings",
       sheet_xml("A1:C1", row(s(1, "A1") + s(2, "B1") + s(7, "C1"))),
       shared_xml({"<t>a</t>", "<t>b</t>"}),
       {"b", "Untitled Column 2", "Untitled Column 3"},
       3,
       {{"b", "", ""}}},
      {"formulas give their cached values",
       sheet_xml("A1:C1", row("<c r=\"A1\"><f>1+2</f><v>3</v></c>"
                              "<c r=\"B1\" t=\"str\"><f>\"a\"&amp;\"b\"</f><v>ab</v></c>"
                              "<c r=\"C1\"><f>NOW()</f></c>")),
       std::nullopt,
       {"3", "ab", "Untitled Column 3"},
       3,
       {{"3", "ab", ""}}},
      {"a one-cell sheet",
       sheet_xml("A1", row(inl("only", "A1"))),
       std::nullopt,
       {"only"},
       1,
       {{"only"}}},
      {"cells without references follow the one before",
       sheet_xml("A1:E2", row("<c t=\"inlineStr\"><is><t>a</t></is></c><c><v>5</v></c>" +
                              inl("d", "D1") + "<c><v>6</v></c>")),
       std::nullopt,
       {"a", "5", "Untitled Column 3", "d", "6"},
       5,
       {{"a", "5", "", "d", "6"}}},
      {"no dimension: the cells tell the columns",
       sheet_xml("", row(inl("a", "A1")) + row(inl("c", "C2"))),
       std::nullopt,
       {"a", "Untitled Column 2", "Untitled Column 3"},
       3,
       {{"a", "", ""}, {"", "", "c"}}},
      {"references, white space and line ends",
       sheet_xml("A1:D1",
                 row("<c r=\"A1\" t=\"inlineStr\"><is><t xml:space=\"preserve\">  a &amp; b  "
                     "</t></is></c>"
                     "<c r=\"B1\" "
                     "t=\"inlineStr\"><is><t>&#x65E5;&#26412;&lt;&gt;&quot;&apos;</t></is></c>"
                     "<c r=\"C1\" t=\"inlineStr\"><is><t><![CDATA[<raw> & ]]>x</t></is></c>"
                     "<c r=\"D1\" t=\"inlineStr\"><is><t>one\r\ntwo\rthree</t></is></c>")),
       std::nullopt,
       {"  a & b  ", QStringLiteral("\u65e5\u672c<>\"'"), "<raw> & x", "one\ntwo\nthree"},
       4,
       {{"  a & b  ", QStringLiteral("\u65e5\u672c<>\"'"), "<raw> & x", "one\ntwo\nthree"}}},
      {"prefixed element names",
       QByteArray("<x:worksheet xmlns:x=\"") + kMain +
           "\"><x:dimension ref=\"A1:B1\"/><x:sheetData><x:row>"
           "<x:c r=\"B1\" "
           "t=\"inlineStr\"><x:is><x:t>p</x:t></x:is></x:c></x:row></x:sheetData></x:worksheet>",
       std::nullopt,
       {"Untitled Column 1", "p"},
       2,
       {{"", "p"}}},
      {"a sheet without rows", sheet_xml("A1", ""), std::nullopt, {}, 1, {}},
      // An odd cell never costs its neighbours their place.
      {"a title beyond the dimension widens the sheet",
       sheet_xml("A1:B1", row(inl("a", "A1") + inl("c", "C1"))),
       std::nullopt,
       {"a", "Untitled Column 2", "c"},
       3,
       {{"a", "", "c"}}},
      // Titles and rows have one width, however far the cells reach.
      {"a cell beyond the dimension widens the titles too",
       sheet_xml("A1:B2", row(inl("a", "A1")) + row(inl("c", "C2"))),
       std::nullopt,
       {"a", "Untitled Column 2", "Untitled Column 3"},
       3,
       {{"a", "", ""}, {"", "", "c"}}},
      {"a later row reaching past the dimension",
       sheet_xml("A1:B3", row(inl("Name", "A1") + inl("City", "B1")) +
                              row(inl("Ann", "A2") + inl("Rome", "B2")) +
                              row(inl("Bo", "A3") + n("7", "D3"))),
       std::nullopt,
       {"Name", "City", "Untitled Column 3", "Untitled Column 4"},
       4,
       {{"Name", "City", "", ""}, {"Ann", "Rome", "", ""}, {"Bo", "", "", "7"}}},
      {"a string cell in a workbook without strings",
       sheet_xml("A1:B2", row(inl("t", "A1")) + row(s(0, "A2") + inl("u", "B2"))),
       std::nullopt,
       {"t", "Untitled Column 2"},
       2,
       {{"t", ""}, {"", "u"}}},
      {"a dimension of whole columns: the filled cells tell",
       sheet_xml("A1:XFD1048576",
                 row(inl("a", "A1") + "<c r=\"F1\" s=\"1\"/>") + row(inl("b", "B2"))),
       std::nullopt,
       {"a", "Untitled Column 2"},
       2,
       {{"a", ""}, {"", "b"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto [titles, rows] = read(workbook(c.sheet, c.shared));
    if (c.titles.isEmpty()) {
      EXPECT_TRUE(titles.isEmpty());
    } else {
      ASSERT_EQ(titles.size(), 1);
      EXPECT_EQ(titles.front(), c.titles);
    }
    EXPECT_EQ(Excel_Sheet_Columns, c.columns);
    EXPECT_EQ(rows, c.rows);
  }
}

TEST_F(Workbook, ColumnsBeyondZZ) {
  const auto [titles, rows] = read(workbook(
      sheet_xml("A10:AAB12", "<row r=\"10\">" + inl("first", "A10") + inl("last", "AAB10") +
                                 "</row><row r=\"12\">" + n("7", "ZZ12") + "</row>")));
  EXPECT_EQ(Excel_Sheet_Columns, 704);
  ASSERT_EQ(titles.size(), 1);
  ASSERT_EQ(titles[0].size(), 704);
  EXPECT_EQ(titles[0][0], QString("first"));
  EXPECT_EQ(titles[0][703], QString("last"));
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[1][701], QString("7"));

  // Cells far out keep their places whatever order they come in, and of two cells with one
  // reference the later wins.
  const auto at = [](const char* text, int column) {
    return inl(text, (SpreadsheetWriter::ColumnIndexToName(column).toLatin1() + "1").constData());
  };
  const auto [far_titles, far_rows] = read(workbook(sheet_xml(
      "", row(inl("a", "A1") + at("early", 600) + at("m", 200) + at("n", 450) + at("late", 600) +
              at("last", 16384) + inl("b", "B1")))));
  ASSERT_EQ(far_rows.size(), 1);
  QStringList expected(16384);
  expected[0] = "a";
  expected[1] = "b";
  expected[199] = "m";
  expected[449] = "n";
  expected[599] = "late";
  expected[16383] = "last";
  EXPECT_EQ(far_rows[0], expected);
}

// 200,000 rows of one cell each in column XFD: a 1 MB workbook whose rows, made whole, would
// be 3.3 billion cells. The titles come from the first row; the rows read is refused by the
// extent the rows reach, before they are made whole, in little memory and at once (it took
// 1.58 GB first).
TEST_F(Workbook, RowsReachingFarOutAreRefusedBeforeTheyAreMadeWhole) {
  const test_support::Watchdog watchdog("reading rows that reach column XFD");
  const int count = 200000;
  QByteArray rows;
  for (int r = 1; r <= count; ++r) {
    const QByteArray number = QByteArray::number(r);
    rows += "<row r=\"" + number + "\">" + inl("x", ("XFD" + number).constData()) + "</row>";
  }
  for (const QByteArray& dimension : {QByteArray(), QByteArray("A1:XFD200000")}) {
    SCOPED_TRACE(dimension.isEmpty() ? "no dimension" : "a dimension");
    const QString book = workbook(sheet_xml(dimension, rows));
    const auto titles_and_rows = [&] {
      SpreadsheetWriter::ReadWorkbook(book, true);
      Excel_Sheet_Number = 1;
      const Sheet_Rows titles = SpreadsheetWriter::ReadData_only_column();
      QString answer = QStringLiteral("%1 titles, the last %2; ")
                           .arg(titles.value(0).size())
                           .arg(titles.value(0).value(16383));
      try {
        answer += QString::number(SpreadsheetWriter::ReadWorkbook(QString(), false).size());
      } catch (const Spreadsheet_Error& e) {
        answer += e.reason();
      }
      SpreadsheetWriter::Release_Data();
      return answer;
    };
    const QString expected =
        QStringLiteral("16384 titles, the last x; The sheet is too large to read: its rows, each "
                       "as wide as the widest, would hold more than the 2,097,152 cells a read "
                       "takes.");
    const QString got = kMemory_Limit_Works
                            ? Run_With_Memory_Limit(qint64(256) << 20, titles_and_rows)
                            : titles_and_rows();
    EXPECT_EQ(got.toStdString(), expected.toStdString());
  }
}

// A FIFO named as a workbook would block the picker for good: it is refused at once, as every
// reader refuses one.
TEST_F(Workbook, AFifoNamedAsAWorkbookIsRefusedAtOnce) {
  const test_support::Watchdog watchdog("opening a FIFO named as a workbook");
  for (const char* name : {"fifo.xlsx", "fifo.ods"}) {
    SCOPED_TRACE(name);
    const QString fifo = path(QString::fromLatin1(name));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const test_support::Log_Capture log;
    const Workbook_Sheets opened = Open_Workbook(fifo);
    EXPECT_EQ(opened.error,
              With_Reason(Import_File_Corrupted,
                          fifo + QStringLiteral(": failed to open zip file: ") + fifo +
                              QStringLiteral(" is not a regular file")));
    EXPECT_TRUE(opened.sheets.isEmpty());
    EXPECT_TRUE(log.contains(fifo + QStringLiteral(": failed to open zip file: ") + fifo +
                             QStringLiteral(" is not a regular file")))
        << log.text().join(u'\n').toStdString();
  }
}

// A reason names the user's file and the part inside it, never the folder it is unpacked in.
TEST_F(Workbook, ReasonsNameTheWorkbookAndThePart) {
  const QString good = workbook(sheet_xml("A1", row(inl("a", "A1"))));
  const QString broken_sheet = workbook(sheet_xml("A1", "<row><c r=\"A1\"><v>1</c></row>"));
  const QString broken_strings = workbook(sheet_xml("A1", row(s(0, "A1"))), "<sst><si></sst>");
  Make_Zip(path("broken.ods"), {{"content.xml", "<office:document-content><office:body>"}});
  Make_Zip(path("empty.ods"), {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}});
  const auto reason_of = [](const std::function<void()>& read) {
    try {
      read();
    } catch (const Spreadsheet_Error& e) {
      return e.reason();
    }
    return QStringLiteral("read");
  };
  const auto sheet = [](const QString& book, int number) {
    return [book, number] {
      SpreadsheetWriter::ReadWorkbook(book, true);
      Excel_Sheet_Number = number;
      SpreadsheetWriter::ReadWorkbook(QString(), false);
    };
  };
  const struct {
    const char* name;
    std::function<void()> read;
    QString reason;  // the start of the reason
  } cases[] = {
      {"a sheet the workbook does not have", sheet(good, 5),
       good + " holds no part xl/worksheets/sheet5.xml"},
      {"a sheet that is not well formed", sheet(broken_sheet, 1),
       broken_sheet + ", part xl/worksheets/sheet1.xml: "},
      {"shared strings that are not well formed",
       [&] { SpreadsheetWriter::ReadWorkbook(broken_strings, true); },
       broken_strings + ", part xl/sharedStrings.xml: "},
      {"a spreadsheet whose content is not well formed",
       [&] { SpreadsheetWriter::ReadODS(path("broken.ods")); },
       path("broken.ods") + ", part content.xml: "},
      {"a spreadsheet without content", [&] { SpreadsheetWriter::ReadODS(path("empty.ods")); },
       path("empty.ods") + " holds no part content.xml"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString reason = reason_of(c.read);
    EXPECT_TRUE(reason.startsWith(c.reason)) << reason.toStdString();
    EXPECT_FALSE(reason.contains(QLatin1String("ziptmp"))) << reason.toStdString();
  }
}

TEST_F(Workbook, SheetsThatCannotBeReadReachTheCaller) {
  struct Case {
    const char* name;
    QByteArray sheet;
    std::optional<QByteArray> shared;
    bool titles_fail;  // else the titles are read and the rows read fails
    const char* reason;
  } cases[] = {
      {"a negative string index", sheet_xml("A1", row(inl("t", "A1")) + row(s(-1, "A2"))),
       shared_xml({"<t>a</t>"}), false, "A string cell in column A names no shared string (-1)."},
      {"a reference that names no cell", sheet_xml("A1", row(inl("t", "A1")) + row(n("1", "1A"))),
       std::nullopt, false, "The cell reference \"1A\" is not valid."},
      {"more cells than a read hands out",
       sheet_xml("A1:AMJ1", row(inl("t", "A1")) +
                                QByteArray("<row><c t=\"inlineStr\"><is><t>x</t></is></c></row>")
                                    .repeated(2048)),
       std::nullopt, false,
       "The sheet is too large to read: its rows, each as wide as the widest, would hold more "
       "than the 2,097,152 cells a read takes."},
      {"a title reference that names no cell", sheet_xml("A1", row(n("1", "A1A"))), std::nullopt,
       true, "The cell reference \"A1A\" is not valid."},
  };
  // What a read threw, or "" when it threw nothing.
  const auto reason_of = [](const auto& read) {
    try {
      read();
    } catch (const Spreadsheet_Error& e) {
      return e.reason();
    }
    return QString();
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SpreadsheetWriter::ReadWorkbook(workbook(c.sheet, c.shared), true);
    Excel_Sheet_Number = 1;
    if (c.titles_fail) {
      EXPECT_EQ(reason_of([] { SpreadsheetWriter::ReadData_only_column(); }), c.reason);
      continue;
    }
    const Sheet_Rows titles = SpreadsheetWriter::ReadData_only_column();
    ASSERT_EQ(titles.size(), 1);
    EXPECT_EQ(titles[0].value(0), QStringLiteral("t"));
    EXPECT_EQ(reason_of([] { SpreadsheetWriter::ReadWorkbook(QString(), false); }), c.reason);
  }
  // An empty cell beyond the columns is no data and no error.
  const auto [titles, rows] =
      read(workbook(sheet_xml("A1:A1", row(inl("a", "A1") + "<c r=\"C1\"/>"))));
  EXPECT_EQ(rows, (Sheet_Rows{{"a"}}));
}

TEST_F(Workbook, PartsThatAreNotXmlReachTheCaller) {
  const QByteArray good = sheet_xml("A1:B2", row(inl("a", "A1")) + row(inl("b", "A2")));
  struct Case {
    const char* name;
    QByteArray sheet;
    int sheet_number;
    std::optional<Sheet_Rows> titles;  // the titles read stops after the first row
  } cases[] = {
      {"a part cut short after its first row",
       good.left(good.size() - 40),
       1,
       Sheet_Rows{{"a", "Untitled Column 2"}}},
      {"a part cut short in its first row", good.left(good.indexOf("</row>")), 1, std::nullopt},
      {"a document type declaration",
       kDeclaration + "<!DOCTYPE worksheet [<!ENTITY a \"aaaa\">]>" + good.mid(kDeclaration.size()),
       1,
       std::nullopt},
      {"a missing sheet", good, 5, std::nullopt},
      {"mismatched tags", sheet_xml("A1", "<row><c r=\"A1\"><v>1</c></row>"), 1, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SpreadsheetWriter::ReadWorkbook(workbook(c.sheet), true);
    Excel_Sheet_Number = c.sheet_number;
    if (c.titles)
      EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(), *c.titles);
    else
      EXPECT_THROW(SpreadsheetWriter::ReadData_only_column(), Spreadsheet_Error);
    EXPECT_THROW(SpreadsheetWriter::ReadWorkbook(QString(), false), Spreadsheet_Error);
  }
}

// Small packages a user may open that once crashed, hung or filled the memory: each is
// refused with its reason, or read, within moments.
TEST_F(Workbook, HostileWorkbooks) {
  const QByteArray sheet = sheet_xml("A1", row(inl("a", "A1")));
  QByteArray many_strings = kDeclaration + "<sst xmlns=\"" + kMain + "\">";
  many_strings += QByteArray("<si/>").repeated((1 << 22) + 1) + "</sst>";
  struct Case {
    const char* name;
    QString path;
    const char* reason;
  } cases[] = {
      {"shared strings with a document type",
       workbook(sheet, kDeclaration + "<!DOCTYPE sst [<!ENTITY a \"b\">]><sst/>"),
       "Document type"},
      {"more shared strings than a workbook holds", workbook(sheet, many_strings),
       "too many"},
      {"a white-space run past any real token",
       workbook(sheet_xml("A1", row(inl("a", "A1"))).replace("<sheetData>",
                                                             "<sheetData>" +
                                                                 QByteArray(65 << 20, ' '))),
       "too long"},
      {"not a package", path("missing.xlsx"), "failed to open zip file"},
      {"cells without references past column XFD",
       workbook(sheet_xml("", row(QByteArray("<c t=\"inlineStr\"><is><t>a</t></is></c>")
                                      .repeated(16385)))),
       "last column"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      SpreadsheetWriter::ReadWorkbook(c.path, true);
      Excel_Sheet_Number = 1;
      SpreadsheetWriter::ReadData_only_column();
      ADD_FAILURE() << "read";
    } catch (const Spreadsheet_Error& e) {
      EXPECT_TRUE(e.reason().contains(QString::fromUtf8(c.reason))) << e.reason();
    }
  }
  // 1.6 million "&" read at once (each once looked for its ";" through the rest).
  const QByteArray ampersands(1600000, '&');
  const auto [titles, rows] =
      read(workbook(sheet_xml("A1", row(inl(ampersands.constData(), "A1")))));
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0][0].size(), ampersands.size());
}

// Only the parts a read reads are unpacked (the worksheets, the workbook part and the shared
// strings), each within 256 MB and together within 512 MB, checked before anything is
// inflated: a 1 MB workbook holding a gigabyte of white space in a part nobody reads once
// took 15 s, one whose worksheet unpacked to a gigabyte 13 s and 261 MB, 9,000 unread parts
// 7 s, all of it written into the temporary folder.
TEST_F(Workbook, ZipBombsAreNotUnpacked) {
  if (!kMemory_Limit_Works) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
  const qint64 gigabyte = qint64(1000) << 20;
  const QByteArray sheet = sheet_xml("A1", row(inl("ok", "A1")));
  const QByteArray sheet_head = kDeclaration + "<worksheet xmlns=\"" + kMain + "\"><sheetData>";
  const QByteArray sheet_tail = row(inl("ok", "A1")) + "</sheetData></worksheet>";
  const auto sheet_bomb = [&](const QByteArray& name, qint64 spaces) {
    return Spaces_Bomb(name, sheet_head, spaces, sheet_tail);
  };
  std::vector<Raw_Entry> many{{"xl/worksheets/sheet1.xml", sheet}};
  for (int i = 0; i < 9000; ++i)
    many.push_back(Spaces_Bomb("xl/media/image" + QByteArray::number(i) + ".xml", "", 115000, ""));
  Make_Zip(path("unread.xlsx"), {{"xl/worksheets/sheet1.xml", sheet},
                                 Spaces_Bomb("xl/media/junk.xml", "", gigabyte, "")});
  Make_Zip(path("many.xlsx"), many);
  Make_Zip(path("sheet.xlsx"), {sheet_bomb("xl/worksheets/sheet1.xml", gigabyte)});
  Make_Zip(path("strings.xlsx"),
           {{"xl/worksheets/sheet1.xml", sheet},
            Spaces_Bomb("xl/sharedStrings.xml", "<sst xmlns=\"" + kMain + "\">", gigabyte, "</sst>")});
  Make_Zip(path("sheets.xlsx"), {sheet_bomb("xl/worksheets/sheet1.xml", qint64(200) << 20),
                                 sheet_bomb("xl/worksheets/sheet2.xml", qint64(200) << 20),
                                 sheet_bomb("xl/worksheets/sheet3.xml", qint64(200) << 20)});
  ASSERT_LT(QFileInfo(path("sheet.xlsx")).size(), 8 << 20);
  const struct {
    const char* file;
    QString answer;
  } cases[] = {
      {"unread.xlsx", "ok"},
      {"many.xlsx", "ok"},
      {"sheet.xlsx", "the zip entry xl/worksheets/sheet1.xml unpacks to more than 256 MB"},
      {"strings.xlsx", "the zip entry xl/sharedStrings.xml unpacks to more than 256 MB"},
      {"sheets.xlsx", "the zip file unpacks to more than 512 MB"},
  };
  const QString folder = SpreadsheetWriter::spreadsheet().tmpDir();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const QString answer = Run_With_Memory_Limit(qint64(256) << 20, [&] {
      try {
        const Sheet_Rows rows = read(path(QString::fromUtf8(c.file))).second;
        return rows.isEmpty() ? QString("no rows") : rows[0][0];
      } catch (const Spreadsheet_Error& e) {
        return e.reason();
      }
    });
    EXPECT_TRUE(answer.endsWith(c.answer)) << answer.toStdString();
    // The child unpacked into the same folder: no part nobody reads is there.
    for (const QString& item : Tree(folder))
      EXPECT_TRUE(item == "xl/" || item == "xl/worksheets/") << item.toStdString();
  }
}

// A read makes at most kMax_Read_Characters characters, the shared strings' counted first:
// a workbook of exactly that many reads, and one of a character more is refused, whether the
// character lies in the shared strings or in a cell's own text.
TEST_F(Workbook, TextUpToTheBudgetIsReadAndACharacterMoreIsRefused) {
  constexpr int kLength = 1 << 15;                               // characters of a text
  constexpr int kTexts = int(kMax_Read_Characters / kLength);  // that many reach the budget
  static_assert(qint64(kTexts) * kLength == kMax_Read_Characters);
  const QByteArray text(kLength, 'x');
  // `shared` shared strings, the sheet's first row showing the first of them; then `own`
  // rows of a cell with a text of its own. `more`: one text of one character after them.
  const auto book = [&](int shared, bool more_shared, int own, bool more_own) {
    QByteArray rows;
    if (shared > 0) rows += row("<c t=\"s\"><v>0</v></c>");
    const QByteArray own_cell = "<c t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
    for (int r = 0; r < own; ++r) rows += row(own_cell);
    if (more_own) rows += row("<c t=\"inlineStr\"><is><t>y</t></is></c>");
    QList<QByteArray> items;
    for (int i = 0; i < shared; ++i) items << "<t>" + text + "</t>";
    if (more_shared) items << "<t>y</t>";
    return workbook(sheet_xml("", rows), shared > 0 ? std::optional(shared_xml(items)) : std::nullopt);
  };
  const QString sheet_refused = QStringLiteral("The sheet holds more text than a read takes");
  const QString shared_refused = QStringLiteral("The shared strings hold more text than a read takes");
  const struct {
    const char* name;
    int shared;
    bool more_shared;
    int own;
    bool more_own;
    QString answer;  // "<rows> rows of <characters> characters", or what the reason says
  } cases[] = {
      {"the cells' own texts at the budget", 0, false, kTexts, false,
       QStringLiteral("%1 rows of %2 characters").arg(kTexts).arg(kMax_Read_Characters)},
      {"the cells' own texts a character past it", 0, false, kTexts, true, sheet_refused},
      {"the shared strings at the budget", kTexts, false, 0, false,
       QStringLiteral("1 rows of %1 characters").arg(kLength)},
      {"the shared strings a character past it", kTexts, true, 0, false, shared_refused},
      {"shared strings and the cells' own texts at the budget", kTexts / 2, false, kTexts / 2,
       false, QStringLiteral("%1 rows of %2 characters").arg(kTexts / 2 + 1).arg(
                  qint64(kTexts / 2 + 1) * kLength)},
      {"shared strings and the cells' own texts a character past it", kTexts / 2, false,
       kTexts / 2, true, sheet_refused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = book(c.shared, c.more_shared, c.own, c.more_own);
    QString answer;
    try {
      const Sheet_Rows rows = read(file).second;
      qint64 characters = 0;
      for (const QStringList& cells : rows)
        for (const QString& cell : cells) characters += cell.size();
      answer = QStringLiteral("%1 rows of %2 characters").arg(rows.size()).arg(characters);
    } catch (const Spreadsheet_Error& e) {
      answer = e.reason();
    }
    if (c.answer.endsWith(u"characters"))
      EXPECT_EQ(answer.toStdString(), c.answer.toStdString());
    else
      EXPECT_TRUE(answer.contains(c.answer)) << answer.toStdString();
    QFile::remove(file);
  }
}

TEST_F(Workbook, WorksheetsInNumericOrder) {
  QList<std::pair<QString, QByteArray>> parts;
  QByteArray sheets;
  for (int i = 1; i <= 11; ++i) {
    const QByteArray name = "sheet" + QByteArray::number(i);
    parts.append({QStringLiteral("xl/worksheets/%1.xml").arg(i == 4 ? "Sheet4" : QString(name)),
                  sheet_xml("A1", row(inl(name.constData(), "A1")))});
    sheets += "<sheet name=\"Tab " + QByteArray::number(12 - i) + "\" sheetId=\"" +
              QByteArray::number(i) + "\"/>";
  }
  parts.append({"xl/workbook.xml",
                "<workbook xmlns=\"" + kMain + "\"><sheets>" + sheets + "</sheets></workbook>"});
  SpreadsheetWriter::ReadWorkbook(make_workbook(parts), true);
  const QStringList names = SpreadsheetWriter::Worksheet_Names();
  EXPECT_EQ(names, (QStringList{"sheet1", "sheet2", "sheet3", "Sheet4", "sheet5", "sheet6",
                                "sheet7", "sheet8", "sheet9", "sheet10", "sheet11"}));
  for (int number : {2, 4, 10, 11}) {
    Excel_Sheet_Number = number;
    const Sheet_Rows titles = SpreadsheetWriter::ReadData_only_column();
    ASSERT_EQ(titles.size(), 1);
    EXPECT_EQ(titles[0], QStringList{QStringLiteral("sheet%1").arg(number)});
  }
  const QStringList tabs = SpreadsheetWriter::Read_Sheet_Name();
  ASSERT_EQ(tabs.size(), 11);
  EXPECT_EQ(tabs.front(), QString("Tab 11"));
  EXPECT_EQ(tabs.back(), QString("Tab 1"));
}

TEST_F(Workbook, UnpackFolderIsPrivateAndStartsEmpty) {
  const QString folder = Excel_Unpack_Folder();
  const QString holder = QFileInfo(folder).absolutePath();
  EXPECT_EQ(QFileInfo(folder).fileName(), QString("ziptmp"));
  EXPECT_NE(QDir(holder).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
  SpreadsheetWriter::ReadWorkbook(workbook(sheet_xml("A1", row(inl("a", "A1")))), true);
  for (const QString& private_folder : {holder, folder}) {
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(private_folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << private_folder;
  }
  EXPECT_EQ(SpreadsheetWriter::spreadsheet().tmpDir(), folder);

  // What an earlier workbook left is gone when the next one is unpacked.
  Write_File(folder + "/xl/worksheets/sheet2.xml", sheet_xml("A1", row(inl("stale", "A1"))));
  SpreadsheetWriter::ReadWorkbook(workbook(sheet_xml("A1", row(inl("b", "A1")))), true);
  EXPECT_EQ(SpreadsheetWriter::Worksheet_Names(), QStringList{"sheet1"});

  // A refused archive leaves nothing to read.
  const QString hostile = path("hostile.xlsx");
  Make_Zip(hostile, {{"xl/worksheets/sheet1.xml", sheet_xml("A1", row(inl("c", "A1")))},
                     {"../../escaped.xml", "x"}});
  try {
    SpreadsheetWriter::ReadWorkbook(hostile, true);
    ADD_FAILURE() << "a hostile archive was read";
  } catch (const Spreadsheet_Error& e) {
    EXPECT_TRUE(e.reason().contains(QStringLiteral("outside its folder"))) << e.reason();
  }
  EXPECT_TRUE(Tree(folder).isEmpty()) << Tree(folder);
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(holder).absolutePath() + "/escaped.xml"));

  Delete_Excel_File_Temp_Folder();
  EXPECT_FALSE(QFileInfo::exists(folder));
  SpreadsheetWriter::ReadWorkbook(workbook(sheet_xml("A1", row(inl("d", "A1")))), true);
  Excel_Sheet_Number = 1;
  EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(), (Sheet_Rows{{"d"}}));
}

// The parts of a written workbook, parsed by pugixml.
struct Written_Parts {
  pugi::xml_document sheet, shared;
  QStringList entries;
};

void load_written(const QString& package, const QString& folder, Written_Parts* parts) {
  parts->entries = Entry_Names(package);
  ASSERT_TRUE(Zip_Archive::unzipFileAtPath(package, folder));
  ASSERT_TRUE(
      parts->sheet.load_file(QFile::encodeName(folder + "/xl/worksheets/sheet1.xml").constData()));
  ASSERT_TRUE(
      parts->shared.load_file(QFile::encodeName(folder + "/xl/sharedStrings.xml").constData()));
}

TEST_F(Workbook, WritesASheetFromTheTemplate) {
  const Sheet_Rows rows{{"Batch Value"}, {"12"}, {"abc"}, {"abc"}};
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path("out.xlsx"), rows, false));
  Written_Parts parts;
  load_written(path("out.xlsx"), path("check"), &parts);
  for (const char* part :
       {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
        "xl/styles.xml", "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"})
    EXPECT_TRUE(parts.entries.contains(QString(part))) << part;

  const pugi::xml_node sheet = parts.sheet.child("worksheet");
  EXPECT_STREQ(sheet.attribute("xmlns").value(), kMain.constData());
  EXPECT_STREQ(sheet.child("dimension").attribute("ref").value(), "A1:A4");
  const pugi::xml_node selection = sheet.child("sheetViews").child("sheetView").child("selection");
  EXPECT_STREQ(selection.attribute("activeCell").value(), "A4");
  EXPECT_STREQ(selection.attribute("sqref").value(), "A4");
  struct Cell {
    const char* ref;
    const char* type;
    const char* value;
  } cells[] = {{"A1", "s", "0"}, {"A2", "", "12"}, {"A3", "s", "1"}, {"A4", "s", "2"}};
  int r = 0;
  for (pugi::xml_node row : sheet.child("sheetData").children("row")) {
    ASSERT_LT(r, 4);
    EXPECT_EQ(row.attribute("r").as_int(), r + 1);
    EXPECT_STREQ(row.attribute("spans").value(), "1:1");
    const pugi::xml_node c = row.child("c");
    EXPECT_STREQ(c.attribute("r").value(), cells[r].ref);
    EXPECT_STREQ(c.attribute("t").value(), cells[r].type);
    EXPECT_STREQ(c.child_value("v"), cells[r].value);
    ++r;
  }
  EXPECT_EQ(r, 4);
  const pugi::xml_node sst = parts.shared.child("sst");
  EXPECT_EQ(sst.attribute("count").as_int(), 3);
  EXPECT_EQ(sst.attribute("uniqueCount").as_int(), 3);
  QStringList strings;
  for (pugi::xml_node si : sst.children("si")) strings << QString::fromUtf8(si.child_value("t"));
  EXPECT_EQ(strings, (QStringList{"Batch Value", "abc", "abc"}));

  // The title-row flag changes nothing.
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path("titled.xlsx"), rows, true));
  EXPECT_EQ(Read_File(path("titled.xlsx")), Read_File(path("out.xlsx")));
}

TEST_F(Workbook, WrittenWorkbooksReadBackUnchanged) {
  const Sheet_Rows rows{
      {"Name", "Code", "Amount"},
      {QStringLiteral("Zo\u00eb \u65e5\u672c \U0001F389"), "007", "-3.25"},
      {"<&>\"'", "1,5", "12"},
      {"  padded  ", "line one\nline two", "a\r\nb"},
      {"x", "y"},  // shorter rows are padded when read
      {"p", "q", "r", "wider"},
  };
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path("round.xlsx"), rows, false));
  Written_Parts parts;
  load_written(path("round.xlsx"), path("check"), &parts);
  const pugi::xml_node sheet = parts.sheet.child("worksheet");
  EXPECT_STREQ(sheet.child("dimension").attribute("ref").value(), "A1:D6")
      << "the widest row sets the columns";
  EXPECT_STREQ(sheet.child("sheetData").child("row").attribute("spans").value(), "1:4");

  const auto [titles, read_rows] = read(path("round.xlsx"));
  Sheet_Rows expected = rows;
  for (QStringList& r : expected)
    while (r.size() < 4) r.append(QString());
  EXPECT_EQ(read_rows, expected);
  ASSERT_EQ(titles.size(), 1);
  EXPECT_EQ(titles[0], (QStringList{"Name", "Code", "Amount", "Untitled Column 4"}));

  // Characters XML cannot carry are left out rather than spoiling the file.
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(
      path("control.xlsx"), {{QStringLiteral("a\u0001b\uffffc"), QStringLiteral("tab\there")}},
      false));
  EXPECT_EQ(read(path("control.xlsx")).second, (Sheet_Rows{{"abc", "tab\there"}}));
}

TEST_F(Workbook, FailedWritesAreReported) {
  Write_File(path("kept.xlsx"), "previous");
  struct Case {
    const char* name;
    Sheet_Rows rows;
    QString target;
    bool remove_template;
  } cases[] = {
      {"no rows", {}, path("kept.xlsx"), false},
      {"only empty rows", {{}, {}}, path("kept.xlsx"), false},
      {"a folder that does not exist", {{"a"}}, path("missing/out.xlsx"), false},
      {"no template", {{"a"}}, path("kept.xlsx"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.remove_template) QFile::remove(Resource_Path + "/Template.xlsx");
    Log_Capture log;
    EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(c.target, c.rows, false));
    EXPECT_TRUE(log.contains(QStringLiteral("Error when writing file"))) << log.text();
    EXPECT_EQ(Read_File(path("kept.xlsx")), QByteArray("previous"));
    EXPECT_FALSE(QFileInfo::exists(path("missing")));
  }
}

// A template that is there but is no regular file (a FIFO: opening it would wait for a
// writer) is neither opened nor called missing.
TEST_F(Workbook, ATemplateThatIsNoRegularFileIsSaidToBeNone) {
  const QString template_path = Resource_Path + "/Template.xlsx";
  QFile::remove(template_path);
  ASSERT_EQ(mkfifo(QFile::encodeName(template_path).constData(), 0600), 0);
  Log_Capture log;
  QString error;
  EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(path("out.xlsx"), {{"a"}}, false, &error));
  EXPECT_EQ(error, "the template " + template_path + " is not a regular file.");
  EXPECT_TRUE(log.contains("is not a regular file")) << log.text();
  EXPECT_FALSE(QFileInfo::exists(path("out.xlsx")));
  QFile::remove(template_path);
}

// A disk that takes no more (files may not grow past a limit): the old workbook stays and
// the reason is the system's. The small workbook's parts fit under the limit, only the
// package does not: it fails when its last bytes are written out.
TEST_F(Workbook, ADiskThatTakesNoMoreKeepsTheOldWorkbook) {
  const auto rows_of = [](int count) {
    Sheet_Rows rows{{"Batch Value"}};
    for (int i = 0; i < count; ++i) rows << QStringList{QStringLiteral("Guest number %1").arg(i)};
    return rows;
  };
  // The largest part of a small workbook, and the workbook's size.
  const Sheet_Rows small = rows_of(20);
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path("free.xlsx"), small, false));
  qint64 largest_part = 0;
  QDirIterator parts(SpreadsheetWriter::spreadsheet().tmpDir(), QDir::Files | QDir::Hidden,
                     QDirIterator::Subdirectories);
  while (parts.hasNext()) largest_part = std::max(largest_part, QFileInfo(parts.next()).size());
  ASSERT_LT(largest_part, QFileInfo(path("free.xlsx")).size());

  const struct {
    const char* name;
    qint64 limit;
    Sheet_Rows rows;
  } cases[] = {
      {"small workbook, nothing reaches the disk", 0, small},
      {"small workbook, the package cut", largest_part, small},
      {"small workbook, its last byte cut", QFileInfo(path("free.xlsx")).size() - 1, small},
      {"large workbook, cut after 64 KB", 64 * 1024, rows_of(60000)},
  };
  const QString target = path("guests.xlsx");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Write_File(target, "previous");
    test_support::Expect_Refused_Under_Limit(target, c.limit, [&](QString* reason) {
      return SpreadsheetWriter::WriteWorkbook(target, c.rows, false, reason);
    });
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(target, c.rows, false));
    EXPECT_GT(QFileInfo(target).size(), c.limit);
  }
}

}  // namespace

namespace {

// A run that dies leaves its private folder; the next start removes it, and only it.
TEST_F(Workbook, FoldersOfRunsThatEndedAreRemoved) {
  QProcess ended;
  ended.start(QStringLiteral("/bin/true"));
  ASSERT_TRUE(ended.waitForStarted(test_support::kDeadlock_Guard_Ms));
  const qint64 gone = ended.processId();
  ASSERT_TRUE(ended.waitForFinished(test_support::kDeadlock_Guard_Ms));
  const QString temp = QDir::tempPath() + u'/';
  const QString tag = QFileInfo(dir_.path()).fileName().right(6);
  const QString abandoned = temp + QStringLiteral("lumigrove-%1-%2").arg(gone).arg(tag);
  const QString ours =
      temp + QStringLiteral("lumigrove-%1-%2").arg(QCoreApplication::applicationPid()).arg(tag);
  const QString running = temp + QStringLiteral("lumigrove-1-%1").arg(tag);  // init runs
  for (const QString& folder : {abandoned, ours, running})
    Write_File(folder + "/ziptmp/xl/sheet1.xml", "<x/>");
  Remove_Abandoned_Unpack_Folders();
  EXPECT_FALSE(QFileInfo::exists(abandoned));
  EXPECT_TRUE(QFileInfo::exists(ours + "/ziptmp/xl/sheet1.xml"));
  EXPECT_TRUE(QFileInfo::exists(running + "/ziptmp/xl/sheet1.xml"));
  QDir(ours).removeRecursively();
  QDir(running).removeRecursively();
  // The unpack folder of this run is one such folder.
  EXPECT_TRUE(QFileInfo(QFileInfo(Excel_Unpack_Folder()).absolutePath())
                  .fileName()
                  .startsWith(QStringLiteral("lumigrove-%1-").arg(QCoreApplication::applicationPid())));
}

}  // namespace

namespace {

// Large sheets are read in pieces cut after row end tags: the rows are those of a read in one
// go, wherever the cuts fall (a "</row>" inside a CDATA section or comment is no cut), and a
// fault far down still fails the read.
TEST_F(Workbook, LargeSheetsReadTheSameInPieces) {
  const int count = 60000;
  const auto big_sheet = [&](const QByteArray& extra, const QByteArray& tail) {
    QByteArray rows;
    Sheet_Rows expected;
    for (int r = 1; r <= count; ++r) {
      const QByteArray number = QByteArray::number(r);
      rows += "<x:row r=\"" + number + "\"><x:c r=\"A" + number + "\" t=\"s\"><x:v>" +
              QByteArray::number(r % 3) + "</x:v></x:c><x:c r=\"C" + number + "\"><x:v>" + number +
              "</x:v></x:c>" + extra + "</x:row>\n";
      expected.append({QStringList{"one", "two", "three"}.at(r % 3), "",
                       QString::fromLatin1(number), extra.isEmpty() ? "" : "</row> & </x:row>"});
    }
    QByteArray xml = kDeclaration + "<x:worksheet xmlns:x=\"" + kMain +
                     "\"><x:dimension ref=\"A1:D" + QByteArray::number(count) +
                     "\"/><x:sheetData>" + rows + "</x:sheetData>" + tail + "</x:worksheet>";
    return std::pair{xml, expected};
  };
  const QByteArray strings = shared_xml({"<t>one</t>", "<t>two</t>", "<t>three</t>"});
  const QByteArray tricky = "<!-- </x:row> --><x:c r=\"D1\" t=\"inlineStr\"><x:is><x:t>"
                            "<![CDATA[</row> & </x:row>]]></x:t></x:is></x:c>";
  for (const QByteArray& extra : {QByteArray(), tricky}) {
    SCOPED_TRACE(extra.isEmpty() ? "plain rows" : "row end tags inside comments and CDATA");
    const auto [xml, expected] = big_sheet(extra, "<x:pageMargins left=\"1\"/>");
    ASSERT_GT(xml.size(), 4 << 20);
    const auto [titles, rows] = read(workbook(xml, strings));
    EXPECT_EQ(Excel_Sheet_Columns, 4);
    ASSERT_EQ(rows.size(), count);
    EXPECT_EQ(rows, expected);
    ASSERT_EQ(titles.size(), 1);
    EXPECT_EQ(titles[0], (QStringList{"two", "Untitled Column 2", "1", expected[0][3].isEmpty()
                                                                           ? "Untitled Column 4"
                                                                           : expected[0][3]}));
  }
  // A fault after the last row, and one in the middle: the titles are read, the rows fail.
  const auto [broken_tail, unused] = big_sheet({}, "<x:pageMargins></x:worksheet>");
  QByteArray broken_middle = big_sheet({}, {}).first;
  broken_middle.replace("<x:v>30000</x:v>", "<x:v>30000</x:c>");
  for (const QByteArray& broken : {broken_tail, broken_middle}) {
    SpreadsheetWriter::ReadWorkbook(workbook(broken, strings), true);
    Excel_Sheet_Number = 1;
    EXPECT_EQ(SpreadsheetWriter::ReadData_only_column().value(0).value(0), QString("two"));
    EXPECT_THROW(SpreadsheetWriter::ReadWorkbook(QString(), false), Spreadsheet_Error);
  }
}

}  // namespace
