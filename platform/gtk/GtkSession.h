#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>

#include "platform/Session.h"

namespace qn {

// A client of the desktop's session manager over D-Bus (org.gnome.SessionManager, which GNOME,
// MATE and Cinnamon provide), as GtkApplication registers one.
class GtkSession final : public Session {
 public:
  GtkSession() = default;
  ~GtkSession() override;
  GtkSession(const GtkSession&) = delete;
  GtkSession& operator=(const GtkSession&) = delete;

  void watchEnd(std::function<void()> ending) override;

 private:
  static void onBus(GObject*, GAsyncResult* result, gpointer self);
  static void onRegistered(GObject*, GAsyncResult* result, gpointer self);
  static void onClientSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                             const gchar* signal, GVariant*, gpointer self);
  // Tells the session manager the application is ready to end; waits for it to be delivered,
  // since the process may end right after.
  void respond();

  std::function<void()> ending_;
  GCancellable* cancellable_ = g_cancellable_new();
  GDBusConnection* bus_ = nullptr;
  std::string clientPath_;
  guint subscription_ = 0;
};

}  // namespace qn
