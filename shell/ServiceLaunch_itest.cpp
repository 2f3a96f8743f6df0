#include <gtest/gtest.h>
#include <signal.h>

#include "base/Decimal.h"
#include "base/Files.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "shell/SimShell_testing.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestBundle.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

// Real service launches from a bundle laid out in a temporary folder, on the simulated desktop.
class ServiceLaunchTest : public ::testing::Test {
 protected:
  std::unique_ptr<test::SimShell> launch(const test::TestBundleOptions& bundleOptions = {},
                                         Environment environment = Environment::current()) {
    const std::string bundle = test::makeTestBundle(dir_.path(), bundleOptions);
    auto shell = std::make_unique<test::SimShell>(
        test::bundleExecutable(bundle),
        std::vector<std::string>{"--port", std::to_string(port_), "--data-dir", dataDir_},
        std::move(environment));
    shell->delegate->applicationDidFinishLaunching();
    return shell;
  }

  // Lets real time pass while the virtual clock ticks, until the page load is queued.
  static bool waitForPage(test::SimShell& shell) {
    return test::eventually(
        [&] {
          shell.loop.advance(0.2);
          return !shell.webView().loads.empty();
        },
        15);
  }

  std::string logText() { return readFile(dataDir_ + "/logs/server.log").value_or(""); }

  test::TempDir dir_;
  std::string dataDir_ = dir_.file("data");
  int port_ = test::unusedPort();
  test::ScopedEnv lang_{"QUENTRA_LANG", "en"};
};

TEST_F(ServiceLaunchTest, StartsTheServiceRecordsItsPidAndLoadsThePage) {
  auto shell = launch();
  AppDelegate& delegate = *shell->delegate;
  ASSERT_TRUE(delegate.serverProcess);
  EXPECT_TRUE(delegate.ownsServerProcess);
  const pid_t pid = delegate.serverProcess->pid();
  EXPECT_EQ(readFile(dataDir_ + "/service.pid"), std::to_string(pid));

  ASSERT_TRUE(waitForPage(*shell));
  shell->loop.runPending();
  ASSERT_EQ(shell->webView().loads.size(), 1u);
  EXPECT_EQ(shell->webView().loads[0].content, "http://127.0.0.1:" + std::to_string(port_) + "/");

  // The child got the settings and runs from the script's folder.
  const std::string environ = readFile("/proc/" + std::to_string(pid) + "/environ").value_or("");
  for (const std::string& entry : std::vector<std::string>{
           "QUENTRA_PORT=" + std::to_string(port_), "QUENTRA_DATA_DIR=" + dataDir_,
           "QUENTRA_APP_BUNDLE=1", "QUENTRA_TTYD_PORT=47682", "QUENTRA_TMUX_SOCKET=quentra",
           "QUENTRA_APP_PATH=" + dir_.file("QUENTRA.app")}) {
    EXPECT_NE(environ.find(std::string("\0", 1) + entry + std::string("\0", 1)), std::string::npos)
        << entry;
  }
  EXPECT_EQ(resolveSymlinks("/proc/" + std::to_string(pid) + "/cwd"),
            resolveSymlinks(dir_.file("QUENTRA.app/Contents/Resources/app")));
  EXPECT_NE(logText().find("QUENTRA service listening"), std::string::npos);

  // A trace entry was written before the service started.
  const std::string trace = readFile(dataDir_ + "/logs/tmux_trace.log").value_or("");
  EXPECT_NE(trace.find("④前 外壳 7 启动、新服务起来前 | socket=quentra tmux服务="),
            std::string::npos)
      << trace;

  delegate.terminate();
  EXPECT_FALSE(processExists(pid));
  EXPECT_FALSE(fileExists(dataDir_ + "/service.pid"));
  EXPECT_FALSE(delegate.serverProcess);
}

TEST_F(ServiceLaunchTest, TwoLaunchesAppendToOneLog) {
  {
    auto first = launch();
    ASSERT_TRUE(waitForPage(*first));
    first->delegate->terminate();
  }
  const size_t firstSize = logText().size();
  ASSERT_GT(firstSize, 0u);
  {
    auto second = launch();
    ASSERT_TRUE(waitForPage(*second));
    second->delegate->terminate();
  }
  const std::string log = logText();
  EXPECT_GT(log.size(), firstSize);
  size_t starts = 0;
  for (size_t at = log.find("listening on"); at != std::string::npos;
       at = log.find("listening on", at + 1)) {
    ++starts;
  }
  EXPECT_EQ(starts, 2u);
}

TEST_F(ServiceLaunchTest, AnUnopenableLogLeavesTheServiceOnTheShellsOutput) {
  createDirectories(dataDir_ + "/logs/server.log");  // a folder where the log should be
  testing::internal::CaptureStdout();
  auto shell = launch();
  const bool loaded = waitForPage(*shell);
  shell->delegate->terminate();
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(loaded);
  EXPECT_NE(output.find("QUENTRA service listening"), std::string::npos);
  EXPECT_TRUE(isDirectory(dataDir_ + "/logs/server.log"));
}

TEST_F(ServiceLaunchTest, MissingFilesShowThePageNamingTheRuntime) {
  test::TestBundleOptions noScript, noRuntime;
  noScript.withScript = false;
  noRuntime.withRuntime = false;
  for (const test::TestBundleOptions& options : {noScript, noRuntime}) {
    test::TempDir dir;
    const std::string bundle = test::makeTestBundle(dir.path(), options);
    test::SimShell shell(test::bundleExecutable(bundle),
                         {"-p", std::to_string(port_), "-d", dataDir_});
    shell.delegate->applicationDidFinishLaunching();
    shell.loop.runPending();
    ASSERT_EQ(shell.webView().loads.size(), 1u);
    EXPECT_NE(shell.webView().loads[0].content.find(
                  "The built-in Node.js runtime or app service files are missing:<br>" + bundle +
                  "/Contents/Resources/node/bin/node</p>"),
              std::string::npos);
    EXPECT_FALSE(shell.delegate->serverProcess);
  }
}

TEST_F(ServiceLaunchTest, ExitStatusIsLoggedAndNothingElseChanges) {
  Environment environment = Environment::current();
  environment.set("QUENTRA_TEST_EXIT_CODE", "3");
  testing::internal::CaptureStdout();
  auto shell = launch({}, environment);
  const auto child = shell->delegate->serverProcess;
  ASSERT_TRUE(child);
  ASSERT_TRUE(child->waitForExit(10));
  sleepSeconds(0.5);  // the exit line is written by the waiter thread just after the reap
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_NE(output.find("[QUENTRA] 内置服务进程已启动 (pid " + std::to_string(child->pid()) +
                        ")，正在等待就绪..."),
            std::string::npos);
  EXPECT_NE(output.find("[QUENTRA] 内置服务进程退出 (code 3)"), std::string::npos) << output;
  EXPECT_EQ(shell->delegate->serverProcess, child);
  EXPECT_TRUE(shell->delegate->ownsServerProcess);
}

TEST_F(ServiceLaunchTest, RetryWhileTheOwnChildRunsStartsNoSecondService) {
  auto shell = launch();
  AppDelegate& delegate = *shell->delegate;
  const auto child = delegate.serverProcess;
  ASSERT_TRUE(child);
  // Before it answers: a new wait for the same child.
  delegate.checkPortAndStartServer();
  EXPECT_EQ(delegate.serverProcess, child);
  ASSERT_TRUE(waitForPage(*shell));
  // Once it answers: attached, still owned, so quitting stops it.
  delegate.checkPortAndStartServer();
  EXPECT_EQ(delegate.serverProcess, child);
  EXPECT_TRUE(delegate.ownsServerProcess);
  delegate.terminate();
  EXPECT_FALSE(child->isRunning());
}

}  // namespace
}  // namespace qn
