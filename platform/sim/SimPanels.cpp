#include "platform/sim/SimPanels.h"

namespace qn {

SimCanvas SimPanel::render() const {
  SimCanvas canvas;
  if (content_ != nullptr) content_->draw(canvas, frame_.size);
  return canvas;
}

namespace {

template <class T, class... Args>
T* adopt(std::vector<std::unique_ptr<Control>>& controls, Args&&... args) {
  auto control = std::make_unique<T>(std::forward<Args>(args)...);
  T* raw = control.get();
  controls.push_back(std::move(control));
  return raw;
}

}  // namespace

Label* SimPanel::addLabel(Font font, Color color) {
  return adopt<SimLabel>(controls, font, color);
}

Button* SimPanel::addButton(const ButtonStyle& style) {
  return adopt<SimButton>(controls, style);
}

SegmentedControl* SimPanel::addSegmentedControl(const std::vector<std::string>& titles, Font font) {
  return adopt<SimSegmentedControl>(controls, titles, font);
}

Box* SimPanel::addBox(Color color, double cornerRadius, Box* parent) {
  return adopt<SimBox>(controls, color, cornerRadius, parent);
}

DrawnView* SimPanel::addDrawnView(ViewContent* content) {
  return adopt<SimDrawnView>(controls, content);
}

std::unique_ptr<Panel> SimPanels::makePanel(Rect contentRect, const PanelRecipe& recipe) {
  auto panel = std::make_unique<SimPanel>(contentRect, recipe);
  made.push_back(panel.get());
  return panel;
}

}  // namespace qn

namespace qn {

void SimPanels::popUpMenu(const std::vector<MenuItem>& items, Point at) {
  menu = items;
  menuAt = at;
  ++menusShown;
}

}  // namespace qn
