#include <nlohmann/json.hpp>

#include "base/Log.h"
#include "shell/AppDelegate.h"
#include "shell/ShellLang.h"

namespace qn {

HealthStatus classifyHealth(const std::optional<HttpResult>& answer) {
  if (!answer) return {};
  switch (answer->kind) {
    case HttpResult::Kind::Response: {
      if (answer->status != 200) return {};
      const auto body = nlohmann::json::parse(answer->body, nullptr, false);
      const bool isQuentra = body.is_object() && body.contains("product") &&
                             body["product"].is_string() && body["product"] == "QUENTRA";
      return {isQuentra, true};
    }
    case HttpResult::Kind::Refused:
      return {false, false};
    case HttpResult::Kind::TimedOut:
    case HttpResult::Kind::Failed:
      return {false, true};
  }
  return {};
}

HealthStatus AppDelegate::checkHealthSync(int64_t port) {
  const auto url = loopbackURL(port, "/api/health");
  if (!url) return {};
  return classifyHealth(httpGetWithin(*url, 1.2, 1.5));
}

void AppDelegate::checkPortAndStartServer() {
  const int64_t port = config->port;
  const HealthStatus health = checkHealthSync(port);
  // A retry while the shell's own child still runs never starts a second service: the child is
  // attached to (and still stopped on quit), or waited for once more.
  const bool ownChildRunning = ownsServerProcess && serverProcess && serverProcess->isRunning();
  if (health.isQuentra) {
    logLine("[QUENTRA] 检测到现有 QUENTRA 服务已运行在端口 " + std::to_string(port) +
            "，直接连上。");
    ownsServerProcess = ownChildRunning;
    loadMainPage();
    return;
  }
  if (ownChildRunning) {
    waitForServerReady();
    return;
  }
  if (!health.running) {
    startEmbeddedServer();
    return;
  }
  const std::string portText = std::to_string(port);
  ports_.alerts.runModal({
      AlertStyle::Critical,
      ShellLang::t("端口占用冲突", "Port already in use"),
      ShellLang::t("端口 " + portText +
                       " 已被其他程序占用，无法启动 QUENTRA "
                       "本地服务。\n\n请先关闭占用该端口的程序后再启动。",
                   "Port " + portText +
                       " is being used by another program, so QUENTRA can't start its local "
                       "service.\n\nPlease quit the program using this port, then open QUENTRA "
                       "again."),
      {ShellLang::t("退出", "Quit")},
  });
  internalQuit = true;
  terminate();
}

}  // namespace qn
