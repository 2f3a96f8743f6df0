#include <unistd.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "base/Files.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "shell/AppDelegate.h"

namespace qn {

namespace {

// Restarts after failed hand-offs allowed within the window before the shell gives up.
constexpr size_t restartLimit = 5;
constexpr double restartWindowSeconds = 60;

std::string nonEmptyString(const nlohmann::json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_string()) return {};
  return found->get<std::string>();
}

}  // namespace

void AppDelegate::handleAutoUpdateTrigger() {
  std::string handoff = appendPath(config->dataDir, "updates/pending.json");
  if (!fileExists(handoff)) {
    const std::string fallback = appendPath(AppConfig::defaultDataDir(), "updates/pending.json");
    if (!fileExists(fallback)) {
      logLine("[QUENTRA] 退出码为 75，但未找到 pending.json，跳过自动更新并重新启动内置服务");
      restartEmbeddedServerAfterFailedUpdate();
      return;
    }
    handoff = fallback;
  }

  std::string currentPath = launch_.bundle.bundlePath;
  std::string stagingPath;
  if (const auto text = readFile(handoff)) {
    const auto json = nlohmann::json::parse(*text, nullptr, false);
    if (json.is_object()) {
      stagingPath = nonEmptyString(json, "stagingAppPath");
      if (const std::string current = nonEmptyString(json, "currentAppPath"); !current.empty()) {
        currentPath = current;
      }
    }
  }
  if (stagingPath.empty() || !fileExists(stagingPath)) {
    logLine("[QUENTRA] pending.json 中的 stagingAppPath 无效: " + stagingPath);
    restartEmbeddedServerAfterFailedUpdate();
    return;
  }

  const std::string script =
      appendPath(launch_.bundle.resourcesPath.value_or(""), "app/macapp/update_helper.sh");
  if (!fileExists(script)) {
    logLine("[QUENTRA] 未找到更新辅助脚本: " + script);
    restartEmbeddedServerAfterFailedUpdate();
    return;
  }

  const std::string shellPid = std::to_string(::getpid());
  logLine("[QUENTRA] 启动更新辅助脚本: " + script + " " + shellPid + " " + currentPath + " " +
          stagingPath);
  traceTmux("①b 外壳收到 exit 75、交给更新脚本前");

  SpawnOptions options;
  options.executable = "/bin/bash";
  options.arguments = {script, shellPid, currentPath, stagingPath, config->dataDir};
  // Its own session, so it outlives this process and whatever ends this process's group.
  options.newSession = true;
  std::string error;
  if (!ChildProcess::spawn(options, nullptr, &error)) {
    logLine("[QUENTRA] 启动更新辅助脚本失败: " + error);
    restartEmbeddedServerAfterFailedUpdate();
    return;
  }
  // The service has already ended, so this leaves the terminal server and tmux running.
  applicationWillTerminate();
  ports_.exitProcess(0);
}

void AppDelegate::restartEmbeddedServerAfterFailedUpdate() {
  std::weak_ptr<AppDelegate> weak = weak_from_this();
  ports_.loop.post([weak] {
    const auto self = weak.lock();
    if (!self) return;
    // A service that keeps asking for an update that cannot be installed would restart forever;
    // past the limit the readiness wait already running ends on the error page.
    const double now = self->ports_.loop.now();
    std::erase_if(self->updateRestarts_,
                  [now](double at) { return now - at >= restartWindowSeconds; });
    if (self->updateRestarts_.size() >= restartLimit) {
      logLine("[QUENTRA] 60 秒内已重启内置服务 5 次，不再重启");
      return;
    }
    self->updateRestarts_.push_back(now);
    self->serverProcess.reset();
    self->startEmbeddedServer();
  });
}

}  // namespace qn
