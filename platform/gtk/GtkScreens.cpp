// GtkScreens: qn::Screens from GDK monitors.
//   [x] frames and work areas (the visible frame) in desktop coordinates
//   [x] a display id per monitor, non-zero and stable while the monitor stays connected
//   [x] the pointer position; change notifications for added, removed and resized monitors
//   [ ] the main screen is the primary monitor (X11 has no screen with the keyboard focus)

#include "platform/gtk/GtkScreens.h"

#include <gtk/gtk.h>

#include "platform/gtk/GtkDesktopSpace.h"

namespace qn {

namespace {

Rect toDesktop(const GdkRectangle& r) {
  const Point bottomLeft = GtkDesktopSpace::rootToDesktop(r.x, r.y + r.height);
  return Rect{bottomLeft, {double(r.width), double(r.height)}};
}

void notify(gpointer data) {
  for (auto& observer : *static_cast<std::vector<std::function<void()>>*>(data)) observer();
}

}  // namespace

GtkScreens::GtkScreens() = default;

uint32_t GtkScreens::idFor(void* monitor) {
  const auto found = ids_.find(monitor);
  if (found != ids_.end()) return found->second;
  ids_[monitor] = nextId_;
  return nextId_++;
}

std::vector<Screen> GtkScreens::screens() {
  std::vector<Screen> list;
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return list;
  GdkMonitor* primary = gdk_display_get_primary_monitor(display);
  const int count = gdk_display_get_n_monitors(display);
  if (primary == nullptr && count > 0) primary = gdk_display_get_monitor(display, 0);
  std::vector<GdkMonitor*> ordered;
  if (primary != nullptr) ordered.push_back(primary);
  for (int i = 0; i < count; ++i) {
    GdkMonitor* monitor = gdk_display_get_monitor(display, i);
    if (monitor != primary) ordered.push_back(monitor);
  }
  for (GdkMonitor* monitor : ordered) {
    GdkRectangle geometry, workarea;
    gdk_monitor_get_geometry(monitor, &geometry);
    gdk_monitor_get_workarea(monitor, &workarea);
    list.push_back(Screen{toDesktop(geometry), toDesktop(workarea), idFor(monitor)});
  }
  return list;
}

std::optional<Screen> GtkScreens::mainScreen() {
  auto list = screens();
  if (list.empty()) return std::nullopt;
  return list.front();
}

Point GtkScreens::mouseLocation() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return {};
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
  int x = 0, y = 0;
  gdk_device_get_position(pointer, nullptr, &x, &y);
  return GtkDesktopSpace::rootToDesktop(x, y);
}

void GtkScreens::onChange(std::function<void()> observer) {
  observers_.push_back(std::move(observer));
  if (connected_) return;
  connected_ = true;
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return;
  g_signal_connect_swapped(display, "monitor-added", G_CALLBACK(notify), &observers_);
  g_signal_connect_swapped(display, "monitor-removed", G_CALLBACK(notify), &observers_);
  g_signal_connect_swapped(gdk_display_get_default_screen(display), "size-changed",
                           G_CALLBACK(notify), &observers_);
}

}  // namespace qn
