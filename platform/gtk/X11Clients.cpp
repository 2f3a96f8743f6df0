// X11Clients: the EWMH requests and properties the companion's desktop ports use.
//   [x] client list in stacking order, _NET_WM_PID, _NET_WM_STATE_HIDDEN, window type,
//       _NET_WM_WINDOW_OPACITY, geometry in root coordinates, _NET_ACTIVE_WINDOW
//   [x] iconify, map, activate and close requests (answered by the window manager)

#include "platform/gtk/X11Clients.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>

namespace qn::x11 {

namespace {

Display* display() {
  GdkDisplay* gdk = gdk_display_get_default();
  return gdk != nullptr && GDK_IS_X11_DISPLAY(gdk) ? GDK_DISPLAY_XDISPLAY(gdk) : nullptr;
}

Atom atom(const char* name) {
  return XInternAtom(display(), name, False);
}

// Reads a property of 32-bit items; empty when it is missing or of another format.
std::vector<unsigned long> property(Window window, const char* name, Atom type) {
  std::vector<unsigned long> values;
  Display* d = display();
  if (d == nullptr) return values;
  Atom actualType;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  gdk_x11_display_error_trap_push(gdk_display_get_default());
  const int status = XGetWindowProperty(d, window, atom(name), 0, 1 << 16, False, type, &actualType,
                                        &format, &count, &after, &data);
  gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
  if (status == Success && data != nullptr && format == 32) {
    // Xlib hands 32-bit items back as longs.
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    values.assign(items, items + count);
  }
  if (data != nullptr) XFree(data);
  return values;
}

Window root() {
  return DefaultRootWindow(display());
}

void sendToRoot(Window window, const char* message, long a0, long a1, long a2) {
  Display* d = display();
  if (d == nullptr) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = atom(message);
  event.xclient.format = 32;
  event.xclient.data.l[0] = a0;
  event.xclient.data.l[1] = a1;
  event.xclient.data.l[2] = a2;
  XSendEvent(d, root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace

std::vector<unsigned long> clientsBottomToTop() {
  if (display() == nullptr) return {};
  return property(root(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
}

std::optional<pid_t> windowPid(unsigned long window) {
  const auto values = property(window, "_NET_WM_PID", XA_CARDINAL);
  if (values.empty()) return std::nullopt;
  return static_cast<pid_t>(values.front());
}

bool isViewable(unsigned long window) {
  Display* d = display();
  if (d == nullptr) return false;
  XWindowAttributes attributes;
  gdk_x11_display_error_trap_push(gdk_display_get_default());
  const Status ok = XGetWindowAttributes(d, window, &attributes);
  gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
  return ok != 0 && attributes.map_state == IsViewable;
}

bool isHidden(unsigned long window) {
  const auto states = property(window, "_NET_WM_STATE", XA_ATOM);
  return std::find(states.begin(), states.end(), atom("_NET_WM_STATE_HIDDEN")) != states.end();
}

bool isNormalWindow(unsigned long window) {
  const auto types = property(window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
  return types.empty() || types.front() == atom("_NET_WM_WINDOW_TYPE_NORMAL") ||
         types.front() == atom("_NET_WM_WINDOW_TYPE_DIALOG");
}

std::optional<double> opacity(unsigned long window) {
  const auto values = property(window, "_NET_WM_WINDOW_OPACITY", XA_CARDINAL);
  if (values.empty()) return std::nullopt;
  return double(values.front() & 0xffffffffUL) / double(0xffffffffUL);
}

std::optional<Rect> rootBounds(unsigned long window) {
  Display* d = display();
  if (d == nullptr) return std::nullopt;
  XWindowAttributes attributes;
  int x = 0, y = 0;
  Window child;
  gdk_x11_display_error_trap_push(gdk_display_get_default());
  const bool ok = XGetWindowAttributes(d, window, &attributes) != 0 &&
                  XTranslateCoordinates(d, window, root(), 0, 0, &x, &y, &child) != 0;
  gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
  if (!ok) return std::nullopt;
  return Rect{{double(x), double(y)}, {double(attributes.width), double(attributes.height)}};
}

std::optional<unsigned long> activeWindow() {
  if (display() == nullptr) return std::nullopt;
  const auto values = property(root(), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  if (values.empty() || values.front() == 0) return std::nullopt;
  return values.front();
}

std::vector<unsigned long> windowsOf(pid_t pid) {
  std::vector<unsigned long> list;
  if (display() == nullptr) return list;
  for (unsigned long window : property(root(), "_NET_CLIENT_LIST", XA_WINDOW))
    if (windowPid(window) == pid) list.push_back(window);
  return list;
}

void iconify(unsigned long window) {
  if (Display* d = display()) XIconifyWindow(d, window, DefaultScreen(d));
}

void mapWindow(unsigned long window) {
  if (Display* d = display()) XMapWindow(d, window);
}

void requestActivate(unsigned long window) {
  // Source 2: a pager acting for the user, which window managers honour without focus stealing
  // prevention.
  sendToRoot(window, "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
}

void requestClose(unsigned long window) {
  sendToRoot(window, "_NET_CLOSE_WINDOW", CurrentTime, 2, 0);
}

void flush() {
  if (Display* d = display()) XFlush(d);
}

}  // namespace qn::x11
