// The built shell's menu bar on a real desktop, read through the accessibility bus as a screen
// reader reads it, and driven with real key presses.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Files.h"
#include "base/Text.h"
#include "tests/e2e/shell/AccessibleMenus.h"
#include "tests/e2e/shell/ShellDesktop.h"
#include "tests/support/FakeHttpServer.h"

namespace qn {
namespace {

using test::AccessibleItem;

class MainMenuTest : public test::ShellDesktopTest {
 protected:
  static void SetUpTestSuite() { bus_ = new test::AccessibilityBus(); }
  static void TearDownTestSuite() {
    delete bus_;
    bus_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(bus_->ready()) << "no accessibility bus"; }

  void setLanguage(const std::string& lang) {
    createDirectories(dataDir_);
    writeFileAtomically(dataDir_ + "/ui_lang", lang);
  }

  // The menu bar once its first item has this title.
  std::vector<AccessibleItem> menusStartingWith(int pid, const std::string& first) {
    std::vector<AccessibleItem> items;
    test::eventually(
        [&] {
          items = test::menuBarItems(pid);
          return !items.empty() && items[0].name == first;
        },
        10);
    return items;
  }

  static std::string windowOf(int) {
    const auto windows = test::shellWindows();
    return windows.empty() ? "" : windows[0];
  }

  static int pageRequests(const std::string& log) {
    int count = 0;
    for (size_t at = log.find(" GET / 200"); at != std::string::npos;
         at = log.find(" GET / 200", at + 1)) {
      ++count;
    }
    return count;
  }

  static test::AccessibilityBus* bus_;
};

test::AccessibilityBus* MainMenuTest::bus_ = nullptr;

TEST_F(MainMenuTest, PrintsTheMenuBar) {
  lang_ = std::nullopt;
  setLanguage("zh");
  auto shell = launch(QN_BUNDLE_DIR, test::unusedPort());
  ASSERT_TRUE(waitForPage());
  for (const auto& item : menusStartingWith(shell->pid(), "关于 QUENTRA")) {
    std::printf("{\"%s\", \"%s\", %s, \"%s\"},\n", item.menu.c_str(), item.name.c_str(),
                item.enabled ? "true" : "false", item.key.c_str());
  }
  stop(shell);
}

}  // namespace
}  // namespace qn
