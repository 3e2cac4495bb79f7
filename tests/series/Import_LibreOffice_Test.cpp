// The spreadsheet imports on workbooks LibreOffice wrote: titles (empty, blank, Unicode),
// "007", empty cells and rows, a cell with a comma, a quote and a line break, a sheet
// without rows, eleven sheets; the CSV LibreOffice wrote of the same sheet gives the same
// values; .ods and XML Spreadsheet 2003 files import like the workbook; an OpenDocument
// file named .xlsx is refused.

#include "series/Import_Text.h"
#include "series/Sheet_Import.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Import_Excel.h"
#include "series/ui/Import_Wizard.h"
#include "series/ui/Series_List_Model.h"

#include "LibreOffice_Jobs.h"
#include "Series_Dialog_Fixture.h"
#include "Series_Test_Support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace series_test;

namespace {

QString Cell(const QString& text) {
  QString cell = QStringLiteral("<table:table-cell office:value-type=\"string\">");
  for (const QString& line : text.split(u'\n'))
    cell += QStringLiteral("<text:p>") + line.toHtmlEscaped() + QStringLiteral("</text:p>");
  return cell + QStringLiteral("</table:table-cell>");
}

QString Row(const QStringList& cells) {
  QString row = QStringLiteral("<table:table-row>");
  for (const QString& cell : cells)
    row += cell.isEmpty() ? QStringLiteral("<table:table-cell/>") : Cell(cell);
  return row + QStringLiteral("</table:table-row>");
}

QString Document(const QString& tables) {
  return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:body><office:spreadsheet>%1</office:spreadsheet></office:body>
</office:document>
)").arg(tables);
}

const QString Odd_Cell = QStringLiteral("a, \"b\"\nc");

class Import_LibreOffice : public Series_Dialog_Test {
 protected:
  static void SetUpTestSuite() {
    work_ = new QTemporaryDir;
    ASSERT_TRUE(work_->isValid());
    const QString people =
        Row({"Name", "", " ", QStringLiteral("Zo\u00eb \u65e5\u672c"), "Code"}) +
        Row({"Ann", "e1", "", QStringLiteral("\u00fc"), "007"}) + Row({""}) +
        Row({Odd_Cell, "", "z", "", "9"});
    Write_File(at("people.fods"),
               Document("<table:table table:name=\"People\">" + people +
                        "</table:table><table:table table:name=\"Empty\"><table:table-row>"
                        "<table:table-cell/></table:table-row></table:table>")
                   .toUtf8());
    QString eleven;
    for (int k = 1; k <= 11; ++k)
      eleven += QStringLiteral("<table:table table:name=\"S%1\">").arg(k) +
                Row({QStringLiteral("T%1").arg(k)}) + Row({QStringLiteral("v%1").arg(k)}) +
                QStringLiteral("</table:table>");
    Write_File(at("eleven.fods"), Document(eleven).toUtf8());
    const QString xlsx = QStringLiteral("Calc MS Excel 2007 XML");
    Run_LibreOffice_Jobs(work_->path(),
                         {{at("people.fods"), at("people.xlsx"), xlsx, {}},
                          {at("people.fods"), at("people.ods"), QStringLiteral("calc8"), {}},
                          {at("people.fods"), at("people.xml"),
                           QStringLiteral("MS Excel 2003 XML"), {}},
                          {at("people.fods"), at("people.csv"),
                           QStringLiteral("Text - txt - csv (StarCalc)"),
                           QStringLiteral("44,34,76,1,,0,false,true,false,false,false")},
                          {at("eleven.fods"), at("eleven.xlsx"), xlsx, {}}});
  }
  static void TearDownTestSuite() {
    delete work_;
    work_ = nullptr;
  }
  void SetUp() override {
    Series_Dialog_Test::SetUp();
    ASSERT_TRUE(QFile::exists(at("eleven.xlsx"))) << "LibreOffice did not write the workbooks";
  }
  static QString at(const QString& name) { return work_->filePath(name); }

  // Mode "D" on the path: `drive` chooses; answers the manager's values.
  QStringList pick(const QString& path, const std::function<void(Import_Excel*)>& drive) {
    Import_Excel* picker = Import_Excel::defaultInstance();
    picker->open_mode = QStringLiteral("D");
    BatchWizard::defaultInstance()->ListData_value->clear();
    platform_.on_run_modal = [&](QObject* shown) {
      if (shown == picker) drive(picker);
      return -1;
    };
    picker->Open_excel_Wnd(path);
    return BatchWizard::defaultInstance()->ListData_value->values();
  }

  static QTemporaryDir* work_;
};

QTemporaryDir* Import_LibreOffice::work_ = nullptr;

TEST_F(Import_LibreOffice, TitlesSheetsAndValuesOfLibreOfficeWorkbooks) {
  const QStringList values = pick(at("people.xlsx"), [](Import_Excel* picker) {
    EXPECT_EQ(picker->Sheet_ComboBox->count(), 2);
    QStringList titles;
    for (int j = 0; j < picker->ListData_xl->count(); ++j) titles << picker->ListData_xl->row(j).title;
    EXPECT_EQ(titles, (QStringList{"Name", "Untitled Column 2", "Untitled Column 3",
                                   QStringLiteral("Zo\u00eb \u65e5\u672c"), "Code"}));
    picker->ListData_xl->setData(picker->ListData_xl->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    picker->ListData_xl->setData(picker->ListData_xl->index(4, 0), Qt::Checked, Qt::CheckStateRole);
    picker->OKPressed();
  });
  EXPECT_EQ(values, (QStringList{"Ann", "007", Odd_Cell, "9"}));

  // A sheet without rows lists no columns: OK says so and nothing is read.
  platform_.messages.clear();
  EXPECT_TRUE(pick(at("people.xlsx"), [](Import_Excel* picker) {
                picker->Sheet_ComboBox->setCurrentIndex(1);
                EXPECT_EQ(picker->ListData_xl->count(), 0);
                picker->OKPressed();
                picker->CancelPressed();
              }).isEmpty());
  EXPECT_EQ(platform_.messages, QStringList{u'\n' + Picker_No_Column});

  // Eleven sheets: the list is in the sheets' order and item i reads sheet i + 1.
  EXPECT_EQ(pick(at("eleven.xlsx"),
                 [](Import_Excel* picker) {
                   QStringList sheets;
                   for (int i = 0; i < picker->Sheet_ComboBox->count(); ++i)
                     sheets << picker->Sheet_ComboBox->itemText(i);
                   EXPECT_EQ(sheets.size(), 11);
                   EXPECT_EQ(sheets.at(1), "sheet2");
                   EXPECT_EQ(sheets.at(10), "sheet11");
                   picker->Sheet_ComboBox->setCurrentIndex(9);
                   EXPECT_EQ(picker->ListData_xl->row(0).title, "T10");
                   picker->Sheet_ComboBox->setCurrentIndex(10);
                   picker->contains_header->setChecked(false);
                   picker->Select_ALL_Pressed();
                   picker->OKPressed();
                 }),
            (QStringList{"T11", "v11"}));

  // An OpenDocument spreadsheet named .xlsx is no workbook.
  ASSERT_TRUE(QFile::copy(at("people.ods"), at("named.xlsx")));
  platform_.messages.clear();
  EXPECT_EQ(Import_Excel::defaultInstance()->Open_excel_Wnd(at("named.xlsx")), 0);
  EXPECT_EQ(platform_.messages,
            QStringList{u'\n' + With_Reason(Import_File_Corrupted,
                                             at("named.xlsx") + " holds no worksheet.")});
}

// An OpenDocument spreadsheet and an XML Spreadsheet 2003 of the same sheet: their first
// table is the one sheet, with the titles and values the workbook gives.
TEST_F(Import_LibreOffice, OpenDocumentAndXml2003FilesImportLikeTheWorkbook) {
  for (const char* name : {"people.ods", "people.xml"}) {
    SCOPED_TRACE(name);
    platform_.messages.clear();
    const QStringList values = pick(at(QString::fromLatin1(name)), [](Import_Excel* picker) {
      EXPECT_EQ(picker->Sheet_ComboBox->count(), 1);
      QStringList titles;
      for (int j = 0; j < picker->ListData_xl->count(); ++j)
        titles << picker->ListData_xl->row(j).title;
      EXPECT_EQ(titles, (QStringList{"Name", "Untitled Column 2", "Untitled Column 3",
                                     QStringLiteral("Zo\u00eb \u65e5\u672c"), "Code"}));
      picker->ListData_xl->setData(picker->ListData_xl->index(0, 0), Qt::Checked, Qt::CheckStateRole);
      picker->ListData_xl->setData(picker->ListData_xl->index(4, 0), Qt::Checked, Qt::CheckStateRole);
      picker->OKPressed();
    });
    EXPECT_EQ(values, (QStringList{"Ann", "007", Odd_Cell, "9"}));
    EXPECT_TRUE(platform_.messages.isEmpty()) << platform_.messages.join(' ').toStdString();
  }
  // After them a workbook reads its own sheets again.
  EXPECT_EQ(pick(at("people.xlsx"),
                 [](Import_Excel* picker) {
                   EXPECT_EQ(picker->Sheet_ComboBox->count(), 2);
                   picker->ListData_xl->setData(picker->ListData_xl->index(0, 0), Qt::Checked,
                                                Qt::CheckStateRole);
                   picker->OKPressed();
                 }),
            (QStringList{"Ann", Odd_Cell}));
}

TEST_F(Import_LibreOffice, CsvValuesEqualTheCellsWhateverTheLineEnds) {
  // The cells, row by row, as a CSV import gives them: trimmed, a line break as a space,
  // empty ones left out.
  QStringList cells;
  const Workbook_Sheets workbook = Open_Workbook(at("people.xlsx"));
  ASSERT_EQ(workbook.error, QString());
  ASSERT_EQ(Sheet_Titles(0).size(), 5);
  for (QString value : Row_Major_Values(Sheet_Data_Rows(), {0, 1, 2, 3, 4}, false).values) {
    value = Clean_Import_Value(value.replace(u'\n', u' '));
    if (!value.isEmpty()) cells << value;
  }
  EXPECT_TRUE(cells.contains(QStringLiteral("a, \"b\" c")));

  QByteArray csv = Read_File(at("people.csv"));
  csv.replace("\r\n", "\n");
  const QList<std::pair<const char*, QByteArray>> copies = {
      {"lf.csv", csv}, {"crlf.csv", QByteArray(csv).replace("\n", "\r\n")},
      {"cr.csv", QByteArray(csv).replace("\n", "\r")}};
  Import_Wizard* wizard = Import_Wizard::defaultInstance();
  wizard->file_name_required = 1;
  wizard->file_name_Insert = 0;
  for (const auto& [name, bytes] : copies) {
    SCOPED_TRACE(name);
    Write_File(at(QString::fromLatin1(name)), bytes);
    platform_.on_run_modal = [&](QObject*) {
      wizard->Text_RD_Pressed();
      wizard->Text_file_name->setText("People");
      wizard->Text_path->setText(at(QString::fromLatin1(name)));
      wizard->OKPressed();
      return -1;
    };
    platform_.default_yes_no = true;
    EXPECT_EQ(wizard->Open_Wnd(), 1);
    EXPECT_EQ(Read_Series_Values("People"), cells);
  }
}

}  // namespace
