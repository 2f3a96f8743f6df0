#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>

namespace qn {

// One synthetic keyboard event: a virtual key code (macOS numbering, as in the key table), and
// optionally one UTF-16 code unit of text the event carries instead of the key's own character.
// No modifier is held.
struct KeyEvent {
  uint16_t virtualKey = 0;
  std::optional<char16_t> unit;
  bool down = true;
};

// Delivers keyboard events straight to one process, without activating it and without moving
// the user's keyboard focus. Characters outside the Basic Multilingual Plane arrive as two
// events, one per surrogate, in order.
class KeyPoster {
 public:
  virtual ~KeyPoster() = default;
  // False when the event could not be made or delivered.
  virtual bool post(pid_t pid, const KeyEvent& event) = 0;
  // Blocks the calling thread; events are paced with it.
  virtual void pause(double seconds) = 0;
};

}  // namespace qn
