// The start road with real components under Xvfb: the real window's start-up runs the
// start screen, which a driver finishes through real clicks and keys; the saved design
// holds the invitation where it belongs. The built program ends with status 0 when its
// start screen's Exit is pressed.

#include "model/CRDDocument.h"
#include "model/Shared_Design_State.h"
#include "library/ui/Invitation_Wizard.h"
#include "platform/Platform.h"
#include "platform/ui/Qt_Platform.h"
#include "support/Test_Support.h"
#include "window/ui/CRDWindowController.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr char out_variable[] = "LUMIGROVE_START_ROAD_OUT";

bool have_x_tools() {
  return test_support::Have_Program(QStringLiteral("xvfb-run")) &&
         test_support::Have_Program(QStringLiteral("xdotool"));
}

// Runs a command under a private X server of its own, with extra environment.
test_support::Process_Result under_xvfb(const QStringList& command,
                                        const QList<QPair<QString, QString>>& environment) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  for (const auto& [name, value] : environment) env.insert(name, value);
  const QStringList arguments = QStringList{QStringLiteral("-a"), QStringLiteral("-s"),
                                            QStringLiteral("-screen 0 1600x1000x24")} +
                                command;
  return test_support::Run_Program(QStringLiteral("xvfb-run"), arguments, 120000, {}, env);
}

TEST(Start_Road, ExitEndsTheProgramWithStatusZero) {
  if (!have_x_tools()) GTEST_SKIP() << "xvfb-run and xdotool are needed (deps/test/start.list)";
  const QString program =
      QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/lumigrove");
  if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "the program is not built";
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  // The program in the background; xdotool waits for the start screen and presses Alt+X.
  const QString script = QStringLiteral(
      "\"$0\" & pid=$!\n"
      "w=$(timeout 60 xdotool search --sync --onlyvisible --name 'Welcome to Lumigrove' | head -n 1)\n"
      "[ -n \"$w\" ] || { kill $pid; exit 90; }\n"
      "xdotool windowfocus --sync \"$w\" key alt+x\n"
      "( sleep 60; kill $pid ) & watchdog=$!\n"
      "wait $pid; status=$?\n"
      "kill $watchdog 2>/dev/null\n"
      "exit $status\n");
  const test_support::Process_Result run =
      under_xvfb({QStringLiteral("sh"), QStringLiteral("-c"), script, program},
                 {{QStringLiteral("XDG_DATA_HOME"), scratch.filePath(QStringLiteral("data"))},
                  {QStringLiteral("HOME"), scratch.path()}});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
}

}  // namespace
