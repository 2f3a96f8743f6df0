#pragma once

#include <gtk/gtk.h>

#include "platform/Windows.h"
#include "platform/gtk/GtkApplicationMenuBar.h"
#include "platform/gtk/GtkWebView.h"

namespace qn {

// A GtkWindow whose client area is the content area; the window manager draws the frame. The
// content area holds the application's menu bar, when one is given, above the web view.
class GtkMainWindow final : public MainWindow {
 public:
  GtkMainWindow(Size contentSize, GtkApplicationMenuBar* menuBar);
  ~GtkMainWindow() override;
  GtkMainWindow(const GtkMainWindow&) = delete;
  GtkMainWindow& operator=(const GtkMainWindow&) = delete;

  void center() override;
  void setTitle(const std::string& title) override;
  void setMinSize(Size size) override;
  void setBackground(Color color) override;
  WebView& createWebView(const WebViewConfig& config) override;
  void present() override;
  void hide() override;
  bool isVisible() const override;
  void minimize() override;
  void setActivationHandler(std::function<void()> handler) override;

  // The program's main window while one exists, for panels attached to it.
  static GtkWindow* mainWindow();

 private:
  static void onActiveChanged(GObject* window, gpointer property, gpointer self);

  GtkWidget* window_;
  GtkWidget* content_;
  GtkApplicationMenuBar* menuBar_;
  GtkCssProvider* background_;
  std::function<void()> activated_;
  std::unique_ptr<GtkWebView> webView_;
};

}  // namespace qn
