#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Image.h"
#include "platform/Geometry.h"

namespace qn {

// A window that can be captured. The frame is in window-list coordinates (origin at the top
// left of the primary screen, y down), in points; layer 0 is a normal application window.
struct ShareableWindow {
  uint64_t id = 0;
  pid_t ownerPid = 0;
  int layer = 0;
  Rect frame;
  std::string title;
  // Pixels per point of the screen it is on: a picture at frame size times this is at full
  // resolution.
  double scale = 1;
};

// Screen capture of other applications' windows. Both calls answer later, on the main loop;
// the work itself happens off the main thread.
class WindowCapture {
 public:
  virtual ~WindowCapture() = default;
  // The windows there are, on screen or not, desktop windows included, in the system's order;
  // none when the list cannot be had.
  virtual void shareableWindows(
      std::function<void(std::optional<std::vector<ShareableWindow>>)> done) = 0;
  // One picture of the window at the pixel size, without the cursor; null when it failed.
  virtual void captureWindow(const ShareableWindow& window, int pixelWidth, int pixelHeight,
                             std::function<void(ImageRef)> done) = 0;
};

}  // namespace qn
