// A downloaded copy of the built shell on a real desktop: the move offer comes before anything
// else, and the bundle then registers itself with the desktop through its own script.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>

#include "base/Environment.h"
#include "base/Files.h"
#include "tests/e2e/shell/ShellDesktop.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

using MoveOfferTest = test::ShellDesktopTest;

TEST_F(MoveOfferTest, ADownloadedBundleAsksFirstThenRegistersItself) {
  const std::string bundle = bundleWithoutRuntime();
  std::error_code error;
  for (const char* part : {"bin/register_desktop.sh", "quentra.desktop"}) {
    const std::string from = std::string(QN_BUNDLE_DIR) + "/Contents/Resources/" + part;
    const std::string to = bundle + "/Contents/Resources/" + part;
    createDirectories(std::filesystem::path(to).parent_path());
    std::filesystem::copy_file(from, to, error);
  }
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  ASSERT_TRUE(dataHome && configHome) << "run under with-desktop.sh";

  // No options and no variables: a copy a user downloaded and opened.
  const std::string home = dir_.file("home");
  const std::string dataDir = home + "/Library/Application Support/QUENTRA";
  SpawnOptions options;
  options.executable = bundle + "/Contents/MacOS/QUENTRA";
  Environment environment = Environment::current();
  environment.set("QUENTRA_LANG", "en");
  environment.set("HOME", home);
  for (const char* name : {"QUENTRA_PORT", "QUENTRA_DATA_DIR", "QUENTRA_NO_MOVE_PROMPT"}) {
    environment.erase(name);
  }
  options.environment = environment.toList();
  auto shell = ChildProcess::spawn(options, nullptr);
  ASSERT_TRUE(shell);
  running_.push_back(shell);

  // The offer is the only window, and the launch waits for its answer.
  ASSERT_TRUE(test::eventually([] { return test::shellWindows().size() == 1; }, 20));
  EXPECT_FALSE(fileExists(dataDir + "/logs")) << "nothing is set up before the answer";
  EXPECT_FALSE(fileExists(dataDir + "/icon_registered"));

  test::run("/usr/bin/xdotool", {"key", "Escape"});
  ASSERT_TRUE(test::eventually([&] { return isDirectory(dataDir + "/logs"); }, 20))
      << "closing the offer goes on with the launch";
  EXPECT_TRUE(test::eventually(
      [&] { return readFile(dataDir + "/icon_registered") == bundle + "|7"; }, 20));
  const std::string entry =
      readFile(std::string(dataHome) + "/applications/quentra.desktop").value_or("");
  EXPECT_NE(entry.find("\nExec=\"" + bundle + "/Contents/MacOS/QUENTRA\" %u\n"), std::string::npos)
      << entry;
  EXPECT_FALSE(fileExists(std::string(configHome) + "/QUENTRA/defaults.json"))
      << "the box was not ticked";
  EXPECT_TRUE(fileExists(bundle + "/Contents/MacOS/QUENTRA")) << "nothing was moved";

  stop(shell);
}

}  // namespace
}  // namespace qn
