#include "shell/TmuxTrace.h"

#include <unistd.h>

#include <chrono>
#include <ctime>

#include "base/Decimal.h"
#include "base/Files.h"
#include "base/Paths.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "shell/AppDelegate.h"

namespace qn {

namespace {

// True when the process leads its own session, as a daemonised tmux server does.
bool leadsOwnSession(const std::string& pidText) {
  const auto pid = parseInt32(pidText);
  return pid && *pid > 0 && ::getsid(*pid) == *pid;
}

std::string isoTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return buffer;
}

std::string trimBlanks(std::string_view line) {
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = line.find_last_not_of(" \t");
  return std::string(line.substr(first, last - first + 1));
}

}  // namespace

std::vector<std::string> tmuxServerIds(const std::vector<std::string>& psLines,
                                       const std::string& socket) {
  std::vector<std::string> ids;
  for (const std::string& line : psLines) {
    const std::vector<std::string> fields = split(line, ' ', true);
    if (fields.size() < 3) continue;
    if (fields[1] != "1" && !leadsOwnSession(fields[0])) continue;
    if (lastPathComponent(fields[2]) != "tmux") continue;
    bool namesSocket = false;
    for (size_t i = 3; i < fields.size() && !namesSocket; ++i) {
      namesSocket = (fields[i] == "-L" && i + 1 < fields.size() && fields[i + 1] == socket) ||
                    fields[i] == "-L" + socket;
    }
    if (namesSocket) ids.push_back(fields[0]);
  }
  return ids;
}

std::vector<std::string> tmuxContextLines(const std::vector<std::string>& psLines) {
  static const std::regex pattern(
      "tmux|QUENTRA|server\\.js|claude|codex|gemini|antigravity|termd|update_helper",
      std::regex::icase);
  std::vector<std::string> context;
  for (const std::string& line : psLines) {
    if (context.size() >= 80) break;
    if (!std::regex_search(line, pattern) || line.find("shell-snapshots") != std::string::npos) {
      continue;
    }
    context.push_back("    " + firstCharacters(trimBlanks(line), 200) + "\n");
  }
  return context;
}

std::string tmuxTraceEntry(const std::string& isoTime, long shellPid, const std::string& label,
                           const std::string& socket, const std::vector<std::string>& psLines) {
  const std::vector<std::string> ids = tmuxServerIds(psLines, socket);
  std::string entry = "[" + isoTime + "] [外壳 " + std::to_string(shellPid) + "] " + label +
                      " | socket=" + socket + " tmux服务=" + (ids.empty() ? "无" : join(ids, ",")) +
                      "\n";
  if (ids.empty()) {
    for (const std::string& line : tmuxContextLines(psLines)) entry += line;
  }
  return entry;
}

void appendTmuxTrace(const std::string& logsDirectory, const std::string& entry) {
  createDirectories(logsDirectory);
  const std::string log = appendPath(logsDirectory, "tmux_trace.log");
  if (fileSize(log).value_or(0) > 524288) {
    removeFile(log + ".1");
    renameFile(log, log + ".1");
  }
  appendToFile(log, entry);
}

void AppDelegate::traceTmux(const std::string& label) {
  const auto output = runPs({"-axo", "pid=,ppid=,command="});
  if (!output) return;
  const std::vector<std::string> lines = split(*output, '\n', true);
  appendTmuxTrace(appendPath(config->dataDir, "logs"),
                  tmuxTraceEntry(isoTimeNow(), ::getpid(), label, config->tmuxSocket, lines));
}

}  // namespace qn
