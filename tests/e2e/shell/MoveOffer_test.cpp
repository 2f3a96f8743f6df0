// A downloaded copy of the built shell on a real desktop: the move offer comes before anything
// else, and the bundle then registers itself with the desktop through its own script.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>

#include "base/ChildProcess.h"
#include "base/Environment.h"
#include "base/Files.h"
#include "tests/e2e/shell/ShellDesktop.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

class MoveOfferTest : public test::ShellDesktopTest {
 protected:
  // Started with no options and no variables: a copy a user downloaded and opened.
  std::shared_ptr<ChildProcess> openDownloaded(const std::string& bundle) {
    SpawnOptions options;
    options.executable = bundle + "/Contents/MacOS/QUENTRA";
    Environment environment = Environment::current();
    environment.set("QUENTRA_LANG", "en");
    environment.set("HOME", home_);
    for (const char* name : {"QUENTRA_PORT", "QUENTRA_DATA_DIR", "QUENTRA_NO_MOVE_PROMPT"}) {
      environment.erase(name);
    }
    options.environment = environment.toList();
    auto shell = ChildProcess::spawn(options, nullptr);
    if (shell) running_.push_back(shell);
    return shell;
  }

  // Waits for the one window named QUENTRA; true when it is the main window, not an alert.
  static bool firstWindowIsTheMainWindow() {
    std::vector<std::string> windows;
    test::eventually([&] { return (windows = test::shellWindows()).size() == 1; }, 20);
    return windows.size() == 1 && test::windowSize(windows[0]) == std::make_pair(1240, 820);
  }

  std::string home_ = dir_.file("home");
  std::string homeDataDir_ = home_ + "/Library/Application Support/QUENTRA";
  const char* dataHome_ = std::getenv("XDG_DATA_HOME");
  const char* configHome_ = std::getenv("XDG_CONFIG_HOME");
};

TEST_F(MoveOfferTest, ADownloadedBundleAsksFirstThenRegistersItself) {
  ASSERT_TRUE(dataHome_ && configHome_) << "run under with-desktop.sh";
  const std::string bundle = bundleWithoutRuntime();
  std::error_code error;
  for (const char* part : {"bin/register_desktop.sh", "quentra.desktop"}) {
    const std::string from = std::string(QN_BUNDLE_DIR) + "/Contents/Resources/" + part;
    const std::string to = bundle + "/Contents/Resources/" + part;
    createDirectories(std::filesystem::path(to).parent_path());
    std::filesystem::copy_file(from, to, error);
  }
  auto shell = openDownloaded(bundle);
  ASSERT_TRUE(shell);

  // The offer is the only window, and the launch waits for its answer.
  EXPECT_FALSE(firstWindowIsTheMainWindow());
  EXPECT_FALSE(fileExists(homeDataDir_ + "/logs")) << "nothing is set up before the answer";
  EXPECT_FALSE(fileExists(homeDataDir_ + "/icon_registered"));

  test::run("/usr/bin/xdotool", {"key", "Escape"});
  ASSERT_TRUE(test::eventually([&] { return isDirectory(homeDataDir_ + "/logs"); }, 20))
      << "closing the offer goes on with the launch";
  EXPECT_TRUE(test::eventually(
      [&] { return readFile(homeDataDir_ + "/icon_registered") == bundle + "|7"; }, 20));
  const std::string entry =
      readFile(std::string(dataHome_) + "/applications/quentra.desktop").value_or("");
  EXPECT_NE(entry.find("\nExec=\"" + bundle + "/Contents/MacOS/QUENTRA\" %u\n"), std::string::npos)
      << entry;
  EXPECT_FALSE(fileExists(std::string(configHome_) + "/QUENTRA/defaults.json"))
      << "the box was not ticked";
  EXPECT_TRUE(fileExists(bundle + "/Contents/MacOS/QUENTRA")) << "nothing was moved";
  stop(shell);
}

TEST_F(MoveOfferTest, DontAskAgainTickedWithTheKeyboardIsRemembered) {
  ASSERT_TRUE(configHome_) << "run under with-desktop.sh";
  const std::string bundle = bundleWithoutRuntime();
  auto first = openDownloaded(bundle);
  ASSERT_TRUE(first);
  ASSERT_FALSE(firstWindowIsTheMainWindow());
  // From the default button back to the check box, tick it, and close the alert.
  for (const char* key : {"shift+Tab", "space", "Escape"}) {
    test::run("/usr/bin/xdotool", {"key", key});
  }
  ASSERT_TRUE(test::eventually([&] { return isDirectory(homeDataDir_ + "/logs"); }, 20));
  EXPECT_NE(readFile(std::string(configHome_) + "/QUENTRA/defaults.json")
                .value_or("")
                .find("\"skipMoveToApplications\": true"),
            std::string::npos);
  stop(first);

  auto later = openDownloaded(bundle);
  ASSERT_TRUE(later);
  EXPECT_TRUE(firstWindowIsTheMainWindow()) << "not asked again";
  stop(later);
  // The desktop's settings outlive the test; later tests start unasked-for.
  removeFile(std::string(configHome_) + "/QUENTRA/defaults.json");
}

// This desktop has no /Applications, as Linux desktops usually do not: choosing the move shows
// why it failed, and the launch goes on from where the bundle is.
TEST_F(MoveOfferTest, WithoutAnApplicationsFolderTheMoveFailsAndTheLaunchGoesOn) {
  if (fileExists("/Applications")) GTEST_SKIP() << "would move the bundle into /Applications";
  const std::string bundle = bundleWithoutRuntime();
  auto shell = openDownloaded(bundle);
  ASSERT_TRUE(shell);
  ASSERT_FALSE(firstWindowIsTheMainWindow());
  const std::string offer = test::shellWindows().at(0);
  test::run("/usr/bin/xdotool", {"key", "Return"});
  // The failure alert replaces the offer; the launch waits for it too.
  ASSERT_TRUE(test::eventually(
      [&] {
        const auto windows = test::shellWindows();
        return windows.size() == 1 && windows[0] != offer;
      },
      20));
  EXPECT_FALSE(fileExists(homeDataDir_ + "/logs"));
  test::run("/usr/bin/xdotool", {"key", "Return"});
  EXPECT_TRUE(test::eventually([&] { return isDirectory(homeDataDir_ + "/logs"); }, 20));
  EXPECT_TRUE(firstWindowIsTheMainWindow());
  EXPECT_TRUE(fileExists(bundle + "/Contents/MacOS/QUENTRA"));
  stop(shell);
}

}  // namespace
}  // namespace qn
