#pragma once

#include <map>
#include <memory>
#include <optional>

#include "platform/Workspace.h"

namespace qn {

// An application of the simulated desktop and what was asked of it. How it reacts to a polite
// or a forced termination is set by the test.
class SimApplication : public RunningApplication {
 public:
  explicit SimApplication(pid_t pid, unsigned long long start = 1) : pid_(pid), start_(start) {}
  pid_t processIdentifier() const override { return pid_; }
  std::optional<unsigned long long> startTime() const override { return start_; }
  bool hide() override;
  bool unhide() override;
  bool activate() override;
  bool terminate() override;
  bool forceTerminate() override;
  bool isTerminated() const override { return terminated; }
  bool isActive() const override { return active; }
  bool isHidden() const override { return hidden; }

  bool quitsWhenAsked = true;
  bool quitsWhenForced = true;
  bool terminated = false;
  bool active = false;
  bool hidden = false;
  int hideCalls = 0;
  int terminateCalls = 0;
  int forceCalls = 0;

 private:
  pid_t pid_;
  unsigned long long start_;
};

class SimWorkspace : public Workspace {
 public:
  std::shared_ptr<RunningApplication> runningApplication(pid_t pid) override;
  std::shared_ptr<RunningApplication> frontmostApplication() override;
  std::shared_ptr<SimApplication> add(pid_t pid, unsigned long long start = 1);

  std::map<pid_t, std::shared_ptr<SimApplication>> apps;
};

}  // namespace qn
