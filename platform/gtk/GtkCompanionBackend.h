#pragma once

#include "platform/gtk/GtkAccessibility.h"
#include "platform/gtk/GtkInputTiming.h"
#include "platform/gtk/GtkKeyPoster.h"
#include "platform/gtk/GtkMainLoop.h"
#include "platform/gtk/GtkPanels.h"
#include "platform/gtk/GtkScreens.h"
#include "platform/gtk/GtkSound.h"
#include "platform/gtk/GtkWindowCapture.h"
#include "platform/gtk/GtkWindowList.h"
#include "platform/gtk/GtkWorkspace.h"

namespace qn {

// The Linux desktop as the companion's composition root uses it.
class GtkCompanionBackend {
 public:
  // Prepares the toolkit on X11; false when no display can be opened.
  bool init(int& argc, char**& argv);

  MainLoop& loop() { return loop_; }
  Panels& panels() { return panels_; }
  Screens& screens() { return screens_; }
  WindowList& windowList() { return windowList_; }
  Workspace& workspace() { return workspace_; }
  Accessibility& accessibility() { return accessibility_; }
  InputTiming& inputTiming() { return inputTiming_; }
  KeyPoster& keyPoster() { return keyPoster_; }
  WindowCapture& windowCapture() { return windowCapture_; }
  Sound& sound() { return sound_; }

 private:
  GtkMainLoop loop_;
  GtkPanels panels_;
  GtkScreens screens_;
  GtkWindowList windowList_;
  GtkWorkspace workspace_;
  GtkAccessibility accessibility_;
  GtkInputTiming inputTiming_;
  GtkKeyPoster keyPoster_{accessibility_};
  GtkWindowCapture windowCapture_{loop_};
  GtkSound sound_;
};

}  // namespace qn
