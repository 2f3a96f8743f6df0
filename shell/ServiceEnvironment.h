#pragma once

#include <string>
#include <vector>

#include "base/Environment.h"
#include "shell/AppConfig.h"

namespace qn {

// The service's search path: the inherited entries, with each missing well-known tool folder put
// in front (so the last missing one ends up first).
std::string composeSearchPath(const std::string& inheritedPath, const std::string& home);

// The service's environment: the shell's own, the settings added, QUENTRA_UPDATE_URL kept only
// for http and https addresses.
Environment serviceEnvironment(Environment inherited, const AppConfig& config,
                               const std::string& searchPath, const std::string& bundlePath);

}  // namespace qn
