// GtkCompanionBackend: the companion's ports on the GTK backend.
//   [x] toolkit set-up on X11; main loop, panels, screens, window list, running applications
//   [x] sound (GtkSound)
//   [x] the worker window: accessibility (AT-SPI), input timing (XInput 2 raw events), key
//       posting, window list and capture

#include "platform/gtk/GtkCompanionBackend.h"

#include <gtk/gtk.h>

namespace qn {

// Panels are placed exactly and other applications' windows are read through X11.
bool GtkCompanionBackend::init(int& argc, char**& argv) {
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(&argc, &argv)) return false;
  // Input is dated from now on; without XInput 2 every answer is "long ago".
  inputTiming_.start(gdk_display_get_name(gdk_display_get_default()));
  return true;
}

}  // namespace qn
