#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace qn {

// The built companion with its standard input and output on pipes, driven as its parent does.
class CompanionProcess {
 public:
  // The extra environment entries ("NAME=value") are added to this process's own.
  explicit CompanionProcess(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment = {});
  ~CompanionProcess();
  CompanionProcess(const CompanionProcess&) = delete;
  CompanionProcess& operator=(const CompanionProcess&) = delete;

  void send(const std::string& line) { sendRaw(line + "\n"); }
  void sendRaw(const std::string& text);
  void closeInput();
  // The next event line, or none after the seconds.
  std::optional<nlohmann::json> nextEvent(double seconds);
  void closeOutput();
  // True when the companion ended by itself with status 0 within the seconds.
  bool waitForExit(double seconds);
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  bool exited_ = false;
  std::string buffer_;
};

}  // namespace qn
