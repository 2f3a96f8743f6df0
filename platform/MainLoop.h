#pragma once

#include <functional>
#include <memory>

namespace qn {

// A scheduled call. Cancelling is idempotent and safe on an empty or already fired timer.
class Timer {
 public:
  Timer() = default;
  explicit Timer(std::function<void()> cancel)
      : cancel_(std::make_shared<std::function<void()>>(std::move(cancel))) {}
  void cancel() {
    if (cancel_ && *cancel_) {
      auto fn = std::move(*cancel_);
      *cancel_ = nullptr;
      fn();
    }
  }

 private:
  std::shared_ptr<std::function<void()>> cancel_;
};

// The one way onto the main thread. Every program state change happens in calls made by the loop.
class MainLoop {
 public:
  virtual ~MainLoop() = default;
  // Queues fn to run on the main thread, after the current call returns. Safe from any thread.
  virtual void post(std::function<void()> fn) = 0;
  // Runs fn once, seconds from now (a negative delay counts as zero). Main thread only.
  virtual Timer after(double seconds, std::function<void()> fn) = 0;
  // Runs fn every interval; like a repeating run-loop timer, missed ticks are not made up.
  virtual Timer every(double seconds, std::function<void()> fn) = 0;
  // Monotonic seconds.
  virtual double now() const = 0;
  // Runs until quit() is called.
  virtual void run() = 0;
  virtual void quit() = 0;
};

}  // namespace qn
