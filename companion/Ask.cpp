#include "companion/App.h"

namespace qn {

// The ask dialog comes with its own views; a consent command is accepted and not answered yet.
void App::buildAsk() {}

void App::askShow(const nlohmann::json&) {}

void App::askPlace() {}

}  // namespace qn
