// GtkAlerts: qn::Alerts with GtkMessageDialog.
//   [x] application-modal, titled "QUENTRA", icon by style
//   [x] message and informative text (left out when empty)
//   [x] buttons in the given order, labels shown exactly, the first one the default (Enter)
//   [x] the chosen index, or -1 when the dialog is closed (Escape, the close button)
//   [x] a check box below the texts, initially off, its state reported when the dialog ends
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

int GtkAlerts::runModalWithCheckBox(const AlertOptions& alert, const std::string& checkBox,
                                    bool* checkBoxOn) {
  GtkWidget* dialog =
      newMessageDialog(nullptr, alert.style, alert.message, alert.informative, alert.buttons);
  // A plain label, as for the buttons: "_" is shown, not read as a mnemonic.
  GtkWidget* box = gtk_check_button_new_with_label(checkBox.c_str());
  gtk_widget_set_can_focus(box, TRUE);
  gtk_widget_show(box);
  GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
  gtk_box_pack_end(GTK_BOX(area), box, FALSE, FALSE, 0);
  // Enter still chooses the first button rather than toggling the box.
  if (GtkWidget* first = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 0)) {
    gtk_widget_grab_focus(first);
  }
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  if (checkBoxOn) *checkBoxOn = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(box));
  gtk_widget_destroy(dialog);
  return buttonIndex(response);
}

}  // namespace qn
