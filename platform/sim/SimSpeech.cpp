#include "platform/sim/SimSpeech.h"

#include <utility>

namespace qn {
namespace {

class SimTask final : public RecognitionTask {
 public:
  SimTask(std::vector<SimSpeech::Task>& tasks, size_t index) : tasks_(tasks), index_(index) {}
  void cancel() override { tasks_[index_].cancelled = true; }

 private:
  std::vector<SimSpeech::Task>& tasks_;
  size_t index_;
};

class SimRecognizer final : public SpeechRecognizer {
 public:
  SimRecognizer(std::vector<SimSpeech::Task>& tasks, std::string locale, SimSpeech::Locale traits)
      : tasks_(tasks), locale_(std::move(locale)), traits_(traits) {}
  bool isAvailable() const override { return traits_.available; }
  bool supportsOnDeviceRecognition() const override { return traits_.onDevice; }
  std::shared_ptr<RecognitionRequest> makeRequest(const RecognitionOptions& options) override {
    return std::make_shared<SimSpeech::Request>(options);
  }
  std::unique_ptr<RecognitionTask> recognitionTask(
      std::shared_ptr<RecognitionRequest> request,
      std::function<void(RecognitionUpdate)> handler) override {
    tasks_.push_back({locale_, std::static_pointer_cast<SimSpeech::Request>(std::move(request)),
                      std::move(handler)});
    return std::make_unique<SimTask>(tasks_, tasks_.size() - 1);
  }

 private:
  std::vector<SimSpeech::Task>& tasks_;
  std::string locale_;
  SimSpeech::Locale traits_;
};

class SimCapture final : public AudioCapture {
 public:
  explicit SimCapture(SimSpeech::Microphone& microphone) : microphone_(microphone) {}
  void installTap(unsigned bufferFrames, std::shared_ptr<RecognitionRequest> request) override {
    microphone_.tapBufferFrames = bufferFrames;
    microphone_.tap = std::move(request);
  }
  void removeTap() override { microphone_.tap.reset(); }
  void prepare() override { ++microphone_.prepareCount; }
  std::optional<std::string> start() override {
    ++microphone_.startCount;
    if (microphone_.startError) return microphone_.startError;
    microphone_.running = true;
    return std::nullopt;
  }
  void stop() override { microphone_.running = false; }
  bool isRunning() const override { return microphone_.running; }

 private:
  SimSpeech::Microphone& microphone_;
};

}  // namespace

std::unique_ptr<SpeechRecognizer> SimSpeech::recognizer(const std::string& locale) {
  const auto found = locales.find(locale);
  if (found == locales.end()) return nullptr;
  return std::make_unique<SimRecognizer>(tasks, locale, found->second);
}

void SimSpeech::requestAuthorization(std::function<void(SpeechAuthorization)> done) {
  ++authorizationRequests;
  if (holdAuthorization) {
    heldAuthorization_.push_back(std::move(done));
  } else {
    answerAuthorization(done);
  }
}

// The user is asked only while nothing is determined; the answer then sticks.
void SimSpeech::answerAuthorization(const std::function<void(SpeechAuthorization)>& done) {
  if (status == SpeechAuthorization::NotDetermined) status = authorizationAnswer;
  done(status);
}

void SimSpeech::requestMicrophoneAccess(std::function<void(bool granted)> done) {
  ++microphoneRequests;
  if (holdMicrophoneAccess) {
    heldMicrophoneAccess_.push_back(std::move(done));
  } else {
    done(microphoneGranted);
  }
}

void SimSpeech::deliverAuthorization() {
  for (const auto& done : std::exchange(heldAuthorization_, {})) answerAuthorization(done);
}

void SimSpeech::deliverMicrophoneAccess() {
  for (const auto& done : std::exchange(heldMicrophoneAccess_, {})) done(microphoneGranted);
}

std::unique_ptr<AudioCapture> SimSpeech::makeAudioCapture() {
  return std::make_unique<SimCapture>(microphone);
}

// A test that names no existing task fails with out_of_range.
void SimSpeech::deliver(RecognitionUpdate update, std::optional<size_t> task) {
  tasks.at(task.value_or(tasks.size() - 1)).handler(std::move(update));
}

}  // namespace qn
