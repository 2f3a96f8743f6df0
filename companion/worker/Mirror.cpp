#include "companion/App.h"

namespace qn {

// The live mirror's window, frames, stills and pointer come with the mirror.
void App::mirror(bool) {}

void App::layMirror() {}

void App::frameCommand(const nlohmann::json&) {}

void App::stillCommand(const nlohmann::json&) {}

void App::curCommand(const nlohmann::json&) {}

}  // namespace qn
