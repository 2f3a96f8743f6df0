#pragma once

#include <string>

#include "platform/WebView.h"

namespace qn {

// The page's dictation bridge, reached through the "qnSpeech" script-message handler. It holds
// the web view it answers; for now it accepts messages and starts no recognition.
class SpeechBridge {
 public:
  static constexpr const char* handlerName = "qnSpeech";

  explicit SpeechBridge(WebView& webView) : webView_(webView) {}
  void didReceive(const std::string& bodyJson);

 private:
  WebView& webView_;
};

}  // namespace qn
