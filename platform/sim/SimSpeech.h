#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Speech.h"

namespace qn {

// A scriptable recogniser and microphone. Answers come at once unless held; recognition results
// come only when a test delivers them.
class SimSpeech : public Speech {
 public:
  struct Locale {
    bool available = true;
    bool onDevice = true;
  };

  struct Request : RecognitionRequest {
    explicit Request(RecognitionOptions options) : options(options) {}
    void endAudio() override { ++endAudioCount; }
    RecognitionOptions options;
    int endAudioCount = 0;
  };

  // Every recognition task started, kept after it ends so late results can still be delivered.
  struct Task {
    std::string locale;
    std::shared_ptr<Request> request;
    std::function<void(RecognitionUpdate)> handler;
    bool cancelled = false;
  };

  // The one microphone, shared by every capture made.
  struct Microphone {
    bool running = false;
    std::shared_ptr<RecognitionRequest> tap;  // the request being fed; none without a tap
    unsigned tapBufferFrames = 0;
    int prepareCount = 0;
    int startCount = 0;
    std::optional<std::string> startError;  // makes start fail with this description
  };

  std::unique_ptr<SpeechRecognizer> recognizer(const std::string& locale) override;
  SpeechAuthorization authorizationStatus() const override { return status; }
  void requestAuthorization(std::function<void(SpeechAuthorization)> done) override;
  void requestMicrophoneAccess(std::function<void(bool granted)> done) override;
  std::unique_ptr<AudioCapture> makeAudioCapture() override;

  // Answers the held requests, in the order they were made.
  void deliverAuthorization();
  void deliverMicrophoneAccess();

  // Hands a result or an error to a task's handler; the latest task when none is named.
  void deliver(RecognitionUpdate update, std::optional<size_t> task = std::nullopt);
  void deliverPartial(const std::string& text, std::optional<size_t> task = std::nullopt) {
    deliver({{{text, false}}, std::nullopt}, task);
  }
  void deliverFinal(const std::string& text, std::optional<size_t> task = std::nullopt) {
    deliver({{{text, true}}, std::nullopt}, task);
  }
  void deliverError(const std::string& description, std::optional<size_t> task = std::nullopt) {
    deliver({std::nullopt, description}, task);
  }

  // Locales with a recogniser; any other has none.
  std::map<std::string, Locale> locales;
  // A request while not determined asks the user, who gives authorizationAnswer.
  SpeechAuthorization status = SpeechAuthorization::Authorized;
  SpeechAuthorization authorizationAnswer = SpeechAuthorization::Authorized;
  bool microphoneGranted = true;
  // Keep the answers until delivered, as a user slow to answer a prompt does.
  bool holdAuthorization = false;
  bool holdMicrophoneAccess = false;
  int authorizationRequests = 0;
  int microphoneRequests = 0;

  std::vector<Task> tasks;
  Microphone microphone;

 private:
  void answerAuthorization(const std::function<void(SpeechAuthorization)>& done);

  std::vector<std::function<void(SpeechAuthorization)>> heldAuthorization_;
  std::vector<std::function<void(bool)>> heldMicrophoneAccess_;
};

}  // namespace qn
