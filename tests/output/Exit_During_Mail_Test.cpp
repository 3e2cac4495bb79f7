// Exit while a mail run waits for a server that takes the connection and never answers:
// a child program starts the run and ends itself through Terminate (as the design window's
// Exit does) once the mail script is connected. Before the script was ended on a stop,
// the program stayed for the script's own wait for the server, which is a day here: the
// program ends because of Exit or not at all.

#include "Mail_Test_Support.h"
#include "support/Deadlock_Guard.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
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

}  // namespace
