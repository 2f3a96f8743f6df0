#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace qn {

// Leaves new elements uninitialised: a decoder writes every pixel anyway, and clearing the
// four megabytes of a 1280 x 800 frame first costs about a tenth of its decode.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <class U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// A decoded picture in the canvas's pixel format: 32 bits a pixel, premultiplied alpha, stored
// as Cairo's ARGB32 (B, G, R, A bytes in memory on little-endian machines), rows without gaps.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t, UninitialisedAllocator<uint8_t>> pixels;
  int stride() const { return width * 4; }
};

using ImageRef = std::shared_ptr<const Image>;

// Pictures above this many pixels are refused before anything is allocated for them.
inline constexpr int64_t kMaxImagePixels = 64'000'000;

}  // namespace qn
