#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/InputTiming.h"

namespace qn {

// The user's last key press, clicks, scroll and drag, from the X server's raw input events on
// the root window, read on a thread of its own with its own connection.
class GtkInputTiming : public InputTiming {
 public:
  GtkInputTiming() = default;
  ~GtkInputTiming() override;
  GtkInputTiming(const GtkInputTiming&) = delete;
  GtkInputTiming& operator=(const GtkInputTiming&) = delete;

  // Starts listening on the display; false when it cannot be opened or has no XInput 2.
  bool start(const char* displayName);
  double secondsSinceLastEvent(InputSourceState state, InputEventType type) override;

 private:
  void listen();
  void record(InputEventType type);

  // Monotonic microseconds of the last event of each type; 0: none yet.
  std::array<std::atomic<int64_t>, 5> last_{};
  void* display_ = nullptr;
  int opcode_ = 0;
  int stopPipe_[2] = {-1, -1};
  std::thread thread_;
};

}  // namespace qn
