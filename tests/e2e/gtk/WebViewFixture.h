#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/gtk/GtkWebView.h"
#include "tests/e2e/gtk/LoopbackHttpServer.h"
#include "tests/e2e/gtk/RecordingDelegate.h"
#include "tests/e2e/gtk/TestDesktop.h"

namespace qn::test {

// A shown main window with a web view that reports to a RecordingDelegate, and a loopback
// server for its pages. Pages call report(value) to hand a value back to the test.
class WebViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = desktop().windows().createMainWindow({800, 600});
    window->setTitle("QN web view test");
    WebViewConfig config;
    config.scriptMessageHandlers = {"qnSpeech", "probe"};
    view = &window->createWebView(config);
    view->setDelegate(&delegate);
    window->present();
  }

  void TearDown() override {
    if (view) view->setDelegate(nullptr);
  }

  static std::string page(const std::string& body) {
    return "<!doctype html><meta charset=utf-8><script>function report(v) {"
           " window.webkit.messageHandlers.probe.postMessage(v); }</script>" +
           body;
  }

  // Serves html at path, loads it and waits for the load to finish.
  void show(const std::string& path, const std::string& html) {
    server.serve(path, html);
    int before = delegate.finished;
    view->loadURL(server.url(path), 10);
    ASSERT_TRUE(spinUntil([&] { return delegate.finished > before; })) << path;
  }

  // The next message the page sent to handler; none when nothing came in time.
  std::optional<std::string> nextMessage(const std::string& handler = "probe",
                                         double seconds = 10) {
    std::optional<std::string> body;
    spinUntil(
        [&] {
          for (auto it = delegate.messages.begin(); it != delegate.messages.end(); ++it) {
            if (it->handler == handler) {
              body = it->body;
              delegate.messages.erase(it);
              return true;
            }
          }
          return false;
        },
        seconds);
    return body;
  }

  GtkWebView& gtkView() { return dynamic_cast<GtkWebView&>(*view); }

  LoopbackHttpServer server;
  RecordingDelegate delegate;
  std::unique_ptr<MainWindow> window;
  WebView* view = nullptr;
};

}  // namespace qn::test
