#pragma once

#include <functional>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Menu.h"

namespace qn {

// Pops up a GtkMenu with its top left corner at the point (desktop coordinates) and returns at
// once. The menu grabs the pointer and keyboard while open, so it works although the companion
// never has the focus. The chosen item's action runs on a later pass of the main loop; the menu
// is destroyed once it closes, and then closed() runs.
void popUpContextMenu(const std::vector<MenuItem>& items, Point at, std::function<void()> closed);

}  // namespace qn
