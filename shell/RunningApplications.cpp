#include "shell/RunningApplications.h"

#include <filesystem>

#include "base/Decimal.h"
#include "base/Paths.h"
#include "shell/Bundle.h"

namespace qn {

std::vector<RunningApplication> runningApplications(const std::string& bundleIdentifier) {
  std::vector<RunningApplication> found;
  std::error_code error;
  for (auto entry = std::filesystem::directory_iterator("/proc", error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const auto pid = parseInt32(entry->path().filename().string());
    if (!pid || *pid <= 0) continue;
    std::error_code linkError;
    const std::string executable =
        std::filesystem::read_symlink(entry->path() / "exe", linkError).string();
    // A process whose executable was replaced or removed no longer runs from that bundle.
    if (linkError || executable.ends_with(" (deleted)")) continue;
    const Bundle bundle = Bundle::forExecutable(executable);
    if (bundle.bundlePath == parentPath(executable)) continue;
    if (bundle.infoString("CFBundleIdentifier").value_or("") != bundleIdentifier) continue;
    RunningApplication application;
    application.pid = static_cast<pid_t>(*pid);
    application.bundlePath = bundle.bundlePath;
    found.push_back(application);
  }
  return found;
}

}  // namespace qn
