#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Screens.h"
#include "platform/WindowList.h"

namespace qn {

// Width and height of the edge tab, in points.
inline constexpr double kTabW = 34;
inline constexpr double kTabH = 94;

// The largest qualifying window of the first pid that has one, in window-list coordinates.
std::optional<Rect> panelRect(const std::vector<int32_t>& pids,
                              const std::optional<std::vector<WindowInfo>>& windows);

// The index of the frame that shows most of rect; ties go to the lower index.
std::optional<size_t> bestScreen(Rect rect, const std::vector<Rect>& frames);

// A desktop frame (y up from the primary screen's bottom) in window-list coordinates (y down
// from its top); h0 is the primary screen's height.
Rect toWindowListSpace(Rect desktop, double h0);

// The tab against the left or right edge of the frame, at relY of the visible height.
Rect tabFrame(const Screen& screen, bool edgeLeft, double relY);

struct EdgePlace {
  uint32_t screenID = 0;
  bool edgeLeft = false;
  double relY = 0.5;
};

// Where a drag to the pointer p on the screen s puts the tab.
EdgePlace dragMapping(Point p, const Screen& s);

inline double midX(Rect r) {
  return r.origin.x + r.size.width / 2;
}
inline double midY(Rect r) {
  return r.origin.y + r.size.height / 2;
}
inline double maxX(Rect r) {
  return r.origin.x + r.size.width;
}
inline double maxY(Rect r) {
  return r.origin.y + r.size.height;
}

// Whether the point lies in the rectangle, as a pointer in desktop coordinates does: the left
// and bottom edges count, the right and top ones do not.
bool contains(Rect r, Point p);

// The rectangle grown by d on every side (shrunk for a negative d).
Rect grown(Rect r, double d);

// Whether inner lies entirely inside outer.
bool insideRect(Rect inner, Rect outer);

// The first screen whose frame contains p, else the main screen, else the first screen.
std::optional<Screen> screenUnder(Point p, const std::vector<Screen>& screens,
                                  const std::optional<Screen>& mainScreen);

}  // namespace qn
