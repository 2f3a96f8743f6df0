#include "base/Log.h"
#include "base/Text.h"
#include "base/Url.h"
#include "shell/AppDelegate.h"
#include "shell/ShellLang.h"
#include "shell/web/NavigationPolicy.h"

namespace qn {

PanelMode AppDelegate::panelMode() const {
  return window && window->isVisible() ? PanelMode::Sheet : PanelMode::ApplicationModal;
}

void AppDelegate::runAlertPanel(const std::string& message, std::function<void()> done) {
  ports_.dialogs.showPanel(
      {AlertStyle::Informational, message, {ShellLang::isEn() ? "OK" : "好"}, {}}, panelMode(),
      [done = std::move(done)](int, std::string) { done(); });
}

void AppDelegate::runConfirmPanel(const std::string& message, std::function<void(bool)> done) {
  const bool en = ShellLang::isEn();
  ports_.dialogs.showPanel(
      {AlertStyle::Informational, message, {en ? "OK" : "确定", en ? "Cancel" : "取消"}, {}},
      panelMode(), [done = std::move(done)](int button, std::string) { done(button == 0); });
}

void AppDelegate::runPromptPanel(const std::string& prompt, const std::string& defaultText,
                                 std::function<void(std::optional<std::string>)> done) {
  const bool en = ShellLang::isEn();
  ports_.dialogs.showPanel({AlertStyle::Informational,
                            prompt,
                            {en ? "OK" : "确定", en ? "Cancel" : "取消"},
                            PromptField{defaultText}},
                           panelMode(), [done = std::move(done)](int button, std::string text) {
                             // A cancelled prompt answers null, never the default text.
                             done(button == 0 ? std::optional(std::move(text)) : std::nullopt);
                           });
}

void AppDelegate::runOpenPanel(const OpenPanelRequest& request,
                               std::function<void(std::optional<std::vector<std::string>>)> done) {
  OpenPanelOptions panel;
  panel.canChooseFiles = !request.allowsDirectories;
  panel.canChooseDirectories = request.allowsDirectories;
  panel.allowsMultipleSelection = request.allowsMultipleSelection;
  panel.resolvesAliases = true;
  panel.prompt = request.allowsDirectories ? ShellLang::t("选择文件夹", "Choose Folder")
                                           : ShellLang::t("选择", "Choose");
  ports_.dialogs.showOpenPanel(panel, panelMode(), std::move(done));
}

bool AppDelegate::decideMediaCapture(const std::string& originHost) {
  return isLocalHost(originHost);
}

void AppDelegate::requestNewWindow(const NavigationAction& action) {
  switch (decideNewWindowPolicy(action)) {
    case NewWindowVerdict::Nothing:
      break;
    case NewWindowVerdict::LoadInPlace:
      if (webView) webView->loadURL(*action.url, 60);
      break;
    case NewWindowVerdict::OpenWithSystem:
      ports_.opener.openURL(*action.url);
      break;
    case NewWindowVerdict::LogIgnored: {
      const auto url = Url::parse(*action.url);
      logSystemLine("QUENTRA 忽略新窗口请求（不是网页地址）：" +
                    toLowerAscii(url ? url->scheme : ""));
      break;
    }
  }
}

PolicyDecision AppDelegate::decideNavigation(const NavigationAction& action) {
  const NavigationVerdict verdict = decideNavigationPolicy(action);
  if (verdict.effect == NavigationSideEffect::None) return verdict.policy;
  // Acted on after the engine has its answer: the retry blocks for its probe and may show an
  // alert, which must not happen inside the engine's own callback.
  std::weak_ptr<AppDelegate> weak = weak_from_this();
  ports_.loop.post([weak, effect = verdict.effect, url = *action.url] {
    const auto self = weak.lock();
    if (!self) return;
    switch (effect) {
      case NavigationSideEffect::OpenLog:
        self->ports_.opener.openFile(self->logFilePath);
        break;
      case NavigationSideEffect::Retry:
        self->checkPortAndStartServer();
        break;
      case NavigationSideEffect::HandleCustomURL:
        self->handleCustomURL(url);
        break;
      case NavigationSideEffect::OpenWithSystem:
        self->ports_.opener.openURL(url);
        break;
      case NavigationSideEffect::None:
        break;
    }
  });
  return verdict.policy;
}

void AppDelegate::didFinishNavigation() {
  const auto url = webView ? webView->currentURL() : std::nullopt;
  isPageLoaded = url && isLocalURL(*url);
  if (!isPageLoaded) return;
  refreshMenuLanguageIfNeeded();
  if (pendingCustomURL) {
    const std::string pending = std::move(*pendingCustomURL);
    pendingCustomURL.reset();
    handleCustomURL(pending);
  }
}

void AppDelegate::didReceiveScriptMessage(const std::string& handler, const std::string& bodyJson,
                                          const std::string& originHost) {
  if (handler == SpeechBridge::handlerName && speechBridge) {
    speechBridge->didReceive(bodyJson, originHost);
  }
}

}  // namespace qn
