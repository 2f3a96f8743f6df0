#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qn::test {

// A fresh directory, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets or unsets a process environment variable for the scope, restoring it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Runs a tool to its end and returns what it printed on standard output.
std::string runTool(const std::string& executable, std::vector<std::string> arguments);

// Polls until the condition holds or the seconds run out; returns the last result.
template <typename Condition>
bool eventually(Condition condition, double seconds);

}  // namespace qn::test

#include <chrono>
#include <thread>

template <typename Condition>
bool qn::test::eventually(Condition condition, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}
