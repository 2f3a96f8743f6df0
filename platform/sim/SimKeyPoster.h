#pragma once

#include <functional>
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
    if (onPost) onPost();
    return true;
  }
  void pause(double seconds) override {
    ++pauses;
    pausedSeconds += seconds;
  }

  bool failing = false;
  // Runs after each event is posted, e.g. to end the worker midway.
  std::function<void()> onPost;
  std::vector<std::pair<pid_t, KeyEvent>> posted;
  int pauses = 0;
  double pausedSeconds = 0;
};

}  // namespace qn
