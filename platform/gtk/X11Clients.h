#pragma once

#include <sys/types.h>

#include <optional>
#include <vector>

#include "platform/Geometry.h"

namespace qn::x11 {

// The managed top-level windows, bottom to top (_NET_CLIENT_LIST_STACKING), as X ids.
std::vector<unsigned long> clientsBottomToTop();
std::optional<pid_t> windowPid(unsigned long window);
bool isViewable(unsigned long window);
bool isHidden(unsigned long window);
bool isNormalWindow(unsigned long window);
// _NET_WM_WINDOW_OPACITY as a fraction; none when the window does not set it.
std::optional<double> opacity(unsigned long window);
// The client area in root coordinates.
std::optional<Rect> rootBounds(unsigned long window);
std::optional<unsigned long> activeWindow();
std::vector<unsigned long> windowsOf(pid_t pid);

void iconify(unsigned long window);
void mapWindow(unsigned long window);
void requestActivate(unsigned long window);
void requestClose(unsigned long window);
void flush();

}  // namespace qn::x11
