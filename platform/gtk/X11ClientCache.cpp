// X11ClientCache: the managed windows as the X server's events describe them.
//   [x] client list (_NET_CLIENT_LIST), owner (_NET_WM_PID), iconified (_NET_WM_STATE_HIDDEN),
//       title (_NET_WM_NAME, WM_NAME), active window (_NET_ACTIVE_WINDOW), each read once and then
//       on its PropertyNotify
//   [x] activation of another application's window, an application showing again, a new
//       client process
//   [ ] windows without _NET_WM_PID belong to no application (xmessage, some old clients)

#include "platform/gtk/X11ClientCache.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <set>

#include "platform/gtk/X11Clients.h"

namespace qn::x11 {

namespace {

Display* display() {
  GdkDisplay* gdk = gdk_display_get_default();
  return gdk != nullptr && GDK_IS_X11_DISPLAY(gdk) ? GDK_DISPLAY_XDISPLAY(gdk) : nullptr;
}

// Adds the events to what this connection already selects on the window, so the toolkit's
// own selection stays.
void addEventMask(Window window, long mask) {
  Display* d = display();
  XWindowAttributes attributes;
  gdk_x11_display_error_trap_push(gdk_display_get_default());
  if (XGetWindowAttributes(d, window, &attributes) != 0)
    XSelectInput(d, window, attributes.your_event_mask | mask);
  gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
}

}  // namespace

ClientCache* ClientCache::instance() {
  static ClientCache* cache = display() != nullptr ? new ClientCache : nullptr;
  return cache;
}

ClientCache::ClientCache() {
  addEventMask(DefaultRootWindow(display()), PropertyChangeMask);
  gdk_window_add_filter(nullptr, reinterpret_cast<GdkFilterFunc>(&ClientCache::filter), this);
  refreshClients();
  refreshActive();
}

int ClientCache::filter(void* xevent, void*, void* self) {
  auto& cache = *static_cast<ClientCache*>(self);
  const auto& event = *static_cast<XEvent*>(xevent);
  if (event.type != PropertyNotify) return GDK_FILTER_CONTINUE;
  const Atom property = event.xproperty.atom;
  Display* d = display();
  if (event.xproperty.window == DefaultRootWindow(d)) {
    if (property == XInternAtom(d, "_NET_CLIENT_LIST", False)) cache.refreshClients();
    if (property == XInternAtom(d, "_NET_ACTIVE_WINDOW", False)) cache.refreshActive();
  } else if (cache.clients_.count(event.xproperty.window) != 0 &&
             (property == XInternAtom(d, "_NET_WM_STATE", False) ||
              property == XInternAtom(d, "_NET_WM_PID", False) ||
              property == XInternAtom(d, "_NET_WM_NAME", False) || property == XA_WM_NAME)) {
    cache.refreshState(event.xproperty.window);
  }
  return GDK_FILTER_CONTINUE;
}

void ClientCache::refreshClients() {
  const auto list = clientsBottomToTop();
  const std::set<unsigned long> now(list.begin(), list.end());
  std::erase_if(clients_, [&](const auto& entry) { return now.count(entry.first) == 0; });
  for (unsigned long window : list) {
    if (clients_.count(window) != 0) continue;
    addEventMask(window, PropertyChangeMask);
    clients_[window] = {};
    refreshState(window);
  }
  noticeUnhidden();
}

void ClientCache::refreshState(unsigned long window) {
  Client& client = clients_[window];
  const pid_t before = client.pid;
  client.pid = windowPid(window).value_or(0);
  client.hidden = x11::isHidden(window);
  client.title = x11::title(window);
  if (client.pid != 0 && client.pid != before && onNewClient &&
      std::count_if(clients_.begin(), clients_.end(),
                    [&](const auto& entry) { return entry.second.pid == client.pid; }) == 1)
    onNewClient(client.pid);
  noticeUnhidden();
}

void ClientCache::refreshActive() {
  active_ = x11::activeWindow().value_or(0);
  const auto known = clients_.find(active_);
  const pid_t pid = active_ == 0              ? 0
                    : known != clients_.end() ? known->second.pid
                                              : windowPid(active_).value_or(0);
  const bool changed = pid != activePid_;
  activePid_ = pid;
  if (pid != 0 && pid == intruder_ && g_get_monotonic_time() < holdUntilMicros_) {
    requestActivate(heldWindow_);
    flush();
  }
  if (changed && pid != 0 && onActivate) onActivate(pid);
}

void ClientCache::noticeUnhidden() {
  std::map<pid_t, bool> hidden;
  for (const auto& [window, client] : clients_) {
    if (client.pid == 0) continue;
    auto [entry, fresh] = hidden.emplace(client.pid, client.hidden);
    if (!fresh) entry->second = entry->second && client.hidden;
  }
  std::vector<pid_t> unhidden;
  for (const auto& [pid, isHiddenNow] : hidden) {
    const auto before = hiddenBefore_.find(pid);
    if (!isHiddenNow && before != hiddenBefore_.end() && before->second) unhidden.push_back(pid);
  }
  hiddenBefore_ = std::move(hidden);
  if (onUnhide)
    for (pid_t pid : unhidden) onUnhide(pid);
}

std::vector<unsigned long> ClientCache::windowsOf(pid_t pid) const {
  std::vector<unsigned long> windows;
  for (const auto& [window, client] : clients_)
    if (client.pid == pid) windows.push_back(window);
  return windows;
}

void ClientCache::holdFocus(unsigned long window, pid_t intruder, double seconds) {
  heldWindow_ = window;
  intruder_ = intruder;
  holdUntilMicros_ = g_get_monotonic_time() + static_cast<long long>(seconds * 1e6);
}

std::string ClientCache::title(unsigned long window) const {
  const auto entry = clients_.find(window);
  return entry != clients_.end() ? entry->second.title : std::string();
}

std::optional<pid_t> ClientCache::activePid() const {
  if (activePid_ == 0) return std::nullopt;
  return activePid_;
}

bool ClientCache::isHidden(pid_t pid) const {
  const auto entry = hiddenBefore_.find(pid);
  return entry != hiddenBefore_.end() && entry->second;
}

std::vector<pid_t> ClientCache::pids() const {
  std::vector<pid_t> list;
  for (const auto& [pid, hidden] : hiddenBefore_) list.push_back(pid);
  return list;
}

}  // namespace qn::x11
