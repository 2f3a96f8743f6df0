#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/gtk/GtkBackend.h"

namespace qn::test {

// The process's one backend, initialised on first use; GTK can be initialised only once.
GtkBackend& desktop();

// Runs the main context until done() holds or the time is up; returns whether it held. done()
// is called once per pass, so it may consume what it finds.
bool spinUntil(const std::function<bool()>& done, double seconds = 10);
void spinFor(double seconds);

struct ToolResult {
  int status = -1;
  std::string out;
};

// Runs a command line tool to its end while the main context keeps running, so that the tool
// may wait for this process's windows.
ToolResult runTool(const std::vector<std::string>& argv);

// What the X server knows about one window.
struct XWindowInfo {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool viewable = false;
};

// The X window whose title is exactly title, found the way other programs find it.
std::optional<std::string> findXWindow(const std::string& title);
std::optional<XWindowInfo> xWindowInfo(const std::string& id);
std::string activeXWindow();
// Asks the window manager to close the window, the request its close button makes too.
void askWindowManagerToClose(const std::string& id);

}  // namespace qn::test
