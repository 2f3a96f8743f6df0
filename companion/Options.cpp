#include "companion/Options.h"

#include <algorithm>

#include "base/Decimal.h"
#include "base/Text.h"

namespace qn {

CompanionOptions parseOptions(const std::vector<std::string>& arguments) {
  CompanionOptions options;
  const auto has = [&](const char* flag) {
    return std::find(arguments.begin(), arguments.end(), flag) != arguments.end();
  };
  options.guardMode = has("--guard");
  options.boardMode = has("--board");
  options.quietUI = options.guardMode;
  const auto anchor = std::find(arguments.begin(), arguments.end(), "--anchor");
  if (anchor != arguments.end() && anchor + 1 != arguments.end()) {
    for (const auto& piece : split(*(anchor + 1), ',', true)) {
      if (const auto pid = parseInt32(piece)) options.anchors.push_back(*pid);
    }
  }
  return options;
}

std::vector<int32_t> chain(const std::vector<int32_t>& anchors, pid_t self,
                           const ParentLookup& parentOf) {
  std::vector<int32_t> list;
  for (int32_t a : anchors) {
    if (a < 2) continue;
    for (int step = 0; step < 8; ++step) {
      if (a != self && std::find(list.begin(), list.end(), a) == list.end()) list.push_back(a);
      const auto parent = parentOf(a);
      if (!parent) break;
      a = *parent;
      if (a < 2) break;
    }
  }
  return list;
}

bool chineseInterface(const Environment& environment) {
  const auto languages = preferredLanguages(environment);
  const std::string first = languages.empty() ? "en" : languages.front();
  return startsWith(first, "zh");
}

}  // namespace qn
