#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "base/Files.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "shell/AppDelegate.h"
#include "shell/ServiceEnvironment.h"
#include "shell/ShellLang.h"

namespace qn {

std::string composeSearchPath(const std::string& inheritedPath, const std::string& home) {
  std::vector<std::string> pieces = split(inheritedPath, ':', true);
  const std::vector<std::string> candidates = {
      "/opt/homebrew/bin",
      "/opt/homebrew/sbin",
      "/usr/local/bin",
      "/usr/local/sbin",
      appendPath(home, ".local/bin"),
      appendPath(home, ".npm-global/bin"),
      appendPath(home, ".gemini/antigravity-cli/bin"),
      "/usr/bin",
      "/bin",
      "/usr/sbin",
      "/sbin",
  };
  for (const std::string& candidate : candidates) {
    if (std::find(pieces.begin(), pieces.end(), candidate) == pieces.end()) {
      pieces.insert(pieces.begin(), candidate);
    }
  }
  return join(pieces, ":");
}

Environment serviceEnvironment(Environment inherited, const AppConfig& config,
                               const std::string& searchPath, const std::string& bundlePath) {
  inherited.set("PATH", searchPath);
  inherited.set("QUENTRA_APP_BUNDLE", "1");
  inherited.set("QUENTRA_PORT", std::to_string(config.port));
  inherited.set("QUENTRA_TTYD_PORT", std::to_string(config.ttydPort));
  inherited.set("QUENTRA_DATA_DIR", config.dataDir);
  inherited.set("QUENTRA_TMUX_SOCKET", config.tmuxSocket);
  inherited.set("QUENTRA_APP_PATH", bundlePath);
  if (const auto updateURL = inherited.get("QUENTRA_UPDATE_URL")) {
    const std::string lower = toLowerAscii(*updateURL);
    if (!startsWith(lower, "http://") && !startsWith(lower, "https://")) {
      inherited.erase("QUENTRA_UPDATE_URL");
    }
  }
  return inherited;
}

void AppDelegate::startEmbeddedServer() {
  traceTmux("④前 外壳 " + launch_.bundle.infoString("CFBundleVersion").value_or("?") +
            " 启动、新服务起来前");
  const auto& resources = launch_.bundle.resourcesPath;
  if (!resources) {
    showErrorPage(ShellLang::t("无法定位应用资源目录", "Can't find the app's resources folder."));
    return;
  }
  const std::string runtime = appendPath(*resources, "node/bin/node");
  const std::string script = appendPath(*resources, "app/server.js");
  if (!isExecutableFile(runtime) || !fileExists(script)) {
    showErrorPage(ShellLang::t("缺少内置 Node.js 运行时或应用服务文件：",
                               "The built-in Node.js runtime or app service files are missing:") +
                  "\n" + runtime);
    return;
  }

  const std::string searchPath =
      composeSearchPath(launch_.environment.get("PATH").value_or(""), homeDirectory());
  SpawnOptions options;
  options.executable = runtime;
  options.arguments = {script};
  options.environment =
      serviceEnvironment(launch_.environment, *config, searchPath, launch_.bundle.bundlePath)
          .toList();
  options.workingDirectory = parentPath(script);

  // Opened for appending, so an old service still writing and the new one never overwrite each
  // other; without a log the child shares the shell's own output.
  const int logFd = ::open(logFilePath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (logFd >= 0) {
    options.standardOutput = ChildOutput::to(logFd);
    options.standardError = ChildOutput::to(logFd);
  }

  // Runs on the waiter thread. It never holds the delegate itself, which must only ever end on
  // the main thread; the lifeline tells whether it is still there and keeps it there meanwhile.
  auto onTermination = [lifeline = lifeline_, weak = weak_from_this()](int status) {
    std::lock_guard lock(lifeline->mutex);
    if (!lifeline->alive) return;
    logLine("[QUENTRA] 内置服务进程退出 (code " + std::to_string(status) + ")");
    // The hand-off touches the delegate and the window, so it runs on the main loop.
    if (status == 75) {
      lifeline->loop.post([weak] {
        if (const auto delegate = weak.lock()) delegate->handleAutoUpdateTrigger();
      });
    }
  };

  std::string error;
  auto child = ChildProcess::spawn(options, std::move(onTermination), &error);
  if (logFd >= 0) ::close(logFd);
  if (!child) {
    showErrorPage(ShellLang::t("启动服务进程失败：", "Couldn't start the service process: ") +
                  error);
    return;
  }
  serverProcess = child;
  ownsServerProcess = true;
  writeFileAtomically(dataFile("service.pid"), std::to_string(child->pid()));
  logLine("[QUENTRA] 内置服务进程已启动 (pid " + std::to_string(child->pid()) +
          ")，正在等待就绪...");
  waitForServerReady();
}

}  // namespace qn
