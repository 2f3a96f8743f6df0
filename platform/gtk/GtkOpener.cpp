// GtkOpener: qn::Opener through GIO's default handlers (the desktop's mimeapps settings).
//   [x] URLs by scheme (x-scheme-handler/http, https, mailto, ...)
//   [x] files by content type, through their file URI
//   [ ] reporting a failure: like the system's open, a missing handler is only logged

#include "platform/gtk/GtkOpener.h"

#include <gio/gio.h>

#include "base/Log.h"

namespace qn {
namespace {

void launchDefault(const char* uri) {
  GError* error = nullptr;
  if (!g_app_info_launch_default_for_uri(uri, nullptr, &error)) {
    logSystemLine(std::string("QUENTRA 无法打开 ") + uri + "：" + (error ? error->message : ""));
    g_clear_error(&error);
  }
}

}  // namespace

void GtkOpener::openURL(const std::string& url) {
  launchDefault(url.c_str());
}

void GtkOpener::openFile(const std::string& path) {
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  if (uri) launchDefault(uri);
  g_free(uri);
}

}  // namespace qn
