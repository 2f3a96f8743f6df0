#pragma once

#include <functional>
#include <optional>
#include <string>

#include "base/Image.h"
#include "platform/Canvas.h"
#include "platform/Geometry.h"
#include "platform/Panels.h"

namespace qn {

// The live mirror: a caption strip with a close button over the worker's picture, the AI's
// pointer and clicks drawn on it. It is view-only; pressing the picture only flashes a hint.
// The strip drags the panel. Scrolling reaches no one: the panel takes no scroll events.
class MirrorView : public PanelContent {
 public:
  // The panel showing the view; its frame turns global pointer positions into the view's own.
  MirrorView(bool zh, const Panel& panel) : zh_(zh), panel_(panel) {}

  void draw(Canvas& canvas, Size bounds) override;
  void mouseDown(Point global) override;
  void mouseDragged(Point global) override;
  void rightMouseDown(Point global) override;

  // The close button, in the view's coordinates (origin top left, y down).
  Rect closeR() const;

  ImageRef img;
  // The AI's pointer in pixels of the source picture.
  std::optional<Point> cur;
  Size size0{1234, 773};
  double downT = 0;
  double hint = 0;
  std::string caption;
  std::function<void()> onClose;
  // The strip was dragged by this much, in desktop points (y up).
  std::function<void(Point)> onDragWin;
  // Asked for after the hint starts; the controller redraws and animates it.
  std::function<void()> onNeedsDisplay;
  static constexpr double top = 32;

 private:
  static Rect closeRect(double width);
  Point local(Point global) const;
  void drawPointer(Canvas& canvas, Size bounds) const;
  void drawHint(Canvas& canvas, Rect picture) const;
  void showHint();
  bool zh_;
  const Panel& panel_;
  std::optional<Point> last_;
};

}  // namespace qn
