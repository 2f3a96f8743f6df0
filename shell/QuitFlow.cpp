#include <signal.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "base/Decimal.h"
#include "base/Files.h"
#include "base/HttpGet.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "shell/AppDelegate.h"
#include "shell/ShellLang.h"

namespace qn {

namespace {

// The number of running threads in the service's answer, or none.
std::optional<int64_t> runningCount(const std::string& body) {
  const auto json = nlohmann::json::parse(body, nullptr, false);
  if (!json.is_object() || !json.contains("running")) return std::nullopt;
  const auto& running = json["running"];
  if (running.is_number_integer()) return running.get<int64_t>();
  if (running.is_number_float()) {
    const double value = running.get<double>();
    if (value == static_cast<double>(static_cast<int64_t>(value)))
      return static_cast<int64_t>(value);
  }
  return std::nullopt;
}

std::string threadsWarning(int64_t n) {
  const std::string count = std::to_string(n);
  return ShellLang::t("有 " + count + " 个线程在运行，退出会停下它们",
                      count + " thread" + (n == 1 ? " is" : "s are") +
                          " running. Quitting will stop " + (n == 1 ? "it" : "them") + ".");
}

}  // namespace

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
  if (ownsServerProcess) {
    const int64_t n = runningThreadCount();
    if (n > 0) {
      const int answer = ports_.alerts.runModal({
          AlertStyle::Warning,
          threadsWarning(n),
          ShellLang::t(
              "退出 QUENTRA 会结束所有 AI "
              "线程，正在做的事会中断；下次打开再点线程可以接着原来的对话。\n"
              "只是想关窗口的话，点左上角红色按钮即可，AI 会在后台继续。",
              "Quitting QUENTRA ends every AI thread and interrupts whatever they are doing. Next "
              "time, open a thread to pick up its conversation.\nTo just close the window, click "
              "the red button at the top left. The AI keeps working in the background."),
          {ShellLang::t("退出并停下", "Quit and Stop"), ShellLang::t("取消", "Cancel")},
      });
      if (answer != 0) return false;
    }
    userConfirmedQuit = true;
  }
  return true;
}

int64_t AppDelegate::runningThreadCount() {
  const auto url = loopbackURL(config->port, "/api/tmux-keep/state");
  if (!url) return 0;
  const auto answer = httpGetWithin(*url, 1.5, 2.0);
  // The status code is not looked at: any body with a count counts.
  if (!answer || answer->kind != HttpResult::Kind::Response) return 0;
  return runningCount(answer->body).value_or(0);
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
  const auto serviceStart = serverProcess->startTime();
  serverProcess.reset();
  removeFile(dataFile("service.pid"));

  const std::string ttydFile = dataFile("ttyd.pid");
  if (const auto text = readUtf8File(ttydFile)) {
    const auto pid = parseInt32(trimWhitespace(*text));
    if (pid && *pid >= 1) {
      // Only the terminal server the service started: a process that began before the service
      // holds a reused pid from a stale file and is left alone.
      const auto started = processStartTime(*pid);
      if (started && serviceStart && *started >= *serviceStart) {
        signalProcess(*pid, SIGTERM);
        sleepSeconds(0.2);
        if (processExists(*pid)) signalProcess(*pid, SIGKILL);
      }
      removeFile(ttydFile);
    }
  }
  if (userConfirmedQuit) stopAllThreadsForUserQuit();
}

std::vector<std::string> AppDelegate::tmuxCandidates() const {
  std::vector<std::string> candidates;
  std::error_code error;
  for (std::filesystem::directory_iterator it(dataFile("runtime/tmux"), error), end;
       !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.starts_with(".") || name.find(".tmp-") != std::string::npos) continue;
    const std::string bin = appendPath(it->path().string(), "bin");
    if (fileExists(bin)) candidates.push_back(appendPath(bin, "tmux"));
  }
  if (launch_.bundle.resourcesPath) {
    candidates.push_back(appendPath(*launch_.bundle.resourcesPath, "tools/bin/tmux"));
  }
  candidates.push_back("/opt/homebrew/bin/tmux");
  candidates.push_back("/usr/local/bin/tmux");
  // Where the system's own tmux lives on Linux.
  candidates.push_back("/usr/bin/tmux");
  return candidates;
}

void AppDelegate::stopAllThreadsForUserQuit() {
  removeFile(dataFile("tmux_threads.json"));
  for (const std::string& tmux : tmuxCandidates()) {
    if (!isExecutableFile(tmux)) continue;
    SpawnOptions options;
    options.executable = tmux;
    options.arguments = {"-L", config->tmuxSocket, "kill-server"};
    options.standardOutput = ChildOutput::null();
    options.standardError = ChildOutput::null();
    const auto child = ChildProcess::spawn(options, nullptr);
    if (!child) continue;
    int status = -1;
    if (child->waitForExit(3.0)) {
      status = child->terminationStatus();
    } else {
      child->sendSignal(SIGTERM);
    }
    logLine("[QUENTRA] 用户退出：已结束 tmux -L " + config->tmuxSocket + "（" + tmux + "，退出码 " +
            std::to_string(status) + "）");
    return;
  }
}

}  // namespace qn
