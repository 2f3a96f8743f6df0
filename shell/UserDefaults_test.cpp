#include "shell/UserDefaults.h"

#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

TEST(UserDefaults, StoresBooleansBesideOtherValuesInANewFolder) {
  test::TempDir dir;
  const std::string path = dir.file("config/QUENTRA/defaults.json");
  UserDefaults defaults(path);
  EXPECT_FALSE(defaults.boolForKey("skipMoveToApplications"));
  ASSERT_TRUE(defaults.setBool("skipMoveToApplications", true));
  ASSERT_TRUE(defaults.setBool("other", false));
  EXPECT_TRUE(UserDefaults(path).boolForKey("skipMoveToApplications"));
  EXPECT_FALSE(UserDefaults(path).boolForKey("other"));
  const auto stored = nlohmann::json::parse(readFile(path).value_or(""), nullptr, false);
  EXPECT_EQ(stored, nlohmann::json({{"skipMoveToApplications", true}, {"other", false}}));
}

TEST(UserDefaults, ValuesOfAnotherKindAndJunkFilesReadAsFalse) {
  test::TempDir dir;
  const std::string path = dir.file("defaults.json");
  for (const std::string text :
       {R"({"skip": "true"})", R"({"skip": 1})", R"([true])", "\xff\xfe junk", "{\"skip\": tru"}) {
    writeFileAtomically(path, text);
    EXPECT_FALSE(UserDefaults(path).boolForKey("skip")) << text;
  }
  // Writing over junk starts from no values.
  ASSERT_TRUE(UserDefaults(path).setBool("skip", true));
  EXPECT_TRUE(UserDefaults(path).boolForKey("skip"));
  EXPECT_FALSE(UserDefaults(dir.file("none/defaults.json")).boolForKey("skip"));
}

TEST(UserDefaults, AnUnwritablePlaceReportsFailure) {
  test::TempDir dir;
  writeFileAtomically(dir.file("file"), "");
  EXPECT_FALSE(UserDefaults(dir.file("file/defaults.json")).setBool("skip", true));
  EXPECT_FALSE(UserDefaults("").setBool("skip", true));
}

}  // namespace
}  // namespace qn
