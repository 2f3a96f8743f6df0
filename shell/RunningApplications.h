#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace qn {

struct RunningApplication {
  pid_t pid = 0;
  std::string bundlePath;
};

// The processes whose executable sits in an application bundle with this identifier ("" for
// bundles without one), as far as this user may see them.
std::vector<RunningApplication> runningApplications(const std::string& bundleIdentifier);

}  // namespace qn
