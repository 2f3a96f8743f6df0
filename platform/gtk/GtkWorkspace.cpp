// GtkWorkspace: qn::Workspace through EWMH under a window manager, and /proc.
//   [x] look-up by pid (a live process), start time from /proc/<pid>/stat
//   [x] hide (iconify every window), unhide (map), activate (_NET_ACTIVE_WINDOW)
//   [x] terminate: close request to every window, then SIGTERM; force-terminate: SIGKILL
//   [x] is-terminated (gone, or the pid now names a process started at another time),
//       is-active, is-hidden, the frontmost application (owner of the active window)
//   [ ] observers: kept, but nothing tells them yet (activation, de-iconify and process end
//       are not watched)

#include "platform/gtk/GtkWorkspace.h"

#include <csignal>

#include "base/Processes.h"
#include "platform/gtk/X11Clients.h"

namespace qn {

namespace {

class GtkRunningApplication : public RunningApplication {
 public:
  explicit GtkRunningApplication(pid_t pid) : pid_(pid), start_(processStartTime(pid)) {}
  pid_t processIdentifier() const override { return pid_; }
  std::optional<unsigned long long> startTime() const override { return start_; }

  bool hide() override { return forEachWindow(x11::iconify); }
  bool unhide() override { return forEachWindow(x11::mapWindow); }
  bool activate() override {
    const auto windows = x11::windowsOf(pid_);
    if (windows.empty()) return false;
    x11::requestActivate(windows.front());
    x11::flush();
    return true;
  }
  bool terminate() override {
    if (isTerminated()) return false;
    forEachWindow(x11::requestClose);
    return signalProcess(pid_, SIGTERM);
  }
  bool forceTerminate() override { return !isTerminated() && signalProcess(pid_, SIGKILL); }
  bool isTerminated() const override {
    return !processExists(pid_) || processStartTime(pid_) != start_;
  }
  bool isActive() const override {
    const auto active = x11::activeWindow();
    return active && x11::windowPid(*active) == pid_;
  }
  bool isHidden() const override {
    const auto windows = x11::windowsOf(pid_);
    if (windows.empty()) return false;
    for (unsigned long window : windows)
      if (!x11::isHidden(window)) return false;
    return true;
  }

 private:
  bool forEachWindow(void (*request)(unsigned long)) {
    const auto windows = x11::windowsOf(pid_);
    for (unsigned long window : windows) request(window);
    x11::flush();
    return !windows.empty();
  }

  pid_t pid_;
  std::optional<unsigned long long> start_;
};

}  // namespace

std::shared_ptr<RunningApplication> GtkWorkspace::runningApplication(pid_t pid) {
  if (pid <= 0 || !processExists(pid)) return nullptr;
  return std::make_shared<GtkRunningApplication>(pid);
}

std::shared_ptr<RunningApplication> GtkWorkspace::frontmostApplication() {
  const auto active = x11::activeWindow();
  if (!active) return nullptr;
  const auto pid = x11::windowPid(*active);
  return pid ? runningApplication(*pid) : nullptr;
}

}  // namespace qn

namespace qn {

void GtkWorkspace::observe(WorkspaceEvent event,
                           std::function<void(std::shared_ptr<RunningApplication>)> observer) {
  observers_.emplace_back(event, std::move(observer));
}

}  // namespace qn
