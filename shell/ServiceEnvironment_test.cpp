#include "shell/ServiceEnvironment.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(ServiceEnvironment, MissingCandidatesGoInFrontInReverseOrder) {
  EXPECT_EQ(composeSearchPath("/usr/bin:/bin:/usr/sbin:/sbin", "/Users/u"),
            "/Users/u/.gemini/antigravity-cli/bin:/Users/u/.npm-global/bin:/Users/u/.local/bin:"
            "/usr/local/sbin:/usr/local/bin:/opt/homebrew/sbin:/opt/homebrew/bin:"
            "/usr/bin:/bin:/usr/sbin:/sbin");
}

TEST(ServiceEnvironment, EmptyPathYieldsTheElevenCandidatesReversed) {
  EXPECT_EQ(composeSearchPath("", "/h"),
            "/sbin:/usr/sbin:/bin:/usr/bin:/h/.gemini/antigravity-cli/bin:/h/.npm-global/bin:"
            "/h/.local/bin:/usr/local/sbin:/usr/local/bin:/opt/homebrew/sbin:/opt/homebrew/bin");
  EXPECT_EQ(composeSearchPath(":::", "/h"), composeSearchPath("", "/h"));
}

TEST(ServiceEnvironment, InheritedEntriesKeepTheirPlace) {
  const std::string path = composeSearchPath("/mine:/opt/homebrew/bin:/usr/bin/:/bin", "/h");
  EXPECT_EQ(path,
            "/sbin:/usr/sbin:/usr/bin:/h/.gemini/antigravity-cli/bin:/h/.npm-global/bin:"
            "/h/.local/bin:/usr/local/sbin:/usr/local/bin:/opt/homebrew/sbin:"
            "/mine:/opt/homebrew/bin:/usr/bin/:/bin");
}

TEST(ServiceEnvironment, SetsTheSettingsAndKeepsEverythingElse) {
  const AppConfig config("/data dir", 9100, -5, "");
  const Environment environment = serviceEnvironment(
      Environment(Environment::Variables{
          {"PATH", "/old"}, {"HOME", "/h"}, {"QUENTRA_PORT", "1"}, {"OTHER", " x "}}),
      config, "/new:/path", "/Apps/QUENTRA.app");
  EXPECT_EQ(environment.toList(),
            (std::vector<std::string>{"HOME=/h", "OTHER= x ", "PATH=/new:/path",
                                      "QUENTRA_APP_BUNDLE=1", "QUENTRA_APP_PATH=/Apps/QUENTRA.app",
                                      "QUENTRA_DATA_DIR=/data dir", "QUENTRA_PORT=9100",
                                      "QUENTRA_TMUX_SOCKET=", "QUENTRA_TTYD_PORT=-5"}));
}

TEST(ServiceEnvironment, UpdateURLPassesOnlyForWebAddresses) {
  const std::pair<const char*, bool> cases[] = {
      {"HTTPS://updates.example/feed", true},
      {"http://127.0.0.1:9/x", true},
      {"Https://mixed.Case/", true},
      {"/tmp/update.json", false},
      {"file:///tmp/update.json", false},
      {" https://leading-blank", false},
      {"", false},
  };
  for (const auto& [value, kept] : cases) {
    const Environment environment =
        serviceEnvironment(Environment(Environment::Variables{{"QUENTRA_UPDATE_URL", value}}),
                           AppConfig("/d"), "", "/b");
    EXPECT_EQ(environment.get("QUENTRA_UPDATE_URL"),
              kept ? std::optional<std::string>(value) : std::nullopt)
        << value;
  }
  EXPECT_EQ(serviceEnvironment(Environment(), AppConfig("/d"), "", "/b").get("QUENTRA_UPDATE_URL"),
            std::nullopt);
}

}  // namespace
}  // namespace qn
