#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "platform/MainLoop.h"

namespace qn {

// Lines longer than this are skipped without being held whole.
inline constexpr size_t kMaxLineBytes = 64u << 20;

// Cuts a byte stream into lines at line feeds, dropping a trailing carriage return. A line that
// grows beyond the limit is discarded as it arrives, up to its line feed.
class LineFramer {
 public:
  using LineHandler = std::function<void(std::string_view)>;
  explicit LineFramer(size_t maxLine = kMaxLineBytes) : maxLine_(maxLine) {}
  void feed(std::string_view bytes, const LineHandler& onLine);
  // End of input: a last line without a line feed still counts.
  void finish(const LineHandler& onLine);

 private:
  void deliver(const LineHandler& onLine);
  size_t maxLine_;
  std::string pending_;
  bool skipping_ = false;
};

// The command a line carries: a JSON object, or none for anything else. Invalid UTF-8 is
// replaced with U+FFFD before parsing. Never throws.
std::optional<nlohmann::json> parseCommandLine(std::string_view line);

// Reads commands from fd until its end, on the calling thread. Each object is posted to the
// loop in arrival order; atEnd is posted once at the end of input.
void readCommands(int fd, MainLoop& loop, std::function<void(nlohmann::json)> handle,
                  std::function<void()> atEnd);

}  // namespace qn
