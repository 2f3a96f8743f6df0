// The built shell's web host on a real desktop: links handed over by a second shell, the error
// page's retry link.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "base/Files.h"
#include "base/Text.h"
#include "tests/e2e/shell/ShellDesktop.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestBundle.h"

namespace qn {
namespace {

using WebHostTest = test::ShellDesktopTest;

// The payloads the page reported back through the service.
std::vector<nlohmann::json> pageEvents(const std::string& log) {
  std::vector<nlohmann::json> events;
  for (const std::string& line : split(log, '\n', true)) {
    if (line.starts_with("page event ")) {
      events.push_back(nlohmann::json::parse(line.substr(11), nullptr, false));
    }
  }
  return events;
}

std::string percentEncode(const std::string& text) {
  std::string encoded;
  for (unsigned char c : text) {
    if (std::isalnum(c)) {
      encoded += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      encoded += hex;
    }
  }
  return encoded;
}

TEST_F(WebHostTest, ASecondShellHandsItsLinkToTheRunningPage) {
  const int port = test::unusedPort();
  auto first = launch(QN_BUNDLE_DIR, port);
  ASSERT_TRUE(waitForPage());

  const std::string question = "say \"hi\" \\ now\n</script>\xE2\x80\xA8 end";
  auto second = launch(QN_BUNDLE_DIR, port, {"quentra://skills/ask?q=" + percentEncode(question)});
  ASSERT_TRUE(second->waitForExit(10)) << "the second shell hands over and ends";
  EXPECT_EQ(second->terminationStatus(), 0);
  ASSERT_TRUE(test::eventually([&] { return !pageEvents(log()).empty(); }, 10)) << log();
  EXPECT_EQ(pageEvents(log())[0], (nlohmann::json{{"action", "ask"}, {"q", question}}));
  EXPECT_TRUE(first->isRunning());
  EXPECT_EQ(test::shellWindows().size(), 1u) << "no second window";
  stop(first);
}

TEST_F(WebHostTest, ShellsOfDifferentDataDirectoriesRunSideBySide) {
  auto first = launch(QN_BUNDLE_DIR, test::unusedPort());
  ASSERT_TRUE(waitForPage());
  dataDir_ = dir_.file("other");
  auto second = launch(QN_BUNDLE_DIR, test::unusedPort());
  ASSERT_TRUE(waitForPage());
  EXPECT_TRUE(test::eventually([] { return test::shellWindows().size() == 2; }, 10));
  EXPECT_TRUE(first->isRunning());
  EXPECT_TRUE(second->isRunning());
  stop(second);
  stop(first);
}

TEST_F(WebHostTest, OpenLogOnTheErrorPageOpensTheLogWithTheDefaultApplication) {
  const std::string opened =
      test::recordDefaultApplication(dir_.path(), {"text/plain", "text/x-log"});
  createDirectories(dataDir_ + "/logs");
  writeFileAtomically(dataDir_ + "/logs/server.log", "an earlier run\n");
  auto shell = launch(bundleWithoutRuntime(), test::unusedPort());
  ASSERT_TRUE(
      test::eventually([&] { return test::screenShows("#0A84FF", dir_.file("error.png")); }, 20));
  const auto windows = test::shellWindows();
  ASSERT_EQ(windows.size(), 1u);
  // The page's first link, "Open Log", followed from the keyboard.
  test::run("/usr/bin/xdotool", {"windowactivate", "--sync", windows[0]});
  test::run("/usr/bin/xdotool", {"key", "--clearmodifiers", "Tab", "Return"});
  EXPECT_TRUE(test::eventually([&] { return fileExists(opened); }, 10));
  // A local file reaches the application as its path.
  EXPECT_EQ(readFile(opened).value_or(""), dataDir_ + "/logs/server.log\n");
  EXPECT_TRUE(test::screenShows("#0A84FF", dir_.file("still.png"))) << "the view did not navigate";
  stop(shell);
}

TEST_F(WebHostTest, RetryOnTheErrorPageStartsTheService) {
  const std::string bundle = bundleWithoutRuntime();
  auto shell = launch(bundle, test::unusedPort());
  ASSERT_TRUE(
      test::eventually([&] { return test::screenShows("#0A84FF", dir_.file("error.png")); }, 20));
  EXPECT_TRUE(log().empty()) << "no service yet";

  // The runtime arrives; the page's second link, "Retry", is followed from the keyboard.
  std::filesystem::create_symlink(test::nodeExecutable(),
                                  bundle + "/Contents/Resources/node/bin/node");
  const auto windows = test::shellWindows();
  ASSERT_EQ(windows.size(), 1u);
  test::run("/usr/bin/xdotool", {"windowactivate", "--sync", windows[0]});
  test::run("/usr/bin/xdotool", {"key", "--clearmodifiers", "Tab", "Tab", "Return"});
  EXPECT_TRUE(waitForPage()) << log();
  EXPECT_TRUE(
      test::eventually([&] { return test::screenShows("#30D158", dir_.file("page.png")); }, 10));
  stop(shell);
}

}  // namespace
}  // namespace qn

namespace qn {
namespace {

// A page that asks the three questions in turn and reports each answer, then follows a link to
// another site. It is served by a fake service the shell attaches to.
constexpr const char* dialogPage = R"(<!DOCTYPE html><html><body style="background:#222">
<a id="away" href="https://example.invalid/elsewhere">away</a>
<script>
window.addEventListener('load', () => setTimeout(() => {
  const ok = confirm('Proceed?');
  fetch('/answer?confirm=' + ok).then(() => {
    const name = prompt('Name?', 'default');
    return fetch('/answer?prompt=' + encodeURIComponent(String(name)));
  }).then(() => {
    alert('Done');
    return fetch('/answer?alert=closed');
  }).then(() => {
    document.getElementById('away').click();
    setTimeout(() => fetch('/answer?still=' + encodeURIComponent(location.href)), 1000);
  });
}, 300));
</script></body></html>)";

class WebHostPanelsTest : public test::ShellDesktopTest {
 protected:
  WebHostPanelsTest() {
    service_.setRoute("/api/health", {200, R"({"product":"QUENTRA"})", "application/json"});
    service_.setRoute("/", {200, dialogPage, "text/html"});
    service_.setReply({200, "", "text/plain"});
  }
  bool answered(const std::string& path) {
    return test::eventually(
        [&] {
          const auto paths = service_.paths();
          return std::find(paths.begin(), paths.end(), path) != paths.end();
        },
        15);
  }
  static void keys(std::vector<std::string> names) {
    names.insert(names.begin(), {"key", "--clearmodifiers", "--delay", "80"});
    test::run("/usr/bin/xdotool", names);
  }
  // Waits for the panel in front of the main window and gives it the keyboard.
  static void focusPanel() {
    ASSERT_TRUE(test::eventually([] { return test::shellWindows().size() == 2; }, 15));
    for (const std::string& id : test::shellWindows()) {
      if (test::windowSize(id).first < 1240)
        test::run("/usr/bin/xdotool", {"windowactivate", "--sync", id});
    }
  }

  test::FakeHttpServer service_;
};

TEST_F(WebHostPanelsTest, ThePagesQuestionsGetTheirAnswersAndExternalLinksLeave) {
  // The desktop's default browser is a script that records what it was asked to open.
  const std::string opened =
      test::recordDefaultApplication(dir_.path(), {"x-scheme-handler/https"});

  auto shell = launch(QN_BUNDLE_DIR, service_.port());
  focusPanel();
  keys({"Return"});
  ASSERT_TRUE(answered("/answer?confirm=true"));
  focusPanel();
  keys({"ctrl+a", "t", "y", "p", "e", "d", "Return"});
  ASSERT_TRUE(answered("/answer?prompt=typed"));
  focusPanel();
  keys({"Escape"});
  ASSERT_TRUE(answered("/answer?alert=closed"));

  const std::string page = "http://127.0.0.1:" + std::to_string(service_.port()) + "/";
  EXPECT_TRUE(answered("/answer?still=" + std::string("http%3A%2F%2F127.0.0.1%3A") +
                       std::to_string(service_.port()) + "%2F"))
      << "the view stayed on " << page;
  EXPECT_TRUE(test::eventually([&] { return fileExists(opened); }, 10));
  EXPECT_EQ(readFile(opened).value_or(""), "https://example.invalid/elsewhere\n");
  stop(shell);
}

}  // namespace
}  // namespace qn

namespace qn {
namespace {

// Asks for the microphone and reports the outcome to where the page came from.
std::string microphonePage(const std::string& who, const std::string& next) {
  return "<!DOCTYPE html><html><body><script>"
         "navigator.mediaDevices.getUserMedia({audio: true})"
         ".then(() => 'granted', (e) => e.name)"
         ".then((r) => fetch('/mic?" +
         who + "=' + r)).then(() => { " + next +
         " });"
         "</script></body></html>";
}

TEST_F(WebHostTest, TheMicrophoneIsGrantedToLocalPagesOnly) {
  // 127.0.0.2 is this machine too, but not a local origin by the host's rule.
  test::FakeHttpServer remote("127.0.0.2");
  remote.setRoute("/remote", {200, microphonePage("remote", ""), "text/html"});
  remote.setReply({200, "", "text/plain"});
  test::FakeHttpServer service;
  service.setRoute("/api/health", {200, R"({"product":"QUENTRA"})", "application/json"});
  service.setRoute("/", {200,
                         microphonePage("local", "location.href = 'http://127.0.0.2:" +
                                                     std::to_string(remote.port()) + "/remote';"),
                         "text/html"});
  service.setReply({200, "", "text/plain"});
  const auto reported = [](test::FakeHttpServer& server, const std::string& prefix) {
    std::string found;
    test::eventually(
        [&] {
          for (const std::string& path : server.paths()) {
            if (path.starts_with(prefix)) found = path.substr(prefix.size());
          }
          return !found.empty();
        },
        20);
    return found;
  };
  auto shell = launch(QN_BUNDLE_DIR, service.port());
  EXPECT_EQ(reported(service, "/mic?local="), "granted");
  EXPECT_EQ(reported(remote, "/mic?remote="), "NotAllowedError");
  stop(shell);
}

}  // namespace
}  // namespace qn
