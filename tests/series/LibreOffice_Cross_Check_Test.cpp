// Our readers against workbooks LibreOffice wrote, and LibreOffice reading the workbooks we
// wrote. One LibreOffice run does every conversion: a macro in a private profile takes the
// list of jobs.

#include "series/SpreadsheetWriter.h"

#include "model/Shared_Design_State.h"
#include "support/Test_Support.h"

#include "LibreOffice_Jobs.h"
#include "Series_Test_Support.h"

#include <QTemporaryDir>
#include <QUrl>

using namespace series_test;

namespace {

// Two sheets with text, numbers, a date, a formula, formatted runs, Unicode, empty cells
// and empty rows.
const char kSource[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <number:date-style style:name="N1"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/></number:date-style>
  <style:style style:name="date" style:family="table-cell" style:data-style-name="N1"/>
  <style:style style:name="bold" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
 </office:automatic-styles>
 <office:body><office:spreadsheet>
  <table:table table:name="People">
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>Name</text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p>Count</text:p></table:table-cell>
    <table:table-cell/>
    <table:table-cell office:value-type="string"><text:p>Born</text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p>Sum</text:p></table:table-cell>
   </table:table-row>
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>Zoë <text:span text:style-name="bold">Ærøskøbing</text:span> 日本</text:p></table:table-cell>
    <table:table-cell office:value-type="float" office:value="42"><text:p>42</text:p></table:table-cell>
    <table:table-cell/>
    <table:table-cell table:style-name="date" office:value-type="date" office:date-value="2024-01-15"><text:p>2024-01-15</text:p></table:table-cell>
    <table:table-cell table:formula="of:=[.B2]+1" office:value-type="float" office:value="43"><text:p>43</text:p></table:table-cell>
   </table:table-row>
   <table:table-row table:number-rows-repeated="2"><table:table-cell/></table:table-row>
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>a <text:s text:c="2"/>b</text:p></table:table-cell>
    <table:table-cell office:value-type="float" office:value="2.5"><text:p>2.5</text:p></table:table-cell>
    <table:table-cell table:number-columns-repeated="2"/>
    <table:table-cell office:value-type="string"><text:p>tail</text:p></table:table-cell>
   </table:table-row>
   <table:table-row table:number-rows-repeated="2">
    <table:table-cell table:number-columns-repeated="2" office:value-type="string"><text:p>x</text:p></table:table-cell>
   </table:table-row>
  </table:table>
  <table:table table:name="Second">
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>two</text:p></table:table-cell>
    <table:table-cell office:value-type="float" office:value="7"><text:p>7</text:p></table:table-cell>
   </table:table-row>
   <table:table-row><table:table-cell office:value-type="string"><text:p>&lt;&amp;&gt;</text:p></table:table-cell></table:table-row>
  </table:table>
 </office:spreadsheet></office:body>
</office:document>
)";

// RFC 4180 fields: quoted fields may hold separators, quotes and line feeds.
Sheet_Rows parse_csv(const QString& text) {
  Sheet_Rows rows;
  QStringList row;
  QString field;
  bool quoted = false, any = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    any = true;
    if (quoted) {
      if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
        field += u'"';
        ++i;
      } else if (c == u'"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == u'"') {
      quoted = true;
    } else if (c == u',') {
      row << field;
      field.clear();
    } else if (c == u'\n') {
      row << field;
      rows << row;
      row.clear();
      field.clear();
      any = false;
    } else if (c != u'\r') {
      field += c;
    }
  }
  if (any) rows << (row << field);
  return rows;
}

Sheet_Rows padded(Sheet_Rows rows, qsizetype width) {
  for (QStringList& row : rows)
    while (row.size() < width) row << QString();
  return rows;
}

class LibreOfficeCrossCheck : public test_support::Design_Test {};

TEST_F(LibreOfficeCrossCheck, ReadsLibreOfficeWorkbooksAndLibreOfficeReadsOurs) {
  ASSERT_TRUE(test_support::Have_Program("soffice")) << "LibreOffice is missing: run make deps";
  QTemporaryDir work;
  ASSERT_TRUE(work.isValid());
  const auto at = [&](const char* name) { return work.path() + u'/' + QString::fromUtf8(name); };
  Write_File(at("source.fods"), kSource);

  const Sheet_Rows ours{
      {"Name", "Code", "Amount", "Note"},
      {QStringLiteral("Zo\u00eb \u65e5\u672c \U0001F389"), "007", "-3.25", "a   b"},
      {"<&>\"'", "1,5", "12", " lead"},
      {"0.5", "1.50", "123456789012345", "two\nlines"},
      {"0.000000000000012", "99999999999999.9", "-0.001", "0.000000000000001"},
      {"x"},
  };
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(at("ours.xlsx"), ours, true));
  ASSERT_TRUE(SpreadsheetWriter::WriteODS(at("ours.ods"), ours, true));
  ASSERT_TRUE(SpreadsheetWriter::WriteWorksheetXML2004(at("ours.xml"), ours));

  const QString csv_filter = QStringLiteral("Text - txt - csv (StarCalc)");
  const QString csv_options = QStringLiteral("44,34,76,1,,0,false,true,false,false,false");
  const QList<Convert_Job> jobs = {
      {at("source.fods"), at("lo.xlsx"), QStringLiteral("Calc MS Excel 2007 XML"), {}},
      {at("source.fods"), at("lo.ods"), QStringLiteral("calc8"), {}},
      {at("ours.xlsx"), at("ours_xlsx.csv"), csv_filter, csv_options},
      {at("ours.ods"), at("ours_ods.csv"), csv_filter, csv_options},
      {at("ours.xml"), at("ours_xml.csv"), csv_filter, csv_options},
  };
  Run_LibreOffice_Jobs(work.path(), jobs);
  if (HasFatalFailure()) return;

  {
    SCOPED_TRACE("our reader, LibreOffice's .xlsx");
    SpreadsheetWriter::ReadWorkbook(at("lo.xlsx"), true);
    EXPECT_EQ(SpreadsheetWriter::Worksheet_Names(), (QStringList{"sheet1", "sheet2"}));
    EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(), (QStringList{"People", "Second"}));
    Excel_Sheet_Number = 1;
    EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(),
              (Sheet_Rows{{"Name", "Count", "Untitled Column 3", "Born", "Sum"}}));
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false),
              (Sheet_Rows{{"Name", "Count", "", "Born", "Sum"},
                          // a date is its serial number, a formula its cached value
                          {QStringLiteral("Zo\u00eb \u00c6r\u00f8sk\u00f8bing \u65e5\u672c"), "42",
                           "", "45306", "43"},
                          {"a   b", "2.5", "", "", "tail"},
                          {"x", "x", "", "", ""},
                          {"x", "x", "", "", ""}}));
    Excel_Sheet_Number = 2;
    EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(), (Sheet_Rows{{"two", "7"}}));
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false),
              (Sheet_Rows{{"two", "7"}, {"<&>", ""}}));
  }
  {
    SCOPED_TRACE("our reader, LibreOffice's .ods");
    EXPECT_EQ(SpreadsheetWriter::ReadODS(at("lo.ods")),
              (Sheet_Rows{{"Name", "Count", "", "Born", "Sum"},
                          {QStringLiteral("Zo\u00eb \u00c6r\u00f8sk\u00f8bing \u65e5\u672c"), "42",
                           "", "2024-01-15", "43"},
                          // rows without text are no rows of the data, as in the .xlsx
                          {"a   b", "2.5", "", "", "tail"},
                          {"x", "x", "", "", ""},
                          {"x", "x", "", "", ""}}));
  }
  for (const char* name : {"ours_xlsx.csv", "ours_ods.csv", "ours_xml.csv"}) {
    SCOPED_TRACE(std::string("LibreOffice reading ") + name);
    EXPECT_EQ(parse_csv(QString::fromUtf8(Read_File(at(name)))), padded(ours, 4));
  }
}

}  // namespace
