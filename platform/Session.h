#pragma once

#include <functional>

namespace qn {

// The desktop session the application runs in.
class Session {
 public:
  virtual ~Session() = default;
  // Calls ending on the main thread when the session ends (log out, restart, shut down) and
  // asks the application to quit, or when the display has gone away with the session. After a
  // lost display the process cannot go on: ending must end it, or it ends when ending returns.
  // Call once.
  virtual void watchEnd(std::function<void()> ending) = 0;
};

}  // namespace qn
