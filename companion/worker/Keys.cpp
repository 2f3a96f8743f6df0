#include <algorithm>
#include <deque>
#include <utility>

#include "base/Text.h"
#include "companion/App.h"
#include "companion/Keycodes.h"

namespace qn {

namespace {

constexpr double kKeyPace = 0.006;
// The focus search looks at no more elements than this, and no deeper.
constexpr int kSearchLimit = 400;
constexpr int kSearchDepth = 8;
// How many units go out between two checks that the worker still runs.
constexpr size_t kUnitsPerCheck = 64;

bool isInputRole(const std::string& role) {
  return role == "AXTextArea" || role == "AXTextField" || role == "AXComboBox" ||
         role == "AXSearchField" || role == "AXWebArea";
}

bool isTargetRole(const std::string& role) {
  return role == "AXTextArea" || role == "AXTextField";
}

}  // namespace

// A worker that ends while a long text goes out stops the typing: the units posted so far are
// the count, and the main loop is not held for a process that is gone.
int64_t App::postKeys(const std::string& text) {
  if (pid <= 0 || !axOK(false)) return -1;
  focusInput();
  const std::u16string units = toUtf16(text);
  int64_t posted = 0;
  for (char16_t unit : units) {
    if (posted % kUnitsPerCheck == 0 && posted > 0 && !chrome()) break;
    ports_.keyPoster.post(pid, KeyEvent{0, unit, true});
    ports_.keyPoster.post(pid, KeyEvent{0, unit, false});
    ports_.keyPoster.pause(kKeyPace);
    ++posted;
  }
  return posted;
}

bool App::postKey(const std::string& name) {
  if (pid <= 0 || !axOK(false)) return false;
  const auto code = KEYCODES.find(name);
  if (code == KEYCODES.end()) return false;
  focusInput();
  ports_.keyPoster.post(pid, KeyEvent{code->second, std::nullopt, true});
  ports_.keyPoster.post(pid, KeyEvent{code->second, std::nullopt, false});
  ports_.keyPoster.pause(kKeyPace);
  return true;
}

// Breadth-first from the window, never into a password field. Elements that could never be
// examined within the limit are not queued, so a huge or cyclic tree costs the same as a small
// one.
void App::focusInput() {
  if (pid <= 0) return;
  const AXRef win = axWin();
  if (!win) return;
  Accessibility& ax = ports_.accessibility;
  ax.setBoolAttribute(win, "AXMain", true);
  ax.setBoolAttribute(win, "AXFocused", true);
  if (const AXRef application = ax.applicationElement(pid)) {
    if (const AXRef focused = ax.elementAttribute(application, "AXFocusedUIElement")) {
      const auto role = ax.stringAttribute(focused, "AXRole");
      if (role && isInputRole(*role)) return;
    }
  }
  std::deque<std::pair<AXRef, int>> queue{{win, 0}};
  int examined = 0;
  while (!queue.empty()) {
    const auto [el, depth] = std::move(queue.front());
    queue.pop_front();
    const auto role = ax.stringAttribute(el, "AXRole");
    if (role && isTargetRole(*role)) {
      const auto subrole = ax.stringAttribute(el, "AXSubrole");
      if (!subrole || *subrole != "AXSecureTextField") {
        ax.setBoolAttribute(el, "AXFocused", true);
        return;
      }
    }
    if (depth < kSearchDepth) {
      if (const auto children = ax.elementsAttribute(el, "AXChildren")) {
        for (const AXRef& child : *children) {
          if (int(queue.size()) + examined + 1 >= kSearchLimit) break;
          queue.emplace_back(child, depth + 1);
        }
      }
    }
    if (++examined >= kSearchLimit) return;
  }
}

}  // namespace qn
