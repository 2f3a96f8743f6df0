// GtkApplicationMenuBar: qn::MenuBar as a GtkMenuBar inside the main window.
//   [x] menus with items, separators and disabled items, in the given order
//   [x] labels shown exactly (no mnemonics), key equivalents shown beside them
//   [x] key equivalents with Ctrl for Command, Alt for Option, Shift; disabled items ignore them
//   [x] the whole menu bar replaced at once, also while it is on screen
//   [x] light titles on the window's dark colour, also while the window is in the background
//   [ ] a global menu bar outside the window: the desktop's own menu bar is not used

#include "platform/gtk/GtkApplicationMenuBar.h"

#include <functional>
#include <mutex>

namespace qn {
namespace {

constexpr const char* kMenuBarClass = "qn-main-menu";

// The menu bar sits on the window's dark colour; the theme's dark titles would vanish on it.
constexpr const char* kMenuBarCss = R"css(
menubar.qn-main-menu { background-color: #1c1c1f; border-bottom: 1px solid rgba(255, 255, 255, 0.06); }
menubar.qn-main-menu > menuitem { color: rgba(255, 255, 255, 0.88); }
menubar.qn-main-menu > menuitem:backdrop { color: rgba(255, 255, 255, 0.6); }
menubar.qn-main-menu > menuitem:disabled { color: rgba(255, 255, 255, 0.35); }
menubar.qn-main-menu > menuitem:hover { color: #ffffff; background-color: rgba(255, 255, 255, 0.14); }
)css";

void useMenuBarStyle(GtkWidget* bar) {
  static std::once_flag installed;
  std::call_once(installed, [] {
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kMenuBarCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
  });
  gtk_style_context_add_class(gtk_widget_get_style_context(bar), kMenuBarClass);
}

void runAction(GtkMenuItem*, gpointer action) {
  (*static_cast<std::function<void()>*>(action))();
}

void deleteAction(gpointer action, GClosure*) {
  delete static_cast<std::function<void()>*>(action);
}

GdkModifierType modifiers(const KeyEquivalent& key) {
  unsigned mask = 0;
  if (key.command) mask |= GDK_CONTROL_MASK;
  if (key.shift) mask |= GDK_SHIFT_MASK;
  if (key.option) mask |= GDK_MOD1_MASK;
  return static_cast<GdkModifierType>(mask);
}

}  // namespace

GtkApplicationMenuBar::GtkApplicationMenuBar()
    : bar_(GTK_WIDGET(g_object_ref_sink(gtk_menu_bar_new()))),
      accelerators_(gtk_accel_group_new()) {
  useMenuBarStyle(bar_);
  gtk_widget_show(bar_);
}

GtkApplicationMenuBar::~GtkApplicationMenuBar() {
  if (host_) leave(host_);
  gtk_widget_destroy(bar_);
  g_object_unref(bar_);
  g_object_unref(accelerators_);
}

// Destroying an item removes its accelerators from the group and frees its action.
void GtkApplicationMenuBar::setMenus(std::vector<MenuItem> menus) {
  GList* old = gtk_container_get_children(GTK_CONTAINER(bar_));
  for (GList* child = old; child; child = child->next) gtk_widget_destroy(GTK_WIDGET(child->data));
  g_list_free(old);
  for (const MenuItem& menu : menus) {
    gtk_menu_shell_append(GTK_MENU_SHELL(bar_), newItem(menu));
  }
}

GtkWidget* GtkApplicationMenuBar::newItem(const MenuItem& item) {
  GtkWidget* widget = item.separator ? gtk_separator_menu_item_new()
                                     : gtk_menu_item_new_with_label(item.title.c_str());
  gtk_widget_set_sensitive(widget, item.enabled);
  if (item.action) {
    g_signal_connect_data(widget, "activate", G_CALLBACK(runAction),
                          new std::function<void()>(item.action), deleteAction, GConnectFlags{});
  }
  if (item.keyEquivalent) {
    const guint key = gdk_keyval_to_lower(
        gdk_unicode_to_keyval(g_utf8_get_char_validated(item.keyEquivalent->key.c_str(), -1)));
    gtk_widget_add_accelerator(widget, "activate", accelerators_, key,
                               modifiers(*item.keyEquivalent), GTK_ACCEL_VISIBLE);
  }
  if (!item.submenu.empty()) {
    GtkWidget* submenu = gtk_menu_new();
    gtk_menu_set_accel_group(GTK_MENU(submenu), accelerators_);
    for (const MenuItem& entry : item.submenu) {
      gtk_menu_shell_append(GTK_MENU_SHELL(submenu), newItem(entry));
    }
    gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), submenu);
  }
  gtk_widget_show(widget);
  return widget;
}

void GtkApplicationMenuBar::showIn(GtkWindow* window, GtkBox* box) {
  if (host_) leave(host_);
  gtk_box_pack_start(box, bar_, FALSE, FALSE, 0);
  gtk_box_reorder_child(box, bar_, 0);
  gtk_window_add_accel_group(window, accelerators_);
  host_ = window;
}

void GtkApplicationMenuBar::leave(GtkWindow* window) {
  if (host_ != window) return;
  gtk_window_remove_accel_group(window, accelerators_);
  if (GtkWidget* parent = gtk_widget_get_parent(bar_)) {
    gtk_container_remove(GTK_CONTAINER(parent), bar_);
  }
  host_ = nullptr;
}

}  // namespace qn
