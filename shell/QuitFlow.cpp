#include <signal.h>

#include "base/Files.h"
#include "base/Log.h"
#include "base/Processes.h"
#include "shell/AppDelegate.h"

namespace qn {

void AppDelegate::terminate(QuitReason reason) {
  if (terminated_ || !applicationShouldTerminate(reason)) return;
  applicationWillTerminate();
  terminated_ = true;
  ports_.loop.quit();
}

bool AppDelegate::applicationShouldTerminate(QuitReason reason) {
  if (internalQuit) return true;
  // A quit the system starts (log out, shut down, a termination signal) never asks.
  if (reason == QuitReason::System) return true;
  // The question about running AI threads is not asked yet; they are left running.
  return true;
}

void AppDelegate::applicationWillTerminate() {
  // "Still running" means not yet reaped: a dead child waiting to be reaped is already gone.
  if (!ownsServerProcess || !serverProcess || !serverProcess->isRunning()) return;
  logLine("[QUENTRA] 正在终止后台服务进程 (pid " + std::to_string(serverProcess->pid()) + ")...");
  serverProcess->sendSignal(SIGTERM);
  if (!serverProcess->waitForExit(3.0)) {
    serverProcess->sendSignal(SIGKILL);
    serverProcess->waitForExit(1.0);
  }
  serverProcess.reset();
  removeFile(dataFile("service.pid"));
}

}  // namespace qn
