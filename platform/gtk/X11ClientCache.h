#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qn::x11 {

// What the X server says about the managed windows, kept from its events instead of asked
// again: which windows there are and whose they are, which are iconified, which is active.
// Lives on the main loop of the toolkit's display; the events arrive as the loop reads them.
class ClientCache {
 public:
  // The cache of the toolkit's display; null when there is no X display.
  static ClientCache* instance();

  std::vector<unsigned long> windowsOf(pid_t pid) const;
  std::string title(unsigned long window) const;
  std::optional<pid_t> activePid() const;
  unsigned long activeWindow() const { return active_; }
  // For the next seconds, whenever a window of the process becomes active, the window is asked
  // back: the process may not keep the keyboard focus it takes.
  void holdFocus(unsigned long window, pid_t intruder, double seconds);
  // Has windows, and every one of them is iconified.
  bool isHidden(pid_t pid) const;
  std::vector<pid_t> pids() const;

  // Another application's window became the active one.
  std::function<void(pid_t)> onActivate;
  // An application none of whose windows showed has one showing again.
  std::function<void(pid_t)> onUnhide;
  // A process owns a managed window for the first time.
  std::function<void(pid_t)> onNewClient;

 private:
  struct Client {
    pid_t pid = 0;
    bool hidden = false;
    std::string title;
  };

  ClientCache();
  static int filter(void* xevent, void* event, void* self);
  void refreshClients();
  void refreshActive();
  void refreshState(unsigned long window);
  // Reports the applications that showed again since the last call.
  void noticeUnhidden();

  std::map<unsigned long, Client> clients_;
  std::map<pid_t, bool> hiddenBefore_;
  unsigned long active_ = 0;
  pid_t activePid_ = 0;
  unsigned long heldWindow_ = 0;
  pid_t intruder_ = 0;
  long long holdUntilMicros_ = 0;
};

}  // namespace qn::x11
