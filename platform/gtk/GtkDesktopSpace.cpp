// GtkDesktopSpace: the one place where X11 root coordinates meet the ports' coordinates.
//   [x] primary monitor, root <-> desktop, root -> window list

#include "platform/gtk/GtkDesktopSpace.h"

#include <gtk/gtk.h>

namespace qn {

Rect GtkDesktopSpace::primary() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return {};
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0)
    monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return {};
  GdkRectangle geometry;
  gdk_monitor_get_geometry(monitor, &geometry);
  return Rect{{double(geometry.x), double(geometry.y)},
              {double(geometry.width), double(geometry.height)}};
}

Point GtkDesktopSpace::rootToDesktop(double x, double y) {
  const Rect p = primary();
  return Point{x - p.origin.x, p.size.height - (y - p.origin.y)};
}

Rect GtkDesktopSpace::desktopToRoot(Rect desktop) {
  const Rect p = primary();
  return Rect{{p.origin.x + desktop.origin.x,
               p.origin.y + p.size.height - (desktop.origin.y + desktop.size.height)},
              desktop.size};
}

Rect GtkDesktopSpace::rootToWindowList(Rect root) {
  const Rect p = primary();
  return Rect{{root.origin.x - p.origin.x, root.origin.y - p.origin.y}, root.size};
}

}  // namespace qn
