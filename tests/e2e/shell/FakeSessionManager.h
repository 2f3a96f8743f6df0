#pragma once

// A desktop session manager on the private session bus, speaking org.gnome.SessionManager as
// the desktop's own does, so that tests can end the session.
#include <gio/gio.h>

#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace qn::test {

class FakeSessionManager {
 public:
  // Owns the manager's name and serves on a thread of its own.
  FakeSessionManager();
  ~FakeSessionManager();
  FakeSessionManager(const FakeSessionManager&) = delete;
  FakeSessionManager& operator=(const FakeSessionManager&) = delete;

  bool ready();
  // The application ids that registered, in order.
  std::vector<std::string> registrations();
  // What the clients of the application answered to QueryEndSession and EndSession, in order:
  // true for ready to end.
  std::vector<bool> responsesFrom(const std::string& appId);
  // Sends "QueryEndSession", "EndSession" (both with no flags) or "Stop" to every client.
  void send(const std::string& signal);

 private:
  static void onMethod(GDBusConnection*, const gchar*, const gchar* path, const gchar*,
                       const gchar* method, GVariant* parameters, GDBusMethodInvocation*,
                       gpointer self);
  static const GDBusInterfaceVTable& vtable();
  void serve();

  std::mutex mutex_;
  bool owned_ = false;
  GDBusNodeInfo* interfaces_ = nullptr;
  // Client object paths and their application ids, in the order they registered.
  std::vector<std::pair<std::string, std::string>> clients_;
  std::vector<std::pair<std::string, bool>> responses_;
  GMainContext* context_ = g_main_context_new();
  GMainLoop* loop_ = g_main_loop_new(context_, FALSE);
  GDBusConnection* bus_ = nullptr;
  std::thread thread_;
};

}  // namespace qn::test
