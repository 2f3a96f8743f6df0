#pragma once

#include <gtk/gtk.h>

#include "platform/Windows.h"
#include "platform/gtk/GtkWebView.h"

namespace qn {

// A GtkWindow whose client area is the content area; the window manager draws the frame.
class GtkMainWindow final : public MainWindow {
 public:
  explicit GtkMainWindow(Size contentSize);
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

  // The program's main window while one exists, for panels attached to it.
  static GtkWindow* mainWindow();

 private:
  GtkWidget* window_;
  GtkCssProvider* background_;
  std::unique_ptr<GtkWebView> webView_;
};

}  // namespace qn
