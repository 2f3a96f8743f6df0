// GtkContextMenu: context menus as GtkMenu popups at a desktop point.
//   [x] items, disabled items, separators
//   [x] placed on the root window at the point, kept on the monitor by GTK's anchor hints
//   [x] actions run from an idle source after the menu closed; the menu is freed afterwards
//   [x] popped up from the current event (a right press) or, without one, a press of the pointer

#include "platform/gtk/GtkContextMenu.h"

#include <gtk/gtk.h>

#include <cmath>
#include <functional>

#include "platform/gtk/GtkDesktopSpace.h"

namespace qn {

namespace {

using Action = std::function<void()>;

void deleteAction(gpointer data, GClosure*) {
  delete static_cast<Action*>(data);
}

gboolean runOnce(gpointer data) {
  (*static_cast<Action*>(data))();
  return G_SOURCE_REMOVE;
}

void onActivate(GtkMenuItem*, gpointer data) {
  g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, runOnce, new Action(*static_cast<Action*>(data)),
                  [](gpointer action) { delete static_cast<Action*>(action); });
}

struct OpenMenu {
  GtkWidget* menu;
  Action closed;
};

// GTK activates the chosen item after the menu deactivated, so the menu goes on a later pass.
void onDeactivate(GtkMenuShell*, gpointer data) {
  g_idle_add(
      [](gpointer data) {
        auto* open = static_cast<OpenMenu*>(data);
        gtk_widget_destroy(open->menu);
        g_object_unref(open->menu);
        if (open->closed) open->closed();
        delete open;
        return G_SOURCE_REMOVE;
      },
      data);
}

GtkWidget* menuItem(const MenuItem& item) {
  if (item.separator) return gtk_separator_menu_item_new();
  GtkWidget* widget = gtk_menu_item_new_with_label(item.title.c_str());
  gtk_widget_set_sensitive(widget, item.enabled);
  if (item.action)
    g_signal_connect_data(widget, "activate", G_CALLBACK(onActivate), new Action(item.action),
                          deleteAction, GConnectFlags(0));
  return widget;
}

// GTK grabs the pointer for a menu with the device and time of the event that opened it. Called
// outside an event (not from a press), a press of the seat's pointer at the current time stands in.
GdkEvent* newTriggerEvent() {
  if (GdkEvent* current = gtk_get_current_event()) return current;
  GdkEvent* event = gdk_event_new(GDK_BUTTON_PRESS);
  event->button.window = GDK_WINDOW(g_object_ref(gdk_get_default_root_window()));
  event->button.time = GDK_CURRENT_TIME;
  event->button.button = 3;
  gdk_event_set_device(
      event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
  return event;
}

}  // namespace

void popUpContextMenu(const std::vector<MenuItem>& items, Point at, Action closed) {
  GtkWidget* menu = gtk_menu_new();
  g_object_ref_sink(menu);
  for (const auto& item : items) {
    GtkWidget* widget = menuItem(item);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), widget);
    gtk_widget_show(widget);
  }
  auto* open = new OpenMenu{menu, std::move(closed)};
  g_signal_connect(menu, "deactivate", G_CALLBACK(onDeactivate), open);
  const Rect root = GtkDesktopSpace::desktopToRoot(Rect{at, {}});
  const GdkRectangle rect{int(std::lround(root.origin.x)), int(std::lround(root.origin.y)), 1, 1};
  GdkEvent* trigger = newTriggerEvent();
  gtk_menu_popup_at_rect(GTK_MENU(menu), gdk_get_default_root_window(), &rect,
                         GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST, trigger);
  gdk_event_free(trigger);
  // A menu that could not grab the pointer never showed and will not deactivate.
  if (!gtk_widget_get_visible(menu)) onDeactivate(GTK_MENU_SHELL(menu), open);
}

}  // namespace qn
