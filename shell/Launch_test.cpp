#include <gtest/gtest.h>

#include "base/Files.h"
#include "shell/ShellLang.h"
#include "shell/SimShell_testing.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

// A shell on the simulated desktop whose service port is held by a fake service, so the launch
// attaches to it without starting a child.
class LaunchTest : public ::testing::Test {
 protected:
  std::shared_ptr<AppDelegate> makeDelegate(std::vector<std::string> arguments) {
    shell_ = std::make_unique<test::SimShell>(dir_.file("none/QUENTRA"), arguments, Environment());
    return shell_->delegate;
  }

  test::TempDir dir_;
  test::FakeHttpServer service_;
  std::unique_ptr<test::SimShell> shell_;
  test::ScopedEnv lang_{"QUENTRA_LANG", "en"};
};

TEST_F(LaunchTest, CreatesTheDataDirectoryAndTheWindowThenAttaches) {
  const std::string dataDir = dir_.file("fresh/data");
  auto delegate = makeDelegate({"--data-dir", dataDir, "--port", std::to_string(service_.port())});
  delegate->applicationDidFinishLaunching();

  EXPECT_TRUE(isDirectory(dataDir + "/logs"));
  EXPECT_EQ(delegate->logFilePath, dataDir + "/logs/server.log");
  EXPECT_EQ(ShellLang::dataDir(), dataDir);

  ASSERT_EQ(shell_->windows.created.size(), 1u);
  const SimMainWindow& window = *shell_->windows.created[0];
  EXPECT_EQ(window.contentSize.width, 1240);
  EXPECT_EQ(window.contentSize.height, 820);
  EXPECT_TRUE(window.centered);
  EXPECT_EQ(window.title, "QUENTRA");
  EXPECT_EQ(window.minSize->width, 800);
  EXPECT_EQ(window.minSize->height, 600);
  EXPECT_DOUBLE_EQ(window.background->red, 0.11);
  EXPECT_DOUBLE_EQ(window.background->green, 0.11);
  EXPECT_DOUBLE_EQ(window.background->blue, 0.12);
  EXPECT_TRUE(window.visible);

  ASSERT_TRUE(window.webView);
  const WebViewConfig& config = window.webView->config;
  EXPECT_TRUE(config.developerExtras);
  EXPECT_FALSE(config.mediaPlaybackRequiresUserGesture);
  EXPECT_FALSE(config.drawsBackground);
  EXPECT_FALSE(config.allowsAirPlay);
  EXPECT_TRUE(config.throttleWhenInactive);
  EXPECT_EQ(config.scriptMessageHandlers, std::vector<std::string>{"qnSpeech"});
  EXPECT_EQ(window.webView->delegate, delegate.get());
  EXPECT_EQ(window.webView->warmUps,
            std::vector<std::string>{"http://127.0.0.1:" + std::to_string(service_.port()) +
                                     "/.quentra-warm-up"});
  ASSERT_TRUE(delegate->speechBridge);

  // Attached to the running service: nothing owned, no pid file, the page loads at once.
  EXPECT_FALSE(delegate->ownsServerProcess);
  EXPECT_FALSE(delegate->serverProcess);
  EXPECT_FALSE(fileExists(dataDir + "/service.pid"));
  EXPECT_TRUE(window.webView->loads.empty()) << "the load is queued, not immediate";
  shell_->loop.runPending();
  ASSERT_EQ(window.webView->loads.size(), 1u);
  EXPECT_EQ(window.webView->loads[0].content,
            "http://127.0.0.1:" + std::to_string(service_.port()) + "/");
  EXPECT_EQ(window.webView->loads[0].timeoutSeconds, 60);

  window.webView->finishLoad();
  EXPECT_TRUE(delegate->isPageLoaded);
}

TEST_F(LaunchTest, PortTakenByAnotherProgramAlertsAndQuits) {
  service_.setReply({200, "<html>someone else</html>", "text/html"});
  auto delegate = makeDelegate({"-d", dir_.file("d"), "-p", std::to_string(service_.port())});
  delegate->applicationDidFinishLaunching();
  ASSERT_EQ(shell_->alerts.shown.size(), 1u);
  const AlertOptions& alert = shell_->alerts.shown[0];
  EXPECT_EQ(alert.style, AlertStyle::Critical);
  EXPECT_EQ(alert.message, "Port already in use");
  EXPECT_EQ(alert.informative,
            "Port " + std::to_string(service_.port()) +
                " is being used by another program, so QUENTRA can't start its local service.\n\n"
                "Please quit the program using this port, then open QUENTRA again.");
  EXPECT_EQ(alert.buttons, std::vector<std::string>{"Quit"});
  EXPECT_TRUE(delegate->internalQuit);
  EXPECT_TRUE(delegate->hasTerminated());
  EXPECT_TRUE(shell_->loop.quitRequested());
}

TEST_F(LaunchTest, ConflictAlertInChinese) {
  test::ScopedEnv zh("QUENTRA_LANG", "zh");
  service_.setReply({200, "busy", "text/plain"});
  const std::string port = std::to_string(service_.port());
  auto delegate = makeDelegate({"-d", dir_.file("d"), "-p", port});
  delegate->applicationDidFinishLaunching();
  ASSERT_EQ(shell_->alerts.shown.size(), 1u);
  EXPECT_EQ(shell_->alerts.shown[0].message, "端口占用冲突");
  EXPECT_EQ(
      shell_->alerts.shown[0].informative,
      "端口 " + port +
          " 已被其他程序占用，无法启动 QUENTRA 本地服务。\n\n请先关闭占用该端口的程序后再启动。");
  EXPECT_EQ(shell_->alerts.shown[0].buttons, std::vector<std::string>{"退出"});
}

TEST_F(LaunchTest, WithoutResourcesTheErrorPageSaysSo) {
  auto delegate = makeDelegate({"-d", dir_.file("d"), "-p", std::to_string(test::unusedPort())});
  delegate->applicationDidFinishLaunching();
  shell_->loop.runPending();
  const SimWebView& webView = *shell_->windows.created[0]->webView;
  ASSERT_EQ(webView.loads.size(), 1u);
  EXPECT_EQ(webView.loads[0].kind, SimWebView::Load::Kind::HTML);
  EXPECT_NE(webView.loads[0].content.find("<p>Can't find the app's resources folder.</p>"),
            std::string::npos);
  EXPECT_FALSE(delegate->serverProcess);
  EXPECT_FALSE(delegate->ownsServerProcess);
  // The error page has no base URL, so it is not a page of the service.
  shell_->windows.created[0]->webView->finishLoad();
  EXPECT_FALSE(delegate->isPageLoaded);
}

}  // namespace
}  // namespace qn
