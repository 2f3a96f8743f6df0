#include "base/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "base/Processes.h"

extern char** environ;

namespace qn {

struct ChildProcess::State {
  pid_t pid = -1;
  std::optional<unsigned long long> startTime;
  mutable std::mutex mutex;
  mutable std::condition_variable ended;
  bool reaped = false;
  int status = -1;
};

namespace {

int statusFromWait(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return WTERMSIG(waitStatus);
  return -1;
}

// Owns the argv and envp arrays for one posix_spawn call.
struct SpawnVectors {
  std::vector<std::string> argumentStrings;
  std::vector<char*> argv;
  std::vector<char*> envp;

  explicit SpawnVectors(const SpawnOptions& options) {
    argumentStrings.push_back(options.executable);
    argumentStrings.insert(argumentStrings.end(), options.arguments.begin(),
                           options.arguments.end());
    for (std::string& a : argumentStrings) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (options.environment) {
      for (const std::string& e : *options.environment)
        envp.push_back(const_cast<char*>(e.c_str()));
      envp.push_back(nullptr);
    }
  }
  char** environment() { return envp.empty() ? environ : envp.data(); }
};

void addOutput(posix_spawn_file_actions_t* actions, const ChildOutput& output, int target) {
  switch (output.kind) {
    case ChildOutput::Kind::Inherit:
      break;
    case ChildOutput::Kind::Null:
      posix_spawn_file_actions_addopen(actions, target, "/dev/null", O_WRONLY, 0);
      break;
    case ChildOutput::Kind::Descriptor:
      posix_spawn_file_actions_adddup2(actions, output.descriptor, target);
      break;
  }
}

// Starts the child; returns its pid or -1 with errno-style code in *failure.
pid_t spawnChild(const SpawnOptions& options, int captureFd, int* failure) {
  SpawnVectors vectors(options);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (captureFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, captureFd, STDOUT_FILENO);
  } else {
    addOutput(&actions, options.standardOutput, STDOUT_FILENO);
  }
  addOutput(&actions, options.standardError, STDERR_FILENO);
  if (!options.workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory.c_str());
  }
  // The child inherits its standard streams and nothing else.
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (options.newSession) flags |= POSIX_SPAWN_SETSID;
  posix_spawnattr_setflags(&attributes, flags);

  pid_t pid = -1;
  const int rc = posix_spawn(&pid, options.executable.c_str(), &actions, &attributes,
                             vectors.argv.data(), vectors.environment());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    *failure = rc;
    return -1;
  }
  return pid;
}

int reap(pid_t pid) {
  int waitStatus = 0;
  while (::waitpid(pid, &waitStatus, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return statusFromWait(waitStatus);
}

}  // namespace

std::shared_ptr<ChildProcess> ChildProcess::spawn(const SpawnOptions& options,
                                                  TerminationHandler onTermination,
                                                  std::string* error) {
  int failure = 0;
  const pid_t pid = spawnChild(options, -1, &failure);
  if (pid < 0) {
    if (error) *error = std::strerror(failure);
    return nullptr;
  }
  auto state = std::make_shared<State>();
  state->pid = pid;
  state->startTime = processStartTime(pid);
  std::thread([state, handler = std::move(onTermination)] {
    // Wait without reaping first, so the pid stays ours while sendSignal may still use it.
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(state->pid), &info, WEXITED | WNOWAIT) < 0 &&
           errno == EINTR) {
    }
    int status = -1;
    {
      std::lock_guard lock(state->mutex);
      status = reap(state->pid);
      state->status = status;
      state->reaped = true;
    }
    state->ended.notify_all();
    if (handler) handler(status);
  }).detach();
  return std::make_shared<ChildProcess>(state);
}

std::optional<int> ChildProcess::run(const SpawnOptions& options, std::string* capture) {
  int pipeFds[2] = {-1, -1};
  if (capture && ::pipe2(pipeFds, O_CLOEXEC) != 0) return std::nullopt;
  int failure = 0;
  const pid_t pid = spawnChild(options, capture ? pipeFds[1] : -1, &failure);
  if (capture) ::close(pipeFds[1]);
  if (pid < 0) {
    if (capture) ::close(pipeFds[0]);
    return std::nullopt;
  }
  if (capture) {
    char buffer[65536];
    while (true) {
      const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      capture->append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
  }
  return reap(pid);
}

pid_t ChildProcess::pid() const {
  return state_->pid;
}

std::optional<unsigned long long> ChildProcess::startTime() const {
  return state_->startTime;
}

bool ChildProcess::isRunning() const {
  std::lock_guard lock(state_->mutex);
  return !state_->reaped;
}

int ChildProcess::terminationStatus() const {
  std::lock_guard lock(state_->mutex);
  return state_->status;
}

bool ChildProcess::waitForExit(double seconds) const {
  std::unique_lock lock(state_->mutex);
  return state_->ended.wait_for(lock, std::chrono::duration<double>(seconds),
                                [&] { return state_->reaped; });
}

bool ChildProcess::sendSignal(int sig) const {
  std::lock_guard lock(state_->mutex);
  if (state_->reaped) return false;
  return ::kill(state_->pid, sig) == 0;
}

bool ChildProcess::sendSignalToGroup(int sig) const {
  return ::kill(-state_->pid, sig) == 0;
}

}  // namespace qn
