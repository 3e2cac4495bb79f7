// The template files, the template library and the template-name window, in a private
// resource folder with a scripted desktop.

#include "library/Templates.h"
#include "library/ui/Template_Wizard.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/File_Size_Limit.h"
#include "support/Test_Support.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace {

using test_support::Design_Test;

class Templates_Test : public Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    // Start from empty folders: no shipped templates.
    QDir(Templates_Folder()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(User_Templates_Folder()));
    library = Template_Wizard::defaultInstance();
    library->hooks = {};
  }
  static void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path;
    f.write(bytes);
  }
  static QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // A template of preview and design file in a folder.
  QString make(const QString& folder, const QString& name, const QString& ext = "png") {
    const QString preview = folder + "/" + name + "." + ext;
    write(preview, "preview of " + name.toUtf8());
    write(folder + "/" + name + ".dcard", "design of " + name.toUtf8());
    return preview;
  }
  QStringList names(const QString& folder) const {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  }
  QStringList identities() const {
    QStringList ids;
    for (const MyImageObject& item : library->images->images()) ids << item.imageUID();
    return ids;
  }
  // Runs the library; the handler acts while it is open.
  int run(const std::function<void()>& while_open) {
    platform.on_run_modal = [&](QObject* window) {
      if (window == library) while_open();
      return 0;
    };
    return library->Open_Template_Window();
  }
  void show_user_templates() { library->cat_cmbo_bx->setCurrentIndex(1); }

  platform::Scoped_Scripted_Platform platform;
  Template_Wizard* library = nullptr;
};

TEST_F(Templates_Test, ListingTakesPngAndJpgInAnyCaseSortedByName) {
  const QString folder = Templates_Folder();
  for (const char* name : {"Flower.JPG", "Flower.jpeg", "b.png", "a.jpg", "c.gif", "d.dcard"})
    write(folder + "/" + name, "x");
  ASSERT_TRUE(QDir().mkpath(folder + "/folder.png"));
  QStringList listed;
  for (const QString& path : List_Template_Previews(folder)) listed << QFileInfo(path).fileName();
  EXPECT_EQ(listed, QStringList({"Flower.JPG", "a.jpg", "b.png"}));
  EXPECT_TRUE(List_Template_Previews(folder + "/missing").isEmpty());
  EXPECT_TRUE(List_Template_Previews(folder + "/b.png").isEmpty());
}

TEST_F(Templates_Test, CopyNamesCountFromTheGivenName) {
  const QString card = make(User_Templates_Folder(), "Card");
  for (const char* expected : {"Card (copy 1)", "Card (copy 2)"}) {
    const QString copy = Create_New_File_Path(card);
    EXPECT_EQ(QFileInfo(copy).fileName(), QString(expected) + ".png");
    ASSERT_TRUE(Copy_Template(card, copy).ok);
    EXPECT_EQ(read(Template_Design_Path(copy)), "design of Card");
  }
  const QString first = User_Templates_Folder() + "/Card (copy 1).png";
  EXPECT_EQ(QFileInfo(Create_New_File_Path(first)).fileName(), "Card (copy 1) (copy 1).png");
}

TEST_F(Templates_Test, TemplateNamesAreCheckedAgainstTheUserFolder) {
  make(User_Templates_Folder(), "Party");
  make(User_Templates_Folder(), "Wedding");
  using V = Template_Name_Check::Verdict;
  const QString enter = "Please enter template name.";
  const QString replace =
      "Template with this name already exists, Do you want to replace the existing template?";
  const QString taken = "Template with this name already exists.";
  struct Case {
    const char* typed;
    const char* current;
    V verdict;
    QString message;
    const char* accepted;
  };
  const Case cases[] = {
      {"  Birthday  ", "", V::Accept, {}, "Birthday"},
      {"*?Birthday<>", "", V::Accept, {}, "Birthday"},   // reserved characters at the ends
      {"  \"*?| ", "", V::Refuse, enter, ""},            // nothing left
      {"", "", V::Refuse, enter, ""},
      {"../../outside", "", V::Refuse, enter, ""},        // never leaves the user folder
      {"a/b", "", V::Refuse, enter, ""},
      {"..", "", V::Refuse, enter, ""},
      {".", "", V::Refuse, enter, ""},
      {"Party", "", V::Ask_Replace, replace, "Party"},     // new template over an old one
      {"Party", "Party", V::Accept, {}, "Party"},          // rename to its own name
      {"Wedding", "Party", V::Refuse, taken, ""},          // rename onto another
      {"party", "Party", V::Accept, {}, "party"},          // names compare case-sensitively
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const Template_Name_Check check = Check_Template_Name(
        QString::fromUtf8(c.typed), QString::fromUtf8(c.current), User_Templates_Folder());
    EXPECT_EQ(check.verdict, c.verdict);
    EXPECT_EQ(check.message, c.message);
    if (c.verdict != V::Refuse) EXPECT_EQ(check.accepted_name, c.accepted);
  }
}

TEST_F(Templates_Test, NameWindowStaysOpenOnRefusalAndAsksBeforeReplacing) {
  make(User_Templates_Folder(), "Party");
  Export_Template window;
  std::vector<std::function<void()>> steps;
  platform.on_run_modal = [&](QObject*) {
    for (auto& step : steps) step();
    return 0;
  };
  export_template_name = "before";
  steps = {[&] { window.OKPressed(); }};  // empty name: refused, no answer
  EXPECT_EQ(window.Ask_Name("", ""), 0);
  EXPECT_EQ(platform.messages, QStringList({"\nPlease enter template name."}));
  EXPECT_EQ(export_template_name, "before");

  platform.yes_no_answers = {false, true};
  steps = {[&] { window.OKPressed(); }, [&] { window.OKPressed(); }};
  EXPECT_EQ(window.Ask_Name("Party", ""), 1);
  EXPECT_EQ(platform.questions.size(), 2);
  EXPECT_EQ(export_template_name, "Party");

  steps = {[&] { window.CancelPressed(); }};
  EXPECT_EQ(window.Ask_Name("Other", ""), 0);
  EXPECT_TRUE(window.template_name->text().isEmpty());
}

TEST_F(Templates_Test, EmptyFoldersLeaveNothingSelected) {
  make(Templates_Folder(), "BuiltIn");
  run([&] {
    EXPECT_EQ(library->images->numberOfItemsInImageBrowser(), 1);
    EXPECT_TRUE(Selected_Template_Path.endsWith("/BuiltIn.png"));
    EXPECT_TRUE(library->Delete_temp_btn->isHidden());
    show_user_templates();
    EXPECT_FALSE(library->Delete_temp_btn->isHidden());
    EXPECT_EQ(library->images->numberOfItemsInImageBrowser(), 0);
    EXPECT_TRUE(Selected_Template_Path.isEmpty());
    library->Delete_Template_Click();
    library->Copy_Templatee_Click();
    library->Rename_Template_Click();
    library->OK_Click();
  });
  EXPECT_EQ(platform.messages, QStringList(4, "\nPlease select template."));
  EXPECT_TRUE(platform.questions.isEmpty());
  EXPECT_EQ(names(Templates_Folder()), QStringList({"BuiltIn.dcard", "BuiltIn.png", "User"}));
}

TEST_F(Templates_Test, UserTemplatesGetNewIdentitiesOnEveryListing) {
  make(User_Templates_Folder(), "A");
  make(User_Templates_Folder(), "B");
  run([&] {
    const std::uint64_t first = User_Defined_File;
    show_user_templates();
    library->Fill_Templates_User_Defined();
    EXPECT_EQ(identities(), QStringList({QString("TEMP%1.png").arg(first + 2),
                                         QString("TEMP%1.png").arg(first + 3)}));
    library->Fill_Templates();
    library->Fill_Templates_User_Defined();
    EXPECT_EQ(identities().first(), QString("TEMP%1.png").arg(first + 4));
  });
}

TEST_F(Templates_Test, OkAnswersTheDesignPathAndCancelClearsIt) {
  make(Templates_Folder(), "Flower", "JPG");
  QFile::remove(Templates_Folder() + "/Flower.dcard");  // answered even when missing
  Card_Shape = 2;
  EXPECT_EQ(run([&] { library->OK_Click(); }), 1);
  EXPECT_EQ(Selected_Template_Path, Templates_Folder() + "/Flower.dcard");
  EXPECT_EQ(Card_Shape, 0);
  Card_Shape = 2;
  EXPECT_EQ(run([&] { library->CancelClick(); }), 0);
  EXPECT_TRUE(Selected_Template_Path.isEmpty());
  EXPECT_EQ(Card_Shape, 0);
}

TEST_F(Templates_Test, CopyRenameAndDeleteFromTheLibrary) {
  make(User_Templates_Folder(), "Card");
  platform.default_yes_no = true;
  // Copy "Card"; the new listing selects its first item, "Card (copy 1)"; rename that to
  // "Invite" through the library's own name window; the listing then selects "Card",
  // which is deleted.
  platform.on_run_modal = [&](QObject* window) {
    if (window == library) {
      show_user_templates();
      library->Copy_Templatee_Click();
      EXPECT_TRUE(Selected_Template_Path.endsWith("/Card (copy 1).png"));
      library->Rename_Template_Click();
      EXPECT_TRUE(Selected_Template_Path.endsWith("/Card.png"));
      library->Delete_Template_Click();
    } else if (window == library->Export_Template_Window) {
      EXPECT_EQ(library->Export_Template_Window->template_passed->text(), "Card (copy 1)");
      library->Export_Template_Window->template_name->setText("Invite");
      library->Export_Template_Window->OKPressed();
    }
    return 0;
  };
  library->Open_Template_Window();
  EXPECT_EQ(names(User_Templates_Folder()), QStringList({"Invite.dcard", "Invite.png"}));
  EXPECT_EQ(read(User_Templates_Folder() + "/Invite.dcard"), "design of Card");
  EXPECT_EQ(platform.questions, QStringList({"Do you want to make copy of this template?",
                                             "Do you want to delete this template?"}));
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
}

TEST_F(Templates_Test, FailedCopiesKeepTheTemplateAndLeaveNothingHalfMade) {
  const QString card = make(User_Templates_Folder(), "Card", "jpg");
  // A folder in the way of the new design file: the rename fails, the old files stay.
  ASSERT_TRUE(QDir().mkpath(User_Templates_Folder() + "/Invite.dcard"));
  const Template_Result renamed = Rename_Template(card, "Invite");
  EXPECT_FALSE(renamed.ok);
  EXPECT_FALSE(renamed.reason.isEmpty());
  EXPECT_EQ(read(card), "preview of Card");
  EXPECT_EQ(read(User_Templates_Folder() + "/Card.dcard"), "design of Card");
  EXPECT_FALSE(QFileInfo::exists(User_Templates_Folder() + "/Invite.png"));

  // A copy whose design file is blocked removes the preview it made.
  ASSERT_TRUE(QDir().mkpath(User_Templates_Folder() + "/Y.dcard"));
  EXPECT_FALSE(Copy_Template(card, User_Templates_Folder() + "/Y.jpg").ok);
  EXPECT_FALSE(QFileInfo::exists(User_Templates_Folder() + "/Y.jpg"));

  // A jpg renamed becomes png with its content unchanged.
  ASSERT_TRUE(Rename_Template(card, "Party").ok);
  EXPECT_EQ(read(User_Templates_Folder() + "/Party.png"), "preview of Card");
  EXPECT_FALSE(QFileInfo::exists(card));
}

// A disk that takes no more (files may not grow past a limit): a copy or a rename says why
// and leaves the template's files as they were and no new file, half made or whole.
TEST_F(Templates_Test, ADiskThatTakesNoMoreLeavesTheTemplateAsItWas) {
  const QString folder = User_Templates_Folder();
  const struct {
    const char* name;
    qint64 limit;
    qsizetype design_size;
  } sizes[] = {
      {"small template, nothing reaches the disk", 0, 100},
      {"small template, cut after 1 KB", 1024, 8 * 1024},
      {"large template, cut after 64 KB", 64 * 1024, 2 * 1024 * 1024},
  };
  for (const auto& size : sizes) {
    for (const bool rename : {false, true}) {
      SCOPED_TRACE(std::string(size.name) + (rename ? ", rename" : ", copy"));
      QDir(folder).removeRecursively();
      ASSERT_TRUE(QDir().mkpath(folder));
      const QString card = folder + "/Card.png";
      write(card, "preview of Card");
      write(folder + "/Card.dcard", QByteArray(size.design_size, 'd'));
      const test_support::Limited_Write child =
          test_support::Expect_Refused_Under_Limit(card, size.limit, [&](QString* reason) {
            const Template_Result result =
                rename ? Rename_Template(card, "Party") : Copy_Template(card, folder + "/Copy.png");
            *reason = result.reason;
            return result.ok;
          });
      EXPECT_EQ(names(folder), QStringList({"Card.dcard", "Card.png"}));
      EXPECT_EQ(read(folder + "/Card.dcard"), QByteArray(size.design_size, 'd'));
    }
  }
}

}  // namespace
