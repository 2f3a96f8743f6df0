#include "shell/web/NavigationPolicy.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

using Effect = NavigationSideEffect;
constexpr auto Allow = PolicyDecision::Allow;
constexpr auto Cancel = PolicyDecision::Cancel;
constexpr auto Link = NavigationType::LinkActivated;
constexpr auto Other = NavigationType::Other;
constexpr auto Form = NavigationType::FormSubmitted;

struct Case {
  std::optional<std::string> url;
  NavigationType type;
  bool targetFrame;
  NavigationVerdict expected;
};

TEST(NavigationPolicy, DecidesEveryKindOfNavigation) {
  const Case cases[] = {
      {std::nullopt, Link, true, {Allow, Effect::None}},
      {"quentra://open-log", Link, true, {Cancel, Effect::OpenLog}},
      {"quentra://open-log/../x", Link, true, {Cancel, Effect::OpenLog}},
      {"quentra://retry", Other, true, {Cancel, Effect::Retry}},
      {"quentra://skill/abc", Link, true, {Cancel, Effect::HandleCustomURL}},
      {"quentra:", Link, true, {Cancel, Effect::HandleCustomURL}},
      // The scheme is compared without case folding: this is not the app's own scheme.
      {"QUENTRA://RETRY", Link, true, {Cancel, Effect::None}},
      {"QUENTRA://RETRY", Other, true, {Allow, Effect::None}},
      {"http://localhost:1234/x", Link, true, {Allow, Effect::None}},
      {"https://127.0.0.1/", Link, false, {Allow, Effect::None}},
      {"ws://127.0.0.1:9/socket", Link, true, {Allow, Effect::None}},
      {"https://example.com/", Link, true, {Cancel, Effect::OpenWithSystem}},
      {"HTTPS://example.com/", Link, true, {Cancel, Effect::OpenWithSystem}},
      {"mailto:someone@example.com", Link, true, {Cancel, Effect::OpenWithSystem}},
      {"https://example.com/", Form, true, {Allow, Effect::None}},
      {"https://example.com/", Other, true, {Allow, Effect::None}},
      {"https://example.com/", Other, false, {Cancel, Effect::OpenWithSystem}},
      {"tel:123", Link, true, {Cancel, Effect::None}},
      {"ftp://example.com/", Link, true, {Cancel, Effect::None}},
      // Hostile addresses that only look local.
      {"http://localhost.evil.com/", Link, true, {Cancel, Effect::OpenWithSystem}},
      {"http://127.0.0.1.evil.com/", Link, true, {Cancel, Effect::OpenWithSystem}},
      {"http://localhost@evil.com/", Link, true, {Cancel, Effect::OpenWithSystem}},
      {"http://127.0.0.1:80@evil.com/", Link, true, {Cancel, Effect::OpenWithSystem}},
      {"http://evil.com/@127.0.0.1/", Link, true, {Cancel, Effect::OpenWithSystem}},
      {"http://LOCALHOST/", Link, true, {Cancel, Effect::OpenWithSystem}},
      {"file:///etc/passwd", Link, true, {Cancel, Effect::None}},
      {"about:blank", Link, true, {Cancel, Effect::None}},
      {"data:text/html,x", Link, true, {Cancel, Effect::None}},
      {"javascript:alert(1)", Link, true, {Cancel, Effect::None}},
      {"not a url", Link, true, {Cancel, Effect::None}},
  };
  for (const Case& c : cases) {
    const NavigationVerdict verdict = decideNavigationPolicy({c.url, c.type, c.targetFrame});
    EXPECT_EQ(verdict, c.expected) << c.url.value_or("(none)") << " type "
                                   << static_cast<int>(c.type) << " frame " << c.targetFrame;
  }
}

TEST(NavigationPolicy, NewWindowRequestsNeverOpenAWindow) {
  const std::pair<std::optional<std::string>, NewWindowVerdict> cases[] = {
      {std::nullopt, NewWindowVerdict::Nothing},
      {"http://localhost:47681/page", NewWindowVerdict::LoadInPlace},
      {"HTTPS://127.0.0.1/", NewWindowVerdict::LoadInPlace},
      {"https://example.com/", NewWindowVerdict::OpenWithSystem},
      {"http://localhost@evil.com/", NewWindowVerdict::OpenWithSystem},
      {"https:///nohost", NewWindowVerdict::OpenWithSystem},
      {"mailto:a@b.c", NewWindowVerdict::OpenWithSystem},
      {"about:blank", NewWindowVerdict::LogIgnored},
      {"data:text/html,x", NewWindowVerdict::LogIgnored},
      {"quentra://skill/x", NewWindowVerdict::LogIgnored},
  };
  for (const auto& [url, expected] : cases) {
    EXPECT_EQ(decideNewWindowPolicy({url, NavigationType::LinkActivated, false}), expected)
        << url.value_or("(none)");
  }
}

TEST(NavigationPolicy, LocalMeansExactlyTheTwoLoopbackNames) {
  EXPECT_TRUE(isLocalURL("http://127.0.0.1:47681/"));
  EXPECT_TRUE(isLocalURL("http://localhost/"));
  EXPECT_FALSE(isLocalURL("http://Localhost/"));
  EXPECT_FALSE(isLocalURL("http://127.0.0.2/"));
  EXPECT_FALSE(isLocalURL("http://[::1]/"));
  EXPECT_FALSE(isLocalURL("about:blank"));
  EXPECT_FALSE(isLocalURL(""));
}

}  // namespace
}  // namespace qn
