// A plain application window for the companion's desktop tests: one 600 x 400 window titled
// "qn-worker"; closing it ends the program.
#include <gtk/gtk.h>

int main(int argc, char** argv) {
  gdk_set_allowed_backends("x11");
  gtk_init(&argc, &argv);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "qn-worker");
  gtk_window_set_default_size(GTK_WINDOW(window), 600, 400);
  gtk_window_move(GTK_WINDOW(window), 100, 100);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
