#include "tests/e2e/support/Accessibility.h"

#include <gio/gio.h>
#include <signal.h>

#include "tests/support/TestSupport.h"

namespace qn::test {
namespace {

// True once the launcher hands out the accessibility bus's address on the session bus.
bool busAnswers() {
  GDBusConnection* session = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!session) return false;
  GVariant* reply = g_dbus_connection_call_sync(
      session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", nullptr,
      G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, 1000, nullptr, nullptr);
  g_object_unref(session);
  if (reply) g_variant_unref(reply);
  return reply != nullptr;
}

}  // namespace

AccessibilityBus::AccessibilityBus() {
  SpawnOptions options;
  options.executable = "/usr/libexec/at-spi-bus-launcher";
  options.arguments = {"--launch-immediately"};
  launcher_ = ChildProcess::spawn(options, nullptr);
  ready_ = launcher_ && eventually([] { return busAnswers(); }, 10);
  if (ready_) ready_ = atspi_init() >= 0;
}

AccessibilityBus::~AccessibilityBus() {
  if (launcher_) {
    launcher_->sendSignal(SIGTERM);
    launcher_->waitForExit(5);
  }
}

AtspiAccessible* applicationOf(int pid) {
  AtspiAccessible* desktop = atspi_get_desktop(0);
  AtspiAccessible* found = nullptr;
  for (AtspiAccessible* app : childrenOf(desktop)) {
    if (!found && int(atspi_accessible_get_process_id(app, nullptr)) == pid) {
      found = app;
      atspi_accessible_clear_cache(found);
    } else {
      g_object_unref(app);
    }
  }
  g_object_unref(desktop);
  return found;
}

std::string nameOf(AtspiAccessible* accessible) {
  gchar* name = atspi_accessible_get_name(accessible, nullptr);
  std::string result = name ? name : "";
  g_free(name);
  return result;
}

bool hasState(AtspiAccessible* accessible, AtspiStateType state) {
  AtspiStateSet* states = atspi_accessible_get_state_set(accessible);
  const bool result = states && atspi_state_set_contains(states, state);
  if (states) g_object_unref(states);
  return result;
}

std::vector<AtspiAccessible*> childrenOf(AtspiAccessible* accessible) {
  std::vector<AtspiAccessible*> children;
  const gint count = atspi_accessible_get_child_count(accessible, nullptr);
  for (gint i = 0; i < count; ++i) {
    if (AtspiAccessible* child = atspi_accessible_get_child_at_index(accessible, i, nullptr)) {
      children.push_back(child);
    }
  }
  return children;
}

void release(const std::vector<AtspiAccessible*>& accessibles) {
  for (AtspiAccessible* accessible : accessibles) g_object_unref(accessible);
}

}  // namespace qn::test
