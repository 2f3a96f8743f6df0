#include "companion/views/TabView.h"

#include <algorithm>
#include <cmath>

#include "companion/views/Colors.h"

namespace qn {

namespace {

constexpr Color kBody{0.09, 0.10, 0.13, 1};

Color withAlpha(Color color, double alpha) {
  color.alpha = std::clamp(alpha, 0.0, 1.0);
  return color;
}

}  // namespace

Color TabView::color(const std::string& state) {
  if (state == "running") return {0.25, 0.85, 0.45, 1};
  if (state == "human") return {1.0, 0.6, 0.15, 1};
  if (state == "held") return {0.95, 0.78, 0.25, 1};
  if (state == "ai") return {0.68, 0.5, 1.0, 1};
  if (state == "yield") return {0.35, 0.7, 1.0, 1};
  if (state == "paused") return {0.65, 0.65, 0.65, 1};
  if (state == "done") return {0.3, 0.65, 1.0, 1};
  if (state == "error") return {1.0, 0.35, 0.35, 1};
  return {0.6, 0.6, 0.6, 1};
}

void TabView::centred(Canvas& canvas, double cx, const std::string& text, double y, Font font,
                      Color color) {
  canvas.drawText(text, Point{cx - canvas.textWidth(text, font) / 2, y}, font, color);
}

void TabView::draw(Canvas& canvas, Size bounds) {
  const double w = bounds.width;
  const double h = bounds.height;
  const double cx = w / 2;
  const Color tint = color();
  // The body sticks out past the screen edge so only the inner corners look rounded.
  const Rect body{{left ? -11.0 : 0.0, 0}, {w + 11, h}};
  canvas.fillRoundedRect(body, 11, withAlpha(kBody, hover ? 0.97 : 0.88));
  if (state == "human") canvas.fillRoundedRect(body, 11, withAlpha(tint, pulse * 0.35 + 0.25));
  canvas.fillOval(Rect{{cx - 9, 9}, {18, 18}}, withAlpha(tint, pulse * 0.22));
  canvas.fillOval(Rect{{cx - 5, 13}, {10, 10}},
                  withAlpha(tint, state == "running" ? pulse * 0.45 + 0.55 : 1));

  const Font big{13, FontWeight::Bold};
  const Font small{10, FontWeight::Regular};
  if (multi) {
    centred(canvas, cx, std::to_string(multi->first), 31, Font{15, FontWeight::Bold}, white(1));
    const std::string below =
        multi->second < 1 ? (zh_ ? "任务" : "jobs") : "+" + std::to_string(multi->second);
    centred(canvas, cx, below, 50, small, white(0.65));
  } else if (total < 1) {
    centred(canvas, cx, state == "human" ? "!" : "AI", 37, big, white(1));
  } else {
    centred(canvas, cx, std::to_string(done), 33, big, white(1));
    centred(canvas, cx, "/" + std::to_string(total), 49, small, white(0.65));
  }
  centred(canvas, cx, shown != left ? "›" : "‹", 66, Font{18, FontWeight::Semibold},
          white(hover ? 1.0 : 0.7));
}

void TabView::mouseDown(Point global) {
  downAt_ = global;
  dragged_ = false;
}

void TabView::mouseDragged(Point global) {
  if (!downAt_) return;
  const double distance = std::hypot(global.x - downAt_->x, global.y - downAt_->y);
  if (!dragged_ && distance <= 5) return;
  dragged_ = true;
  if (onDrag) onDrag(global, false);
}

void TabView::mouseUp(Point global) {
  if (dragged_) {
    if (onDrag) onDrag(global, true);
  } else if (downAt_) {
    if (onClick) onClick();
  }
  downAt_.reset();
  dragged_ = false;
}

void TabView::rightMouseDown(Point global) {
  if (onMenu) onMenu(global);
}

void TabView::mouseEntered() {
  hover = true;
  if (onHover) onHover(true);
  if (onNeedsDisplay) onNeedsDisplay();
}

void TabView::mouseExited() {
  hover = false;
  if (onHover) onHover(false);
  if (onNeedsDisplay) onNeedsDisplay();
}

}  // namespace qn
