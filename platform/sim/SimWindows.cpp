#include "platform/sim/SimWindows.h"

namespace qn {

void SimWebView::loadURL(const std::string& u, double timeoutSeconds) {
  loads.push_back({Load::Kind::URL, u, timeoutSeconds});
}

void SimWebView::loadHTML(const std::string& html) {
  loads.push_back({Load::Kind::HTML, html, 0});
}

void SimWebView::finishLoad() {
  if (!loads.empty() && loads.back().kind != Load::Kind::Reload) {
    // A document loaded from a string has no base URL.
    url = loads.back().kind == Load::Kind::URL ? std::optional(loads.back().content)
                                               : std::optional<std::string>("about:blank");
  }
  if (delegate) delegate->didFinishNavigation();
}

WebView& SimMainWindow::createWebView(const WebViewConfig& config) {
  webView = std::make_unique<SimWebView>(config);
  return *webView;
}

void SimMainWindow::present() {
  visible = true;
  minimized = false;
  ++presentCount;
}

void SimMainWindow::activate() {
  present();
  if (activationHandler) activationHandler();
}

std::unique_ptr<MainWindow> SimWindows::createMainWindow(Size contentSize) {
  auto window = std::make_unique<SimMainWindow>(contentSize);
  window->menuBuildsBefore = bar.builds;
  created.push_back(window.get());
  return window;
}

}  // namespace qn
