#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/WebView.h"

namespace qn::test {

// A web view delegate that records every call and keeps the panels' callbacks for the test to
// answer when it chooses.
class RecordingDelegate final : public WebViewDelegate {
 public:
  struct Message {
    std::string handler;
    std::string body;
    std::string originHost;
  };

  void runAlertPanel(const std::string& message, std::function<void()> done) override {
    alerts.push_back(message);
    alertDone = std::move(done);
  }
  void runConfirmPanel(const std::string& message, std::function<void(bool)> done) override {
    confirms.push_back(message);
    confirmDone = std::move(done);
  }
  void runPromptPanel(const std::string& prompt, const std::string& defaultText,
                      std::function<void(std::optional<std::string>)> done) override {
    prompts.emplace_back(prompt, defaultText);
    promptDone = std::move(done);
  }
  void runOpenPanel(const OpenPanelRequest& request,
                    std::function<void(std::optional<std::vector<std::string>>)> done) override {
    openPanels.push_back(request);
    openDone = std::move(done);
  }
  bool decideMediaCapture(const std::string& originHost) override {
    mediaHosts.push_back(originHost);
    return false;
  }
  void requestNewWindow(const NavigationAction& action) override { newWindows.push_back(action); }
  PolicyDecision decideNavigation(const NavigationAction& action) override {
    navigations.push_back(action);
    return navigationPolicy ? navigationPolicy(action) : PolicyDecision::Allow;
  }
  void didFinishNavigation() override { ++finished; }
  void didReceiveScriptMessage(const std::string& handler, const std::string& body,
                               const std::string& originHost) override {
    messages.push_back({handler, body, originHost});
  }

  std::vector<std::string> alerts;
  std::function<void()> alertDone;
  std::vector<std::string> confirms;
  std::function<void(bool)> confirmDone;
  std::vector<std::pair<std::string, std::string>> prompts;
  std::function<void(std::optional<std::string>)> promptDone;
  std::vector<OpenPanelRequest> openPanels;
  std::function<void(std::optional<std::vector<std::string>>)> openDone;
  std::vector<std::string> mediaHosts;
  std::vector<NavigationAction> newWindows;
  std::vector<NavigationAction> navigations;
  std::function<PolicyDecision(const NavigationAction&)> navigationPolicy;
  int finished = 0;
  std::deque<Message> messages;
};

}  // namespace qn::test
