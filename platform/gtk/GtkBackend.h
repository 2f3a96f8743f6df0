#pragma once

#include "platform/gtk/GtkAlerts.h"
#include "platform/gtk/GtkDialogs.h"
#include "platform/gtk/GtkMainLoop.h"
#include "platform/gtk/GtkOpener.h"
#include "platform/gtk/GtkSession.h"
#include "platform/gtk/GtkSpeech.h"
#include "platform/gtk/GtkSystemCommands.h"
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
  Dialogs& dialogs() { return dialogs_; }
  Opener& opener() { return opener_; }
  Speech& speech() { return speech_; }
  SystemCommands& system() { return system_; }
  Session& session() { return session_; }

 private:
  GtkMainLoop loop_;
  GtkWindows windows_;
  GtkAlerts alerts_;
  GtkDialogs dialogs_;
  GtkOpener opener_;
  GtkSpeech speech_;
  GtkSystemCommands system_;
  GtkSession session_;
};

}  // namespace qn
