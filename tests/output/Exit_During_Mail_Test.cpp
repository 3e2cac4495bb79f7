// Exit while a mail run waits for a server that takes the connection and never answers:
// a child program starts the run and ends itself through Terminate (as the design window's
// Exit does) once the mail script is connected. Before the script was ended on a stop,
// the program stayed for the script's own wait for the server, which is a day here: the
// program ends because of Exit or not at all.

#include "Mail_Test_Support.h"
#include "support/Deadlock_Guard.h"

#include "output/Mail_Sender.h"
#include "support/Watchdog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

class Exit_During_Mail : public test_support::Design_Test {};

TEST_F(Exit_During_Mail, ExitEndsTheProcessAndTheMailScriptAtOnce) {
  mail_test::Silent_Server silent;
  const QString script = Resource_Path + QStringLiteral("/pyth_mail.py");
  ASSERT_TRUE(QFileInfo(script).isFile());
  mail_test::Mail_Script_Waits_A_Day(script);
  QTemporaryDir folder;
  const QString exit_file = folder.filePath(QStringLiteral("exit"));

  QProcess child;
  child.setProcessChannelMode(QProcess::SeparateChannels);
  child.start(QStringLiteral(EXIT_DURING_MAIL), {Resource_Path, silent.port_text(), exit_file});
  ASSERT_TRUE(child.waitForStarted(test_support::kDeadlock_Guard_Ms));
  ASSERT_TRUE(QTest::qWaitFor([&] { return silent.Held() > 0; }, test_support::kDeadlock_Guard_Ms))
      << "the mail script never reached the silent server";
  ASSERT_EQ(mail_test::Processes_With_Argument(script).size(), 1) << "no mail script runs";

  QElapsedTimer since_exit;
  since_exit.start();
  QFile(exit_file).open(QIODevice::WriteOnly);
  const bool ended = child.waitForFinished(test_support::kDeadlock_Guard_Ms);
  std::printf("[ measured ] Exit during a hanging e-mail: the program ended after %lld ms\n",
              static_cast<long long>(since_exit.elapsed()));
  if (!ended) child.kill();
  ASSERT_TRUE(ended) << "the program did not end after Exit";
  const QByteArray out = child.readAllStandardOutput();
  EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
  EXPECT_TRUE(out.startsWith("exiting\n")) << out.toStdString();
  // The e-mail under way was given up, not failed after the server's silence.
  EXPECT_TRUE(out.endsWith("result: stopped 1 sent 0 calls 1\n")) << out.toStdString();
  EXPECT_TRUE(mail_test::Processes_With_Argument(script).isEmpty()) << "the mail script still runs";
}

// A copy of the mail script that waits an hour for a silent server, longer than any guard.
void Write_Patient_Script(const QString& path) {
  QFile shipped(Resource_Path + QStringLiteral("/pyth_mail.py"));
  ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
  QByteArray text = shipped.readAll();
  ASSERT_TRUE(text.contains("\nTIMEOUT_SECONDS = 60\n"));
  text.replace("\nTIMEOUT_SECONDS = 60\n", "\nTIMEOUT_SECONDS = 3600\n");
  QFile patient(path);
  ASSERT_TRUE(patient.open(QIODevice::WriteOnly));
  ASSERT_EQ(patient.write(text), text.size());
}

// The mail script never outlives the program, however the program ends: here it is ended
// by SIGTERM (as a logout or a shutdown ends it), which leaves it no time for anything of
// its own, while the script waits on a server that stays silent for longer than any guard
// (a copy of the script whose time limit is an hour). The script ends with the program, and
// the run's card folder, which the program had no time to remove, is removed by the next
// start.
TEST_F(Exit_During_Mail, TheMailScriptEndsWithAProgramEndedBySigterm) {
  mail_test::Silent_Server silent;
  QTemporaryDir resources;
  const QString script = resources.filePath(QStringLiteral("pyth_mail.py"));
  ASSERT_NO_FATAL_FAILURE(Write_Patient_Script(script));
  QTemporaryDir folder;
  QProcess child;
  child.setProcessChannelMode(QProcess::ForwardedChannels);
  child.start(QStringLiteral(EXIT_DURING_MAIL),
              {resources.path(), silent.port_text(), folder.filePath(QStringLiteral("never"))});
  ASSERT_TRUE(child.waitForStarted(test_support::kDeadlock_Guard_Ms));
  const qint64 pid = child.processId();
  auto mail_folders = [pid] {
    return QDir(QDir::tempPath())
        .entryList({QStringLiteral("lumigrove-mail-%1-*").arg(pid)}, QDir::Dirs | QDir::Hidden);
  };
  {
    test_support::Watchdog guard("the mail script reaching the silent server");
    while (silent.Held() == 0) QTest::qWait(20);
  }
  ASSERT_EQ(mail_test::Processes_With_Argument(script).size(), 1) << "no mail script runs";
  ASSERT_EQ(mail_folders().size(), 1) << "the run made no card folder";

  child.terminate();  // SIGTERM
  {
    test_support::Watchdog guard("the program ending on SIGTERM, and its mail script");
    ASSERT_TRUE(child.waitForFinished(-1));
    while (!mail_test::Processes_With_Argument(script).isEmpty()) QTest::qWait(20);
  }
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);  // ended by the signal itself

  Remove_Abandoned_Mail_Folders();  // as the next start does
  EXPECT_TRUE(mail_folders().isEmpty()) << mail_folders().join(u' ').toStdString();
}

// The script watches its parent too: started by a program that is killed outright (here a
// shell that started it and is then sent SIGKILL), it ends instead of waiting on the silent
// server.
TEST_F(Exit_During_Mail, TheMailScriptEndsWhenItsParentIsGone) {
  mail_test::Silent_Server silent;
  QTemporaryDir folder;
  const QString script = folder.filePath(QStringLiteral("pyth_mail.py"));
  ASSERT_NO_FATAL_FAILURE(Write_Patient_Script(script));
  const QString input = folder.filePath(QStringLiteral("input.json"));
  {
    QFile file(input);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"password":"","recipient":"a@example.org","subject":"Hi","body":""})");
  }
  QProcess shell;
  shell.setProcessChannelMode(QProcess::ForwardedChannels);
  // The shell stays the script's parent (it waits for it) until it is killed.
  shell.start(QStringLiteral("/bin/sh"),
              {QStringLiteral("-c"),
               QStringLiteral("\"$0\" \"$1\" me@example.org 127.0.0.1 \"$2\" me@example.org N "
                              "< \"$3\"; exit 0"),
               test_support::System_Python(), script, silent.port_text(), input});
  ASSERT_TRUE(shell.waitForStarted(test_support::kDeadlock_Guard_Ms));
  {
    test_support::Watchdog guard("the mail script reaching the silent server");
    while (silent.Held() == 0) QTest::qWait(20);
  }
  // The shell and the script it started.
  ASSERT_EQ(mail_test::Processes_With_Argument(script).size(), 2) << "no mail script runs";
  shell.kill();  // SIGKILL: the shell can pass nothing on
  {
    test_support::Watchdog guard("the mail script ending after its parent");
    ASSERT_TRUE(shell.waitForFinished(-1));
    while (!mail_test::Processes_With_Argument(script).isEmpty()) QTest::qWait(20);
  }
}

}  // namespace
