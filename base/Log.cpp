#include "base/Log.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace qn {

namespace {

void writeLine(int fd, std::string_view line) {
  std::string text(line);
  text += '\n';
  std::string_view rest = text;
  while (!rest.empty()) {
    const ssize_t written = ::write(fd, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    rest.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace

void logLine(std::string_view line) {
  writeLine(STDOUT_FILENO, line);
}

void logSystemLine(std::string_view line) {
  writeLine(STDERR_FILENO, line);
}

}  // namespace qn
