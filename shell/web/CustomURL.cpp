#include <nlohmann/json.hpp>
#include <regex>

#include "base/Text.h"
#include "base/Url.h"
#include "shell/AppDelegate.h"

namespace qn {

namespace {

std::string trimSlashes(const std::string& path) {
  const size_t first = path.find_first_not_of('/');
  if (first == std::string::npos) return {};
  return path.substr(first, path.find_last_not_of('/') - first + 1);
}

}  // namespace

void AppDelegate::openURLs(const std::vector<std::string>& urls) {
  for (const std::string& url : urls) handleCustomURL(url);
}

void AppDelegate::handleCustomURL(const std::string& text) {
  const auto url = Url::parse(text);
  if (!url || toLowerAscii(url->scheme) != "quentra") return;
  if (!isPageLoaded || !webView) {
    pendingCustomURL = text;
    return;
  }
  const std::string host = toLowerAscii(url->host.value_or(""));
  const std::string path = percentDecode(url->path).value_or("");
  static const std::regex identifier("^[a-z0-9][a-z0-9_-]{0,63}$");

  nlohmann::json payload;
  if (host == "skill") {
    const std::string id = trimSlashes(path);
    if (!std::regex_match(id, identifier)) return;
    payload = {{"action", "skill"}, {"id", id}};
  } else if (host == "skills") {
    if (trimSlashes(path) != "ask") return;
    const auto question = url->queryItem("q");
    payload = {{"action", "ask"},
               {"q", question ? firstCharacters(replaceInvalidUtf8(*question), 200) : ""}};
  } else {
    return;
  }

  std::weak_ptr<AppDelegate> weak = weak_from_this();
  ports_.loop.post([weak, payload = std::move(payload)] {
    const auto self = weak.lock();
    if (!self) return;
    if (self->window) self->window->present();
    // The serialiser escapes quotes, backslashes and line breaks, so the text reaches the page as
    // one string argument.
    const std::string json = payload.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (self->webView) {
      self->webView->evaluateJavaScript(
          "if (window.__handleQuentraProtocol) { window.__handleQuentraProtocol(" + json + "); }");
    }
  });
}

}  // namespace qn
