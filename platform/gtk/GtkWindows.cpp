// GtkWindows: qn::Windows with GTK 3 toplevel windows.
//   [x] the main window (GtkMainWindow)
//   [ ] other kinds of windows (none are needed yet)

#include "platform/gtk/GtkWindows.h"

#include "platform/gtk/GtkMainWindow.h"

namespace qn {

std::unique_ptr<MainWindow> GtkWindows::createMainWindow(Size contentSize) {
  return std::make_unique<GtkMainWindow>(contentSize);
}

}  // namespace qn
