// GtkWebView, part three: the page's panels.
//   [x] alert, confirm and prompt, answered whenever the delegate calls back
//   [x] the file-open panel: multiple selection passed on, chosen paths (or file: URLs) returned
//   [x] "leave this page?" (beforeunload) confirmed at once, as a host without that panel does
//   [ ] directory requests: WebKitGTK's file chooser request has no directory flag, so
//       allowsDirectories is always false

#include <functional>
#include <memory>
#include <utility>

#include "platform/gtk/GtkMainLoop.h"
#include "platform/gtk/GtkWebView.h"

namespace qn {
namespace {

// Holds a WebKit request until its first answer; later answers do nothing. A request the
// delegate drops unanswered is released, and WebKit then answers it with its defaults.
//
// Answers are applied from the main loop, never inside the signal: WebKit releases a script
// dialog as the emission returns and crashes if the dialog was closed during it, which a
// delegate answering at once (a modal panel, or no delegate at all) would do.
template <typename T>
class Pending : public std::enable_shared_from_this<Pending<T>> {
 public:
  using Release = void (*)(T*);
  Pending(T* request, Release release) : request_(request), release_(release) {}
  ~Pending() {
    if (request_) release_(request_);
  }
  Pending(const Pending&) = delete;
  Pending& operator=(const Pending&) = delete;

  void answer(std::function<void(T*)> answer) {
    postToMainContext([self = this->shared_from_this(), answer = std::move(answer)] {
      if (!self->request_) return;
      answer(self->request_);
      self->release_(std::exchange(self->request_, nullptr));
    });
  }

 private:
  T* request_;
  Release release_;
};

auto hold(WebKitScriptDialog* dialog) {
  return std::make_shared<Pending<WebKitScriptDialog>>(webkit_script_dialog_ref(dialog),
                                                       webkit_script_dialog_unref);
}

auto hold(WebKitFileChooserRequest* request) {
  g_object_ref(request);
  return std::make_shared<Pending<WebKitFileChooserRequest>>(
      request, [](WebKitFileChooserRequest* held) { g_object_unref(held); });
}

void confirm(WebKitScriptDialog* dialog, bool confirmed) {
  webkit_script_dialog_confirm_set_confirmed(dialog, confirmed);
  webkit_script_dialog_close(dialog);
}

std::string defaultText(WebKitScriptDialog* dialog) {
  const gchar* text = webkit_script_dialog_prompt_get_default_text(dialog);
  return text ? text : "";
}

// The port hands back paths; file: URLs are accepted too.
std::string toPath(const std::string& file) {
  gchar* path = g_filename_from_uri(file.c_str(), nullptr, nullptr);
  if (!path) return file;
  std::string result = path;
  g_free(path);
  return result;
}

void selectFiles(WebKitFileChooserRequest* request, const std::vector<std::string>& files) {
  std::vector<std::string> paths;
  for (const std::string& file : files) paths.push_back(toPath(file));
  std::vector<const gchar*> list;
  for (const std::string& path : paths) list.push_back(path.c_str());
  list.push_back(nullptr);
  webkit_file_chooser_request_select_files(request, list.data());
}

}  // namespace

gboolean GtkWebView::onScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer data) {
  WebViewDelegate& delegate = static_cast<GtkWebView*>(data)->delegate();
  auto pending = hold(dialog);
  std::string message = webkit_script_dialog_get_message(dialog);
  switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_ALERT:
      delegate.runAlertPanel(message, [pending] { pending->answer(webkit_script_dialog_close); });
      break;
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
      delegate.runConfirmPanel(message, [pending](bool confirmed) {
        pending->answer([confirmed](WebKitScriptDialog* d) { confirm(d, confirmed); });
      });
      break;
    // Text set on the prompt is what the page gets; without it the page gets null.
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
      delegate.runPromptPanel(message, defaultText(dialog),
                              [pending](std::optional<std::string> text) {
                                pending->answer([text](WebKitScriptDialog* d) {
                                  if (text) webkit_script_dialog_prompt_set_text(d, text->c_str());
                                  webkit_script_dialog_close(d);
                                });
                              });
      break;
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
      pending->answer([](WebKitScriptDialog* d) { confirm(d, true); });
      break;
  }
  return TRUE;
}

gboolean GtkWebView::onRunFileChooser(WebKitWebView*, WebKitFileChooserRequest* request,
                                      gpointer data) {
  OpenPanelRequest panel;
  panel.allowsMultipleSelection = webkit_file_chooser_request_get_select_multiple(request);
  auto pending = hold(request);
  static_cast<GtkWebView*>(data)->delegate().runOpenPanel(
      panel, [pending](std::optional<std::vector<std::string>> files) {
        pending->answer([files](WebKitFileChooserRequest* r) {
          if (files) {
            selectFiles(r, *files);
          } else {
            webkit_file_chooser_request_cancel(r);
          }
        });
      });
  return TRUE;
}

}  // namespace qn
