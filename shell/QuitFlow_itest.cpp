#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "base/Files.h"
#include "base/Processes.h"
#include "shell/SimShell_testing.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

std::shared_ptr<ChildProcess> startShellScript(const std::string& script) {
  SpawnOptions options;
  options.executable = "/bin/sh";
  options.arguments = {"-c", script};
  return ChildProcess::spawn(options, nullptr);
}

bool tmuxServerRuns(const std::string& socket) {
  SpawnOptions options;
  options.executable = "/usr/bin/tmux";
  options.arguments = {"-L", socket, "has-session"};
  options.standardOutput = ChildOutput::null();
  options.standardError = ChildOutput::null();
  return ChildProcess::run(options) == 0;
}

class QuitFlowTest : public ::testing::Test {
 protected:
  QuitFlowTest() {
    shell_.delegate->config = AppConfig(dir_.path(), service_.port(), 47682, socket_);
  }
  ~QuitFlowTest() override {
    SpawnOptions options;
    options.executable = "/usr/bin/tmux";
    options.arguments = {"-L", socket_, "kill-server"};
    options.standardError = ChildOutput::null();
    ChildProcess::run(options);
  }

  void startTmux(int sessions) {
    for (int i = 0; i < sessions; ++i) {
      SpawnOptions options;
      options.executable = "/usr/bin/tmux";
      options.arguments = {"-L", socket_, "new-session", "-d", "-s", "s" + std::to_string(i)};
      ASSERT_EQ(ChildProcess::run(options), 0);
    }
  }

  // The shell owns a running service child.
  void ownService(const std::string& script = "while :; do sleep 0.05; done") {
    shell_.delegate->serverProcess = startShellScript(script);
    shell_.delegate->ownsServerProcess = true;
  }

  test::TempDir dir_;
  test::FakeHttpServer service_;
  std::string socket_ = "qn-quit-" + std::to_string(::getpid());
  test::SimShell shell_{dir_.file("QUENTRA"), {}};
  test::ScopedEnv lang_{"QUENTRA_LANG", "en"};
};

TEST_F(QuitFlowTest, CountsRunningThreadsFromTheServiceAnswer) {
  struct Case {
    int status;
    const char* body;
    int64_t count;
  };
  const Case cases[] = {
      {200, R"({"running": 2})", 2},
      {200, R"({"running": 3.0})", 3},
      {200, R"({"running": 2.5})", 0},
      {200, R"({"running": "2"})", 0},
      {200, R"([2])", 0},
      {200, "not json", 0},
      {503, R"({"running": 4})", 4},
      {200, R"({"other": 1})", 0},
  };
  for (const Case& c : cases) {
    service_.setReply({c.status, c.body, "application/json"});
    EXPECT_EQ(shell_.delegate->runningThreadCount(), c.count) << c.body;
  }
  shell_.delegate->config->port = test::unusedPort();
  EXPECT_EQ(shell_.delegate->runningThreadCount(), 0);
  shell_.delegate->config->port = -1;
  EXPECT_EQ(shell_.delegate->runningThreadCount(), 0);
}

TEST_F(QuitFlowTest, AsksOnlyAnOwnerWithRunningThreads) {
  service_.setReply({200, R"({"running": 2})", "application/json"});
  AppDelegate& delegate = *shell_.delegate;
  EXPECT_TRUE(delegate.applicationShouldTerminate(AppDelegate::QuitReason::User));
  EXPECT_TRUE(shell_.alerts.shown.empty()) << "attached, not owner: no question";
  EXPECT_FALSE(delegate.userConfirmedQuit);

  delegate.ownsServerProcess = true;
  EXPECT_TRUE(delegate.applicationShouldTerminate(AppDelegate::QuitReason::System));
  EXPECT_TRUE(shell_.alerts.shown.empty()) << "a system quit never asks";
  EXPECT_FALSE(delegate.userConfirmedQuit);

  shell_.alerts.answers = {1};
  EXPECT_FALSE(delegate.applicationShouldTerminate(AppDelegate::QuitReason::User));
  ASSERT_EQ(shell_.alerts.shown.size(), 1u);
  const AlertOptions& alert = shell_.alerts.shown[0];
  EXPECT_EQ(alert.style, AlertStyle::Warning);
  EXPECT_EQ(alert.message, "2 threads are running. Quitting will stop them.");
  EXPECT_EQ(alert.buttons, (std::vector<std::string>{"Quit and Stop", "Cancel"}));
  EXPECT_FALSE(delegate.userConfirmedQuit);

  service_.setReply({200, R"({"running": 1})", "application/json"});
  EXPECT_TRUE(delegate.applicationShouldTerminate(AppDelegate::QuitReason::User));
  EXPECT_EQ(shell_.alerts.shown.back().message, "1 thread is running. Quitting will stop it.");
  EXPECT_TRUE(delegate.userConfirmedQuit);

  delegate.internalQuit = true;
  EXPECT_TRUE(delegate.applicationShouldTerminate(AppDelegate::QuitReason::User));
  EXPECT_EQ(shell_.alerts.shown.size(), 2u);
}

TEST_F(QuitFlowTest, ChineseWarningAndNoQuestionWithoutThreads) {
  test::ScopedEnv zh("QUENTRA_LANG", "zh");
  shell_.delegate->ownsServerProcess = true;
  service_.setReply({200, R"({"running": 3})", "application/json"});
  shell_.alerts.answers = {1};
  shell_.delegate->applicationShouldTerminate(AppDelegate::QuitReason::User);
  ASSERT_EQ(shell_.alerts.shown.size(), 1u);
  EXPECT_EQ(shell_.alerts.shown[0].message, "有 3 个线程在运行，退出会停下它们");
  EXPECT_EQ(shell_.alerts.shown[0].buttons, (std::vector<std::string>{"退出并停下", "取消"}));

  service_.setReply({200, R"({"running": 0})", "application/json"});
  EXPECT_TRUE(shell_.delegate->applicationShouldTerminate(AppDelegate::QuitReason::User));
  EXPECT_EQ(shell_.alerts.shown.size(), 1u);
  EXPECT_TRUE(shell_.delegate->userConfirmedQuit) << "set without asking when nothing runs";
}

TEST_F(QuitFlowTest, ConfirmedQuitStopsServiceTerminalServerAndTmux) {
  startTmux(2);
  ASSERT_TRUE(tmuxServerRuns(socket_));
  ownService();
  auto ttyd = startShellScript("while :; do sleep 0.05; done");
  writeFileAtomically(dir_.file("ttyd.pid"), std::to_string(ttyd->pid()) + "\n");
  writeFileAtomically(dir_.file("service.pid"), "1");
  writeFileAtomically(dir_.file("tmux_threads.json"), "{}");
  service_.setReply({200, R"({"running": 2})", "application/json"});
  shell_.alerts.answers = {0};
  testing::internal::CaptureStdout();
  shell_.delegate->terminate();
  const std::string output = testing::internal::GetCapturedStdout();

  EXPECT_TRUE(shell_.delegate->hasTerminated());
  EXPECT_FALSE(shell_.delegate->serverProcess);
  EXPECT_FALSE(fileExists(dir_.file("service.pid")));
  EXPECT_TRUE(ttyd->waitForExit(2));
  EXPECT_FALSE(fileExists(dir_.file("ttyd.pid")));
  EXPECT_FALSE(fileExists(dir_.file("tmux_threads.json")));
  EXPECT_FALSE(tmuxServerRuns(socket_));
  EXPECT_NE(
      output.find("[QUENTRA] 用户退出：已结束 tmux -L " + socket_ + "（/usr/bin/tmux，退出码 0）"),
      std::string::npos)
      << output;
}

TEST_F(QuitFlowTest, CancelledOrAttachedQuitStopsNothing) {
  startTmux(1);
  ownService();
  service_.setReply({200, R"({"running": 1})", "application/json"});
  shell_.alerts.answers = {1};
  shell_.delegate->terminate();
  EXPECT_FALSE(shell_.delegate->hasTerminated());
  EXPECT_TRUE(shell_.delegate->serverProcess->isRunning());
  EXPECT_TRUE(tmuxServerRuns(socket_));

  // Attached to a service another shell started: no question, no signal, tmux untouched.
  const auto child = shell_.delegate->serverProcess;
  shell_.delegate->ownsServerProcess = false;
  shell_.delegate->terminate();
  EXPECT_TRUE(shell_.delegate->hasTerminated());
  EXPECT_TRUE(child->isRunning());
  EXPECT_TRUE(tmuxServerRuns(socket_));
  child->sendSignal(SIGKILL);
}

TEST_F(QuitFlowTest, AServiceIgnoringTerminateIsKilledAfterThreeSeconds) {
  ownService("trap '' TERM; while :; do sleep 0.05; done");
  const auto child = shell_.delegate->serverProcess;
  sleepSeconds(0.2);  // let the trap be installed
  const auto start = std::chrono::steady_clock::now();
  shell_.delegate->applicationWillTerminate();
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_FALSE(child->isRunning());
  EXPECT_EQ(child->terminationStatus(), SIGKILL);
  EXPECT_GE(elapsed, 3.0);
  EXPECT_LE(elapsed, 3.5);
}

TEST_F(QuitFlowTest, TerminalServerPidIsSignalledOnlyWhenItIsTheOneMeant) {
  for (const std::string text : {"0", "text", "", "-3"}) {
    ownService();
    writeFileAtomically(dir_.file("ttyd.pid"), text);
    shell_.delegate->applicationWillTerminate();
    EXPECT_TRUE(fileExists(dir_.file("ttyd.pid"))) << "'" << text << "'";
  }
  // A stale file naming a process older than the service (this test itself): never signalled.
  ownService();
  writeFileAtomically(dir_.file("ttyd.pid"), std::to_string(::getpid()));
  shell_.delegate->applicationWillTerminate();
  EXPECT_FALSE(fileExists(dir_.file("ttyd.pid")));
  SUCCEED() << "still alive";
}

TEST_F(QuitFlowTest, TmuxCandidatesSkipHiddenAndTemporaryRuntimes) {
  // Each runtime records that it was used; only the first usable one may run.
  const auto fakeTmux = [&](const std::string& folder) {
    createDirectories(dir_.file("runtime/tmux/" + folder + "/bin"));
    const std::string path = dir_.file("runtime/tmux/" + folder + "/bin/tmux");
    writeFileAtomically(path, "#!/bin/sh\necho \"$@\" >> " + dir_.file("used-" + folder) + "\n");
    ::chmod(path.c_str(), 0755);
  };
  fakeTmux(".hidden");
  fakeTmux("3.4.tmp-123");
  fakeTmux("good");
  createDirectories(dir_.file("runtime/tmux/nobin"));
  writeFileAtomically(dir_.file("runtime/tmux/afile"), "x");
  shell_.delegate->stopAllThreadsForUserQuit();
  EXPECT_EQ(readFile(dir_.file("used-good")), "-L " + socket_ + " kill-server\n");
  EXPECT_FALSE(fileExists(dir_.file("used-.hidden")));
  EXPECT_FALSE(fileExists(dir_.file("used-3.4.tmp-123")));
}

}  // namespace
}  // namespace qn
