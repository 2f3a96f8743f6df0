#include "companion/App.h"

namespace qn {

// The workspace guard, the follow step and the user-activity reports come with the guard.
void App::watch() {}

void App::guardTick() {}

void App::slowTick() {}

// Accessibility access comes with the worker-window control.
void App::axCheck() {}

}  // namespace qn
