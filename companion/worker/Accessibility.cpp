#include <cmath>

#include "companion/App.h"

namespace qn {

namespace {

bool finite(Size s) {
  return std::isfinite(s.width) && std::isfinite(s.height);
}

bool finite(Point p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

}  // namespace

bool App::axOK(bool prompt) {
  return ports_.accessibility.isProcessTrusted(prompt);
}

// Untrusted: the prompt is shown once, then the state is polled every second until it changes.
void App::axCheck() {
  if (axOK(false)) {
    emit({{"ev", "ax"}, {"ok", true}});
    return;
  }
  emit({{"ev", "ax"}, {"ok", false}});
  axOK(true);
  axTimer.cancel();
  axTimer = ports_.loop.every(1.0, weakly([](App& app) {
                                if (!app.axOK(false)) return;
                                app.axTimer.cancel();
                                app.emit({{"ev", "ax"}, {"ok", true}});
                              }));
}

AXRef App::axWin() {
  if (pid <= 0) return nullptr;
  Accessibility& ax = ports_.accessibility;
  const AXRef application = ax.applicationElement(pid);
  if (!application) return nullptr;
  if (AXRef main = ax.elementAttribute(application, "AXMainWindow")) return main;
  const auto windows = ax.elementsAttribute(application, "AXWindows");
  if (windows && !windows->empty()) return windows->front();
  return nullptr;
}

std::vector<AXRef> App::axWins() {
  if (pid <= 0) return {};
  Accessibility& ax = ports_.accessibility;
  const AXRef application = ax.applicationElement(pid);
  if (!application) return {};
  return ax.elementsAttribute(application, "AXWindows").value_or(std::vector<AXRef>{});
}

std::string App::axTitle(const AXRef& el) {
  if (!el) return "";
  return ports_.accessibility.stringAttribute(el, "AXTitle").value_or("");
}

// A size that is not a pair of finite, non-negative numbers cannot be used and counts as
// unreadable.
Size App::axSize(const AXRef& el) {
  const Size fallback{900, 600};
  if (!el) return fallback;
  const auto size = ports_.accessibility.sizeAttribute(el, "AXSize");
  if (!size || !finite(*size) || size->width < 0 || size->height < 0) return fallback;
  return *size;
}

// Size first, then position: a window grown at its old place could leave the screen.
void App::axSet(const AXRef& el, Rect r) {
  if (!el) return;
  Accessibility& ax = ports_.accessibility;
  if (finite(r.size)) ax.setSizeAttribute(el, "AXSize", r.size);
  if (finite(r.origin)) ax.setPointAttribute(el, "AXPosition", r.origin);
}

// Every other window of the worker goes to the same place, under the worker window.
bool App::axFrame(Rect r) {
  if (!(r.size.width > 50)) return false;
  const AXRef win = axWin();
  if (!win) return false;
  Accessibility& ax = ports_.accessibility;
  for (const AXRef& other : axWins())
    if (!ax.equal(other, win)) axSet(other, r);
  axSet(win, r);
  ax.performAction(win, "AXRaise");
  return true;
}

}  // namespace qn
