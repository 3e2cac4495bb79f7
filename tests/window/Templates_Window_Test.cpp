// The design window's template, card wizard and support commands: Export as Template, New
// from Template, File > Card Wizard..., the review window on Exit and where each command
// is reached.

#include "Window_Fixture.h"

#include "library/Templates.h"
#include "library/ui/Card_Size_Chooser.h"
#include "library/ui/Card_Wizard.h"
#include "library/ui/Support_Windows.h"
#include "library/ui/Template_Wizard.h"
#include "model/Shared_Design_State.h"
#include "platform/Whole_File.h"
#include "window/ui/Card_Panel.h"
#include "support/File_Size_Limit.h"
#include "window/Design_File.h"

#include <QDir>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace {

using test_support::Window_Fixture;

class Templates_Window : public Window_Fixture {
 protected:
  void SetUp() override {
    Window_Fixture::SetUp();
    QDir(Templates_Folder()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(User_Templates_Folder()));
  }
  // Answers the template-name window with a name (nothing: Cancel), any other modal run
  // with 0.
  void name_answer(const QString& name) {
    platform.on_run_modal = [this, name](QObject* window) {
      auto* ask = qobject_cast<Export_Template*>(window);
      if (!ask) return 0;
      if (name.isEmpty()) {
        ask->CancelPressed();
      } else {
        ask->template_name->setText(name);
        ask->OKPressed();
      }
      return 0;
    };
  }
  QString user(const QString& file) const { return User_Templates_Folder() + "/" + file; }
};

TEST_F(Templates_Window, ExportAsTemplateWritesTheDesignAndACombinedPicture) {
  add_shape(CRDDocument::Side::Front, "R", QRectF(10, 10, 60, 40));
  add_shape(CRDDocument::Side::Back, "E", QRectF(20, 20, 40, 40));
  Project_File_Name = scratch.filePath("own.dcard");
  name_answer("Party");
  window->Export_Template_btn->click();
  EXPECT_EQ(platform.messages, QStringList({"\nTemplate exported successfully."}));
  EXPECT_EQ(Project_File_Name, scratch.filePath("own.dcard"));  // the design keeps its file
  const auto design = design_file::Read_Design_File(user("Party.dcard"));
  ASSERT_TRUE(design.has_value());
  const QImage preview(user("Party.png"));
  ASSERT_FALSE(preview.isNull());
  EXPECT_EQ(export_card_side.get(), "BOTH");
  // Both sides in one picture: two side pictures high.
  export_card_side.set("F");
  ASSERT_TRUE(window->Export_Single_File(scratch.filePath("front.png"), false));
  const QImage side(scratch.filePath("front.png"));
  EXPECT_EQ(preview.width(), side.width());
  EXPECT_NEAR(preview.height(), 2 * side.height(), 2);

  // Cancel writes nothing and deletes nothing.
  platform.messages.clear();
  name_answer(QString());
  window->Export_Template_menu_item->trigger();
  EXPECT_TRUE(platform.messages.isEmpty());
  EXPECT_EQ(QDir(User_Templates_Folder()).entryList(QDir::Files, QDir::Name),
            QStringList({"Party.dcard", "Party.png"}));
}

TEST_F(Templates_Window, AnExportThatCannotWriteItsPreviewDoesNotReportSuccess) {
  ASSERT_TRUE(QDir().mkpath(user("Blocked.png")));
  name_answer("Blocked");
  window->Export_As_Template_Clicked();
  ASSERT_FALSE(platform.messages.isEmpty());
  EXPECT_FALSE(platform.messages.contains("\nTemplate exported successfully."))
      << platform.messages;
  EXPECT_TRUE(platform.messages.last().contains("Template could not be exported"));
}

// Exporting over a template onto a disk that takes no more (files may not grow past a
// limit): no success is reported, the reason is shown, and the template stays as it was.
// Either file may be the one that fails: first the design, then (with room for the design
// only) the preview.
TEST_F(Templates_Window, AnExportOntoAFullDiskSaysWhyAndKeepsTheTemplate) {
  add_shape(CRDDocument::Side::Front, "R", QRectF(10, 10, 60, 40));
  name_answer("Party");
  window->Export_As_Template_Clicked();
  ASSERT_EQ(platform.messages, QStringList({"\nTemplate exported successfully."}));
  const qint64 design_size = QFileInfo(user("Party.dcard")).size();
  ASSERT_GT(QFileInfo(user("Party.png")).size(), design_size) << "the preview is the larger file";
  platform.default_yes_no = true;  // replace the template of that name
  const struct {
    const char* name;
    qint64 limit;
    const char* failing;
  } cases[] = {
      {"the design fails", 0, "Party.dcard"},
      {"the preview fails", design_size, "Party.png"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const test_support::Limited_Write child = test_support::Expect_Refused_Under_Limit(
        user(QString::fromLatin1(c.failing)), c.limit, [&](QString* shown) {
          platform.messages.clear();
          window->Export_As_Template_Clicked();
          *shown = platform.messages.join(u'|');
          return platform.messages.contains(QStringLiteral("\nTemplate exported successfully."));
        });
    EXPECT_TRUE(child.reason.contains(QStringLiteral("\nTemplate could not be exported: ")))
        << child.reason.toStdString();
    EXPECT_EQ(QDir(User_Templates_Folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({"Party.dcard", "Party.png"}));
  }
}

// The template folders are the program's own: links planted at the template's two names
// are replaced by the design and its picture, and a template folder that is a link is not
// written into; the files and folders the links named stay as they were.
TEST_F(Templates_Window, ExportAsTemplateFollowsNoLinkPlantedInTheTemplateFolders) {
  add_shape(CRDDocument::Side::Front, "R", QRectF(10, 10, 60, 40));
  QTemporaryDir elsewhere;
  auto outside = [&elsewhere](const char* name) { return elsewhere.filePath(name); };
  auto outside_files = [&elsewhere] {
    return QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                            QDir::Name);
  };
  for (const char* name : {"design.txt", "picture.txt"}) {
    QFile file(outside(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("someone else's file");
  }
  ASSERT_TRUE(QFile::link(outside("design.txt"), user("Party.dcard")));
  ASSERT_TRUE(QFile::link(outside("picture.txt"), user("Party.png")));
  platform.default_yes_no = true;  // replace the "template" of that name
  name_answer("Party");
  window->Export_As_Template_Clicked();
  EXPECT_EQ(platform.messages, QStringList({"\nTemplate exported successfully."}));
  for (const char* file : {"Party.dcard", "Party.png"})
    EXPECT_FALSE(QFileInfo(user(file)).isSymLink()) << file;
  EXPECT_TRUE(design_file::Read_Design_File(user("Party.dcard")).has_value());
  EXPECT_FALSE(QImage(user("Party.png")).isNull());
  for (const char* name : {"design.txt", "picture.txt"}) {
    QFile file(outside(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("someone else's file")) << name;
  }

  const QStringList before = outside_files();
  for (const QString& linked : {User_Templates_Folder(), Templates_Folder()}) {
    SCOPED_TRACE(linked.toStdString());
    ASSERT_TRUE(QDir(Templates_Folder()).removeRecursively());
    ASSERT_TRUE(QFile::remove(Templates_Folder()) || !QFileInfo(Templates_Folder()).isSymLink());
    if (linked == User_Templates_Folder()) ASSERT_TRUE(QDir().mkpath(Templates_Folder()));
    ASSERT_TRUE(QFile::link(elsewhere.path(), linked));
    platform.messages.clear();
    name_answer("Party");
    window->Export_As_Template_Clicked();
    EXPECT_EQ(platform.messages,
              QStringList({"\nTemplate could not be exported: " + Linked_Folder_Refusal(linked) +
                           "."}));
    EXPECT_EQ(outside_files(), before);
    ASSERT_TRUE(QFile::remove(linked));
  }
}

TEST_F(Templates_Window, NewFromTemplateLoadsTheChosenDesignUntitled) {
  // A user template made by the window itself, then chosen in the library.
  add_shape(CRDDocument::Side::Front, "R", QRectF(10, 10, 60, 40));
  name_answer("Mine");
  window->Export_As_Template_Clicked();
  QDir(Templates_Folder()).rename("User/Mine.dcard", "Mine.dcard");
  QDir(Templates_Folder()).rename("User/Mine.png", "Mine.png");
  Project_File_Name = scratch.filePath("own.dcard");

  platform.yes_no_answers = {false};  // do not save the current design
  platform.on_run_modal = [](QObject* window) {
    if (auto* library = qobject_cast<Template_Wizard*>(window)) library->OK_Click();
    return 0;
  };
  window->New_Template_menu_item->trigger();
  EXPECT_EQ(Selected_Template_Path, Templates_Folder() + "/Mine.dcard");
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(window->Get_Front_Controls_Array().size(), 1u);

  // Cancel in the library changes nothing and asks nothing.
  platform.questions.clear();
  platform.on_run_modal = [](QObject*) { return 0; };
  window->New_From_Template();
  EXPECT_TRUE(platform.questions.isEmpty());
  EXPECT_EQ(window->Get_Front_Controls_Array().size(), 1u);
}

TEST_F(Templates_Window, CardWizardResizesTheCanvases) {
  platform.on_run_modal = [](QObject* window) {
    if (auto* wizard = qobject_cast<Card_Wizard*>(window)) {
      wizard->chooser->width_Stepper->setValue(100);
      wizard->chooser->height_Stepper->setValue(50);
      wizard->OK_Click();
    }
    return 0;
  };
  window->Card_Wizard_menu_item->trigger();
  for (CRDGraphicView* canvas : {window->_graphicView, window->_graphicView_BACK}) {
    EXPECT_NEAR(canvas->frameSize().width(), 283.465, 0.01);
    EXPECT_NEAR(canvas->frameSize().height(), 141.732, 0.01);
  }
}

// What the wizard sets up is the card's: both sides' settings, the card panel and the saved
// design show its outline, category, orientation, preset and size.
TEST_F(Templates_Window, CardWizardSetsUpTheCardPanelAndTheFile) {
  const struct {
    const char* what;
    int category, orientation, row;  // row -1: a size typed in
    QSizeF typed_mm;
    int shape;  // -1: no click, the rectangle the wizard shows
    QSizeF card_mm;
    int panel_row;
    const char* code;
  } cases[] = {
      {"paper badge typed, rounded", 1, 0, -1, {150, 100}, 1, {150, 100}, -1, "RR"},
      {"pvc preset upright, ellipse", 0, 1, 2, {}, 2, {60.452, 91.948}, 2, "E"},
      {"first paper preset, no click", 1, 0, 0, {}, -1, {59.944, 40.132}, 0, "R"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Card_Shape = 1;
    platform.on_run_modal = [&c](QObject* window) {
      auto* wizard = qobject_cast<Card_Wizard*>(window);
      if (!wizard) return 0;
      Card_Size_Chooser* chooser = wizard->chooser;
      chooser->Category_ComboBox->setCurrentIndex(c.category);
      chooser->Preset_ComboBox->setCurrentIndex(c.orientation);
      chooser->Mark_List_New_Selection(c.row);
      if (c.row < 0) {
        chooser->width_Stepper->setValue(c.typed_mm.width());
        chooser->height_Stepper->setValue(c.typed_mm.height());
      }
      if (c.shape >= 0) wizard->matrix_card_shape->button(c.shape)->click();
      wizard->OK_Click();
      return 0;
    };
    window->Card_Wizard_menu_item->trigger();

    const auto check = [&](const char* when) {
      SCOPED_TRACE(when);
      EXPECT_EQ(Card_Shape, std::max(c.shape, 0));
      for (const Card_Property* side : {&window->Front_card_Prop, &window->Back_card_Prop}) {
        EXPECT_EQ(side->Card_Shape, QString::fromLatin1(c.code));
        EXPECT_EQ(side->Card_Category, window->Category_ComboBox->itemText(c.category));
        EXPECT_EQ(side->Card_Preset, window->Preset_ComboBox->itemText(c.orientation));
        EXPECT_EQ(side->Card_Cat_index, c.panel_row);
      }
      EXPECT_EQ(window->Category_ComboBox->currentIndex(), c.category);
      EXPECT_EQ(window->Preset_ComboBox->currentIndex(), c.orientation);
      EXPECT_NEAR(window->width_Stepper->value(), c.card_mm.width(), 0.01);
      EXPECT_NEAR(window->height_Stepper->value(), c.card_mm.height(), 0.01);
      const QModelIndexList rows = window->ColList->selectionModel()->selectedRows();
      EXPECT_EQ(rows.isEmpty() ? -1 : rows.first().row(), c.panel_row);
      EXPECT_TRUE(window->card_panel->card_shape_group->button(std::max(c.shape, 0))->isChecked());
    };
    check("after the wizard");

    // Saved and opened again, the card is the same.
    const QString file = scratch.filePath(QStringLiteral("wizard.dcard"));
    Project_File_Name = file;
    ASSERT_TRUE(window->Save_project_file(false, false));
    Card_Shape = 0;
    ASSERT_EQ(window->Read_and_load_design_Log(file, QStringLiteral("L")), 1);
    window->Show_RHS_Properties(nullptr);
    check("reopened");
  }
}

TEST_F(Templates_Window, ExitShowsTheReviewWindowBeforeEnding) {
  QStringList order;
  platform.yes_no_answers = {false};
  platform.on_run_modal = [&](QObject* window) {
    order << window->objectName();
    if (auto* review = qobject_cast<Review_Form*>(window)) review->OK_Clicked();
    return 0;
  };
  platform.open_url_result = true;
  window->Exit_App();
  EXPECT_EQ(order, QStringList({"Review_Window"}));
  EXPECT_EQ(platform.opened_urls.size(), 1);
  EXPECT_EQ(platform.terminated, 0);
}

TEST_F(Templates_Window, EveryWindowIsReachable) {
  QStringList runs;
  platform.on_run_modal = [&](QObject* window) {
    runs << window->objectName();
    return 0;
  };
  window->Help_btn->click();
  auto* help = window->menuBar()->findChild<QMenu*>("Help_menu");
  ASSERT_NE(help, nullptr);
  for (QAction* action : help->actions())
    if (action->text() == "Share..." || action->objectName() == "Promotion_item")
      action->trigger();
  window->Card_Wizard_menu_item->trigger();
  window->New_Template_menu_item->trigger();
  EXPECT_EQ(runs, QStringList({"HelpWindow", "Share_It_Dlg", "Promotion_Form", "Promotion_Form",
                               "Promotion_Form", "Card_Wizard", "Template_Wizard"}));
  // Share and the link items open their addresses.
  window->Share_btn->click();
  for (QAction* action : help->actions())
    if (action->objectName().endsWith("_Mail_item") || action->objectName().startsWith("Website"))
      action->trigger();
  EXPECT_EQ(platform.opened_urls.size(), 6);
}

TEST_F(Templates_Window, BothWizardsOpenTheGeneralProfileDialog) {
  QStringList runs;
  platform.on_run_modal = [&](QObject* window) {
    runs << window->objectName();
    if (auto* wizard = qobject_cast<Card_Wizard*>(window)) {
      EXPECT_FALSE(wizard->User_Profile_btn->isHidden());
      wizard->User_Profile_btn->click();
    } else if (auto* library = qobject_cast<Template_Wizard*>(window)) {
      EXPECT_FALSE(library->User_Profile_btn->isHidden());
      library->User_Profile_btn->click();
    }
    return 0;
  };
  window->Card_Wizard_menu_item->trigger();
  window->New_Template_menu_item->trigger();
  EXPECT_EQ(runs, QStringList({"Card_Wizard", "User_profile", "Template_Wizard", "User_profile"}));
}

// The built-in templates the build writes are seeded, listed and open as designs.
TEST_F(Window_Fixture, BuiltInTemplatesAreListedAndOpen) {
  QStringList listed;
  for (const QString& preview : List_Template_Previews(Templates_Folder()))
    listed << QFileInfo(preview).fileName();
  EXPECT_EQ(listed, QStringList({"Birthday.png", "Invitation.png", "Thank You.png"}));
  for (const QString& preview : List_Template_Previews(Templates_Folder())) {
    SCOPED_TRACE(preview.toStdString());
    EXPECT_EQ(window->Read_and_load_design_Log(Template_Design_Path(preview), "T"), 1);
    EXPECT_EQ(window->Get_Front_Controls_Array().size(), 4u);
    EXPECT_EQ(window->Get_Back_Controls_Array().size(), 2u);
  }
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
}

}  // namespace
