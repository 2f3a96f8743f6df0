#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/ChildProcess.h"
#include "base/Environment.h"
#include "platform/Alerts.h"
#include "platform/Dialogs.h"
#include "platform/MainLoop.h"
#include "platform/Opener.h"
#include "platform/Speech.h"
#include "platform/SystemCommands.h"
#include "platform/Windows.h"
#include "shell/AppConfig.h"
#include "shell/Bundle.h"
#include "shell/HealthProbe.h"
#include "shell/web/SpeechBridge.h"

namespace qn {

// The desktop as the shell sees it.
struct ShellPorts {
  MainLoop& loop;
  Windows& windows;
  Alerts& alerts;
  Dialogs& dialogs;
  Opener& opener;
  Speech& speech;
  // Ends the process at once with the status, output flushed.
  std::function<void(int status)> exitProcess;
  SystemCommands& system;
};

// What the process was started with.
struct LaunchContext {
  Bundle bundle;
  Environment environment;
  std::vector<std::string> arguments;
};

// The shell's one central object: it owns the window, the web view, the configuration and the
// service child it started. Its operations live in source files named for their concern.
class AppDelegate : public WebViewDelegate, public std::enable_shared_from_this<AppDelegate> {
 public:
  AppDelegate(ShellPorts ports, LaunchContext launch);
  ~AppDelegate() override;

  std::unique_ptr<MainWindow> window;
  WebView* webView = nullptr;
  std::optional<AppConfig> config;
  std::shared_ptr<ChildProcess> serverProcess;
  bool ownsServerProcess = false;
  bool internalQuit = false;
  bool userConfirmedQuit = false;
  std::string logFilePath;
  bool isPageLoaded = false;
  std::optional<std::string> pendingCustomURL;
  std::unique_ptr<SpeechBridge> speechBridge;
  std::optional<bool> menuIsEn;

  // Launch.cpp
  void applicationDidFinishLaunching();
  void setupDirectories();
  void setupWindow();
  void reloadPage();
  // Brings the main window back, as a click on the running application does.
  void showMainWindow();

  // MoveToApplications.cpp
  bool offerMoveToApplicationsIfNeeded();
  void showMoveError(const std::string& message);
  // IconRegistration.cpp
  void refreshIconRegistrationIfNeeded();

  // LegacyCleanup.cpp
  void cleanupLegacyServerIfNeeded();
  // PortCheck.cpp
  HealthStatus checkHealthSync(int64_t port);
  void checkPortAndStartServer();
  // ServiceLaunch.cpp
  void startEmbeddedServer();
  // Readiness.cpp
  void waitForServerReady();
  void loadMainPage();
  void showErrorPage(const std::string& message);
  // UpdateHandoff.cpp
  void handleAutoUpdateTrigger();
  void restartEmbeddedServerAfterFailedUpdate();
  // TmuxTrace.cpp
  void traceTmux(const std::string& label);
  // QuitFlow.cpp
  enum class QuitReason { User, System };
  // Asks to quit, as the application's terminate request does: the quit confirmation may cancel
  // it; otherwise the service is stopped and the main loop ends.
  void terminate(QuitReason reason = QuitReason::User);
  bool applicationShouldTerminate(QuitReason reason);
  int64_t runningThreadCount();
  void applicationWillTerminate();
  void stopAllThreadsForUserQuit();
  // MainMenu.cpp
  void buildMainMenu();
  void refreshMenuLanguageIfNeeded();
  void applicationDidBecomeActive();
  void showAbout();
  void openInSystemBrowser();
  void openLogsFolder();

  // web/CustomURL.cpp
  // URLs opened with the application, as another program or the desktop hands them over.
  void openURLs(const std::vector<std::string>& urls);
  void handleCustomURL(const std::string& url);

  // web/NavigationPolicy.cpp; the scheme is passed lower-cased.
  static bool isExternalScheme(const std::string& scheme);

  // web/WebHostDelegate.cpp
  void runAlertPanel(const std::string& message, std::function<void()> done) override;
  void runConfirmPanel(const std::string& message, std::function<void(bool)> done) override;
  void runPromptPanel(const std::string& prompt, const std::string& defaultText,
                      std::function<void(std::optional<std::string>)> done) override;
  void runOpenPanel(const OpenPanelRequest& request,
                    std::function<void(std::optional<std::vector<std::string>>)> done) override;
  bool decideMediaCapture(const std::string& originHost) override;
  void requestNewWindow(const NavigationAction& action) override;
  PolicyDecision decideNavigation(const NavigationAction& action) override;
  void didFinishNavigation() override;
  void didReceiveScriptMessage(const std::string& handler, const std::string& bodyJson,
                               const std::string& originHost) override;

  const LaunchContext& launch() const { return launch_; }
  // True once terminate() has gone through; the main loop is ending.
  bool hasTerminated() const { return terminated_; }

 private:
  std::string dataFile(const std::string& name) const;
  // Panels attach to the main window while it is visible.
  PanelMode panelMode() const;
  // The tmux executables to stop the threads with, in the order they are tried.
  std::vector<std::string> tmuxCandidates() const;

  // Shared with background threads, which may outlive the delegate: while alive is set under the
  // mutex, the delegate and its main loop exist.
  struct Lifeline {
    MainLoop& loop;
    std::mutex mutex;
    bool alive = true;
  };

  ShellPorts ports_;
  LaunchContext launch_;
  std::shared_ptr<Lifeline> lifeline_;
  bool terminated_ = false;
  // When the service was restarted after failed update hand-offs, to stop a restart loop.
  std::vector<double> updateRestarts_;
};

}  // namespace qn
