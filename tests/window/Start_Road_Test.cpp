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
#include "support/Deadlock_Guard.h"
#include "window/ui/CRDWindowController.h"

#include <QCoreApplication>
#include <QDoubleSpinBox>
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
  for (const auto& [name, value] : environment) env.insert(name, value);
  return test_support::Run_Under_Xvfb(command, env);
}

// Clicks a button and waits until the wizard shows the page.
bool click_to(Invitation_Wizard* wizard, QPushButton* button, int page) {
  QTest::mouseClick(button, Qt::LeftButton);
  return QTest::qWaitFor([&] { return wizard->next_counter == page; }, test_support::kDeadlock_Guard_Ms);
}

// The driver, run in a child process under Xvfb by WizardToSavedDesign.
TEST(Start_Road, Driver) {
  const QString out = qEnvironmentVariable(out_variable);
  if (out.isEmpty()) GTEST_SKIP() << "run by Start_Road.WizardToSavedDesign";
  platform::Qt_Platform qt_platform;
  platform::Install(&qt_platform);
  QTimer::singleShot(test_support::kDeadlock_Guard_Ms, [] { std::_Exit(3); });  // never hang a test run

  CRDDocument document;
  CRDWindowController window(&document);  // the per-user resource folder, seeded
  bool finished = false;
  QTimer::singleShot(0, [&] {
    Invitation_Wizard* wizard = Invitation_Wizard::defaultInstance();
    if (!QTest::qWaitFor([&] { return wizard->isVisible() && wizard->isActiveWindow(); }, 20000))
      wizard->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard));
    ASSERT_TRUE(click_to(wizard, wizard->Using_Wizard_btn, 1));
    ASSERT_EQ(wizard->width_Stepper->value(), 120.0);
    ASSERT_TRUE(click_to(wizard, wizard->Next_btn, 2));  // the first background is picked
    ASSERT_TRUE(click_to(wizard, wizard->Next_btn, 3));
    ASSERT_TRUE(click_to(wizard, wizard->findChild<QPushButton*>(QStringLiteral("New_Year_Click")), 4));
    ASSERT_TRUE(click_to(wizard, wizard->Next_btn, 5));
    QTest::keyClicks(wizard->from_value, QStringLiteral("Bob"));
    QTest::keyClicks(wizard->to_value, QStringLiteral("Ann"));
    finished = true;
    QTest::mouseClick(wizard->Next_btn, Qt::LeftButton);  // Finish
  });
  window.Open_Start_Window();  // ends the program unless the wizard was finished
  ASSERT_TRUE(finished);
  Project_File_Name = out;
  ASSERT_TRUE(window.Save_project_file(false, false));
  platform::Install(nullptr);
}

TEST(Start_Road, WizardToSavedDesign) {
  if (!have_x_tools()) GTEST_SKIP() << "xvfb-run and xdotool are needed (deps/test/start.list)";
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  const QString design = scratch.filePath(QStringLiteral("invitation.dcard"));
  const test_support::Process_Result run = under_xvfb(
      {QCoreApplication::applicationFilePath(), QStringLiteral("--gtest_filter=Start_Road.Driver")},
      {{QString::fromLatin1(out_variable), design}});
  ASSERT_EQ(run.exit_code, 0) << run.out.toStdString() << run.err.toStdString();
  ASSERT_TRUE(QFileInfo::exists(design)) << run.out.toStdString();

  // The saved design, read with the system's own property-list reader.
  const QString check = QStringLiteral(R"PY(
import plistlib, re, sys
root = plistlib.load(open(sys.argv[1], 'rb'))
front_fill_style, front_background = root[1 + 5], root[1 + 24]
count = int(root[61])
found = {}
for data in root[62:62 + count]:
    archive = plistlib.loads(data)
    objects = archive['$objects']
    def value(v):
        while isinstance(v, plistlib.UID):
            v = objects[v.data]
        if isinstance(v, dict) and 'NS.string' in v:
            return v['NS.string']
        return v
    top = value(archive['$top']['root'])
    numbers = re.findall(r'-?[0-9.]+', value(top.get('_bounds')))
    found[value(top.get('control_ID'))] = ' '.join('%g' % round(float(n), 3) for n in numbers)
print(front_fill_style)
print(front_background)
for key in sorted(found):
    print(key, found[key])
)PY");
  const test_support::Process_Result read = test_support::Run_Program(
      test_support::System_Python(), {QStringLiteral("-c"), check, design});
  ASSERT_EQ(read.exit_code, 0) << read.err.toStdString();
  const QStringList lines = QString::fromUtf8(read.out).trimmed().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 6) << read.out.toStdString();
  EXPECT_EQ(lines[0], QStringLiteral("I"));
  // The first background of the program's own resource folder (sorted listing).
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral("/dadidividuvu/Lumigrove/Background/Confetti.png")))
      << lines[1].toStdString();
  const QStringList expected = {
      QStringLiteral("PARTY_FROM 40 250 260.157 40"),
      QStringLiteral("PARTY_MSG 50 120 260.157 80"),
      QStringLiteral("PARTY_TITLE 40 40 260.157 30"),
      QStringLiteral("PARTY_TO 30 90 260.157 20"),
  };
  EXPECT_EQ(lines.mid(2), expected);
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
