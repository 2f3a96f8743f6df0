// The GLib-based main loop: posting from other threads, timers and run/quit, in real time.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/gtk/TestDesktop.h"

namespace qn::test {
namespace {

class MainLoopTest : public ::testing::Test {
 protected:
  MainLoop& loop = desktop().loop();

  // Runs the loop until quit, with a safety stop so a broken quit cannot hang the suite.
  void runFor(double limitSeconds) {
    Timer stop = loop.after(limitSeconds, [this] { loop.quit(); });
    loop.run();
    stop.cancel();
  }
};

TEST_F(MainLoopTest, PostsFromOtherThreadsRunOnTheMainThreadInOrder) {
  constexpr int kThreads = 4;
  constexpr int kPosts = 500;
  const std::thread::id mainThread = std::this_thread::get_id();
  std::vector<std::vector<int>> seen(kThreads);
  std::atomic<int> offMainThread = 0;
  int ran = 0;

  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&, t] {
      for (int i = 0; i < kPosts; ++i) {
        loop.post([&, t, i] {
          if (std::this_thread::get_id() != mainThread) ++offMainThread;
          seen[t].push_back(i);
          if (++ran == kThreads * kPosts) loop.quit();
        });
      }
    });
  }
  runFor(10);
  for (std::thread& poster : posters) poster.join();

  EXPECT_EQ(ran, kThreads * kPosts);
  EXPECT_EQ(offMainThread, 0);
  for (const std::vector<int>& order : seen) {
    ASSERT_EQ(order.size(), static_cast<size_t>(kPosts));
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  }
}

TEST_F(MainLoopTest, APostRunsAfterTheCurrentCallReturns) {
  std::vector<std::string> events;
  loop.post([&] {
    loop.post([&] {
      events.push_back("inner");
      loop.quit();
    });
    events.push_back("outer done");
  });
  runFor(5);

  EXPECT_EQ(events, (std::vector<std::string>{"outer done", "inner"}));
}

TEST_F(MainLoopTest, AfterRunsOnceAfterItsDelay) {
  double start = loop.now();
  double firedAt = 0;
  int fired = 0;
  loop.after(0.2, [&] {
    ++fired;
    firedAt = loop.now();
  });
  loop.after(0.6, [&] { loop.quit(); });
  runFor(5);

  EXPECT_EQ(fired, 1);
  EXPECT_GE(firedAt - start, 0.199);
  EXPECT_LT(firedAt - start, 0.35);
}

TEST_F(MainLoopTest, ANegativeDelayCountsAsZero) {
  double start = loop.now();
  double firedAt = 0;
  loop.after(-5, [&] {
    firedAt = loop.now();
    loop.quit();
  });
  runFor(5);

  EXPECT_GT(firedAt, 0);
  EXPECT_LT(firedAt - start, 0.1);
}

TEST_F(MainLoopTest, EveryRepeatsUntilCancelled) {
  std::vector<double> ticks;
  Timer timer = loop.every(0.05, [&] { ticks.push_back(loop.now()); });
  loop.after(0.525, [&] { timer.cancel(); });
  loop.after(0.8, [&] { loop.quit(); });
  runFor(5);

  EXPECT_GE(ticks.size(), 8u);
  EXPECT_LE(ticks.size(), 10u);
  for (size_t i = 1; i < ticks.size(); ++i) EXPECT_GE(ticks[i] - ticks[i - 1], 0.045);
}

TEST_F(MainLoopTest, CancellingIsSafeBeforeAfterAndDuringTheCall) {
  int cancelledEarly = 0;
  Timer early = loop.after(0.05, [&] { ++cancelledEarly; });
  early.cancel();
  early.cancel();

  int fired = 0;
  Timer done = loop.after(0.01, [&] { ++fired; });

  int selfTicks = 0;
  Timer self;
  self = loop.every(0.01, [&] {
    if (++selfTicks == 3) self.cancel();
  });
  Timer empty;
  empty.cancel();

  loop.after(0.3, [&] { loop.quit(); });
  runFor(5);
  done.cancel();
  done.cancel();

  EXPECT_EQ(cancelledEarly, 0);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(selfTicks, 3);
}

TEST_F(MainLoopTest, QuitBeforeRunMakesRunReturnAtOnce) {
  loop.quit();
  double start = loop.now();
  runFor(2);
  EXPECT_LT(loop.now() - start, 0.5);

  // The early quit is used up: the next run waits for its own quit.
  bool ranBeforeQuit = false;
  loop.after(0.1, [&] {
    ranBeforeQuit = true;
    loop.quit();
  });
  runFor(2);
  EXPECT_TRUE(ranBeforeQuit);
}

TEST_F(MainLoopTest, NowIsMonotonicSeconds) {
  double start = loop.now();
  g_usleep(100000);
  double elapsed = loop.now() - start;
  EXPECT_GE(elapsed, 0.099);
  EXPECT_LT(elapsed, 0.3);
}

}  // namespace
}  // namespace qn::test
