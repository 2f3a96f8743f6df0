#include "base/Files.h"
#include "base/HttpGet.h"
#include "base/Paths.h"
#include "shell/AppDelegate.h"
#include "shell/ShellLang.h"
#include "shell/web/QNWebPolicy.h"

namespace qn {

AppDelegate::AppDelegate(ShellPorts ports, LaunchContext launch)
    : ports_(ports),
      launch_(std::move(launch)),
      lifeline_(std::make_shared<Lifeline>(ports_.loop)) {}

AppDelegate::~AppDelegate() {
  {
    std::lock_guard lock(lifeline_->mutex);
    lifeline_->alive = false;
  }
  if (webView) webView->setDelegate(nullptr);
}

std::string AppDelegate::dataFile(const std::string& name) const {
  return appendPath(config ? config->dataDir : AppConfig::defaultDataDir(), name);
}

void AppDelegate::applicationDidFinishLaunching() {
  if (offerMoveToApplicationsIfNeeded()) return;
  config = AppConfig::parse(launch_.environment, launch_.arguments);
  ShellLang::setDataDir(config->dataDir);
  setupDirectories();
  logFilePath = appendPath(appendPath(config->dataDir, "logs"), "server.log");
  refreshIconRegistrationIfNeeded();
  buildMainMenu();
  setupWindow();
  cleanupLegacyServerIfNeeded();
  checkPortAndStartServer();
}

void AppDelegate::setupDirectories() {
  // A failure is dropped: the service then runs without a log file.
  createDirectories(appendPath(config->dataDir, "logs"));
}

void AppDelegate::setupWindow() {
  window = ports_.windows.createMainWindow({1240, 820});
  window->center();
  window->setTitle("QUENTRA");
  window->setMinSize({800, 600});
  window->setBackground({0.11, 0.11, 0.12, 1.0});

  WebViewConfig webConfig;
  webConfig.developerExtras = true;
  webConfig.allowsAirPlay = false;
  webConfig.mediaPlaybackRequiresUserGesture = false;
  webConfig.drawsBackground = false;
  webConfig.scriptMessageHandlers = {SpeechBridge::handlerName};
  QNWebPolicy::applyMainWindow(webConfig);

  webView = &window->createWebView(webConfig);
  window->setActivationHandler([weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->applicationDidBecomeActive();
  });
  webView->setDelegate(this);
  // The engine's page process takes longer to start than the service; starting it now, for the
  // service's origin, lets the page load as soon as the service answers.
  if (const auto url = loopbackURL(config->port, "/.quentra-warm-up")) webView->warmUp(*url);
  speechBridge = std::make_unique<SpeechBridge>(ports_.loop, ports_.speech, *webView);
  window->present();
}

void AppDelegate::showMainWindow() {
  if (window) window->present();
}

void AppDelegate::reloadPage() {
  if (webView) webView->reload();
}

}  // namespace qn
