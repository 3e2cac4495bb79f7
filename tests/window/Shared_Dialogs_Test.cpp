// The long message dialog in its help and question forms, and the grid settings dialog.

#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"
#include "window/ui/Grid_Wizard.h"
#include "window/ui/Long_SMS_Dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class Long_Message : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    dialog = Long_SMS_Dlg::defaultInstance();
    dialog->title_val = QString();
    dialog->msg_val_str.clear();
    dialog->apply_chk_show = false;
    dialog->apply_chk->setChecked(false);
  }
  // Opens the dialog; while it runs, records what it shows, sets the box and clicks.
  int open(bool tick, QPushButton* Long_SMS_Dlg::*button) {
    platform.on_run_modal = [&](QObject*) {
      shown_title = dialog->_Msg_Title->text();
      shown_text = dialog->_Msg_Val->toPlainText();
      second_button_shown = !dialog->no_button->isHidden();
      box_shown = !dialog->apply_chk->isHidden();
      dialog->apply_chk->setChecked(tick);
      (dialog->*button)->click();
      return -1;
    };
    return dialog->Open_Long_sms_Dialog();
  }

  platform::Scoped_Scripted_Platform platform;
  Long_SMS_Dlg* dialog = nullptr;
  QString shown_title, shown_text;
  bool second_button_shown = false, box_shown = false;
};

TEST_F(Long_Message, HelpTextHasOneButtonAndStillRecordsTheBox) {
  Cutom_Msg_Title = QStringLiteral("Batch Processing Settings Help :");
  Cutom_Msg_Val = QStringLiteral("Bind a text to a series.\nEach record makes one card.");
  EXPECT_EQ(open(true, &Long_SMS_Dlg::yes_button), 1);
  EXPECT_EQ(shown_title, Cutom_Msg_Title);
  EXPECT_EQ(shown_text, Cutom_Msg_Val);
  EXPECT_FALSE(second_button_shown);
  EXPECT_FALSE(box_shown);
  EXPECT_TRUE(Msg_Apply_All_Chk);  // taken from the hidden box
  EXPECT_TRUE(dialog->isHidden());
}

TEST_F(Long_Message, QuestionsAnswerAndKeepTheApplyToAllChoice) {
  dialog->title_val = QStringLiteral("Series exists");
  dialog->msg_val_str = QStringLiteral("Replace the series \"Names\"?");

  // Without the box: the second button answers 0.
  dialog->apply_chk_show = false;
  EXPECT_EQ(open(false, &Long_SMS_Dlg::no_button), 0);
  EXPECT_EQ(shown_title, QStringLiteral("Series exists"));
  EXPECT_EQ(shown_text, QStringLiteral("Replace the series \"Names\"?"));
  EXPECT_TRUE(second_button_shown);
  EXPECT_FALSE(box_shown);
  EXPECT_FALSE(Msg_Apply_All_Chk);

  // With the box ticked: the first button answers 1 and records it.
  dialog->apply_chk_show = true;
  EXPECT_EQ(open(true, &Long_SMS_Dlg::yes_button), 1);
  EXPECT_TRUE(box_shown);
  EXPECT_TRUE(Msg_Apply_All_Chk);

  // A later question answered with the second button leaves the choice as it was, and
  // the dialog stays a question until a caller clears the title.
  EXPECT_EQ(open(false, &Long_SMS_Dlg::no_button), 0);
  EXPECT_TRUE(Msg_Apply_All_Chk);
  EXPECT_TRUE(second_button_shown);

  // Closing the window answers like the second button.
  platform.on_run_modal = [&](QObject*) {
    dialog->reject();
    return -1;
  };
  EXPECT_EQ(dialog->Open_Long_sms_Dialog(), 0);
}

TEST(Grid_Settings, ButtonsEndTheRunWithTheirCodesAndTheDialogHides) {
  platform::Scoped_Scripted_Platform platform;
  Grid_Wizard* dialog = Grid_Wizard::defaultInstance();
  EXPECT_EQ(dialog, Grid_Wizard::defaultInstance());
  ASSERT_NE(dialog->Grid_Controls, nullptr);

  platform.on_run_modal = [&](QObject*) {
    dialog->OK_Btn_Clicked();
    return -1;
  };
  dialog->Open_Wnd();
  ASSERT_EQ(platform.modal_runs.size(), 1);
  EXPECT_EQ(platform.modal_runs[0], dialog);
  EXPECT_TRUE(dialog->isHidden());

  struct Case {
    void (Grid_Wizard::*press)();
    int code;
  };
  for (const Case& c :
       {Case{&Grid_Wizard::OK_Btn_Clicked, 1}, Case{&Grid_Wizard::Cancel_Btn_Clicked, 0}}) {
    platform.on_run_modal = [&](QObject*) {
      (dialog->*c.press)();
      return -1;
    };
    EXPECT_EQ(platform::Run_Modal(dialog), c.code);
  }
}

}  // namespace
