#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/SystemCommands.h"

namespace qn {

// The places and commands of the desktop the application was first written for, so the scripts
// built from them can be checked word for word. The trash and the volume query act on real
// files in folders a test chooses.
class SimSystemCommands : public SystemCommands {
 public:
  std::string applicationsFolder() override { return applications; }
  std::vector<std::string> volumeFolders() override { return {"/Volumes/"}; }
  std::string openCommand() override { return "/usr/bin/open"; }
  std::string diskImageCommand() override { return "/usr/bin/hdiutil"; }
  std::string registrationTool(const std::string&) override {
    return "/System/Library/Frameworks/CoreServices.framework/Frameworks/"
           "LaunchServices.framework/Support/lsregister";
  }
  std::string userDefaultsFile() override { return defaultsFile; }
  bool moveToTrash(const std::string& path, std::string* error) override;
  std::optional<bool> volumeIsReadOnly(const std::string& path) override;

  std::string applications = "/Applications";
  std::string defaultsFile;
  // Trashed items are renamed into this folder; with it empty, or with trashError set, moving
  // to the trash fails with trashError.
  std::string trashFolder;
  std::string trashError;
  std::vector<std::string> trashed;
  // Paths inside these folders are on a read-only volume; none answers that it cannot be told.
  std::optional<std::vector<std::string>> readOnlyFolders = std::vector<std::string>{};
};

}  // namespace qn
