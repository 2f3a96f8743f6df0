#include "companion/App.h"

namespace qn {

// The workspace guard, the follow step and the user-activity reports come with the guard.
void App::watch() {}

void App::guardTick() {}

void App::slowTick() {}

// Needs a sound port; the alert command is accepted and silent for now.
void App::playAlert() {}

// Accessibility access comes with the worker-window control.
void App::axCheck() {}

}  // namespace qn
