#pragma once

#include <optional>
#include <set>
#include <string>

namespace qn {

// The folders a service of this application copy runs from: the resources path and the same
// path with links resolved, each with its "/private" twin.
std::set<std::string> resourceRoots(const std::optional<std::string>& resourcesPath);

// True when the command line runs this copy's runtime on this copy's script, under a root.
bool isLeftoverService(const std::string& commandLine, const std::set<std::string>& roots);

}  // namespace qn
