#include "platform/Platform.h"
#include "platform/Scripted_Platform.h"
#include "platform/ui/Qt_Platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>

#include "support/Test_Support.h"
#include "support/Watchdog.h"
#include "support/Deadlock_Guard.h"

#include <atomic>
#include <functional>
#include <thread>

namespace {

// Records the thread each request ran on.
class Thread_Recording_Platform : public platform::Scripted_Platform {
 public:
  QThread* message_thread = nullptr;
  QThread* question_thread = nullptr;
  void Message_Box(const QString& text) override {
    message_thread = QThread::currentThread();
    Scripted_Platform::Message_Box(text);
  }
  bool Yes_No_Box(const QString& text) override {
    question_thread = QThread::currentThread();
    return Scripted_Platform::Yes_No_Box(text);
  }
};

void pump_until(const std::atomic<bool>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done && timer.elapsed() < test_support::kDeadlock_Guard_Ms)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(PlatformSeam, WorkerThreadCallsRunOnMainThreadAndWait) {
  test_support::Watchdog watchdog("worker calls through the seam");
  Thread_Recording_Platform scripted;
  platform::Install(&scripted);
  scripted.yes_no_answers = {true, false};

  std::atomic<bool> done{false};
  bool first = false, second = true;
  QThread* worker_thread = nullptr;
  std::thread worker([&] {
    worker_thread = QThread::currentThread();
    platform::Message_Box(QStringLiteral("from worker"));
    first = platform::Yes_No_Box(QStringLiteral("first?"));
    second = platform::Yes_No_Box(QStringLiteral("second?"));
    done = true;
  });
  pump_until(done);
  worker.join();
  platform::Install(nullptr);

  ASSERT_TRUE(done);
  EXPECT_EQ(scripted.message_thread, QCoreApplication::instance()->thread());
  EXPECT_EQ(scripted.question_thread, QCoreApplication::instance()->thread());
  EXPECT_NE(worker_thread, QCoreApplication::instance()->thread());
  EXPECT_EQ(scripted.messages, QStringList{QStringLiteral("from worker")});
  // Each answer comes back through its own call.
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
}

TEST(PlatformSeam, MainThreadCallRunsAtOnce) {
  platform::Scoped_Scripted_Platform scripted;
  scripted.default_yes_no = true;
  EXPECT_TRUE(platform::Yes_No_Box(QStringLiteral("sure?")));
  EXPECT_EQ(scripted.questions.size(), 1);
}

TEST(PlatformSeam, ScriptedModalRunAnswersTheStopCode) {
  platform::Scoped_Scripted_Platform scripted;
  QObject window;
  // A handler that presses "OK" the way a dialog's handler does.
  scripted.on_run_modal = [](QObject* w) {
    platform::Stop_Modal(w, 1);
    return 0;
  };
  EXPECT_EQ(platform::Run_Modal(&window), 1);
  // Without a stop, the handler's own answer stands; without a handler, 0.
  scripted.on_run_modal = [](QObject*) { return 7; };
  EXPECT_EQ(platform::Run_Modal(&window), 7);
  scripted.on_run_modal = nullptr;
  EXPECT_EQ(platform::Run_Modal(&window), 0);
  EXPECT_EQ(scripted.modal_runs.size(), 3);
}

TEST(PlatformSeam, TerminateIsRecordedByTheScriptedPlatform) {
  platform::Scoped_Scripted_Platform scripted;
  platform::Terminate(0);
  ASSERT_TRUE(scripted.terminated.has_value());
  EXPECT_EQ(*scripted.terminated, 0);
}

TEST(PlatformSeam, PanelsAnswerFromTheScriptAndCancelWhenEmpty) {
  platform::Scoped_Scripted_Platform scripted;
  scripted.open_answers.push_back({QStringLiteral("/tmp/a.png"), QStringLiteral("/tmp/b.png")});
  EXPECT_EQ(platform::Open_File_Panel({}), QStringLiteral("/tmp/a.png"));
  EXPECT_EQ(platform::Open_File_Panel({}), QString());
  EXPECT_EQ(platform::Save_Panel({}), QString());
  EXPECT_FALSE(platform::Color_Panel(Qt::red).has_value());
}

}  // namespace

namespace {

// Window managers cut a title that does not fit the title bar ("Lum...ve"). Every alert and
// every window run modally is wide enough for its title in the bold title-bar font beside
// at least three title-bar buttons, however short its text.
TEST(QtPlatform, ShortAlertsAndWindowsAreWideEnoughForTheirTitles) {
  QCoreApplication::setApplicationName(QStringLiteral("Lumigrove"));
  platform::Qt_Platform qt;
  QDialog small;
  small.setWindowTitle(QStringLiteral("Lumigrove"));
  auto* layout = new QVBoxLayout(&small);
  layout->addWidget(new QLabel(QStringLiteral("Wait."), &small));
  const struct {
    const char* what;
    std::function<void()> run;
  } cases[] = {
      {"message", [&] { qt.Message_Box(QStringLiteral("\nList is empty.")); }},
      {"question", [&] { qt.Yes_No_Box(QStringLiteral("Go?")); }},
      {"small window", [&] { qt.Run_Modal(&small); }},
  };
  QFont title_font = QApplication::font("QMdiSubWindowTitleBar");
  title_font.setBold(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QString title;
    int width = 0, button = 0;
    QTimer::singleShot(0, [&] {
      QWidget* shown = QApplication::activeModalWidget();
      ASSERT_NE(shown, nullptr);
      title = shown->windowTitle().isEmpty() ? QGuiApplication::applicationDisplayName()
                                             : shown->windowTitle();
      width = shown->width();
      button = shown->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, shown);
      QTest::keyClick(shown, Qt::Key_Escape);
    });
    c.run();
    EXPECT_EQ(title, QStringLiteral("Lumigrove"));
    EXPECT_GE(width, QFontMetrics(title_font).horizontalAdvance(title) + 3 * button);
  }
}

}  // namespace
