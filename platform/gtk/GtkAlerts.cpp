// GtkAlerts: qn::Alerts with GtkMessageDialog.
//   [x] application-modal, titled "QUENTRA", icon by style
//   [x] message and informative text (left out when empty)
//   [x] buttons in the given order, labels shown exactly, the first one the default (Enter)
//   [x] the chosen index, or -1 when the dialog is closed (Escape, the close button)
//   [x] an image file in place of the style's icon, when it loads (64 × 64)
//   [ ] sheets on a window: every alert is application-modal here

#include "platform/gtk/GtkAlerts.h"

#include "platform/gtk/GtkMessageDialog.h"

namespace qn {
namespace {

// GTK 3 message dialogs show an image only through this deprecated call; it still works and
// has no replacement in GTK 3.
void showIcon(GtkWidget* dialog, const std::string& path) {
  GdkPixbuf* pixels = gdk_pixbuf_new_from_file_at_size(path.c_str(), 64, 64, nullptr);
  if (!pixels) return;
  GtkWidget* image = gtk_image_new_from_pixbuf(pixels);
  g_object_unref(pixels);
  gtk_widget_show(image);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog), image);
  G_GNUC_END_IGNORE_DEPRECATIONS
}

}  // namespace

int GtkAlerts::runModal(const AlertOptions& alert) {
  GtkWidget* dialog =
      newMessageDialog(nullptr, alert.style, alert.message, alert.informative, alert.buttons);
  if (alert.iconPath) showIcon(dialog, *alert.iconPath);
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  return buttonIndex(response);
}

}  // namespace qn
