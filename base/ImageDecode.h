#pragma once

#include <cstdint>
#include <span>

#include "base/Image.h"

namespace qn {

// Decodes a JPEG or PNG picture into the canvas's pixel format. Anything else, a picture that
// does not decode whole and cleanly, or one above kMaxImagePixels, is no image (null).
ImageRef decodeImage(std::span<const uint8_t> bytes);

}  // namespace qn
