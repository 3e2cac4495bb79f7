// The seam while the main thread waits for workers and while the program shuts down.

#include "platform/Platform.h"
#include "platform/Thread_Handover.h"
#include "platform/Scripted_Platform.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QThread>
#include <QThreadPool>

#include "support/Test_Support.h"
#include "support/Watchdog.h"
#include "support/Deadlock_Guard.h"

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using test_support::Watchdog;

// Records the thread each question ran on.
class Recording_Platform : public platform::Scoped_Scripted_Platform {
 public:
  std::vector<QThread*> threads;
  bool Yes_No_Box(const QString& text) override {
    threads.push_back(QThread::currentThread());
    return Scripted_Platform::Yes_No_Box(text);
  }
  void Message_Box(const QString& text) override {
    threads.push_back(QThread::currentThread());
    Scripted_Platform::Message_Box(text);
  }
};

// Shutdown begun by a test ends with it.
struct Shutdown_Scope {
  Shutdown_Scope() { platform::Begin_Shutdown(); }
  ~Shutdown_Scope() { platform::End_Shutdown(); }
};

TEST(PlatformThreads, WorkersAskWhileTheMainThreadWaitsForThePool) {
  Watchdog watchdog("questions during Wait_For_Pool");
  Recording_Platform scripted;
  scripted.yes_no_answers = {true, false, true, false};
  QThreadPool pool;
  pool.setMaxThreadCount(4);
  std::atomic<int> yes{0};
  for (int i = 0; i < 4; ++i)
    pool.start([&yes] {
      if (platform::Yes_No_Box(QStringLiteral("Stop the export?"))) ++yes;
      platform::Message_Box(QStringLiteral("Stopped."));
    });
  ASSERT_TRUE(platform::Wait_For_Pool(pool, test_support::kDeadlock_Guard_Ms));
  EXPECT_EQ(yes, 2);
  EXPECT_EQ(scripted.questions.size(), 4);
  EXPECT_EQ(scripted.messages.size(), 4);
  for (QThread* thread : scripted.threads) EXPECT_EQ(thread, QCoreApplication::instance()->thread());
}

TEST(PlatformThreads, WaitServingWorkersEndsWhenDoneOrTimedOut) {
  Watchdog watchdog("Wait_Serving_Workers");
  platform::Scoped_Scripted_Platform scripted;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    platform::Message_Box(QStringLiteral("from a joined thread"));
    done = true;
  });
  EXPECT_TRUE(platform::Wait_Serving_Workers([&] { return done.load(); }, test_support::kDeadlock_Guard_Ms));
  worker.join();
  EXPECT_EQ(scripted.messages, QStringList{QStringLiteral("from a joined thread")});
  // Nothing ever becomes done: the timeout ends the wait.
  EXPECT_FALSE(platform::Wait_Serving_Workers([] { return false; }, 30));
}

TEST(PlatformThreads, AnExceptionOnTheMainThreadReachesTheWorker) {
  Watchdog watchdog("exception through Run_On_Main_Thread");
  bool caught = false;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    try {
      platform::Run_On_Main_Thread([] { throw std::runtime_error("refused"); });
    } catch (const std::runtime_error&) {
      caught = true;
    }
    done = true;
  });
  platform::Wait_Serving_Workers([&] { return done.load(); });
  worker.join();
  EXPECT_TRUE(caught);
}

TEST(PlatformThreads, DuringShutdownWorkersGetTheDefaultAtOnce) {
  Watchdog watchdog("questions during shutdown");
  Recording_Platform scripted;
  scripted.default_yes_no = true;  // would answer "Yes": the "No" must be the seam's own
  scripted.open_answers.push_back({QStringLiteral("/tmp/a")});
  Shutdown_Scope shutdown;
  // Eight workers at once, while the main thread serves nothing.
  std::vector<std::thread> workers;
  std::atomic<int> yes{0}, ran{0}, panels{0}, modal{0};
  for (int i = 0; i < 8; ++i)
    workers.emplace_back([&] {
      if (platform::Yes_No_Box(QStringLiteral("Replace the file?"))) ++yes;
      platform::Message_Box(QStringLiteral("Export stopped."));
      if (!platform::Open_File_Panel({}).isEmpty()) ++panels;
      if (platform::Run_Modal(nullptr) != 0) ++modal;
      if (platform::Run_On_Main_Thread([&] { ++ran; })) ++ran;
      platform::Terminate(1);  // logged only: the program is ending already
    });
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(yes, 0);
  EXPECT_EQ(panels, 0);
  EXPECT_EQ(modal, 0);
  EXPECT_EQ(ran, 0);
  QCoreApplication::processEvents();
  EXPECT_TRUE(scripted.threads.empty());
  EXPECT_FALSE(scripted.terminated.has_value());
  // The main thread itself is still served by the installed platform.
  EXPECT_TRUE(platform::Yes_No_Box(QStringLiteral("Save the design?")));
  EXPECT_EQ(scripted.questions, QStringList{QStringLiteral("Save the design?")});
}

TEST(PlatformThreads, AQuestionWaitingWhenShutdownBeginsIsAnsweredWithTheDefault) {
  Watchdog watchdog("waiting question at shutdown");
  Recording_Platform scripted;
  scripted.default_yes_no = true;
  std::atomic<bool> asking{false}, answered{false};
  bool answer = true;
  // The main thread does not serve: its event loop has ended, as after quitting.
  std::thread worker([&] {
    asking = true;
    answer = platform::Yes_No_Box(QStringLiteral("Continue?"));
    answered = true;
  });
  // The worker's call reaches the main thread as a call posted to its event loop: the
  // filter (the application's, which sees every object's events) holds it back (the main
  // thread does not serve), and its arrival shows that the question waits.
  struct Holding_Filter : QObject {
    std::atomic<bool> held{false};
    bool eventFilter(QObject* receiver, QEvent* event) override {
      platform::Taken_Over(receiver);  // a posted call is handed over to its receiver
      if (event->type() != platform::Posted_Call_Type()) return false;
      held = true;
      return true;
    }
  } filter;
  QCoreApplication::instance()->installEventFilter(&filter);
  QDeadlineTimer deadline(test_support::kDeadlock_Guard_Ms);
  while (!filter.held && !deadline.hasExpired()) {
    QCoreApplication::sendPostedEvents(nullptr, platform::Posted_Call_Type());
    std::this_thread::yield();
  }
  QCoreApplication::instance()->removeEventFilter(&filter);
  EXPECT_TRUE(filter.held) << "the worker's question never reached the main thread";
  EXPECT_TRUE(asking);
  EXPECT_FALSE(answered);
  {
    Shutdown_Scope shutdown;
    worker.join();
  }
  EXPECT_TRUE(answered);
  EXPECT_FALSE(answer);
  // The withdrawn call never runs, even when the main thread serves again.
  QCoreApplication::processEvents();
  platform::Wait_Serving_Workers([] { return false; }, 0);
  EXPECT_TRUE(scripted.questions.isEmpty());
}

}  // namespace
