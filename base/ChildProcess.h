#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qn {

// Where a child's standard output or error goes.
struct ChildOutput {
  enum class Kind { Inherit, Null, Descriptor };
  Kind kind = Kind::Inherit;
  int descriptor = -1;

  static ChildOutput inherit() { return {}; }
  static ChildOutput null() { return {Kind::Null, -1}; }
  static ChildOutput to(int fd) { return {Kind::Descriptor, fd}; }
};

struct SpawnOptions {
  std::string executable;
  // Arguments after the program path; the program path itself is the executable.
  std::vector<std::string> arguments;
  // "NAME=value" entries; none inherits this process's environment.
  std::optional<std::vector<std::string>> environment;
  // Empty keeps this process's working directory.
  std::string workingDirectory;
  ChildOutput standardOutput;
  ChildOutput standardError;
  // The child starts a new session, detached from this process's terminal and process group.
  bool newSession = false;
};

// A child process started with posix_spawn. A waiter thread reaps it as soon as it ends and then
// calls the termination handler there, so no child is ever left a zombie. The child gets only its
// three standard streams, default signal dispositions and an empty signal mask.
class ChildProcess {
 public:
  // Called on the waiter thread with the exit status, or the signal number when a signal ended
  // the child.
  using TerminationHandler = std::function<void(int status)>;

  // Starts the child. On failure returns none and sets *error to the system's description.
  static std::shared_ptr<ChildProcess> spawn(const SpawnOptions& options,
                                             TerminationHandler onTermination,
                                             std::string* error = nullptr);

  // Runs a child to its end on the calling thread, capturing its standard output (when capture
  // is given). Returns the termination status, or none when it could not be started.
  static std::optional<int> run(const SpawnOptions& options, std::string* capture = nullptr);

  pid_t pid() const;
  // When the child started, as processStartTime() gives it; read right after the spawn.
  std::optional<unsigned long long> startTime() const;
  // True until the child has ended and been reaped.
  bool isRunning() const;
  // The status once ended; -1 while running.
  int terminationStatus() const;
  // Waits at most seconds for the child to end; true when it has.
  bool waitForExit(double seconds) const;
  // Sends sig only while the child has not been reaped, so a reused pid is never signalled.
  bool sendSignal(int sig) const;
  // Sends sig to the process group the child leads (it was started with newSession), so what it
  // started goes too; also after the child itself has ended, while members of its group remain.
  bool sendSignalToGroup(int sig) const;

  struct State;
  explicit ChildProcess(std::shared_ptr<State> state) : state_(std::move(state)) {}

 private:
  std::shared_ptr<State> state_;
};

}  // namespace qn
