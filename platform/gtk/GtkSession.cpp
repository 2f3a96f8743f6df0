// GtkSession: qn::Session through the session manager's D-Bus interface.
//   [x] registers as a client of org.gnome.SessionManager, with the desktop's autostart id
//   [x] QueryEndSession: answered at once, the application is ready to end without asking
//   [x] EndSession and Stop: answered, then reported as the end of the session
//   [x] the display going away (the X server ends with the session): reported, then the
//       process ends, since no display call can succeed any more
//   [ ] XSMP (the X session protocol of other session managers): not spoken; there a logout
//       ends the shell by SIGTERM or by closing the display, which it treats alike
//   [ ] logind's PrepareForShutdown on the system bus: not watched (SIGTERM follows it)

#include "platform/gtk/GtkSession.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <unistd.h>

#include <cstdlib>

namespace qn {
namespace {

constexpr const char* kManager = "org.gnome.SessionManager";
constexpr const char* kClientInterface = "org.gnome.SessionManager.ClientPrivate";
// The name of the desktop entry the shell is installed with.
constexpr const char* kAppId = "quentra";

// Xlib calls this on the main thread from inside the display call that failed, and ends the
// process if it returns.
std::function<void()>* displayLost = nullptr;

int onDisplayLost(Display*) {
  if (displayLost && *displayLost) (*displayLost)();
  _exit(1);
}

}  // namespace

GtkSession::~GtkSession() {
  if (displayLost == &ending_) displayLost = nullptr;
  g_cancellable_cancel(cancellable_);
  g_object_unref(cancellable_);
  if (bus_ && subscription_) g_dbus_connection_signal_unsubscribe(bus_, subscription_);
  if (bus_) g_object_unref(bus_);
}

void GtkSession::watchEnd(std::function<void()> ending) {
  ending_ = std::move(ending);
  g_bus_get(G_BUS_TYPE_SESSION, cancellable_, onBus, this);
  // Replaces GDK's own handler, which only ends the process.
  if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
    displayLost = &ending_;
    XSetIOErrorHandler(onDisplayLost);
  }
}

void GtkSession::onBus(GObject*, GAsyncResult* result, gpointer data) {
  GDBusConnection* bus = g_bus_get_finish(result, nullptr);
  if (!bus) return;  // no session bus, or the session is gone
  auto* self = static_cast<GtkSession*>(data);
  self->bus_ = bus;
  // The id the session manager started this process with, if it did.
  const char* startupId = std::getenv("DESKTOP_AUTOSTART_ID");
  GVariant* arguments = g_variant_new("(ss)", kAppId, startupId ? startupId : "");
  g_dbus_connection_call(bus, kManager, "/org/gnome/SessionManager", kManager, "RegisterClient",
                         arguments, G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, -1,
                         self->cancellable_, onRegistered, self);
}

// Without a session manager on the bus the call fails and nothing is watched.
void GtkSession::onRegistered(GObject* bus, GAsyncResult* result, gpointer data) {
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, nullptr);
  if (!reply) return;
  auto* self = static_cast<GtkSession*>(data);
  const gchar* path = nullptr;
  g_variant_get(reply, "(&o)", &path);
  self->clientPath_ = path;
  g_variant_unref(reply);
  self->subscription_ = g_dbus_connection_signal_subscribe(
      self->bus_, kManager, kClientInterface, nullptr, self->clientPath_.c_str(), nullptr,
      G_DBUS_SIGNAL_FLAGS_NONE, onClientSignal, self, nullptr);
}

void GtkSession::onClientSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                const gchar* signal, GVariant*, gpointer data) {
  auto* self = static_cast<GtkSession*>(data);
  const std::string name = signal;
  if (name == "QueryEndSession") {
    self->respond();
  } else if (name == "EndSession" || name == "Stop") {
    if (name == "EndSession") self->respond();
    if (self->ending_) self->ending_();
  }
}

void GtkSession::respond() {
  GVariant* reply = g_dbus_connection_call_sync(
      bus_, kManager, clientPath_.c_str(), kClientInterface, "EndSessionResponse",
      g_variant_new("(bs)", TRUE, ""), nullptr, G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr);
  if (reply) g_variant_unref(reply);
}

}  // namespace qn
