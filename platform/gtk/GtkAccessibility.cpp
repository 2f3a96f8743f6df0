// GtkAccessibility: the accessibility vocabulary on AT-SPI 2 (libatspi) and the window manager.
//   [x] trusted: the accessibility bus answers and org.a11y.Status IsEnabled is true; asking with
//       the prompt turns IsEnabled on (toolkits started afterwards expose their trees)
//   [x] application element: the AT-SPI application with the process id
//   [x] "AXWindows": the application's frames and dialogs that are managed X clients of the
//       process (a browser's hidden popup frames are not); "AXMainWindow": the active one, else
//       the first
//   [x] "AXTitle", "AXSize", "AXPosition" (component extents in screen coordinates, the frame
//       included), "AXRole", "AXSubrole", "AXChildren" (at most kMaxChildren), "AXFocused",
//       "AXMain", "AXFocusedUIElement" (the focused element of the windows; in an inactive
//       window, which reports none, the element last given the focus through this port)
//   [x] roles: text area (multi-line), text field, combo box, search field (an entry whose
//       input type is search), web area; "password text" is the secure text field subrole
//   [x] "AXFocused" set on an element: AT-SPI grab-focus, and the keyboard focus is given back
//       to the window that had it when the toolkit activates the worker on the way
//   [x] "AXSize", "AXPosition" set and "AXRaise" on a window: window manager requests
//       (toolkits do not honour AT-SPI's set-extents on top-level windows); raising does not
//       activate
//   [ ] "AXMain", "AXFocused" set on a window: refused, as X11 cannot focus a window without
//       activating it
//   [ ] a browser started before accessibility was enabled stays invisible until it restarts

#include "platform/gtk/GtkAccessibility.h"

#include <atspi/atspi.h>
#include <gio/gio.h>
#include <signal.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <utility>

#include "platform/gtk/X11ClientCache.h"
#include "platform/gtk/X11Clients.h"

namespace qn {

namespace {

constexpr int kCallTimeoutMs = 500;
constexpr int kMaxChildren = 1000;
// The focus search outside Collection support, bounded like any tree walk here.
constexpr int kMaxSearched = 2000;
constexpr int kMaxSearchDepth = 12;
// How long a toolkit may take to activate its window after a focus grab, and the window
// manager to give the focus back.
constexpr gint64 kActivationWaitMicros = 300'000;

class AtspiElement : public AXElement {
 public:
  AtspiElement(AtspiAccessible* object, pid_t pid) : object(object), pid(pid) {}
  ~AtspiElement() override { g_object_unref(object); }
  AtspiElement(const AtspiElement&) = delete;
  AtspiElement& operator=(const AtspiElement&) = delete;
  AtspiAccessible* const object;
  const pid_t pid;
};

AtspiAccessible* objectOf(const AXRef& element) {
  const auto* e = dynamic_cast<const AtspiElement*>(element.get());
  return e != nullptr ? e->object : nullptr;
}

pid_t pidOf(const AXRef& element) {
  const auto* e = dynamic_cast<const AtspiElement*>(element.get());
  return e != nullptr ? e->pid : 0;
}

// Takes over the reference.
AXRef wrap(AtspiAccessible* object, pid_t pid) {
  if (object == nullptr) return nullptr;
  return std::make_shared<AtspiElement>(object, pid);
}

std::string takeString(gchar* text) {
  std::string result = text != nullptr ? text : "";
  g_free(text);
  return result;
}

bool hasState(AtspiAccessible* object, AtspiStateType state) {
  AtspiStateSet* states = atspi_accessible_get_state_set(object);
  const bool result = states != nullptr && atspi_state_set_contains(states, state);
  if (states != nullptr) g_object_unref(states);
  return result;
}

AtspiRole roleOf(AtspiAccessible* object) {
  return atspi_accessible_get_role(object, nullptr);
}

bool isWindowRole(AtspiRole role) {
  return role == ATSPI_ROLE_FRAME || role == ATSPI_ROLE_WINDOW || role == ATSPI_ROLE_DIALOG;
}

std::string attribute(AtspiAccessible* object, const char* name) {
  GHashTable* attributes = atspi_accessible_get_attributes(object, nullptr);
  if (attributes == nullptr) return {};
  const auto* value = static_cast<const char*>(g_hash_table_lookup(attributes, name));
  std::string result = value != nullptr ? value : "";
  g_hash_table_unref(attributes);
  return result;
}

std::string roleName(AtspiAccessible* object) {
  switch (roleOf(object)) {
    case ATSPI_ROLE_TEXT:
    case ATSPI_ROLE_ENTRY:
      if (hasState(object, ATSPI_STATE_MULTI_LINE)) return "AXTextArea";
      return attribute(object, "text-input-type") == "search" ? "AXSearchField" : "AXTextField";
    case ATSPI_ROLE_PASSWORD_TEXT:
      return "AXTextField";
    case ATSPI_ROLE_COMBO_BOX:
      return "AXComboBox";
    case ATSPI_ROLE_DOCUMENT_WEB:
      return "AXWebArea";
    case ATSPI_ROLE_FRAME:
    case ATSPI_ROLE_WINDOW:
    case ATSPI_ROLE_DIALOG:
      return "AXWindow";
    case ATSPI_ROLE_APPLICATION:
      return "AXApplication";
    case ATSPI_ROLE_PUSH_BUTTON:
      return "AXButton";
    case ATSPI_ROLE_PANEL:
    case ATSPI_ROLE_FILLER:
      return "AXGroup";
    case ATSPI_ROLE_LABEL:
    case ATSPI_ROLE_STATIC:
      return "AXStaticText";
    default:
      return "AXUnknown";
  }
}

std::optional<std::string> subroleName(AtspiAccessible* object) {
  const AtspiRole role = roleOf(object);
  if (role == ATSPI_ROLE_PASSWORD_TEXT) return "AXSecureTextField";
  if (isWindowRole(role)) return "AXStandardWindow";
  return std::nullopt;
}

std::vector<AtspiAccessible*> childrenOf(AtspiAccessible* object) {
  std::vector<AtspiAccessible*> children;
  const gint count = std::min(atspi_accessible_get_child_count(object, nullptr), kMaxChildren);
  for (gint i = 0; i < count; ++i)
    if (AtspiAccessible* child = atspi_accessible_get_child_at_index(object, i, nullptr))
      children.push_back(child);
  return children;
}

std::optional<AtspiRect> extents(AtspiAccessible* object) {
  AtspiComponent* component = atspi_accessible_get_component_iface(object);
  if (component == nullptr) return std::nullopt;
  AtspiRect* rect = atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, nullptr);
  g_object_unref(component);
  if (rect == nullptr) return std::nullopt;
  const AtspiRect result = *rect;
  g_free(rect);
  return result;
}

bool standsAt(unsigned long client, const AtspiRect& where) {
  const auto outer = x11::outerBounds(client);
  return outer && int(outer->origin.x) == where.x && int(outer->origin.y) == where.y &&
         int(outer->size.width) == where.width && int(outer->size.height) == where.height;
}

// The managed X client of the process behind the window: the one titled like it (among
// several, the one standing where the window says it is), else, while a title is changing,
// the one standing there.
std::optional<unsigned long> clientOf(AtspiAccessible* window, pid_t pid) {
  const auto* cache = x11::ClientCache::instance();
  if (cache == nullptr) return std::nullopt;
  const std::string name = takeString(atspi_accessible_get_name(window, nullptr));
  const auto clients = cache->windowsOf(pid);
  std::vector<unsigned long> titled;
  for (unsigned long client : clients)
    if (cache->title(client) == name) titled.push_back(client);
  if (titled.size() == 1) return titled.front();
  const auto where = extents(window);
  for (unsigned long client : titled.empty() ? clients : titled)
    if (where && standsAt(client, *where)) return client;
  return titled.empty() ? std::nullopt : std::optional<unsigned long>(titled.front());
}

std::vector<AtspiAccessible*> windowsOf(AtspiAccessible* app, pid_t pid) {
  const auto* cache = x11::ClientCache::instance();
  std::vector<std::string> titles;
  if (cache != nullptr)
    for (unsigned long client : cache->windowsOf(pid)) titles.push_back(cache->title(client));
  std::vector<AtspiAccessible*> windows;
  for (AtspiAccessible* child : childrenOf(app)) {
    // The title decides at the cost of no X request; only a window no title names is looked
    // for by its place.
    const bool managed =
        isWindowRole(roleOf(child)) &&
        (std::find(titles.begin(), titles.end(),
                   takeString(atspi_accessible_get_name(child, nullptr))) != titles.end() ||
         clientOf(child, pid).has_value());
    if (managed)
      windows.push_back(child);
    else
      g_object_unref(child);
  }
  return windows;
}

void unrefAll(const std::vector<AtspiAccessible*>& objects) {
  for (AtspiAccessible* object : objects) g_object_unref(object);
}

AtspiAccessible* focusedBySearch(AtspiAccessible* window) {
  std::deque<std::pair<AtspiAccessible*, int>> queue{{g_object_ref(window), 0}};
  AtspiAccessible* found = nullptr;
  for (int examined = 0; !queue.empty() && found == nullptr && examined < kMaxSearched;
       ++examined) {
    auto [object, depth] = queue.front();
    queue.pop_front();
    if (hasState(object, ATSPI_STATE_FOCUSED)) {
      found = object;
      break;
    }
    if (depth < kMaxSearchDepth)
      for (AtspiAccessible* child : childrenOf(object)) queue.emplace_back(child, depth + 1);
    g_object_unref(object);
  }
  for (auto& entry : queue) g_object_unref(entry.first);
  return found;
}

// The focused element inside the window: one Collection query where the toolkit offers it.
AtspiAccessible* focusedIn(AtspiAccessible* window) {
  AtspiCollection* collection = atspi_accessible_get_collection_iface(window);
  if (collection == nullptr) return focusedBySearch(window);
  AtspiStateSet* states = atspi_state_set_new(nullptr);
  atspi_state_set_add(states, ATSPI_STATE_FOCUSED);
  AtspiMatchRule* rule = atspi_match_rule_new(
      states, ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, nullptr,
      ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, FALSE);
  GError* error = nullptr;
  GArray* matches = atspi_collection_get_matches(
      collection, rule, ATSPI_Collection_SORT_ORDER_CANONICAL, 1, TRUE, &error);
  g_object_unref(rule);
  g_object_unref(states);
  g_object_unref(collection);
  if (error != nullptr) {
    g_error_free(error);
    return focusedBySearch(window);
  }
  AtspiAccessible* found = nullptr;
  for (guint i = 0; matches != nullptr && i < matches->len; ++i) {
    AtspiAccessible* match = g_array_index(matches, AtspiAccessible*, i);
    if (found == nullptr && match != window)
      found = match;
    else
      g_object_unref(match);
  }
  if (matches != nullptr) g_array_free(matches, TRUE);
  return found;
}

// A toolkit may activate its window when one of its elements grabs the focus; the window that
// had the keyboard focus gets it back at once, and an iconified worker is iconified again.
void giveFocusBack(unsigned long userWindow, pid_t worker, bool workerWasHidden) {
  const gint64 deadline = g_get_monotonic_time() + kActivationWaitMicros;
  bool asked = false;
  while (g_get_monotonic_time() < deadline) {
    const auto active = x11::activeWindow();
    if (asked && active == userWindow) return;
    if (!asked && active && *active != userWindow && x11::windowPid(*active) == worker) {
      x11::requestActivate(userWindow);
      if (workerWasHidden)
        for (unsigned long window : x11::windowsOf(worker)) x11::iconify(window);
      x11::flush();
      asked = true;
    }
    g_usleep(5000);
  }
}

GDBusConnection* sessionBus() {
  static GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  return bus;
}

// None when the accessibility bus does not answer.
std::optional<bool> accessibilityEnabled() {
  if (sessionBus() == nullptr) return std::nullopt;
  GVariant* reply = g_dbus_connection_call_sync(
      sessionBus(), "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Get",
      g_variant_new("(ss)", "org.a11y.Status", "IsEnabled"), G_VARIANT_TYPE("(v)"),
      G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, nullptr);
  if (reply == nullptr) return std::nullopt;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  const bool enabled =
      g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN) && g_variant_get_boolean(value);
  g_variant_unref(value);
  g_variant_unref(reply);
  return enabled;
}

void enableAccessibility() {
  g_dbus_connection_call(
      sessionBus(), "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
      g_variant_new("(ssv)", "org.a11y.Status", "IsEnabled", g_variant_new_boolean(TRUE)), nullptr,
      G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, nullptr, nullptr);
}

}  // namespace

bool GtkAccessibility::isProcessTrusted(bool prompt) {
  const auto enabled = accessibilityEnabled();
  const bool trusted = enabled.value_or(false) && connected();
  if (!trusted && prompt && enabled.has_value()) enableAccessibility();
  return trusted;
}

bool GtkAccessibility::connected() {
  if (connected_) return true;
  if (!accessibilityEnabled().value_or(false)) return false;
  connected_ = atspi_init() >= 0;
  atspi_set_timeout(kCallTimeoutMs, kCallTimeoutMs * 4);
  return connected_;
}

AXRef GtkAccessibility::applicationElement(pid_t pid) {
  if (pid <= 0 || !connected()) return nullptr;
  AtspiAccessible* desktop = atspi_get_desktop(0);
  AtspiAccessible* found = nullptr;
  for (AtspiAccessible* app : childrenOf(desktop)) {
    if (found == nullptr && pid_t(atspi_accessible_get_process_id(app, nullptr)) == pid)
      found = app;
    else
      g_object_unref(app);
  }
  g_object_unref(desktop);
  return wrap(found, pid);
}

std::optional<std::string> GtkAccessibility::stringAttribute(const AXRef& element,
                                                             std::string_view name) {
  AtspiAccessible* object = objectOf(element);
  if (object == nullptr) return std::nullopt;
  if (name == "AXTitle") return takeString(atspi_accessible_get_name(object, nullptr));
  if (name == "AXRole") return roleName(object);
  if (name == "AXSubrole") return subroleName(object);
  return std::nullopt;
}

std::optional<bool> GtkAccessibility::boolAttribute(const AXRef& element, std::string_view name) {
  AtspiAccessible* object = objectOf(element);
  if (object == nullptr) return std::nullopt;
  if (name == "AXFocused") return hasState(object, ATSPI_STATE_FOCUSED);
  if (name == "AXMain" && isWindowRole(roleOf(object))) return hasState(object, ATSPI_STATE_ACTIVE);
  return std::nullopt;
}

std::optional<Size> GtkAccessibility::sizeAttribute(const AXRef& element, std::string_view name) {
  AtspiAccessible* object = objectOf(element);
  if (object == nullptr || name != "AXSize") return std::nullopt;
  const auto rect = extents(object);
  if (!rect || rect->width <= 0 || rect->height <= 0) return std::nullopt;
  return Size{double(rect->width), double(rect->height)};
}

std::optional<Point> GtkAccessibility::pointAttribute(const AXRef& element, std::string_view name) {
  AtspiAccessible* object = objectOf(element);
  if (object == nullptr || name != "AXPosition") return std::nullopt;
  const auto rect = extents(object);
  if (!rect || rect->width <= 0 || rect->height <= 0) return std::nullopt;
  return Point{double(rect->x), double(rect->y)};
}

AXRef GtkAccessibility::elementAttribute(const AXRef& element, std::string_view name) {
  AtspiAccessible* object = objectOf(element);
  const pid_t pid = pidOf(element);
  if (object == nullptr || roleOf(object) != ATSPI_ROLE_APPLICATION) return nullptr;
  if (name != "AXMainWindow" && name != "AXFocusedUIElement") return nullptr;
  auto windows = windowsOf(object, pid);
  // The active window first: it holds the focus and it is the main one.
  const auto active = std::find_if(windows.begin(), windows.end(), [](AtspiAccessible* w) {
    return hasState(w, ATSPI_STATE_ACTIVE);
  });
  const bool anyActive = active != windows.end();
  if (anyActive) std::rotate(windows.begin(), active, active + 1);
  AXRef result;
  if (name == "AXMainWindow" && !windows.empty()) {
    result = wrap(g_object_ref(windows.front()), pid);
  } else if (name == "AXFocusedUIElement") {
    for (AtspiAccessible* window : windows)
      if (!result) result = wrap(focusedIn(window), pid);
    const auto given = givenFocus_.find(pid);
    if (!result && given != givenFocus_.end() &&
        !hasState(objectOf(given->second), ATSPI_STATE_DEFUNCT) && !anyActive)
      result = given->second;
  }
  unrefAll(windows);
  return result;
}

std::optional<std::vector<AXRef>> GtkAccessibility::elementsAttribute(const AXRef& element,
                                                                      std::string_view name) {
  AtspiAccessible* object = objectOf(element);
  const pid_t pid = pidOf(element);
  if (object == nullptr) return std::nullopt;
  std::vector<AtspiAccessible*> objects;
  if (name == "AXWindows" && roleOf(object) == ATSPI_ROLE_APPLICATION)
    objects = windowsOf(object, pid);
  else if (name == "AXChildren")
    objects = childrenOf(object);
  else
    return std::nullopt;
  std::vector<AXRef> elements;
  for (AtspiAccessible* o : objects) elements.push_back(wrap(o, pid));
  return elements;
}

bool GtkAccessibility::setBoolAttribute(const AXRef& element, std::string_view name, bool value) {
  AtspiAccessible* object = objectOf(element);
  const pid_t pid = pidOf(element);
  if (object == nullptr || name != "AXFocused" || !value || isWindowRole(roleOf(object)))
    return false;
  AtspiComponent* component = atspi_accessible_get_component_iface(object);
  if (component == nullptr) return false;
  auto* cache = x11::ClientCache::instance();
  const unsigned long userWindow = cache != nullptr ? cache->activeWindow() : 0;
  const bool userHasFocus = userWindow != 0 && cache->activePid() != pid;
  const bool workerWasHidden = cache != nullptr && cache->isHidden(pid);
  // Late activations are caught from the window manager's events.
  if (userHasFocus) cache->holdFocus(userWindow, pid, 1.0);
  const bool grabbed = atspi_component_grab_focus(component, nullptr);
  g_object_unref(component);
  if (grabbed && userHasFocus) giveFocusBack(userWindow, pid, workerWasHidden);
  if (grabbed) {
    // Bounded: one element per process, and only processes that still run.
    std::erase_if(givenFocus_, [](const auto& entry) { return ::kill(entry.first, 0) != 0; });
    givenFocus_[pid] = element;
  }
  return grabbed;
}

bool GtkAccessibility::setSizeAttribute(const AXRef& element, std::string_view name, Size value) {
  AtspiAccessible* object = objectOf(element);
  if (object == nullptr || name != "AXSize" || !isWindowRole(roleOf(object))) return false;
  const auto client = clientOf(object, pidOf(element));
  if (!client) return false;
  x11::requestResize(*client, value);
  x11::flush();
  return true;
}

bool GtkAccessibility::setPointAttribute(const AXRef& element, std::string_view name, Point value) {
  AtspiAccessible* object = objectOf(element);
  if (object == nullptr || name != "AXPosition" || !isWindowRole(roleOf(object))) return false;
  const auto client = clientOf(object, pidOf(element));
  if (!client) return false;
  x11::requestMove(*client, value);
  x11::flush();
  return true;
}

bool GtkAccessibility::performAction(const AXRef& element, std::string_view action) {
  AtspiAccessible* object = objectOf(element);
  if (object == nullptr || action != "AXRaise" || !isWindowRole(roleOf(object))) return false;
  const auto client = clientOf(object, pidOf(element));
  if (!client) return false;
  x11::requestRaise(*client);
  x11::flush();
  return true;
}

bool GtkAccessibility::equal(const AXRef& a, const AXRef& b) {
  AtspiAccessible* x = objectOf(a);
  AtspiAccessible* y = objectOf(b);
  if (x == nullptr || y == nullptr) return false;
  if (x == y) return true;
  return x->parent.app != nullptr && y->parent.app != nullptr &&
         std::strcmp(x->parent.app->bus_name, y->parent.app->bus_name) == 0 &&
         std::strcmp(x->parent.path, y->parent.path) == 0;
}

AXRef GtkAccessibility::focusedEditableElement(pid_t pid) {
  const AXRef app = applicationElement(pid);
  AXRef focused = app ? elementAttribute(app, "AXFocusedUIElement") : nullptr;
  AtspiAccessible* object = objectOf(focused);
  if (object == nullptr) return nullptr;
  AtspiEditableText* editable = atspi_accessible_get_editable_text_iface(object);
  if (editable == nullptr) return nullptr;
  g_object_unref(editable);
  return focused;
}

bool GtkAccessibility::insertAtCaret(const AXRef& element, const std::string& utf8) {
  AtspiAccessible* object = objectOf(element);
  if (object == nullptr) return false;
  AtspiEditableText* editable = atspi_accessible_get_editable_text_iface(object);
  AtspiText* text = atspi_accessible_get_text_iface(object);
  bool inserted = false;
  if (editable != nullptr && text != nullptr) {
    const gint caret = std::max(atspi_text_get_caret_offset(text, nullptr), 0);
    inserted =
        atspi_editable_text_insert_text(editable, caret, utf8.c_str(), gint(utf8.size()), nullptr);
    if (inserted)
      atspi_text_set_caret_offset(text, caret + gint(g_utf8_strlen(utf8.c_str(), -1)), nullptr);
  }
  if (editable != nullptr) g_object_unref(editable);
  if (text != nullptr) g_object_unref(text);
  return inserted;
}

bool GtkAccessibility::applyTextKey(const AXRef& element, TextKey key) {
  AtspiAccessible* object = objectOf(element);
  if (object == nullptr) return false;
  if (key == TextKey::Return) {
    AtspiAction* action = atspi_accessible_get_action_iface(object);
    if (action == nullptr) return false;
    bool done = false;
    const gint count = atspi_action_get_n_actions(action, nullptr);
    for (gint i = 0; i < count && !done; ++i)
      if (takeString(atspi_action_get_action_name(action, i, nullptr)) == "activate")
        done = atspi_action_do_action(action, i, nullptr);
    g_object_unref(action);
    return done;
  }
  AtspiText* text = atspi_accessible_get_text_iface(object);
  AtspiEditableText* editable = atspi_accessible_get_editable_text_iface(object);
  bool done = false;
  if (text != nullptr && editable != nullptr) {
    const gint caret = std::max(atspi_text_get_caret_offset(text, nullptr), 0);
    const gint length = atspi_text_get_character_count(text, nullptr);
    switch (key) {
      case TextKey::Backspace:
        done = caret == 0 || atspi_editable_text_delete_text(editable, caret - 1, caret, nullptr);
        break;
      case TextKey::Delete:
        done =
            caret >= length || atspi_editable_text_delete_text(editable, caret, caret + 1, nullptr);
        break;
      case TextKey::Left:
        done = atspi_text_set_caret_offset(text, std::max(caret - 1, 0), nullptr);
        break;
      case TextKey::Right:
        done = atspi_text_set_caret_offset(text, std::min(caret + 1, length), nullptr);
        break;
      case TextKey::Home:
        done = atspi_text_set_caret_offset(text, 0, nullptr);
        break;
      case TextKey::End:
        done = atspi_text_set_caret_offset(text, length, nullptr);
        break;
      case TextKey::Return:
        break;
    }
  }
  if (text != nullptr) g_object_unref(text);
  if (editable != nullptr) g_object_unref(editable);
  return done;
}

}  // namespace qn
