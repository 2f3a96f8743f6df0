#pragma once

#include "platform/WindowList.h"

namespace qn {

// The window manager's clients that are on screen, front to back.
class GtkWindowList : public WindowList {
 public:
  std::optional<std::vector<WindowInfo>> onScreenWindows() override;
};

}  // namespace qn
