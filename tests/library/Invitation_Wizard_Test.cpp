// The start screen and the invitation wizard, driven through their handlers inside the
// scripted modal run.

#include "library/Greeting_Library.h"
#include "library/ui/Invitation_Wizard.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"

#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimeEdit>

namespace {

class Invitation_Wizard_Test : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    wizard = Invitation_Wizard::defaultInstance();
    wizard->hooks.Set_Card_Size = [this](QSizeF mm) { sizes.append(mm); };
    wizard->hooks.Open_Log_File = [this] { return open_answers.isEmpty() ? 0 : open_answers.takeFirst(); };
  }
  // Opens the wizard; drive() runs inside the modal run.
  int open(const std::function<void()>& drive) {
    platform.on_run_modal = [&](QObject* window) {
      EXPECT_EQ(window, wizard);
      drive();
      return -7;  // still running when nothing stopped it
    };
    return wizard->Open_Wnd();
  }
  QString background(const char* name) const {
    return Resource_Path + QStringLiteral("/Background/") + QString::fromLatin1(name);
  }
  void pick(int row) {
    wizard->imageBrowser->selectionModel()->select(wizard->images->index(row),
                                                   QItemSelectionModel::ClearAndSelect);
  }
  // Pages 0 -> 3 with the first background.
  void to_festival_page() {
    wizard->Using_Wizard_Click();
    wizard->OK_Click();
    wizard->OK_Click();
    ASSERT_EQ(wizard->next_counter, 3);
  }

  platform::Scoped_Scripted_Platform platform;
  Invitation_Wizard* wizard = nullptr;
  QList<QSizeF> sizes;
  QList<int> open_answers;
};

// Under the home folder the start screen writes the data folder from "~".
TEST_F(Invitation_Wizard_Test, TheStartScreenNamesTheDataFolderFromHome) {
  const QByteArray home = qgetenv("HOME");
  qputenv("HOME", QFileInfo(Resource_Path).path().toUtf8());
  open([&] {
    const QLabel* label = wizard->APP_path_label;
    EXPECT_EQ(
        label->text(),
        QStringLiteral("Your data series, templates and pictures are kept in ") +
            QDir::toNativeSeparators(QStringLiteral("~/") + QFileInfo(Resource_Path).fileName()));
    // On screen every word of it shows: the label is as tall as its lines need.
    wizard->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard));
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
              label->width() * (label->height() / label->fontMetrics().lineSpacing()));
    wizard->hide();
  });
  qputenv("HOME", home);
}

TEST_F(Invitation_Wizard_Test, WalksThePagesAndPublishesTrimmedAnswers) {
  Start_Card_Option = QStringLiteral("T");
  Event_Type = QStringLiteral("7");
  const int code = open([&] {
    // The start screen: its own buttons, no navigation; 120 x 120 mm; the resource folder.
    EXPECT_EQ(wizard->next_counter, 0);
    EXPECT_EQ(wizard->pages->currentWidget(), wizard->Start_card_box);
    EXPECT_TRUE(wizard->button_box->isHidden());
    EXPECT_FALSE(wizard->Exit_btn->isHidden());
    EXPECT_EQ(wizard->width_Stepper->value(), 120.0);
    EXPECT_EQ(wizard->height_Stepper->value(), 120.0);
    // The data folder in a sentence, with the home folder as "~", the whole path on hover.
    const QString said = wizard->APP_path_label->text();
    EXPECT_TRUE(
        said.startsWith(QStringLiteral("Your data series, templates and pictures are kept in ")))
        << said.toStdString();
    EXPECT_TRUE(said.endsWith(QDir::toNativeSeparators(QDir(Resource_Path).dirName())))
        << said.toStdString();
    EXPECT_NE(said, Resource_Path);
    EXPECT_EQ(wizard->APP_path_label->toolTip(), QDir::toNativeSeparators(Resource_Path));
    EXPECT_EQ(Event_Type, QStringLiteral("1"));
    EXPECT_EQ(wizard->Exit_btn->text(), QStringLiteral("E&xit"));  // Alt+X

    wizard->Using_Wizard_Click();
    EXPECT_EQ(Start_Card_Option, QStringLiteral("W"));
    EXPECT_EQ(wizard->pages->currentWidget(), wizard->first_box);
    EXPECT_TRUE(wizard->start_buttons->isHidden());
    EXPECT_FALSE(wizard->button_box->isHidden());
    wizard->width_Stepper->setValue(100.5);
    wizard->height_Stepper->setValue(70);

    // Page 2 opens with the first background (listings are sorted) selected.
    wizard->OK_Click();
    EXPECT_EQ(wizard->next_counter, 2);
    EXPECT_EQ(wizard->selected_image, background("Confetti.png"));
    EXPECT_TRUE(wizard->imageBrowser->selectionModel()->isRowSelected(0));
    // A pick only chooses; Next goes on to the festival page with it.
    pick(2);
    EXPECT_EQ(wizard->next_counter, 2);
    EXPECT_EQ(wizard->selected_image, background("Sunrise.png"));
    pick(3);
    EXPECT_EQ(wizard->next_counter, 2);
    EXPECT_EQ(wizard->selected_image, background("Waves.png"));
    wizard->OK_Click();
    EXPECT_EQ(wizard->next_counter, 3);
    EXPECT_EQ(wizard->selected_image, background("Waves.png"));
    // Back twice and Next: the first background is selected anew.
    wizard->Back_Click();
    wizard->Back_Click();
    EXPECT_EQ(wizard->next_counter, 1);
    wizard->OK_Click();
    EXPECT_EQ(wizard->next_counter, 2);
    EXPECT_EQ(wizard->selected_image, background("Confetti.png"));
    wizard->OK_Click();
    EXPECT_EQ(wizard->next_counter, 3);

    // Next without a festival button: New Year.
    wizard->OK_Click();
    EXPECT_EQ(wizard->next_counter, 4);
    EXPECT_EQ(wizard->msg_title->text(), QStringLiteral("Happy New Year!!!"));
    EXPECT_TRUE(wizard->msg_value->toPlainText().startsWith(QStringLiteral("I whispered a prayer")));
    // A festival button sets its code and moves on.
    wizard->Back_Click();
    auto* christmas = wizard->findChild<QPushButton*>(QStringLiteral("Chritsmas_Click"));
    ASSERT_NE(christmas, nullptr);
    christmas->click();
    EXPECT_EQ(Event_Type, QStringLiteral("19"));
    EXPECT_EQ(wizard->next_counter, 4);
    EXPECT_EQ(wizard->msg_title->text(), QStringLiteral("Happy Christmas!"));
    wizard->Msg_Back_Click();  // wraps to the last of 16 messages
    EXPECT_EQ(wizard->msg_value->toPlainText(), Greeting_Festival_For("19")->messages.last());
    wizard->Title_Next_Click();
    EXPECT_EQ(wizard->msg_title->text(), Greeting_Festival_For("19")->titles[1]);
    // Typed over: published as typed, trimmed.
    wizard->msg_title->setText(QStringLiteral("  Our Christmas Party \n"));

    wizard->OK_Click();
    EXPECT_EQ(wizard->next_counter, 5);
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             wizard->venue_value, wizard->Date_picker, wizard->Date_ctrl_value, wizard->Time_picker,
             wizard->Time_ctrl_value, wizard->venue_label, wizard->date_label, wizard->time_label})
      EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
    // Back and forward again: still hidden.
    wizard->Back_Click();
    wizard->OK_Click();
    EXPECT_TRUE(wizard->venue_value->isHidden());
    wizard->from_value->setText(QStringLiteral("  Bob and Carol  "));
    wizard->to_value->setText(QStringLiteral("Ann"));
    wizard->OK_Click();  // Finish
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Card_Shape, 0);
  ASSERT_EQ(sizes.size(), 1);
  EXPECT_EQ(sizes[0], QSizeF(100.5, 70));
  EXPECT_EQ(Invite_Title, QStringLiteral("Our Christmas Party"));
  EXPECT_EQ(Invite_Message, Greeting_Festival_For("19")->messages.last());
  EXPECT_EQ(Invite_From, QStringLiteral("Bob and Carol"));
  EXPECT_EQ(Invite_To, QStringLiteral("Ann"));
  EXPECT_TRUE(Invite_Venue.isEmpty());
  EXPECT_TRUE(Invite_Date.isEmpty());
  EXPECT_TRUE(Invite_Time.isEmpty());
  EXPECT_EQ(Invite_BG_IMG, background("Confetti.png"));
  EXPECT_EQ(Start_Card_Option, QStringLiteral("W"));
  EXPECT_EQ(Event_Type, QStringLiteral("19"));  // kept for the greeting picker
}

TEST_F(Invitation_Wizard_Test, RefusesAMissingBackground) {
  const int code = open([&] {
    wizard->Using_Wizard_Click();
    wizard->OK_Click();
    ASSERT_EQ(wizard->selected_image, background("Confetti.png"));
    ASSERT_TRUE(QFile::remove(wizard->selected_image));  // deleted after it was picked
    wizard->OK_Click();
    EXPECT_EQ(wizard->next_counter, 2);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].trimmed(), QStringLiteral("Please select background."));
  });
  EXPECT_EQ(code, -7);  // still open
  // Without any background the wizard cannot pass page 2.
  QDir(Resource_Path + QStringLiteral("/Background")).removeRecursively();
  platform.messages.clear();
  open([&] {
    wizard->Using_Wizard_Click();
    wizard->OK_Click();
    EXPECT_EQ(wizard->images->numberOfItemsInImageBrowser(), 0);
    EXPECT_TRUE(wizard->selected_image.isEmpty());
    wizard->OK_Click();
    EXPECT_EQ(wizard->next_counter, 2);
    EXPECT_EQ(platform.messages.size(), 1);
  });
}

TEST_F(Invitation_Wizard_Test, CutsLongTextsAtTheirLimits) {
  const QString pair = QString::fromUtf8("\xF0\x9F\x8E\x82");  // one character, two units
  open([&] {
    const struct {
      QLineEdit* field;
      QString typed;
      QString kept;
    } lines[] = {
        {wizard->from_value, QString(41, QLatin1Char('f')), QString(40, QLatin1Char('f'))},
        {wizard->to_value, QString(39, QLatin1Char('t')) + pair, QString(39, QLatin1Char('t'))},
        {wizard->to_value, QString(38, QLatin1Char('t')) + pair, QString(38, QLatin1Char('t')) + pair},
        {wizard->venue_value, QString(101, QLatin1Char('v')), QString(100, QLatin1Char('v'))},
        {wizard->msg_title, QString(101, QLatin1Char('h')), QString(100, QLatin1Char('h'))},
    };
    for (const auto& c : lines) {
      c.field->setText(c.typed);
      EXPECT_EQ(c.field->text(), c.kept) << c.field->objectName().toStdString();
    }
    EXPECT_TRUE(wizard->clear_details_btn->isEnabled());
    for (int length : {250, 251}) {
      wizard->msg_value->setPlainText(QString(length, QLatin1Char('m')));
      EXPECT_EQ(wizard->msg_value->toPlainText(), QString(250, QLatin1Char('m')));
    }
    // Clear asks first; No keeps the details.
    platform.yes_no_answers = {false, true};
    wizard->Clear_Details_Click();
    EXPECT_FALSE(wizard->from_value->text().isEmpty());
    wizard->Clear_Details_Click();
    EXPECT_EQ(platform.questions.value(0), QStringLiteral("Are you sure you want to clear details?"));
    EXPECT_TRUE(wizard->from_value->text().isEmpty());
    EXPECT_TRUE(wizard->to_value->text().isEmpty());
    EXPECT_TRUE(wizard->venue_value->text().isEmpty());
    EXPECT_FALSE(wizard->clear_details_btn->isEnabled());
  });
}

TEST_F(Invitation_Wizard_Test, DateAndTimeAreFormattedIntoTheirFields) {
  open([&] {
    wizard->Date_picker->setDate(QDate(2026, 5, 1));
    EXPECT_EQ(wizard->selected_date, QLocale().toString(QDate(2026, 5, 1), QLocale::LongFormat));
    EXPECT_EQ(wizard->Date_ctrl_value->text(), wizard->selected_date);
    wizard->Time_picker->setTime(QTime(19, 5));
    EXPECT_EQ(wizard->selected_time, QLocale().toString(QTime(19, 5), QStringLiteral("h:mm AP")));
    EXPECT_TRUE(wizard->selected_time.startsWith(QStringLiteral("7:05")));
    EXPECT_TRUE(wizard->clear_details_btn->isEnabled());
  });
}

TEST_F(Invitation_Wizard_Test, CancelEmptiesTheAnswersButKeepsTheSize) {
  open([&] {
    to_festival_page();
    wizard->OK_Click();
    wizard->OK_Click();
    wizard->from_value->setText(QStringLiteral("Bob"));
    wizard->width_Stepper->setValue(90);
    wizard->CancelClick();
    EXPECT_EQ(wizard->next_counter, 0);
    EXPECT_EQ(wizard->pages->currentWidget(), wizard->Start_card_box);
    EXPECT_TRUE(wizard->selected_image.isEmpty());
    EXPECT_TRUE(wizard->selected_title.isEmpty());
    EXPECT_TRUE(wizard->selected_msg.isEmpty());
    EXPECT_EQ(wizard->msg_title->text(), wizard->Get_Title());  // entry 0 again
    EXPECT_TRUE(wizard->from_value->text().isEmpty());
    EXPECT_EQ(wizard->width_Stepper->value(), 90.0);
    // Escape on a wizard page is Cancel; on the start screen it does nothing.
    wizard->Using_Wizard_Click();
    wizard->reject();
    EXPECT_EQ(wizard->next_counter, 0);
    wizard->reject();
    EXPECT_EQ(wizard->next_counter, 0);
    EXPECT_FALSE(platform.terminated.has_value());
  });
  // The next opening starts at 120 mm again.
  open([&] { EXPECT_EQ(wizard->width_Stepper->value(), 120.0); });
}

TEST_F(Invitation_Wizard_Test, ExitEndsTheProgram) {
  Start_Card_Option = QStringLiteral("W");
  const int code = open([&] { wizard->Exit_btn->click(); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(platform.terminated, 0);
  EXPECT_TRUE(Start_Card_Option.isEmpty());
}

TEST_F(Invitation_Wizard_Test, OpeningASavedDesign) {
  open_answers = {0, 1};
  const int code = open([&] {
    wizard->Open_Log_Click();  // cancelled or not loaded: the start screen stays
    EXPECT_EQ(Start_Card_Option, QStringLiteral("L"));
    EXPECT_EQ(wizard->next_counter, 0);
    EXPECT_EQ(open_answers.size(), 1);
    wizard->Open_Log_Click();
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Start_Card_Option, QStringLiteral("L"));
  EXPECT_TRUE(sizes.isEmpty());
}

TEST_F(Invitation_Wizard_Test, HelpAndContact) {
  QFile::remove(Resource_Path + QStringLiteral("/Help.pdf"));  // seeded by the build
  open([&] {
    wizard->Contact_us_btn->click();
    wizard->Help_btn_1->click();  // no Help.pdf in the resource folder now
  });
  ASSERT_EQ(platform.opened_urls.size(), 1);
  EXPECT_EQ(platform.opened_urls[0].scheme(), QStringLiteral("mailto"));
  EXPECT_TRUE(platform.opened_urls[0].query().isEmpty());
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_EQ(platform.messages[0].trimmed(), QStringLiteral("Help file does not exist!"));
}

}  // namespace
