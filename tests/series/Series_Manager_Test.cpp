// The series manager: its list of series, the editor's load, save (also under another name),
// delete and export, the edit sheet and the clear-or-keep question; and the series viewer.

#include "series/Series_Manager_Rules.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Generate_List.h"
#include "series/ui/Series_List_Model.h"
#include "series/ui/Series_Value_Sheets.h"
#include "series/ui/View_Data_Series.h"

#include "Series_Dialog_Fixture.h"
#include "Series_Test_Support.h"
#include "support/File_Size_Limit.h"

#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

using namespace series_test;

namespace {

// Selects the rows of the view, `last` the one selected last.
void Select(QTableView* view, const QList<int>& rows, int last) {
  QItemSelectionModel* selection = view->selectionModel();
  selection->clear();
  for (int row : rows)
    selection->select(view->model()->index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  if (last >= 0)
    selection->setCurrentIndex(view->model()->index(last, 0),
                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QList<int> Selected(QTableView* view) { return Selected_Rows(view); }

class SeriesManager : public Series_Dialog_Test {
 protected:
  void SetUp() override {
    Series_Dialog_Test::SetUp();
    manager_ = BatchWizard::defaultInstance();
    manager_->ListData_value->clear();
    manager_->update_list_name->clear();
  }
  // Opens the manager's list of the series files, as Open_Wnd does.
  void show_list(const std::map<QString, QByteArray>& files) {
    for (const auto& [name, bytes] : files) Write_File(series_file(name), bytes);
    platform_.on_run_modal = [this](QObject* window) {
      if (window == manager_) manager_->Close_Btn_Clicked();
      return -1;
    };
    manager_->Open_Wnd();
    platform_.on_run_modal = nullptr;
  }
  // Loads the series into the editor as a double click on its row does.
  void load(const QString& name) {
    const int row = int(manager_->ListData->values().indexOf(name));
    ASSERT_GE(row, 0) << name;
    Select(manager_->List, {row}, row);
    manager_->doubleClickInTable(manager_->List);
  }
  QStringList values() const { return manager_->ListData_value->values(); }
  QStringList listed() const { return manager_->ListData->values(); }

  BatchWizard* manager_ = nullptr;
};

TEST_F(SeriesManager, OpensOnTheListOfSeries) {
  show_list({});
  EXPECT_EQ(manager_->batch_list_count->text(), "Total List : 0");
  EXPECT_TRUE(manager_->avl_list_box->isVisibleTo(manager_));
  EXPECT_FALSE(manager_->list_value_box->isVisibleTo(manager_));

  QDir().mkpath(Data_Folder_Path + "/folder");
  show_list({{"b", "1\n"}, {"A", "2\n"}, {"c", ""}});
  EXPECT_EQ(listed(), (QStringList{"A", "b", "c"}));
  EXPECT_EQ(manager_->batch_list_count->text(), "Total List : 3");
  EXPECT_EQ(platform_.modal_runs.count(manager_), 2);
  EXPECT_TRUE(QFileInfo(Data_Folder_Path + "/../Background").isDir());  // data folders made
}

TEST_F(SeriesManager, LoadsASeriesIntoTheEditor) {
  Write_File(Data_Folder_Path + "/notes.csv", "x\n");
  show_list({{"Guests", "a\n\n b \n"}});
  load("Guests");
  EXPECT_EQ(values(), (QStringList{"a", "b"}));
  EXPECT_EQ(manager_->batch_value_count->text(), "Total Rows : 2");
  EXPECT_EQ(manager_->batch_list_name->text(), "Guests");
  EXPECT_EQ(manager_->update_list_name->text(), "Guests");
  EXPECT_TRUE(manager_->list_value_box->isVisibleTo(manager_));
  manager_->Back_Btn_Clicked();
  EXPECT_EQ(manager_->update_list_name->text(), "");
  EXPECT_EQ(values(), (QStringList{"a", "b"}));  // Back drops nothing

  // "notes.csv" is listed as "notes", whose series file "notes.txt" does not exist.
  load("notes");
  EXPECT_EQ(platform_.messages, QStringList{"\nError in file accessing."});
  EXPECT_TRUE(manager_->avl_list_box->isVisibleTo(manager_));
}

TEST_F(SeriesManager, SelectionChecksAndDoubleClicks) {
  show_list({});
  manager_->Update_Btn_Clicked();
  show_list({{"a", "1\n"}, {"b", "2\n"}});
  Select(manager_->List, {}, -1);
  manager_->Update_Btn_Clicked();
  Select(manager_->List, {0, 1}, 1);
  manager_->doubleClickInTable(manager_->List);
  Select(manager_->List, {}, -1);
  manager_->doubleClickInTable(manager_->List);  // nothing selected: nothing happens
  EXPECT_EQ(platform_.messages,
            (QStringList{"\nAvailable list is empty.",
                         "\nPlease select a record from the available list to continue.",
                         "\nPlease select only one record to update."}));
  EXPECT_TRUE(manager_->avl_list_box->isVisibleTo(manager_));
}

TEST_F(SeriesManager, SavesUnderItsOwnAnotherAndANewName) {
  const struct {
    const char* name;
    QString load;  // "" for Add New
    QString typed;
    std::deque<bool> answers;
    QStringList questions;
    QStringList messages;
    std::map<QString, QByteArray> files;  // the series folder afterwards
    bool saved;
  } cases[] = {
      {"own name", "Guests", "Guests", {}, {}, {},
       {{"Guests", "a\nb\n"}, {"Other", "o\n"}}, true},
      {"another series, yes", "Guests", "Other", {true}, {Series_Replace_Question}, {},
       {{"Guests", "g1\ng2\n"}, {"Other", "a\nb\n"}}, true},
      {"another series, no", "Guests", "Other", {false}, {Series_Replace_Question}, {},
       {{"Guests", "g1\ng2\n"}, {"Other", "o\n"}}, false},
      {"new name renames", "Guests", " Renamed? ", {}, {}, {},
       {{"Other", "o\n"}, {"Renamed?", "a\nb\n"}}, true},
      {"new series onto an existing one", "", "Other", {true}, {Series_Replace_Question}, {},
       {{"Guests", "g1\ng2\n"}, {"Other", "a\nb\n"}}, true},
      {"new series, new name", "", "Fresh", {}, {}, {},
       {{"Fresh", "a\nb\n"}, {"Guests", "g1\ng2\n"}, {"Other", "o\n"}}, true},
      {"invalid name", "Guests", "../x", {}, {}, {"\nPlease enter list name."},
       {{"Guests", "g1\ng2\n"}, {"Other", "o\n"}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QDir(Data_Folder_Path).removeRecursively();
    show_list({{"Guests", "g1\ng2\n"}, {"Other", "o\n"}});
    if (c.load.isEmpty())
      manager_->AddNew_Btn_Clicked();
    else
      load(c.load);
    manager_->ListData_value->setValues({" a ", "b"});
    manager_->batch_list_name->setText(c.typed);
    platform_.questions.clear();
    platform_.messages.clear();
    platform_.yes_no_answers = c.answers;
    manager_->Save_Btn_Clicked();
    EXPECT_EQ(platform_.questions, c.questions);
    EXPECT_EQ(platform_.messages, c.messages);
    QStringList tree;
    for (const auto& [name, bytes] : c.files) {
      tree << name + ".txt";
      EXPECT_EQ(Read_File(series_file(name)), bytes) << name;
    }
    EXPECT_EQ(Tree(Data_Folder_Path), tree);
    // A save shows the list screen with the fresh list; a refusal keeps the editor.
    EXPECT_EQ(manager_->avl_list_box->isVisibleTo(manager_), c.saved);
    if (c.saved) {
      EXPECT_EQ(manager_->batch_list_count->text(),
                QStringLiteral("Total List : %1").arg(c.files.size()));
    } else {
      EXPECT_EQ(values(), (QStringList{" a ", "b"}));
    }
  }
}

TEST_F(SeriesManager, SaveRefusals) {
  show_list({{"Bound", "b\n"}, {"Guests", "g\n"}});
  bind("Bound");
  const struct {
    const char* name;
    QString load, typed;
    QStringList messages;
  } cases[] = {
      {"loaded series in use", "Bound", "Elsewhere",
       {"\nBatch Processing Series can't be update because it is currently in use."}},
      {"target series in use", "Guests", "Bound",
       {"\nBatch Processing Series can't be update because it is currently in use."}},
      {"new series onto one in use", "", "Bound",
       {"\nBatch Processing Series can't be update because it is currently in use."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.load.isEmpty())
      manager_->AddNew_Btn_Clicked();
    else
      load(c.load);
    manager_->ListData_value->setValues({"new"});
    manager_->batch_list_name->setText(c.typed);
    platform_.messages.clear();
    platform_.default_yes_no = true;
    manager_->Save_Btn_Clicked();
    EXPECT_EQ(platform_.messages, c.messages);
    EXPECT_TRUE(platform_.questions.isEmpty());
    EXPECT_EQ(Tree(Data_Folder_Path), (QStringList{"Bound.txt", "Guests.txt"}));
    EXPECT_EQ(Read_File(series_file("Bound")), QByteArray("b\n"));
    EXPECT_EQ(Read_File(series_file("Guests")), QByteArray("g\n"));
  }

  manager_->ListData_value->clear();
  platform_.messages.clear();
  manager_->Save_Btn_Clicked();
  EXPECT_EQ(platform_.messages, QStringList{"\nList is empty."});
}

TEST_F(SeriesManager, ARenameWhoseWriteFailsKeepsTheOldSeries) {
  show_list({{"Guests", "g1\ng2\n"}});
  ASSERT_TRUE(QDir().mkpath(series_file("Blocked")));  // the target path is a folder
  load("Guests");
  manager_->ListData_value->setValues({"new", "values"});
  manager_->batch_list_name->setText("Blocked");
  platform_.default_yes_no = true;  // "Yes" to replacing what is there
  manager_->Save_Btn_Clicked();
  EXPECT_EQ(platform_.messages.last(), "\nError in file accessing.\nreplacing a folder failed: " +
                                           test_support::System_Error_Text(EISDIR));
  EXPECT_EQ(Read_File(series_file("Guests")), QByteArray("g1\ng2\n"));
  EXPECT_TRUE(QFileInfo(series_file("Blocked")).isDir());
  EXPECT_EQ(values(), (QStringList{"new", "values"}));
  EXPECT_EQ(manager_->update_list_name->text(), "Guests");
  EXPECT_TRUE(manager_->list_value_box->isVisibleTo(manager_));
}

TEST_F(SeriesManager, DeletesSeriesAndSelectsTheRowBefore) {
  EXPECT_EQ(Selection_After_Delete(0, 4), -1);
  EXPECT_EQ(Selection_After_Delete(3, 4), 2);
  EXPECT_EQ(Selection_After_Delete(2, 3), 1);
  EXPECT_EQ(Selection_After_Delete(4, 3), -1);
  const struct {
    QList<int> rows;
    int last;
    QStringList left;
    QList<int> selected;
  } cases[] = {
      {{0}, 0, {"s1", "s2", "s3", "s4"}, {}},
      {{3}, 3, {"s0", "s1", "s2", "s4"}, {2}},
      {{1, 2}, 2, {"s0", "s3", "s4"}, {1}},
      {{3, 4}, 4, {"s0", "s1", "s2"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.last);
    QDir(Data_Folder_Path).removeRecursively();
    show_list({{"s0", "0\n"}, {"s1", "1\n"}, {"s2", "2\n"}, {"s3", "3\n"}, {"s4", "4\n"}});
    Select(manager_->List, c.rows, c.last);
    platform_.questions.clear();
    platform_.yes_no_answers = {true};
    manager_->Delete_List_Btn_Clicked();
    EXPECT_EQ(platform_.questions,
              QStringList{"Are you sure want to delete selected Batch Processing Series?"});
    EXPECT_EQ(listed(), c.left);
    EXPECT_EQ(Get_datasheet_File_Name_Array(), c.left);
    EXPECT_EQ(Selected(manager_->List), c.selected);
    EXPECT_EQ(manager_->batch_list_count->text(),
              QStringLiteral("Total List : %1").arg(c.left.size()));
  }
}

TEST_F(SeriesManager, OneSeriesInUseKeepsEverySelectedSeries) {
  show_list({{"a", "1\n"}, {"b", "2\n"}, {"c", "3\n"}});
  bind("b");
  Select(manager_->List, {0, 1, 2}, 2);
  platform_.default_yes_no = true;
  manager_->Delete_List_Btn_Clicked();
  EXPECT_EQ(platform_.messages,
            QStringList{"\nBatch Processing Series can't be delete because it is currently in use."});
  EXPECT_TRUE(platform_.questions.isEmpty());
  EXPECT_EQ(Tree(Data_Folder_Path), (QStringList{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(listed(), (QStringList{"a", "b", "c"}));

  // "No" to the question deletes nothing either.
  front_.clear();
  platform_.default_yes_no = false;
  manager_->Delete_List_Btn_Clicked();
  EXPECT_EQ(Tree(Data_Folder_Path), (QStringList{"a.txt", "b.txt", "c.txt"}));
}

TEST_F(SeriesManager, DeletesValues) {
  manager_->AddNew_Btn_Clicked();
  manager_->Delete_Rows_Btn_Clicked();
  manager_->ListData_value->setValues({"v0", "v1", "v2", "v3", "v4"});
  Select(manager_->List_value, {}, -1);
  manager_->Delete_Rows_Btn_Clicked();
  EXPECT_EQ(platform_.messages,
            (QStringList{"\nList is empty.",
                         "\nPlease select at least one record from the list to continue."}));
  Select(manager_->List_value, {1, 2}, 2);
  manager_->Delete_Rows_Btn_Clicked();
  EXPECT_EQ(values(), (QStringList{"v0", "v3", "v4"}));
  EXPECT_EQ(Selected(manager_->List_value), QList<int>{1});
  EXPECT_EQ(manager_->batch_value_count->text(), "Total Rows : 3");
  EXPECT_TRUE(platform_.questions.isEmpty());
  EXPECT_TRUE(Tree(Data_Folder_Path).isEmpty());  // nothing written before Save
}

TEST_F(SeriesManager, ClearOrKeepBeforeGeneratingValues) {
  const struct {
    int answer;
    QStringList values;
    bool generator_opened;
  } cases[] = {
      {Load_Num_Info::Yes, {"1", "2"}, true},
      {Load_Num_Info::No, {"old", "1", "2"}, true},
      {Load_Num_Info::Cancel, {"old"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    manager_->AddNew_Btn_Clicked();
    manager_->ListData_value->setValues({"old"});
    Generate_List* generator = Generate_List::defaultInstance();
    bool opened = false;
    platform_.on_run_modal = [&](QObject* window) {
      if (window == manager_->Load_Number_Window) {
        if (c.answer == Load_Num_Info::Yes) manager_->Load_Number_Window->YESPressed();
        if (c.answer == Load_Num_Info::No) manager_->Load_Number_Window->NOPressed();
        if (c.answer == Load_Num_Info::Cancel) manager_->Load_Number_Window->CancelPressed();
      } else if (window == generator) {
        opened = true;
        EXPECT_EQ(generator->file_name_required, 0);
        EXPECT_EQ(generator->file_name_Insert, 1);
        generator->from_txt->setText("1");
        generator->to_txt->setText("2");
        generator->OKPressed();
      }
      return -1;
    };
    manager_->Series_Value_Btn_Clicked();
    EXPECT_EQ(opened, c.generator_opened);
    EXPECT_EQ(values(), c.values);
  }
  EXPECT_TRUE(Tree(Data_Folder_Path).isEmpty());
}

TEST_F(SeriesManager, EditSheetChangesOneValue) {
  Update_Ex_Num* sheet = manager_->Update_Value_Wnd;
  const struct {
    const char* name;
    QString typed;
    QString index;  // "" leaves the row the double click chose
    QStringList values;
    QStringList messages;
    bool fields_cleared;
  } cases[] = {
      {"trimmed", "  x  ", "", {"a", "x", "c"}, {}, true},
      {"unchanged", "b", "", {"a", "b", "c"}, {}, false},
      {"blanks", "   ", "", {"a", "b", "c"}, {"\nPlease enter a valid value."}, false},
      {"row gone", "y", "3", {"a", "b", "c"}, {}, true},
      {"negative row", "y", "-1", {"a", "b", "c"}, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    manager_->AddNew_Btn_Clicked();
    manager_->ListData_value->setValues({"a", "b", "c"});
    Select(manager_->List_value, {1}, 1);
    platform_.messages.clear();
    platform_.on_run_modal = [&](QObject* window) {
      if (window != sheet) return -1;
      EXPECT_EQ(manager_->Update_m_s_number->text(), "b");
      EXPECT_EQ(manager_->Update_m_ex_num_index->text(), "1");
      sheet->m_ex_num_str->setText(c.typed);
      if (!c.index.isEmpty()) sheet->m_ex_num_index->setText(c.index);
      sheet->OKPressed();
      return -1;
    };
    series_test::Log_Capture log;
    manager_->doubleClickInTable(manager_->List_value);
    EXPECT_EQ(platform_.modal_runs.last(), sheet);
    EXPECT_EQ(values(), c.values);
    EXPECT_EQ(platform_.messages, c.messages);
    EXPECT_EQ(sheet->m_ex_num_str->text().isEmpty(), c.fields_cleared);
    if (!c.index.isEmpty()) {
      EXPECT_TRUE(log.contains("is not in the list")) << log.text();
    }
  }
  sheet->m_ex_num_str->setText("q");
  sheet->CancelPressed();
  EXPECT_EQ(sheet->m_ex_num_str->text(), "");
}

TEST_F(SeriesManager, ExportsAWorkbookOrTextLines) {
  manager_->AddNew_Btn_Clicked();
  manager_->Export_Value_Btn_Clicked();
  EXPECT_EQ(platform_.messages, QStringList{"\nList is empty."});
  platform_.messages.clear();

  QTemporaryDir out;
  manager_->ListData_value->setValues({"007", "Zo\u00eb & <x>", "3.5"});
  manager_->batch_list_name->setText("Guests");
  const QString chosen = out.path() + "/list.xlsx";
  platform_.save_answers = {chosen, chosen};
  platform_.save_type_answers = {1, 0};
  manager_->Export_Value_Btn_Clicked();  // type "txt": the extension follows the type
  manager_->Export_Value_Btn_Clicked();  // type "xlsx"
  ASSERT_EQ(platform_.save_requests.size(), 2);
  EXPECT_EQ(platform_.save_requests[0].file_types, (QStringList{"xlsx", "txt"}));
  EXPECT_EQ(platform_.save_requests[0].file_name, "Guests");
  EXPECT_EQ(Read_File(out.path() + "/list.txt"), QByteArray("007\nZo\xc3\xab & <x>\n3.5\n"));
  EXPECT_TRUE(Read_File(chosen).startsWith("PK"));
  EXPECT_EQ(result_boxes,
            (QStringList{"Record has been exported successfully.|" + out.path() + "/list.txt",
                         "Record has been exported successfully.|" + chosen}));
  EXPECT_TRUE(platform_.messages.isEmpty());
  EXPECT_TRUE(platform_.questions.isEmpty());

  // A changed extension that meets an existing file asks first; "No" leaves it.
  Write_File(out.path() + "/other.txt", "keep\n");
  platform_.save_answers = {out.path() + "/other.xlsx"};
  platform_.save_type_answers = {1};
  platform_.yes_no_answers = {false};
  manager_->Export_Value_Btn_Clicked();
  EXPECT_EQ(platform_.questions,
            QStringList{"The file already exists. Do you want to replace it?"});
  EXPECT_EQ(Read_File(out.path() + "/other.txt"), QByteArray("keep\n"));
  EXPECT_EQ(result_boxes.size(), 2);

  // Cancel in the panel exports nothing.
  manager_->Export_Value_Btn_Clicked();
  EXPECT_EQ(result_boxes.size(), 2);
}

TEST_F(SeriesManager, AnImpossibleExportShowsNoResultBox) {
  manager_->AddNew_Btn_Clicked();
  manager_->ListData_value->setValues({"a"});
  QTemporaryDir out;
  Write_File(out.path() + "/plain", "file\n");
  for (int type : {0, 1}) {
    SCOPED_TRACE(type);
    platform_.messages.clear();
    platform_.save_answers = {out.path() + "/plain/inside.xlsx"};  // below a plain file
    platform_.save_type_answers = {type};
    manager_->Export_Value_Btn_Clicked();
    EXPECT_EQ(platform_.messages,
              QStringList{"\nError in file accessing.\ncreating the temporary file failed: " +
                          test_support::System_Error_Text(ENOTDIR)});
  }
  EXPECT_TRUE(result_boxes.isEmpty());
  EXPECT_EQ(Read_File(out.path() + "/plain"), QByteArray("file\n"));
}

// An export onto a disk that takes no more (files may not grow past a limit) says so with
// the reason, shows no result box, and leaves the file that was there.
TEST_F(SeriesManager, AnExportTheDiskRefusesSaysWhyAndKeepsTheOldFile) {
  const struct {
    const char* name;
    int type;  // 0 workbook, 1 text
    qint64 limit;
    int values;
  } cases[] = {
      {"small text, nothing reaches the disk", 1, 0, 3},
      {"small text, cut after 1 KB", 1, 1024, 600},
      {"large text, cut after 64 KB", 1, 64 * 1024, 60000},
      {"small workbook, nothing reaches the disk", 0, 0, 3},
      {"large workbook, cut after 64 KB", 0, 64 * 1024, 60000},
  };
  QTemporaryDir out;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QStringList values;
    for (int i = 0; i < c.values; ++i) values << QStringLiteral("Guest number %1").arg(i);
    manager_->AddNew_Btn_Clicked();
    manager_->ListData_value->setValues(values);
    const QString path = out.filePath(c.type == 0 ? "guests.xlsx" : "guests.txt");
    Write_File(path, "the old export");
    const test_support::Limited_Write child =
        test_support::Expect_Refused_Under_Limit(path, c.limit, [&](QString* shown) {
          platform_.messages.clear();
          result_boxes.clear();
          platform_.save_answers = {path};
          platform_.save_type_answers = {c.type};
          manager_->Export_Value_Btn_Clicked();
          *shown = (platform_.messages + result_boxes).join(u'|');
          return !result_boxes.isEmpty();
        });
    EXPECT_TRUE(child.reason.startsWith("\nError in file accessing.\n"))
        << child.reason.toStdString();
    // Without the limit the same export is written.
    platform_.save_answers = {path};
    platform_.save_type_answers = {c.type};
    manager_->Export_Value_Btn_Clicked();
    ASSERT_EQ(result_boxes.size(), 1);
    EXPECT_GT(QFileInfo(path).size(), c.limit);
    result_boxes.clear();
    manager_->Back_Btn_Clicked();
  }
}

TEST(SeriesExportPath, TheTypeDecidesTheExtension) {
  const struct {
    QString chosen;
    int type;
    QString path;
  } cases[] = {
      {"/d/list.xlsx", 0, "/d/list.xlsx"}, {"/d/list.xlsx", 1, "/d/list.txt"},
      {"/d/list", 0, "/d/list.xlsx"},      {"/d/list.tar.gz", 1, "/d/list.tar.txt"},
      {"/d.x/list", 1, "/d.x/list.txt"},  {"/d/list.txt", 7, "/d/list.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(Export_Path(c.chosen, c.type), c.path) << c.chosen;
}

// ---- The viewer --------------------------------------------------------------------------

class SeriesViewer : public Series_Dialog_Test {};

TEST_F(SeriesViewer, ShowsTheSeriesValuesAndTheirNumber) {
  const struct {
    const char* name;
    QByteArray bytes;  // "-" for no file
    QStringList values;
  } cases[] = {
      {"gaps", "a\n\nb", {"a", "b"}},
      {"empty", "", {}},
      {"missing", "-", {}},
      {"not utf8", "\xff\xfe\n", {}},
      {"windows lines", " x \r\ny\r\n", {"x", "y"}},
  };
  View_Data_Series* viewer = View_Data_Series::defaultInstance();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.bytes != "-") Write_File(series_file(c.name), c.bytes);
    platform_.on_run_modal = [&](QObject* window) {
      EXPECT_EQ(window, viewer);
      EXPECT_EQ(viewer->series_name->text(), c.name);
      EXPECT_EQ(viewer->ListData->values(), c.values);
      EXPECT_EQ(viewer->list_count->text(), QStringLiteral("Total Rows : %1").arg(c.values.size()));
      viewer->OK_Btn_Clicked();
      return -1;
    };
    View_Data_Series::View_Series(QStringLiteral(" %1\t").arg(c.name));
  }
  EXPECT_EQ(platform_.modal_runs.size(), std::size(cases));
  EXPECT_TRUE(platform_.messages.isEmpty());

  View_Data_Series::View_Series("  ");
  EXPECT_EQ(platform_.messages, QStringList{"\nPlease select the series."});
  EXPECT_EQ(platform_.modal_runs.size(), std::size(cases));
}

}  // namespace
