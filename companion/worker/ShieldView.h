#pragma once

#include <functional>
#include <string>

#include "base/Image.h"
#include "platform/Canvas.h"
#include "platform/Panels.h"

namespace qn {

// The view-only shield over the peeked worker window: the latest capture of the window under a
// caption strip with a close mark, catching every click. Its own coordinates have the origin at
// the bottom left, y up.
class ShieldView : public PanelContent {
 public:
  explicit ShieldView(bool zh) : zh_(zh) {}

  void draw(Canvas& canvas, Size bounds) override;
  void mouseDown(Point global) override;
  void rightMouseDown(Point global) override;

  // The close mark, at the top right of the bounds.
  static Rect closeR(Size bounds);

  std::string caption;
  double hint = 0;
  std::function<void()> onClose;
  ImageRef img;
  double top = 30;
  // The panel the view fills; its frame turns pointer positions into the view's own.
  const Panel* host = nullptr;
  // After a click showed the hint: the controller redraws and takes the hint away later.
  std::function<void()> onHint;

 private:
  void click(Point global);
  bool zh_;
};

}  // namespace qn
