#include "platform/sim/SimWorkspace.h"

namespace qn {

bool SimApplication::hide() {
  ++hideCalls;
  hidden = true;
  active = false;
  return true;
}

bool SimApplication::unhide() {
  ++unhideCalls;
  hidden = false;
  return true;
}

bool SimApplication::activate() {
  ++activateCalls;
  if (workspace != nullptr)
    for (auto& [otherPid, other] : workspace->apps) other->active = false;
  hidden = false;
  active = true;
  return true;
}

bool SimApplication::terminate() {
  ++terminateCalls;
  if (quitsWhenAsked) terminated = true;
  return true;
}

bool SimApplication::forceTerminate() {
  ++forceCalls;
  if (quitsWhenForced) terminated = true;
  return true;
}

std::shared_ptr<RunningApplication> SimWorkspace::runningApplication(pid_t pid) {
  const auto found = apps.find(pid);
  if (found == apps.end() || found->second->terminated) return nullptr;
  return found->second;
}

std::shared_ptr<RunningApplication> SimWorkspace::frontmostApplication() {
  for (const auto& [pid, app] : apps)
    if (app->active && !app->terminated) return app;
  return nullptr;
}

void SimWorkspace::notify(WorkspaceEvent event, const std::shared_ptr<RunningApplication>& app) {
  for (auto& [kind, observer] : observers)
    if (kind == event) observer(app);
}

std::shared_ptr<SimApplication> SimWorkspace::add(pid_t pid, unsigned long long start) {
  auto app = std::make_shared<SimApplication>(pid, start);
  app->workspace = this;
  apps[pid] = app;
  return app;
}

}  // namespace qn
