#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/Workspace.h"

namespace qn {

// Running applications on Linux: any live process is one, and its windows are the managed
// top-level windows whose _NET_WM_PID is its pid.
class GtkWorkspace : public Workspace {
 public:
  std::shared_ptr<RunningApplication> runningApplication(pid_t pid) override;
  std::shared_ptr<RunningApplication> frontmostApplication() override;
  void observe(WorkspaceEvent event,
               std::function<void(std::shared_ptr<RunningApplication>)> observer) override;

 private:
  std::vector<std::pair<WorkspaceEvent, std::function<void(std::shared_ptr<RunningApplication>)>>>
      observers_;
};

}  // namespace qn
