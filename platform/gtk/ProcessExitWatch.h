#pragma once

#include <sys/types.h>

#include <functional>
#include <map>

namespace qn {

// Tells the main loop when watched processes end, through a pidfd each: no polling.
class ProcessExitWatch {
 public:
  explicit ProcessExitWatch(std::function<void(pid_t)> ended) : ended_(std::move(ended)) {}
  ~ProcessExitWatch();
  ProcessExitWatch(const ProcessExitWatch&) = delete;
  ProcessExitWatch& operator=(const ProcessExitWatch&) = delete;

  // Starts watching a live process; false when it is not running, already watched, or too many
  // are.
  bool watch(pid_t pid);
  size_t watched() const { return sources_.size(); }
  bool watches(pid_t pid) const { return sources_.count(pid) != 0; }

  static constexpr size_t kMaxWatched = 256;

 private:
  static int onReadable(int fd, unsigned condition, void* self);

  std::function<void(pid_t)> ended_;
  // pid -> main loop source id; the source owns the descriptor.
  std::map<pid_t, unsigned> sources_;
  std::map<int, pid_t> pidsByFd_;
};

}  // namespace qn
