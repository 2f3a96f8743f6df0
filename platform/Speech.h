#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qn {

// The speech-recognition authorisation of the application, as the system reports it.
enum class SpeechAuthorization { NotDetermined, Denied, Restricted, Authorized, Unknown };

struct RecognitionOptions {
  bool shouldReportPartialResults = false;
  bool requiresOnDeviceRecognition = false;
  bool addsPunctuation = false;
};

// One dictation's audio on its way to the recogniser.
class RecognitionRequest {
 public:
  virtual ~RecognitionRequest() = default;
  // No more audio follows; the recogniser finishes with what it has.
  virtual void endAudio() = 0;
};

// One callback of a recognition task: a result, an error, or (rarely) neither.
struct RecognitionUpdate {
  struct Result {
    std::string text;  // the best transcription so far
    bool isFinal = false;
  };
  std::optional<Result> result;
  std::optional<std::string> error;  // the system's description
};

class RecognitionTask {
 public:
  virtual ~RecognitionTask() = default;
  virtual void cancel() = 0;
};

// A recogniser for one locale.
class SpeechRecognizer {
 public:
  virtual ~SpeechRecognizer() = default;
  virtual bool isAvailable() const = 0;
  virtual bool supportsOnDeviceRecognition() const = 0;
  virtual std::shared_ptr<RecognitionRequest> makeRequest(const RecognitionOptions& options) = 0;
  // The handler may be called on any thread, any number of times, also after the task was
  // dropped or cancelled. Dropping the task, its request or the recogniser does not cancel it.
  virtual std::unique_ptr<RecognitionTask> recognitionTask(
      std::shared_ptr<RecognitionRequest> request,
      std::function<void(RecognitionUpdate)> handler) = 0;
};

// The microphone input. Main thread only; the captured audio itself flows on the backend's own
// audio thread straight into the tapped request.
class AudioCapture {
 public:
  virtual ~AudioCapture() = default;
  // Replaces any tap: buffers of bufferFrames frames, in the input's own format, go to request.
  virtual void installTap(unsigned bufferFrames, std::shared_ptr<RecognitionRequest> request) = 0;
  virtual void removeTap() = 0;
  virtual void prepare() = 0;
  // None on success, else the system's description of the failure.
  virtual std::optional<std::string> start() = 0;
  virtual void stop() = 0;
  virtual bool isRunning() const = 0;
};

// The system's speech recognition and microphone access. Answers to requests may arrive on any
// thread.
class Speech {
 public:
  virtual ~Speech() = default;
  // None when the system has no recogniser for the locale identifier.
  virtual std::unique_ptr<SpeechRecognizer> recognizer(const std::string& locale) = 0;
  // Reads the status without asking the user.
  virtual SpeechAuthorization authorizationStatus() const = 0;
  virtual void requestAuthorization(std::function<void(SpeechAuthorization)> done) = 0;
  virtual void requestMicrophoneAccess(std::function<void(bool granted)> done) = 0;
  virtual std::unique_ptr<AudioCapture> makeAudioCapture() = 0;
};

}  // namespace qn
