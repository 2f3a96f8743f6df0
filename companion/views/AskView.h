#pragma once

#include "platform/Panels.h"

namespace qn {

// The ask dialog's content: an opaque dark rounded background under its labels and buttons.
class AskView : public PanelContent {
 public:
  static constexpr Color kBackground{0.09, 0.10, 0.13, 1.0};
  static constexpr double kCornerRadius = 12;

  void draw(Canvas& canvas, Size bounds) override;
};

}  // namespace qn
