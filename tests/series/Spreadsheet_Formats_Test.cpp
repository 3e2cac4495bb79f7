#include "series/Cell_Reference.h"
#include "series/SpreadsheetWriter.h"
#include "series/Zip_Archive.h"

#include "model/Shared_Design_State.h"
#include "support/Test_Support.h"

#include "Series_Test_Support.h"
#include "support/Memory_Limit.h"
#include "support/Watchdog.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <charconv>
#include <functional>

#include <pugixml.hpp>

#include <malloc.h>
#include <sys/stat.h>

using namespace series_test;
using test_support::kMemory_Limit_Works;
using test_support::Run_With_Memory_Limit;

namespace {

class SpreadsheetFormats : public test_support::Design_Test {
 protected:
  QString path(const QString& name) const { return dir_.path() + u'/' + name; }
  QTemporaryDir dir_;
};

const QByteArray kSpreadsheet2003 =
    R"(<?xml version="1.0"?>
<?mso-application progid="Excel.Sheet"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"
 xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet" xmlns:html="http://www.w3.org/TR/REC-html40">
 <Styles><Style ss:ID="s1"/></Styles>
 <Worksheet ss:Name="First">
  <Table>
   <Row><Cell><Data ss:Type="String">Name</Data></Cell><Cell><Data ss:Type="String">City</Data></Cell></Row>
   <Row ss:Index="3">
    <Cell ss:Index="2"><Data ss:Type="String">skips A</Data></Cell>
    <Cell ss:StyleID="s1"/>
    <Cell><Comment><Data>a note</Data></Comment><Data ss:Type="Number">42</Data></Cell>
   </Row>
   <Row>
    <Cell ss:MergeAcross="2"><Data ss:Type="String">wide</Data></Cell>
    <Cell><ss:Data ss:Type="String"><html:B>bold</html:B> <html:I>and</html:I> plain</ss:Data></Cell>
   </Row>
  </Table>
 </Worksheet>
 <Worksheet ss:Name="Second"><Table><Row><Cell><Data ss:Type="String">not read</Data></Cell></Row></Table></Worksheet>
</Workbook>
)";

TEST_F(SpreadsheetFormats, ReadsXmlSpreadsheet2003) {
  Write_File(path("book.xml"), kSpreadsheet2003);
  // Rows and cells in their places (row 2 is skipped), every row as wide as the widest.
  EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(path("book.xml")),
            (Sheet_Rows{{"Name", "City", "", ""},
                        {"", "", "", ""},
                        {"", "skips A", "", "42"},
                        {"wide", "", "", "bold and plain"}}));
  Write_File(path("broken.xml"), kSpreadsheet2003.left(200));
  EXPECT_THROW(SpreadsheetWriter::ReadWorksheetXML2004(path("broken.xml")), Spreadsheet_Error);
  Write_File(path("other.xml"), "<Other/>");
  EXPECT_THROW(SpreadsheetWriter::ReadWorksheetXML2004(path("other.xml")), Spreadsheet_Error);

  // An index that goes back loses nothing: that row or cell takes the next place.
  Write_File(path("back.xml"),
             "<Workbook><Worksheet><Table><Row ss:Index=\"2\"><Cell><Data>a</Data></Cell>"
             "<Cell ss:Index=\"1\"><Data>b</Data></Cell></Row>"
             "<Row ss:Index=\"1\"><Cell><Data>c</Data></Cell></Row></Table></Worksheet></Workbook>");
  EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(path("back.xml")),
            (Sheet_Rows{{"", ""}, {"a", "b"}, {"c", ""}}));
}

TEST_F(SpreadsheetFormats, WritesXmlSpreadsheet2003) {
  ASSERT_TRUE(SpreadsheetWriter::WriteWorksheetXML2004(path("numbers.xml"),
                                                       {{"1", "2", "3"}, {"4", "5", "6"}}));
  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(QFile::encodeName(path("numbers.xml")).constData()));
  const pugi::xml_node workbook = document.child("Workbook");
  EXPECT_STREQ(workbook.attribute("xmlns").value(), "urn:schemas-microsoft-com:office:spreadsheet");
  EXPECT_STREQ(workbook.attribute("xmlns:html").value(), "http://www.w3.org/TR/REC-html40");
  const pugi::xml_node worksheet = workbook.child("Worksheet");
  EXPECT_STREQ(worksheet.attribute("ss:Name").value(), "Notes");
  const pugi::xml_node table = worksheet.child("Table");
  EXPECT_STREQ(table.attribute("ss:ExpandedColumnCount").value(), "3");
  EXPECT_STREQ(table.attribute("ss:ExpandedRowCount").value(), "2");
  int numbers = 0;
  for (pugi::xml_node row : table.children("Row"))
    for (pugi::xml_node cell : row.children("Cell"))
      numbers += QByteArray(cell.child("Data").attribute("ss:Type").value()) == "Number";
  EXPECT_EQ(numbers, 6);

  const Sheet_Rows texts{{"Name", QStringLiteral("Zo\u00eb <&>"), "007"},
                         {"  spaced ", "two\nlines"}};
  ASSERT_TRUE(SpreadsheetWriter::WriteWorksheetXML2004(path("texts.xml"), texts));
  Sheet_Rows padded = texts;
  padded[1].append(QString());
  EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(path("texts.xml")), padded);
  ASSERT_TRUE(document.load_file(QFile::encodeName(path("texts.xml")).constData()));
  EXPECT_STREQ(document.child("Workbook")
                   .child("Worksheet")
                   .child("Table")
                   .attribute("ss:ExpandedColumnCount")
                   .value(),
               "3");
  EXPECT_FALSE(SpreadsheetWriter::WriteWorksheetXML2004(path("none.xml"), {}));
}

// A content part as office programs write it: padding cells and rows at the ends,
// repeated cells and rows, white space in the OpenDocument way.
const QByteArray kContent =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">
 <office:body><office:spreadsheet>
  <table:table table:name="Data">
   <table:table-column table:number-columns-repeated="1024"/>
   <table:table-header-rows>
    <table:table-row><table:table-cell office:value-type="string"><text:p>Name</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>Note</text:p></table:table-cell><table:table-cell table:number-columns-repeated="1022"/></table:table-row>
   </table:table-header-rows>
   <table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-repeated="2" office:value-type="string"><text:p>x</text:p></table:table-cell><table:table-cell table:number-columns-repeated="1022"/></table:table-row>
   <table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-repeated="1024"/></table:table-row>
   <table:table-row>
    <table:table-cell><text:p>a <text:s text:c="2"/>b</text:p></table:table-cell>
    <table:table-cell><text:p><text:s/>lead<text:tab/>tab <text:span>span</text:span> <text:span>next</text:span></text:p><text:p>second line<text:line-break/>third</text:p></table:table-cell>
    <table:table-cell><office:annotation><text:p>a comment</text:p></office:annotation><text:p>
       folded   white
       space </text:p></table:table-cell>
    <table:covered-table-cell/>
    <table:table-cell office:value-type="float" office:value="3"><text:p>3</text:p></table:table-cell>
   </table:table-row>
   <table:table-row table:number-rows-repeated="1048000"><table:table-cell table:number-columns-repeated="1024"/></table:table-row>
  </table:table>
  <table:table table:name="Other"><table:table-row><table:table-cell><text:p>not read</text:p></table:table-cell></table:table-row></table:table>
 </office:spreadsheet></office:body>
</office:document-content>
)";

TEST_F(SpreadsheetFormats, ReadsOpenDocumentSpreadsheets) {
  Make_Zip(path("book.ods"), {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                              {"content.xml", kContent}});
  const Sheet_Rows rows = SpreadsheetWriter::ReadODS(path("book.ods"));
  EXPECT_EQ(rows, (Sheet_Rows{{"Name", "Note", "", "", ""},
                              {"x", "x", "", "", ""},
                              {"x", "x", "", "", ""},
                              {"", "", "", "", ""},
                              {"", "", "", "", ""},
                              {"a   b", " lead\ttab span next\nsecond line\nthird",
                               "folded white space", "", "3"}}));

  // A table that would expand to more cells than a read hands out gives nothing.
  QByteArray huge = kContent;
  huge.replace(
      "table:number-rows-repeated=\"1048000\"><table:table-cell "
      "table:number-columns-repeated=\"1024\"/>",
      "table:number-rows-repeated=\"1048000\"><table:table-cell "
      "table:number-columns-repeated=\"20\">"
      "<text:p>x</text:p></table:table-cell>");
  ASSERT_NE(huge, kContent);
  Make_Zip(path("huge.ods"), {{"content.xml", huge}});
  Write_File(path("plain.ods"), "not a package");
  Make_Zip(path("nocontent.ods"), {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}});
  // Texts far out on a row, on rows repeated, keep their places.
  Make_Zip(path("far.ods"),
           {{"content.xml",
             "<office:document-content><office:body><office:spreadsheet><table:table>"
             "<table:table-row><table:table-cell><text:p>a</text:p></table:table-cell>"
             "<table:table-cell table:number-columns-repeated=\"600\"/>"
             "<table:table-cell><text:p>z</text:p></table:table-cell></table:table-row>"
             "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
             "table:number-columns-repeated=\"1000\"/><table:table-cell><text:p>y</text:p>"
             "</table:table-cell><table:table-cell table:number-columns-repeated=\"5\"/>"
             "</table:table-row>"
             "</table:table></office:spreadsheet></office:body></office:document-content>"}});
  const Sheet_Rows far = SpreadsheetWriter::ReadODS(path("far.ods"));
  ASSERT_EQ(far.size(), 3);
  QStringList first(1001), repeated(1001);
  first[0] = "a";
  first[601] = "z";
  repeated[1000] = "y";
  EXPECT_EQ(far, (Sheet_Rows{first, repeated, repeated}));

  const std::pair<const char*, const char*> refused[] = {
      {"huge.ods", "too large"}, {"plain.ods", "failed to open zip file"}, {"nocontent.ods", ""}};
  for (const auto& [file, reason] : refused) {
    try {
      SpreadsheetWriter::ReadODS(path(file));
      ADD_FAILURE() << file << " was read";
    } catch (const Spreadsheet_Error& e) {
      EXPECT_TRUE(e.reason().contains(QString::fromUtf8(reason))) << e.reason();
    }
  }
}

// Small files that once crashed, or grew without limit: each is read or refused at once,
// with its reason.
TEST_F(SpreadsheetFormats, HostileSpreadsheets) {
  const int levels = 100000;
  const QByteArray ods_head =
      "<office:document-content><office:body><office:spreadsheet><table:table>";
  const QByteArray ods_tail = "</table:table></office:spreadsheet></office:body></office:document-content>";
  const auto ods = [&](const QByteArray& rows) { return ods_head + rows + ods_tail; };
  const QByteArray deep_span = "<table:table-row><table:table-cell><text:p>" +
                               QByteArray("<text:span>").repeated(levels) + "deep" +
                               QByteArray("</text:span>").repeated(levels) +
                               "</text:p></table:table-cell></table:table-row>";
  const QByteArray deep_groups = QByteArray("<table:table-row-group>").repeated(levels) +
                                 "<table:table-row><table:table-cell><text:p>g</text:p>"
                                 "</table:table-cell></table:table-row>" +
                                 QByteArray("</table:table-row-group>").repeated(levels);
  const QByteArray spaces = "<table:table-row><table:table-cell><text:p>" +
                            QByteArray("<text:s text:c=\"16384\"/>").repeated(5000) +
                            "</text:p></table:table-cell></table:table-row>";
  const QByteArray wide_rows =
      QByteArray("<table:table-row><table:table-cell table:number-columns-repeated=\"16384\">"
                 "<text:p>x</text:p></table:table-cell></table:table-row>")
          .repeated(1100);
  const auto xml2003 = [](const QByteArray& rows) {
    return "<Workbook><Worksheet><Table>" + rows + "</Table></Worksheet></Workbook>";
  };
  const QByteArray deep_data = "<Row><Cell><Data>" + QByteArray("<B>").repeated(levels) + "deep" +
                               QByteArray("</B>").repeated(levels) + "</Data></Cell></Row>";
  const QByteArray far_cells =
      QByteArray("<Row><Cell ss:Index=\"16384\"><Data>x</Data></Cell></Row>").repeated(1100);
  // An entity defined in the document (it could name a file or expand a billion times).
  const auto with_entity = [](const QByteArray& document) {
    return "<!DOCTYPE x [<!ENTITY e \"entity\">]>" + document;
  };
  struct Case {
    const char* name;
    bool ods;
    QByteArray content;
    std::optional<Sheet_Rows> rows;  // nothing: refused
    const char* reason;
  } cases[] = {
      {"spans nested 100,000 deep", true, ods(deep_span), Sheet_Rows{{"deep"}}, ""},
      {"row groups nested 100,000 deep", true, ods(deep_groups), Sheet_Rows{{"g"}}, ""},
      {"runs of spaces past any cell", true, ods(spaces), std::nullopt, "more text"},
      {"rows wider than a read hands out", true, ods(wide_rows), std::nullopt, "too large"},
      {"data nested 100,000 deep", false, xml2003(deep_data), Sheet_Rows{{"deep"}}, ""},
      {"cells far out on many rows", false, xml2003(far_cells), std::nullopt, "too large"},
      {"an entity in a content part", true,
       with_entity(ods("<table:table-row><table:table-cell><text:p>&e;</text:p>"
                       "</table:table-cell></table:table-row>")),
       std::nullopt, "Document type declarations are not accepted."},
      {"an entity in an XML 2003 table", false,
       with_entity(xml2003("<Row><Cell><Data>&e;</Data></Cell></Row>")), std::nullopt,
       "Document type declarations are not accepted."},
      // Bytes of another encoding would be read as other letters.
      {"a table declared in Latin-1", false,
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" +
           xml2003("<Row><Cell><Data>M\xFCller</Data></Cell></Row>"),
       std::nullopt, "not encoded in UTF-8"},
      // The declaration may quote with either mark. Latin-1 bytes that would make UTF-8
      // too ("M\xC3\xBCller" is "MÃ¼ller" in Latin-1) are refused all the same.
      {"a table declared in Latin-1 in single quotes", false,
       "<?xml version='1.0' encoding='ISO-8859-1'?>" +
           xml2003("<Row><Cell><Data>M\xC3\xBCller</Data></Cell></Row>"),
       std::nullopt, "not encoded in UTF-8"},
      {"a content part declared in Latin-1 in single quotes", true,
       "<?xml version='1.0' encoding='ISO-8859-1'?>" +
           ods("<table:table-row><table:table-cell><text:p>M\xC3\xBCller</text:p>"
               "</table:table-cell></table:table-row>"),
       std::nullopt, "not encoded in UTF-8"},
      {"a content part declared in UTF-8", true,
       "<?xml version='1.0' encoding='UTF-8'?>" +
           ods("<table:table-row><table:table-cell><text:p>M\xC3\xBCller</text:p>"
               "</table:table-cell></table:table-row>"),
       Sheet_Rows{{QStringLiteral("M\u00FCller")}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = path(c.ods ? "hostile.xml" : "hostile2003.xml");
    Write_File(file, c.content);
    try {
      const Sheet_Rows rows = c.ods ? SpreadsheetWriter::ReadODSContent(file)
                                    : SpreadsheetWriter::ReadWorksheetXML2004(file);
      if (c.rows)
        EXPECT_EQ(rows, *c.rows);
      else
        ADD_FAILURE() << "read";
    } catch (const Spreadsheet_Error& e) {
      EXPECT_FALSE(c.rows) << e.reason();
      EXPECT_TRUE(e.reason().contains(QString::fromUtf8(c.reason))) << e.reason();
    }
  }
  // A row index far out: the last row of a sheet, after a million empty ones.
  Write_File(path("far.xml"), xml2003("<Row><Cell><Data>a</Data></Cell><Cell><Data>b</Data></Cell>"
                                      "</Row><Row ss:Index=\"99999999999\"><Cell><Data>d</Data>"
                                      "</Cell></Row>"));
  const Sheet_Rows far = SpreadsheetWriter::ReadWorksheetXML2004(path("far.xml"));
  ASSERT_EQ(far.size(), kMax_Sheet_Rows);
  EXPECT_EQ(far.front(), (QStringList{"a", "b"}));
  EXPECT_EQ(far[1], (QStringList{"", ""}));
  EXPECT_EQ(far.back(), (QStringList{"d", ""}));
}

// The extent of a table is known before its rows are made whole: a small file of far cells,
// or of cells repeated many times, is refused in little memory, where far cells took 400 MB
// before being refused and 4,096 rows of 4,096 repeated cells (16.7 million cells sharing one
// text, a file of 2.6 KB) were read in 450 MB. An XML 2003 table names its far places, an
// OpenDocument table reaches them by repeated empty cells; a repeated row is shared until a
// wider row after it makes every copy wider. The largest table a read takes still fits.
TEST_F(SpreadsheetFormats, RefusedBeforeAnythingIsMade) {
  if (!kMemory_Limit_Works) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
  const auto ods = [](const QByteArray& rows) {
    return "<office:document-content><office:body><office:spreadsheet><table:table>" + rows +
           "</table:table></office:spreadsheet></office:body></office:document-content>";
  };
  // A row of `cells` copies of one text, the row `repeat` times.
  const auto repeated_row = [](int cells, int repeat) {
    return "<table:table-row table:number-rows-repeated=\"" + QByteArray::number(repeat) +
           "\"><table:table-cell table:number-columns-repeated=\"" + QByteArray::number(cells) +
           "\"><text:p>the same text</text:p></table:table-cell></table:table-row>\n";
  };
  const QString too_large = QStringLiteral(
      "The sheet is too large to read: its rows, each as wide as the widest, would hold more "
      "than the 2,097,152 cells a read takes.");
  const struct {
    const char* name;
    const char* file;  // .xml: an XML 2003 table; .ods: a spreadsheet
    QByteArray content;
    qint64 memory_mb;
    QString answer;  // the reason, or "<rows> rows of <cells> cells"
  } cases[] = {
      {"far cells, XML 2003", "far.xml",
       "<Workbook><Worksheet><Table>" +
           QByteArray("<Row><Cell ss:Index=\"16384\"><Data>x</Data></Cell></Row>\n").repeated(1900) +
           "</Table></Worksheet></Workbook>",
       64, too_large},
      {"far cells, OpenDocument", "far.ods",
       ods(QByteArray("<table:table-row><table:table-cell table:number-columns-repeated=\"16383\"/>"
                      "<table:table-cell><text:p>x</text:p></table:table-cell></table:table-row>\n")
               .repeated(1900)),
       64, too_large},
      {"4,096 rows of 4,096 repeated cells", "dense.ods", ods(repeated_row(4096, 1).repeated(4096)),
       256, too_large},
      {"a row repeated 4,095 times, then a wider one", "widened.ods",
       ods(repeated_row(4095, 4095) + repeated_row(4096, 1)), 256, too_large},
      {"the largest table read: 2,047 repeated rows, then a wider one", "largest.ods",
       ods(repeated_row(1023, 2047) + repeated_row(1024, 1)), 256,
       QStringLiteral("2048 rows of 1024 cells")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = path(QString::fromLatin1(c.file));
    if (file.endsWith(QLatin1String(".ods")))
      Make_Zip(file, {{"content.xml", c.content}});
    else
      Write_File(file, c.content);
    const QString answer = Run_With_Memory_Limit(c.memory_mb << 20, [&] {
      try {
        const Sheet_Rows rows = file.endsWith(QLatin1String(".ods"))
                                    ? SpreadsheetWriter::ReadODS(file)
                                    : SpreadsheetWriter::ReadWorksheetXML2004(file);
        return QStringLiteral("%1 rows of %2 cells").arg(rows.size()).arg(rows.value(0).size());
      } catch (const Spreadsheet_Error& e) {
        return e.reason();
      }
    });
    EXPECT_EQ(answer, c.answer);
  }
}

// 2,097,152 cells (131,072 rows of 16), each with a text of its own, in every format. The
// OpenDocument and XML 2003 readers once built the whole document as a tree, 700 MB and more
// for these; the workbook reader held its sheet unpacked and made every text it met, 470 MB
// for 40 characters a cell. Now a read streams what it reads, and the texts of all cells
// together (with a workbook's shared strings) stay within kMax_Read_Characters; a workbook's
// shared strings count as cells. Each answer comes within 256 MB.
TEST_F(SpreadsheetFormats, LargeTablesAreReadWithinTheirMemory) {
  if (!kMemory_Limit_Works) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
  const int rows = 131072, columns = 16;
  // `count` rows of `width` cells, each cell's text its row and column padded with "x" in
  // front to `length` characters, between the tags given.
  const auto table = [](int count, int width, int length, QByteArrayView row_start,
                        QByteArrayView cell_start, QByteArrayView cell_end,
                        QByteArrayView row_end) {
    QByteArray xml;
    xml.reserve(qsizetype(count) * width * (length + 64));
    char text[32];
    for (int r = 0; r < count; ++r) {
      xml.append(row_start);
      for (int c = 0; c < width; ++c) {
        char* end = std::to_chars(text, text + 16, r).ptr;
        *end++ = '-';
        end = std::to_chars(end, end + 8, c).ptr;
        const int size = int(end - text);
        xml.append(cell_start);
        if (size < length) xml.append(length - size, 'x');
        xml.append(text, size);
        xml.append(cell_end);
      }
      xml.append(row_end);
    }
    return xml;
  };
  const auto ods = [&](int length) {
    return "<office:document-content><office:body><office:spreadsheet><table:table>" +
           table(rows, columns, length, "<table:table-row>",
                 "<table:table-cell office:value-type=\"string\"><text:p>",
                 "</text:p></table:table-cell>", "</table:table-row>\n") +
           "</table:table></office:spreadsheet></office:body></office:document-content>";
  };
  const auto xml2003 = [&](int length) {
    return "<Workbook><Worksheet><Table>" +
           table(rows, columns, length, "<Row>", "<Cell><Data ss:Type=\"String\">",
                 "</Data></Cell>", "</Row>\n") +
           "</Table></Worksheet></Workbook>";
  };
  // A worksheet of inline texts (cells without references follow the one before).
  const auto worksheet = [&](int count, int width, int length) {
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData>" +
           table(count, width, length, "<row>", "<c t=\"inlineStr\"><is><t>", "</t></is></c>",
                 "</row>\n") +
           "</sheetData></worksheet>";
  };
  // 1,048,577 shared strings that no cell shows.
  const auto shared_strings = [&] {
    return "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
           table((1 << 20) + 1, 1, 8, "", "<si><t>", "</t></si>", "") + "</sst>";
  };
  using Parts = QList<std::pair<QString, QByteArray>>;
  const struct {
    const char* name;
    const char* file;  // .ods, .xml (XML 2003) or .xlsx
    std::function<Parts()> parts;  // the parts of a package, or the one file
    QString answer;  // the reason, or "<rows> rows of <cells> cells"
  } cases[] = {
      {"short texts, OpenDocument", "short.ods", [&] { return Parts{{"content.xml", ods(6)}}; },
       QStringLiteral("131072 rows of 16 cells")},
      {"short texts, XML 2003", "short.xml",
       [&] { return Parts{{"short.xml", xml2003(6)}}; },
       QStringLiteral("131072 rows of 16 cells")},
      {"texts of 40 characters, workbook", "long.xlsx",
       [&] { return Parts{{"xl/worksheets/sheet1.xml", worksheet(rows, columns, 40)}}; },
       QStringLiteral("The sheet holds more text than a read takes: its cells would hold more "
                      "than the 33,554,432 characters a read makes.")},
      {"shared strings and cells past the cells a read takes", "shared.xlsx",
       [&] {
         return Parts{
             {"xl/sharedStrings.xml", shared_strings()},
             {"xl/worksheets/sheet1.xml", worksheet(1 << 20, 1, 8)}};
       },
       QStringLiteral("The sheet is too large to read: its rows, each as wide as the widest, "
                      "would hold more than the 2,097,152 cells a read takes, with the "
                      "workbook's 1,048,577 shared strings counted as cells.")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = path(QString::fromLatin1(c.file));
    {
      const Parts parts = c.parts();
      if (file.endsWith(QLatin1String(".xml"))) {
        Write_File(file, parts.front().second);
      } else {
        const QString folder = path(QStringLiteral("parts-") + QString::fromLatin1(c.file));
        for (const auto& [name, content] : parts) Write_File(folder + u'/' + name, content);
        QStringList items;
        for (const QString& item : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
          items << folder + u'/' + item;
        ASSERT_TRUE(Zip_Archive::createZipFileAtPath(file, items));
        QDir(folder).removeRecursively();
      }
    }
    malloc_trim(0);
    const QString answer = Run_With_Memory_Limit(qint64(256) << 20, [&] {
      // One malloc arena: the arenas of the threads a workbook is read on reserve address
      // space they do not use, which the limit would count.
      mallopt(M_ARENA_MAX, 1);
      try {
        Sheet_Rows read;
        if (file.endsWith(QLatin1String(".ods"))) {
          read = SpreadsheetWriter::ReadODS(file);
        } else if (file.endsWith(QLatin1String(".xml"))) {
          read = SpreadsheetWriter::ReadWorksheetXML2004(file);
        } else {
          SpreadsheetWriter::ReadWorkbook(file, true);
          Excel_Sheet_Number = 1;
          SpreadsheetWriter::ReadData_only_column();
          read = SpreadsheetWriter::ReadWorkbook(QString(), false);
        }
        return QStringLiteral("%1 rows of %2 cells").arg(read.size()).arg(read.value(0).size());
      } catch (const Spreadsheet_Error& e) {
        return e.reason();
      }
    });
    EXPECT_EQ(answer, c.answer);
    QFile::remove(file);
  }
}

// A read makes at most kMax_Read_Characters characters: a table of exactly that many reads,
// one of a character more is refused, in both formats.
TEST_F(SpreadsheetFormats, TextUpToTheBudgetIsReadAndACharacterMoreIsRefused) {
  constexpr int kLength = 1 << 15;                               // characters of a cell
  constexpr int kCells = int(kMax_Read_Characters / kLength);  // that many reach the budget
  static_assert(qint64(kCells) * kLength == kMax_Read_Characters);
  const QByteArray text(kLength, 'x');
  // kCells rows of a cell of kLength characters, and with `more` a row of one character.
  const auto ods = [&](bool more) {
    const QByteArray row = "<table:table-row><table:table-cell><text:p>" + text +
                           "</text:p></table:table-cell></table:table-row>\n";
    return "<office:document-content><office:body><office:spreadsheet><table:table>" +
           row.repeated(kCells) +
           (more ? "<table:table-row><table:table-cell><text:p>y</text:p></table:table-cell>"
                   "</table:table-row>"
                 : "") +
           "</table:table></office:spreadsheet></office:body></office:document-content>";
  };
  const auto xml2003 = [&](bool more) {
    const QByteArray row = "<Row><Cell><Data ss:Type=\"String\">" + text + "</Data></Cell></Row>\n";
    return "<Workbook><Worksheet><Table>" + row.repeated(kCells) +
           (more ? "<Row><Cell><Data ss:Type=\"String\">y</Data></Cell></Row>" : "") +
           "</Table></Worksheet></Workbook>";
  };
  const QString read = QStringLiteral("%1 rows of %2 characters").arg(kCells).arg(kMax_Read_Characters);
  const QString refused = Too_Much_Text_Reason();
  for (const bool more : {false, true}) {
    for (const bool open_document : {true, false}) {
      SCOPED_TRACE(std::string(open_document ? "OpenDocument" : "XML 2003") +
                   (more ? ", a character past the budget" : ", at the budget"));
      const QString file = path(open_document ? "budget.ods" : "budget.xml");
      if (open_document)
        Make_Zip(file, {{"content.xml", ods(more)}});
      else
        Write_File(file, xml2003(more));
      QString answer;
      try {
        const Sheet_Rows rows = open_document ? SpreadsheetWriter::ReadODS(file)
                                              : SpreadsheetWriter::ReadWorksheetXML2004(file);
        qint64 characters = 0;
        for (const QStringList& cells : rows)
          for (const QString& cell : cells) characters += cell.size();
        answer = QStringLiteral("%1 rows of %2 characters").arg(rows.size()).arg(characters);
      } catch (const Spreadsheet_Error& e) {
        answer = e.reason();
      }
      EXPECT_EQ(answer.toStdString(), (more ? refused : read).toStdString());
      QFile::remove(file);
    }
  }
}

// Only regular files are read: a FIFO or a device is refused at once.
TEST_F(SpreadsheetFormats, OnlyRegularFilesAreRead) {
  const test_support::Watchdog watchdog("reading what is no regular file");
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.xml")).constData(), 0600), 0);
  const std::function<Sheet_Rows(const QString&)> readers[] = {
      SpreadsheetWriter::ReadODSContent, SpreadsheetWriter::ReadWorksheetXML2004,
      SpreadsheetWriter::ReadODS};
  for (const QString& file : {path("fifo.xml"), QStringLiteral("/dev/zero")}) {
    SCOPED_TRACE(file.toStdString());
    for (const auto& read : readers) {
      try {
        read(file);
        ADD_FAILURE() << "read";
      } catch (const Spreadsheet_Error& e) {
        EXPECT_TRUE(e.reason().contains(QLatin1String("is not a regular file"))) << e.reason();
      }
    }
  }
}

TEST_F(SpreadsheetFormats, WritesOpenDocumentSpreadsheets) {
  // What an earlier .xlsx left in the unpack folder does not end up in the package.
  Make_Zip(path("book.xlsx"), {{"xl/worksheets/sheet1.xml", "<worksheet/>"}});
  SpreadsheetWriter::ReadWorkbook(path("book.xlsx"), true);

  const Sheet_Rows rows{{"Name", "Value"},
                        {"a   b", " lead", "trail "},
                        {"tab\there", "two\nlines", QStringLiteral("Zo\u00eb <&> \U0001F389")}};
  ASSERT_TRUE(SpreadsheetWriter::WriteODS(path("out.ods"), rows, false));
  const std::vector<Listed_Entry> entries = List_Zip(path("out.ods"));
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.front().name, QString("mimetype"));
  EXPECT_EQ(entries.front().method, 0) << "the mimetype is stored, not compressed";
  QStringList names;
  for (const Listed_Entry& e : entries) names << e.name;
  EXPECT_TRUE(names.contains("content.xml"));
  EXPECT_TRUE(names.contains("META-INF/manifest.xml"));
  EXPECT_TRUE(names.filter(QRegularExpression("^xl/")).isEmpty()) << names;

  Sheet_Rows expected = rows;
  expected[0] << QString();
  EXPECT_EQ(SpreadsheetWriter::ReadODS(path("out.ods")), expected);

  ASSERT_TRUE(SpreadsheetWriter::WriteODS(path("again.ods"), rows, true));
  EXPECT_EQ(Read_File(path("again.ods")), Read_File(path("out.ods"))) << "the flag changes nothing";

  QFile::remove(Resource_Path + "/Template.ods");
  EXPECT_FALSE(SpreadsheetWriter::WriteODS(path("none.ods"), rows, false));
  EXPECT_FALSE(QFileInfo::exists(path("none.ods")));
}

TEST_F(SpreadsheetFormats, ContentPartStructure) {
  SpreadsheetWriter& shared = SpreadsheetWriter::spreadsheet();
  shared.setData({{"a", "b", "c"}, {"d"}});
  ASSERT_TRUE(shared.WriteODSData(path("content.xml")));
  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(QFile::encodeName(path("content.xml")).constData()));
  const pugi::xml_node root = document.child("office:document-content");
  EXPECT_STREQ(root.attribute("office:version").value(), "1.2");
  EXPECT_STREQ(root.attribute("xmlns:table").value(),
               "urn:oasis:names:tc:opendocument:xmlns:table:1.0");
  EXPECT_STREQ(root.attribute("xmlns:of").value(), "urn:oasis:names:tc:opendocument:xmlns:of:1.2");
  EXPECT_TRUE(root.child("office:scripts"));
  int faces = 0;
  for (pugi::xml_node face : root.child("office:font-face-decls").children("style:font-face")) {
    EXPECT_STREQ(face.attribute("style:name").value(), face.attribute("svg:font-family").value());
    ++faces;
  }
  EXPECT_EQ(faces, 3);
  const pugi::xml_node table =
      root.child("office:body").child("office:spreadsheet").child("table:table");
  EXPECT_STREQ(table.attribute("table:name").value(), "Sheet1");
  EXPECT_STREQ(table.child("table:table-column").attribute("table:number-columns-repeated").value(),
               "3");
  int cells = 0;
  for (pugi::xml_node row : table.children("table:table-row"))
    for (pugi::xml_node cell : row.children("table:table-cell")) {
      EXPECT_STREQ(cell.attribute("office:value-type").value(), "string");
      ++cells;
    }
  EXPECT_EQ(cells, 4);
}

TEST_F(SpreadsheetFormats, WorkbookPartAndSheetNames) {
  SpreadsheetWriter& shared = SpreadsheetWriter::spreadsheet();
  EXPECT_THROW(SpreadsheetWriter::ReadWorkbook(path("missing.xlsx"), true), Spreadsheet_Error);
  EXPECT_TRUE(SpreadsheetWriter::Read_Sheet_Name().isEmpty());
  ASSERT_TRUE(QDir().mkpath(shared.tmpDir() + "/xl"));
  ASSERT_TRUE(
      shared.WriteWorkbookXML(shared.tmpDir() + "/xl/workbook.xml", QStringLiteral("Gäste & Co")));
  EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(), QStringList{QStringLiteral("Gäste & Co")});
  const QByteArray part = Read_File(shared.tmpDir() + "/xl/workbook.xml");
  EXPECT_TRUE(part.startsWith(R"(<?xml version="1.0" standalone="yes"?>)")) << part.toStdString();
  EXPECT_TRUE(part.contains(R"(xml:space="preserve")"));
}

}  // namespace
