#pragma once

#include <vector>

#include "platform/Menu.h"

namespace qn {

// The application's menu bar: a row of menus, each one a MenuItem holding its items as its
// submenu. The key equivalents work while a window showing the menu bar is active.
class MenuBar {
 public:
  virtual ~MenuBar() = default;
  // Replaces the whole menu bar.
  virtual void setMenus(std::vector<MenuItem> menus) = 0;
};

}  // namespace qn
