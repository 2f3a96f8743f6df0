#pragma once

#include <memory>
#include <vector>

#include "platform/Panels.h"

namespace qn {

class GtkPanel;

// Panels as GTK popup windows: the window manager never manages them, so they take no focus,
// have no taskbar entry, show on every workspace and never activate the companion.
class GtkPanels : public Panels {
 public:
  std::unique_ptr<Panel> makePanel(Rect contentRect, const PanelRecipe& recipe) override;
  void popUpMenu(const std::vector<MenuItem>& items, Point at) override;
  // Raises the visible panels in level order, so higher levels stay on top.
  void restack();
  void forget(GtkPanel* panel);

 private:
  std::vector<GtkPanel*> panels_;
};

}  // namespace qn
