#pragma once

#include <optional>
#include <string>

#include "platform/Geometry.h"
#include "platform/Panels.h"

namespace qn {

// The live mirror's content. What the board and the line protocol write into it lives here;
// drawing the frames comes with the mirror itself.
class MirrorView : public PanelContent {
 public:
  void draw(Canvas&, Size) override {}

  // The encoded bytes of the frame or still shown, none before the first.
  std::optional<std::string> img;
  std::string caption;
  Size size0;
  double hint = 0;
  double downT = 0;
  std::optional<Point> cur;
};

}  // namespace qn
