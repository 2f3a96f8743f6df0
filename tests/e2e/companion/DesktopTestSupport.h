#pragma once

// What the companion's desktop tests share: the backend, the main context, the real pointer.
// X11 defines None and friends as macros, which gtest's own names must not meet: gtest first.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ChildProcess.h"
#include "platform/gtk/GtkCompanionBackend.h"

namespace qn {

GtkCompanionBackend& backend();

// Runs the main context until done() holds or the seconds are up.
bool spinUntil(const std::function<bool()>& done, double seconds = 10);

// Runs the main context for the seconds.
void spinFor(double seconds);

// Runs xdotool with the arguments and waits for it.
void xdotool(std::vector<std::string> arguments);

// Moves the real pointer to the point in root coordinates.
void pointerTo(int x, int y);

Display* xdisplay();

// A normal application window, started from the program, that has the keyboard focus once made.
class FocusedWindow {
 public:
  explicit FocusedWindow(const std::string& program);
  ~FocusedWindow();
  // The keyboard focus is on the window or inside it.
  bool hasInputFocus() const;
  unsigned long window = 0;

 private:
  std::shared_ptr<ChildProcess> child_;
};

// Whether a viewable top-level window has exactly the frame (root coordinates).
bool viewableAt(Rect root);

// A panel shown at the frame (desktop coordinates) with the content, drawn at least once.
std::unique_ptr<Panel> shownPanel(Rect frame, PanelContent* content);

// Moves the real pointer to a point of the panel's content (top-down, from its top left).
void pointerToPanel(const Panel& panel, Point local);

// Clicks a point of the panel's content with the real pointer (button 1 by default).
void clickAt(const Panel& panel, Point local, const std::string& button = "1");

// Saves a picture of the whole screen to the file, for a person to look at.
void saveScreenshot(const std::string& path);

// The whole screen's pixels, read back from the X server when made; points in root coordinates.
class ScreenPixels {
 public:
  ScreenPixels();
  ~ScreenPixels();
  ScreenPixels(const ScreenPixels&) = delete;
  ScreenPixels& operator=(const ScreenPixels&) = delete;
  // Red, green and blue of the pixel, 0 to 255 each.
  const unsigned char* at(Point p) const;
  // Mean of red, green and blue, 0 to 255.
  double brightness(Point p) const;
  // The brightest pixel of a rectangle.
  double brightest(Rect r) const;

 private:
  GdkPixbuf* pixels_;
};

}  // namespace qn
