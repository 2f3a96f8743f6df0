#include <gtest/gtest.h>

#include "base/Files.h"
#include "shell/ShellLang.h"
#include "shell/SimShell_testing.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

struct Row {
  std::string menu;
  std::string title;  // empty for a separator
  std::optional<KeyEquivalent> key;
  bool enabled = true;
};

KeyEquivalent command(std::string key) {
  return {std::move(key)};
}

const std::vector<Row> kEnglish = {
    {"QUENTRA", "About QUENTRA", std::nullopt},
    {"QUENTRA", "", std::nullopt},
    {"QUENTRA", "Hide QUENTRA", command("h")},
    {"QUENTRA", "Hide Others", KeyEquivalent{.key = "h", .option = true}, false},
    {"QUENTRA", "Show All", std::nullopt, false},
    {"QUENTRA", "", std::nullopt},
    {"QUENTRA", "Quit QUENTRA", command("q")},
    {"Edit", "Undo", command("z")},
    {"Edit", "Redo", KeyEquivalent{.key = "z", .shift = true}},
    {"Edit", "", std::nullopt},
    {"Edit", "Cut", command("x")},
    {"Edit", "Copy", command("c")},
    {"Edit", "Paste", command("v")},
    {"Edit", "Select All", command("a")},
    {"View", "Reload", command("r")},
    {"View", "Open in Browser", command("b")},
    {"Help", "Open Logs Folder", std::nullopt},
};

const std::vector<Row> kChinese = {
    {"QUENTRA", "关于 QUENTRA", std::nullopt},
    {"QUENTRA", "", std::nullopt},
    {"QUENTRA", "隐藏 QUENTRA", command("h")},
    {"QUENTRA", "隐藏其他", KeyEquivalent{.key = "h", .option = true}, false},
    {"QUENTRA", "显示全部", std::nullopt, false},
    {"QUENTRA", "", std::nullopt},
    {"QUENTRA", "退出 QUENTRA", command("q")},
    {"编辑", "撤销", command("z")},
    {"编辑", "重做", KeyEquivalent{.key = "z", .shift = true}},
    {"编辑", "", std::nullopt},
    {"编辑", "剪切", command("x")},
    {"编辑", "复制", command("c")},
    {"编辑", "粘贴", command("v")},
    {"编辑", "全选", command("a")},
    {"视图", "重新加载", command("r")},
    {"视图", "在浏览器中打开", command("b")},
    {"帮助", "打开日志所在文件夹", std::nullopt},
};

// The menu bar flattened into rows, in order.
std::vector<Row> rowsOf(const std::vector<MenuItem>& menus) {
  std::vector<Row> rows;
  for (const MenuItem& menu : menus) {
    for (const MenuItem& item : menu.submenu) {
      rows.push_back(
          {menu.title, item.separator ? "" : item.title, item.keyEquivalent, item.enabled});
      EXPECT_TRUE(item.submenu.empty()) << item.title;
      EXPECT_EQ(bool(item.action), item.enabled && !item.separator) << item.title;
    }
  }
  return rows;
}

void expectRows(const std::vector<MenuItem>& menus, const std::vector<Row>& expected) {
  const std::vector<Row> rows = rowsOf(menus);
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].menu, expected[i].menu) << i;
    EXPECT_EQ(rows[i].title, expected[i].title) << i;
    EXPECT_EQ(rows[i].key, expected[i].key) << i;
    EXPECT_EQ(rows[i].enabled, expected[i].enabled) << i;
  }
}

// A shell launched from a bundle of the test's making, attached to a fake service, with its
// language taken from the "ui_lang" file.
class MainMenuTest : public ::testing::Test {
 protected:
  void launch(const std::string& info = R"({"CFBundleShortVersionString": "2.3.4",
                                            "CFBundleVersion": "56"})") {
    const std::string bundle = dir_.file("Q.app");
    createDirectories(bundle + "/Contents/MacOS");
    createDirectories(resources_);
    writeFileAtomically(bundle + "/Contents/Info.json", info);
    shell_ = std::make_unique<test::SimShell>(
        bundle + "/Contents/MacOS/QUENTRA",
        std::vector<std::string>{"--data-dir", dataDir_, "--port", std::to_string(service_.port())},
        Environment());
    shell_->delegate->applicationDidFinishLaunching();
    shell_->loop.runPending();
  }

  void setLanguage(const std::string& lang) {
    createDirectories(dataDir_);
    writeFileAtomically(dataDir_ + "/ui_lang", lang);
  }

  SimMenuBar& bar() { return shell_->windows.bar; }
  SimMainWindow& window() { return *shell_->windows.created.at(0); }

  // Chooses the item as the user would.
  void choose(const std::string& menu, const std::string& item) {
    const MenuItem* found = bar().find(menu, item);
    ASSERT_TRUE(found) << menu << " > " << item;
    ASSERT_TRUE(found->action) << item;
    found->action();
  }

  test::TempDir dir_;
  std::string dataDir_ = dir_.file("data");
  std::string resources_ = dir_.file("Q.app/Contents/Resources");
  test::FakeHttpServer service_;
  test::ScopedEnv noLang_{"QUENTRA_LANG", std::nullopt};
  std::unique_ptr<test::SimShell> shell_;
};

TEST_F(MainMenuTest, TheMenuBarInEnglish) {
  setLanguage("en");
  launch();
  EXPECT_EQ(bar().builds, 1);
  EXPECT_EQ(window().menuBuildsBefore, 1) << "the menu bar is built before the window";
  EXPECT_EQ(shell_->delegate->menuIsEn, true);
  expectRows(bar().menus, kEnglish);
}

TEST_F(MainMenuTest, TheMenuBarInChinese) {
  setLanguage("zh");
  launch();
  EXPECT_EQ(shell_->delegate->menuIsEn, false);
  ASSERT_EQ(bar().menus.size(), 4u);
  EXPECT_EQ(bar().menus[0].title, "QUENTRA");
  expectRows(bar().menus, kChinese);
}

TEST_F(MainMenuTest, ActivationAfterALanguageChangeRebuildsTheMenuBar) {
  setLanguage("zh");
  launch();
  window().activate();
  EXPECT_EQ(bar().builds, 1) << "same language: nothing to rebuild";

  setLanguage("en");
  EXPECT_EQ(bar().builds, 1) << "no rebuild until the application becomes active";
  window().activate();
  EXPECT_EQ(bar().builds, 2);
  EXPECT_EQ(shell_->delegate->menuIsEn, true);
  expectRows(bar().menus, kEnglish);
}

TEST_F(MainMenuTest, AFinishedServicePageLoadRebuildsWithoutActivation) {
  setLanguage("en");
  launch();
  setLanguage("zh");
  window().webView->finishLoad();
  ASSERT_TRUE(shell_->delegate->isPageLoaded);
  EXPECT_EQ(bar().builds, 2);
  expectRows(bar().menus, kChinese);
}

TEST_F(MainMenuTest, NothingIsRebuiltBeforeTheFirstBuild) {
  setLanguage("en");
  shell_ = std::make_unique<test::SimShell>(dir_.file("QUENTRA"), std::vector<std::string>{},
                                            Environment());
  shell_->delegate->refreshMenuLanguageIfNeeded();
  EXPECT_EQ(bar().builds, 0);
  EXPECT_FALSE(shell_->delegate->menuIsEn);
}

TEST_F(MainMenuTest, EditingCommandsGoToTheWebView) {
  setLanguage("en");
  launch();
  for (const char* item : {"Undo", "Redo", "Cut", "Copy", "Paste", "Select All"}) {
    choose("Edit", item);
  }
  EXPECT_EQ(window().webView->editingCommands,
            (std::vector<EditingCommand>{EditingCommand::Undo, EditingCommand::Redo,
                                         EditingCommand::Cut, EditingCommand::Copy,
                                         EditingCommand::Paste, EditingCommand::SelectAll}));
}

TEST_F(MainMenuTest, ViewAndHelpItems) {
  setLanguage("en");
  launch();
  const size_t loads = window().webView->loads.size();
  choose("View", "Reload");
  ASSERT_EQ(window().webView->loads.size(), loads + 1);
  EXPECT_EQ(window().webView->loads.back().kind, SimWebView::Load::Kind::Reload);

  choose("View", "Open in Browser");
  EXPECT_EQ(shell_->opener.urls,
            std::vector<std::string>{"http://127.0.0.1:" + std::to_string(service_.port()) + "/"});

  choose("Help", "Open Logs Folder");
  EXPECT_EQ(shell_->opener.files, std::vector<std::string>{dataDir_ + "/logs"});
}

TEST_F(MainMenuTest, HideMinimisesTheWindowAndQuitGoesThroughTheQuitFlow) {
  setLanguage("en");
  launch();
  choose("QUENTRA", "Hide QUENTRA");
  EXPECT_TRUE(window().minimized);
  EXPECT_FALSE(window().isVisible());

  choose("QUENTRA", "Quit QUENTRA");
  EXPECT_TRUE(shell_->delegate->hasTerminated());
  EXPECT_TRUE(shell_->loop.quitRequested());
  EXPECT_TRUE(shell_->alerts.shown.empty()) << "attached to a service: nothing is asked";
}

// Quit asks the quit flow, which may cancel it: with threads running in a service the shell owns,
// the user is asked first.
TEST_F(MainMenuTest, QuitAsksFirstWhenThreadsAreRunning) {
  setLanguage("en");
  service_.setRoute("/api/tmux-keep/state", {200, R"({"running": 2})"});
  launch();
  shell_->delegate->ownsServerProcess = true;
  shell_->alerts.answers = {1};  // Cancel

  choose("QUENTRA", "Quit QUENTRA");

  ASSERT_EQ(shell_->alerts.shown.size(), 1u);
  EXPECT_EQ(shell_->alerts.shown[0].message, "2 threads are running. Quitting will stop them.");
  EXPECT_FALSE(shell_->delegate->hasTerminated());
  EXPECT_FALSE(shell_->loop.quitRequested());
}

struct AboutCase {
  const char* lang;
  const char* info;
  const char* informative;
  const char* button;
};

class AboutTest : public MainMenuTest, public ::testing::WithParamInterface<AboutCase> {};

TEST_P(AboutTest, ShowsTheVersionTexts) {
  setLanguage(GetParam().lang);
  launch(GetParam().info);
  choose("QUENTRA", GetParam().lang == std::string("en") ? "About QUENTRA" : "关于 QUENTRA");
  ASSERT_EQ(shell_->alerts.shown.size(), 1u);
  const AlertOptions& about = shell_->alerts.shown[0];
  EXPECT_EQ(about.style, AlertStyle::Informational);
  EXPECT_EQ(about.message, "QUENTRA");
  EXPECT_EQ(about.informative, GetParam().informative);
  EXPECT_EQ(about.buttons, std::vector<std::string>{GetParam().button});
  EXPECT_EQ(about.iconPath, std::nullopt) << "the bundle has no icon";
}

INSTANTIATE_TEST_SUITE_P(
    Versions, AboutTest,
    ::testing::Values(
        AboutCase{"en", R"({"CFBundleShortVersionString": "2.3.4", "CFBundleVersion": "56"})",
                  "Version 2.3.4 (build 56)\n\nOne panel for all your AI coding agents on macOS.",
                  "OK"},
        AboutCase{"zh", R"({"CFBundleShortVersionString": "2.3.4", "CFBundleVersion": "56"})",
                  "版本 2.3.4 (build 56)\n\nmacOS AI 编程智能体统一管理面板。", "好"},
        AboutCase{"en", R"({"CFBundleVersion": "9"})",
                  "Version 0.1.0 (build 9)\n\nOne panel for all your AI coding agents on macOS.",
                  "OK"},
        AboutCase{"en", R"({"CFBundleShortVersionString": 3, "CFBundleVersion": 4})",
                  "Version 0.1.0 (build 1)\n\nOne panel for all your AI coding agents on macOS.",
                  "OK"}));

TEST_F(MainMenuTest, AboutShowsTheBundleIconWhenPresent) {
  setLanguage("en");
  createDirectories(resources_);
  writeFileAtomically(resources_ + "/AppIcon.icns", "icns");
  launch();
  choose("QUENTRA", "About QUENTRA");
  ASSERT_EQ(shell_->alerts.shown.size(), 1u);
  EXPECT_EQ(shell_->alerts.shown[0].iconPath, resources_ + "/AppIcon.icns");
}

}  // namespace
}  // namespace qn
