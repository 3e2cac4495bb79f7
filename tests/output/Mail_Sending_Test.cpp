// Mail runs end to end: the mail dialog's Send with the real record renderer over a bound
// series, the real mail script and a real SMTP server. What arrives (messages, envelope
// recipients, attachments and their order), failures, the pictures' clean-up, and a real
// delivery pause stopped midway.

#include "Mail_Test_Support.h"
#include "Output_Test_Support.h"

#include "model/CRDText.h"
#include "model/Shape_Control.h"
#include "output/Batch_Binding.h"
#include "output/Record_Renderer.h"
#include "output/ui/Send_Mail.h"
#include "output/ui/Send_Modeless.h"
#include "platform/Scripted_Platform.h"
#include "support/Watchdog.h"
#include "support/Deadlock_Guard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>


namespace {

using mail_test::Smtp_Server;

Card_Side_Snapshot Side(Graphic_List graphics, QColor fill) {
  Card_Side_Snapshot side;
  side.side.Card_fill_chk = true;
  side.side.Card_fill_style = QStringLiteral("S");
  side.side.Card_fill_clr = CRDColor::fromQColor(fill);
  side.frame = QRectF(0, 0, 120, 80);
  side.resource_path = Resource_Path;
  side.graphics = std::move(graphics);
  return side;
}

class Mail_Sending_Test : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    output_test::Write_Series("Three", "first\nsecond\nthird\n");
    output_test::Write_Series("Two", "one\ntwo\n");
    server = std::make_unique<Smtp_Server>();
    sender_email = mail_test::Login;
    sender_pwd = mail_test::Password;
    sending_server = QStringLiteral("127.0.0.1");
    sending_port = server->port_text();
    send_enable_ssl = QString();  // never stored: "N"

    dialog = Send_Mail::defaultInstance();
    dialog->hooks.batch_check = [this] {
      values = Batch_Check(front, back, true, {});
      Use_Data_Sheet_Values = values.use_series;
      Use_Excel_Binding_Values = values.use_sheet;
      Total_Batch_Excel_Card = values.total;
    };
    dialog->hooks.prepare_cards = [this](bool series, bool sheet) -> Mail_Card_Renderer {
      dialog->hooks.batch_check();
      values.use_series = values.use_series && series;
      values.use_sheet = values.use_sheet && sheet;
      values.Recount();
      Total_Batch_Excel_Card = values.total;
      auto renderer = std::make_shared<Record_Renderer>(Side(front, Qt::white), Side(back, Qt::yellow),
                                                        values, Barcode_Designer(), 72);
      return [renderer](int record, int side, QString* reason) {
        Render_Report report;
        Picture picture = renderer->Render(record, side == 0 ? Card_Side::Front : Card_Side::Back, &report);
        if (picture.isNull() && reason) *reason = report.reason;
        return picture;
      };
    };
    dialog->hooks.write_back_first_record = [this] { ++write_backs; };
  }

  void TearDown() override {
    dialog->hooks = {};
    Design_Test::TearDown();
  }

  // A text on each side bound to the series (none for ""), and a shape on the back.
  void Use_Design(const QString& series) {
    front = {output_test::Bound<CRDText>(series.isEmpty() ? 0 : 1, series)};
    back = {output_test::Bound<CRDText>(series.isEmpty() ? 0 : 1, series),
            std::make_shared<Shape_Control>()};
    back[1]->setBounds(QRectF(5, 5, 40, 20));
  }

  // Opens the dialog as the Mail button does, lets `form` fill it, presses Send and waits
  // for the run's end (message box included).
  void Send(const std::function<void()>& form) {
    dialog->hooks.batch_check();
    dialog->Reset();
    form();
    dialog->Send_Button();
    if (Mail_Sender* run = dialog->Current_Run()) {
      run->waitForFinished();
      QCoreApplication::processEvents();
    }
  }

  std::unique_ptr<Smtp_Server> server;
  platform::Scoped_Scripted_Platform scripted;
  Send_Mail* dialog = nullptr;
  Graphic_List front, back;
  Batch_Values values;
  int write_backs = 0;
};

QString Shown(const QString& text) { return QStringLiteral("\n") + text; }

TEST_F(Mail_Sending_Test, WhatArrivesInEachMode) {
  struct Case {
    const char* what;
    QString series;  // bound to the front text ("" none)
    bool batch;
    bool all_to_every;
    int side_row;  // 0 both, 1 front, 2 back
    QString to;
    int messages;
    int attachments;  // per message
    int distinct_pictures;
    int steps;
  };
  const Case cases[] = {
      {"no batch, both sides, 2 recipients", "", false, true, 0,
       QStringLiteral("a@example.org, b@example.org"), 2, 2, 2, 2},
      {"series of 3, every record to every recipient", QStringLiteral("Three"), true, true, 1,
       QStringLiteral("a@example.org,b@example.org"), 6, 1, 3, 3},
      {"2 records, one per recipient, 5 recipients", QStringLiteral("Two"), true, false, 2,
       QStringLiteral("a@example.org,b@example.org,c@example.org,d@example.org,e@example.org"), 2, 1,
       2, 5},
  };
  int before = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Use_Design(c.series);
    scripted.messages.clear();
    write_backs = 0;
    Send([&] {
      dialog->to_txt->setText(c.to);
      dialog->file_name_txt->setText(QStringLiteral("Party"));
      dialog->matrix_card_side->button(c.side_row)->click();
      dialog->send_with_batch_chk->setChecked(c.batch);
      if (!c.all_to_every) dialog->rd_one_per_recp->setChecked(true);
      dialog->subject_txt->setText(QStringLiteral("Hello"));
    });
    ASSERT_NE(dialog->Current_Run(), nullptr);
    EXPECT_EQ(scripted.messages, QStringList{Shown(Mail_Sent_Text)});
    EXPECT_EQ(list_count.load(), c.steps);
    EXPECT_EQ(write_backs, c.batch ? 1 : 0);
    EXPECT_FALSE(QFileInfo::exists(dialog->Current_Run()->picture_folder()));

    const auto all = server->Messages();
    const auto received = all.mid(before);
    before = int(all.size());
    ASSERT_EQ(received.size(), c.messages);
    const QStringList recipients = c.to.split(QLatin1Char(','));
    QSet<QByteArray> pictures;
    for (int i = 0; i < received.size(); ++i) {
      const auto& r = received[i];
      const int who = c.all_to_every && c.batch ? i % 2 : i;
      EXPECT_EQ(r.rcpt_tos, QStringList{recipients[who].trimmed()});
      EXPECT_EQ(r.subject, QStringLiteral("Hello"));
      ASSERT_EQ(r.attachments.size(), c.attachments);
      // Name, type and bytes agree: PNG data travels as .png, image/png.
      const QStringList names = c.side_row == 0
                                    ? QStringList{QStringLiteral("Party_Back.png"), QStringLiteral("Party.png")}
                                : c.side_row == 1 ? QStringList{QStringLiteral("Party.png")}
                                                  : QStringList{QStringLiteral("Party_Back.png")};
      for (int p = 0; p < r.attachments.size(); ++p) {
        EXPECT_EQ(r.attachments[p].filename, names[p]);
        EXPECT_EQ(r.attachments[p].content_type, QStringLiteral("image/png"));
        EXPECT_TRUE(r.attachments[p].data.startsWith("\x89PNG\r\n\x1a\n"));
        pictures.insert(r.attachments[p].data);
      }
    }
    EXPECT_EQ(pictures.size(), c.distinct_pictures);
  }
}

TEST_F(Mail_Sending_Test, FailuresSendNothingAndSaySo) {
  Use_Design({});
  struct Case {
    const char* what;
    const char* reason_part;  // of the script's reason, shown after the general text
  };
  for (const Case& c : {Case{"wrong password", "refused the login"},
                        Case{"server stopped", "Could not connect to 127.0.0.1"}}) {
    SCOPED_TRACE(c.what);
    scripted.messages.clear();
    if (QByteArray(c.what) == "wrong password") sender_pwd = QStringLiteral("wrong");
    else server->Stop();
    Send([&] { dialog->to_txt->setText(QStringLiteral("a@example.org, b@example.org")); });
    ASSERT_EQ(scripted.messages.size(), 1);
    EXPECT_TRUE(scripted.messages[0].startsWith(Shown(Mail_Failed_Text) + QStringLiteral("\n\n")))
        << scripted.messages[0];
    EXPECT_TRUE(scripted.messages[0].contains(QString::fromLatin1(c.reason_part)))
        << scripted.messages[0];
    EXPECT_EQ(dialog->Current_Run()->result().calls, 1);  // the first failure ends the run
    EXPECT_FALSE(QFileInfo::exists(dialog->Current_Run()->picture_folder()));
  }
  EXPECT_TRUE(server->Messages().isEmpty());

  // Refused at Send: one message, no run, no picture.
  scripted.messages.clear();
  dialog->hooks.prepare_cards = nullptr;
  Send([&] {
    dialog->to_txt->setText(QStringLiteral("a@example.org, nobody"));
  });
  EXPECT_EQ(scripted.messages, QStringList{Shown(QStringLiteral("Recipient E-mail address is invalid or incomplete."))});
}

// A run keeps its pictures in a folder named with our process id; one left by a run that
// died is removed at the next start, and only such a one.
TEST_F(Mail_Sending_Test, FoldersOfRunsThatDiedAreRemoved) {
  Use_Design({});
  Send([&] { dialog->to_txt->setText(QStringLiteral("a@example.org")); });
  ASSERT_NE(dialog->Current_Run(), nullptr);
  EXPECT_TRUE(QFileInfo(dialog->Current_Run()->picture_folder())
                  .fileName()
                  .startsWith(QStringLiteral("lumigrove-mail-%1-").arg(QCoreApplication::applicationPid())))
      << dialog->Current_Run()->picture_folder();

  QProcess ended;
  ended.start(QStringLiteral("/bin/true"));
  ASSERT_TRUE(ended.waitForStarted(test_support::kDeadlock_Guard_Ms));
  const qint64 gone = ended.processId();
  ASSERT_TRUE(ended.waitForFinished(test_support::kDeadlock_Guard_Ms));
  QTemporaryDir unique;  // a tag no parallel run uses
  const QString tag = QFileInfo(unique.path()).fileName().right(6);
  const QString temp = QDir::tempPath() + u'/';
  const QString abandoned = temp + QStringLiteral("lumigrove-mail-%1-%2").arg(gone).arg(tag);
  const QString ours =
      temp + QStringLiteral("lumigrove-mail-%1-%2").arg(QCoreApplication::applicationPid()).arg(tag);
  const QString running = temp + QStringLiteral("lumigrove-mail-1-%1").arg(tag);  // init runs
  for (const QString& folder : {abandoned, ours, running}) {
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile card(folder + QStringLiteral("/Party.png"));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
  }
  Remove_Abandoned_Mail_Folders();
  EXPECT_FALSE(QFileInfo::exists(abandoned));
  EXPECT_TRUE(QFileInfo::exists(ours + QStringLiteral("/Party.png")));
  EXPECT_TRUE(QFileInfo::exists(running + QStringLiteral("/Party.png")));
  QDir(ours).removeRecursively();
  QDir(running).removeRecursively();
  QDir(abandoned).removeRecursively();
}

TEST_F(Mail_Sending_Test, ARecordThatCannotBeMadeIsSkippedAndNamed) {
  Use_Design(QStringLiteral("Three"));
  auto prepare = dialog->hooks.prepare_cards;
  dialog->hooks.prepare_cards = [&](bool series, bool sheet) -> Mail_Card_Renderer {
    Mail_Card_Renderer real = prepare(series, sheet);
    return [real](int record, int side, QString* reason) {
      if (record == 1) {
        *reason = QStringLiteral("no picture for you");
        return Picture();
      }
      return real(record, side, reason);
    };
  };
  Send([&] {
    dialog->to_txt->setText(QStringLiteral("a@example.org"));
    dialog->send_with_batch_chk->setChecked(true);
  });
  EXPECT_EQ(server->Messages().size(), 2);
  ASSERT_EQ(scripted.messages.size(), 1);
  EXPECT_TRUE(scripted.messages[0].startsWith(Shown(Mail_Sent_Text)));
  EXPECT_TRUE(scripted.messages[0].contains(QStringLiteral("(record 2): no picture for you")))
      << scripted.messages[0];
}

// A pause of an hour after the first e-mail: Stop pressed while it shows ends the pause and
// the run at once (were it to wait out the pause, the watchdog ends the test instead).
TEST_F(Mail_Sending_Test, APauseCountsDownAndStopEndsItAndTheRun) {
  Use_Design({});
  Send_Modeless* sheet = Send_Modeless::defaultInstance();
  QString label_at_start;
  QTimer watch;
  watch.setInterval(20);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!label_at_start.isEmpty() || sheet->pause_label->text().isEmpty()) return;
    label_at_start = sheet->pause_label->text();
    scripted.yes_no_answers.push_back(true);
    sheet->_stop_btn->click();
  });
  watch.start();
  {
    test_support::Watchdog watchdog("Stop during a pause of an hour ending the run");
    Send([&] {
      dialog->to_txt->setText(QStringLiteral("a@example.org, b@example.org, c@example.org"));
      dialog->delayed_delv_chk->click();
      dialog->hour_stepper->setValue(1);
    });
  }
  watch.stop();
  EXPECT_EQ(label_at_start, QStringLiteral("Pausing the process for 1 Hour 0 Minute 0 Second."));
  EXPECT_TRUE(sheet->pause_label->text().isEmpty());
  EXPECT_EQ(server->Messages().size(), 1);
  EXPECT_TRUE(dialog->Current_Run()->result().stopped);
  // The result says the run was stopped and how many of the e-mails went.
  EXPECT_EQ(scripted.messages,
            QStringList{Shown(QStringLiteral("Sending was stopped: 1 of 3 e-mails were sent."))});
}

// Stop while the server hangs: the first e-mail goes through, the second meets a server
// that takes the connection and never says a word. Stop ends that e-mail's script (its
// copy here waits a day for the server, so the run ends by Stop or not at all), the result
// says the run was stopped and how many e-mails went, and no mail script is left running.
TEST_F(Mail_Sending_Test, StopEndsTheEMailUnderWayWhenTheServerHangs) {
  Use_Design({});
  mail_test::Silent_Server silent(1, server->port());
  sending_port = silent.port_text();
  const QString script = Resource_Path + QStringLiteral("/pyth_mail.py");
  mail_test::Mail_Script_Waits_A_Day(script);
  Send_Modeless* sheet = Send_Modeless::defaultInstance();
  dialog->hooks.batch_check();
  dialog->Reset();
  dialog->to_txt->setText(QStringLiteral("a@example.org, b@example.org, c@example.org"));
  dialog->Send_Button();
  Mail_Sender* run = dialog->Current_Run();
  ASSERT_NE(run, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return silent.Held() > 0; }, test_support::kDeadlock_Guard_Ms))
      << "the second e-mail never reached the silent server";
  ASSERT_EQ(mail_test::Processes_With_Argument(script).size(), 1) << "no mail script runs";

  scripted.yes_no_answers.push_back(true);
  QElapsedTimer since_stop;
  since_stop.start();
  sheet->_stop_btn->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return run->isFinished(); }, test_support::kDeadlock_Guard_Ms))
      << "the run did not end after Stop";
  std::printf("[ measured ] Stop during a hanging e-mail: the run ended after %lld ms\n",
              static_cast<long long>(since_stop.elapsed()));
  EXPECT_EQ(scripted.questions, QStringList{Send_Modeless::Mail_Stop_Question});
  EXPECT_TRUE(run->result().stopped);
  EXPECT_EQ(run->result().sent, 1);
  EXPECT_EQ(run->result().calls, 2);
  EXPECT_EQ(scripted.messages,
            QStringList{Shown(QStringLiteral("Sending was stopped: 1 of 3 e-mails were sent."))});
  EXPECT_TRUE(mail_test::Processes_With_Argument(script).isEmpty()) << "the mail script still runs";
  EXPECT_FALSE(QFileInfo::exists(run->picture_folder()));
  EXPECT_EQ(server->Messages().size(), 1);
}

TEST_F(Mail_Sending_Test, OpeningAndTheHandlersKeepTheControlsConsistent) {
  Use_Design(QStringLiteral("Three"));
  dialog->hooks.batch_check();
  dialog->Reset();
  EXPECT_EQ(dialog->from_txt->text(), mail_test::Login);
  EXPECT_EQ(dialog->card_side_str, QStringLiteral("F"));
  EXPECT_TRUE(dialog->matrix_card_side->button(1)->isChecked());
  EXPECT_EQ(dialog->file_name_txt->text(), QStringLiteral("ZELKCard"));
  EXPECT_TRUE(dialog->send_with_batch_chk->isEnabled());   // a series is bound
  EXPECT_FALSE(dialog->send_with_excel_chk->isEnabled());  // no column is
  EXPECT_FALSE(dialog->rd_all_to_every->isEnabled());
  EXPECT_FALSE(dialog->delayed_box->isEnabled());
  EXPECT_FALSE(dialog->browse_att->isEnabled());

  dialog->send_with_batch_chk->click();
  EXPECT_TRUE(dialog->rd_all_to_every->isEnabled());
  EXPECT_TRUE(dialog->rd_one_per_recp->isEnabled());
  dialog->send_with_batch_chk->click();
  EXPECT_FALSE(dialog->rd_one_per_recp->isEnabled());

  dialog->rd_without_barcode->click();
  EXPECT_FALSE(dialog->send_sett_box->isEnabled());
  EXPECT_TRUE(dialog->browse_att->isEnabled());
  scripted.open_answers.push_back({QStringLiteral("/tmp/invitation.pdf")});
  dialog->browse_att->click();
  EXPECT_EQ(dialog->attachment->text(), QStringLiteral("/tmp/invitation.pdf"));
  dialog->clear_att->click();
  EXPECT_TRUE(dialog->attachment->text().isEmpty());

  // Back to the card: the batch check runs again; a series that went away takes its box.
  front.clear();
  back.clear();
  dialog->send_with_batch_chk->setChecked(true);
  dialog->rd_mail_curr_barcode->click();
  EXPECT_TRUE(dialog->send_sett_box->isEnabled());
  EXPECT_FALSE(dialog->send_with_batch_chk->isEnabled());
  EXPECT_FALSE(dialog->send_with_batch_chk->isChecked());
  EXPECT_FALSE(dialog->rd_all_to_every->isEnabled());

  dialog->delayed_delv_chk->click();
  EXPECT_TRUE(dialog->delayed_box->isEnabled());
  dialog->matrix_card_side->button(0)->click();
  EXPECT_EQ(dialog->card_side_str, QStringLiteral("BOTH"));
  dialog->matrix_card_side->button(2)->click();
  EXPECT_EQ(dialog->card_side_str, QStringLiteral("B"));

  // A no-card message carries the chosen file when it exists, and none when it does not.
  QTemporaryDir files;
  const QString pdf = files.filePath(QStringLiteral("invitation.pdf"));
  QFile out(pdf);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write("%PDF-1.4\n%%EOF\n");
  out.close();
  for (const QString& path : {pdf, files.filePath(QStringLiteral("gone.pdf"))}) {
    Send([&] {
      dialog->rd_without_barcode->click();
      dialog->to_txt->setText(QStringLiteral("a@example.org"));
      dialog->attachment->setText(path);
    });
  }
  const auto received = server->Messages();
  ASSERT_EQ(received.size(), 2);
  ASSERT_EQ(received[0].attachments.size(), 1);
  EXPECT_EQ(received[0].attachments[0].filename, QStringLiteral("invitation.pdf"));
  EXPECT_EQ(received[0].attachments[0].content_type, QStringLiteral("application/pdf"));
  EXPECT_TRUE(received[1].attachments.isEmpty());
}

}  // namespace
