#include "tests/e2e/gtk/TestDesktop.h"

#include <gtest/gtest.h>

// After gtest: X11's headers define macros such as None that clash with its names.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <atomic>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace qn::test {

GtkBackend& desktop() {
  static GtkBackend backend;
  static const bool ready = [] {
    static char name[] = "gtk_backend_test";
    static char* args[] = {name, nullptr};
    int argc = 1;
    char** argv = args;
    return backend.init(argc, argv);
  }();
  if (!ready) {
    ADD_FAILURE() << "no display; run the tests under with-desktop.sh";
    std::abort();
  }
  return backend;
}

bool spinUntil(const std::function<bool()>& done, double seconds) {
  // A ticking source bounds each wait, so the deadline is seen even when nothing else happens.
  guint tick = g_timeout_add(
      10, [](gpointer) { return gboolean(G_SOURCE_CONTINUE); }, nullptr);
  gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(seconds * 1e6);
  bool met = done();
  while (!met && g_get_monotonic_time() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
    met = done();
  }
  g_source_remove(tick);
  return met;
}

void spinFor(double seconds) {
  spinUntil([] { return false; }, seconds);
}

ToolResult runTool(const std::vector<std::string>& argv) {
  ToolResult result;
  std::atomic<bool> finished = false;
  std::thread worker([&] {
    std::vector<gchar*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<gchar*>(arg.c_str()));
    args.push_back(nullptr);
    gchar* out = nullptr;
    gint wait = 0;
    if (g_spawn_sync(nullptr, args.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &out,
                     nullptr, &wait, nullptr)) {
      result.status = g_spawn_check_wait_status(wait, nullptr) ? 0 : 1;
      result.out = out ? out : "";
    }
    g_free(out);
    finished = true;
    g_main_context_wakeup(nullptr);
  });
  spinUntil([&] { return finished.load(); }, 60);
  worker.join();
  return result;
}

std::optional<std::string> findXWindow(const std::string& title) {
  ToolResult found = runTool({"xdotool", "search", "--name", "^" + title + "$"});
  std::istringstream lines(found.out);
  std::string id;
  if (found.status != 0 || !std::getline(lines, id) || id.empty()) return std::nullopt;
  return id;
}

std::optional<XWindowInfo> xWindowInfo(const std::string& id) {
  ToolResult shown = runTool({"xwininfo", "-id", id});
  if (shown.status != 0) return std::nullopt;
  XWindowInfo info;
  std::istringstream lines(shown.out);
  std::string line;
  auto number = [&line](const char* label, int& value) {
    if (line.find(label) != std::string::npos) value = std::stoi(line.substr(line.find(':') + 1));
  };
  while (std::getline(lines, line)) {
    number("Absolute upper-left X:", info.x);
    number("Absolute upper-left Y:", info.y);
    number("Width:", info.width);
    number("Height:", info.height);
    if (line.find("Map State: IsViewable") != std::string::npos) info.viewable = true;
  }
  return info;
}

std::string activeXWindow() {
  std::string id = runTool({"xdotool", "getactivewindow"}).out;
  while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
  return id;
}

// An EWMH _NET_CLOSE_WINDOW request on the root window, as pagers send it; openbox answers it
// exactly as it answers a click on the close button.
void askWindowManagerToClose(const std::string& id) {
  GdkDisplay* display = gdk_display_get_default();
  Display* xdisplay = GDK_DISPLAY_XDISPLAY(display);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(id);
  event.xclient.message_type = gdk_x11_get_xatom_by_name_for_display(display, "_NET_CLOSE_WINDOW");
  event.xclient.format = 32;
  event.xclient.data.l[0] = CurrentTime;
  event.xclient.data.l[1] = 2;  // the request comes from a pager
  XSendEvent(xdisplay, DefaultRootWindow(xdisplay), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(xdisplay);
}

}  // namespace qn::test
