#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace qn {

// Decodes standard base64 ("A–Z a–z 0–9 + /") padded with "=" to a multiple of four characters.
// Anything else fails: other characters (also white space and NUL), a length that is not a
// multiple of four, and "=" anywhere but the end of the last group. The result is never
// larger than three quarters of the text.
std::optional<std::vector<uint8_t>> decodeBase64(std::string_view text);

}  // namespace qn
