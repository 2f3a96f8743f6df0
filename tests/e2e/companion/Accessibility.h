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

// Starts the accessibility bus on this desktop's session bus, once per test process; programs
// started afterwards expose their controls. False when it did not come up.
bool startAccessibilityBus();

// The frame of the first showing control of the process with the role ("push button",
// "toggle button", "label", ...) and exactly that name.
std::optional<ScreenFrame> showingControl(pid_t pid, const std::string& role,
                                          const std::string& name);

}  // namespace qn
