// GtkWorkspace: qn::Workspace through EWMH under a window manager, and /proc.
//   [x] look-up by pid (a live process), start time from /proc/<pid>/stat; an application
//       whose end is watched is kept and handed out again until it ends
//   [x] hide (iconify every window), unhide (map), activate (_NET_ACTIVE_WINDOW)
//   [x] terminate: close request to every window, then SIGTERM; force-terminate: SIGKILL
//   [x] is-terminated (gone, or the pid now names a process started at another time)
//   [x] is-active, is-hidden, the frontmost application: from the X server's events, so asking
//       costs no request
//   [x] observers: activation (_NET_ACTIVE_WINDOW), showing again (an iconified application's
//       window de-iconified or mapped), process end (pidfd) of every client and every looked-up
//       process; an application that is activated from hidden is told as activated alone, as
//       activating an application shows it (the window manager maps and activates it in
//       either order, a moment apart)

#include "platform/gtk/GtkWorkspace.h"

#include <glib.h>

#include <csignal>

#include "base/Processes.h"
#include "platform/gtk/X11ClientCache.h"
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
    const auto windows = windowsOf(pid_);
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
    const auto* cache = x11::ClientCache::instance();
    return cache != nullptr && cache->activePid() == pid_;
  }
  bool isHidden() const override {
    const auto* cache = x11::ClientCache::instance();
    return cache != nullptr && cache->isHidden(pid_);
  }

 private:
  static std::vector<unsigned long> windowsOf(pid_t pid) {
    const auto* cache = x11::ClientCache::instance();
    return cache != nullptr ? cache->windowsOf(pid) : std::vector<unsigned long>{};
  }

  bool forEachWindow(void (*request)(unsigned long)) {
    const auto windows = windowsOf(pid_);
    for (unsigned long window : windows) request(window);
    x11::flush();
    return !windows.empty();
  }

  pid_t pid_;
  std::optional<unsigned long long> start_;
};

}  // namespace

std::shared_ptr<RunningApplication> GtkWorkspace::runningApplication(pid_t pid) {
  if (pid <= 0) return nullptr;
  if (const auto known = live_.find(pid); known != live_.end()) return known->second;
  if (!processExists(pid)) return nullptr;
  startWatching();
  exits_.watch(pid);
  auto app = std::make_shared<GtkRunningApplication>(pid);
  if (exits_.watches(pid)) live_[pid] = app;
  return app;
}

std::shared_ptr<RunningApplication> GtkWorkspace::frontmostApplication() {
  const auto* cache = x11::ClientCache::instance();
  const auto pid = cache != nullptr ? cache->activePid() : std::nullopt;
  return pid ? runningApplication(*pid) : nullptr;
}

void GtkWorkspace::observe(WorkspaceEvent event,
                           std::function<void(std::shared_ptr<RunningApplication>)> observer) {
  startWatching();
  observers_.emplace_back(event, std::move(observer));
}

void GtkWorkspace::startWatching() {
  auto* cache = x11::ClientCache::instance();
  if (watching_ || cache == nullptr) return;
  watching_ = true;
  cache->onActivate = [this](pid_t pid) { activated(pid); };
  cache->onUnhide = [this](pid_t pid) { unhidden(pid); };
  cache->onNewClient = [this](pid_t pid) { exits_.watch(pid); };
  for (pid_t pid : cache->pids()) exits_.watch(pid);
}

namespace {

// How far apart the window manager's mapping and activation of one application may come.
constexpr long long kActivationMicros = 100'000;

}  // namespace

GtkWorkspace::~GtkWorkspace() {
  if (unhideSource_ != 0) g_source_remove(unhideSource_);
}

void GtkWorkspace::activated(pid_t pid) {
  activatedAtMicros_[pid] = g_get_monotonic_time();
  pendingUnhide_.erase(pid);
  tell(WorkspaceEvent::DidActivate, pid);
}

void GtkWorkspace::unhidden(pid_t pid) {
  const auto at = activatedAtMicros_.find(pid);
  if (at != activatedAtMicros_.end() && g_get_monotonic_time() - at->second < kActivationMicros)
    return;
  pendingUnhide_.insert(pid);
  if (unhideSource_ == 0)
    unhideSource_ = g_timeout_add(guint(kActivationMicros / 1000), onUnhideDue, this);
}

int GtkWorkspace::onUnhideDue(void* data) {
  auto* self = static_cast<GtkWorkspace*>(data);
  self->unhideSource_ = 0;
  const auto due = std::move(self->pendingUnhide_);
  self->pendingUnhide_.clear();
  for (pid_t pid : due) self->tell(WorkspaceEvent::DidUnhide, pid);
  return G_SOURCE_REMOVE;
}

// An ended process keeps its pid in the application handed out; nothing else about it holds.
void GtkWorkspace::tell(WorkspaceEvent event, pid_t pid) {
  const auto app = std::make_shared<GtkRunningApplication>(pid);
  for (const auto& [kind, observer] : observers_)
    if (kind == event) observer(app);
}

}  // namespace qn
