// The import wizard, the sheet and column picker (modes "D" and "E"), the spreadsheet columns
// import and the data table window, driven through their handlers with a scripted platform.

#include "series/Data_From_Excel.h"
#include "series/Import_Text.h"
#include "series/Sheet_Import.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Data_Table_Window.h"
#include "series/ui/Import_Excel.h"
#include "series/ui/Import_Excel_DataSheet.h"
#include "series/ui/Import_Wizard.h"
#include "series/ui/Series_List_Model.h"
#include "series/ui/Work_Progress.h"

#include "Series_Dialog_Fixture.h"
#include "Series_Test_Support.h"
#include "support/Memory_Limit.h"
#include "support/Watchdog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>
#include "support/Deadlock_Guard.h"

#include <sys/stat.h>

using namespace series_test;

namespace {

class Import_Dialogs : public Series_Dialog_Test {
 protected:
  void SetUp() override {
    Series_Dialog_Test::SetUp();
    ASSERT_TRUE(work_.isValid());
    Msg_Apply_All_Chk = false;
    Long_Question_Hook() = [this](const QString& title, const QString& text, bool show_apply) {
      long_questions << title + u'|' + text.section(u'\n', 0, 0) + (show_apply ? "|apply" : "");
      long_texts << text;
      const auto [answer, apply] = long_answers.empty() ? std::pair{0, false} : long_answers.front();
      if (!long_answers.empty()) long_answers.pop_front();
      if (answer == 1) Msg_Apply_All_Chk = apply;
      return answer;
    };
    BatchWizard::defaultInstance()->ListData_value->clear();
    BatchWizard::defaultInstance()->ListData->setValues({});
  }
  void TearDown() override {
    Long_Question_Hook() = nullptr;
    Series_Dialog_Test::TearDown();
  }
  QString at(const QString& name) const { return work_.filePath(name); }
  QByteArray series(const QString& name) const { return Read_File(series_file(name)); }
  // Runs the wizard with the flags; `drive` fills it and presses OK; answers the modal code
  // (-1 when it stayed open).
  int run_wizard(int required, int insert, const std::function<void(Import_Wizard*)>& drive) {
    Import_Wizard* wizard = Import_Wizard::defaultInstance();
    wizard->file_name_required = required;
    wizard->file_name_Insert = insert;
    platform_.on_run_modal = [&](QObject* shown) {
      if (shown != wizard) return 0;
      drive(wizard);
      return -1;
    };
    return wizard->Open_Wnd();
  }
  // A workbook of one sheet with these rows.
  QString workbook(const Sheet_Rows& rows) {
    const QString path = at(QStringLiteral("book%1.xlsx").arg(++books_));
    EXPECT_TRUE(SpreadsheetWriter::WriteWorkbook(path, rows, true));
    return path;
  }
  // Opens a picker on the path; `drive` ticks and presses OK. Answers the modal code.
  int run_picker(Sheet_Picker* picker, const QString& path,
                 const std::function<void(Sheet_Picker*)>& drive) {
    platform_.on_run_modal = [&](QObject* shown) {
      if (shown != picker) return 0;
      drive(picker);
      return -1;
    };
    return picker->Open_excel_Wnd(path);
  }
  static void tick(Sheet_Picker* picker, const QList<int>& rows) {
    for (int row : rows)
      picker->ListData_xl->setData(picker->ListData_xl->index(row, 0), Qt::Checked,
                                   Qt::CheckStateRole);
  }
  // Message boxes as the platform gets them.
  static QStringList said(const QStringList& texts) {
    QStringList shown;
    for (const QString& text : texts) shown << u'\n' + text;
    return shown;
  }
  static QStringList manager_values() { return BatchWizard::defaultInstance()->ListData_value->values(); }

  QTemporaryDir work_;
  int books_ = 0;
  QStringList long_questions;
  QStringList long_texts;
  std::deque<std::pair<int, bool>> long_answers;  // (answer, apply-to-all box)

  const Sheet_Rows people_{{"Name", "City", "", "Code"},
                           {"Ann", "Oslo", "x", "007"},
                           {"Bob", "", "y", " 008 "}};
};

TEST_F(Import_Dialogs, WizardWritesANamedSeriesFromEachSource) {
  Write_File(at("a.txt"), "a\n\n  b  \n");
  Write_File(at("v.csv"), "Name,City\r\n\"a, b\",\"two\r\nlines\"\r\n");
  Write_File(at("c.rtf"), "{\\rtf1\\ansi\\ansicpg1252 Stra\\uc0\\u223 e\\\ncaf\\'e9}");
  Write_File(at("pictures/B.png"), "x");
  Write_File(at("pictures/a.JPG"), "x");
  Write_File(at("pictures/notes.txt"), "x");
  struct Case {
    const char* series;
    int option;
    QString input;
    QByteArray written;
  };
  const Case cases[] = {
      {"Text", 1, at("a.txt"), "a\nb\n"},
      {"Csv", 1, at("v.csv"), "Name\nCity\na, b\ntwo lines\n"},
      {"Rich", 1, at("c.rtf"), "Stra\xC3\x9F" "e\ncaf\xC3\xA9\n"},
      {"Pasted", 2, "p \r\nq\n\n", "p \nq\n"},
      {"Pictures", 3, at("pictures"), (at("pictures/B.png") + '\n' + at("pictures/a.JPG") + '\n').toUtf8()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.series);
    const int code = run_wizard(1, 1, [&](Import_Wizard* wizard) {
      QLineEdit* names[] = {nullptr, wizard->Text_file_name, wizard->Manual_file_name,
                            wizard->Image_file_name};
      if (c.option == 1) wizard->Text_RD_Pressed();
      if (c.option == 2) wizard->Manual_RD_Pressed();
      if (c.option == 3) wizard->Image_RD_Pressed();
      EXPECT_EQ(names[c.option]->text(), "Untitled");
      names[c.option]->setText(QString::fromLatin1(c.series));
      if (c.option == 1) wizard->Text_path->setText(c.input);
      if (c.option == 2) wizard->ManualEdit->setPlainText(c.input);
      if (c.option == 3) wizard->Image_path->setText(c.input);
      wizard->OKPressed();
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(series(QString::fromLatin1(c.series)), c.written);
    EXPECT_TRUE(BatchWizard::defaultInstance()->ListData->values().contains(c.series));
  }
  EXPECT_EQ(platform_.messages, QStringList());
}

TEST_F(Import_Dialogs, BrowsingRunsTheImportAtOnce) {
  Write_File(at("v.csv"), "x,y\r1,2\r");
  platform_.open_answers = {{}, {at("v.csv")}};
  EXPECT_EQ(run_wizard(1, 0, [&](Import_Wizard* wizard) {
              wizard->Text_RD_Pressed();
              wizard->Text_file_name->setText("Browsed");
              wizard->Browse_Text_Pressed();  // cancelled: nothing happens
              EXPECT_FALSE(QFile::exists(series_file("Browsed")));
              wizard->Browse_Text_Pressed();
            }),
            1);
  EXPECT_EQ(series("Browsed"), "x\ny\n1\n2\n");
  ASSERT_EQ(platform_.open_requests.size(), 2);
  EXPECT_EQ(platform_.open_requests.at(1).extensions,
            (QStringList{"txt", "TXT", "rtf", "RTF", "csv", "CSV"}));
}

// The spreadsheet page hands over to the column picker; only an import that ran closes the
// wizard: Cancel in the picker, or a file it cannot read, comes back to the wizard's page.
TEST_F(Import_Dialogs, TheWizardStaysOpenUntilTheSpreadsheetIsImported) {
  const QString book = workbook(people_);
  Write_File(at("broken.xlsx"), "PK not really");
  Import_Wizard* wizard = Import_Wizard::defaultInstance();
  Import_Excel_DataSheet* columns = Import_Excel_DataSheet::defaultInstance();
  const struct {
    const char* what;
    QString path;
    bool pick;  // OK in the picker after ticking the first column; else Cancel
    int code;
    QStringList messages;
  } cases[] = {
      {"Cancel in the picker", book, false, -1, {}},
      {"a file that cannot be read", at("broken.xlsx"), false, -1,
       {With_Reason(Import_File_Corrupted, at("broken.xlsx") + ": failed to open zip file")}},
      {"OK in the picker", book, true, 1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    platform_.messages.clear();
    wizard->file_name_required = 1;
    wizard->file_name_Insert = 0;
    platform_.on_run_modal = [&](QObject* shown) {
      if (shown == columns) {
        if (!c.pick) {
          columns->CancelPressed();
          return 0;
        }
        tick(columns, {0});
        columns->OKPressed();
        return 1;
      }
      if (shown != wizard) return 0;
      wizard->Excel_RD_Pressed();
      wizard->Excel_path->setText(c.path);
      wizard->OKPressed();
      return -1;
    };
    EXPECT_EQ(wizard->Open_Wnd(), c.code);
    EXPECT_EQ(platform_.messages, said(c.messages));
  }
  EXPECT_EQ(series("Name"), "Ann\nBob\n");

  // The file panel offers what the readers take.
  platform_.open_answers = {{}};
  wizard->Browse_Excel_Pressed();
  ASSERT_FALSE(platform_.open_requests.isEmpty());
  EXPECT_EQ(platform_.open_requests.last().extensions,
            (QStringList{"xlsx", "XLSX", "ods", "ODS", "xml", "XML"}));
}

TEST_F(Import_Dialogs, WizardRefusalsLeaveItOpenAndTheSeriesAsItWas) {
  Write_File(series_file("Kept"), "old\n");
  Write_File(at("plain.rtf"), "not rich text\n");
  Write_File(at("latin1.txt"), "caf\xE9\n");
  Write_File(at("a.txt"), "new\n");
  bind("Kept");
  struct Case {
    const char* name;
    int option;
    QString input;
    bool answer_yes;
    QString message;
  };
  const Case cases[] = {
      {"no path", 1, "  ", false, Import_Invalid_Path},
      {"missing file", 1, at("missing.txt"), false, Import_Invalid_Path},
      {"not rich text", 1, at("plain.rtf"), false, Import_File_Corrupted},
      {"not UTF-8", 1, at("latin1.txt"), false,
       Import_File_Corrupted + "\n\n" + at("latin1.txt") +
           " is not encoded in UTF-8: it holds bytes that are no UTF-8 character."},
      {"in use", 1, at("a.txt"), false, Series_Update_In_Use},
      {"empty paste", 2, " \n ", false, Import_Paste_Empty},
      {"folder is a file", 3, at("a.txt"), false, Import_Invalid_Path},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform_.messages.clear();
    const int code = run_wizard(1, 0, [&](Import_Wizard* wizard) {
      if (c.option == 1) {
        wizard->Text_RD_Pressed();
        wizard->Text_file_name->setText(QString::fromLatin1(c.name) == QLatin1String("in use") ? "Kept" : "Other");
        wizard->Text_path->setText(c.input);
      } else if (c.option == 2) {
        wizard->Manual_RD_Pressed();
        wizard->ManualEdit->setPlainText(c.input);
      } else {
        wizard->Image_RD_Pressed();
        wizard->Image_path->setText(c.input);
      }
      wizard->OKPressed();
    });
    EXPECT_EQ(code, -1);
    EXPECT_EQ(platform_.messages, said({c.message}));
  }
  EXPECT_EQ(series("Kept"), "old\n");
  EXPECT_FALSE(QFile::exists(series_file("Other")));

  // "No" to the replace question keeps the existing series.
  front_.clear();
  platform_.yes_no_answers = {false};
  EXPECT_EQ(run_wizard(1, 0, [&](Import_Wizard* wizard) {
              wizard->Text_RD_Pressed();
              wizard->Text_file_name->setText("Kept");
              wizard->Text_path->setText(at("a.txt"));
              wizard->OKPressed();
            }),
            -1);
  EXPECT_EQ(platform_.questions, QStringList{Series_Replace_Question});
  EXPECT_EQ(series("Kept"), "old\n");
}

TEST_F(Import_Dialogs, TheEditorsImportFeedsItsValueList) {
  Write_File(at("a.csv"), "x,y\n1,2\n");
  BatchWizard* manager = BatchWizard::defaultInstance();
  Import_Wizard* wizard = Import_Wizard::defaultInstance();
  platform_.on_run_modal = [&](QObject* shown) {
    if (shown != wizard) return 0;
    EXPECT_EQ(wizard->file_name_required, 0);
    EXPECT_EQ(wizard->file_name_Insert, 1);
    EXPECT_FALSE(wizard->Text_file_name->isVisibleTo(wizard));
    wizard->Text_RD_Pressed();
    wizard->Text_path->setText(at("a.csv"));
    wizard->OKPressed();
    return -1;
  };
  manager->Import_Value_Btn_Clicked();
  EXPECT_EQ(manager_values(), (QStringList{"x", "y", "1", "2"}));
  EXPECT_TRUE(QDir(Data_Folder_Path).isEmpty());

  // From a workbook, the picker in mode "D": row by row, empty cells left out.
  const QString book = workbook(people_);
  manager->ListData_value->clear();
  Import_Excel* picker = Import_Excel::defaultInstance();
  platform_.on_run_modal = [&](QObject* shown) {
    if (shown == wizard) {
      wizard->Excel_path->setText(book);
      wizard->OKPressed();
      return -1;
    }
    EXPECT_EQ(shown, picker);
    EXPECT_EQ(picker->open_mode, "D");
    tick(picker, {0, 1});
    picker->OKPressed();
    return -1;
  };
  manager->Import_Value_Btn_Clicked();
  EXPECT_EQ(manager_values(), (QStringList{"Ann", "Oslo", "Bob"}));
}

TEST_F(Import_Dialogs, PickerModesDAndE) {
  const QString book = workbook(people_);
  Import_Excel* picker = Import_Excel::defaultInstance();
  struct Case {
    const char* name;
    QString mode;
    bool header_on;
    QList<int> ticked;
    QStringList values;           // mode "D": the manager's values
    QStringList titles;           // mode "E": the table's titles
    QList<QStringList> rows;      // mode "E": the table's rows, row number first
  };
  const Case cases[] = {
      {"D, header on", "D", true, {0, 1}, {"Ann", "Oslo", "Bob"}, {}, {}},
      {"D, header off", "D", false, {0, 3}, {"Name", "Code", "Ann", "007", "Bob", "008"}, {}, {}},
      {"E, header on", "E", true, {1, 3}, {}, {"Row No.", "City", "Code"},
       {{"1", "Oslo", "007"}, {"2", "", "008"}}},
      {"E, header off, the untitled column", "E", false, {2}, {}, {"Row No.", "Untitled Column 3"},
       {{"1", ""}, {"2", "x"}, {"3", "y"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BatchWizard::defaultInstance()->ListData_value->clear();
    picker->open_mode = c.mode;
    const int code = run_picker(picker, book, [&](Sheet_Picker* p) {
      EXPECT_TRUE(p->contains_header->isChecked());
      ASSERT_EQ(p->ListData_xl->count(), 4);
      EXPECT_EQ(p->ListData_xl->row(2).title, "Untitled Column 3");
      p->contains_header->setChecked(c.header_on);
      tick(p, c.ticked);
      p->OKPressed();
    });
    EXPECT_EQ(code, 1);
    if (c.mode == "D") {
      EXPECT_EQ(manager_values(), c.values);
      continue;
    }
    const Data_From_Excel* table = Data_From_Excel::defaultInstance();
    EXPECT_EQ(table->Column_Titles(), c.titles);
    QList<QStringList> rows;
    for (int r = 0; r < table->Row_Count(); ++r) {
      QStringList row;
      for (int column = 0; column < table->Column_Count(); ++column) row << table->Value(r, column);
      rows << row;
    }
    EXPECT_EQ(rows, c.rows);
  }

  // The window shows the counts, the row-number column included.
  Data_Table_Window* window = Data_Table_Window::defaultInstance();
  platform_.on_run_modal = [&](QObject* shown) {
    EXPECT_EQ(shown, window);
    EXPECT_EQ(window->rows_count->text(), "3");
    EXPECT_EQ(window->column_count->text(), "2");
    window->OK_Click();
    return -1;
  };
  EXPECT_EQ(window->Open_Wnd(), 1);

  // Refusals keep the dialog open; Cancel changes nothing.
  platform_.messages.clear();
  EXPECT_EQ(run_picker(picker, book, [&](Sheet_Picker* p) {
              p->OKPressed();
              tick(p, {0});
              p->Clear_All_Pressed();
              p->OKPressed();
              p->Select_ALL_Pressed();
              EXPECT_EQ(p->ListData_xl->Ticked(), (QList<int>{0, 1, 2, 3}));
              p->CancelPressed();
            }),
            0);
  EXPECT_EQ(platform_.messages, said({Picker_No_Selection, Picker_No_Selection}));
  EXPECT_EQ(Data_From_Excel::defaultInstance()->Row_Count(), 3);
}

TEST_F(Import_Dialogs, OneSeriesPerColumn) {
  const QString book = workbook(people_);
  Import_Excel_DataSheet* columns = Import_Excel_DataSheet::defaultInstance();
  columns->file_name_Insert = 0;
  const auto import = [&](const QList<int>& ticked, const std::function<void(Sheet_Picker*)>& edit = {}) {
    return run_picker(columns, book, [&](Sheet_Picker* p) {
      EXPECT_TRUE(columns->Each_col_RD->isChecked());
      tick(p, ticked);
      if (edit) edit(p);
      p->OKPressed();
    });
  };

  // Titles name the series; an edited name wins; empty cells are empty lines.
  EXPECT_EQ(import({0, 1, 3}, [](Sheet_Picker* p) {
              p->ListData_xl->setData(p->ListData_xl->index(3, 2), "Guests");
            }),
            1);
  EXPECT_EQ(series("Name"), "Ann\nBob\n");
  EXPECT_EQ(series("City"), "Oslo\n\n");
  EXPECT_EQ(series("Guests"), "007\n008\n");
  EXPECT_TRUE(long_questions.isEmpty());

  // Two columns given one series name, or a name that is not valid: nothing is written and
  // the picker stays open, saying which columns and what to do.
  const auto name_columns = [](const QString& first, const QString& second) {
    return [=](Sheet_Picker* p) {
      p->ListData_xl->setData(p->ListData_xl->index(0, 2), first);
      p->ListData_xl->setData(p->ListData_xl->index(1, 2), second);
    };
  };
  for (const auto& [first, second, said] :
       {std::tuple{QStringLiteral("Twice"), QStringLiteral("twice"), "more than one column:\nTwice"},
        std::tuple{QStringLiteral("Fine"), QStringLiteral(" / "), "no valid series name:\nColumn 2"}}) {
    platform_.messages.clear();
    EXPECT_EQ(import({0, 1}, name_columns(first, second)), -1);
    ASSERT_EQ(platform_.messages.size(), 1);
    EXPECT_TRUE(platform_.messages.first().contains("Nothing was imported")) << platform_.messages.first().toStdString();
    EXPECT_TRUE(platform_.messages.first().contains(QString::fromUtf8(said))) << platform_.messages.first().toStdString();
    EXPECT_FALSE(QFile::exists(series_file("Twice")));
    EXPECT_FALSE(QFile::exists(series_file("Fine")));
  }

  // Existing series: one question names them all and says what each answer does; Yes
  // replaces every one, No writes nothing and leaves the picker open.
  Write_File(series_file("Name"), "old\n");
  Write_File(series_file("City"), "old\n");
  long_answers = {{0, false}};
  EXPECT_EQ(import({0, 1}), -1);
  EXPECT_EQ(long_questions, QStringList{"Batch Processing Series already exists :|These series already exist:"});
  ASSERT_EQ(long_texts.size(), 1);
  EXPECT_TRUE(long_texts.first().contains("\nName, City\n"));
  EXPECT_TRUE(long_texts.first().contains("No imports nothing"));
  EXPECT_EQ(series("Name"), "old\n");
  EXPECT_EQ(series("City"), "old\n");
  long_answers = {{1, false}};
  EXPECT_EQ(import({0, 1}), 1);
  EXPECT_EQ(series("Name"), "Ann\nBob\n");
  EXPECT_EQ(series("City"), "Oslo\n\n");

  // A series in use: the import writes none of its columns (the free one neither), asks
  // nothing, and says which series are in use and what to do.
  Write_File(series_file("Name"), "old\n");
  Write_File(series_file("City"), "old\n");
  long_questions.clear();
  platform_.messages.clear();
  bind("Name");
  EXPECT_EQ(import({0, 1}), -1);
  EXPECT_TRUE(long_questions.isEmpty());
  EXPECT_EQ(series("Name"), "old\n");
  EXPECT_EQ(series("City"), "old\n");
  ASSERT_EQ(platform_.messages.size(), 1);
  const QString said = platform_.messages.first();
  EXPECT_TRUE(said.contains("Nothing was imported")) << said.toStdString();
  EXPECT_TRUE(said.contains("in use cannot be replaced:\nName\n")) << said.toStdString();
  EXPECT_TRUE(said.contains("other names in the Series Name column")) << said.toStdString();
  // Renamed, the column is imported.
  EXPECT_EQ(import({0, 1}, name_columns("Names 2", "City")), -1);  // City still exists: No
  long_answers = {{1, false}};
  EXPECT_EQ(import({0, 1}, name_columns("Names 2", "City")), 1);
  EXPECT_EQ(series("Names 2"), "Ann\nBob\n");
  EXPECT_EQ(series("Name"), "old\n");
}

// A write that fails puts back the series the import wrote before it.
TEST_F(Import_Dialogs, AFailedColumnWriteLeavesEverySeriesAsItWas) {
  const Sheet_Rows rows{{"A", "B", "C"}, {"a", "b", "c"}};
  Write_File(series_file("A"), "old a\n");
  QDir().mkpath(series_file("C"));  // a folder where the series file should be
  long_answers = {{1, false}};
  const Column_Import result = Write_Column_Series(rows, {{0, "A"}, {1, "B"}, {2, "C"}}, true);
  EXPECT_FALSE(result.written);
  EXPECT_TRUE(result.refusal.contains("The series C cannot")) << result.refusal.toStdString();
  EXPECT_EQ(series("A"), "old a\n");
  EXPECT_FALSE(QFile::exists(series_file("B")));
}

// The old series kept to be put back is read as every series file is: a FIFO in its place,
// once waited on for ever after the replace question, is refused at once.
TEST_F(Import_Dialogs, AFifoInASeriesPlaceIsRefusedNotWaitedOn) {
  const test_support::Watchdog watchdog("replacing a series that is a FIFO");
  ASSERT_EQ(::mkfifo(QFile::encodeName(series_file("A")).constData(), 0600), 0);
  long_answers = {{1, false}};
  const Column_Import result =
      Write_Column_Series({{"A", "B"}, {"a", "b"}}, {{1, "B"}, {0, "A"}}, true);
  EXPECT_FALSE(result.written);
  EXPECT_TRUE(result.refusal.contains("The series A cannot be read")) << result.refusal.toStdString();
  EXPECT_TRUE(result.refusal.contains("is not a regular file")) << result.refusal.toStdString();
  EXPECT_FALSE(QFile::exists(series_file("B")));  // what was written before it is taken back
}

// A column is imported only when a series file can hold it, counted before any value is
// made: a text that many rows share counts for every row, as the series holds it. A 53 KB
// workbook of 10,000 rows showing one 32,767-character shared string was once written as a
// 328 MB series (20 s, 533 MB) that then read as no values; an 896-byte .ods of 999,990
// repeated rows of that text took all memory. Both are refused at once, in little memory,
// with the reason, and nothing is written; the most values a series takes are imported.
TEST_F(Import_Dialogs, AColumnPastWhatASeriesHoldsIsRefused) {
  if (!test_support::kMemory_Limit_Works) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
  const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const QByteArray long_text(32767, 'w');
  QByteArray sheet = "<worksheet xmlns=\"" + main + "\"><sheetData>";
  for (int r = 1; r <= 10000; ++r)
    sheet += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r) +
             "\" t=\"s\"><v>0</v></c></row>";
  sheet += "</sheetData></worksheet>";
  Make_Zip(at("shared.xlsx"),
           {{"xl/worksheets/sheet1.xml", sheet},
            {"xl/sharedStrings.xml", "<sst xmlns=\"" + main + "\"><si><t>" + long_text + "</t></si></sst>"}});
  const auto ods = [](const QByteArray& text, qint64 repeat) {
    return std::vector<Raw_Entry>{
        {"content.xml",
         "<office:document-content><office:body><office:spreadsheet><table:table>"
         "<table:table-row table:number-rows-repeated=\"" + QByteArray::number(repeat) +
             "\"><table:table-cell><text:p>" + text + "</text:p></table:table-cell>"
             "</table:table-row></table:table></office:spreadsheet></office:body>"
             "</office:document-content>"}};
  };
  Make_Zip(at("repeated.ods"), ods(long_text + " ", 999990));  // trimmed, each a copy
  Make_Zip(at("most.ods"), ods("v", Import_Max_Values));
  Make_Zip(at("one more.ods"), ods("v", Import_Max_Values + 1));
  ASSERT_LT(QFileInfo(at("repeated.ods")).size(), 2000);
  const struct {
    const char* file;
    const char* answer;  // the refusal, or the size of the series written
  } cases[] = {
      {"shared.xlsx", "The series would be larger than 256 MB"},
      {"repeated.ods", "The series would be larger than 256 MB"},
      {"most.ods", "written 2000000 bytes"},
      {"one more.ods", "more than 1,000,000 values"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    QFile::remove(series_file("Col"));
    QFile::remove(series_file("One"));
    const QString answer = test_support::Run_With_Memory_Limit(qint64(256) << 20, [&] {
      if (!Open_Workbook(at(QString::fromUtf8(c.file))).error.isEmpty()) return QString("not read");
      Sheet_Titles(0);
      const Sheet_Rows rows = Sheet_Data_Rows();
      // One series per column, and all columns into one.
      const Column_Import column = Write_Column_Series(rows, {{0, "Col"}}, false);
      const Import_Values one = Row_Major_Values(rows, {0}, false);
      if (column.written != one.refusal.isEmpty()) return QString("the two ways differ");
      if (!column.written) {
        if (!column.refusal.contains(one.refusal)) return column.refusal;
        return one.refusal;
      }
      return QStringLiteral("written %1 bytes").arg(QFileInfo(series_file("Col")).size());
    });
    EXPECT_TRUE(answer.contains(QString::fromUtf8(c.answer))) << answer.toStdString();
    if (QString::fromUtf8(c.answer).startsWith("written")) continue;
    EXPECT_FALSE(QFile::exists(series_file("Col")));
  }
}

TEST_F(Import_Dialogs, AllColumnsIntoOneSeries) {
  const QString book = workbook({{"A", "B"}, {"a1", "b1"}, {"a2", ""}});
  Write_File(series_file("Old"), "x\n");
  Import_Excel_DataSheet* columns = Import_Excel_DataSheet::defaultInstance();
  const auto import = [&](int option, const QString& name) {
    return run_picker(columns, book, [&](Sheet_Picker*) {
      columns->Fill_Col_RD_Click();
      columns->Fill_Type_CellClick(option);
      if (option == 0) columns->list_name->setText(name);
      else columns->List_ComboBox->setCurrentText(name);
      tick(columns, {0, 1});
      columns->OKPressed();
    });
  };
  struct Case {
    const char* what;
    int option;
    QString name;
    std::deque<bool> yes_no;
    int code;
    QByteArray old_after;
    QStringList messages;
  };
  const Case cases[] = {
      {"new", 0, "New", {}, 1, "x\n", {}},
      {"new onto an existing one, No", 0, "Old", {false}, -1, "x\n", {}},
      {"append", 2, "Old", {}, 1, "x\na1\nb1\na2\n\n", {}},
      {"replace, no question", 1, "Old", {}, 1, "a1\nb1\na2\n\n", {}},
      {"no name", 0, " ", {}, -1, "a1\nb1\na2\n\n", {Series_Name_Missing}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform_.messages.clear();
    platform_.yes_no_answers = c.yes_no;
    EXPECT_EQ(import(c.option, c.name), c.code);
    EXPECT_EQ(series("Old"), c.old_after);
    EXPECT_EQ(platform_.messages, said(c.messages));
  }
  EXPECT_EQ(series("New"), "a1\nb1\na2\n\n");

  // Neither replaced nor appended to while a design uses it.
  bind("Old");
  for (int option : {1, 2}) {
    platform_.messages.clear();
    EXPECT_EQ(import(option, "Old"), -1);
    EXPECT_EQ(platform_.messages, said({Series_Update_In_Use}));
  }
  EXPECT_EQ(series("Old"), "a1\nb1\na2\n\n");

  // Reopened, the dialog is back at one series per column and a new series.
  EXPECT_EQ(run_picker(columns, book, [&](Sheet_Picker* p) {
              EXPECT_TRUE(columns->Each_col_RD->isChecked());
              EXPECT_FALSE(columns->fill_box->isEnabled());
              EXPECT_EQ(columns->fill_col_option, 0);
              EXPECT_TRUE(columns->list_name->text().isEmpty());
              EXPECT_EQ(columns->List_ComboBox->count(), 2);
              p->CancelPressed();
            }),
            0);
}

TEST_F(Import_Dialogs, ASheetWithoutDataRowsKeepsEverySeries) {
  const QString titles_only = workbook({{"A", "B"}});
  Write_File(series_file("A"), "kept\n");
  Import_Excel_DataSheet* columns = Import_Excel_DataSheet::defaultInstance();
  struct Case {
    const char* what;
    bool one_series;
    int option;
    QString message;
  };
  const Case cases[] = {
      {"one series per column", false, 0, Picker_No_Sheet_Data},
      {"all into one, replace", true, 1, Import_File_Corrupted},
      {"all into one, new", true, 0, Import_File_Corrupted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform_.messages.clear();
    EXPECT_EQ(run_picker(columns, titles_only, [&](Sheet_Picker* p) {
                if (c.one_series) {
                  columns->Fill_Col_RD_Click();
                  columns->Fill_Type_CellClick(c.option);
                  columns->list_name->setText("A");
                  columns->List_ComboBox->setCurrentText("A");
                }
                p->Select_ALL_Pressed();
                p->OKPressed();
              }),
              -1);  // the picker stays open for another sheet
    EXPECT_EQ(platform_.messages, said({c.message}));
    EXPECT_EQ(series("A"), "kept\n");
    EXPECT_FALSE(QFile::exists(series_file("B")));
  }
}

// The dialogs say the reader's reason below their message: which file, which part and why.
TEST_F(Import_Dialogs, AWorkbookThatCannotBeReadIsRefusedWithTheReason) {
  Write_File(at("fake.xlsx"), "PK not really");
  Write_File(at("text.xlsx"), "just text");
  Make_Zip(at("latin1.ods"),
           {{"content.xml",
             "<office:document-content><office:body><office:spreadsheet><table:table>"
             "<table:table-row><table:table-cell><text:p>caf\xE9</text:p></table:table-cell>"
             "</table:table-row></table:table></office:spreadsheet></office:body>"
             "</office:document-content>"}});
  Write_File(at("far.xml"), "<Workbook><Worksheet><Table><Row ss:Index=\"1048577\"><Cell>"
                            "<Data>x</Data></Cell></Row></Table></Worksheet></Workbook>");
  const struct {
    const char* name;
    QString reason;
  } cases[] = {
      {"fake.xlsx", at("fake.xlsx") + ": failed to open zip file"},
      {"text.xlsx", at("text.xlsx") + ": failed to open zip file"},
      {"latin1.ods", at("latin1.ods") + ", part content.xml: The document is not encoded in UTF-8"},
      {"far.xml", at("far.xml") + ": The sheet holds data past its last row, 1,048,576"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform_.messages.clear();
    platform_.modal_runs.clear();
    EXPECT_EQ(Import_Excel::defaultInstance()->Open_excel_Wnd(at(QString::fromLatin1(c.name))), 0);
    ASSERT_EQ(platform_.messages.size(), 1);
    EXPECT_TRUE(platform_.messages.first().startsWith(said({Import_File_Corrupted}).first() + "\n\n" +
                                                      c.reason))
        << platform_.messages.first().toStdString();
    EXPECT_TRUE(platform_.modal_runs.isEmpty());
  }

  // A sheet refused when its rows are read: the picker says why and stays open.
  const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  Make_Zip(at("late.xlsx"),
           {{"xl/worksheets/sheet1.xml",
             "<worksheet xmlns=\"" + main + "\"><sheetData><row><c r=\"A1\" t=\"inlineStr\"><is><t>T"
             "</t></is></c></row><row><c r=\"A2\" t=\"s\"><v>x</v></c></row></sheetData></worksheet>"}});
  platform_.messages.clear();
  Import_Excel_DataSheet* columns = Import_Excel_DataSheet::defaultInstance();
  EXPECT_EQ(run_picker(columns, at("late.xlsx"), [&](Sheet_Picker* p) {
              tick(p, {0});
              p->OKPressed();
            }),
            -1);
  ASSERT_EQ(platform_.messages.size(), 1);
  EXPECT_TRUE(platform_.messages.first().contains(Picker_No_Sheet_Data + "\n\n"));
  EXPECT_TRUE(platform_.messages.first().contains("names no shared string"))
      << platform_.messages.first().toStdString();

  // A sheet whose titles cannot be read says why as it is shown; the picker stays.
  Make_Zip(at("latin1.xlsx"),
           {{"xl/worksheets/sheet1.xml",
             "<worksheet xmlns=\"" + main + "\"><sheetData><row><c r=\"A1\" t=\"inlineStr\"><is>"
             "<t>caf\xE9</t></is></c></row></sheetData></worksheet>"}});
  platform_.messages.clear();
  EXPECT_EQ(run_picker(columns, at("latin1.xlsx"), [&](Sheet_Picker* p) { p->CancelPressed(); }), 0);
  EXPECT_EQ(platform_.messages,
            said({With_Reason(Picker_No_Sheet_Data,
                              at("latin1.xlsx") + ", part xl/worksheets/sheet1.xml: The document "
                                                  "is not encoded in UTF-8: the bytes at offset "
                                                  "127 are no UTF-8 character.")}));
}

}  // namespace

namespace {

// Long reads run on a worker; the GUI thread keeps serving its events, and a progress sheet
// shows only once the read takes longer than a moment. The long read lasts until the sheet
// shows and an event posted to the GUI thread meanwhile has been handled.
TEST(Work_Progress, LongReadsRunOffTheGuiThreadBehindASheet) {
  const Qt::HANDLE gui = QThread::currentThreadId();
  // A read that ends at once shows nothing.
  bool quick_saw_sheet = true;
  EXPECT_EQ(Run_With_Progress<QString>(nullptr, QStringLiteral("Reading…"),
                                       [&] {
                                         EXPECT_NE(QThread::currentThreadId(), gui);
                                         quick_saw_sheet = Progress_Sheet_Showing();
                                         return QStringLiteral("read");
                                       }),
            QString("read"));
  EXPECT_FALSE(quick_saw_sheet);
  EXPECT_FALSE(Progress_Sheet_Showing());

  // A long read: the sheet shows while it runs, and the GUI thread handles its events.
  QObject gui_side;
  std::atomic<bool> sheet_seen{false}, event_handled{false};
  const QString result = Run_With_Progress<QString>(nullptr, QStringLiteral("Reading…"), [&] {
    EXPECT_NE(QThread::currentThreadId(), gui);
    const auto deadline = std::chrono::steady_clock::now() + test_support::kDeadlock_Guard;
    while (!Progress_Sheet_Showing() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sheet_seen = Progress_Sheet_Showing();
    QMetaObject::invokeMethod(&gui_side, [&] { event_handled = true; }, Qt::QueuedConnection);
    while (!event_handled && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return QStringLiteral("read");
  });
  EXPECT_EQ(result, QString("read"));
  EXPECT_TRUE(sheet_seen.load()) << "no progress sheet showed";
  EXPECT_TRUE(event_handled.load()) << "the GUI thread handled no event while the sheet showed";
  EXPECT_FALSE(Progress_Sheet_Showing());
  // What the work throws reaches the caller.
  EXPECT_THROW(Run_With_Progress(nullptr, QStringLiteral("Reading…"),
                                 [] { throw Spreadsheet_Error(QStringLiteral("bad")); }),
               Spreadsheet_Error);
}

}  // namespace
