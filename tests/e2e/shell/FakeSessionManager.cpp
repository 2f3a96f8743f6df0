#include "tests/e2e/shell/FakeSessionManager.h"

#include "tests/support/TestSupport.h"

namespace qn::test {
namespace {

constexpr const char* kName = "org.gnome.SessionManager";
constexpr const char* kInterfaces = R"(<node>
  <interface name="org.gnome.SessionManager">
    <method name="RegisterClient">
      <arg type="s" name="app_id" direction="in"/>
      <arg type="s" name="client_startup_id" direction="in"/>
      <arg type="o" name="client_id" direction="out"/>
    </method>
  </interface>
  <interface name="org.gnome.SessionManager.ClientPrivate">
    <method name="EndSessionResponse">
      <arg type="b" name="is_ok" direction="in"/>
      <arg type="s" name="reason" direction="in"/>
    </method>
    <signal name="Stop"/>
    <signal name="QueryEndSession"><arg type="u" name="flags"/></signal>
    <signal name="EndSession"><arg type="u" name="flags"/></signal>
    <signal name="CancelEndSession"/>
  </interface>
</node>)";

}  // namespace

FakeSessionManager::FakeSessionManager() : thread_([this] { serve(); }) {}

FakeSessionManager::~FakeSessionManager() {
  g_main_loop_quit(loop_);
  g_main_context_wakeup(context_);
  thread_.join();
  if (bus_) g_object_unref(bus_);
  if (interfaces_) g_dbus_node_info_unref(interfaces_);
  g_main_loop_unref(loop_);
  g_main_context_unref(context_);
}

void FakeSessionManager::serve() {
  g_main_context_push_thread_default(context_);
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  GDBusConnection* bus =
      address ? g_dbus_connection_new_for_address_sync(
                    address,
                    GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                         G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                    nullptr, nullptr, nullptr)
              : nullptr;
  g_free(address);
  if (bus) {
    interfaces_ = g_dbus_node_info_new_for_xml(kInterfaces, nullptr);
    g_dbus_connection_register_object(bus, "/org/gnome/SessionManager", interfaces_->interfaces[0],
                                      &vtable(), this, nullptr, nullptr);
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
        g_variant_new("(su)", kName, 4u /* do not queue */), G_VARIANT_TYPE("(u)"),
        G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    guint32 result = 0;
    if (reply) {
      g_variant_get(reply, "(u)", &result);
      g_variant_unref(reply);
    }
    std::lock_guard lock(mutex_);
    bus_ = bus;
    owned_ = result == 1;  // the primary owner
  }
  g_main_loop_run(loop_);
  g_main_context_pop_thread_default(context_);
}

void FakeSessionManager::onMethod(GDBusConnection* bus, const gchar*, const gchar* path,
                                  const gchar*, const gchar* method, GVariant* parameters,
                                  GDBusMethodInvocation* invocation, gpointer data) {
  auto* self = static_cast<FakeSessionManager*>(data);
  std::lock_guard lock(self->mutex_);
  if (g_strcmp0(method, "RegisterClient") == 0) {
    const gchar* appId = nullptr;
    g_variant_get(parameters, "(&s&s)", &appId, nullptr);
    const std::string client =
        "/org/gnome/SessionManager/Client" + std::to_string(self->clients_.size() + 1);
    g_dbus_connection_register_object(bus, client.c_str(), self->interfaces_->interfaces[1],
                                      &vtable(), self, nullptr, nullptr);
    self->clients_.emplace_back(client, appId);
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", client.c_str()));
  } else {
    gboolean ok = FALSE;
    g_variant_get(parameters, "(b&s)", &ok, nullptr);
    for (const auto& [client, appId] : self->clients_) {
      if (client == path) self->responses_.emplace_back(appId, ok);
    }
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }
}

const GDBusInterfaceVTable& FakeSessionManager::vtable() {
  static const GDBusInterfaceVTable table{onMethod, nullptr, nullptr, {}};
  return table;
}

bool FakeSessionManager::ready() {
  return eventually(
      [&] {
        std::lock_guard lock(mutex_);
        return owned_;
      },
      10);
}

std::vector<std::string> FakeSessionManager::registrations() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> appIds;
  for (const auto& client : clients_) appIds.push_back(client.second);
  return appIds;
}

std::vector<bool> FakeSessionManager::responsesFrom(const std::string& appId) {
  std::lock_guard lock(mutex_);
  std::vector<bool> answers;
  for (const auto& [from, ok] : responses_) {
    if (from == appId) answers.push_back(ok);
  }
  return answers;
}

void FakeSessionManager::send(const std::string& signal) {
  GVariant* parameters = signal == "Stop" ? nullptr : g_variant_new("(u)", 0u);
  std::lock_guard lock(mutex_);
  if (parameters) g_variant_ref_sink(parameters);
  for (const auto& client : clients_) {
    g_dbus_connection_emit_signal(bus_, nullptr, client.first.c_str(),
                                  "org.gnome.SessionManager.ClientPrivate", signal.c_str(),
                                  parameters, nullptr);
  }
  if (parameters) g_variant_unref(parameters);
  g_dbus_connection_flush_sync(bus_, nullptr, nullptr);
}

}  // namespace qn::test
