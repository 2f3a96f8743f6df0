#pragma once

#include "platform/Geometry.h"

namespace qn {

inline Color white(double alpha) {
  return Color{1, 1, 1, alpha};
}

// Warnings and low memory.
inline constexpr Color kOrange{1.0, 0.72, 0.3, 1};

}  // namespace qn
