// GtkWindowCapture: window list and window pictures on X11.
//   [x] the managed windows front to back (_NET_CLIENT_LIST_STACKING), on screen or not: id,
//       owner (_NET_WM_PID), layer (0 normal and dialog windows, 3 utility windows and
//       toolbars, 20 docks and panels, -1 the desktop), client area in root coordinates, title
//   [x] one picture of a window at its own pixel size, scaled down when a smaller one is asked
//       for (never up: a point is a pixel here): XComposite keeps a covered window's content,
//       XGetImage reads it, no cursor
//   [x] on a thread of its own with its own connection; X errors (a window gone between the
//       list and the picture) are caught there and answer none
//   [ ] override-redirect windows (menus, tooltips) are not listed

#include "platform/gtk/GtkWindowCapture.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace qn {

namespace {

Display* asDisplay(void* display) {
  return static_cast<Display*>(display);
}

// The capture thread's own errors; the handler stands for every connection, so errors of
// others go to the handler that was there before.
std::atomic<Display*> captureDisplay{nullptr};
std::atomic<int> captureErrors{0};
XErrorHandler previousHandler = nullptr;

int onError(Display* display, XErrorEvent* error) {
  if (display == captureDisplay.load()) {
    captureErrors.fetch_add(1);
    return 0;
  }
  return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

// Whether a request made since the last call failed; waits for the server's answer first.
bool failedSinceLastCheck(Display* d) {
  XSync(d, False);
  return captureErrors.exchange(0) != 0;
}

std::vector<unsigned long> cardinals(Display* d, Window window, const char* name, Atom type) {
  std::vector<unsigned long> values;
  Atom actualType;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, window, XInternAtom(d, name, False), 0, 1 << 16, False, type,
                         &actualType, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32) {
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    values.assign(items, items + count);
  }
  if (data != nullptr) XFree(data);
  return values;
}

std::string titleOf(Display* d, Window window) {
  Atom actualType;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, window, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                         XInternAtom(d, "UTF8_STRING", False), &actualType, &format, &count, &after,
                         &data) == Success &&
      data != nullptr && format == 8)
    title.assign(reinterpret_cast<const char*>(data), count);
  if (data != nullptr) XFree(data);
  if (!title.empty()) return title;
  char* name = nullptr;
  if (XFetchName(d, window, &name) != 0 && name != nullptr) title = name;
  if (name != nullptr) XFree(name);
  return title;
}

int layerOf(Display* d, Window window) {
  const auto types = cardinals(d, window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
  if (types.empty()) return 0;
  const auto is = [&](const char* name) { return types.front() == XInternAtom(d, name, False); };
  if (is("_NET_WM_WINDOW_TYPE_DESKTOP")) return -1;
  if (is("_NET_WM_WINDOW_TYPE_DOCK")) return 20;
  if (is("_NET_WM_WINDOW_TYPE_UTILITY") || is("_NET_WM_WINDOW_TYPE_TOOLBAR")) return 3;
  return 0;
}

// Premultiplied ARGB32 from a 24- or 32-bit ZPixmap, opaque, scaled down by sampling.
ImageRef toImage(XImage* image, int width, int height) {
  auto picture = std::make_shared<Image>();
  picture->width = width;
  picture->height = height;
  picture->pixels.resize(size_t(width) * size_t(height) * 4);
  for (int y = 0; y < height; ++y) {
    const int sourceY = int(int64_t(y) * image->height / height);
    for (int x = 0; x < width; ++x) {
      const int sourceX = int(int64_t(x) * image->width / width);
      const unsigned long pixel = XGetPixel(image, sourceX, sourceY);
      uint8_t* out = &picture->pixels[(size_t(y) * size_t(width) + size_t(x)) * 4];
      out[0] = uint8_t(pixel & image->blue_mask);
      out[1] = uint8_t((pixel & image->green_mask) >> 8);
      out[2] = uint8_t((pixel & image->red_mask) >> 16);
      out[3] = 255;
    }
  }
  return picture;
}

}  // namespace

GtkWindowCapture::~GtkWindowCapture() {
  if (thread_.joinable()) {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  if (display_ != nullptr) XCloseDisplay(asDisplay(display_));
}

void GtkWindowCapture::shareableWindows(
    std::function<void(std::optional<std::vector<ShareableWindow>>)> done) {
  auto answer = std::make_shared<decltype(done)>(std::move(done));
  const bool queued = run([this, answer] {
    auto windows = listWindows();
    loop_.post([answer, windows = std::move(windows)] { (*answer)(windows); });
  });
  if (!queued) loop_.post([answer] { (*answer)(std::nullopt); });
}

void GtkWindowCapture::captureWindow(const ShareableWindow& window, int pixelWidth, int pixelHeight,
                                     std::function<void(ImageRef)> done) {
  auto answer = std::make_shared<decltype(done)>(std::move(done));
  const unsigned long id = window.id;
  const bool queued = run([this, answer, id, pixelWidth, pixelHeight] {
    auto image = picture(id, pixelWidth, pixelHeight);
    loop_.post([answer, image = std::move(image)] { (*answer)(image); });
  });
  if (!queued) loop_.post([answer] { (*answer)(nullptr); });
}

bool GtkWindowCapture::run(std::function<void()> job) {
  if (!opened_) {
    opened_ = true;
    GdkDisplay* gdk = gdk_display_get_default();
    if (gdk == nullptr || !GDK_IS_X11_DISPLAY(gdk)) return false;
    Display* d = XOpenDisplay(gdk_display_get_name(gdk));
    if (d == nullptr) return false;
    display_ = d;
    captureDisplay.store(d);
    previousHandler = XSetErrorHandler(onError);
    thread_ = std::thread([this] { work(); });
  }
  if (display_ == nullptr) return false;
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
  return true;
}

void GtkWindowCapture::work() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
      if (stopping_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

std::optional<std::vector<ShareableWindow>> GtkWindowCapture::listWindows() {
  Display* d = asDisplay(display_);
  const Window root = DefaultRootWindow(d);
  auto stacking = cardinals(d, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
  if (failedSinceLastCheck(d)) return std::nullopt;
  std::vector<ShareableWindow> windows;
  // Front to back, as the system lists them.
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
    const Window window = *it;
    ShareableWindow entry;
    entry.id = window;
    const auto pid = cardinals(d, window, "_NET_WM_PID", XA_CARDINAL);
    entry.ownerPid = pid.empty() ? 0 : pid_t(pid.front());
    entry.layer = layerOf(d, window);
    entry.title = titleOf(d, window);
    XWindowAttributes attributes;
    int x = 0, y = 0;
    Window child;
    const bool placed = XGetWindowAttributes(d, window, &attributes) != 0 &&
                        XTranslateCoordinates(d, window, root, 0, 0, &x, &y, &child) != 0;
    // A window destroyed while listed is left out.
    if (failedSinceLastCheck(d) || !placed) continue;
    entry.frame =
        Rect{{double(x), double(y)}, {double(attributes.width), double(attributes.height)}};
    windows.push_back(std::move(entry));
  }
  return windows;
}

ImageRef GtkWindowCapture::picture(unsigned long window, int pixelWidth, int pixelHeight) {
  Display* d = asDisplay(display_);
  if (redirected_.insert(window).second)
    XCompositeRedirectWindow(d, window, CompositeRedirectAutomatic);
  XWindowAttributes attributes;
  const bool known = XGetWindowAttributes(d, window, &attributes) != 0;
  if (failedSinceLastCheck(d) || !known || attributes.map_state != IsViewable) {
    redirected_.erase(window);
    return nullptr;
  }
  const int width = std::min(attributes.width, std::max(pixelWidth, 1));
  const int height = std::min(attributes.height, std::max(pixelHeight, 1));
  if (int64_t(attributes.width) * attributes.height > kMaxImagePixels) return nullptr;
  XImage* image = XGetImage(d, window, 0, 0, unsigned(attributes.width),
                            unsigned(attributes.height), AllPlanes, ZPixmap);
  if (failedSinceLastCheck(d) || image == nullptr) {
    if (image != nullptr) XDestroyImage(image);
    return nullptr;
  }
  ImageRef picture = image->bits_per_pixel == 32 ? toImage(image, width, height) : nullptr;
  XDestroyImage(image);
  return picture;
}

}  // namespace qn
