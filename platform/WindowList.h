#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Geometry.h"

namespace qn {

// One on-screen window of any application. Bounds are in window-list coordinates: origin at the
// top left of the primary screen, y down. Members the system does not report are empty.
struct WindowInfo {
  std::optional<int32_t> ownerPid;
  // 0 for normal application windows.
  std::optional<int> layer;
  std::optional<double> alpha;
  Rect bounds;
};

class WindowList {
 public:
  virtual ~WindowList() = default;
  // The on-screen windows without desktop elements, front to back; none when unreadable.
  virtual std::optional<std::vector<WindowInfo>> onScreenWindows() = 0;
};

}  // namespace qn
