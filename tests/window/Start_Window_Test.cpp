// The window's start road: the start screen through the scripted seam, the invitation's
// answers on the front side, the greeting picker from the text panel.

#include "Window_Fixture.h"

#include "library/ui/Insert_Template.h"
#include "library/ui/Invitation_Wizard.h"
#include "model/CRDText.h"
#include "model/Shared_Design_State.h"
#include "model/StyledText.h"
#include "model/Undo_Manager.h"
#include "window/ui/Text_Panel.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <stdexcept>

namespace {

class Start_Window : public test_support::Window_Fixture {
 protected:
  // The wizard, when run, finishes with these answers (the first background, New Year).
  void wizard_finishes(double width_mm, const QString& from, const QString& to) {
    platform.on_run_modal = [=](QObject* w) {
      auto* wizard = qobject_cast<Invitation_Wizard*>(w);
      if (!wizard) return 0;
      wizard->Using_Wizard_Click();
      wizard->width_Stepper->setValue(width_mm);
      wizard->height_Stepper->setValue(80);
      for (int page = 1; page <= 4; ++page) wizard->OK_Click();
      wizard->from_value->setText(from);
      wizard->to_value->setText(to);
      wizard->OK_Click();
      return -7;
    };
  }
  std::shared_ptr<CRDGraphic> front(const char* id) const {
    for (const auto& g : document.graphics())
      if (g->control_ID == QLatin1String(id)) return g;
    return nullptr;
  }
  static QString text_of(const std::shared_ptr<CRDGraphic>& g) {
    return g ? g->Text_contents()->string() : QString();
  }
};

TEST_F(Start_Window, TheWizardsAnswersReachTheFrontSide) {
  wizard_finishes(120, QStringLiteral(" Bob "), QStringLiteral("Ann"));
  window->Open_Start_Window();
  ASSERT_FALSE(platform.terminated.has_value());
  ASSERT_EQ(platform.modal_runs.size(), 1);

  // The card is 120 x 80 mm.
  EXPECT_NEAR(window->Front_Canvas_Bounds().width(), 340.157, 0.01);
  EXPECT_NEAR(window->Front_Canvas_Bounds().height(), 226.772, 0.01);
  EXPECT_EQ(window->width_Stepper->value(), 120.0);
  EXPECT_NEAR(window->Front_card_Prop.Card_Size.width(), 340.157, 0.01);

  const struct {
    const char* id;
    QPointF top_left;
    QString text;
  } expected[] = {
      {"PARTY_TITLE", {40, 40}, QStringLiteral("Happy New Year!!!")},
      {"PARTY_TO", {30, 90}, QStringLiteral("Dear Ann,")},
      {"PARTY_MSG", {50, 120}, Invite_Message},
      {"PARTY_FROM", {40, 250}, QStringLiteral("From:\nBob")},
  };
  ASSERT_EQ(document.graphics().size(), std::size(expected));
  for (const auto& e : expected) {
    SCOPED_TRACE(e.id);
    const auto g = front(e.id);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->className(), QStringLiteral("CRDText"));
    EXPECT_EQ(g->bounds().topLeft(), e.top_left);
    EXPECT_NEAR(g->bounds().width(), 340.157 - 80, 0.01);
    EXPECT_EQ(text_of(g), e.text);
  }
  EXPECT_TRUE(Invite_Message.startsWith(QStringLiteral("I whispered a prayer")));
  EXPECT_EQ(document.graphics().front()->control_ID, QStringLiteral("PARTY_FROM"));  // front-most
  // The background fills the front; none of it can be undone.
  EXPECT_TRUE(window->Front_card_Prop.Card_fill_chk);
  EXPECT_EQ(window->Front_card_Prop.Card_fill_style, QStringLiteral("I"));
  EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path,
            Resource_Path + QStringLiteral("/Background/Confetti.png"));
  EXPECT_FALSE(window->Front_card_Prop.Card_BG_Image.isNull());
  EXPECT_FALSE(document.undoManager()->canUndo());
  EXPECT_EQ(window->Selected_Control_Tool, 0);  // back to the arrow
}

TEST_F(Start_Window, AnyOtherAnswerEndsTheProgram) {
  const struct {
    const char* name;
    std::function<int(QObject*)> run;
    int status;
  } cases[] = {
      {"closed", [](QObject*) { return 0; }, 0},
      {"exit",
       [](QObject* w) {
         qobject_cast<Invitation_Wizard*>(w)->ExitClick();
         return -7;
       },
       0},
      {"open panel cancelled",
       [](QObject* w) {
         qobject_cast<Invitation_Wizard*>(w)->Open_Log_Click();
         return 0;
       },
       0},
      // A failure while the start screen runs is explained and ends with status 1.
      {"failed", [](QObject*) -> int { throw std::runtime_error("out of pictures"); }, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform.terminated.reset();
    platform.messages.clear();
    platform.on_run_modal = c.run;
    window->Open_Start_Window();
    EXPECT_EQ(platform.terminated, c.status);
    EXPECT_TRUE(document.graphics().empty());
    EXPECT_EQ(platform.messages.size(), c.status == 1 ? 1 : 0);
    if (c.status == 1) EXPECT_TRUE(platform.messages.value(0).contains(QStringLiteral("out of pictures")));
  }
}

TEST_F(Start_Window, ASavedDesignOpensAsItWasSaved) {
  // A design with the invitation, saved and then replaced by an empty one.
  wizard_finishes(120, QStringLiteral("Bob"), QStringLiteral("Ann"));
  window->Open_Start_Window();
  const QString file = scratch.filePath(QStringLiteral("party.dcard"));
  Project_File_Name = file;
  ASSERT_TRUE(window->Save_project_file(false, false));
  platform.on_run_modal = [](QObject*) { return 0; };
  window->New_Project();
  ASSERT_TRUE(document.graphics().empty());

  platform.terminated.reset();
  platform.open_answers = {QStringList{file}};
  platform.on_run_modal = [](QObject* w) {
    qobject_cast<Invitation_Wizard*>(w)->Open_Log_Click();
    return -7;
  };
  window->Open_Start_Window();
  EXPECT_FALSE(platform.terminated.has_value());
  EXPECT_EQ(Start_Card_Option, QStringLiteral("L"));
  EXPECT_EQ(Project_File_Name, file);
  ASSERT_EQ(platform.open_requests.size(), 1);
  EXPECT_TRUE(platform.open_requests[0].extensions.contains(QStringLiteral("dcard")));
  // Loaded as saved: the four texts once, nothing filled in again.
  EXPECT_EQ(document.graphics().size(), 4u);
  EXPECT_EQ(text_of(front("PARTY_TO")), QStringLiteral("Dear Ann,"));
}

TEST_F(Start_Window, NewProjectRunsTheStartScreenAgain) {
  wizard_finishes(100, QStringLiteral("Bob"), QString());
  window->New_btn->click();
  ASSERT_EQ(platform.modal_runs.size(), 1);
  EXPECT_EQ(platform.modal_runs[0], Invitation_Wizard::defaultInstance());
  EXPECT_NE(front("PARTY_FROM"), nullptr);
  EXPECT_EQ(front("PARTY_TO"), nullptr);
  EXPECT_FALSE(Not_Draw_Only_Prop_Change);
  // A second new design starts empty before the wizard fills it again.
  window->newDocumentWindow();
  EXPECT_EQ(document.graphics().size(), 6u);  // title, message and From twice
}

TEST_F(Start_Window, TheTemplateButtonOpensTheGreetingPicker) {
  wizard_finishes(120, QStringLiteral("Bob"), QStringLiteral("Ann"));
  window->Open_Start_Window();
  const auto title = front("PARTY_TITLE");
  ASSERT_NE(title, nullptr);
  window->_graphicView->changeSelectionIndexes({int(std::find(document.graphics().begin(),
                                                              document.graphics().end(), title) -
                                                    document.graphics().begin())});
  window->Show_RHS_Properties(title);
  QPushButton* button = window->text_panel->insert_template_btn;
  ASSERT_FALSE(button->isHidden());
  ASSERT_TRUE(button->isEnabled());
  EXPECT_EQ(button->text(), QStringLiteral("Use Template Title"));

  // Cancel changes nothing.
  platform.on_run_modal = [](QObject* w) {
    qobject_cast<Insert_Template*>(w)->CancelPressed();
    return -7;
  };
  button->click();
  EXPECT_EQ(text_of(title), QStringLiteral("Happy New Year!!!"));
  EXPECT_EQ(Insert_Template::defaultInstance()->title_or_msg, QStringLiteral("T"));

  // OK on the second title of the festival chosen in the wizard.
  platform.on_run_modal = [](QObject* w) {
    auto* picker = qobject_cast<Insert_Template*>(w);
    picker->Msg_Next_Click();
    picker->OKPressed();
    return -7;
  };
  button->click();
  const QString second = QStringLiteral("Cheers to a Fresh Start!");
  EXPECT_EQ(Template_Msg_Val, second);
  EXPECT_EQ(text_of(title), second);
  EXPECT_EQ(window->text_panel->Text_value_Edit->toPlainText(), second);
}

}  // namespace
