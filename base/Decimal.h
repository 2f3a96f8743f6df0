#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qn {

// Strict decimal integers: an optional single "+" or "-", then one or more ASCII digits and
// nothing else (no blanks), within the range of the result type.
std::optional<int64_t> parseInt64(std::string_view text);
std::optional<int32_t> parseInt32(std::string_view text);

}  // namespace qn
