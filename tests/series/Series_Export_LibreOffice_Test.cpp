// The manager's export read back by a real spreadsheet program: LibreOffice converts the
// exported workbook to CSV, which must hold the title and exactly the values.

#include "series/ui/BatchWizard.h"
#include "series/ui/Series_List_Model.h"

#include "Series_Dialog_Fixture.h"
#include "Series_Test_Support.h"

#include <QTemporaryDir>
#include <QUrl>

using namespace series_test;

namespace {

class SeriesExportLibreOffice : public Series_Dialog_Test {};

TEST_F(SeriesExportLibreOffice, LibreOfficeReadsExactlyTheExportedValues) {
  ASSERT_TRUE(test_support::Have_Program("soffice")) << "LibreOffice is missing: run make deps";
  QTemporaryDir work;
  ASSERT_TRUE(work.isValid());
  const QStringList values{"007", "1,5", QStringLiteral("Zo\u00eb & <x>"), "3.5"};
  BatchWizard* manager = BatchWizard::defaultInstance();
  manager->AddNew_Btn_Clicked();
  manager->ListData_value->setValues(values);
  platform_.save_answers = {work.path() + "/values.xlsx", work.path() + "/values.xlsx"};
  platform_.save_type_answers = {0, 1};
  manager->Export_Value_Btn_Clicked();
  manager->Export_Value_Btn_Clicked();
  ASSERT_EQ(result_boxes.size(), 2) << platform_.messages;
  EXPECT_EQ(Read_File(work.path() + "/values.txt"), (values.join('\n') + '\n').toUtf8());

  const test_support::Process_Result converted = test_support::Run_Program(
      "soffice",
      {"--headless", "--norestore", "--nolockcheck",
       "-env:UserInstallation=" + QUrl::fromLocalFile(work.path() + "/profile").toString(),
       "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false", "--outdir",
       work.path() + "/csv", work.path() + "/values.xlsx"});
  ASSERT_EQ(converted.exit_code, 0) << converted.err.toStdString();
  QString csv = QString::fromUtf8(Read_File(work.path() + "/csv/values.csv"));
  csv.remove(u'\r');
  EXPECT_EQ(csv, QStringLiteral("Batch Value\n007\n\"1,5\"\nZo\u00eb & <x>\n3.5\n"));
}

}  // namespace
