#include "shell/TmuxTrace.h"

#include <gtest/gtest.h>

#include <signal.h>

#include "base/ChildProcess.h"
#include "base/Files.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

TEST(TmuxTrace, FindsTheServersOfThisSocket) {
  const std::vector<std::string> lines = {
      "  101     1 /usr/bin/tmux -L quentra new-session -d",
      "  102     1 tmux -Lquentra",
      "  103     1 /opt/x/tmux -L other",
      "  4999999   500 /usr/bin/tmux -L quentra attach",  // a client, not a daemon
      "  105     1 /usr/bin/tmux-helper -L quentra",
      "  106     1 /usr/bin/tmux",
      "  107     1 /usr/bin/tmux -L quentra2",
      "  108",
      "  109     1 /usr/bin/tmux new -L quentra",
  };
  EXPECT_EQ(tmuxServerIds(lines, "quentra"), (std::vector<std::string>{"101", "102", "109"}));
  EXPECT_EQ(tmuxServerIds(lines, "other"), (std::vector<std::string>{"103"}));
  EXPECT_TRUE(tmuxServerIds(lines, "none").empty());
}

TEST(TmuxTrace, ASessionLeaderCountsAsADaemonWhateverItsParent) {
  SpawnOptions options;
  options.executable = "/bin/sleep";
  options.arguments = {"30"};
  options.newSession = true;
  auto leader = ChildProcess::spawn(options, nullptr);
  ASSERT_TRUE(leader);
  const std::string pid = std::to_string(leader->pid());
  EXPECT_EQ(tmuxServerIds({pid + " 4242 /usr/bin/tmux -L quentra"}, "quentra"),
            std::vector<std::string>{pid});
  leader->sendSignal(SIGKILL);
  leader->waitForExit(5);
}

TEST(TmuxTrace, EntryListsIdsOrContextLines) {
  const std::vector<std::string> found = {"  7 1 /usr/bin/tmux -L s", " 8 1 node server.js"};
  EXPECT_EQ(tmuxTraceEntry("2026-12-10T10:00:00Z", 42, "label", "s", found),
            "[2026-12-10T10:00:00Z] [外壳 42] label | socket=s tmux服务=7\n");

  const std::vector<std::string> none = {"  9 55 node /app/Server.JS", "  10 1 /usr/bin/bash",
                                         "\t 11 1 claude --x \t",
                                         "  12 1 cat shell-snapshots/tmux"};
  EXPECT_EQ(tmuxTraceEntry("T", 1, "L", "s", none),
            "[T] [外壳 1] L | socket=s tmux服务=无\n    9 55 node /app/Server.JS\n"
            "    11 1 claude --x\n");
}

TEST(TmuxTrace, ContextLinesAreCutAndCounted) {
  std::vector<std::string> lines(100, "tmux " + std::string(300, 'x'));
  lines[0] = "tmux " + std::string(195, 'x') + "中文字符更多";
  const auto context = tmuxContextLines(lines);
  ASSERT_EQ(context.size(), 80u);
  EXPECT_EQ(context[0], "    tmux " + std::string(195, 'x') + "\n");
  EXPECT_EQ(context[1].size(), 4 + 200 + 1u);
}

TEST(TmuxTrace, RotatesOnlyAboveTheLimit) {
  test::TempDir dir;
  const std::string log = dir.file("logs/tmux_trace.log");
  appendTmuxTrace(dir.file("logs"), "first\n");
  EXPECT_EQ(readFile(log), "first\n");

  writeFileAtomically(log, std::string(524288, 'a'));
  appendTmuxTrace(dir.file("logs"), "kept\n");
  EXPECT_EQ(fileSize(log), 524288u + 5);
  EXPECT_FALSE(fileExists(log + ".1"));

  writeFileAtomically(log + ".1", "old copy");
  writeFileAtomically(log, std::string(600000, 'b'));
  appendTmuxTrace(dir.file("logs"), "fresh\n");
  EXPECT_EQ(readFile(log), "fresh\n");
  EXPECT_EQ(fileSize(log + ".1"), 600000u);
}

}  // namespace
}  // namespace qn
