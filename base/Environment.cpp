#include "base/Environment.h"

#include <unistd.h>

#include "base/Files.h"
#include "base/Text.h"

extern char** environ;

namespace qn {

Environment Environment::current() {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    variables.emplace(text.substr(0, equals), text.substr(equals + 1));
  }
  return Environment(std::move(variables));
}

std::optional<std::string> Environment::get(const std::string& name) const {
  const auto found = variables_.find(name);
  if (found == variables_.end()) return std::nullopt;
  return found->second;
}

std::vector<std::string> Environment::toList() const {
  std::vector<std::string> list;
  list.reserve(variables_.size());
  for (const auto& [name, value] : variables_) list.push_back(name + "=" + value);
  return list;
}

namespace {

// "zh_TW.UTF-8@euro" -> "zh-TW"; "C" and "POSIX" -> empty.
std::string languageTag(std::string_view locale) {
  const size_t cut = locale.find_first_of(".@");
  std::string tag(locale.substr(0, cut));
  if (tag == "C" || tag == "POSIX") return {};
  for (char& c : tag) {
    if (c == '_') c = '-';
  }
  return tag;
}

}  // namespace

std::vector<std::string> preferredLanguages(const Environment& environment) {
  std::vector<std::string> languages;
  if (const auto list = environment.get("LANGUAGE")) {
    for (const std::string& entry : split(*list, ':', true)) {
      std::string tag = languageTag(entry);
      if (!tag.empty()) languages.push_back(std::move(tag));
    }
    if (!languages.empty()) return languages;
  }
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const auto value = environment.get(name);
    if (!value || value->empty()) continue;
    std::string tag = languageTag(*value);
    if (!tag.empty()) languages.push_back(std::move(tag));
    break;
  }
  return languages;
}

std::vector<std::string> processArguments() {
  const auto commandLine = readFile("/proc/self/cmdline");
  if (!commandLine) return {};
  std::vector<std::string> arguments = split(*commandLine, '\0', false);
  // The file ends with a NUL, which leaves one empty piece at the end.
  if (!arguments.empty() && arguments.back().empty()) arguments.pop_back();
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

}  // namespace qn
