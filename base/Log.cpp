#include "base/Log.h"

#include <unistd.h>

#include <string>

#include "base/Files.h"

namespace qn {

namespace {

void writeLine(int fd, std::string_view line) {
  std::string text(line);
  text += '\n';
  writeAll(fd, text);
}

}  // namespace

void logLine(std::string_view line) {
  writeLine(STDOUT_FILENO, line);
}

void logSystemLine(std::string_view line) {
  writeLine(STDERR_FILENO, line);
}

}  // namespace qn
