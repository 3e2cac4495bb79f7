// The greeting picker, driven through its handlers inside the scripted modal run.

#include "library/Greeting_Library.h"
#include "library/ui/Insert_Template.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class Insert_Template_Test : public test_support::Design_Test {
 protected:
  int open(const char* title_or_msg, const char* event, const std::function<void()>& drive) {
    picker->title_or_msg = QString::fromLatin1(title_or_msg);
    Event_Type = QString::fromLatin1(event);
    Template_Msg_Val = QStringLiteral("left over");
    platform.on_run_modal = [&](QObject* window) {
      EXPECT_EQ(window, picker);
      EXPECT_TRUE(Template_Msg_Val.isEmpty());  // empty while the picker is open
      drive();
      return -7;  // still open when nothing stopped it
    };
    return picker->Open_Template_Dialog();
  }
  QString shown() const { return picker->msg_value->toPlainText(); }

  platform::Scoped_Scripted_Platform platform;
  Insert_Template* picker = Insert_Template::defaultInstance();
};

TEST_F(Insert_Template_Test, StepsTitlesAndHandsBackTheChoice) {
  const int code = open("T", "1", [&] {
    EXPECT_EQ(shown(), QStringLiteral("Happy New Year!!!"));
    picker->Back_btn->click();  // wraps to the tenth and last title
    EXPECT_EQ(shown(), Greeting_Festival_For("1")->titles[9]);
    picker->OK_btn->click();
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Template_Msg_Val, Greeting_Festival_For("1")->titles[9]);
  // The next opening starts at entry 0 again.
  open("T", "1", [&] { EXPECT_EQ(shown(), QStringLiteral("Happy New Year!!!")); });
}

TEST_F(Insert_Template_Test, StepsMessagesAroundTheList) {
  open("M", "19", [&] {
    const QString first = shown();
    EXPECT_EQ(first, Greeting_Festival_For("19")->messages[0]);
    for (int i = 0; i < 15; ++i) picker->Next_btn->click();
    EXPECT_EQ(shown(), Greeting_Festival_For("19")->messages[15]);
    picker->Next_btn->click();
    EXPECT_EQ(shown(), first);
  });
}

TEST_F(Insert_Template_Test, TypedTextIsTrimmedAndBlankTextRefused) {
  const struct {
    const char* typed;
    int code;
    const char* chosen;
  } cases[] = {
      {"   \n\t ", -7, ""},  // refused, the picker stays open
      {"  Happy birthday, Ann!  \n", 1, "Happy birthday, Ann!"},
      {"", -7, ""},
  };
  for (const auto& c : cases) {
    platform.messages.clear();
    const int code = open("M", "1", [&] {
      picker->msg_value->setPlainText(QString::fromUtf8(c.typed));
      picker->OKPressed();
    });
    EXPECT_EQ(code, c.code) << c.typed;
    EXPECT_EQ(Template_Msg_Val, QString::fromUtf8(c.chosen));
    if (c.code != 1) {
      ASSERT_EQ(platform.messages.size(), 1);
      EXPECT_EQ(platform.messages[0].trimmed(), QStringLiteral("Please select message."));
    }
  }
  // Stepping replaces what was typed.
  open("T", "1", [&] {
    picker->msg_value->setPlainText(QStringLiteral("mine"));
    picker->Next_btn->click();
    EXPECT_EQ(shown(), Greeting_Festival_For("1")->titles[1]);
  });
}

TEST_F(Insert_Template_Test, CancelLeavesNothingChosen) {
  const int code = open("T", "3", [&] {
    EXPECT_EQ(shown(), QStringLiteral("A Day For Love!"));
    picker->Cancel_btn->click();
  });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(Template_Msg_Val.isEmpty());
  EXPECT_EQ(open("T", "3", [&] { picker->reject(); }), 0);  // Escape cancels too
}

}  // namespace
