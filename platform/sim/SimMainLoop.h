#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/MainLoop.h"

namespace qn {

// A main loop on a virtual clock. Time moves only in advance(); posted calls run in
// runPending() and before each timer. Timers due at the same moment fire in scheduling order.
class SimMainLoop : public MainLoop {
 public:
  void post(std::function<void()> fn) override;
  Timer after(double seconds, std::function<void()> fn) override;
  Timer every(double seconds, std::function<void()> fn) override;
  double now() const override { return now_; }
  // Runs posted work until quit() or until nothing is left to do, without moving time.
  void run() override;
  void quit() override { quitRequested_ = true; }

  // Runs everything posted so far, including work posted while running.
  void runPending();
  // Moves the clock forward, firing due timers in time order, running posted work in between.
  void advance(double seconds);
  bool quitRequested() const { return quitRequested_; }
  size_t activeTimerCount() const { return timers_.size(); }

 private:
  struct Entry {
    std::function<void()> fn;
    bool cancelled = false;
  };
  struct Scheduled {
    double due;
    double interval;  // 0 for one-shot
    std::shared_ptr<Entry> entry;
  };
  Timer schedule(double delay, double interval, std::function<void()> fn);

  double now_ = 0;
  bool quitRequested_ = false;
  unsigned long long nextId_ = 0;
  // Ordered by due time, then by scheduling order.
  std::map<std::pair<double, unsigned long long>, Scheduled> timers_;
  std::mutex postedMutex_;
  std::vector<std::function<void()>> posted_;
};

}  // namespace qn
