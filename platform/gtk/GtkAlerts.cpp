// GtkAlerts: qn::Alerts with GtkMessageDialog.
//   [x] application-modal, titled "QUENTRA", icon by style
//   [x] message and informative text (left out when empty)
//   [x] buttons in the given order, labels shown exactly, the first one the default (Enter)
//   [x] the chosen index, or -1 when the dialog is closed (Escape, the close button)
//   [ ] sheets on a window: every alert is application-modal here

#include "platform/gtk/GtkAlerts.h"

#include "platform/gtk/GtkMessageDialog.h"

namespace qn {

int GtkAlerts::runModal(const AlertOptions& alert) {
  GtkWidget* dialog =
      newMessageDialog(nullptr, alert.style, alert.message, alert.informative, alert.buttons);
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  return buttonIndex(response);
}

}  // namespace qn
