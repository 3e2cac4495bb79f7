#pragma once
// A fixture for the series dialogs: a scripted platform, a fresh series folder, and a card
// whose front side can bind text objects to series for the in-use test.

#include "model/CRDText.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "series/Data_Series_Store.h"
#include "series/Series_Manager_Rules.h"
#include "support/Test_Support.h"

#include <QDir>

#include <memory>

namespace series_test {

class Series_Dialog_Test : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    ASSERT_TRUE(QDir().mkpath(Data_Folder_Path));
    Series_Hooks().in_use = [this](const QString& name) {
      return Series_In_Use(name, front_, Graphic_List{});
    };
    Series_Hooks().show_export_result = [this] {
      result_boxes << Export_File_Message.get() + u'|' + Export_File_Path.get();
    };
  }
  void TearDown() override {
    Series_Hooks() = {};
    platform_.on_run_modal = nullptr;
    Design_Test::TearDown();
  }
  QString series_file(const QString& name) const { return Data_Folder_Path + u'/' + name + ".txt"; }
  // A text object of the front side takes its values from the series.
  void bind(const QString& name) {
    auto text = std::make_shared<CRDText>();
    text->Set_Data_source_type(1);
    text->Set_Batch_List_Name(name);
    front_.push_back(text);
  }

  platform::Scoped_Scripted_Platform platform_;
  Graphic_List front_;
  QStringList result_boxes;  // "message|path" of each export-result box shown
};

}  // namespace series_test
