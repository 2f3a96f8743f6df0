#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qn {

// A snapshot of process environment variables.
class Environment {
 public:
  using Variables = std::map<std::string, std::string>;
  Environment() = default;
  explicit Environment(std::map<std::string, std::string> variables)
      : variables_(std::move(variables)) {}

  // A fresh copy of this process's environment.
  static Environment current();

  std::optional<std::string> get(const std::string& name) const;
  void set(const std::string& name, std::string value) { variables_[name] = std::move(value); }
  void erase(const std::string& name) { variables_.erase(name); }
  // "NAME=value" entries, for a child process.
  std::vector<std::string> toList() const;

 private:
  std::map<std::string, std::string> variables_;
};

// The system's preferred interface languages, most preferred first, as tags like "zh-Hant-TW".
// Read from LANGUAGE (its colon list), else the first set of LC_ALL, LC_MESSAGES and LANG; the
// encoding and modifier are dropped and "_" becomes "-". "C" and "POSIX" mean no preference.
std::vector<std::string> preferredLanguages(const Environment& environment);

// The process's arguments after the program path.
std::vector<std::string> processArguments();

}  // namespace qn
