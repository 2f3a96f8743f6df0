#pragma once

// Reading another process's menu bar the way assistive technologies do, through AT-SPI.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/support/Accessibility.h"

namespace qn::test {

struct AccessibleItem {
  std::string menu;
  std::string name;  // empty for a separator
  bool enabled = true;
  // The key the item announces, as the toolkit spells it ("<Control>r"); empty for none.
  std::string key;
};

// The items of the menu bar of the process's window, menu by menu in order; empty when the
// process shows no menu bar.
std::vector<AccessibleItem> menuBarItems(int pid);

// Activates the item as a screen reader would; false when there is no such item.
bool activateMenuItem(int pid, const std::string& menu, const std::string& item);

// The texts of the labels in the process's dialogs.
std::vector<std::string> dialogTexts(int pid);

}  // namespace qn::test
