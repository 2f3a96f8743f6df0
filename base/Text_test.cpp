#include "base/Text.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(Text, TrimsAsciiAndUnicodeWhiteSpaceFromBothEnds) {
  EXPECT_EQ(trimWhitespace("  zh\n"), "zh");
  EXPECT_EQ(trimWhitespace("\t\r\n en \r\n"), "en");
  EXPECT_EQ(trimWhitespace("\xC2\xA0"
                           "123\xE3\x80\x80"),
            "123");  // no-break and ideographic spaces
  EXPECT_EQ(trimWhitespace("a b"), "a b");
  EXPECT_EQ(trimWhitespace(" \n\t"), "");
  EXPECT_EQ(trimWhitespace("\xE4\xB8\xAD"), "\xE4\xB8\xAD");  // 中 is kept whole
}

TEST(Text, SplitKeepsOrDropsEmptyPieces) {
  EXPECT_EQ(split("a::b:", ':', true), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(split("a::b:", ':', false), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_TRUE(split("", ':', true).empty());
  EXPECT_EQ(join({"x", "y", "z"}, ":"), "x:y:z");
}

TEST(Text, Utf8ValidationAndReplacement) {
  struct Case {
    std::string input;
    bool valid;
    std::string replaced;
  };
  const std::string fffd = "\xEF\xBF\xBD";
  const Case cases[] = {
      {"plain", true, "plain"},
      {"\xE4\xB8\xAD\xE6\x96\x87", true, "\xE4\xB8\xAD\xE6\x96\x87"},
      {"\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
      {"a\xFFz", false, "a" + fffd + "z"},
      {"\xC0\xAF", false, fffd + fffd},                        // overlong
      {"\xED\xA0\x80", false, fffd + fffd + fffd},             // surrogate
      {"\xE4\xB8", false, fffd},                               // truncated at the end
      {"\xE4\xB8x", false, fffd + "x"},                        // truncated in the middle
      {"\xF4\x90\x80\x80", false, fffd + fffd + fffd + fffd},  // beyond U+10FFFF
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isValidUtf8(c.input), c.valid) << c.input;
    EXPECT_EQ(replaceInvalidUtf8(c.input), c.replaced) << c.input;
    EXPECT_TRUE(isValidUtf8(replaceInvalidUtf8(c.input)));
  }
}

TEST(Text, LowerCasesAsciiOnly) {
  EXPECT_EQ(toLowerAscii("HTTPS://Example"), "https://example");
  EXPECT_EQ(toLowerAscii("\xC3\x89"), "\xC3\x89");
}

}  // namespace
}  // namespace qn

namespace qn {
namespace {

TEST(Text, FirstCharactersCountsUserPerceivedCharacters) {
  const std::string family =
      "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";  // 👨‍👩‍👧
  const std::string flag = "\xF0\x9F\x87\xA8\xF0\x9F\x87\xB3";  // two regional indicators
  const std::string accented = "e\xCC\x81";                     // e + combining acute
  EXPECT_EQ(firstCharacters(family + flag + accented + "x", 3), family + flag + accented);
  EXPECT_EQ(firstCharacters(family + flag, 1), family);
  EXPECT_EQ(firstCharacters("abc", 5), "abc");
  EXPECT_EQ(firstCharacters("abc", 0), "");
  EXPECT_EQ(firstCharacters("\xE4\xB8\xAD\xE6\x96\x87", 1), "\xE4\xB8\xAD");
  EXPECT_EQ(firstCharacters("", 3), "");
}

}  // namespace
}  // namespace qn
