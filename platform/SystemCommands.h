#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qn {

// The places, commands and file services of the system that moving the application into the
// applications folder and registering it with the desktop rely on.
class SystemCommands {
 public:
  virtual ~SystemCommands() = default;

  // The folder applications are installed in, without a trailing separator.
  virtual std::string applicationsFolder() = 0;
  // The folders removable volumes and disk images are mounted under, each ending in "/": a
  // bundle at <folder><volume>/... came from the volume <folder><volume>.
  virtual std::vector<std::string> volumeFolders() = 0;
  // A command that, given an application bundle as its one argument, starts the application
  // and returns at once, leaving it running by itself.
  virtual std::string openCommand() = 0;
  // A command that, run as <command> detach "<volume>" -quiet, ejects the volume.
  virtual std::string diskImageCommand() = 0;
  // The registration tool used when none is configured: run as <tool> -f <bundle>, it makes
  // the desktop know the bundle (its name, icon and URL scheme) and exits 0 on success.
  virtual std::string registrationTool(const std::string& bundlePath) = 0;
  // The file the user's defaults are kept in.
  virtual std::string userDefaultsFile() = 0;

  // Moves the file or folder to the user's trash. On failure returns false and sets *error to
  // the system's description.
  virtual bool moveToTrash(const std::string& path, std::string* error) = 0;
  // Whether the volume holding the path is mounted read-only; none when that cannot be told.
  virtual std::optional<bool> volumeIsReadOnly(const std::string& path) = 0;
};

}  // namespace qn
