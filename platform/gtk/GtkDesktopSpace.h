#pragma once

#include "platform/Geometry.h"

namespace qn {

// Converts between X11 root coordinates and the ports' spaces. Desktop space has its origin at
// the primary monitor's bottom-left corner, y up; window-list space at its top-left, y down.
struct GtkDesktopSpace {
  // The primary monitor (GDK's primary, else the first) in root coordinates; empty without one.
  static Rect primary();
  static Point rootToDesktop(double x, double y);
  // The root-coordinate rectangle of a desktop rectangle.
  static Rect desktopToRoot(Rect desktop);
  static Rect rootToWindowList(Rect root);
};

}  // namespace qn
