#include <unistd.h>

#include <algorithm>

#include "companion/App.h"
#include "companion/ScreenGeometry.h"

namespace qn {

void App::watch() {
  lastFront = ports_.workspace.frontmostApplication();
  const std::weak_ptr<App> weak = weak_from_this();
  const auto about = [weak](void (*step)(App&, const std::shared_ptr<RunningApplication>&)) {
    return [weak, step](std::shared_ptr<RunningApplication> application) {
      const auto app = weak.lock();
      if (app && application) step(*app, application);
    };
  };
  ports_.workspace.observe(WorkspaceEvent::DidActivate,
                           about([](App& app, const std::shared_ptr<RunningApplication>& other) {
                             if (app.pid > 0 && other->processIdentifier() == app.pid) {
                               app.leaked("activate");
                             } else if (other->processIdentifier() != ::getpid()) {
                               app.lastFront = other;
                             }
                           }));
  ports_.workspace.observe(WorkspaceEvent::DidUnhide,
                           about([](App& app, const std::shared_ptr<RunningApplication>& other) {
                             if (app.pid > 0 && other->processIdentifier() == app.pid)
                               app.leaked("unhide");
                           }));
  ports_.workspace.observe(WorkspaceEvent::DidTerminate,
                           about([](App& app, const std::shared_ptr<RunningApplication>& other) {
                             if (app.pid <= 0 || other->processIdentifier() != app.pid) return;
                             app.pid = 0;
                             app.setShown(false);
                           }));
  guardTimer_ = ports_.loop.every(0.02, weakly([](App& app) { app.guardTick(); }));
}

// Keeps the worker in the condition the companion put it in: hidden, peeking or shown.
void App::guardTick() {
  if (pid <= 0) return;
  const auto app = chrome();
  if (!app) return;
  if (peeking) {
    if (app->isActive() && lastFront) lastFront->activate();
    if (app->isHidden()) app->unhide();
  } else if (shown) {
    if (!app->isHidden()) {
      seenVisible = true;
    } else if (seenVisible) {
      // The user hid the window: it counts as taken back.
      seenVisible = false;
      setShown(false);
    }
  } else {
    if (!app->isHidden() || app->isActive()) app->hide();
    if (app->isActive() && lastFront) lastFront->activate();
  }
}

void App::leaked(const std::string& kind) {
  if (shown) return;
  if (peeking) {
    if (kind == "activate" && lastFront) lastFront->activate();
    return;
  }
  // A click on the worker's icon outside every screen's usable area is the user asking for it.
  const double sinceClick = ports_.inputTiming.secondsSinceLastEvent(
      InputSourceState::CombinedSession, InputEventType::LeftMouseDown);
  const auto screen = mouseScreen();
  const bool outsideUsable =
      screen && !contains(screen->visibleFrame, ports_.screens.mouseLocation());
  if (sinceClick < 0.8 && outsideUsable && kind == "activate") {
    emit({{"ev", "toggle"}});
    return;
  }
  if (pid >= 1)
    if (const auto app = chrome()) app->hide();
  const auto front = ports_.workspace.frontmostApplication();
  const bool workerFront = front && front->processIdentifier() == pid;
  if ((workerFront || kind == "activate") && lastFront) lastFront->activate();
  emit({{"ev", "note"}, {"text", "页面想弹到前台，已收回（" + kind + "）"}});
}

// User activity: a short burst makes the user active, three quiet seconds inactive again;
// input aimed at the tab does not count.
void App::slowTick() {
  if (++followN % 4 == 0) follow();
  bool active = false;
  if (shown && pid >= 1) {
    const auto app = chrome();
    if (app && app->isActive()) {
      double m = 1e300;
      for (const InputEventType type :
           {InputEventType::LeftMouseDown, InputEventType::KeyDown, InputEventType::ScrollWheel,
            InputEventType::LeftMouseDragged, InputEventType::RightMouseDown})
        m = std::min(m,
                     ports_.inputTiming.secondsSinceLastEvent(InputSourceState::HIDSystem, type));
      const bool recent = userActive ? m < 3 : m < 0.4;
      if (recent) active = !contains(grown(panel->frame(), 6), ports_.screens.mouseLocation());
    }
  }
  if (active == userActive) return;
  userActive = active;
  emit({{"ev", "user"}, {"active", active}});
}

// The tab follows its anchors' windows to another screen, unless the user is handling it.
void App::follow() {
  if (options_.guardMode || dragging || view->hover || inDrawer) return;
  const auto s = panelScreen();
  if (!s) return;
  if (s->displayId == panelDid) return;
  panelDid = s->displayId;
  if (panelDid == screenID) return;
  screenID = panelDid;
  layout();
  if (mirrorOn && !mirMoved) layMirror();
  emit({{"ev", "screen"}, {"did", screenID}});
}

}  // namespace qn
