#pragma once

#include <utility>
#include <vector>

#include "platform/KeyPoster.h"

namespace qn {

// Records the events posted and the pauses between them; nothing sleeps.
class SimKeyPoster : public KeyPoster {
 public:
  bool post(pid_t pid, const KeyEvent& event) override {
    if (failing) return false;
    posted.emplace_back(pid, event);
    return true;
  }
  void pause(double seconds) override {
    ++pauses;
    pausedSeconds += seconds;
  }

  bool failing = false;
  std::vector<std::pair<pid_t, KeyEvent>> posted;
  int pauses = 0;
  double pausedSeconds = 0;
};

}  // namespace qn
