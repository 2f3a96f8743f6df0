#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace qn {

// The volume a bundle was started from, for the relaunch script to eject: for a path inside one
// of the volume folders (each ending in "/"), that folder followed by the path's next
// component; otherwise the empty string.
std::string volumeToEject(const std::string& bundlePath,
                          const std::vector<std::string>& volumeFolders);

// The script that waits until the process is gone, opens the application at target with
// openCommand and, when a volume is passed as its first argument, ejects it two seconds later
// with diskImageCommand.
std::string relaunchScript(pid_t pid, const std::string& target, const std::string& openCommand,
                           const std::string& diskImageCommand);

enum class Placement { Move, Copy };

// A bundle on a read-only volume is copied; otherwise it is moved when its folder is writable.
// When the volume cannot be told, the folder decides.
Placement placementFor(std::optional<bool> volumeReadOnly, bool folderWritable);

// Copies the bundle (its links as links) into a temporary sibling of target and renames that
// into place, so target is never half a bundle. On failure removes the temporary copy, returns
// false and sets *error to the system's description.
bool copyBundle(const std::string& from, const std::string& target, std::string* error);

// Renames the bundle to target; across file systems copies it as copyBundle does and then
// removes the original.
bool moveBundle(const std::string& from, const std::string& target, std::string* error);

}  // namespace qn
