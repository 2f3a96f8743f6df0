#include "shell/BundleMove.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/Paths.h"
#include "base/Text.h"

namespace qn {

std::string volumeToEject(const std::string& bundlePath,
                          const std::vector<std::string>& volumeFolders) {
  for (const std::string& folder : volumeFolders) {
    if (!bundlePath.starts_with(folder)) continue;
    const auto pieces = split(std::string_view(bundlePath).substr(folder.size()), '/', true);
    return pieces.empty() ? std::string() : folder + pieces.front();
  }
  return {};
}

std::string relaunchScript(pid_t pid, const std::string& target, const std::string& openCommand,
                           const std::string& diskImageCommand) {
  return "while kill -0 " + std::to_string(pid) + " 2>/dev/null; do sleep 0.2; done\n" +
         openCommand + " \"" + target + "\"\nif [ -n \"$1\" ]; then sleep 2; " + diskImageCommand +
         " detach \"$1\" -quiet || true; fi";
}

Placement placementFor(std::optional<bool> volumeReadOnly, bool folderWritable) {
  if (volumeReadOnly.value_or(false)) return Placement::Copy;
  return folderWritable ? Placement::Move : Placement::Copy;
}

bool copyBundle(const std::string& from, const std::string& target, std::string* error) {
  namespace fs = std::filesystem;
  const std::string incoming =
      appendPath(parentPath(target),
                 "." + lastPathComponent(target) + ".incoming-" + std::to_string(getpid()));
  std::error_code failure;
  // The name is this process's own: what stands there is a copy an earlier attempt left.
  fs::remove_all(incoming, failure);
  fs::copy(from, incoming, fs::copy_options::recursive | fs::copy_options::copy_symlinks, failure);
  if (!failure) fs::rename(incoming, target, failure);
  if (failure) {
    if (error) *error = failure.message();
    std::error_code ignored;
    fs::remove_all(incoming, ignored);
    return false;
  }
  return true;
}

bool moveBundle(const std::string& from, const std::string& target, std::string* error) {
  if (::rename(from.c_str(), target.c_str()) == 0) return true;
  if (errno != EXDEV) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  if (!copyBundle(from, target, error)) return false;
  // The bundle stands complete at target; what cannot be removed of the original stays.
  std::error_code ignored;
  std::filesystem::remove_all(from, ignored);
  return true;
}

}  // namespace qn
