#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qn {

// The generic parts of a URL, as written: nothing is lower-cased or decoded.
struct Url {
  std::string scheme;
  bool hasAuthority = false;
  std::string userInfo;
  std::optional<std::string> host;  // none without an authority
  std::optional<std::string> port;
  std::string path;
  std::optional<std::string> query;
  std::optional<std::string> fragment;

  // None when the text is not a URL with a scheme.
  static std::optional<Url> parse(std::string_view text);

  // The first query item named exactly name, percent-decoded; none when absent or without "=".
  std::optional<std::string> queryItem(std::string_view name) const;
};

// Decodes %XX sequences; none when a "%" is not followed by two hex digits.
std::optional<std::string> percentDecode(std::string_view text);

}  // namespace qn
