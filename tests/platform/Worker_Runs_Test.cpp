// Runs of workers and the end of the process: a pool's end and Stop_All_Work wait for the
// workers while serving their calls through the seam, and stop every registered run.

#include "platform/Platform.h"
#include "platform/Scripted_Platform.h"
#include "platform/Worker_Runs.h"

#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using test_support::Watchdog;

TEST(Worker_Pool, DestroyedWhileItsTaskWaitsForAnAnswer) {
  Watchdog watchdog("a pool destroyed while its task asks the main thread");
  platform::Scoped_Scripted_Platform scripted;
  scripted.yes_no_answers = {true};
  std::atomic<bool> asking{false}, answer{false};
  {
    platform::Worker_Pool pool(1);
    pool.Start([&] {
      asking = true;
      answer = platform::Yes_No_Box(QStringLiteral("Go on?"));
    });
    while (!asking) std::this_thread::sleep_for(1ms);
  }  // ends only once the question was answered on this thread
  EXPECT_EQ(scripted.questions, QStringList{QStringLiteral("Go on?")});
  EXPECT_TRUE(answer);
}

TEST(Worker_Pool, StopAllWorkStopsEveryRunAndServesThemUntilTheyEnd) {
  Watchdog watchdog("Stop_All_Work");
  platform::Scoped_Scripted_Platform scripted;
  const int before = platform::Running_Work_Count();
  platform::Worker_Pool pool(2);
  std::atomic<int> rounds{0};
  for (int t = 0; t < 2; ++t)
    pool.Start([&] {
      while (!pool.Stopping()) {
        ++rounds;
        std::this_thread::sleep_for(1ms);
      }
    });
  // A thread of one's own, which says goodbye through the seam as it ends.
  std::atomic<bool> cancel{false}, ended{false};
  std::thread own([&] {
    while (!cancel) std::this_thread::sleep_for(1ms);
    platform::Message_Box(QStringLiteral("stopped"));
    ended = true;
  });
  {
    platform::Running_Work running([&] { cancel = true; }, [&] { return ended.load(); });
    EXPECT_EQ(platform::Running_Work_Count(), before + 2);
    while (rounds < 10) std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(platform::Stop_All_Work(30000));
    EXPECT_TRUE(pool.Finished());
    EXPECT_TRUE(ended);
  }
  own.join();
  EXPECT_EQ(scripted.messages, QStringList{QStringLiteral("stopped")});
  EXPECT_EQ(platform::Running_Work_Count(), before + 1) << "the pool is registered until it goes";
  // A run that does not end holds the wait to its timeout.
  std::atomic<bool> never{false};
  platform::Running_Work stuck([] {}, [&] { return never.load(); });
  EXPECT_FALSE(platform::Stop_All_Work(30));
}

}  // namespace
