#include "base/Base64.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/TestImages.h"

namespace qn {
namespace {

std::optional<std::string> decoded(std::string_view text) {
  const auto bytes = decodeBase64(text);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

TEST(Base64, DecodesPaddedStandardAlphabet) {
  struct Case {
    std::string text;
    std::string bytes;
  };
  const Case cases[] = {
      {"", ""},
      {"Zg==", "f"},
      {"Zm8=", "fo"},
      {"Zm9v", "foo"},
      {"Zm9vYmFy", "foobar"},
      {"Zm9vYg==", "foob"},
      {"+/+/", "\xfb\xff\xbf"},
      {"AAAA", std::string(3, '\0')},
  };
  for (const auto& c : cases) EXPECT_EQ(decoded(c.text), c.bytes) << c.text;
}

TEST(Base64, RefusesAnythingButTheStrictForm) {
  const std::string refused[] = {
      "Zg",                     // unpadded
      "Zg=",                    // short padding
      "Zm9vY",                  // not a multiple of four
      "Zg==Zg==",               // padding inside
      "Z===",                   // three padding characters
      "====",                   // padding only
      "Zm=v",                   // "=" before a character
      "Zm9v\n",                 // line feed
      "Zm9 ",                   // space
      "Zm-_",                   // URL-safe alphabet
      std::string("Zm\0v", 4),  // embedded NUL
      "Zm9v\xC3\xA9\xC3\xA9",   // non-ASCII
  };
  for (const auto& text : refused) EXPECT_FALSE(decodeBase64(text)) << text;
}

TEST(Base64, RoundTripsEveryByteValueAtEveryTailLength) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<uint8_t>(i));
  for (size_t cut = 253; cut <= 256; ++cut) {
    const std::vector<uint8_t> part(bytes.begin(), bytes.begin() + cut);
    EXPECT_EQ(decodeBase64(test::encodeBase64(part)), part) << cut;
  }
}

TEST(Base64, LargeInputDecodesToThreeQuartersAndABadLastCharacterFailsIt) {
  std::string text(50u << 20, 'A');
  const auto bytes = decodeBase64(text);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), (50u << 20) / 4 * 3);
  text[text.size() - 5] = '*';
  EXPECT_FALSE(decodeBase64(text));
}

}  // namespace
}  // namespace qn
