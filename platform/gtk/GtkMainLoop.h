#pragma once

#include <glib.h>

#include "platform/MainLoop.h"

namespace qn {

// Queues fn on GLib's default main context, after the current call returns. Safe from any thread.
void postToMainContext(std::function<void()> fn);

// The main loop on GLib's default context, which GTK and WebKitGTK dispatch from too.
class GtkMainLoop final : public MainLoop {
 public:
  GtkMainLoop();
  ~GtkMainLoop() override;
  GtkMainLoop(const GtkMainLoop&) = delete;
  GtkMainLoop& operator=(const GtkMainLoop&) = delete;

  void post(std::function<void()> fn) override;
  Timer after(double seconds, std::function<void()> fn) override;
  Timer every(double seconds, std::function<void()> fn) override;
  double now() const override;
  void run() override;
  void quit() override;

 private:
  GMainLoop* loop_;
  bool quitRequested_ = false;
};

}  // namespace qn
