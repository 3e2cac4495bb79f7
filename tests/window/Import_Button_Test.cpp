// The design window's Import button: the wizard opens for a named series, a workbook becomes
// one series per column (none while one is in use), and the window's long message dialog
// asks once about the series that exist.

#include "Window_Fixture.h"
#include "model/CRDDocument.h"
#include "model/CRDText.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "series/Series_Manager_Rules.h"
#include "series/Sheet_Import.h"
#include "series/SpreadsheetWriter.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Import_Excel_DataSheet.h"
#include "series/ui/Import_Wizard.h"
#include "series/ui/Series_List_Model.h"
#include "support/Test_Support.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Long_SMS_Dlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class Import_Button : public test_support::Window_Fixture {
 protected:
  void TearDown() override {
    Window_Fixture::TearDown();
    Series_Hooks() = {};
    Long_Question_Hook() = nullptr;
  }
  static QByteArray read(const QString& name) {
    QFile file(Data_Folder_Path + '/' + name + ".txt");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
};

TEST_F(Import_Button, AWorkbookBecomesOneSeriesPerColumn) {
  const QString book = scratch.filePath("guests.xlsx");
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(
      book, {{"Name", "City"}, {"Ann", "Oslo"}, {"Bob", "Rome"}}, true));
  ASSERT_TRUE(QDir().mkpath(Data_Folder_Path));
  {
    QFile city(Data_Folder_Path + "/City.txt");
    ASSERT_TRUE(city.open(QIODevice::WriteOnly));
    city.write("Paris\n");
  }
  auto text = std::make_shared<CRDText>();
  text->data_source_type = 1;
  text->batch_list_name = "City";
  ASSERT_TRUE(document.insertGraphics(CRDDocument::Side::Front, {text}, {0}));

  QToolButton* import = window->findChild<QToolButton*>("Import_Wizard_btn");
  ASSERT_NE(import, nullptr);
  EXPECT_TRUE(import->isEnabled());
  Import_Wizard* wizard = Import_Wizard::defaultInstance();
  Import_Excel_DataSheet* columns = Import_Excel_DataSheet::defaultInstance();
  Long_SMS_Dlg* question = Long_SMS_Dlg::defaultInstance();
  bool answered_once = false;
  platform.on_run_modal = [&](QObject* shown) {
    if (shown == wizard) {
      EXPECT_EQ(wizard->file_name_required, 1);
      EXPECT_EQ(wizard->file_name_Insert, 0);
      wizard->Excel_path->setText(book);
      wizard->OKPressed();
    } else if (shown == columns) {
      columns->Select_ALL_Pressed();
      columns->OKPressed();  // refused while City is in use: the picker stays open
      if (!answered_once) {
        answered_once = true;
        text->data_source_type = 0;  // City no longer in use
        columns->OKPressed();
      }
    } else if (shown == question) {
      EXPECT_EQ(question->title_val, "Batch Processing Series already exists :");
      EXPECT_FALSE(question->apply_chk_show);  // one question names them all
      EXPECT_TRUE(question->msg_val_str.contains("\nCity\n"));
      question->OKPressed();
    }
    return -1;
  };
  import->click();
  // The first OK writes nothing, not even the free column, and says why; the second asks
  // once about the existing series and writes both.
  EXPECT_EQ(platform.modal_runs, (QList<QObject*>{wizard, columns, question}));
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_TRUE(platform.messages.first().contains("Nothing was imported"));
  EXPECT_TRUE(platform.messages.first().contains("in use cannot be replaced:\nCity"));
  EXPECT_EQ(read("Name"), "Ann\nBob\n");
  EXPECT_EQ(read("City"), "Oslo\nRome\n");
  EXPECT_TRUE(question->title_val.isNull());  // back to its one-button form
}

}  // namespace
