#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Geometry.h"

namespace qn {

// One monitor, in desktop coordinates (origin at the bottom left of the primary screen, y up).
struct Screen {
  Rect frame;
  // The frame without the panels and docks the desktop reserves.
  Rect visibleFrame;
  // Stable while the monitor stays connected; 0 when the system gives none.
  uint32_t displayId = 0;
};

class Screens {
 public:
  virtual ~Screens() = default;
  // In the system's order; the primary screen comes first.
  virtual std::vector<Screen> screens() = 0;
  // The screen with the keyboard focus, or none when there is no screen.
  virtual std::optional<Screen> mainScreen() = 0;
  // The pointer, in desktop coordinates.
  virtual Point mouseLocation() = 0;
  // Called on the main thread after screens were added, removed or changed.
  virtual void onChange(std::function<void()> observer) = 0;
};

}  // namespace qn
