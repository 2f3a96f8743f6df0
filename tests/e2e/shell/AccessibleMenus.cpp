#include "tests/e2e/shell/AccessibleMenus.h"

#include <atspi/atspi.h>
#include <gio/gio.h>
#include <signal.h>

#include <functional>

#include "tests/support/TestSupport.h"

namespace qn::test {
namespace {

std::string nameOf(AtspiAccessible* accessible) {
  gchar* name = atspi_accessible_get_name(accessible, nullptr);
  std::string result = name ? name : "";
  g_free(name);
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

// The application with the process id, read afresh (no cached names or children).
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

// Calls visit for every accessible of the role under root, down to the depth; the web page's
// own tree is never entered, it is deep and has no menus.
void forEachOfRole(AtspiAccessible* root, AtspiRole role, int depth,
                   const std::function<void(AtspiAccessible*)>& visit) {
  if (depth < 0) return;
  for (AtspiAccessible* child : childrenOf(root)) {
    const AtspiRole childRole = atspi_accessible_get_role(child, nullptr);
    if (childRole == role) {
      visit(child);
    } else if (childRole != ATSPI_ROLE_DOCUMENT_WEB && childRole != ATSPI_ROLE_MENU) {
      forEachOfRole(child, role, depth - 1, visit);
    }
    g_object_unref(child);
  }
}

bool isEnabled(AtspiAccessible* accessible) {
  AtspiStateSet* states = atspi_accessible_get_state_set(accessible);
  const bool enabled = atspi_state_set_contains(states, ATSPI_STATE_ENABLED);
  g_object_unref(states);
  return enabled;
}

// GTK announces "mnemonic;path;accelerator"; the accelerator is the last part.
std::string keyOf(AtspiAccessible* accessible) {
  AtspiAction* action = atspi_accessible_get_action_iface(accessible);
  if (!action) return {};
  gchar* binding = atspi_action_get_key_binding(action, 0, nullptr);
  std::string text = binding ? binding : "";
  g_free(binding);
  g_object_unref(action);
  const size_t last = text.rfind(';');
  return last == std::string::npos ? text : text.substr(last + 1);
}

// Calls visit with each menu of the menu bar and its items.
void forEachItem(int pid, const std::function<void(const std::string&, AtspiAccessible*)>& visit) {
  AtspiAccessible* app = applicationOf(pid);
  if (!app) return;
  forEachOfRole(app, ATSPI_ROLE_MENU_BAR, 4, [&](AtspiAccessible* bar) {
    for (AtspiAccessible* menu : childrenOf(bar)) {
      const std::string title = nameOf(menu);
      const std::vector<AtspiAccessible*> items = childrenOf(menu);
      for (AtspiAccessible* item : items) visit(title, item);
      release(items);
      g_object_unref(menu);
    }
  });
  g_object_unref(app);
}

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

std::vector<AccessibleItem> menuBarItems(int pid) {
  std::vector<AccessibleItem> items;
  forEachItem(pid, [&](const std::string& menu, AtspiAccessible* item) {
    const bool separator = atspi_accessible_get_role(item, nullptr) == ATSPI_ROLE_SEPARATOR;
    items.push_back({menu, separator ? "" : nameOf(item), separator || isEnabled(item),
                     separator ? "" : keyOf(item)});
  });
  return items;
}

bool activateMenuItem(int pid, const std::string& menu, const std::string& name) {
  bool done = false;
  forEachItem(pid, [&](const std::string& title, AtspiAccessible* item) {
    if (done || title != menu || nameOf(item) != name) return;
    AtspiAction* action = atspi_accessible_get_action_iface(item);
    done = action && atspi_action_do_action(action, 0, nullptr);
    if (action) g_object_unref(action);
  });
  return done;
}

std::vector<std::string> dialogTexts(int pid) {
  std::vector<std::string> texts;
  AtspiAccessible* app = applicationOf(pid);
  if (!app) return texts;
  for (const AtspiRole role : {ATSPI_ROLE_ALERT, ATSPI_ROLE_DIALOG}) {
    forEachOfRole(app, role, 1, [&](AtspiAccessible* dialog) {
      forEachOfRole(dialog, ATSPI_ROLE_LABEL, 6,
                    [&](AtspiAccessible* label) { texts.push_back(nameOf(label)); });
    });
  }
  g_object_unref(app);
  return texts;
}

}  // namespace qn::test
