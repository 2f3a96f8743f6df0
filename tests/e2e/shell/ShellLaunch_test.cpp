// The built bundle on a real desktop: window, service, pid file, log, error page, port conflict.
// Runs under with-desktop.sh, which provides the X server and the window manager.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "base/ChildProcess.h"
#include "base/Decimal.h"
#include "base/Environment.h"
#include "base/Files.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "tests/e2e/shell/ShellDesktop.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestBundle.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

using ShellLaunchTest = test::ShellDesktopTest;
using test::run;
using test::screenShows;
using test::shellWindows;
using test::windowSize;

TEST_F(ShellLaunchTest, OpensTheWindowAndLoadsTheServicePage) {
  const int port = test::unusedPort();
  auto shell = launch(QN_BUNDLE_DIR, port);
  ASSERT_TRUE(shell);
  ASSERT_TRUE(test::eventually([&] { return log().find(" GET / 200") != std::string::npos; }, 20))
      << log();

  const auto windows = shellWindows();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windowSize(windows[0]), std::make_pair(1240, 820));

  const auto pid = parseInt32(readFile(dataDir_ + "/service.pid").value_or(""));
  ASSERT_TRUE(pid);
  EXPECT_EQ(parentProcessId(*pid), shell->pid());
  EXPECT_TRUE(test::eventually([&] { return screenShows("#30D158", dir_.file("page.png")); }, 10))
      << "the service page's badge is on screen";

  stop(shell);
  EXPECT_FALSE(processExists(*pid)) << "quitting stops the service the shell started";
  EXPECT_FALSE(fileExists(dataDir_ + "/service.pid"));

  const size_t firstSize = log().size();
  auto second = launch(QN_BUNDLE_DIR, port);
  ASSERT_TRUE(waitForPage(firstSize));
  EXPECT_EQ(log().substr(0, firstSize).size(), firstSize);
  stop(second);
}

TEST_F(ShellLaunchTest, MissingRuntimeShowsTheErrorPage) {
  const std::string bundle = bundleWithoutRuntime();
  auto shell = launch(bundle, test::unusedPort());
  ASSERT_TRUE(shell);
  // The error page's primary button is the only thing of this blue.
  EXPECT_TRUE(test::eventually([&] { return screenShows("#0A84FF", dir_.file("error.png")); }, 20));
  EXPECT_FALSE(fileExists(dataDir_ + "/service.pid"));
  stop(shell);
}

TEST_F(ShellLaunchTest, ForeignServerOnThePortAlertsAndQuits) {
  test::FakeHttpServer foreign;
  foreign.setReply({200, "<html>another program</html>", "text/html"});
  auto shell = launch(QN_BUNDLE_DIR, foreign.port());
  ASSERT_TRUE(shell);
  // The main window and the alert.
  ASSERT_TRUE(test::eventually([] { return shellWindows().size() == 2; }, 20));
  EXPECT_TRUE(shell->isRunning()) << "the shell waits for the alert's button";
  const auto windows = shellWindows();
  const std::string alert = windowSize(windows[0]).first < 1240 ? windows[0] : windows[1];
  run("/usr/bin/xdotool", {"windowactivate", "--sync", alert});
  run("/usr/bin/xdotool", {"key", "--clearmodifiers", "Return"});
  ASSERT_TRUE(shell->waitForExit(10));
  EXPECT_EQ(shell->terminationStatus(), 0);
  EXPECT_FALSE(fileExists(dataDir_ + "/service.pid")) << "no service was started";
}

}  // namespace
}  // namespace qn
