// GtkCompanionBackend: the companion's ports on the GTK backend.
//   [x] toolkit set-up on X11; main loop, panels, screens, window list, running applications
//   [x] sound (GtkSound)
//   [ ] accessibility, input timing, key posting, capture: GtkWorkerPorts answers "none"

#include "platform/gtk/GtkCompanionBackend.h"

#include <gtk/gtk.h>

namespace qn {

// Panels are placed exactly and other applications' windows are read through X11.
bool GtkCompanionBackend::init(int& argc, char**& argv) {
  gdk_set_allowed_backends("x11");
  return gtk_init_check(&argc, &argv);
}

}  // namespace qn
