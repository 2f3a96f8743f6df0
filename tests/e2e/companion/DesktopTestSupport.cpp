#include "tests/e2e/companion/DesktopTestSupport.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "base/ChildProcess.h"
#include "platform/gtk/GtkDesktopSpace.h"
#include "platform/gtk/X11Clients.h"

namespace qn {

GtkCompanionBackend& backend() {
  static GtkCompanionBackend* instance = [] {
    auto* b = new GtkCompanionBackend;
    int argc = 0;
    char** argv = nullptr;
    EXPECT_TRUE(b->init(argc, argv));
    return b;
  }();
  return *instance;
}

bool spinUntil(const std::function<bool()>& done, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

void spinFor(double seconds) {
  spinUntil([] { return false; }, seconds);
}

void xdotool(std::vector<std::string> arguments) {
  SpawnOptions options;
  options.executable = "/usr/bin/xdotool";
  options.arguments = std::move(arguments);
  ChildProcess::run(options);
}

void pointerTo(int x, int y) {
  xdotool({"mousemove", std::to_string(x), std::to_string(y)});
}

Display* xdisplay() {
  return GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
}

FocusedWindow::FocusedWindow(const std::string& program) {
  backend();  // the X connection
  SpawnOptions options;
  options.executable = program;
  child_ = ChildProcess::spawn(options, nullptr);
  EXPECT_TRUE(child_);
  if (!child_) return;
  EXPECT_TRUE(spinUntil([&] { return !x11::windowsOf(child_->pid()).empty(); }));
  if (x11::windowsOf(child_->pid()).empty()) return;
  window = x11::windowsOf(child_->pid()).front();
  // The window manager lists a new window a moment after the X server has it.
  EXPECT_TRUE(spinUntil([&] {
    if (x11::activeWindow() != window) x11::requestActivate(window);
    x11::flush();
    return x11::activeWindow() == window && hasInputFocus();
  }));
}

FocusedWindow::~FocusedWindow() {
  if (!child_) return;
  kill(child_->pid(), SIGKILL);
  child_->waitForExit(5);
}

bool FocusedWindow::hasInputFocus() const {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(xdisplay(), &focus, &revert);
  while (focus != 0 && focus != PointerRoot) {
    if (focus == window) return true;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(xdisplay(), focus, &root, &parent, &children, &count)) return false;
    if (children != nullptr) XFree(children);
    if (parent == root) return false;
    focus = parent;
  }
  return false;
}

bool viewableAt(Rect root) {
  Window rootWindow, parent, *children = nullptr;
  unsigned int count = 0;
  bool found = false;
  XQueryTree(xdisplay(), DefaultRootWindow(xdisplay()), &rootWindow, &parent, &children, &count);
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(xdisplay(), children[i], &a) && a.map_state == IsViewable &&
        a.x == std::lround(root.origin.x) && a.y == std::lround(root.origin.y) &&
        a.width == std::lround(root.size.width) && a.height == std::lround(root.size.height))
      found = true;
  }
  if (children != nullptr) XFree(children);
  return found;
}

std::unique_ptr<Panel> shownPanel(Rect frame, PanelContent* content) {
  auto panel = backend().panels().makePanel(frame, PanelRecipe{});
  panel->setContent(content);
  panel->orderFrontRegardless();
  EXPECT_TRUE(spinUntil([&] { return viewableAt(GtkDesktopSpace::desktopToRoot(frame)); }));
  spinFor(0.1);
  return panel;
}

void pointerToPanel(const Panel& panel, Point local) {
  const Rect root = GtkDesktopSpace::desktopToRoot(panel.frame());
  pointerTo(int(std::lround(root.origin.x + local.x)), int(std::lround(root.origin.y + local.y)));
}

void clickAt(const Panel& panel, Point local, const std::string& button) {
  pointerToPanel(panel, local);
  xdotool({"click", button});
}

void saveScreenshot(const std::string& path) {
  SpawnOptions shot;
  shot.executable = "/usr/bin/import";
  shot.arguments = {"-window", "root", path};
  EXPECT_EQ(ChildProcess::run(shot), 0) << path;
}

ScreenPixels::ScreenPixels() {
  GdkWindow* root = gdk_get_default_root_window();
  pixels_ = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                       gdk_window_get_height(root));
}

ScreenPixels::~ScreenPixels() {
  g_object_unref(pixels_);
}

const unsigned char* ScreenPixels::at(Point p) const {
  return gdk_pixbuf_get_pixels(pixels_) + int(p.y) * gdk_pixbuf_get_rowstride(pixels_) +
         int(p.x) * gdk_pixbuf_get_n_channels(pixels_);
}

double ScreenPixels::brightness(Point p) const {
  const unsigned char* px = at(p);
  return (px[0] + px[1] + px[2]) / 3.0;
}

double ScreenPixels::brightest(Rect r) const {
  double best = 0;
  for (int y = int(r.origin.y); y < int(r.origin.y + r.size.height); ++y)
    for (int x = int(r.origin.x); x < int(r.origin.x + r.size.width); ++x)
      best = std::max(best, brightness(Point{double(x), double(y)}));
  return best;
}

}  // namespace qn
