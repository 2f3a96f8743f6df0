#pragma once

// Driving the built shell on the private desktop that with-desktop.sh provides.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ChildProcess.h"
#include "tests/support/TestSupport.h"

namespace qn::test {

// Runs a tool to its end and returns what it printed.
std::string run(const std::string& executable, std::vector<std::string> arguments);

// Visible top-level windows named exactly "QUENTRA".
std::vector<std::string> shellWindows();

// Width and height as the X server has them.
std::pair<int, int> windowSize(const std::string& id);

// True when the screen shows at least a few pixels of exactly this colour.
bool screenShows(const std::string& hexColour, const std::string& shotPath);

// Makes a script the desktop's default application for the MIME types (x-scheme-handler/https
// for a browser); returns the file where it records each URI it is asked to open.
std::string recordDefaultApplication(const std::string& folder,
                                     const std::vector<std::string>& types);

// Shells started on a fresh data directory, killed at the end of the test if still running.
class ShellDesktopTest : public ::testing::Test {
 protected:
  std::shared_ptr<ChildProcess> launch(const std::string& bundle, int port,
                                       std::vector<std::string> extra = {});
  static void stop(const std::shared_ptr<ChildProcess>& shell);
  std::string log();
  // A copy of the built shell in a bundle that lacks the Node.js runtime.
  std::string bundleWithoutRuntime();
  // Waits until the service has answered the web view's request for the page.
  bool waitForPage(size_t logOffset = 0);
  ~ShellDesktopTest() override;

  TempDir dir_;
  std::string dataDir_ = dir_.file("data");
  // QUENTRA_LANG for the shells launched; none leaves the choice to the "ui_lang" file.
  std::optional<std::string> lang_ = "en";
  std::vector<std::shared_ptr<ChildProcess>> running_;
};

}  // namespace qn::test
