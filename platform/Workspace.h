#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>

namespace qn {

// Another running application, named by its process id.
class RunningApplication {
 public:
  virtual ~RunningApplication() = default;
  virtual pid_t processIdentifier() const = 0;
  // When the process started, in a unit of the system's choosing; a reused pid has another.
  virtual std::optional<unsigned long long> startTime() const = 0;
  virtual bool hide() = 0;
  virtual bool unhide() = 0;
  virtual bool activate() = 0;
  // Polite: asks its windows to close, then asks the process to end.
  virtual bool terminate() = 0;
  virtual bool forceTerminate() = 0;
  virtual bool isTerminated() const = 0;
  virtual bool isActive() const = 0;
  virtual bool isHidden() const = 0;
};

// What the desktop tells about other applications.
enum class WorkspaceEvent { DidActivate, DidUnhide, DidTerminate };

class Workspace {
 public:
  virtual ~Workspace() = default;
  // The application with this process id, or null when no such process runs.
  virtual std::shared_ptr<RunningApplication> runningApplication(pid_t pid) = 0;
  virtual std::shared_ptr<RunningApplication> frontmostApplication() = 0;
  // Calls the observer on the main loop with the application the event is about, for the life
  // of the process. For a terminated application only its process id is still meaningful.
  virtual void observe(WorkspaceEvent event,
                       std::function<void(std::shared_ptr<RunningApplication>)> observer) = 0;
};

}  // namespace qn
