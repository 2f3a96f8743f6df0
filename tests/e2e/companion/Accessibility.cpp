#include "tests/e2e/companion/Accessibility.h"

#include "tests/e2e/support/Accessibility.h"

namespace qn {
namespace {

std::string roleOf(AtspiAccessible* accessible) {
  gchar* role = atspi_accessible_get_role_name(accessible, nullptr);
  std::string result = role ? role : "";
  g_free(role);
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
  if (roleOf(node) == role && test::nameOf(node) == name &&
      test::hasState(node, ATSPI_STATE_SHOWING))
    return frameOf(node);
  std::optional<ScreenFrame> found;
  const auto children = test::childrenOf(node);
  for (AtspiAccessible* child : children) {
    if (!found) found = search(child, role, name, depth + 1);
  }
  test::release(children);
  return found;
}

}  // namespace

std::optional<ScreenFrame> showingControl(pid_t pid, const std::string& role,
                                          const std::string& name) {
  AtspiAccessible* application = test::applicationOf(pid);
  if (!application) return std::nullopt;
  auto found = search(application, role, name, 0);
  g_object_unref(application);
  return found;
}

}  // namespace qn
