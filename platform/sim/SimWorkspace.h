#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Workspace.h"

namespace qn {

// An application of the simulated desktop and what was asked of it. How it reacts to a polite
// or a forced termination is set by the test.
class SimWorkspace;

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
  // Activating one application of this workspace deactivates the others.
  SimWorkspace* workspace = nullptr;
  int hideCalls = 0;
  int unhideCalls = 0;
  int activateCalls = 0;
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
  void observe(WorkspaceEvent event,
               std::function<void(std::shared_ptr<RunningApplication>)> observer) override {
    observers.emplace_back(event, std::move(observer));
  }
  std::shared_ptr<SimApplication> add(pid_t pid, unsigned long long start = 1);
  // Tells the observers of the event about the application, as the desktop would.
  void notify(WorkspaceEvent event, const std::shared_ptr<RunningApplication>& app);

  std::map<pid_t, std::shared_ptr<SimApplication>> apps;
  std::vector<std::pair<WorkspaceEvent, std::function<void(std::shared_ptr<RunningApplication>)>>>
      observers;
};

}  // namespace qn
