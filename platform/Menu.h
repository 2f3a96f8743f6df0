#pragma once

#include <functional>
#include <string>

namespace qn {

// One entry of a menu: an action, a disabled title, or a separator.
struct MenuItem {
  std::string title;
  bool enabled = true;
  bool separator = false;
  std::function<void()> action;
};

}  // namespace qn
