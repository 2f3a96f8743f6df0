#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace qn {

// A decoded picture in the canvas's pixel format: 32 bits a pixel, premultiplied alpha, stored
// as Cairo's ARGB32 (B, G, R, A bytes in memory on little-endian machines), rows without gaps.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  int stride() const { return width * 4; }
};

using ImageRef = std::shared_ptr<const Image>;

// Pictures above this many pixels are refused before anything is allocated for them.
inline constexpr int64_t kMaxImagePixels = 64'000'000;

}  // namespace qn
