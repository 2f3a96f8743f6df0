#include "platform/sim/SimSystemCommands.h"

#include <cstdio>

namespace qn {

bool SimSystemCommands::moveToTrash(const std::string& path, std::string* error) {
  const std::string name = path.substr(path.find_last_of('/') + 1);
  const std::string destination =
      trashFolder + "/" + std::to_string(trashed.size() + 1) + "-" + name;
  if (trashFolder.empty() || !trashError.empty() ||
      std::rename(path.c_str(), destination.c_str()) != 0) {
    if (error)
      *error = trashError.empty() ? "The item could not be moved to the trash." : trashError;
    return false;
  }
  trashed.push_back(path);
  return true;
}

std::optional<bool> SimSystemCommands::volumeIsReadOnly(const std::string& path) {
  if (!readOnlyFolders) return std::nullopt;
  for (const std::string& folder : *readOnlyFolders) {
    if (path.starts_with(folder + "/")) return true;
  }
  return false;
}

}  // namespace qn
