#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/Workspace.h"
#include "platform/gtk/ProcessExitWatch.h"

namespace qn {

// Running applications on Linux: any live process is one, and its windows are the managed
// top-level windows whose _NET_WM_PID is its pid.
class GtkWorkspace : public Workspace {
 public:
  GtkWorkspace() = default;
  ~GtkWorkspace() override;
  GtkWorkspace(const GtkWorkspace&) = delete;
  GtkWorkspace& operator=(const GtkWorkspace&) = delete;
  std::shared_ptr<RunningApplication> runningApplication(pid_t pid) override;
  std::shared_ptr<RunningApplication> frontmostApplication() override;
  void observe(WorkspaceEvent event,
               std::function<void(std::shared_ptr<RunningApplication>)> observer) override;

 private:
  // Connects the X server's events and the process ends to the observers, once a display is up.
  void startWatching();
  void tell(WorkspaceEvent event, pid_t pid);
  void activated(pid_t pid);
  void unhidden(pid_t pid);
  static int onUnhideDue(void* data);

  bool watching_ = false;
  // When each application was last activated, and the un-hidings waiting to be told.
  std::map<pid_t, long long> activatedAtMicros_;
  std::set<pid_t> pendingUnhide_;
  unsigned int unhideSource_ = 0;
  // The applications looked up whose end will be heard, kept until then: the guard asks for
  // the worker fifty times a second.
  std::map<pid_t, std::shared_ptr<RunningApplication>> live_;
  ProcessExitWatch exits_{[this](pid_t pid) {
    live_.erase(pid);
    tell(WorkspaceEvent::DidTerminate, pid);
  }};
  std::vector<std::pair<WorkspaceEvent, std::function<void(std::shared_ptr<RunningApplication>)>>>
      observers_;
};

}  // namespace qn
