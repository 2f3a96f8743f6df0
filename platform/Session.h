#pragma once

#include <functional>

namespace qn {

// The desktop session the application runs in.
class Session {
 public:
  virtual ~Session() = default;
  // Calls ending on the main thread when the session ends (log out, restart, shut down) and
  // asks the application to quit. Call once.
  virtual void watchEnd(std::function<void()> ending) = 0;
};

}  // namespace qn
