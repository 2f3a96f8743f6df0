#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Environment.h"

namespace qn {

// The process-wide values, fixed before the main loop starts.
struct CompanionOptions {
  bool guardMode = false;
  bool boardMode = false;
  bool quietUI = false;
  std::vector<int32_t> anchors;
  std::vector<int32_t> panelPids;
  // The interface language is Chinese.
  bool zh = false;
};

// Reads "--guard", "--board" and "--anchor <pid,pid,...>" from the arguments.
CompanionOptions parseOptions(const std::vector<std::string>& arguments);

using ParentLookup = std::function<std::optional<pid_t>(pid_t)>;

// The anchors and up to seven ancestors of each, without duplicates, never pid 0 or 1 and never
// the companion itself.
std::vector<int32_t> chain(const std::vector<int32_t>& anchors, pid_t self,
                           const ParentLookup& parentOf);

// True when the system's first preferred language is a Chinese one.
bool chineseInterface(const Environment& environment);

}  // namespace qn
