#pragma once

#include <gtest/gtest.h>

#include "platform/Geometry.h"

namespace qn::test {

inline void expectFrame(Rect actual, Rect expected) {
  EXPECT_DOUBLE_EQ(actual.origin.x, expected.origin.x);
  EXPECT_DOUBLE_EQ(actual.origin.y, expected.origin.y);
  EXPECT_DOUBLE_EQ(actual.size.width, expected.size.width);
  EXPECT_DOUBLE_EQ(actual.size.height, expected.size.height);
}

inline void expectColor(Color actual, Color expected) {
  EXPECT_DOUBLE_EQ(actual.red, expected.red);
  EXPECT_DOUBLE_EQ(actual.green, expected.green);
  EXPECT_DOUBLE_EQ(actual.blue, expected.blue);
  EXPECT_DOUBLE_EQ(actual.alpha, expected.alpha);
}

}  // namespace qn::test
