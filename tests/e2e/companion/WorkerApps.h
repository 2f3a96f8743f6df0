#pragma once

// The worker applications of the worker-window tests: Chromium on a local page that reports
// what it receives, and the GTK test window. The accessibility bus is started first.
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "base/ChildProcess.h"
#include "tests/e2e/gtk/LoopbackHttpServer.h"

namespace qn {

// The accessibility bus of the private desktop, up for the rest of the test program, with
// accessibility enabled or not.
bool accessibilityBusUp();
void stopAccessibilityBus();
void setAccessibilityEnabled(bool enabled);

// The page's colour, for pictures of its window.
inline constexpr int kPageRed = 20, kPageGreen = 160, kPageBlue = 60;

// Chromium on a page with a text input, a password input and a search input, in that order;
// the text input reports each value to "/got?<value>" and an Enter to "/enter". With
// focusTextInput the page puts its focus into the text input, as a page does once the AI has
// clicked into it.
class ChromiumWorker {
 public:
  explicit ChromiumWorker(bool focusTextInput = false);
  ~ChromiumWorker();
  pid_t pid() const;
  // The page has been asked for, and the browser's window is a managed X client.
  bool ready() const { return ready_; }
  // Whether the text input reported this value, at some time or as its latest.
  bool reported(const std::string& value) const;
  bool holds(const std::string& value) const;
  bool enterReported() const;
  // Whether the page saw a mouse button go down.
  bool clickReported() const;
  test::LoopbackHttpServer server;

 private:
  bool requested(const std::string& path) const;
  std::string profile_;
  std::shared_ptr<ChildProcess> child_;
  bool ready_ = false;
};

// The GTK test window with the options, once its window is managed.
class GtkWorker {
 public:
  explicit GtkWorker(std::vector<std::string> options);
  ~GtkWorker();
  pid_t pid() const;
  unsigned long window() const { return window_; }
  void kill();
  std::shared_ptr<ChildProcess> child;

 private:
  unsigned long window_ = 0;
};

// The text of the process's first accessible element with the role, read through AT-SPI.
std::string textOfFirst(pid_t pid, const std::string& role);

}  // namespace qn
