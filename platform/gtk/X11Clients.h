#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
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
// _NET_WM_NAME, else WM_NAME; empty when the window has neither.
std::string title(unsigned long window);
// The window manager's frame around the client area, in root coordinates; the client area
// when the window manager adds no frame.
std::optional<Rect> outerBounds(unsigned long window);

void iconify(unsigned long window);
void mapWindow(unsigned long window);
void requestActivate(unsigned long window);
void requestClose(unsigned long window);
// Asks the window manager to give the frame this outer origin, or this outer size.
void requestMove(unsigned long window, Point outerOrigin);
void requestResize(unsigned long window, Size outerSize);
// Asks the window manager to put the window above the others without activating it.
void requestRaise(unsigned long window);
void flush();

}  // namespace qn::x11
