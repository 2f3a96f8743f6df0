#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace qn {

// The application bundle the shell runs from: <X>.app/Contents/MacOS/<executable>, with its
// resources in <X>.app/Contents/Resources and its information in <X>.app/Contents/Info.json.
struct Bundle {
  std::string bundlePath;
  // None when the executable does not sit inside a bundle.
  std::optional<std::string> resourcesPath;
  nlohmann::json info = nlohmann::json::object();

  // The bundle of this process's executable.
  static Bundle main();
  static Bundle forExecutable(const std::string& executablePath);

  // A string member of the information, or none.
  std::optional<std::string> infoString(const std::string& key) const;
};

}  // namespace qn
