#include "base/Files.h"
#include "base/HttpGet.h"
#include "base/Paths.h"
#include "shell/AppDelegate.h"
#include "shell/ShellLang.h"

namespace qn {
namespace {

MenuItem separator() {
  MenuItem item;
  item.separator = true;
  return item;
}

MenuItem command(std::string title, std::function<void()> action,
                 std::optional<KeyEquivalent> key = std::nullopt) {
  MenuItem item;
  item.title = std::move(title);
  item.action = std::move(action);
  item.keyEquivalent = std::move(key);
  return item;
}

// Shown for the desktop's sake but without a meaning on it: there are no other applications'
// windows for the shell to hide or show.
MenuItem unavailable(std::string title, std::optional<KeyEquivalent> key = std::nullopt) {
  MenuItem item = command(std::move(title), nullptr, std::move(key));
  item.enabled = false;
  return item;
}

MenuItem menu(std::string title, std::vector<MenuItem> items) {
  MenuItem item;
  item.title = std::move(title);
  item.submenu = std::move(items);
  return item;
}

KeyEquivalent key(std::string character) {
  return {std::move(character)};
}

}  // namespace

void AppDelegate::buildMainMenu() {
  menuIsEn = ShellLang::isEn();
  // Picked once, so that a language change during the build cannot mix the two.
  const bool en = *menuIsEn;
  const auto t = [en](const char* zh, const char* english) { return en ? english : zh; };

  // Menu actions come later, from the menu bar, which may outlive the delegate.
  const std::weak_ptr<AppDelegate> weak = weak_from_this();
  const auto send = [weak](void (AppDelegate::*operation)()) {
    return [weak, operation] {
      if (const auto self = weak.lock()) (self.get()->*operation)();
    };
  };
  // The editing commands go to the page, as they would travel the responder chain to it.
  const auto edit = [weak](EditingCommand editing) {
    return [weak, editing] {
      const auto self = weak.lock();
      if (self && self->webView) self->webView->executeEditingCommand(editing);
    };
  };
  const auto hide = [weak] {
    const auto self = weak.lock();
    if (self && self->window) self->window->minimize();
  };
  const auto quit = [weak] {
    if (const auto self = weak.lock()) self->terminate(QuitReason::User);
  };

  std::vector<MenuItem> menus;
  menus.push_back(
      menu("QUENTRA",
           {
               command(t("关于 QUENTRA", "About QUENTRA"), send(&AppDelegate::showAbout)),
               separator(),
               command(t("隐藏 QUENTRA", "Hide QUENTRA"), hide, key("h")),
               unavailable(t("隐藏其他", "Hide Others"), KeyEquivalent{.key = "h", .option = true}),
               unavailable(t("显示全部", "Show All")),
               separator(),
               command(t("退出 QUENTRA", "Quit QUENTRA"), quit, key("q")),
           }));
  menus.push_back(
      menu(t("编辑", "Edit"),
           {
               command(t("撤销", "Undo"), edit(EditingCommand::Undo), key("z")),
               command(t("重做", "Redo"), edit(EditingCommand::Redo),
                       KeyEquivalent{.key = "z", .shift = true}),
               separator(),
               command(t("剪切", "Cut"), edit(EditingCommand::Cut), key("x")),
               command(t("复制", "Copy"), edit(EditingCommand::Copy), key("c")),
               command(t("粘贴", "Paste"), edit(EditingCommand::Paste), key("v")),
               command(t("全选", "Select All"), edit(EditingCommand::SelectAll), key("a")),
           }));
  menus.push_back(
      menu(t("视图", "View"),
           {
               command(t("重新加载", "Reload"), send(&AppDelegate::reloadPage), key("r")),
               command(t("在浏览器中打开", "Open in Browser"),
                       send(&AppDelegate::openInSystemBrowser), key("b")),
           }));
  menus.push_back(menu(t("帮助", "Help"), {
                                              command(t("打开日志所在文件夹", "Open Logs Folder"),
                                                      send(&AppDelegate::openLogsFolder)),
                                          }));
  ports_.windows.menuBar().setMenus(std::move(menus));
}

void AppDelegate::refreshMenuLanguageIfNeeded() {
  if (!menuIsEn) return;  // not built yet
  if (*menuIsEn != ShellLang::isEn()) buildMainMenu();
}

void AppDelegate::applicationDidBecomeActive() {
  refreshMenuLanguageIfNeeded();
}

void AppDelegate::showAbout() {
  const std::string version =
      launch_.bundle.infoString("CFBundleShortVersionString").value_or("0.1.0");
  const std::string build = launch_.bundle.infoString("CFBundleVersion").value_or("1");
  AlertOptions about;
  about.style = AlertStyle::Informational;
  about.message = "QUENTRA";
  about.informative = ShellLang::t(
      "版本 " + version + " (build " + build + ")\n\nmacOS AI 编程智能体统一管理面板。",
      "Version " + version + " (build " + build +
          ")\n\nOne panel for all your AI coding agents on macOS.");
  about.buttons = {ShellLang::t("好", "OK")};
  if (launch_.bundle.resourcesPath) {
    const std::string icon = appendPath(*launch_.bundle.resourcesPath, "AppIcon.icns");
    if (fileExists(icon)) about.iconPath = icon;
  }
  ports_.alerts.runModal(about);
}

void AppDelegate::openInSystemBrowser() {
  if (!config) return;
  if (const auto url = loopbackURL(config->port, "/")) ports_.opener.openURL(*url);
}

void AppDelegate::openLogsFolder() {
  if (config) ports_.opener.openFile(appendPath(config->dataDir, "logs"));
}

}  // namespace qn
