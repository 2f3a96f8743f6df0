// The built shell's web host on a real desktop: links handed over by a second shell, the error
// page's retry link.
#include <gtest/gtest.h>

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

TEST_F(WebHostTest, RetryOnTheErrorPageStartsTheService) {
  test::TestBundleOptions noRuntime;
  noRuntime.withRuntime = false;
  const std::string bundle = test::makeTestBundle(dir_.path(), noRuntime);
  std::filesystem::copy_file(std::string(QN_BUNDLE_DIR) + "/Contents/MacOS/QUENTRA",
                             bundle + "/Contents/MacOS/QUENTRA");
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
