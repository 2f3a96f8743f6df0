#include "tests/e2e/companion/Accessibility.h"

#include <atspi/atspi.h>

#include <memory>

#include "base/ChildProcess.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

struct Unref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using Ref = std::unique_ptr<AtspiAccessible, Unref>;

std::string text(gchar* value) {
  std::string result = value ? value : "";
  g_free(value);
  return result;
}

bool showing(AtspiAccessible* accessible) {
  AtspiStateSet* states = atspi_accessible_get_state_set(accessible);
  const bool result = states && atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
  if (states) g_object_unref(states);
  return result;
}

std::optional<ScreenFrame> frameOf(AtspiAccessible* accessible) {
  AtspiComponent* component = atspi_accessible_get_component_iface(accessible);
  if (!component) return std::nullopt;
  AtspiRect* rect = atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, nullptr);
  g_object_unref(component);
  if (!rect) return std::nullopt;
  ScreenFrame frame{rect->x, rect->y, rect->width, rect->height};
  g_free(rect);
  return frame;
}

std::optional<ScreenFrame> search(AtspiAccessible* node, const std::string& role,
                                  const std::string& name, int depth) {
  if (depth > 30) return std::nullopt;
  if (text(atspi_accessible_get_role_name(node, nullptr)) == role &&
      text(atspi_accessible_get_name(node, nullptr)) == name && showing(node))
    return frameOf(node);
  const int count = atspi_accessible_get_child_count(node, nullptr);
  for (int i = 0; i < count; ++i) {
    Ref child(atspi_accessible_get_child_at_index(node, i, nullptr));
    if (!child) continue;
    if (auto found = search(child.get(), role, name, depth + 1)) return found;
  }
  return std::nullopt;
}

}  // namespace

bool startAccessibilityBus() {
  static const bool started = [] {
    SpawnOptions options;
    options.executable = "/usr/libexec/at-spi-bus-launcher";
    options.arguments = {"--launch-immediately"};
    static std::shared_ptr<ChildProcess> launcher = ChildProcess::spawn(options, nullptr);
    const bool answers =
        launcher &&
        test::eventually(
            [] {
              return !test::runTool("/usr/bin/dbus-send",
                                    {"--session", "--print-reply", "--dest=org.a11y.Bus",
                                     "/org/a11y/bus", "org.a11y.Bus.GetAddress"})
                          .empty();
            },
            10);
    return answers && atspi_init() >= 0;
  }();
  return started;
}

std::optional<ScreenFrame> showingControl(pid_t pid, const std::string& role,
                                          const std::string& name) {
  Ref desktop(atspi_get_desktop(0));
  const int count = atspi_accessible_get_child_count(desktop.get(), nullptr);
  for (int i = 0; i < count; ++i) {
    Ref application(atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
    if (!application || atspi_accessible_get_process_id(application.get(), nullptr) != guint(pid))
      continue;
    atspi_accessible_clear_cache(application.get());
    return search(application.get(), role, name, 0);
  }
  return std::nullopt;
}

}  // namespace qn
