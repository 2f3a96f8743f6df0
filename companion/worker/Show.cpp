#include "companion/App.h"

namespace qn {

// The worker named by init, when a process with that pid still runs and is the one that ran then.
std::shared_ptr<RunningApplication> App::chrome() {
  if (pid <= 0) return nullptr;
  auto worker = ports_.workspace.runningApplication(pid);
  if (!worker || worker->startTime() != workerStart) return nullptr;
  return worker;
}

// Showing, hiding, peeking and placing the worker window come with the worker-window control.
void App::peek(const std::string&) {}

void App::unpeek() {}

void App::show(const std::string&) {}

void App::hideNow() {}

void App::place(const std::optional<std::string>&, bool) {}

void App::centerOnPanel() {}

}  // namespace qn
