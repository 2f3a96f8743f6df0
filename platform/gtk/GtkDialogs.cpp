// GtkDialogs: qn::Dialogs with GTK dialogs that answer through their "response" signal.
//   [x] panels attached to the main window (transient, modal, centred on it) or application-modal
//   [x] a prompt's text field (320 wide, pre-filled, focused, Enter answers the default button)
//   [x] the open panel: files or folders, multiple selection, the choose button's title
//   [ ] resolving aliases: Linux has no Finder aliases, symbolic links are returned as chosen

#include "platform/gtk/GtkDialogs.h"

#include <gtk/gtk.h>

#include "platform/gtk/GtkMainWindow.h"
#include "platform/gtk/GtkMessageDialog.h"

namespace qn {
namespace {

GtkWindow* parentFor(PanelMode mode) {
  return mode == PanelMode::Sheet ? GtkMainWindow::mainWindow() : nullptr;
}

struct PanelAnswer {
  std::function<void(int, std::string)> done;
  GtkWidget* entry = nullptr;
};

void onPanelResponse(GtkDialog* dialog, gint response, gpointer data) {
  auto* answer = static_cast<PanelAnswer*>(data);
  const std::string text = answer->entry ? gtk_entry_get_text(GTK_ENTRY(answer->entry)) : "";
  auto done = std::move(answer->done);
  delete answer;
  gtk_widget_destroy(GTK_WIDGET(dialog));
  done(buttonIndex(response), text);
}

struct OpenAnswer {
  std::function<void(std::optional<std::vector<std::string>>)> done;
};

void onOpenResponse(GtkDialog* dialog, gint response, gpointer data) {
  auto* answer = static_cast<OpenAnswer*>(data);
  std::optional<std::vector<std::string>> paths;
  if (response == GTK_RESPONSE_ACCEPT) {
    paths.emplace();
    GSList* files = gtk_file_chooser_get_filenames(GTK_FILE_CHOOSER(dialog));
    for (GSList* item = files; item; item = item->next) {
      paths->emplace_back(static_cast<char*>(item->data));
      g_free(item->data);
    }
    g_slist_free(files);
  }
  auto done = std::move(answer->done);
  delete answer;
  gtk_widget_destroy(GTK_WIDGET(dialog));
  done(std::move(paths));
}

}  // namespace

void GtkDialogs::showPanel(const PanelOptions& panel, PanelMode mode,
                           std::function<void(int button, std::string text)> done) {
  GtkWidget* dialog =
      newMessageDialog(parentFor(mode), panel.style, panel.message, "", panel.buttons);
  auto* answer = new PanelAnswer{std::move(done)};
  if (panel.field) {
    answer->entry = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(answer->entry), panel.field->defaultText.c_str());
    gtk_entry_set_activates_default(GTK_ENTRY(answer->entry), TRUE);
    gtk_widget_set_size_request(answer->entry, 320, 24);
    GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
    gtk_box_pack_end(GTK_BOX(area), answer->entry, FALSE, FALSE, 0);
    gtk_widget_show(answer->entry);
    gtk_window_set_focus(GTK_WINDOW(dialog), answer->entry);
  }
  g_signal_connect(dialog, "response", G_CALLBACK(onPanelResponse), answer);
  gtk_window_present(GTK_WINDOW(dialog));
}

void GtkDialogs::showOpenPanel(const OpenPanelOptions& panel, PanelMode mode,
                               std::function<void(std::optional<std::vector<std::string>>)> done) {
  const GtkFileChooserAction action = panel.canChooseDirectories && !panel.canChooseFiles
                                          ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER
                                          : GTK_FILE_CHOOSER_ACTION_OPEN;
  GtkWidget* dialog = gtk_file_chooser_dialog_new("QUENTRA", parentFor(mode), action, "_Cancel",
                                                  GTK_RESPONSE_CANCEL, nullptr);
  GtkWidget* choose = gtk_dialog_add_button(GTK_DIALOG(dialog), "", GTK_RESPONSE_ACCEPT);
  // Set as a plain label, so "_" in the title is shown rather than read as a mnemonic.
  gtk_button_set_label(GTK_BUTTON(choose), panel.prompt.c_str());
  gtk_button_set_use_underline(GTK_BUTTON(choose), FALSE);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(dialog), panel.allowsMultipleSelection);
  gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
  g_signal_connect(dialog, "response", G_CALLBACK(onOpenResponse), new OpenAnswer{std::move(done)});
  gtk_window_present(GTK_WINDOW(dialog));
}

}  // namespace qn
