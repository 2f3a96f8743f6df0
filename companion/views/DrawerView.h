#pragma once

#include <functional>

#include "platform/Panels.h"

namespace qn {

// The bubble's content: a dark rounded background under the drawer's controls. It tells the
// controller when the pointer enters or leaves it and holds no other state.
class DrawerView : public PanelContent {
 public:
  static constexpr Color kBackground{0.09, 0.10, 0.13, 0.97};
  static constexpr double kCornerRadius = 12;

  void draw(Canvas& canvas, Size bounds) override;
  void mouseEntered() override;
  void mouseExited() override;

  std::function<void(bool)> onHover;
};

}  // namespace qn
