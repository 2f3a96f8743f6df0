#include "base/Environment.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(Environment, PreferredLanguagesFollowTheLocaleVariables) {
  struct Case {
    std::map<std::string, std::string> variables;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{{"LANGUAGE", "zh_TW:en_US"}, {"LANG", "de_DE.UTF-8"}}, {"zh-TW", "en-US"}},
      {{{"LANGUAGE", ":zh_CN"}}, {"zh-CN"}},
      {{{"LANGUAGE", ""}, {"LC_ALL", "en_CN.UTF-8"}}, {"en-CN"}},
      {{{"LC_ALL", ""}, {"LC_MESSAGES", "zh_CN.GB2312"}, {"LANG", "en_US"}}, {"zh-CN"}},
      {{{"LANG", "de_DE.UTF-8@euro"}}, {"de-DE"}},
      {{{"LANG", "zh_Hant_TW"}}, {"zh-Hant-TW"}},
      {{{"LANG", "C"}}, {}},
      {{{"LANG", "C.UTF-8"}}, {}},
      {{{"LC_ALL", "POSIX"}, {"LANG", "zh_CN"}}, {}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(preferredLanguages(Environment(c.variables)), c.expected);
  }
}

TEST(Environment, ListsEntriesForAChild) {
  Environment environment(Environment::Variables{{"A", "1"}});
  environment.set("B", "two words");
  environment.set("A", "");
  environment.erase("MISSING");
  EXPECT_EQ(environment.toList(), (std::vector<std::string>{"A=", "B=two words"}));
  EXPECT_EQ(environment.get("A"), "");
  EXPECT_EQ(environment.get("C"), std::nullopt);
}

TEST(Environment, CurrentSnapshotSeesTheProcess) {
  ::setenv("QN_ENV_TEST", "x=y", 1);
  EXPECT_EQ(Environment::current().get("QN_ENV_TEST"), "x=y");
  ::unsetenv("QN_ENV_TEST");
  EXPECT_EQ(Environment::current().get("QN_ENV_TEST"), std::nullopt);
}

}  // namespace
}  // namespace qn
