#pragma once

#include <string>

#include "platform/WebView.h"

namespace qn {

// Tunes the main web view's configuration before the web view is created.
class QNWebPolicy {
 public:
  QNWebPolicy() = delete;
  // Keeps the page running, throttled rather than suspended, while the window is hidden.
  static void applyMainWindow(WebViewConfig& config) { config.throttleWhenInactive = true; }
  // A local origin's host, whatever its port: the service's page, never a site on the network.
  static bool isLocalHost(const std::string& host) {
    return host == "127.0.0.1" || host == "localhost";
  }
};

}  // namespace qn
