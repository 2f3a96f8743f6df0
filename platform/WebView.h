#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qn {

enum class NavigationType {
  LinkActivated,
  FormSubmitted,
  BackForward,
  Reload,
  FormResubmitted,
  Other
};

enum class PolicyDecision { Allow, Cancel };

// The standard editing commands, applied to the page's focused content.
enum class EditingCommand { Undo, Redo, Cut, Copy, Paste, SelectAll };

// What the web engine tells about a navigation or a new-window request.
struct NavigationAction {
  std::optional<std::string> url;  // none when the request has no URL
  NavigationType type = NavigationType::Other;
  bool hasTargetFrame = true;  // false for requests that want a new window
};

struct OpenPanelRequest {
  bool allowsDirectories = false;
  bool allowsMultipleSelection = false;
};

// Settings of the main web view, fixed before it is created.
struct WebViewConfig {
  bool developerExtras = true;
  bool mediaPlaybackRequiresUserGesture = false;
  bool allowsAirPlay = false;
  bool mediaStream = true;
  bool drawsBackground = false;
  // Keep the page running, throttled, while the window is hidden or covered.
  bool throttleWhenInactive = false;
  std::vector<std::string> scriptMessageHandlers;
};

// Decisions the host takes for the page. Every callback given to a delegate method must be
// called exactly once; the backend never answers on its own.
class WebViewDelegate {
 public:
  virtual ~WebViewDelegate() = default;
  virtual void runAlertPanel(const std::string& message, std::function<void()> done) = 0;
  virtual void runConfirmPanel(const std::string& message, std::function<void(bool)> done) = 0;
  virtual void runPromptPanel(const std::string& prompt, const std::string& defaultText,
                              std::function<void(std::optional<std::string>)> done) = 0;
  virtual void runOpenPanel(const OpenPanelRequest& request,
                            std::function<void(std::optional<std::vector<std::string>>)> done) = 0;
  // The host of the requesting security origin; true grants camera and microphone.
  virtual bool decideMediaCapture(const std::string& originHost) = 0;
  // A request for a new window. The host never opens one.
  virtual void requestNewWindow(const NavigationAction& action) = 0;
  virtual PolicyDecision decideNavigation(const NavigationAction& action) = 0;
  virtual void didFinishNavigation() = 0;
  // bodyJson is the posted message serialised as JSON; originHost is the host of the posting
  // frame's security origin, empty when it has none.
  virtual void didReceiveScriptMessage(const std::string& handler, const std::string& bodyJson,
                                       const std::string& originHost) = 0;
};

class WebView {
 public:
  virtual ~WebView() = default;
  // The delegate must outlive the web view or be reset first.
  virtual void setDelegate(WebViewDelegate* delegate) = 0;
  virtual void loadURL(const std::string& url, double timeoutSeconds) = 0;
  // Loads a document from a string with no base URL.
  virtual void loadHTML(const std::string& html) = 0;
  // Starts the engine's page process for the URL's origin with an empty document at that URL,
  // so that the first real page of the origin loads without waiting for it. The empty document
  // is never requested from the network and never reaches the delegate.
  virtual void warmUp(const std::string& url) = 0;
  virtual void reload() = 0;
  virtual std::optional<std::string> currentURL() const = 0;
  virtual void evaluateJavaScript(const std::string& script) = 0;
  virtual void executeEditingCommand(EditingCommand command) = 0;
};

}  // namespace qn
