// GtkPanelStyle: CSS for the controls of the companion's panels, whose backgrounds are dark.
//   [x] one provider for the screen, applying only inside windows of the panel class
//   [x] buttons: rounded bezel inset in its frame as a push button's is, so neighbours stay
//       apart; no minimum size of the theme; hover, pressed, disabled
//   [x] linked segments: outer corners rounded, the selected one lighter

#include "platform/gtk/GtkPanelStyle.h"

#include <mutex>

namespace qn {

namespace {

constexpr const char* kPanelClass = "qn-panel";

constexpr const char* kCss = R"css(
window.qn-panel button {
  min-height: 0;
  min-width: 0;
  padding: 0 6px;
  border: 1px solid rgba(255, 255, 255, 0.10);
  border-radius: 6px;
  background-image: none;
  background-color: rgba(255, 255, 255, 0.16);
  box-shadow: none;
  text-shadow: none;
  -gtk-icon-shadow: none;
  outline-width: 0;
}
window.qn-panel button label { color: #ffffff; }
window.qn-panel button.qn-push { margin: 2px 3px; }
window.qn-panel button:hover { background-color: rgba(255, 255, 255, 0.24); }
window.qn-panel button:active,
window.qn-panel button:checked { background-color: rgba(255, 255, 255, 0.38); }
window.qn-panel button:disabled { background-color: rgba(255, 255, 255, 0.07); }
window.qn-panel button:disabled label { color: rgba(255, 255, 255, 0.35); }
window.qn-panel .linked > button { border-radius: 0; }
window.qn-panel .linked > button:not(:first-child) { border-left-width: 0; }
window.qn-panel .linked > button:first-child { border-radius: 6px 0 0 6px; }
window.qn-panel .linked > button:last-child { border-radius: 0 6px 6px 0; }
)css";

}  // namespace

void usePanelStyle(GtkWidget* window) {
  static std::once_flag installed;
  std::call_once(installed, [] {
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
  });
  gtk_style_context_add_class(gtk_widget_get_style_context(window), kPanelClass);
}

}  // namespace qn
