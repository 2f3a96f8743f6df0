#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace qn {

// The user's defaults: named values kept as one JSON object in a file, read afresh at every
// access, so they persist across launches and a change by another process is seen.
class UserDefaults {
 public:
  explicit UserDefaults(std::string path) : path_(std::move(path)) {}

  // False when the value is missing or not a boolean, or the file is missing or not an object.
  bool boolForKey(const std::string& key) const;
  // Stores the value beside the others (a file that is not an object is replaced), creating the
  // folder; the file is written atomically. False when it could not be written.
  bool setBool(const std::string& key, bool value);

 private:
  nlohmann::json read() const;
  std::string path_;
};

}  // namespace qn
