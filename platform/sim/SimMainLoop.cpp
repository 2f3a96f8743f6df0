#include "platform/sim/SimMainLoop.h"

#include <algorithm>

namespace qn {

void SimMainLoop::post(std::function<void()> fn) {
  std::lock_guard lock(postedMutex_);
  posted_.push_back(std::move(fn));
}

Timer SimMainLoop::after(double seconds, std::function<void()> fn) {
  return schedule(std::max(0.0, seconds), 0, std::move(fn));
}

Timer SimMainLoop::every(double seconds, std::function<void()> fn) {
  // A zero interval would fire forever at one instant; real loops also bound it.
  return schedule(std::max(0.001, seconds), std::max(0.001, seconds), std::move(fn));
}

Timer SimMainLoop::schedule(double delay, double interval, std::function<void()> fn) {
  const auto key = std::make_pair(now_ + delay, nextId_++);
  auto entry = std::make_shared<Entry>(Entry{std::move(fn)});
  timers_.emplace(key, Scheduled{key.first, interval, entry});
  // A repeating timer is rescheduled under a new key each time; find it by its entry.
  // The handle holds the entry weakly, so a callback that keeps its own handle makes no cycle.
  return Timer([this, weak = std::weak_ptr<Entry>(entry)] {
    const auto entry = weak.lock();
    if (!entry) return;
    entry->cancelled = true;
    std::erase_if(timers_, [&](const auto& item) { return item.second.entry == entry; });
  });
}

void SimMainLoop::run() {
  quitRequested_ = false;
  runPending();
}

void SimMainLoop::runPending() {
  while (true) {
    std::vector<std::function<void()>> batch;
    {
      std::lock_guard lock(postedMutex_);
      batch.swap(posted_);
    }
    if (batch.empty()) return;
    for (auto& fn : batch) fn();
  }
}

void SimMainLoop::advance(double seconds) {
  const double target = now_ + std::max(0.0, seconds);
  runPending();
  while (!timers_.empty() && timers_.begin()->first.first <= target + 1e-9) {
    auto node = timers_.extract(timers_.begin());
    Scheduled timer = std::move(node.mapped());
    now_ = std::max(now_, timer.due);
    if (timer.interval > 0) {
      const auto key = std::make_pair(timer.due + timer.interval, nextId_++);
      timers_.emplace(key, Scheduled{key.first, timer.interval, timer.entry});
    }
    // The entry stays alive while it runs, even if it cancels its own timer.
    if (!timer.entry->cancelled) timer.entry->fn();
    runPending();
  }
  now_ = target;
}

}  // namespace qn
