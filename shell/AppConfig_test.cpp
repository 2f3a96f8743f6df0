#include "shell/AppConfig.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace qn {
namespace {

class AppConfigTest : public ::testing::Test {
 protected:
  test::ScopedEnv home_{"HOME", "/home/u"};
};

TEST_F(AppConfigTest, DefaultsWithNothingSet) {
  const AppConfig config = AppConfig::parse(Environment(), {});
  EXPECT_EQ(config.port, 47681);
  EXPECT_EQ(config.ttydPort, 47682);
  EXPECT_EQ(config.dataDir, "/home/u/Library/Application Support/QUENTRA");
  EXPECT_EQ(config.tmuxSocket, "quentra");
  const AppConfig plain;
  EXPECT_EQ(plain.dataDir, config.dataDir);
  const AppConfig memberwise("/d");
  EXPECT_EQ(memberwise.port, 47681);
  EXPECT_EQ(memberwise.tmuxSocket, "quentra");
}

struct Case {
  const char* name;
  std::map<std::string, std::string> environment;
  std::vector<std::string> arguments;
  int64_t port;
  int64_t ttydPort;
  std::string dataDir;
  std::string socket;
};

TEST_F(AppConfigTest, EnvironmentAndCommandLine) {
  const std::string fallbackDir = "/home/u/Library/Application Support/QUENTRA";
  const Case cases[] = {
      {"command line wins",
       {{"QUENTRA_PORT", "9000"}},
       {"--port", "9100"},
       9100,
       47682,
       fallbackDir,
       "quentra"},
      {"environment alone",
       {{"QUENTRA_PORT", "9000"}, {"QUENTRA_TTYD_PORT", "9001"}},
       {},
       9000,
       9001,
       fallbackDir,
       "quentra"},
      {"blank before digits",
       {{"QUENTRA_PORT", " 9000"}},
       {},
       47681,
       47682,
       fallbackDir,
       "quentra"},
      {"letters in environment",
       {{"QUENTRA_PORT", "90a0"}, {"QUENTRA_TTYD_PORT", "x"}},
       {},
       47681,
       47682,
       fallbackDir,
       "quentra"},
      {"bad value keeps the environment's",
       {{"QUENTRA_PORT", "9000"}},
       {"--port", "abc"},
       9000,
       47682,
       fallbackDir,
       "quentra"},
      {"letters consumed as the value",
       {},
       {"--port", "abc", "--ttyd-port", "9001"},
       47681,
       9001,
       fallbackDir,
       "quentra"},
      {"plus sign", {}, {"-p", "+9000"}, 9000, 47682, fallbackDir, "quentra"},
      {"negative accepted", {}, {"-p", "-1"}, -1, 47682, fallbackDir, "quentra"},
      {"beyond 16 bits accepted",
       {},
       {"-p", "70000", "--ttyd-port", "0"},
       70000,
       0,
       fallbackDir,
       "quentra"},
      {"beyond 64 bits ignored",
       {},
       {"-p", "9223372036854775808"},
       47681,
       47682,
       fallbackDir,
       "quentra"},
      {"option last is ignored",
       {},
       {"--ttyd-port", "9001", "--port"},
       47681,
       9001,
       fallbackDir,
       "quentra"},
      {"last one wins",
       {},
       {"-p", "1", "--port", "2", "-p", "3"},
       3,
       47682,
       fallbackDir,
       "quentra"},
      {"equals form not recognised",
       {},
       {"--port=9000", "-d=/x"},
       47681,
       47682,
       fallbackDir,
       "quentra"},
      {"case-sensitive options",
       {},
       {"--PORT", "9000", "-P", "9"},
       47681,
       47682,
       fallbackDir,
       "quentra"},
      {"no short form for ttyd", {}, {"-t", "9001"}, 47681, 47682, fallbackDir, "quentra"},
      {"value that looks like an option",
       {},
       {"-d", "--port", "9"},
       47681,
       47682,
       "--port",
       "quentra"},
      {"tilde data dir", {}, {"-d", "~/data"}, 47681, 47682, "/home/u/data", "quentra"},
      {"data dir from environment",
       {{"QUENTRA_DATA_DIR", "~/env dir"}},
       {},
       47681,
       47682,
       "/home/u/env dir",
       "quentra"},
      {"cut default path",
       {},
       {"-d", "~/Library/Application", "Support/QUENTRA"},
       47681,
       47682,
       fallbackDir,
       "quentra"},
      {"cut default path, trailing slash",
       {{"QUENTRA_DATA_DIR", "/home/u/Library//Application/"}},
       {},
       47681,
       47682,
       fallbackDir,
       "quentra"},
      {"empty socket", {{"QUENTRA_TMUX_SOCKET", ""}}, {}, 47681, 47682, fallbackDir, ""},
      {"socket from command line",
       {{"QUENTRA_TMUX_SOCKET", "env"}},
       {"-s", "cli", "--socket", "cli2"},
       47681,
       47682,
       fallbackDir,
       "cli2"},
      {"environment values with blanks kept",
       {{"QUENTRA_TMUX_SOCKET", " a b "}},
       {},
       47681,
       47682,
       fallbackDir,
       " a b "},
  };
  for (const Case& c : cases) {
    const AppConfig config = AppConfig::parse(Environment(c.environment), c.arguments);
    EXPECT_EQ(config.port, c.port) << c.name;
    EXPECT_EQ(config.ttydPort, c.ttydPort) << c.name;
    EXPECT_EQ(config.dataDir, c.dataDir) << c.name;
    EXPECT_EQ(config.tmuxSocket, c.socket) << c.name;
  }
}

}  // namespace
}  // namespace qn
