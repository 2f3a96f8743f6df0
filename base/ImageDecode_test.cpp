#include "base/ImageDecode.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/TestImages.h"

namespace qn {
namespace {

using test::Rgba;

// The pixel's bytes in memory: blue, green, red, alpha.
struct Bgra {
  int b, g, r, a;
};

Bgra at(const Image& image, int x, int y) {
  const uint8_t* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

bool near(Bgra got, Bgra want, int tolerance) {
  return std::abs(got.b - want.b) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
         std::abs(got.r - want.r) <= tolerance && got.a == want.a;
}

test::Pattern quadrants(int w, int h) {
  return [w, h](int x, int y) { return test::quadrants(x, y, w, h); };
}

TEST(ImageDecode, JpegDecodesOpaqueInCanvasByteOrder) {
  const auto jpeg = test::encodeJpeg(64, 48, quadrants(64, 48));
  const auto image = decodeImage(jpeg);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 64);
  EXPECT_EQ(image->height, 48);
  ASSERT_EQ(image->pixels.size(), 64u * 48 * 4);
  EXPECT_TRUE(near(at(*image, 8, 8), {0, 0, 255, 255}, 24));        // red
  EXPECT_TRUE(near(at(*image, 56, 8), {0, 255, 0, 255}, 24));       // green
  EXPECT_TRUE(near(at(*image, 8, 40), {255, 0, 0, 255}, 24));       // blue
  EXPECT_TRUE(near(at(*image, 56, 40), {255, 255, 255, 255}, 24));  // white
}

TEST(ImageDecode, PngAlphaIsPremultiplied) {
  const auto png = test::encodePng(4, 2, [](int x, int) {
    return x < 2 ? Rgba{200, 100, 50, 255} : Rgba{200, 100, 50, 128};
  });
  const auto image = decodeImage(png);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 4);
  EXPECT_EQ(image->height, 2);
  EXPECT_TRUE(near(at(*image, 0, 0), {50, 100, 200, 255}, 0));
  EXPECT_TRUE(near(at(*image, 3, 1), {25, 50, 100, 128}, 1));
}

// The CRC-32 PNG chunks carry.
uint32_t crc32Of(const uint8_t* bytes, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// A PNG header that claims the given size, with a valid checksum and nothing after it.
std::vector<uint8_t> pngHeaderOnly(uint32_t width, uint32_t height) {
  const auto bigEndian = [](std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
  };
  std::vector<uint8_t> chunk{'I', 'H', 'D', 'R'};
  bigEndian(chunk, width);
  bigEndian(chunk, height);
  chunk.insert(chunk.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, no interlace
  std::vector<uint8_t> bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  bigEndian(bytes, 13);
  bytes.insert(bytes.end(), chunk.begin(), chunk.end());
  bigEndian(bytes, crc32Of(chunk.data(), chunk.size()));
  return bytes;
}

TEST(ImageDecode, NotAnImageOrNotWholeIsNone) {
  const auto jpeg = test::encodeJpeg(320, 240, quadrants(320, 240));
  const auto png = test::encodePng(320, 240, quadrants(320, 240));
  ASSERT_TRUE(decodeImage(jpeg));
  ASSERT_TRUE(decodeImage(png));
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"text", {'h', 'e', 'l', 'l', 'o'}},
      {"gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}},
      {"jpeg magic only", {0xFF, 0xD8, 0xFF}},
      {"jpeg cut in half", {jpeg.begin(), jpeg.begin() + jpeg.size() / 2}},
      {"png cut in half", {png.begin(), png.begin() + png.size() / 2}},
      {"png header only", pngHeaderOnly(320, 240)},
      {"png of 100,000 x 100,000", pngHeaderOnly(100000, 100000)},
  };
  for (const auto& c : cases) EXPECT_FALSE(decodeImage(c.bytes)) << c.name;
}

}  // namespace
}  // namespace qn
