#include "companion/App.h"

namespace qn {

// The drawer's controls and the tab's context menu come with the drawer views.
void App::buildDrawer() {}

void App::menu(Point) {}

}  // namespace qn
