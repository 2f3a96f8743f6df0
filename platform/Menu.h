#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qn {

// A key that triggers a menu item. Command is the platform's primary modifier: Ctrl on Linux.
struct KeyEquivalent {
  // The character on the key, in lower case; shift is given separately.
  std::string key;
  bool command = true;
  bool shift = false;
  bool option = false;
  bool operator==(const KeyEquivalent&) const = default;
};

// One entry of a menu: an action, a disabled title, a separator, or a submenu.
struct MenuItem {
  std::string title;
  bool enabled = true;
  bool separator = false;
  std::function<void()> action;
  std::optional<KeyEquivalent> keyEquivalent{};
  // The items of the menu this item opens; empty for a plain item.
  std::vector<MenuItem> submenu{};
};

}  // namespace qn
