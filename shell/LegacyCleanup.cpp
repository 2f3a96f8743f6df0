#include <signal.h>

#include "base/Decimal.h"
#include "base/Files.h"
#include "base/Log.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "shell/AppDelegate.h"
#include "shell/LegacyService.h"

namespace qn {

namespace {

std::string privateTwin(const std::string& path) {
  if (startsWith(path, "/private/")) return path.substr(std::string("/private").size());
  return "/private" + path;
}

}  // namespace

std::set<std::string> resourceRoots(const std::optional<std::string>& resourcesPath) {
  const std::string path = resourcesPath.value_or("/nonexistent");
  std::set<std::string> roots;
  for (const std::string& root : {path, resolveSymlinks(path).value_or(path)}) {
    roots.insert(root);
    roots.insert(privateTwin(root));
  }
  return roots;
}

bool isLeftoverService(const std::string& commandLine, const std::set<std::string>& roots) {
  for (const std::string& root : roots) {
    if (commandLine.find(root + "/node/bin/node") != std::string::npos &&
        commandLine.find(root + "/app/server.js") != std::string::npos) {
      return true;
    }
  }
  return false;
}

void AppDelegate::cleanupLegacyServerIfNeeded() {
  const std::string pidFile = dataFile("service.pid");
  const auto text = readUtf8File(pidFile);
  if (!text) return;
  const std::string trimmed = trimWhitespace(*text);
  if (trimmed.empty()) return;
  const auto pid = parseInt32(trimmed);
  if (!pid || *pid < 1) return;
  if (!processExists(*pid)) {
    removeFile(pidFile);
    return;
  }
  const std::string commandLine =
      runPs({"-p", std::to_string(*pid), "-o", "command="}).value_or("");
  if (isLeftoverService(commandLine, resourceRoots(launch_.bundle.resourcesPath))) {
    logLine("[QUENTRA] 发现遗留 server 进程 (pid " + std::to_string(*pid) + ")，执行清理...");
    signalProcess(*pid, SIGTERM);
    for (int i = 0; i < 20 && processExists(*pid); ++i) sleepSeconds(0.1);
    if (processExists(*pid)) signalProcess(*pid, SIGKILL);
    sleepSeconds(0.2);
  }
  removeFile(pidFile);
}

}  // namespace qn
