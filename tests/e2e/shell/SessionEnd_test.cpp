// The end of the desktop session, announced by a session manager on the private session bus or
// by the display going away: the shell quits without asking, stops the service it started and
// leaves the AI threads running.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>

#include "base/Decimal.h"
#include "base/Files.h"
#include "base/HttpGet.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "tests/e2e/shell/FakeSessionManager.h"
#include "tests/e2e/shell/ShellDesktop.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

// Two AI threads on a private tmux socket.
class TmuxThreads {
 public:
  TmuxThreads() {
    for (const char* name : {"one", "two"}) {
      test::run("/usr/bin/tmux", {"-L", socket, "new-session", "-d", "-s", name, "sleep 600"});
    }
  }
  ~TmuxThreads() { test::run("/usr/bin/tmux", {"-L", socket, "kill-server"}); }
  size_t count() const {
    return split(test::run("/usr/bin/tmux", {"-L", socket, "list-sessions"}), '\n', true).size();
  }

  // Unique to the instance: a server just told to end may still hold the previous name.
  const std::string socket =
      "qn-session-end-" + std::to_string(::getpid()) + "-" + std::to_string(++made_);

 private:
  static inline int made_ = 0;
};

class SessionEndTest : public test::ShellDesktopTest,
                       public ::testing::WithParamInterface<const char*> {};

TEST_P(SessionEndTest, QuitsWithoutAskingAndLeavesTheThreads) {
  test::FakeSessionManager manager;
  ASSERT_TRUE(manager.ready());
  TmuxThreads threads;
  ASSERT_EQ(threads.count(), 2u);
  const int port = test::unusedPort();
  auto shell = launch(QN_BUNDLE_DIR, port, {"--socket", threads.socket});
  ASSERT_TRUE(waitForPage());
  const auto registered = [&] {
    const auto appIds = manager.registrations();
    return std::count(appIds.begin(), appIds.end(), "quentra");
  };
  ASSERT_TRUE(test::eventually([&] { return registered() > 0; }, 10));
  EXPECT_EQ(registered(), 1);
  const auto servicePid = parseInt32(readFile(dataDir_ + "/service.pid").value_or(""));
  ASSERT_TRUE(servicePid);
  // A quit by the user would ask first.
  const auto state = httpGetWithin(*loopbackURL(port, "/api/tmux-keep/state"), 2, 3);
  ASSERT_TRUE(state);
  EXPECT_EQ(state->body, R"({"running":2})");

  manager.send("QueryEndSession");
  ASSERT_TRUE(test::eventually([&] { return manager.responsesFrom("quentra").size() == 1; }, 10));
  EXPECT_TRUE(manager.responsesFrom("quentra")[0]) << "the shell lets the session end";
  EXPECT_TRUE(shell->isRunning()) << "a query alone ends nothing";

  manager.send(GetParam());
  ASSERT_TRUE(shell->waitForExit(10)) << "no question holds the quit up";
  EXPECT_EQ(shell->terminationStatus(), 0);
  EXPECT_FALSE(processExists(*servicePid)) << "the service the shell started is stopped";
  EXPECT_FALSE(fileExists(dataDir_ + "/service.pid"));
  EXPECT_EQ(threads.count(), 2u) << "the threads are left running";
  if (std::string(GetParam()) == "EndSession") {
    EXPECT_EQ(manager.responsesFrom("quentra"), (std::vector<bool>{true, true}));
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, SessionEndTest, ::testing::Values("EndSession", "Stop"));

// An X server of the test's own, which it can end as a session's display ends at log out.
class OwnDisplay {
 public:
  OwnDisplay() {
    const std::string file = folder_.file("display");
    SpawnOptions options;
    options.executable = "/bin/sh";
    options.arguments = {"-c",
                         "exec Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp 3>" + file};
    options.standardOutput = ChildOutput::null();
    options.standardError = ChildOutput::null();
    server_ = ChildProcess::spawn(options, nullptr);
    test::eventually(
        [&] {
          name_ = trimWhitespace(readFile(file).value_or(""));
          return !name_.empty();
        },
        10);
  }
  ~OwnDisplay() { end(); }
  // ":N", empty when the server did not start.
  std::string name() const { return name_.empty() ? "" : ":" + name_; }
  void end() {
    if (!server_) return;
    server_->sendSignal(SIGTERM);
    server_->waitForExit(10);
    server_.reset();
  }

 private:
  test::TempDir folder_;
  std::shared_ptr<ChildProcess> server_;
  std::string name_;
};

using DisplayLossTest = test::ShellDesktopTest;

TEST_F(DisplayLossTest, TheDisplayEndingQuitsLikeTheSessionEnding) {
  OwnDisplay display;
  ASSERT_FALSE(display.name().empty());
  TmuxThreads threads;
  std::shared_ptr<ChildProcess> shell;
  {
    test::ScopedEnv onIt("DISPLAY", display.name());
    shell = launch(QN_BUNDLE_DIR, test::unusedPort(), {"--socket", threads.socket});
  }
  ASSERT_TRUE(waitForPage());
  const auto servicePid = parseInt32(readFile(dataDir_ + "/service.pid").value_or(""));
  ASSERT_TRUE(servicePid);

  display.end();

  ASSERT_TRUE(shell->waitForExit(10));
  EXPECT_EQ(shell->terminationStatus(), 0);
  EXPECT_FALSE(processExists(*servicePid)) << "the service the shell started is stopped";
  EXPECT_EQ(threads.count(), 2u) << "the threads are left running";
}

}  // namespace
}  // namespace qn
