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
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestBundle.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

std::string run(const std::string& executable, std::vector<std::string> arguments) {
  SpawnOptions options;
  options.executable = executable;
  options.arguments = std::move(arguments);
  options.standardError = ChildOutput::null();
  std::string output;
  ChildProcess::run(options, &output);
  return output;
}

// Visible top-level windows named exactly "QUENTRA".
std::vector<std::string> shellWindows() {
  return split(run("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", "^QUENTRA$"}), '\n',
               true);
}

// Width and height as the X server has them.
std::pair<int, int> windowSize(const std::string& id) {
  const std::string info = run("/usr/bin/xwininfo", {"-id", id});
  const auto field = [&](const std::string& name) {
    const size_t at = info.find(name);
    if (at == std::string::npos) return -1;
    const size_t end = info.find('\n', at);
    return static_cast<int>(
        parseInt64(trimWhitespace(info.substr(at + name.size(), end - at - name.size())))
            .value_or(-1));
  };
  return {field("Width:"), field("Height:")};
}

// True when the screen shows at least a few pixels of exactly this colour.
bool screenShows(const std::string& hexColour, const std::string& shotPath) {
  run("/usr/bin/import", {"-window", "root", shotPath});
  const std::string histogram =
      run("/usr/bin/convert", {shotPath, "-format", "%c", "histogram:info:-"});
  return histogram.find(hexColour) != std::string::npos;
}

class ShellLaunchTest : public ::testing::Test {
 protected:
  std::shared_ptr<ChildProcess> launch(const std::string& bundle, int port) {
    SpawnOptions options;
    options.executable = bundle + "/Contents/MacOS/QUENTRA";
    options.arguments = {"--port", std::to_string(port), "--data-dir", dataDir_};
    Environment environment = Environment::current();
    environment.set("QUENTRA_LANG", "en");
    options.environment = environment.toList();
    auto shell = ChildProcess::spawn(options, nullptr);
    if (shell) running_.push_back(shell);
    return shell;
  }

  static void stop(const std::shared_ptr<ChildProcess>& shell) {
    shell->sendSignal(SIGTERM);
    ASSERT_TRUE(shell->waitForExit(10));
    EXPECT_EQ(shell->terminationStatus(), 0);
  }

  std::string log() { return readFile(dataDir_ + "/logs/server.log").value_or(""); }

  ~ShellLaunchTest() override {
    for (const auto& shell : running_) {
      shell->sendSignal(SIGKILL);
      shell->waitForExit(5);
    }
  }

  test::TempDir dir_;
  std::string dataDir_ = dir_.file("data");
  std::vector<std::shared_ptr<ChildProcess>> running_;
};

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
  ASSERT_TRUE(test::eventually(
      [&] {
        return log().size() > firstSize && log().find(" GET / 200", firstSize) != std::string::npos;
      },
      20));
  EXPECT_EQ(log().substr(0, firstSize).size(), firstSize);
  stop(second);
}

TEST_F(ShellLaunchTest, MissingRuntimeShowsTheErrorPage) {
  test::TestBundleOptions noRuntime;
  noRuntime.withRuntime = false;
  const std::string bundle = test::makeTestBundle(dir_.path(), noRuntime);
  std::filesystem::copy_file(std::string(QN_BUNDLE_DIR) + "/Contents/MacOS/QUENTRA",
                             bundle + "/Contents/MacOS/QUENTRA");
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
