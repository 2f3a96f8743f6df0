#pragma once

#include "platform/Panels.h"

namespace qn {

// The standard companion window: floating at level 25, clear, with a shadow, on every
// workspace, never hidden on deactivation, never moved by the window server.
inline PanelRecipe standardPanel() {
  return PanelRecipe{};
}

}  // namespace qn
