// GtkSpeech: qn::Speech on the Linux desktop.
//   [x] recogniser look-up: none for any locale, since no on-device recogniser is wired in, so
//       status reports unavailable and a dictation ends in "unavailable" before any capture
//   [x] authorisation: "authorized" at once; the desktop has no speech permission to withhold
//   [x] microphone access: granted at once; the desktop has no per-application microphone
//       permission outside sandbox portals
//   [ ] an on-device recogniser (none is installed on this machine)
//   [ ] microphone capture: start reports that this desktop has none; never reached while no
//       recogniser exists

#include "platform/gtk/GtkSpeech.h"

namespace qn {
namespace {

class NoCapture final : public AudioCapture {
 public:
  void installTap(unsigned, std::shared_ptr<RecognitionRequest>) override {}
  void removeTap() override {}
  void prepare() override {}
  std::optional<std::string> start() override { return "no audio capture on this desktop"; }
  void stop() override {}
  bool isRunning() const override { return false; }
};

}  // namespace

std::unique_ptr<SpeechRecognizer> GtkSpeech::recognizer(const std::string&) {
  return nullptr;
}

SpeechAuthorization GtkSpeech::authorizationStatus() const {
  return SpeechAuthorization::Authorized;
}

void GtkSpeech::requestAuthorization(std::function<void(SpeechAuthorization)> done) {
  done(SpeechAuthorization::Authorized);
}

void GtkSpeech::requestMicrophoneAccess(std::function<void(bool)> done) {
  done(true);
}

std::unique_ptr<AudioCapture> GtkSpeech::makeAudioCapture() {
  return std::make_unique<NoCapture>();
}

}  // namespace qn
