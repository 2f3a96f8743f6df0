#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Windows.h"
#include "platform/sim/SimMenuBar.h"

namespace qn {

// Records what the program asked of its web view.
class SimWebView : public WebView {
 public:
  struct Load {
    enum class Kind { URL, HTML, Reload } kind;
    std::string content;  // the URL or the document
    double timeoutSeconds = 0;
  };

  explicit SimWebView(WebViewConfig config) : config(std::move(config)) {}
  void setDelegate(WebViewDelegate* d) override { delegate = d; }
  void loadURL(const std::string& url, double timeoutSeconds) override;
  void loadHTML(const std::string& html) override;
  void reload() override { loads.push_back({Load::Kind::Reload, {}, 0}); }
  void warmUp(const std::string& u) override { warmUps.push_back(u); }
  std::optional<std::string> currentURL() const override { return url; }
  void evaluateJavaScript(const std::string& script) override { scripts.push_back(script); }
  void executeEditingCommand(EditingCommand command) override {
    editingCommands.push_back(command);
  }

  // Finishes the last load as the engine would: sets the current URL, tells the delegate.
  void finishLoad();

  WebViewConfig config;
  WebViewDelegate* delegate = nullptr;
  std::vector<Load> loads;
  std::vector<std::string> warmUps;
  std::vector<std::string> scripts;
  std::vector<EditingCommand> editingCommands;
  std::optional<std::string> url;
};

class SimMainWindow : public MainWindow {
 public:
  explicit SimMainWindow(Size contentSize) : contentSize(contentSize) {}
  void center() override { centered = true; }
  void setTitle(const std::string& t) override { title = t; }
  void setMinSize(Size size) override { minSize = size; }
  void setBackground(Color color) override { background = color; }
  WebView& createWebView(const WebViewConfig& config) override;
  void present() override;
  void hide() override { visible = false; }
  bool isVisible() const override { return visible; }
  void minimize() override {
    visible = false;
    minimized = true;
  }
  void setActivationHandler(std::function<void()> handler) override {
    activationHandler = std::move(handler);
  }

  // The user brings the window to the front: it becomes active.
  void activate();

  Size contentSize;
  bool centered = false;
  std::string title;
  std::optional<Size> minSize;
  std::optional<Color> background;
  std::unique_ptr<SimWebView> webView;
  bool visible = false;
  bool minimized = false;
  int presentCount = 0;
  // How many times the menu bar had been set when the window was created.
  int menuBuildsBefore = 0;
  std::function<void()> activationHandler;
};

class SimWindows : public Windows {
 public:
  std::unique_ptr<MainWindow> createMainWindow(Size contentSize) override;
  MenuBar& menuBar() override { return bar; }
  // The windows created so far; owned by the program.
  std::vector<SimMainWindow*> created;
  SimMenuBar bar;
};

}  // namespace qn
