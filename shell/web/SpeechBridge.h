#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/MainLoop.h"
#include "platform/Speech.h"
#include "platform/WebView.h"

namespace qn {

// The page's dictation bridge, reached through the "qnSpeech" script-message handler. It
// captures the microphone, feeds the on-device recogniser and reports back through
// window.__qnSpeechEvent. It shows nothing of its own; every outcome is an event to the page.
//
// Each dictation has a number. Every answer, result and timer carries the number of the
// dictation that asked for it and is dropped when that dictation is over, so nothing left from
// an earlier dictation can touch a later one.
class SpeechBridge {
 public:
  static constexpr const char* handlerName = "qnSpeech";
  // How long after "stop" the final text is sent at the latest.
  static constexpr double finishDeadlineSeconds = 3.0;

  // The bridge must not outlive the web view; the loop must outlive the bridge's callbacks.
  SpeechBridge(MainLoop& loop, Speech& speech, WebView& webView);
  ~SpeechBridge();
  SpeechBridge(const SpeechBridge&) = delete;
  SpeechBridge& operator=(const SpeechBridge&) = delete;

  // A message the page posted, with the host of its frame's security origin.
  void didReceive(const std::string& bodyJson, const std::string& originHost);

  // The current dictation's request and task; present from the start of capture to its end.
  std::shared_ptr<RecognitionRequest> request;
  std::unique_ptr<RecognitionTask> task;
  // The most recent transcription of the current dictation.
  std::string lastText;
  // True once the current dictation sent its "final" (or was cancelled).
  bool finished = false;

 private:
  enum class Phase { Idle, Authorising, Listening, Stopping };
  enum class Error { Denied, MicDenied, Unavailable, Failed };

  void sendStatus(const std::string& lang);
  void start(const std::string& lang);
  void continueWithAuthorization(uint64_t dictation, SpeechAuthorization status,
                                 const std::string& lang);
  void continueWithMicrophone(uint64_t dictation, bool granted, const std::string& lang);
  void beginRecognition(const std::string& lang);
  void handleUpdate(uint64_t dictation, const RecognitionUpdate& update);
  void stop();
  void finish();
  void cancel(bool silent);
  // Ends the dictation with an "error"; the detail follows the message.
  void fail(Error error, const std::string& detail = {});
  // Stops the microphone and forgets the dictation; its late callbacks are dropped from here on.
  void endDictation();

  void emit(const nlohmann::json& event);
  template <typename Handler>
  auto onMainLoop(Handler handler);

  MainLoop& loop_;
  Speech& speech_;
  WebView& webView_;
  std::unique_ptr<AudioCapture> audioEngine_;
  Phase phase_ = Phase::Idle;
  uint64_t dictation_ = 0;
  Timer finishTimer_;
  // Held weakly by everything queued, so queued work is dropped once the bridge is gone.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace qn
