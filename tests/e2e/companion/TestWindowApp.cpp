// A plain application window for the companion's desktop tests: one 600 x 400 window titled
// "qn-worker"; closing it ends the program. Options, for the tests of the worker window's ports:
//   --entries         a password entry, then a text entry, which has the focus
//   --raise-after S   S seconds after start, and every S seconds, present the window again
//   --windows N       N more small windows, titled "qn-extra"
//   --unsized         the window's accessible reports no extents (size and position unknown)
#include <gtk/gtk-a11y.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <cstring>

// A window whose accessible answers "unknown" (-1) for its extents, as some toolkits' windows
// do: a window accessible with its own component interface, and a window class that makes it.
struct UnsizedAccessible {
  GtkWindowAccessible parent;
};
struct UnsizedAccessibleClass {
  GtkWindowAccessibleClass parent;
};
static void unsized_accessible_component_init(AtkComponentIface* component) {
  component->get_extents = [](AtkComponent*, gint* x, gint* y, gint* width, gint* height,
                              AtkCoordType) { *x = *y = *width = *height = -1; };
}
G_DEFINE_TYPE_WITH_CODE(UnsizedAccessible, unsized_accessible, GTK_TYPE_WINDOW_ACCESSIBLE,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT,
                                              unsized_accessible_component_init))
static void unsized_accessible_class_init(UnsizedAccessibleClass*) {}
static void unsized_accessible_init(UnsizedAccessible*) {}

struct UnsizedWindow {
  GtkWindow parent;
};
struct UnsizedWindowClass {
  GtkWindowClass parent;
};
G_DEFINE_TYPE(UnsizedWindow, unsized_window, GTK_TYPE_WINDOW)
static void unsized_window_class_init(UnsizedWindowClass* type) {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(type), unsized_accessible_get_type());
}
static void unsized_window_init(UnsizedWindow*) {}

namespace {

bool hasOption(int argc, char** argv, const char* option) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], option) == 0) return true;
  return false;
}

GtkWidget* entryBox() {
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  GtkWidget* password = gtk_entry_new();
  gtk_entry_set_visibility(GTK_ENTRY(password), FALSE);
  GtkWidget* text = gtk_entry_new();
  gtk_box_pack_start(GTK_BOX(box), password, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), text, FALSE, FALSE, 0);
  gtk_widget_grab_focus(text);
  return box;
}

gboolean present(gpointer window) {
  gtk_window_present(GTK_WINDOW(window));
  return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
  gdk_set_allowed_backends("x11");
  gtk_init(&argc, &argv);
  GtkWidget* window = hasOption(argc, argv, "--unsized")
                          ? GTK_WIDGET(g_object_new(unsized_window_get_type(), nullptr))
                          : gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "qn-worker");
  gtk_window_set_default_size(GTK_WINDOW(window), 600, 400);
  gtk_window_move(GTK_WINDOW(window), 100, 100);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--entries") == 0) {
      gtk_container_add(GTK_CONTAINER(window), entryBox());
    } else if (std::strcmp(argv[i], "--raise-after") == 0 && hasValue) {
      g_timeout_add(guint(std::atof(argv[++i]) * 1000), present, window);
    } else if (std::strcmp(argv[i], "--windows") == 0 && hasValue) {
      for (int n = std::atoi(argv[++i]); n > 0; --n) {
        GtkWidget* extra = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_title(GTK_WINDOW(extra), "qn-extra");
        gtk_window_set_default_size(GTK_WINDOW(extra), 60, 40);
        gtk_widget_show(extra);
      }
    }
  }
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
