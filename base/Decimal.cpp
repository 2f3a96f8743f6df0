#include "base/Decimal.h"

#include <charconv>
#include <limits>

namespace qn {

namespace {

template <typename Int>
std::optional<Int> parseStrict(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  // Parse the magnitude as unsigned so the most negative value is reachable.
  using Unsigned = std::make_unsigned_t<Int>;
  Unsigned magnitude = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  const auto maxPositive = static_cast<Unsigned>(std::numeric_limits<Int>::max());
  if (negative) {
    if (magnitude > maxPositive + 1) return std::nullopt;
    if (magnitude == maxPositive + 1) return std::numeric_limits<Int>::min();
    return -static_cast<Int>(magnitude);
  }
  if (magnitude > maxPositive) return std::nullopt;
  return static_cast<Int>(magnitude);
}

}  // namespace

std::optional<int64_t> parseInt64(std::string_view text) {
  return parseStrict<int64_t>(text);
}

std::optional<int32_t> parseInt32(std::string_view text) {
  return parseStrict<int32_t>(text);
}

}  // namespace qn
