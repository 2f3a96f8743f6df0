#include "platform/sim/SimPanels.h"

namespace qn {

SimCanvas SimPanel::render() const {
  SimCanvas canvas;
  if (content_ != nullptr) content_->draw(canvas, frame_.size);
  return canvas;
}

std::unique_ptr<Panel> SimPanels::makePanel(Rect contentRect, const PanelRecipe& recipe) {
  auto panel = std::make_unique<SimPanel>(contentRect, recipe);
  made.push_back(panel.get());
  return panel;
}

}  // namespace qn
