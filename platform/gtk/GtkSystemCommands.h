#pragma once

#include "platform/SystemCommands.h"

namespace qn {

class GtkSystemCommands final : public SystemCommands {
 public:
  std::string applicationsFolder() override;
  std::vector<std::string> volumeFolders() override;
  std::string openCommand() override;
  std::string diskImageCommand() override;
  std::string registrationTool(const std::string& bundlePath) override;
  std::string userDefaultsFile() override;
  bool moveToTrash(const std::string& path, std::string* error) override;
  std::optional<bool> volumeIsReadOnly(const std::string& path) override;
};

}  // namespace qn
