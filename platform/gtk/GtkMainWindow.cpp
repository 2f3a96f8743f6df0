// GtkMainWindow: qn::MainWindow as a GTK 3 toplevel.
//   [x] content size, centring on the monitor's work area, title, minimum size
//   [x] background colour, shown until the page paints
//   [x] the menu bar at the top, one web view filling the rest and following the window's size
//   [x] present (show, raise, activate), hide, visibility (a minimised window is not visible)
//   [x] the close button hides the window; it stays alive for a later present()
//   [x] minimise from program code; a report each time the window becomes active
//   [ ] zoom from program code (not needed; the frame's buttons work)

#include "platform/gtk/GtkMainWindow.h"

#include <cmath>

namespace qn {
namespace {

int toPixels(double points) {
  return static_cast<int>(std::lround(points));
}

// The close button asks the window to go away; keeping it (and its web view) means hiding it.
gboolean hideInsteadOfClosing(GtkWidget* window, GdkEvent*, gpointer) {
  gtk_widget_hide(window);
  return TRUE;
}

}  // namespace

namespace {
GtkWindow* currentMainWindow = nullptr;
}  // namespace

GtkWindow* GtkMainWindow::mainWindow() {
  return currentMainWindow;
}

GtkMainWindow::GtkMainWindow(Size contentSize, GtkApplicationMenuBar* menuBar)
    : window_(gtk_window_new(GTK_WINDOW_TOPLEVEL)),
      content_(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0)),
      menuBar_(menuBar),
      background_(gtk_css_provider_new()) {
  currentMainWindow = GTK_WINDOW(window_);
  gtk_container_add(GTK_CONTAINER(window_), content_);
  if (menuBar_) menuBar_->showIn(GTK_WINDOW(window_), GTK_BOX(content_));
  gtk_window_set_default_size(GTK_WINDOW(window_), toPixels(contentSize.width),
                              toPixels(contentSize.height));
  gtk_style_context_add_provider(gtk_widget_get_style_context(window_),
                                 GTK_STYLE_PROVIDER(background_),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_signal_connect(window_, "delete-event", G_CALLBACK(hideInsteadOfClosing), nullptr);
  g_signal_connect(window_, "notify::is-active", G_CALLBACK(onActiveChanged), this);
}

GtkMainWindow::~GtkMainWindow() {
  if (currentMainWindow == GTK_WINDOW(window_)) currentMainWindow = nullptr;
  g_signal_handlers_disconnect_by_data(window_, this);
  // The menu bar belongs to the application and survives the window.
  if (menuBar_) menuBar_->leave(GTK_WINDOW(window_));
  webView_.reset();
  gtk_widget_destroy(window_);
  g_object_unref(background_);
}

// Works before and after the window is mapped, unlike GTK_WIN_POS_CENTER, which only applies
// when the window is first shown.
void GtkMainWindow::center() {
  GdkDisplay* display = gtk_widget_get_display(window_);
  GdkWindow* gdkWindow = gtk_widget_get_window(window_);
  GdkMonitor* monitor = gdkWindow ? gdk_display_get_monitor_at_window(display, gdkWindow)
                                  : gdk_display_get_primary_monitor(display);
  if (!monitor) monitor = gdk_display_get_monitor(display, 0);
  if (!monitor) return;
  GdkRectangle area;
  gdk_monitor_get_workarea(monitor, &area);
  int width = 0;
  int height = 0;
  gtk_window_get_size(GTK_WINDOW(window_), &width, &height);
  gtk_window_move(GTK_WINDOW(window_), area.x + (area.width - width) / 2,
                  area.y + (area.height - height) / 2);
}

void GtkMainWindow::setTitle(const std::string& title) {
  gtk_window_set_title(GTK_WINDOW(window_), title.c_str());
}

void GtkMainWindow::setMinSize(Size size) {
  GdkGeometry hints{};
  hints.min_width = toPixels(size.width);
  hints.min_height = toPixels(size.height);
  gtk_window_set_geometry_hints(GTK_WINDOW(window_), nullptr, &hints, GDK_HINT_MIN_SIZE);
}

// gdk_rgba_to_string formats independently of the locale, which CSS needs.
void GtkMainWindow::setBackground(Color color) {
  GdkRGBA rgba{color.red, color.green, color.blue, color.alpha};
  gchar* text = gdk_rgba_to_string(&rgba);
  gchar* css = g_strdup_printf("window { background-color: %s; background-image: none; }", text);
  gtk_css_provider_load_from_data(background_, css, -1, nullptr);
  g_free(css);
  g_free(text);
}

// A window holds one web view; a second call replaces the first.
WebView& GtkMainWindow::createWebView(const WebViewConfig& config) {
  if (webView_) gtk_container_remove(GTK_CONTAINER(content_), webView_->widget());
  webView_ = std::make_unique<GtkWebView>(config);
  gtk_box_pack_start(GTK_BOX(content_), webView_->widget(), TRUE, TRUE, 0);
  return *webView_;
}

void GtkMainWindow::present() {
  gtk_widget_show_all(window_);
  gtk_window_present(GTK_WINDOW(window_));
}

void GtkMainWindow::hide() {
  gtk_widget_hide(window_);
}

// As on other desktops, a minimised window does not count as visible.
bool GtkMainWindow::isVisible() const {
  if (!gtk_widget_get_visible(window_)) return false;
  GdkWindow* gdkWindow = gtk_widget_get_window(window_);
  return !gdkWindow || !(gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_ICONIFIED);
}

void GtkMainWindow::minimize() {
  gtk_window_iconify(GTK_WINDOW(window_));
}

void GtkMainWindow::setActivationHandler(std::function<void()> handler) {
  activated_ = std::move(handler);
}

// The window gaining the focus is the application becoming active: it has no other windows
// that stay up while it is in use.
void GtkMainWindow::onActiveChanged(GObject* window, gpointer, gpointer data) {
  auto* self = static_cast<GtkMainWindow*>(data);
  if (gtk_window_is_active(GTK_WINDOW(window)) && self->activated_) self->activated_();
}

}  // namespace qn
