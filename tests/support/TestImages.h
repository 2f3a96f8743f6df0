#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qn::test {

// One pixel as red, green, blue and alpha, straight (not premultiplied).
struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};
using Pattern = std::function<Rgba(int x, int y)>;

// Pictures made in the test itself, with the same libraries the companion decodes with.
std::vector<uint8_t> encodeJpeg(int width, int height, const Pattern& pattern, int quality = 85);
std::vector<uint8_t> encodePng(int width, int height, const Pattern& pattern);
std::string encodeBase64(const std::vector<uint8_t>& bytes);

// Four flat quadrants: red top left, green top right, blue bottom left, white bottom right.
Rgba quadrants(int x, int y, int width, int height);

}  // namespace qn::test
