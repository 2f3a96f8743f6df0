#pragma once

#include "platform/Speech.h"

namespace qn {

// Speech on this Linux desktop, reported as it is: no recogniser is installed.
class GtkSpeech final : public Speech {
 public:
  std::unique_ptr<SpeechRecognizer> recognizer(const std::string& locale) override;
  SpeechAuthorization authorizationStatus() const override;
  void requestAuthorization(std::function<void(SpeechAuthorization)> done) override;
  void requestMicrophoneAccess(std::function<void(bool granted)> done) override;
  std::unique_ptr<AudioCapture> makeAudioCapture() override;
};

}  // namespace qn
