#pragma once

#include "platform/Panels.h"

namespace qn {

// The standard companion window: floating at level 25, clear, with a shadow, on every
// workspace, never hidden when the companion is inactive, never moved by the window server.
inline PanelRecipe standardPanel() {
  PanelRecipe recipe;
  recipe.level = 25;
  recipe.opaque = false;
  recipe.shadow = true;
  recipe.hidesOnDeactivate = false;
  recipe.movableByWindowServer = false;
  recipe.allWorkspaces = true;
  return recipe;
}

}  // namespace qn
