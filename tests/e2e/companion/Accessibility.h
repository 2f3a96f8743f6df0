#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace qn {

// A control's frame on screen, in root coordinates.
struct ScreenFrame {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int centreX() const { return x + width / 2; }
  int centreY() const { return y + height / 2; }
};

// The frame of the first showing control of the process with the role ("push button",
// "toggle button", "menu item", ...) and exactly that name. The accessibility bus must have
// been running before the process started.
std::optional<ScreenFrame> showingControl(pid_t pid, const std::string& role,
                                          const std::string& name);

}  // namespace qn
