#include <cmath>

#include "companion/App.h"

namespace qn {

namespace {

// The window to capture: the one titled like the accessibility window, else the largest, the
// earlier on equal areas. Menus, tooltips and slivers are never chosen.
std::optional<ShareableWindow> captureTarget(const std::vector<ShareableWindow>& windows, pid_t pid,
                                             const std::string& title) {
  std::vector<const ShareableWindow*> candidates;
  for (const auto& window : windows)
    if (window.ownerPid == pid && window.layer == 0 && window.frame.size.width > 50)
      candidates.push_back(&window);
  if (!title.empty())
    for (const auto* window : candidates)
      if (window->title == title) return *window;
  const ShareableWindow* largest = nullptr;
  for (const auto* window : candidates) {
    const double area = window->frame.size.width * window->frame.size.height;
    if (largest == nullptr || area > largest->frame.size.width * largest->frame.size.height)
      largest = window;
  }
  if (largest == nullptr) return std::nullopt;
  return *largest;
}

int pixels(double points, double scale) {
  const double value = std::trunc(points * scale);
  return std::isfinite(value) && value > 0 && value < 1e5 ? int(value) : 0;
}

}  // namespace

void App::emit2toggle() {
  emit({{"ev", "mirror"}, {"v", false}});
}

// One look-up or picture at a time. A picture or a look-up answered after its peek ended
// belongs to no peek and is dropped.
void App::capture() {
  if (!peeking || capBusy || pid <= 0) return;
  capBusy = true;
  const uint64_t number = peekNumber_;
  const std::weak_ptr<App> weak = weak_from_this();
  if (capWin) {
    const ShareableWindow window = *capWin;
    ports_.windowCapture.captureWindow(window, pixels(window.frame.size.width, window.scale),
                                       pixels(window.frame.size.height, window.scale),
                                       [weak, number](ImageRef image) {
                                         const auto app = weak.lock();
                                         if (!app) return;
                                         app->capBusy = false;
                                         if (number != app->peekNumber_) return;
                                         if (image && app->peeking) {
                                           app->sv->img = std::move(image);
                                           app->shield->setNeedsDisplay();
                                         } else if (!image) {
                                           app->capWin.reset();
                                         }
                                       });
    return;
  }
  const int32_t forPid = pid;
  const std::string title = axTitle(axWin());
  ports_.windowCapture.shareableWindows(
      [weak, number, forPid, title](std::optional<std::vector<ShareableWindow>> windows) {
        const auto app = weak.lock();
        if (!app) return;
        app->capBusy = false;
        if (number != app->peekNumber_ || !windows) return;
        const auto target = captureTarget(*windows, forPid, title);
        if (!target) return;
        app->capWin = target;
        app->capture();
      });
}

}  // namespace qn
