#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include "platform/MainLoop.h"
#include "platform/WindowCapture.h"

namespace qn {

// Other applications' windows listed and pictured on a thread of their own with their own X
// connection; the answers go back through the main loop.
class GtkWindowCapture : public WindowCapture {
 public:
  explicit GtkWindowCapture(MainLoop& loop) : loop_(loop) {}
  ~GtkWindowCapture() override;
  GtkWindowCapture(const GtkWindowCapture&) = delete;
  GtkWindowCapture& operator=(const GtkWindowCapture&) = delete;

  void shareableWindows(
      std::function<void(std::optional<std::vector<ShareableWindow>>)> done) override;
  void captureWindow(const ShareableWindow& window, int pixelWidth, int pixelHeight,
                     std::function<void(ImageRef)> done) override;

 private:
  // Runs the job on the capture thread; false when there is no X display to open.
  bool run(std::function<void()> job);
  void work();
  std::optional<std::vector<ShareableWindow>> listWindows();
  ImageRef picture(unsigned long window, int pixelWidth, int pixelHeight);

  MainLoop& loop_;
  void* display_ = nullptr;
  bool opened_ = false;
  // Windows whose content the server keeps off screen for us, so a covered window can be
  // pictured.
  std::set<unsigned long> redirected_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace qn
