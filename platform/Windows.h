#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Geometry.h"
#include "platform/MenuBar.h"
#include "platform/WebView.h"

namespace qn {

// The application's main window: titled, closable, miniaturizable and resizable. Its close
// button hides it; the window and its web view stay alive for a later present().
class MainWindow {
 public:
  virtual ~MainWindow() = default;
  virtual void center() = 0;
  virtual void setTitle(const std::string& title) = 0;
  virtual void setMinSize(Size size) = 0;
  virtual void setBackground(Color color) = 0;
  // Creates the web view filling the content area and following its size.
  virtual WebView& createWebView(const WebViewConfig& config) = 0;
  // Makes the window key, orders it front and activates the application.
  virtual void present() = 0;
  virtual void hide() = 0;
  virtual bool isVisible() const = 0;
  // Iconifies the window; present() brings it back.
  virtual void minimize() = 0;
  // Called each time the window becomes the active window, as the application becomes active.
  virtual void setActivationHandler(std::function<void()> handler) = 0;
};

class Windows {
 public:
  virtual ~Windows() = default;
  virtual std::unique_ptr<MainWindow> createMainWindow(Size contentSize) = 0;
  // The application's menu bar; on this desktop the main window shows it above its content.
  virtual MenuBar& menuBar() = 0;
};

}  // namespace qn
