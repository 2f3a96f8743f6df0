// GtkWindowList: qn::WindowList from the X server through EWMH.
//   [x] managed windows that are mapped and not hidden, front to back
//   [x] owner pid (_NET_WM_PID), layer 0 for normal and dialog windows (3 for other kinds),
//       alpha from _NET_WM_WINDOW_OPACITY, bounds of the client area in window-list space
//   [ ] override-redirect windows (menus, tooltips) are not listed; they are not desktop windows

#include "platform/gtk/GtkWindowList.h"

#include <algorithm>

#include "platform/gtk/GtkDesktopSpace.h"
#include "platform/gtk/X11Clients.h"

namespace qn {

std::optional<std::vector<WindowInfo>> GtkWindowList::onScreenWindows() {
  auto clients = x11::clientsBottomToTop();
  std::reverse(clients.begin(), clients.end());
  std::vector<WindowInfo> list;
  for (unsigned long window : clients) {
    if (!x11::isViewable(window) || x11::isHidden(window)) continue;
    const auto bounds = x11::rootBounds(window);
    if (!bounds) continue;
    WindowInfo info;
    if (const auto pid = x11::windowPid(window)) info.ownerPid = *pid;
    info.layer = x11::isNormalWindow(window) ? 0 : 3;
    info.alpha = x11::opacity(window);
    info.bounds = GtkDesktopSpace::rootToWindowList(*bounds);
    list.push_back(info);
  }
  return list;
}

}  // namespace qn
