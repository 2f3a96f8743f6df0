#include "companion/Options.h"

#include <unistd.h>

#include <map>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/Processes.h"

namespace qn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(Options, FlagsAnywhereAsWholeArguments) {
  const auto options = parseOptions({"x", "--board", "--guard", "--guardian"});
  EXPECT_TRUE(options.guardMode);
  EXPECT_TRUE(options.boardMode);
  EXPECT_TRUE(options.quietUI);
  const auto plain = parseOptions({"--boards", "-guard"});
  EXPECT_FALSE(plain.guardMode);
  EXPECT_FALSE(plain.boardMode);
  EXPECT_FALSE(plain.quietUI);
}

TEST(Options, AnchorLists) {
  struct Case {
    std::vector<std::string> arguments;
    std::vector<int32_t> anchors;
  };
  const std::vector<Case> cases = {
      {{"--anchor", "12,abc,+34,-5"}, {12, 34, -5}},
      {{"--anchor"}, {}},
      {{"--anchor", ",,,"}, {}},
      {{"--anchor", "7", "--anchor", "9"}, {7}},
      {{"--anchor", "2147483648,3, 4"}, {3}},
      {{"--guard"}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(parseOptions(c.arguments).anchors, c.anchors);
}

TEST(Chain, AncestorsWithoutDuplicatesOrSelf) {
  // 50 -> 40 -> 30 -> 1; 45 -> 40; the companion itself is 40.
  const std::map<pid_t, pid_t> parents = {{50, 40}, {40, 30}, {30, 1}, {45, 40}};
  const ParentLookup lookup = [&](pid_t pid) -> std::optional<pid_t> {
    const auto found = parents.find(pid);
    return found == parents.end() ? std::nullopt : std::optional<pid_t>(found->second);
  };
  EXPECT_THAT(chain({50, 45, -5, 1, 0}, 40, lookup), ElementsAre(50, 30, 45));
  EXPECT_THAT(chain({}, 40, lookup), IsEmpty());
}

TEST(Chain, AtMostSevenAncestors) {
  const ParentLookup longLine = [](pid_t pid) -> std::optional<pid_t> { return pid + 1; };
  EXPECT_THAT(chain({100}, 1, longLine), ElementsAre(100, 101, 102, 103, 104, 105, 106, 107));
}

TEST(Chain, RealProcessTree) {
  const auto list = chain({getpid()}, 0, parentProcessId);
  ASSERT_GE(list.size(), 2u);
  EXPECT_EQ(list[0], getpid());
  EXPECT_EQ(list[1], getppid());
}

TEST(Language, FirstPreferredLanguage) {
  struct Case {
    std::map<std::string, std::string> variables;
    bool zh;
  };
  const std::vector<Case> cases = {
      {{{"LANG", "zh_CN.UTF-8"}}, true},
      {{{"LANGUAGE", "zh_TW:en"}, {"LANG", "en_US.UTF-8"}}, true},
      {{{"LANGUAGE", "en:zh"}, {"LANG", "zh_CN.UTF-8"}}, false},
      {{{"LC_ALL", "de_DE.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}, false},
      {{{"LC_MESSAGES", "zh_HK"}}, true},
      {{{"LANG", "C"}}, false},
      {{}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(chineseInterface(Environment(c.variables)), c.zh);
}

}  // namespace
}  // namespace qn
