#pragma once

#include <limits>
#include <map>
#include <utility>

#include "platform/InputTiming.h"
#include "platform/MainLoop.h"

namespace qn {

// Input the test says happened, dated on the loop's clock.
class SimInputTiming : public InputTiming {
 public:
  explicit SimInputTiming(const MainLoop& loop) : loop_(loop) {}
  double secondsSinceLastEvent(InputSourceState state, InputEventType type) override {
    const auto found = last_.find({state, type});
    if (found == last_.end()) return std::numeric_limits<double>::max();
    return loop_.now() - found->second;
  }
  // An event now, or seconds ago. Hardware input counts for both states, synthetic input only
  // for the combined one.
  void happened(InputEventType type, double secondsAgo = 0, bool hardware = true) {
    const double at = loop_.now() - secondsAgo;
    last_[{InputSourceState::CombinedSession, type}] = at;
    if (hardware) last_[{InputSourceState::HIDSystem, type}] = at;
  }

 private:
  const MainLoop& loop_;
  std::map<std::pair<InputSourceState, InputEventType>, double> last_;
};

}  // namespace qn
