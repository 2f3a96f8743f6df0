#include "base/Processes.h"

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <string_view>
#include <thread>

#include "base/ChildProcess.h"
#include "base/Decimal.h"
#include "base/Files.h"
#include "base/Text.h"

namespace qn {

namespace {

// The fields of /proc/<pid>/stat after the command name, which may itself hold blanks and
// parentheses; field 3 (the state) comes first.
std::optional<std::vector<std::string>> statFields(pid_t pid) {
  const auto stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  if (!stat) return std::nullopt;
  const size_t close = stat->rfind(')');
  if (close == std::string::npos) return std::nullopt;
  return split(std::string_view(*stat).substr(close + 1), ' ', true);
}

}  // namespace

bool processExists(pid_t pid) {
  if (pid <= 0) return false;
  if (::kill(pid, 0) != 0 && errno != EPERM) return false;
  const auto fields = statFields(pid);
  // Without /proc the signal test is all there is.
  if (!fields || fields->empty()) return true;
  return (*fields)[0] != "Z" && (*fields)[0] != "X";
}

bool signalProcess(pid_t pid, int sig) {
  return pid > 0 && ::kill(pid, sig) == 0;
}

std::optional<unsigned long long> processStartTime(pid_t pid) {
  const auto fields = statFields(pid);
  // Field 22 overall is the 20th after the command name.
  if (!fields || fields->size() < 20) return std::nullopt;
  const auto value = parseInt64((*fields)[19]);
  if (!value || *value < 0) return std::nullopt;
  return static_cast<unsigned long long>(*value);
}

std::optional<pid_t> parentProcessId(pid_t pid) {
  const auto fields = statFields(pid);
  if (!fields || fields->size() < 2) return std::nullopt;
  const auto value = parseInt32((*fields)[1]);
  if (!value) return std::nullopt;
  return static_cast<pid_t>(*value);
}

std::optional<std::string> runPs(const std::vector<std::string>& arguments) {
  SpawnOptions options;
  options.executable = "/bin/ps";
  options.arguments = arguments;
  options.standardError = ChildOutput::null();
  std::string output;
  if (!ChildProcess::run(options, &output)) return std::nullopt;
  return isValidUtf8(output) ? output : std::string();
}

void sleepSeconds(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace qn
