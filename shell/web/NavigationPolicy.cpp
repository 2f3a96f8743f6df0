#include "shell/web/NavigationPolicy.h"

#include "base/Text.h"
#include "shell/AppDelegate.h"

namespace qn {

bool isLocalHost(const std::string& host) {
  return host == "127.0.0.1" || host == "localhost";
}

bool isLocalURL(const std::string& url) {
  const auto parsed = Url::parse(url);
  return parsed && parsed->host && isLocalHost(*parsed->host);
}

bool AppDelegate::isExternalScheme(const std::string& scheme) {
  return scheme == "http" || scheme == "https" || scheme == "mailto";
}

NavigationVerdict decideNavigationPolicy(const NavigationAction& action) {
  if (!action.url) return {PolicyDecision::Allow, NavigationSideEffect::None};
  const auto url = Url::parse(*action.url);
  const std::string scheme = url ? url->scheme : std::string();
  const std::string host = url && url->host ? *url->host : std::string();
  if (scheme == "quentra") {
    if (host == "open-log") return {PolicyDecision::Cancel, NavigationSideEffect::OpenLog};
    if (host == "retry") return {PolicyDecision::Cancel, NavigationSideEffect::Retry};
    return {PolicyDecision::Cancel, NavigationSideEffect::HandleCustomURL};
  }
  if (url && url->host && isLocalHost(host))
    return {PolicyDecision::Allow, NavigationSideEffect::None};
  if (action.type != NavigationType::LinkActivated && action.hasTargetFrame) {
    return {PolicyDecision::Allow, NavigationSideEffect::None};
  }
  if (AppDelegate::isExternalScheme(toLowerAscii(scheme))) {
    return {PolicyDecision::Cancel, NavigationSideEffect::OpenWithSystem};
  }
  return {PolicyDecision::Cancel, NavigationSideEffect::None};
}

NewWindowVerdict decideNewWindowPolicy(const NavigationAction& action) {
  if (!action.url) return NewWindowVerdict::Nothing;
  const auto url = Url::parse(*action.url);
  const std::string scheme = url ? toLowerAscii(url->scheme) : std::string();
  const bool web = scheme == "http" || scheme == "https";
  if (web && url->host && isLocalHost(*url->host)) return NewWindowVerdict::LoadInPlace;
  if (web || scheme == "mailto") return NewWindowVerdict::OpenWithSystem;
  return NewWindowVerdict::LogIgnored;
}

}  // namespace qn
