#include "base/Text.h"

#include <algorithm>
#include <cstdint>

namespace qn {

namespace {

// Length of the valid UTF-8 sequence at the start of text (0 when none), and the length of the
// longest prefix that could still begin a valid sequence, for error recovery.
struct Sequence {
  size_t valid = 0;
  size_t prefix = 1;
  char32_t codePoint = 0;
};

Sequence decodeOne(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return {1, 1, lead};
  size_t length = 0;
  uint8_t low = 0x80, high = 0xBF;
  char32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {};
  }
  for (size_t i = 1; i < length; ++i) {
    if (i >= text.size()) return {0, i, 0};
    const uint8_t b = byte(i);
    const uint8_t lo = i == 1 ? low : 0x80;
    const uint8_t hi = i == 1 ? high : 0xBF;
    if (b < lo || b > hi) return {0, i, 0};
    value = (value << 6) | (b & 0x3F);
  }
  return {length, length, value};
}

bool isUnicodeSpace(char32_t c) {
  return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool isAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Byte length of the white space character ending at text's end, or 0.
size_t trailingSpace(std::string_view text) {
  if (text.empty()) return 0;
  if (isAsciiSpace(text.back())) return 1;
  for (size_t length = 2; length <= 3 && length <= text.size(); ++length) {
    const Sequence s = decodeOne(text.substr(text.size() - length));
    if (s.valid == length && isUnicodeSpace(s.codePoint)) return length;
  }
  return 0;
}

size_t leadingSpace(std::string_view text) {
  if (text.empty()) return 0;
  if (isAsciiSpace(text.front())) return 1;
  const Sequence s = decodeOne(text);
  return s.valid > 1 && isUnicodeSpace(s.codePoint) ? s.valid : 0;
}

}  // namespace

std::string trimWhitespace(std::string_view text) {
  while (size_t n = leadingSpace(text)) text.remove_prefix(n);
  while (size_t n = trailingSpace(text)) text.remove_suffix(n);
  return std::string(text);
}

std::vector<std::string> split(std::string_view text, char separator, bool dropEmpty) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    const std::string_view piece =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!dropEmpty || !piece.empty()) pieces.emplace_back(piece);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return pieces;
}

std::string join(const std::vector<std::string>& pieces, std::string_view separator) {
  std::string joined;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += separator;
    joined += pieces[i];
  }
  return joined;
}

std::string toLowerAscii(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return lower;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool isValidUtf8(std::string_view text) {
  while (!text.empty()) {
    const Sequence s = decodeOne(text);
    if (s.valid == 0) return false;
    text.remove_prefix(s.valid);
  }
  return true;
}

std::string replaceInvalidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const Sequence s = decodeOne(text);
    if (s.valid > 0) {
      out.append(text.substr(0, s.valid));
      text.remove_prefix(s.valid);
    } else {
      out += "\xEF\xBF\xBD";
      text.remove_prefix(s.prefix);
    }
  }
  return out;
}

std::u16string toUtf16(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  while (!text.empty()) {
    const Sequence s = decodeOne(text);
    char32_t c = 0xFFFD;
    if (s.valid > 0) {
      c = s.codePoint;
      text.remove_prefix(s.valid);
    } else {
      text.remove_prefix(s.prefix);
    }
    if (c < 0x10000) {
      units.push_back(char16_t(c));
    } else {
      c -= 0x10000;
      units.push_back(char16_t(0xD800 + (c >> 10)));
      units.push_back(char16_t(0xDC00 + (c & 0x3FF)));
    }
  }
  return units;
}

}  // namespace qn
