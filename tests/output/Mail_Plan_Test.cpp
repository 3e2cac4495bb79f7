// The plan of a mail run: the checks at Send, the steps of each mode, the delivery pauses
// and the pause label.

#include "output/Mail_Plan.h"
#include "support/Test_Support.h"

namespace {

TEST(Mail_Plan_Test, FormChecksInOrder) {
  const QString no_sender = Check_Mail_Form({}).message;
  EXPECT_TRUE(no_sender.startsWith(QStringLiteral("Please make sure that:\n1.Entered E-mail Settings")));
  struct Case {
    Mail_Form form;
    const char* message;
    QStringList recipients;
    QString picture;
  };
  const QString me = QStringLiteral(" Me@Example.org ");
  const Case cases[] = {
      {{me, QStringLiteral("  "), true, QStringLiteral("Card")},
       "Please specify the Recipient E-mail address.", {}, {}},
      {{me, QStringLiteral("A@b.cd, c@d.ef"), true, QStringLiteral("*Party?")}, "",
       {QStringLiteral("a@b.cd"), QStringLiteral(" c@d.ef")}, QStringLiteral("Party")},
      // Any piece that is no address refuses the run, not only the last one.
      {{me, QStringLiteral("a@b.cd, nobody, c@d.ef"), true, QStringLiteral("Card")},
       "Recipient E-mail address is invalid or incomplete.", {}, {}},
      {{me, QStringLiteral("a@b.cd,"), true, QStringLiteral("Card")},
       "Recipient E-mail address is invalid or incomplete.", {}, {}},
      {{me, QStringLiteral("a@b.cd"), true, QStringLiteral(" /?* ")}, "Please enter valid file name.",
       {}, {}},
      {{me, QStringLiteral("a@b.cd"), true, QStringLiteral("../x")}, "Please enter valid file name.",
       {}, {}},
      {{me, QStringLiteral("a@b.cd"), true, QStringLiteral("..")}, "Please enter valid file name.", {},
       {}},
      {{me, QStringLiteral("a@b.cd"), true, QStringLiteral("a\\b")}, "Please enter valid file name.",
       {}, {}},
      // No-card mode ignores the picture name.
      {{me, QStringLiteral("a@b.cd"), false, QStringLiteral("")}, "", {QStringLiteral("a@b.cd")},
       QStringLiteral("ZELKCard")},
  };
  for (const Case& c : cases) {
    const Mail_Form_Check check = Check_Mail_Form(c.form);
    EXPECT_EQ(check.message, QString::fromUtf8(c.message)) << c.form.to << " " << c.form.picture_name;
    if (check.message.isEmpty()) {
      EXPECT_EQ(check.sender, QStringLiteral("me@example.org"));
      EXPECT_EQ(check.recipients, c.recipients);
      EXPECT_EQ(check.picture_name, c.picture);
    }
  }
}

TEST(Mail_Plan_Test, ModesAndSteps) {
  Mail_Form form;
  form.card = false;
  EXPECT_EQ(Mail_Run_Mode(form), Mail_Mode::No_Card);
  form.card = true;
  EXPECT_EQ(Mail_Run_Mode(form), Mail_Mode::Card);
  form.batch = true;
  EXPECT_EQ(Mail_Run_Mode(form), Mail_Mode::All_To_Every);
  form.all_to_every = false;
  EXPECT_EQ(Mail_Run_Mode(form), Mail_Mode::One_Per_Recipient);
  EXPECT_EQ(Mail_Steps(Mail_Mode::All_To_Every, 2, 3), 3);
  EXPECT_EQ(Mail_Steps(Mail_Mode::One_Per_Recipient, 5, 2), 5);
  EXPECT_EQ(Mail_Steps(Mail_Mode::Card, 2, 0), 2);
}

TEST(Mail_Plan_Test, PausesFollowEveryNthSendingStepExceptTheLast) {
  struct Case {
    int every, pause_ms, steps;
    std::vector<int> waits;  // after each step
  };
  const Case cases[] = {
      {2, 10000, 5, {0, 9, 0, 9, 0}},
      {1, 1000, 3, {0, 0, 0}},  // 1 s: no wait at all
      {1, 0, 3, {0, 0, 0}},
      {3, 3723000, 6, {0, 0, 3722, 0, 0, 0}},  // none after the final step
      {1, 2000, 2, {1, 0}},
  };
  for (const Case& c : cases) {
    Pause_Plan plan(c.every, c.pause_ms);
    std::vector<int> waits;
    for (int k = 0; k < c.steps; ++k) waits.push_back(plan.Step_Done(k + 1 < c.steps));
    EXPECT_EQ(waits, c.waits) << c.every << " " << c.pause_ms;
  }
  Pause_Plan none;
  EXPECT_EQ(none.Step_Done(true), 0);
}

TEST(Mail_Plan_Test, PauseLabel) {
  const std::pair<int, const char*> cases[] = {
      {90000, "Pausing the process for 1 Minute 30 Seconds."},
      {3600000, "Pausing the process for 1 Hour 0 Minute 0 Second."},
      {10000, "Pausing the process for 10 Seconds."},
      {1000, "Pausing the process for 1 Second."},
      {7322999, "Pausing the process for 2 Hours 2 Minutes 2 Seconds."},
  };
  for (const auto& [ms, text] : cases) EXPECT_EQ(Calculate_Pause_Time(ms), QString::fromUtf8(text));
}

}  // namespace
