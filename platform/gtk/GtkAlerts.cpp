// GtkAlerts: qn::Alerts with GtkMessageDialog.
//   [x] application-modal, titled "QUENTRA", icon by style
//   [x] message and informative text (left out when empty)
//   [x] buttons in the given order, labels shown exactly, the first one the default (Enter)
//   [x] the chosen index, or -1 when the dialog is closed (Escape, the close button)
//   [ ] sheets on a window: every alert is application-modal here

#include "platform/gtk/GtkAlerts.h"

#include <gtk/gtk.h>

namespace qn {
namespace {

GtkMessageType messageType(AlertStyle style) {
  switch (style) {
    case AlertStyle::Warning:
      return GTK_MESSAGE_WARNING;
    case AlertStyle::Critical:
      return GTK_MESSAGE_ERROR;
    case AlertStyle::Informational:
      break;
  }
  return GTK_MESSAGE_INFO;
}

}  // namespace

int GtkAlerts::runModal(const AlertSpec& alert) {
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, messageType(alert.style),
                                             GTK_BUTTONS_NONE, "%s", alert.message.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), "QUENTRA");
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  if (!alert.informative.empty()) {
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s",
                                             alert.informative.c_str());
  }
  // Plain labels rather than gtk_dialog_add_button, which would read "_" as a mnemonic.
  for (size_t i = 0; i < alert.buttons.size(); ++i) {
    GtkWidget* button = gtk_button_new_with_label(alert.buttons[i].c_str());
    gtk_widget_set_can_default(button, TRUE);
    gtk_widget_show(button);
    gtk_dialog_add_action_widget(GTK_DIALOG(dialog), button, static_cast<gint>(i));
  }
  if (!alert.buttons.empty()) gtk_dialog_set_default_response(GTK_DIALOG(dialog), 0);
  gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  // GTK's own responses (closed, Escape) are negative.
  return response >= 0 ? response : -1;
}

}  // namespace qn
