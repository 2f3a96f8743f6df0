#include "tests/support/TestImages.h"

#include <png.h>
#include <turbojpeg.h>

#include <algorithm>

namespace qn::test {

namespace {

std::vector<uint8_t> rgbaPixels(int width, int height, const Pattern& pattern) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Rgba p = pattern(x, y);
      uint8_t* out = &pixels[(static_cast<size_t>(y) * width + x) * 4];
      out[0] = p.r;
      out[1] = p.g;
      out[2] = p.b;
      out[3] = p.a;
    }
  return pixels;
}

}  // namespace

std::vector<uint8_t> encodeJpeg(int width, int height, const Pattern& pattern, int quality) {
  const auto pixels = rgbaPixels(width, height, pattern);
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  std::vector<uint8_t> out;
  if (tjCompress2(handle, pixels.data(), width, width * 4, height, TJPF_RGBA, &jpeg, &size,
                  TJSAMP_420, quality, 0) == 0)
    out.assign(jpeg, jpeg + size);
  tjFree(jpeg);
  tjDestroy(handle);
  return out;
}

std::vector<uint8_t> encodePng(int width, int height, const Pattern& pattern) {
  const auto pixels = rgbaPixels(width, height, pattern);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  std::vector<uint8_t> out;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), width * 4, nullptr)) {
    out.resize(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), width * 4, nullptr))
      out.clear();
  }
  png_image_free(&image);
  return out;
}

std::string encodeBase64(const std::vector<uint8_t>& bytes) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    uint32_t word = uint32_t(bytes[i]) << 16;
    if (n > 1) word |= uint32_t(bytes[i + 1]) << 8;
    if (n > 2) word |= bytes[i + 2];
    out.push_back(alphabet[(word >> 18) & 63]);
    out.push_back(alphabet[(word >> 12) & 63]);
    out.push_back(n > 1 ? alphabet[(word >> 6) & 63] : '=');
    out.push_back(n > 2 ? alphabet[word & 63] : '=');
  }
  return out;
}

Rgba quadrants(int x, int y, int width, int height) {
  const bool right = x >= width / 2;
  const bool bottom = y >= height / 2;
  if (!bottom) return right ? Rgba{0, 255, 0} : Rgba{255, 0, 0};
  return right ? Rgba{255, 255, 255} : Rgba{0, 0, 255};
}

}  // namespace qn::test
