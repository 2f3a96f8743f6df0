#include "platform/gtk/GtkMessageDialog.h"

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

GtkWidget* newMessageDialog(GtkWindow* parent, AlertStyle style, const std::string& message,
                            const std::string& informative,
                            const std::vector<std::string>& buttons) {
  GtkWidget* dialog = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, messageType(style),
                                             GTK_BUTTONS_NONE, "%s", message.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), "QUENTRA");
  gtk_window_set_position(GTK_WINDOW(dialog),
                          parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  if (!informative.empty()) {
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", informative.c_str());
  }
  // Plain labels rather than gtk_dialog_add_button, which would read "_" as a mnemonic.
  for (size_t i = 0; i < buttons.size(); ++i) {
    GtkWidget* button = gtk_button_new_with_label(buttons[i].c_str());
    gtk_widget_set_can_default(button, TRUE);
    gtk_widget_show(button);
    gtk_dialog_add_action_widget(GTK_DIALOG(dialog), button, static_cast<gint>(i));
  }
  if (!buttons.empty()) gtk_dialog_set_default_response(GTK_DIALOG(dialog), 0);
  return dialog;
}

}  // namespace qn
