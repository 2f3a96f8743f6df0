#include "base/Url.h"

#include "base/Text.h"

namespace qn {

namespace {

bool isSchemeChar(char c, bool first) {
  const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Splits "host[:port]", with brackets around an IPv6 literal.
void splitHostPort(std::string_view hostPort, Url& url) {
  if (hostPort.starts_with("[")) {
    const size_t close = hostPort.find(']');
    if (close != std::string_view::npos) {
      url.host = std::string(hostPort.substr(0, close + 1));
      if (close + 1 < hostPort.size() && hostPort[close + 1] == ':') {
        url.port = std::string(hostPort.substr(close + 2));
      }
      return;
    }
  }
  const size_t colon = hostPort.rfind(':');
  if (colon == std::string_view::npos) {
    url.host = std::string(hostPort);
    return;
  }
  url.host = std::string(hostPort.substr(0, colon));
  url.port = std::string(hostPort.substr(colon + 1));
}

}  // namespace

std::optional<Url> Url::parse(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  for (size_t i = 0; i < colon; ++i) {
    if (!isSchemeChar(text[i], i == 0)) return std::nullopt;
  }
  Url url;
  url.scheme = std::string(text.substr(0, colon));
  std::string_view rest = text.substr(colon + 1);

  if (const size_t hash = rest.find('#'); hash != std::string_view::npos) {
    url.fragment = std::string(rest.substr(hash + 1));
    rest = rest.substr(0, hash);
  }
  if (const size_t question = rest.find('?'); question != std::string_view::npos) {
    url.query = std::string(rest.substr(question + 1));
    rest = rest.substr(0, question);
  }
  if (rest.starts_with("//")) {
    url.hasAuthority = true;
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    // The user information ends at the last "@": a host never holds one.
    if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
      url.userInfo = std::string(authority.substr(0, at));
      authority = authority.substr(at + 1);
    }
    splitHostPort(authority, url);
  }
  url.path = std::string(rest);
  return url;
}

std::optional<std::string> Url::queryItem(std::string_view name) const {
  if (!query) return std::nullopt;
  for (const std::string& item : split(*query, '&', false)) {
    const size_t equals = item.find('=');
    const auto itemName = percentDecode(std::string_view(item).substr(0, equals));
    if (!itemName || *itemName != name) continue;
    if (equals == std::string::npos) return std::nullopt;
    return percentDecode(std::string_view(item).substr(equals + 1));
  }
  return std::nullopt;
}

std::optional<std::string> percentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    const int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
    if (high < 0 || low < 0) return std::nullopt;
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return decoded;
}

}  // namespace qn
