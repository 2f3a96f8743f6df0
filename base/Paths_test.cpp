#include "base/Paths.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace qn {
namespace {

TEST(Paths, ExpandsTildeWithTheHomeDirectory) {
  test::ScopedEnv home("HOME", "/home/someone");
  EXPECT_EQ(homeDirectory(), "/home/someone");
  EXPECT_EQ(expandTilde("~"), "/home/someone");
  EXPECT_EQ(expandTilde("~/"), "/home/someone");
  EXPECT_EQ(expandTilde("~/Library/Application Support/QUENTRA"),
            "/home/someone/Library/Application Support/QUENTRA");
  EXPECT_EQ(expandTilde("/abs/~x"), "/abs/~x");
  EXPECT_EQ(expandTilde("rel/~"), "rel/~");
  EXPECT_EQ(expandTilde("~no-such-user-here/x"), "~no-such-user-here/x");
  EXPECT_EQ(expandTilde("~root/x"), "/root/x");
}

TEST(Paths, HomeFallsBackToThePasswordDatabase) {
  test::ScopedEnv home("HOME", std::nullopt);
  EXPECT_FALSE(homeDirectory().empty());
  EXPECT_EQ(homeDirectory().front(), '/');
  test::ScopedEnv empty("HOME", "");
  EXPECT_EQ(homeDirectory().front(), '/');
}

TEST(Paths, StandardizesLexically) {
  test::ScopedEnv home("HOME", "/home/u");
  const std::pair<const char*, const char*> cases[] = {
      {"/a//b/./c/", "/a/b/c"},
      {"/a/b/../c", "/a/c"},
      {"/..", "/"},
      {"/", "/"},
      {"~/Library/Application", "/home/u/Library/Application"},
      {"~/Library/Application/", "/home/u/Library/Application"},
      {"~/Library/./Application", "/home/u/Library/Application"},
      {"a/./b", "a/b"},
      {"a/../b", "a/../b"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(standardizePath(input), expected) << input;
}

TEST(Paths, JoinsAndSplitsComponents) {
  EXPECT_EQ(appendPath("/data", "logs/server.log"), "/data/logs/server.log");
  EXPECT_EQ(appendPath("/data/", "/logs"), "/data/logs");
  EXPECT_EQ(lastPathComponent("/usr/bin/tmux"), "tmux");
  EXPECT_EQ(lastPathComponent("tmux"), "tmux");
  EXPECT_EQ(lastPathComponent("/opt/x/"), "x");
  EXPECT_EQ(parentPath("/a/b/c"), "/a/b");
  EXPECT_EQ(parentPath("/a"), "/");
}

}  // namespace
}  // namespace qn
