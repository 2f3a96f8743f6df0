#include "shell/web/SpeechBridge.h"

#include "shell/ShellLang.h"
#include "shell/web/NavigationPolicy.h"

namespace qn {
namespace {

constexpr unsigned tapBufferFrames = 1024;

const char* authName(SpeechAuthorization status) {
  switch (status) {
    case SpeechAuthorization::NotDetermined:
      return "notDetermined";
    case SpeechAuthorization::Denied:
      return "denied";
    case SpeechAuthorization::Restricted:
      return "restricted";
    case SpeechAuthorization::Authorized:
      return "authorized";
    case SpeechAuthorization::Unknown:
      break;
  }
  return "unknown";
}

// The error codes the page receives and their texts, in the order of SpeechBridge::Error.
struct ErrorText {
  const char* code;
  const char* zh;
  const char* en;
};

constexpr ErrorText errorTexts[] = {
    {"denied", "没有语音识别权限，请到 系统设置 → 隐私与安全性 → 语音识别 里允许 QUENTRA",
     "No speech recognition permission. Allow QUENTRA in System Settings → Privacy & Security → "
     "Speech Recognition."},
    {"mic_denied", "没有麦克风权限，请到 系统设置 → 隐私与安全性 → 麦克风 里允许 QUENTRA",
     "No microphone permission. Allow QUENTRA in System Settings → Privacy & Security → "
     "Microphone."},
    {"unavailable", "这台 Mac 不支持该语言的本机听写",
     "On-device dictation for this language isn't available on this Mac."},
    {"failed", "麦克风启动失败：", "Couldn't start the microphone: "},
};

}  // namespace

// Wraps handler for a caller on any thread: each call is carried onto the main loop and dropped
// there once the bridge is gone. Only the loop and a weak handle are touched off the main thread.
template <typename Handler>
auto SpeechBridge::onMainLoop(Handler handler) {
  return [&loop = loop_, alive = std::weak_ptr<const bool>(alive_), handler](auto... args) {
    loop.post([alive, handler, args...] {
      if (alive.lock()) handler(args...);
    });
  };
}

SpeechBridge::SpeechBridge(MainLoop& loop, Speech& speech, WebView& webView)
    : loop_(loop), speech_(speech), webView_(webView), audioEngine_(speech.makeAudioCapture()) {}

SpeechBridge::~SpeechBridge() {
  cancel(true);
}

void SpeechBridge::didReceive(const std::string& bodyJson, const std::string& originHost) {
  if (!isLocalHost(originHost)) return;
  const auto body = nlohmann::json::parse(bodyJson, nullptr, false);
  if (!body.is_object()) return;
  const auto cmd = body.find("cmd");
  if (cmd == body.end() || !cmd->is_string()) return;
  const auto langField = body.find("lang");
  const std::string lang =
      langField != body.end() && langField->is_string() ? langField->get<std::string>() : "zh-CN";

  const auto& name = cmd->get_ref<const std::string&>();
  if (name == "status") {
    sendStatus(lang);
  } else if (name == "start") {
    start(lang);
  } else if (name == "stop") {
    stop();
  } else if (name == "cancel") {
    cancel(false);
  }
}

// Reads the state without prompting and without touching the dictation.
void SpeechBridge::sendStatus(const std::string& lang) {
  const auto recognizer = speech_.recognizer(lang);
  const bool onDevice = recognizer && recognizer->supportsOnDeviceRecognition();
  const bool available = recognizer && recognizer->isAvailable() && onDevice;
  emit({{"type", "status"},
        {"available", available},
        {"onDevice", onDevice},
        {"auth", authName(speech_.authorizationStatus())},
        {"lang", lang}});
}

void SpeechBridge::start(const std::string& lang) {
  cancel(true);
  phase_ = Phase::Authorising;
  speech_.requestAuthorization(
      onMainLoop([this, dictation = dictation_, lang](SpeechAuthorization status) {
        continueWithAuthorization(dictation, status, lang);
      }));
}

void SpeechBridge::continueWithAuthorization(uint64_t dictation, SpeechAuthorization status,
                                             const std::string& lang) {
  if (dictation != dictation_) return;
  if (status != SpeechAuthorization::Authorized) return fail(Error::Denied);
  speech_.requestMicrophoneAccess(onMainLoop(
      [this, dictation, lang](bool granted) { continueWithMicrophone(dictation, granted, lang); }));
}

void SpeechBridge::continueWithMicrophone(uint64_t dictation, bool granted,
                                          const std::string& lang) {
  if (dictation != dictation_) return;
  if (!granted) return fail(Error::MicDenied);
  beginRecognition(lang);
}

// Never falls back to recognition off the device.
void SpeechBridge::beginRecognition(const std::string& lang) {
  const auto recognizer = speech_.recognizer(lang);
  if (!recognizer || !recognizer->isAvailable() || !recognizer->supportsOnDeviceRecognition()) {
    return fail(Error::Unavailable);
  }
  request = recognizer->makeRequest({.shouldReportPartialResults = true,
                                     .requiresOnDeviceRecognition = true,
                                     .addsPunctuation = true});
  lastText.clear();
  finished = false;
  audioEngine_->removeTap();
  audioEngine_->installTap(tapBufferFrames, request);
  audioEngine_->prepare();
  if (const auto error = audioEngine_->start()) return fail(Error::Failed, *error);

  task = recognizer->recognitionTask(
      request, onMainLoop([this, dictation = dictation_](const RecognitionUpdate& update) {
        handleUpdate(dictation, update);
      }));
  phase_ = Phase::Listening;
  emit({{"type", "started"}});
}

void SpeechBridge::handleUpdate(uint64_t dictation, const RecognitionUpdate& update) {
  if (dictation != dictation_) return;
  if (update.result) {
    lastText = update.result->text;
    if (update.result->isFinal) {
      finish();
    } else {
      emit({{"type", "partial"}, {"text", lastText}});
    }
  } else if (update.error) {
    // The page gets what was heard so far.
    finish();
  }
}

// The task goes on: the recogniser normally sends its final result, and the deadline makes sure
// a "final" comes anyway. A "stop" while access is still being asked for abandons that start,
// and the page gets the "final" it waits for at once.
void SpeechBridge::stop() {
  switch (phase_) {
    case Phase::Authorising:
      cancel(false);
      break;
    case Phase::Listening:
      if (audioEngine_->isRunning()) audioEngine_->stop();
      audioEngine_->removeTap();
      request->endAudio();
      phase_ = Phase::Stopping;
      finishTimer_ = loop_.after(finishDeadlineSeconds, [this] { finish(); });
      break;
    case Phase::Idle:
    case Phase::Stopping:
      break;
  }
}

void SpeechBridge::finish() {
  if (finished) return;
  finished = true;
  endDictation();
  emit({{"type", "final"}, {"text", lastText}});
}

// The page's "cancel" always gets its empty "final", whatever was running.
void SpeechBridge::cancel(bool silent) {
  if (task) task->cancel();
  endDictation();
  finished = true;
  if (!silent) emit({{"type", "final"}, {"text", ""}});
}

void SpeechBridge::fail(Error error, const std::string& detail) {
  endDictation();
  const ErrorText& text = errorTexts[static_cast<int>(error)];
  emit({{"type", "error"},
        {"code", text.code},
        {"message", ShellLang::t(text.zh + detail, text.en + detail)}});
}

void SpeechBridge::endDictation() {
  ++dictation_;
  phase_ = Phase::Idle;
  finishTimer_.cancel();
  if (audioEngine_->isRunning()) audioEngine_->stop();
  audioEngine_->removeTap();
  task.reset();
  request.reset();
}

// Always a later turn of the main loop, never inside the command that caused it. Text that is
// not valid UTF-8 is sent with replacement characters.
void SpeechBridge::emit(const nlohmann::json& event) {
  const std::string script = "window.__qnSpeechEvent && window.__qnSpeechEvent(" +
                             event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) +
                             ");";
  onMainLoop([this, script] { webView_.evaluateJavaScript(script); })();
}

}  // namespace qn
