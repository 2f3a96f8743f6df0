#pragma once

#include <string>

#include "base/Url.h"
#include "platform/WebView.h"

namespace qn {

// True when the URL's host is exactly "127.0.0.1" or "localhost" (no case folding; any port).
bool isLocalURL(const std::string& url);
bool isLocalHost(const std::string& host);

// What the host does besides allowing or cancelling a navigation.
enum class NavigationSideEffect { None, OpenLog, Retry, HandleCustomURL, OpenWithSystem };

struct NavigationVerdict {
  PolicyDecision policy = PolicyDecision::Allow;
  NavigationSideEffect effect = NavigationSideEffect::None;

  bool operator==(const NavigationVerdict&) const = default;
};

// Local pages stay inside, the app's own links are acted on natively, clicked external web and
// mail links go to the system, everything else is cancelled.
NavigationVerdict decideNavigationPolicy(const NavigationAction& action);

enum class NewWindowVerdict { Nothing, LoadInPlace, OpenWithSystem, LogIgnored };

// The host never opens a second window: a local page opens in place, a web or mail address goes
// to the system, anything else is only logged.
NewWindowVerdict decideNewWindowPolicy(const NavigationAction& action);

}  // namespace qn
