#include "shell/SingleInstance.h"

#include <gtest/gtest.h>

#include <mutex>

#include "base/Files.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

// Collects what a running shell was handed.
struct Received {
  std::mutex mutex;
  std::vector<std::vector<std::string>> messages;
  SingleInstance::Handler handler() {
    return [this](std::vector<std::string> urls) {
      std::lock_guard lock(mutex);
      messages.push_back(std::move(urls));
    };
  }
  size_t count() {
    std::lock_guard lock(mutex);
    return messages.size();
  }
};

TEST(SingleInstance, ASecondShellHandsItsURLsToTheFirst) {
  test::TempDir dir;
  Received first;
  auto primary = SingleInstance::claim(dir.path(), {}, first.handler());
  ASSERT_TRUE(primary);
  Received second;
  EXPECT_FALSE(SingleInstance::claim(dir.path(), {"quentra://skill/x", "quentra://skills/ask?q=hi"},
                                     second.handler()));
  // Reached through another spelling of the same folder.
  EXPECT_FALSE(SingleInstance::claim(dir.path() + "/./", {}, second.handler()));
  ASSERT_TRUE(test::eventually([&] { return first.count() == 2; }, 5));
  EXPECT_EQ(first.messages[0],
            (std::vector<std::string>{"quentra://skill/x", "quentra://skills/ask?q=hi"}));
  EXPECT_TRUE(first.messages[1].empty()) << "no URL: just come forward";
  EXPECT_EQ(second.count(), 0u);
}

TEST(SingleInstance, DifferentDataDirectoriesRunSideBySide) {
  test::TempDir a, b;
  Received ra, rb;
  auto first = SingleInstance::claim(a.path(), {}, ra.handler());
  auto second = SingleInstance::claim(b.path(), {}, rb.handler());
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
}

TEST(SingleInstance, TheNameIsFreedWhenTheShellEnds) {
  test::TempDir dir;
  Received r;
  { auto primary = SingleInstance::claim(dir.path(), {}, r.handler()); }
  EXPECT_TRUE(SingleInstance::claim(dir.path(), {}, r.handler()));
}

TEST(SingleInstance, AHugeURLArrivesWhole) {
  test::TempDir dir;
  Received r;
  auto primary = SingleInstance::claim(dir.path(), {}, r.handler());
  const std::string huge = "quentra://skills/ask?q=" + std::string(1024 * 1024, 'a');
  EXPECT_FALSE(SingleInstance::claim(dir.path(), {huge, "line\nbreak"}, r.handler()));
  ASSERT_TRUE(test::eventually([&] { return r.count() == 1; }, 5));
  EXPECT_EQ(r.messages[0], std::vector<std::string>{huge});
}

TEST(SingleInstance, PicksTheAppsOwnURLsFromTheArguments) {
  EXPECT_EQ(SingleInstance::urlArguments({"--port", "9", "quentra://skill/a", "QUENTRA://x",
                                          "http://x", "-d", "/d", "quentra:"}),
            (std::vector<std::string>{"quentra://skill/a", "QUENTRA://x", "quentra:"}));
}

}  // namespace
}  // namespace qn
