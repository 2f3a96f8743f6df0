#pragma once

#include "platform/WebView.h"

namespace qn {

// Tunes the main web view's configuration before the web view is created.
class QNWebPolicy {
 public:
  QNWebPolicy() = delete;
  // Keeps the page running, throttled rather than suspended, while the window is hidden.
  static void applyMainWindow(WebViewConfig& config) { config.throttleWhenInactive = true; }
};

}  // namespace qn
