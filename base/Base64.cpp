#include "base/Base64.h"

#include <array>
#include <cstring>

namespace qn {

namespace {

// One table per position in a group of four: the character's six bits already shifted into a
// 24-bit word, or a bit above those 24 for a character outside the alphabet. A group then costs
// four lookups, three ORs and one test.
constexpr uint32_t kBad = 1u << 24;

using Table = std::array<uint32_t, 256>;

constexpr int sextet(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

constexpr Table table(int shift) {
  Table t{};
  for (int c = 0; c < 256; ++c) {
    const int v = sextet(static_cast<unsigned char>(c));
    t[c] = v < 0 ? kBad : static_cast<uint32_t>(v) << shift;
  }
  return t;
}

constexpr Table kD0 = table(18);
constexpr Table kD1 = table(12);
constexpr Table kD2 = table(6);
constexpr Table kD3 = table(0);

inline uint32_t group(const unsigned char* in) {
  return kD0[in[0]] | kD1[in[1]] | kD2[in[2]] | kD3[in[3]];
}

}  // namespace

std::optional<std::vector<uint8_t>> decodeBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::vector<uint8_t> out;
  if (text.empty()) return out;
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  const size_t groups = text.size() / 4;
  // The last group may end in one or two "=".
  const unsigned char* last = in + (groups - 1) * 4;
  const size_t padding = last[3] != '=' ? 0 : last[2] != '=' ? 1 : 2;
  out.resize(groups * 3 - padding);
  uint8_t* dst = out.data();
  uint32_t bad = 0;
  for (size_t g = 0; g + 1 < groups; ++g) {
    const uint32_t word = group(in + g * 4);
    bad |= word;
    dst[0] = static_cast<uint8_t>(word >> 16);
    dst[1] = static_cast<uint8_t>(word >> 8);
    dst[2] = static_cast<uint8_t>(word);
    dst += 3;
  }
  if (bad & kBad) return std::nullopt;
  unsigned char tail[4];
  std::memcpy(tail, last, 4);
  for (size_t i = 4 - padding; i < 4; ++i) tail[i] = 'A';
  const uint32_t word = group(tail);
  if (word & kBad) return std::nullopt;
  const uint8_t bytes[3] = {static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 8),
                            static_cast<uint8_t>(word)};
  std::memcpy(dst, bytes, 3 - padding);
  return out;
}

}  // namespace qn
