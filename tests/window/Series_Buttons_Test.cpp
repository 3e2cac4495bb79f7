// The design window's series buttons: the manager and the generator open from the toolbar
// and use the window's in-use test and export-result box.

#include "Window_Fixture.h"
#include "model/CRDDocument.h"
#include "model/CRDText.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "series/Series_Manager_Rules.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Generate_List.h"
#include "series/ui/Series_List_Model.h"
#include "support/Test_Support.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Open_Export_Log.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class Series_Buttons : public test_support::Window_Fixture {
 protected:
  void TearDown() override {
    Window_Fixture::TearDown();
    Series_Hooks() = {};
  }
  QToolButton* button(const char* name) {
    return window->findChild<QToolButton*>(QString::fromLatin1(name));
  }
};

TEST_F(Series_Buttons, CreateSeriesOpensTheGeneratorForANamedSeries) {
  QToolButton* create = button("Create_Series_btn");
  ASSERT_NE(create, nullptr);
  EXPECT_TRUE(create->isEnabled());
  Generate_List* generator = Generate_List::defaultInstance();
  platform.on_run_modal = [&](QObject* shown) {
    EXPECT_EQ(shown, generator);
    EXPECT_EQ(generator->file_name_required, 1);
    EXPECT_EQ(generator->file_name_Insert, 0);
    generator->from_txt->setText("1");
    generator->to_txt->setText("3");
    generator->seq_file_name->setText("Numbers");
    generator->OKPressed();
    return -1;
  };
  create->click();
  ASSERT_EQ(platform.modal_runs.size(), 1);
  QFile written(Data_Folder_Path + "/Numbers.txt");
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), QByteArray("1\n2\n3\n"));
}

TEST_F(Series_Buttons, SeriesButtonOpensTheManagerWithTheWindowsServices) {
  ASSERT_TRUE(QDir().mkpath(Data_Folder_Path));
  for (const char* name : {"Bound", "Free"}) {
    QFile file(Data_Folder_Path + '/' + name + ".txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("v\n");
  }
  auto text = std::make_shared<CRDText>();
  text->data_source_type = 1;
  text->batch_list_name = "Bound";
  ASSERT_TRUE(document.insertGraphics(CRDDocument::Side::Front, {text}, {0}));

  QToolButton* series = button("Batch_Series_btn");
  ASSERT_NE(series, nullptr);
  EXPECT_TRUE(series->isEnabled());
  BatchWizard* manager = BatchWizard::defaultInstance();
  QTemporaryDir out;
  platform.on_run_modal = [&](QObject* shown) {
    if (shown == window->Open_Export_Files) {
      EXPECT_EQ(window->Open_Export_Files->_open_log_message->text(),
                "Record has been exported successfully.");
      window->Open_Export_Files->CancelPressed();
      return -1;
    }
    EXPECT_EQ(shown, manager);
    EXPECT_EQ(manager->ListData->values(), (QStringList{"Bound", "Free"}));
    // The window's in-use test keeps the bound series.
    manager->List->selectionModel()->setCurrentIndex(
        manager->ListData->index(0, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    manager->Delete_List_Btn_Clicked();
    // An export shows the window's result box.
    manager->doubleClickInTable(manager->List);
    platform.save_answers = {out.filePath("bound.txt")};
    platform.save_type_answers = {1};
    manager->Export_Value_Btn_Clicked();
    manager->Close_Btn_Clicked();
    return -1;
  };
  series->click();
  EXPECT_EQ(platform.messages,
            QStringList{"\nBatch Processing Series can't be delete because it is currently in use."});
  EXPECT_TRUE(QFileInfo::exists(Data_Folder_Path + "/Bound.txt"));
  EXPECT_TRUE(QFileInfo::exists(out.filePath("bound.txt")));
  EXPECT_EQ(platform.modal_runs, (QList<QObject*>{manager, window->Open_Export_Files}));
}

}  // namespace
