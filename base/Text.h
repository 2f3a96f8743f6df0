#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qn {

// Trims white space and line breaks (ASCII and the Unicode spaces a text field may carry) from
// both ends.
std::string trimWhitespace(std::string_view text);

std::vector<std::string> split(std::string_view text, char separator, bool dropEmpty);

std::string join(const std::vector<std::string>& pieces, std::string_view separator);

std::string toLowerAscii(std::string_view text);

bool startsWith(std::string_view text, std::string_view prefix);

bool isValidUtf8(std::string_view text);

// Replaces each invalid UTF-8 sequence with U+FFFD.
std::string replaceInvalidUtf8(std::string_view text);

// The UTF-16 code units of UTF-8 text; an invalid sequence becomes U+FFFD.
std::u16string toUtf16(std::string_view text);

}  // namespace qn

namespace qn {

// The first count user-perceived characters (grapheme clusters) of valid UTF-8 text.
std::string firstCharacters(std::string_view text, size_t count);

}  // namespace qn
