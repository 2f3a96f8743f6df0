#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/Canvas.h"
#include "platform/Panels.h"

namespace qn {

// The edge tab: the job's state by colour, a pulsing dot, progress or a job count, a chevron.
// It turns the pointer into click, drag, hover and menu callbacks and holds no other logic.
class TabView : public PanelContent {
 public:
  explicit TabView(bool zh) : zh_(zh) {}

  static Color color(const std::string& state);
  Color color() const { return color(state); }

  void draw(Canvas& canvas, Size bounds) override;
  void mouseDown(Point global) override;
  void mouseDragged(Point global) override;
  void mouseUp(Point global) override;
  void rightMouseDown(Point global) override;
  void mouseEntered() override;
  void mouseExited() override;

  std::string state = "starting";
  int64_t done = 0;
  int64_t total = 0;
  bool shown = false;
  bool left = false;
  double pulse = 1.0;
  bool hover = false;
  std::function<void()> onClick;
  std::function<void(Point)> onMenu;
  std::function<void(Point, bool)> onDrag;
  std::function<void(bool)> onHover;
  std::optional<std::pair<int64_t, int64_t>> multi;
  // Asked for after hover changes; the controller's panel redraws.
  std::function<void()> onNeedsDisplay;

 private:
  void centred(Canvas& canvas, double cx, const std::string& text, double y, Font font,
               Color color);
  bool zh_;
  std::optional<Point> downAt_;
  bool dragged_ = false;
};

}  // namespace qn
