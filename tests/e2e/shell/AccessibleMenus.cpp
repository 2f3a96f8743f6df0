#include "tests/e2e/shell/AccessibleMenus.h"

#include <functional>

namespace qn::test {
namespace {

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

}  // namespace

std::vector<AccessibleItem> menuBarItems(int pid) {
  std::vector<AccessibleItem> items;
  forEachItem(pid, [&](const std::string& menu, AtspiAccessible* item) {
    const bool separator = atspi_accessible_get_role(item, nullptr) == ATSPI_ROLE_SEPARATOR;
    items.push_back({menu, separator ? "" : nameOf(item),
                     separator || hasState(item, ATSPI_STATE_ENABLED),
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
