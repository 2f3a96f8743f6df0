#pragma once

#include <gtk/gtk.h>

#include "platform/MenuBar.h"

namespace qn {

// A GtkMenuBar shown at the top of the main window, with its key equivalents in a GtkAccelGroup
// on that window. The menu bar outlives the windows that show it.
class GtkApplicationMenuBar final : public MenuBar {
 public:
  GtkApplicationMenuBar();
  ~GtkApplicationMenuBar() override;
  GtkApplicationMenuBar(const GtkApplicationMenuBar&) = delete;
  GtkApplicationMenuBar& operator=(const GtkApplicationMenuBar&) = delete;

  void setMenus(std::vector<MenuItem> menus) override;

  // Moves the menu bar to the top of box, in window, whose keys then reach its items.
  void showIn(GtkWindow* window, GtkBox* box);
  // Takes the menu bar out of window before the window goes away.
  void leave(GtkWindow* window);

  GtkWidget* widget() const { return bar_; }

 private:
  GtkWidget* newItem(const MenuItem& item);

  GtkWidget* bar_;
  GtkAccelGroup* accelerators_;
  GtkWindow* host_ = nullptr;
};

}  // namespace qn
