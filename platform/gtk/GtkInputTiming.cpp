// GtkInputTiming: dates of the user's input from XInput 2 raw events.
//   [x] key press, left and right button press, scroll (buttons 4 to 7), left drag (motion
//       while the left button is down), from every keyboard and pointer, whoever has the focus
//   [x] combined and hardware state: one source on X11. Raw events come from the devices,
//       XTEST's virtual ones included; events sent to a window (as the key poster does) never
//       appear, so posted keys do not count as the user's
//   [ ] without XInput 2.0 nothing is dated (every answer is "very long ago")

#include "platform/gtk/GtkInputTiming.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <glib.h>
#include <poll.h>
#include <unistd.h>
#include <cerrno>

#include <limits>

namespace qn {

namespace {

Display* asDisplay(void* display) {
  return static_cast<Display*>(display);
}

}  // namespace

GtkInputTiming::~GtkInputTiming() {
  if (thread_.joinable()) {
    const char stop = 1;
    (void)!::write(stopPipe_[1], &stop, 1);
    thread_.join();
  }
  for (int fd : stopPipe_)
    if (fd >= 0) ::close(fd);
  if (display_ != nullptr) XCloseDisplay(asDisplay(display_));
}

bool GtkInputTiming::start(const char* displayName) {
  if (display_ != nullptr) return true;
  Display* d = XOpenDisplay(displayName);
  if (d == nullptr) return false;
  int event = 0, error = 0, major = 2, minor = 2;
  if (!XQueryExtension(d, "XInputExtension", &opcode_, &event, &error) ||
      XIQueryVersion(d, &major, &minor) != Success || ::pipe(stopPipe_) != 0) {
    XCloseDisplay(d);
    return false;
  }
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  for (int type : {XI_RawKeyPress, XI_RawButtonPress, XI_RawButtonRelease, XI_RawMotion})
    XISetMask(bits, type);
  XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
  XISelectEvents(d, DefaultRootWindow(d), &mask, 1);
  XFlush(d);
  display_ = d;
  thread_ = std::thread([this] { listen(); });
  return true;
}

void GtkInputTiming::listen() {
  Display* d = asDisplay(display_);
  bool leftDown = false;
  pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
  for (;;) {
    while (XPending(d) > 0) {
      XEvent event;
      XNextEvent(d, &event);
      XGenericEventCookie& cookie = event.xcookie;
      if (cookie.type != GenericEvent || cookie.extension != opcode_ || !XGetEventData(d, &cookie))
        continue;
      const int button = static_cast<XIRawEvent*>(cookie.data)->detail;
      switch (cookie.evtype) {
        case XI_RawKeyPress:
          record(InputEventType::KeyDown);
          break;
        case XI_RawButtonPress:
          if (button == 1) leftDown = true;
          if (button == 1) record(InputEventType::LeftMouseDown);
          if (button == 3) record(InputEventType::RightMouseDown);
          if (button >= 4 && button <= 7) record(InputEventType::ScrollWheel);
          break;
        case XI_RawButtonRelease:
          if (button == 1) leftDown = false;
          break;
        case XI_RawMotion:
          if (leftDown) record(InputEventType::LeftMouseDragged);
          break;
        default:
          break;
      }
      XFreeEventData(d, &cookie);
    }
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents != 0) return;
    if ((fds[0].revents & (POLLERR | POLLHUP)) != 0) return;
  }
}

void GtkInputTiming::record(InputEventType type) {
  last_[size_t(type)].store(g_get_monotonic_time(), std::memory_order_relaxed);
}

double GtkInputTiming::secondsSinceLastEvent(InputSourceState, InputEventType type) {
  const int64_t last = last_[size_t(type)].load(std::memory_order_relaxed);
  if (last == 0) return std::numeric_limits<double>::max();
  return double(g_get_monotonic_time() - last) / 1e6;
}

}  // namespace qn
