#pragma once

// Reading other processes' controls the way assistive technologies do, through AT-SPI.
#include <atspi/atspi.h>

#include <memory>
#include <string>
#include <vector>

#include "base/ChildProcess.h"

namespace qn::test {

// The accessibility bus of the private desktop; applications started after it expose their
// widgets. Stopped when destroyed.
class AccessibilityBus {
 public:
  AccessibilityBus();
  ~AccessibilityBus();
  AccessibilityBus(const AccessibilityBus&) = delete;
  AccessibilityBus& operator=(const AccessibilityBus&) = delete;
  bool ready() const { return ready_; }

 private:
  std::shared_ptr<ChildProcess> launcher_;
  bool ready_ = false;
};

// The application with the process id, read afresh (no cached names or children); the caller
// unrefs it. Null when the process shows nothing.
AtspiAccessible* applicationOf(int pid);

std::string nameOf(AtspiAccessible* accessible);
bool hasState(AtspiAccessible* accessible, AtspiStateType state);

// The children, each to be unreffed (release does).
std::vector<AtspiAccessible*> childrenOf(AtspiAccessible* accessible);
void release(const std::vector<AtspiAccessible*>& accessibles);

}  // namespace qn::test
