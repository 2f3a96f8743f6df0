#include "companion/ScreenGeometry.h"

#include <algorithm>
#include <cmath>

namespace qn {

std::optional<Rect> panelRect(const std::vector<int32_t>& pids,
                              const std::optional<std::vector<WindowInfo>>& windows) {
  if (pids.empty() || !windows) return std::nullopt;
  for (int32_t pid : pids) {
    std::optional<Rect> best;
    for (const auto& window : *windows) {
      if (!window.ownerPid || *window.ownerPid != pid || !window.layer || *window.layer != 0)
        continue;
      if (window.alpha && !(*window.alpha > 0.05)) continue;
      const Size size = window.bounds.size;
      if (size.width < 200 || size.height < 150) continue;
      if (!best || size.width * size.height > best->size.width * best->size.height)
        best = window.bounds;
    }
    if (best) return best;
  }
  return std::nullopt;
}

namespace {

double overlapArea(Rect a, Rect b) {
  const double width = std::min(a.origin.x + a.size.width, b.origin.x + b.size.width) -
                       std::max(a.origin.x, b.origin.x);
  const double height = std::min(a.origin.y + a.size.height, b.origin.y + b.size.height) -
                        std::max(a.origin.y, b.origin.y);
  return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

bool contains(Rect r, Point p) {
  return p.x >= r.origin.x && p.x < r.origin.x + r.size.width && p.y >= r.origin.y &&
         p.y < r.origin.y + r.size.height;
}

Rect grown(Rect r, double d) {
  return Rect{{r.origin.x - d, r.origin.y - d}, {r.size.width + 2 * d, r.size.height + 2 * d}};
}

bool insideRect(Rect inner, Rect outer) {
  return inner.origin.x >= outer.origin.x && inner.origin.y >= outer.origin.y &&
         inner.origin.x + inner.size.width <= outer.origin.x + outer.size.width &&
         inner.origin.y + inner.size.height <= outer.origin.y + outer.size.height;
}

std::optional<size_t> bestScreen(Rect rect, const std::vector<Rect>& frames) {
  std::optional<size_t> best;
  double bestArea = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    const double area = overlapArea(rect, frames[i]);
    if (area > bestArea) {
      bestArea = area;
      best = i;
    }
  }
  return best;
}

Rect toWindowListSpace(Rect desktop, double h0) {
  return Rect{{desktop.origin.x, h0 - (desktop.origin.y + desktop.size.height)}, desktop.size};
}

Rect tabFrame(const Screen& screen, bool edgeLeft, double relY) {
  const Rect& f = screen.frame;
  const Rect& v = screen.visibleFrame;
  const double x = edgeLeft ? f.origin.x : f.origin.x + f.size.width - kTabW;
  const double y = v.origin.y + (v.size.height - kTabH) * relY;
  return Rect{{x, y}, {kTabW, kTabH}};
}

EdgePlace dragMapping(Point p, const Screen& s) {
  EdgePlace place;
  place.screenID = s.displayId;
  place.edgeLeft = p.x < s.frame.origin.x + s.frame.size.width / 2;
  const Rect& v = s.visibleFrame;
  const double q = ((p.y - kTabH / 2) - v.origin.y) / (v.size.height - kTabH);
  // A visible area as tall as the tab divides by zero; NaN counts as the top.
  const double upper = std::isnan(q) ? 1.0 : std::min(q, 1.0);
  place.relY = std::max(upper, 0.0);
  return place;
}

std::optional<Screen> screenUnder(Point p, const std::vector<Screen>& screens,
                                  const std::optional<Screen>& mainScreen) {
  for (const auto& screen : screens)
    if (contains(screen.frame, p)) return screen;
  if (mainScreen) return mainScreen;
  if (!screens.empty()) return screens.front();
  return std::nullopt;
}

}  // namespace qn
