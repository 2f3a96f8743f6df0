#include "base/ImageDecode.h"

#include <png.h>
#include <turbojpeg.h>

#include <array>
#include <cstring>
#include <memory>

namespace qn {

namespace {

bool startsWith(std::span<const uint8_t> bytes, std::span<const uint8_t> magic) {
  return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

bool fits(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width * height <= kMaxImagePixels;
}

// An image whose pixels are left for the decoder to write.
std::shared_ptr<Image> blank(int width, int height) {
  auto image = std::make_shared<Image>();
  image->width = width;
  image->height = height;
  image->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  return image;
}

struct TjDeleter {
  void operator()(void* handle) const { tjDestroy(handle); }
};

ImageRef decodeJpeg(std::span<const uint8_t> bytes) {
  // One decompressor per thread: creating one costs more than a small decode.
  thread_local std::unique_ptr<void, TjDeleter> handle(tjInitDecompress());
  if (!handle) return nullptr;
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  if (tjDecompressHeader3(handle.get(), bytes.data(), static_cast<unsigned long>(bytes.size()),
                          &width, &height, &subsampling, &colorspace) != 0 ||
      !fits(width, height))
    return nullptr;
  auto image = blank(width, height);
  // BGRA on a little-endian machine is Cairo's ARGB32; the decoder sets alpha to opaque. A
  // warning (for example a picture cut short) counts as failure: the missing rows would show
  // as grey.
  if (tjDecompress2(handle.get(), bytes.data(), static_cast<unsigned long>(bytes.size()),
                    image->pixels.data(), width, image->stride(), height, TJPF_BGRA,
                    TJFLAG_STOPONWARNING) != 0)
    return nullptr;
  return image;
}

struct PngImage {
  png_image image{};
  PngImage() { image.version = PNG_IMAGE_VERSION; }
  ~PngImage() { png_image_free(&image); }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
};

uint8_t premultiplied(uint8_t channel, uint8_t alpha) {
  return static_cast<uint8_t>((channel * alpha + 127) / 255);
}

ImageRef decodePng(std::span<const uint8_t> bytes) {
  PngImage png;
  if (!png_image_begin_read_from_memory(&png.image, bytes.data(), bytes.size())) return nullptr;
  if (!fits(png.image.width, png.image.height)) return nullptr;
  png.image.format = PNG_FORMAT_BGRA;
  auto image = blank(static_cast<int>(png.image.width), static_cast<int>(png.image.height));
  if (!png_image_finish_read(&png.image, nullptr, image->pixels.data(), image->stride(), nullptr))
    return nullptr;
  // libpng gives straight alpha; the canvas wants it premultiplied.
  for (size_t i = 0; i < image->pixels.size(); i += 4) {
    uint8_t* pixel = &image->pixels[i];
    const uint8_t alpha = pixel[3];
    if (alpha == 255) continue;
    pixel[0] = premultiplied(pixel[0], alpha);
    pixel[1] = premultiplied(pixel[1], alpha);
    pixel[2] = premultiplied(pixel[2], alpha);
  }
  return image;
}

constexpr std::array<uint8_t, 3> kJpegMagic{0xFF, 0xD8, 0xFF};
constexpr std::array<uint8_t, 8> kPngMagic{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

}  // namespace

ImageRef decodeImage(std::span<const uint8_t> bytes) {
  if (startsWith(bytes, kJpegMagic)) return decodeJpeg(bytes);
  if (startsWith(bytes, kPngMagic)) return decodePng(bytes);
  return nullptr;
}

}  // namespace qn
