// X11Clients: the EWMH requests and properties the companion's desktop ports use.
//   [x] client list in stacking order, _NET_WM_PID, _NET_WM_STATE_HIDDEN, window type,
//       _NET_WM_WINDOW_OPACITY, geometry in root coordinates, _NET_ACTIVE_WINDOW
//   [x] title (_NET_WM_NAME or WM_NAME), outer frame (_NET_FRAME_EXTENTS)
//   [x] iconify, map, activate, close, move, resize and raise requests (answered by the window
//       manager: _NET_MOVERESIZE_WINDOW, _NET_RESTACK_WINDOW)

#include "platform/gtk/X11Clients.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <utility>

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

void sendToRoot(Window window, const char* message, long a0, long a1, long a2, long a3 = 0,
                long a4 = 0) {
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
  event.xclient.data.l[3] = a3;
  event.xclient.data.l[4] = a4;
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

std::string title(unsigned long window) {
  Display* d = display();
  if (d == nullptr) return {};
  for (const auto& [name, type] :
       {std::pair{"_NET_WM_NAME", atom("UTF8_STRING")}, std::pair{"WM_NAME", Atom(XA_STRING)}}) {
    Atom actualType;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    gdk_x11_display_error_trap_push(gdk_display_get_default());
    const int status = XGetWindowProperty(d, window, atom(name), 0, 1024, False, type, &actualType,
                                          &format, &count, &after, &data);
    gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
    std::string text;
    if (status == Success && data != nullptr && format == 8)
      text.assign(reinterpret_cast<const char*>(data), count);
    if (data != nullptr) XFree(data);
    if (status == Success && actualType == type) return text;
  }
  return {};
}

std::optional<Rect> outerBounds(unsigned long window) {
  auto bounds = rootBounds(window);
  const auto extents = property(window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  if (bounds && extents.size() == 4) {
    // Left, right, top, bottom.
    bounds->origin.x -= double(extents[0]);
    bounds->origin.y -= double(extents[2]);
    bounds->size.width += double(extents[0] + extents[1]);
    bounds->size.height += double(extents[2] + extents[3]);
  }
  return bounds;
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

namespace {

// _NET_MOVERESIZE_WINDOW: north-west gravity places the frame's outer corner; the size is the
// client's, so the frame's own part is taken off first. Source 2: a pager acting for the user.
constexpr long kNorthWest = 1, kHasX = 1 << 8, kHasY = 1 << 9, kHasWidth = 1 << 10,
               kHasHeight = 1 << 11, kFromPager = 2 << 12;

}  // namespace

void requestMove(unsigned long window, Point outerOrigin) {
  sendToRoot(window, "_NET_MOVERESIZE_WINDOW", kNorthWest | kHasX | kHasY | kFromPager,
             long(outerOrigin.x), long(outerOrigin.y));
}

void requestResize(unsigned long window, Size outerSize) {
  const auto extents = property(window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  long width = long(outerSize.width), height = long(outerSize.height);
  if (extents.size() == 4) {
    width -= long(extents[0] + extents[1]);
    height -= long(extents[2] + extents[3]);
  }
  sendToRoot(window, "_NET_MOVERESIZE_WINDOW", kNorthWest | kHasWidth | kHasHeight | kFromPager, 0,
             0, std::max(width, 1L), std::max(height, 1L));
}

void requestRaise(unsigned long window) {
  // Above every sibling; no activation, so the keyboard focus stays where it is.
  sendToRoot(window, "_NET_RESTACK_WINDOW", 2, 0, Above);
}

void flush() {
  if (Display* d = display()) XFlush(d);
}

}  // namespace qn::x11
