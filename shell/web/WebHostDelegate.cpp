#include "shell/AppDelegate.h"
#include "shell/web/QNWebPolicy.h"

namespace qn {

// The page's panels are not shown yet: each request gets its negative answer at once, so the
// page never waits.
void AppDelegate::runAlertPanel(const std::string&, std::function<void()> done) {
  done();
}

void AppDelegate::runConfirmPanel(const std::string&, std::function<void(bool)> done) {
  done(false);
}

void AppDelegate::runPromptPanel(const std::string&, const std::string&,
                                 std::function<void(std::optional<std::string>)> done) {
  done(std::nullopt);
}

void AppDelegate::runOpenPanel(const OpenPanelRequest&,
                               std::function<void(std::optional<std::vector<std::string>>)> done) {
  done(std::nullopt);
}

bool AppDelegate::decideMediaCapture(const std::string& originHost) {
  return QNWebPolicy::isLocalHost(originHost);
}

void AppDelegate::requestNewWindow(const NavigationAction&) {}

PolicyDecision AppDelegate::decideNavigation(const NavigationAction& action) {
  // The error page's retry link checks the port again; no other link of the app's own scheme is
  // acted on yet, and none navigates the web view.
  if (action.url && action.url->starts_with("quentra:")) {
    if (*action.url == "quentra://retry") checkPortAndStartServer();
    return PolicyDecision::Cancel;
  }
  return PolicyDecision::Allow;
}

void AppDelegate::didFinishNavigation() {
  const auto url = webView ? webView->currentURL() : std::nullopt;
  isPageLoaded =
      url && (url->starts_with("http://127.0.0.1") || url->starts_with("http://localhost"));
}

void AppDelegate::didReceiveScriptMessage(const std::string& handler, const std::string& bodyJson,
                                          const std::string& originHost) {
  if (handler == SpeechBridge::handlerName && speechBridge) {
    speechBridge->didReceive(bodyJson, originHost);
  }
}

}  // namespace qn
