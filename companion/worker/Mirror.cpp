#include "companion/App.h"
#include "companion/Members.h"

namespace qn {

// The live mirror's window, frames and stills come with the mirror.
void App::mirror(bool) {}

void App::layMirror() {}

void App::frameCommand(const nlohmann::json&) {}

void App::stillCommand(const nlohmann::json&) {}

// In board mode only the mirrored job's pointer counts.
void App::curCommand(const nlohmann::json& command) {
  if (!mirrorOn) return;
  if (options_.boardMode && stringMember(command, "id") != mirrorId) return;
  mv->cur = Point{numberMember(command, "x").value_or(0), numberMember(command, "y").value_or(0)};
  if (intMember(command, "down") == 1) mv->downT = 1;
  mir->setNeedsDisplay();
  ensureAnimation();
}

}  // namespace qn
