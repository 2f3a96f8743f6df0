#pragma once

#include <string>
#include <vector>

#include "platform/MenuBar.h"

namespace qn {

// Keeps the menus last set, as a user would find them in the menu bar.
class SimMenuBar : public MenuBar {
 public:
  void setMenus(std::vector<MenuItem> newMenus) override {
    menus = std::move(newMenus);
    ++builds;
  }

  // The item with this title in the menu with that title, or null.
  const MenuItem* find(const std::string& menu, const std::string& item) const;

  std::vector<MenuItem> menus;
  int builds = 0;
};

}  // namespace qn
