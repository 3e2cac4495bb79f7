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
  // Rows and cells in their places, every row as wide as the widest; row 2, which holds
  // nothing, is no row of the data.
  EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(path("book.xml")),
            (Sheet_Rows{{"Name", "City", "", ""},
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
            (Sheet_Rows{{"a", "b"}, {"c", ""}}));
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
  // A row index far out: the last row of a sheet, after a million empty ones, which are no
  // rows of the data.
  Write_File(path("far.xml"), xml2003("<Row><Cell><Data>a</Data></Cell><Cell><Data>b</Data></Cell>"
                                      "</Row><Row ss:Index=\"1048576\"><Cell><Data>d</Data>"
                                      "</Cell></Row>"));
  EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(path("far.xml")),
            (Sheet_Rows{{"a", "b"}, {"d", ""}}));
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

// A sheet has rows 1 to 1,048,576 and columns A to XFD. Data past them is refused, as the
// .xlsx reader refuses it, where it was once left out or moved onto the last row without a
// word; empty rows and cells there (tables are often padded so) are passed over. Each limit
// is tried at its last place and one past it.
TEST_F(SpreadsheetFormats, DataPastTheLastRowOrColumnIsRefused) {
  const auto xml2003 = [](const QByteArray& rows) {
    return "<Workbook><Worksheet><Table>" + rows + "</Table></Worksheet></Workbook>";
  };
  const auto ods = [](const QByteArray& rows) {
    return "<office:document-content><office:body><office:spreadsheet><table:table>" + rows +
           "</table:table></office:spreadsheet></office:body></office:document-content>";
  };
  const auto number = [](qint64 n) { return QByteArray::number(n); };
  // An .ods row: `empty` empty cells, then one holding `text` (none when empty).
  const auto ods_row = [&](qint64 empty, const QByteArray& text, qint64 repeat = 1) {
    QByteArray row = "<table:table-row table:number-rows-repeated=\"" + number(repeat) + "\">";
    if (empty > 0)
      row += "<table:table-cell table:number-columns-repeated=\"" + number(empty) + "\"/>";
    if (!text.isEmpty()) row += "<table:table-cell><text:p>" + text + "</text:p></table:table-cell>";
    return row + "</table:table-row>";
  };
  const auto empty_rows = [&](qint64 n) { return ods_row(0, "", n); };
  const QByteArray a_row = ods_row(0, "a");
  const QString past_row = QStringLiteral("past its last row, 1,048,576");
  const QString past_column = QStringLiteral("past its last column, XFD");
  QStringList at_xfd(kMax_Sheet_Columns);
  at_xfd.back() = "x";
  struct Case {
    const char* name;
    bool ods;
    QByteArray content;
    std::optional<Sheet_Rows> rows;  // nothing: refused with `reason`
    QString reason;
  };
  const Case cases[] = {
      // XML 2003: places named by ss:Index.
      {"a cell in column XFD", false,
       xml2003("<Row><Cell ss:Index=\"16384\"><Data>x</Data></Cell></Row>"), Sheet_Rows{at_xfd}},
      {"a cell one past XFD", false,
       xml2003("<Row><Cell ss:Index=\"16385\"><Data>x</Data></Cell></Row>"), std::nullopt,
       past_column},
      {"a cell past XFD after a merge", false,
       xml2003("<Row><Cell ss:Index=\"16383\" ss:MergeAcross=\"1\"><Data>m</Data></Cell>"
               "<Cell><Data>x</Data></Cell></Row>"),
       std::nullopt, past_column},
      {"empty cells past XFD", false,
       xml2003("<Row><Cell><Data>a</Data></Cell><Cell ss:Index=\"99999\"/>"
               "<Cell ss:Index=\"100000\"><Data></Data></Cell></Row>"),
       Sheet_Rows{{"a"}}},
      {"a row at 1,048,576", false,
       xml2003("<Row><Cell><Data>a</Data></Cell></Row>"
               "<Row ss:Index=\"1048576\"><Cell><Data>z</Data></Cell></Row>"),
       Sheet_Rows{{"a"}, {"z"}}},
      {"a row one past it", false,
       xml2003("<Row><Cell><Data>a</Data></Cell></Row>"
               "<Row ss:Index=\"1048577\"><Cell><Data>z</Data></Cell></Row>"),
       std::nullopt, past_row},
      {"a row 10^11 down", false,
       xml2003("<Row ss:Index=\"99999999999\"><Cell><Data>z</Data></Cell></Row>"), std::nullopt,
       past_row},
      {"empty rows past the last", false,
       xml2003("<Row><Cell><Data>a</Data></Cell></Row><Row ss:Index=\"2000000\"/>"
               "<Row><Cell/></Row>"),
       Sheet_Rows{{"a"}}},
      // OpenDocument: places reached by repeated rows and cells.
      {"a text after 16,383 empty cells", true, ods(ods_row(16383, "x")), Sheet_Rows{at_xfd}},
      {"a text after 16,384 empty cells", true, ods(ods_row(16384, "x")), std::nullopt,
       past_column},
      {"a text after 10^9 empty cells", true, ods(ods_row(1000000000, "x")), std::nullopt,
       past_column},
      {"a text repeated up to XFD", true,
       ods("<table:table-row><table:table-cell table:number-columns-repeated=\"16384\">"
           "<text:p>r</text:p></table:table-cell></table:table-row>"),
       Sheet_Rows{QStringList(kMax_Sheet_Columns, "r")}},
      {"a text repeated one past XFD", true,
       ods("<table:table-row><table:table-cell table:number-columns-repeated=\"16385\">"
           "<text:p>r</text:p></table:table-cell></table:table-row>"),
       std::nullopt, past_column},
      {"a text after 1,048,575 empty rows", true, ods(a_row + empty_rows(1048574) + a_row),
       Sheet_Rows{{"a"}, {"a"}}},
      {"a text after 1,048,576 empty rows", true, ods(empty_rows(1048576) + a_row), std::nullopt,
       past_row},
      {"a text after 10^9 empty rows", true, ods(a_row + empty_rows(1000000000) + a_row),
       std::nullopt, past_row},
      {"2,000,001 rows of one text", true, ods(ods_row(0, "r", 2000001)), std::nullopt, past_row},
      {"10^9 empty rows and cells after the data", true,
       ods(a_row + ods_row(1000000000, "", 1000000000)), Sheet_Rows{{"a"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = path(c.ods ? "edge-content.xml" : "edge2003.xml");
    Write_File(file, c.content);
    try {
      const Sheet_Rows rows = c.ods ? SpreadsheetWriter::ReadODSContent(file)
                                    : SpreadsheetWriter::ReadWorksheetXML2004(file);
      if (c.rows)
        EXPECT_TRUE(rows == *c.rows) << rows.size() << " rows of " << (rows.isEmpty() ? 0 : rows[0].size());
      else
        ADD_FAILURE() << "read " << rows.size() << " rows";
    } catch (const Spreadsheet_Error& e) {
      EXPECT_FALSE(c.rows) << e.reason();
      EXPECT_TRUE(e.reason().contains(c.reason)) << e.reason();
    }
  }
}

// Rows that hold no text are no rows of the data, in every reader: a sheet with data in rows
// 1, 2 and 5 (row 3 stored empty, row 4 not stored) reads as three rows whether it was saved
// as .xlsx, .ods or XML 2003 (it once read as three rows and as five). Empty cells within a
// row keep their places.
TEST_F(SpreadsheetFormats, EmptyRowsAreLeftOutByEveryReader) {
  const Sheet_Rows expected{{"Name", "", "City"}, {"Ann", "", "Oslo"}, {"", "", "Bergen"}};
  const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const auto c = [](const char* ref, const char* text) {
    return QByteArray("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
  };
  Make_Zip(path("rows.xlsx"),
           {{"xl/worksheets/sheet1.xml",
             "<worksheet xmlns=\"" + main + "\"><dimension ref=\"A1:C5\"/><sheetData>"
             "<row r=\"1\">" + c("A1", "Name") + c("C1", "City") + "</row>"
             "<row r=\"2\">" + c("A2", "Ann") + c("C2", "Oslo") + "</row>"
             "<row r=\"3\"><c r=\"A3\" s=\"1\"/></row>"
             "<row r=\"5\">" + c("C5", "Bergen") + "</row></sheetData></worksheet>"}});
  Make_Zip(path("rows.ods"),
           {{"content.xml",
             "<office:document-content><office:body><office:spreadsheet><table:table>"
             "<table:table-row><table:table-cell><text:p>Name</text:p></table:table-cell>"
             "<table:table-cell/><table:table-cell><text:p>City</text:p></table:table-cell>"
             "</table:table-row>"
             "<table:table-row><table:table-cell><text:p>Ann</text:p></table:table-cell>"
             "<table:table-cell/><table:table-cell><text:p>Oslo</text:p></table:table-cell>"
             "</table:table-row>"
             "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
             "table:number-columns-repeated=\"3\"/></table:table-row>"
             "<table:table-row><table:table-cell table:number-columns-repeated=\"2\"/>"
             "<table:table-cell><text:p>Bergen</text:p></table:table-cell></table:table-row>"
             "</table:table></office:spreadsheet></office:body></office:document-content>"}});
  Write_File(path("rows.xml"),
             "<Workbook><Worksheet><Table>"
             "<Row><Cell><Data>Name</Data></Cell><Cell/><Cell><Data>City</Data></Cell></Row>"
             "<Row><Cell><Data>Ann</Data></Cell><Cell ss:Index=\"3\"><Data>Oslo</Data></Cell></Row>"
             "<Row><Cell/></Row>"
             "<Row ss:Index=\"5\"><Cell ss:Index=\"3\"><Data>Bergen</Data></Cell></Row>"
             "</Table></Worksheet></Workbook>");
  SpreadsheetWriter::ReadWorkbook(path("rows.xlsx"), true);
  Excel_Sheet_Number = 1;
  EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(),
            (Sheet_Rows{{"Name", "Untitled Column 2", "City"}}));
  EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false), expected);
  EXPECT_EQ(SpreadsheetWriter::ReadODS(path("rows.ods")), expected);
  EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(path("rows.xml")), expected);

  // Titles come from the first row with text.
  Make_Zip(path("late.xlsx"),
           {{"xl/worksheets/sheet1.xml",
             "<worksheet xmlns=\"" + main + "\"><sheetData><row r=\"1\"><c r=\"A1\" s=\"2\"/></row>"
             "<row r=\"3\">" + c("A3", "Title") + "</row><row r=\"4\">" + c("A4", "v") +
             "</row></sheetData></worksheet>"}});
  SpreadsheetWriter::ReadWorkbook(path("late.xlsx"), true);
  Excel_Sheet_Number = 1;
  EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(), Sheet_Rows{{"Title"}});
  EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false), (Sheet_Rows{{"Title"}, {"v"}}));
}

// Bytes that are no UTF-8 are refused by every reader (the text import too), never read as
// U+FFFD: "caf\xE9" without an encoding declaration once read as "caf\uFFFD". The bytes are
// checked as they arrive, so a character cut between two pieces of a read is whole and a
// bad one there is seen.
TEST_F(SpreadsheetFormats, BytesThatAreNoUtf8AreRefusedByEveryReader) {
  const QByteArray latin1 = "caf\xE9";
  const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const QByteArray sheet_head = "<worksheet xmlns=\"" + main + "\"><sheetData><row>";
  const QByteArray sheet_tail = "</row></sheetData></worksheet>";
  Make_Zip(path("inline.xlsx"),
           {{"xl/worksheets/sheet1.xml",
             sheet_head + "<c r=\"A1\" t=\"inlineStr\"><is><t>" + latin1 + "</t></is></c>" +
                 sheet_tail}});
  Make_Zip(path("shared.xlsx"),
           {{"xl/worksheets/sheet1.xml",
             sheet_head + "<c r=\"A1\" t=\"s\"><v>0</v></c>" + sheet_tail},
            {"xl/sharedStrings.xml", "<sst xmlns=\"" + main + "\"><si><t>" + latin1 + "</t></si></sst>"}});
  Make_Zip(path("name.xlsx"),
           {{"xl/worksheets/sheet1.xml",
             "<worksheet xmlns=\"" + main + "\" a=\"" + latin1 + "\"><sheetData/></worksheet>"}});
  Make_Zip(path("bad.ods"),
           {{"content.xml",
             "<office:document-content><office:body><office:spreadsheet><table:table>"
             "<table:table-row><table:table-cell><text:p>" + latin1 +
                 "</text:p></table:table-cell></table:table-row>"
                 "</table:table></office:spreadsheet></office:body></office:document-content>"}});
  Write_File(path("bad.xml"), "<Workbook><Worksheet><Table><Row><Cell><Data>" + latin1 +
                                  "</Data></Cell></Row></Table></Worksheet></Workbook>");
  const std::pair<const char*, std::function<void()>> readers[] = {
      {"an .xlsx inline string", [&] {
         SpreadsheetWriter::ReadWorkbook(path("inline.xlsx"), true);
         Excel_Sheet_Number = 1;
         SpreadsheetWriter::ReadWorkbook(QString(), false);
       }},
      {"an .xlsx shared string", [&] { SpreadsheetWriter::ReadWorkbook(path("shared.xlsx"), true); }},
      {"an .xlsx attribute", [&] {
         SpreadsheetWriter::ReadWorkbook(path("name.xlsx"), true);
         Excel_Sheet_Number = 1;
         SpreadsheetWriter::ReadData_only_column();
       }},
      {"an .ods cell", [&] { SpreadsheetWriter::ReadODS(path("bad.ods")); }},
      {"an XML 2003 cell", [&] { SpreadsheetWriter::ReadWorksheetXML2004(path("bad.xml")); }},
      {"an XML 2003 file in UTF-16", [&] {
         Write_File(path("utf16.xml"), QByteArray("\xFF\xFE<\0W\0/\0>\0", 10));
         SpreadsheetWriter::ReadWorksheetXML2004(path("utf16.xml"));
       }},
  };
  for (const auto& [name, read] : readers) {
    SCOPED_TRACE(name);
    try {
      read();
      ADD_FAILURE() << "read";
    } catch (const Spreadsheet_Error& e) {
      EXPECT_TRUE(e.reason().contains("is not encoded in UTF-8: the bytes at offset")) << e.reason();
    }
  }

  // Characters of two, three and four bytes cut at every place by the reader's pieces
  // (256 KB), and bad sequences there: each kind of fault strict UTF-8 refuses.
  const qsizetype piece = 256 * 1024;
  const QByteArray head = "<Workbook><Worksheet><Table><Row><Cell><Data>";
  const QByteArray tail = "</Data></Cell></Row></Table></Worksheet></Workbook>";
  const struct {
    const char* name;
    QByteArray bytes;
    bool good;
  } characters[] = {
      {"two bytes", "\xC3\xBC", true},
      {"three bytes", "\xE2\x82\xAC", true},
      {"four bytes", "\xF0\x9F\x8E\x89", true},
      {"cut short", "\xE2\x82" "a", false},
      {"overlong", "\xE0\x80\xAF", false},
      {"a surrogate", "\xED\xA0\x80", false},
      {"past U+10FFFF", "\xF4\x90\x80\x80", false},
      {"a lone continuation byte", "\x80", false},
  };
  for (const auto& c : characters) {
    for (qsizetype before = 0; before < c.bytes.size(); ++before) {
      SCOPED_TRACE(testing::Message() << c.name << ", " << before << " bytes before the cut");
      const qsizetype fill = piece - head.size() - before;
      const QByteArray text = QByteArray(fill, 'a') + c.bytes + "z";
      Write_File(path("cut.xml"), head + text + tail);
      try {
        const Sheet_Rows rows = SpreadsheetWriter::ReadWorksheetXML2004(path("cut.xml"));
        EXPECT_TRUE(c.good);
        EXPECT_TRUE(rows == Sheet_Rows{{QString::fromUtf8(text)}});
      } catch (const Spreadsheet_Error& e) {
        EXPECT_FALSE(c.good) << e.reason();
        EXPECT_TRUE(e.reason().contains(
            QStringLiteral("the bytes at offset %1 ").arg(head.size() + fill)))
            << e.reason();
      }
    }
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

// Only the parts a read reads are unpacked, each within 256 MB: a package of a few
// megabytes that unpacks to a gigabyte (a zip bomb) once took 13 to 15 s and wrote the
// gigabyte into the temporary folder (RAM on a tmpfs); 9,000 parts nobody reads took 7 s.
// Now the parts nobody reads are passed over and a part past the bound is refused before
// anything is inflated, in little memory.
TEST_F(SpreadsheetFormats, ZipBombsAreNotUnpacked) {
  if (!kMemory_Limit_Works) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
  const qint64 gigabyte = qint64(1000) << 20;
  const QByteArray ods_head =
      "<office:document-content><office:body><office:spreadsheet><table:table><table:table-row>"
      "<table:table-cell><text:p>ok</text:p></table:table-cell></table:table-row>";
  const QByteArray ods_tail = "</table:table></office:spreadsheet></office:body></office:document-content>";
  const QByteArray content = ods_head + ods_tail;
  std::vector<Raw_Entry> many{{"content.xml", content}};
  for (int i = 0; i < 9000; ++i)
    many.push_back(Spaces_Bomb("Pictures/p" + QByteArray::number(i) + ".xml", "", 115000, ""));
  Make_Zip(path("unread.ods"), {{"content.xml", content},
                                Spaces_Bomb("Thumbnails/junk.xml", "", gigabyte, "")});
  Make_Zip(path("many.ods"), many);
  Make_Zip(path("bomb.ods"), {Spaces_Bomb("content.xml", ods_head, gigabyte, ods_tail)});
  ASSERT_LT(QFileInfo(path("bomb.ods")).size(), 8 << 20);
  const struct {
    const char* file;
    QString answer;
  } cases[] = {
      {"unread.ods", "ok"},
      {"many.ods", "ok"},
      {"bomb.ods", "the zip entry content.xml unpacks to more than 256 MB"},
  };
  const QString folder = SpreadsheetWriter::spreadsheet().tmpDir();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    QDir(folder).removeRecursively();
    const QString answer = Run_With_Memory_Limit(qint64(256) << 20, [&] {
      try {
        const Sheet_Rows rows = SpreadsheetWriter::ReadODS(path(c.file));
        return rows.isEmpty() ? QString("no rows") : rows[0][0];
      } catch (const Spreadsheet_Error& e) {
        return e.reason();
      }
    });
    EXPECT_TRUE(answer.endsWith(c.answer)) << answer.toStdString();
    // The child unpacked into the same folder: only the part read is there.
    EXPECT_EQ(Tree(folder), c.answer == u"ok" ? QStringList{"content.xml"} : QStringList{});
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
