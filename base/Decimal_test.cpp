#include "base/Decimal.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

struct Case {
  const char* text;
  std::optional<int64_t> expected;
};

TEST(Decimal, ParsesStrictSignedIntegers) {
  const Case cases[] = {
      {"0", 0},
      {"47681", 47681},
      {"+9000", 9000},
      {"-1", -1},
      {"007", 7},
      {"9223372036854775807", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
      {"9223372036854775808", std::nullopt},
      {"-9223372036854775809", std::nullopt},
      {"", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"+-1", std::nullopt},
      {"++1", std::nullopt},
      {" 9000", std::nullopt},
      {"9000 ", std::nullopt},
      {"9000\n", std::nullopt},
      {"12ab", std::nullopt},
      {"0x10", std::nullopt},
      {"1e3", std::nullopt},
      {"1.0", std::nullopt},
      {"\xd9\xa3", std::nullopt},  // an Arabic-Indic digit is not ASCII
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseInt64(c.text), c.expected) << "'" << c.text << "'";
  }
}

TEST(Decimal, Int32RangeIsItsOwn) {
  EXPECT_EQ(parseInt32("2147483647"), INT32_MAX);
  EXPECT_EQ(parseInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(parseInt32("2147483648"), std::nullopt);
  EXPECT_EQ(parseInt32("4294967296"), std::nullopt);
}

}  // namespace
}  // namespace qn
