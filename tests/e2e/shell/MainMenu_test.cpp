// The built shell's menu bar on a real desktop, read through the accessibility bus as a screen
// reader reads it, and driven with real key presses.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Decimal.h"
#include "base/Files.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "tests/e2e/shell/AccessibleMenus.h"
#include "tests/e2e/shell/ShellDesktop.h"
#include "tests/support/FakeHttpServer.h"

namespace qn {
namespace {

using test::AccessibleItem;

const std::vector<AccessibleItem> kEnglish = {
    {"QUENTRA", "About QUENTRA", true, ""},
    {"QUENTRA", "", true, ""},
    {"QUENTRA", "Hide QUENTRA", true, "<Primary>h"},
    {"QUENTRA", "Hide Others", false, "<Primary><Alt>h"},
    {"QUENTRA", "Show All", false, ""},
    {"QUENTRA", "", true, ""},
    {"QUENTRA", "Quit QUENTRA", true, "<Primary>q"},
    {"Edit", "Undo", true, "<Primary>z"},
    {"Edit", "Redo", true, "<Primary><Shift>z"},
    {"Edit", "", true, ""},
    {"Edit", "Cut", true, "<Primary>x"},
    {"Edit", "Copy", true, "<Primary>c"},
    {"Edit", "Paste", true, "<Primary>v"},
    {"Edit", "Select All", true, "<Primary>a"},
    {"View", "Reload", true, "<Primary>r"},
    {"View", "Open in Browser", true, "<Primary>b"},
    {"Help", "Open Logs Folder", true, ""},
};

const std::vector<AccessibleItem> kChinese = {
    {"QUENTRA", "关于 QUENTRA", true, ""},
    {"QUENTRA", "", true, ""},
    {"QUENTRA", "隐藏 QUENTRA", true, "<Primary>h"},
    {"QUENTRA", "隐藏其他", false, "<Primary><Alt>h"},
    {"QUENTRA", "显示全部", false, ""},
    {"QUENTRA", "", true, ""},
    {"QUENTRA", "退出 QUENTRA", true, "<Primary>q"},
    {"编辑", "撤销", true, "<Primary>z"},
    {"编辑", "重做", true, "<Primary><Shift>z"},
    {"编辑", "", true, ""},
    {"编辑", "剪切", true, "<Primary>x"},
    {"编辑", "复制", true, "<Primary>c"},
    {"编辑", "粘贴", true, "<Primary>v"},
    {"编辑", "全选", true, "<Primary>a"},
    {"视图", "重新加载", true, "<Primary>r"},
    {"视图", "在浏览器中打开", true, "<Primary>b"},
    {"帮助", "打开日志所在文件夹", true, ""},
};

void expectItems(const std::vector<AccessibleItem>& items,
                 const std::vector<AccessibleItem>& expected) {
  ASSERT_EQ(items.size(), expected.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].menu, expected[i].menu) << i;
    EXPECT_EQ(items[i].name, expected[i].name) << i;
    EXPECT_EQ(items[i].enabled, expected[i].enabled) << i;
    EXPECT_EQ(items[i].key, expected[i].key) << i;
  }
}

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

  static std::string windowOf() {
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

TEST_F(MainMenuTest, ChineseMenuBarIsRebuiltInEnglishWhenTheWindowIsActivated) {
  lang_ = std::nullopt;
  setLanguage("zh");
  auto shell = launch(QN_BUNDLE_DIR, test::unusedPort());
  ASSERT_TRUE(waitForPage());
  expectItems(menusStartingWith(shell->pid(), "关于 QUENTRA"), kChinese);

  // The page changes the language while the window is in the background.
  const std::string window = windowOf();
  ASSERT_FALSE(window.empty());
  test::run("/usr/bin/xdotool", {"windowminimize", "--sync", window});
  setLanguage("en");
  test::eventually([] { return test::shellWindows().empty(); }, 5);
  EXPECT_EQ(test::menuBarItems(shell->pid()).at(0).name, "关于 QUENTRA")
      << "nothing is rebuilt before the application becomes active";

  test::run("/usr/bin/xdotool", {"windowactivate", "--sync", window});
  expectItems(menusStartingWith(shell->pid(), "About QUENTRA"), kEnglish);
  stop(shell);
}

TEST_F(MainMenuTest, CtrlRReloadsThePageAndCtrlHHidesTheWindow) {
  auto shell = launch(QN_BUNDLE_DIR, test::unusedPort());
  ASSERT_TRUE(waitForPage());
  expectItems(menusStartingWith(shell->pid(), "About QUENTRA"), kEnglish);
  const std::string window = windowOf();
  ASSERT_FALSE(window.empty());
  test::run("/usr/bin/xdotool", {"windowactivate", "--sync", window});
  const int loads = pageRequests(log());

  test::run("/usr/bin/xdotool", {"key", "--clearmodifiers", "ctrl+r"});
  EXPECT_TRUE(test::eventually([&] { return pageRequests(log()) == loads + 1; }, 10)) << log();

  test::run("/usr/bin/xdotool", {"key", "--clearmodifiers", "ctrl+h"});
  EXPECT_TRUE(test::eventually([] { return test::shellWindows().empty(); }, 10))
      << "Hide QUENTRA iconifies the window";
  EXPECT_TRUE(shell->isRunning());
  stop(shell);
}

TEST_F(MainMenuTest, ItemsOpenTheBrowserTheLogsFolderAndTheAboutAlert) {
  const std::string opened =
      test::recordDefaultApplication(dir_.path(), {"x-scheme-handler/http", "inode/directory"});
  const int port = test::unusedPort();
  auto shell = launch(QN_BUNDLE_DIR, port);
  ASSERT_TRUE(waitForPage());
  menusStartingWith(shell->pid(), "About QUENTRA");

  ASSERT_TRUE(test::activateMenuItem(shell->pid(), "View", "Open in Browser"));
  ASSERT_TRUE(test::eventually([&] { return readFile(opened).has_value(); }, 10));
  ASSERT_TRUE(test::activateMenuItem(shell->pid(), "Help", "Open Logs Folder"));
  ASSERT_TRUE(test::eventually(
      [&] { return split(readFile(opened).value_or(""), '\n', true).size() == 2; }, 10));
  EXPECT_EQ(split(*readFile(opened), '\n', true),
            (std::vector<std::string>{"http://127.0.0.1:" + std::to_string(port) + "/",
                                      dataDir_ + "/logs"}))
      << "the folder is handed over as a path to a handler that takes one";

  // From the keyboard: F10 opens the first menu, whose first item is About. (Activated through
  // the accessibility bus, the modal alert would hold up the very call that opened it.)
  test::run("/usr/bin/xdotool", {"windowactivate", "--sync", windowOf()});
  for (const char* key : {"F10", "Down", "Return"}) {
    test::run("/usr/bin/xdotool", {"key", "--clearmodifiers", key});
  }
  std::vector<std::string> texts;
  EXPECT_TRUE(test::eventually(
      [&] {
        texts = test::dialogTexts(shell->pid());
        return std::find(texts.begin(), texts.end(), "QUENTRA") != texts.end();
      },
      10));

  // The bundle's own version and build, which the development build sets to 0.1.0 and 1.
  EXPECT_NE(
      std::find(texts.begin(), texts.end(),
                "Version 0.1.0 (build 1)\n\nOne panel for all your AI coding agents on macOS."),
      texts.end());
  // A quit the system asks for does not wait for the alert to be answered.
  const auto servicePid = parseInt32(readFile(dataDir_ + "/service.pid").value_or(""));
  ASSERT_TRUE(servicePid);
  stop(shell);
  EXPECT_FALSE(processExists(*servicePid));
}

}  // namespace
}  // namespace qn
