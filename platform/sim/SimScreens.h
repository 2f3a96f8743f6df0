#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/Screens.h"
#include "platform/WindowList.h"

namespace qn {

// Fixed screens and a pointer that tests set.
class SimScreens : public Screens {
 public:
  std::vector<Screen> screens() override { return list; }
  std::optional<Screen> mainScreen() override {
    return list.empty() ? std::nullopt : std::optional<Screen>(list.front());
  }
  Point mouseLocation() override { return mouse; }
  void onChange(std::function<void()> observer) override { observers.push_back(observer); }
  // Tells the observers, as the desktop does after a change of screens.
  void changed() {
    for (auto& observer : observers) observer();
  }

  std::vector<Screen> list;
  Point mouse;
  std::vector<std::function<void()>> observers;
};

// A window list that tests fill; none means it cannot be read.
class SimWindowList : public WindowList {
 public:
  std::optional<std::vector<WindowInfo>> onScreenWindows() override { return windows; }
  std::optional<std::vector<WindowInfo>> windows = std::vector<WindowInfo>{};
};

}  // namespace qn
