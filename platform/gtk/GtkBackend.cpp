// GtkBackend: the GTK backend's ports, for the composition roots.
//   [x] toolkit set-up on X11, reporting a missing display
//   [x] main loop, windows with the menu bar, alerts, speech (no recogniser: see GtkSpeech.cpp)
//   [x] system commands: trash, volumes, relaunch and registration commands
//   [x] the end of the desktop session (GtkSession.cpp)

#include "platform/gtk/GtkBackend.h"

#include <gtk/gtk.h>

namespace qn {

// Windows are placed exactly and other windows are inspected through X11, so no other GDK
// backend will do; under Wayland this means XWayland.
bool GtkBackend::init(int& argc, char**& argv) {
  gdk_set_allowed_backends("x11");
  return gtk_init_check(&argc, &argv);
}

}  // namespace qn
