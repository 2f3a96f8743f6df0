#include "platform/sim/SimMenuBar.h"

namespace qn {

const MenuItem* SimMenuBar::find(const std::string& menu, const std::string& item) const {
  for (const MenuItem& top : menus) {
    if (top.title != menu) continue;
    for (const MenuItem& entry : top.submenu) {
      if (!entry.separator && entry.title == item) return &entry;
    }
  }
  return nullptr;
}

}  // namespace qn
