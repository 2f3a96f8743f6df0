#pragma once

#include "platform/gtk/GtkAlerts.h"
#include "platform/gtk/GtkMainLoop.h"
#include "platform/gtk/GtkSpeech.h"
#include "platform/gtk/GtkWindows.h"

namespace qn {

// The Linux desktop as the programs' composition roots use it.
class GtkBackend {
 public:
  // Prepares the toolkit; false when no display can be opened. Call once, before anything else.
  bool init(int& argc, char**& argv);

  MainLoop& loop() { return loop_; }
  Windows& windows() { return windows_; }
  Alerts& alerts() { return alerts_; }
  Speech& speech() { return speech_; }

 private:
  GtkMainLoop loop_;
  GtkWindows windows_;
  GtkAlerts alerts_;
  GtkSpeech speech_;
};

}  // namespace qn
