// GtkWindows: qn::Windows with GTK 3 toplevel windows.
//   [x] the main window (GtkMainWindow), showing the application's menu bar
//   [ ] other kinds of windows (none are needed yet)

#include "platform/gtk/GtkWindows.h"

#include "platform/gtk/GtkMainWindow.h"

namespace qn {

std::unique_ptr<MainWindow> GtkWindows::createMainWindow(Size contentSize) {
  return std::make_unique<GtkMainWindow>(contentSize, &applicationMenuBar());
}

GtkApplicationMenuBar& GtkWindows::applicationMenuBar() {
  if (!menuBar_) menuBar_ = std::make_unique<GtkApplicationMenuBar>();
  return *menuBar_;
}

}  // namespace qn
