#include <cmath>

#include "companion/App.h"

namespace qn {

namespace {

bool animates(const std::string& state) {
  return state == "running" || state == "human";
}

}  // namespace

void App::applicationDidFinishLaunching() {
  launchedAt_ = ports_.loop.now();
  view = std::make_unique<TabView>(options_.zh);
  panel = mk(Rect{{0, 0}, {W, H}});
  panel->setContent(view.get());
  bubble = mk(Rect{{0, 0}, {260, 160}});
  buildDrawer();
  buildAsk();
  mir = mk(Rect{{0, 0}, {900, 600}});
  mir->setLevel(3);
  mv = std::make_unique<MirrorView>(options_.zh, *mir);
  mir->setContent(mv.get());

  view->onClick = weakly([](App& app) {
    if (app.options_.boardMode) {
      if (const Job* job = app.cur(); job != nullptr) {
        const std::string& st = job->state;
        if (st == "queued" || st == "held" || st == "done" || st == "stopped" || st == "error") {
          app.pin(6);
          return;
        }
      }
    }
    app.send({{"ev", "toggle"}});
  });
  mv->onClose = weakly([](App& app) {
    const std::string id = app.mirrorId;
    app.mirror(false);
    app.send({{"ev", "mirror"}, {"v", false}}, id);
  });
  const std::weak_ptr<App> weak = weak_from_this();
  mv->onDragWin = [weak](Point delta) {
    const auto app = weak.lock();
    if (!app) return;
    app->mirMoved = true;
    Rect frame = app->mir->frame();
    frame.origin.x += delta.x;
    frame.origin.y += delta.y;
    app->mir->setFrame(frame);
  };
  mv->onNeedsDisplay = weakly([](App& app) {
    app.mir->setNeedsDisplay();
    app.ensureAnimation();
  });
  view->onHover = [weak](bool inside) {
    const auto app = weak.lock();
    if (!app) return;
    if (inside) {
      app->bubbleShow(true);
    } else {
      app->closeSoon();
    }
  };
  view->onMenu = [weak](Point at) {
    if (const auto app = weak.lock()) app->menu(at);
  };
  view->onDrag = [weak](Point at, bool ended) {
    if (const auto app = weak.lock()) app->drag(at, ended);
  };
  view->onNeedsDisplay = weakly([](App& app) { app.redrawTab(); });

  const auto s = panelScreen();
  const auto launchScreen = s ? s : home();
  screenID = launchScreen ? launchScreen->displayId : 0;
  panelDid = s ? s->displayId : 0;
  layout();

  if (!options_.quietUI) panel->orderFrontRegardless();
  if (!options_.boardMode) watch();
  ensureAnimation();
  ports_.screens.onChange(weakly([](App& app) {
    app.guardTick();
    app.layout();
    if (app.mirrorOn && !app.mirMoved) app.layMirror();
    if (!app.askId.empty()) app.askPlace();
  }));
  slow_ = ports_.loop.every(0.25, weakly([](App& app) { app.slowTick(); }));
}

// The tick only runs while it has something to animate; the phase it would have reached is
// restored when it starts again, so a redraw shows the same pulse either way.
void App::ensureAnimation() {
  if (options_.guardMode || !view) return;
  const bool needed = animates(view->state) || (mirrorOn && (mv->hint > 0 || mv->downT > 0));
  if (needed == animationRunning_) return;
  if (!needed) {
    animation_.cancel();
    animationRunning_ = false;
    return;
  }
  catchUpPulse();
  animationRunning_ = true;
  animation_ = ports_.loop.every(0.06, weakly([](App& app) { app.animationTick(); }));
}

void App::animationTick() {
  pulseT += 0.06;
  view->pulse = std::sin(3 * pulseT) * 0.5 + 0.5;
  if (animates(view->state)) panel->setNeedsDisplay();
  if (mirrorOn && (mv->hint > 0 || mv->downT > 0)) {
    mv->hint = std::max(0.0, mv->hint - 0.035);
    mv->downT = std::max(0.0, mv->downT - 0.1);
    mir->setNeedsDisplay();
  }
  ensureAnimation();
}

void App::redrawTab() {
  if (!view) return;
  ensureAnimation();
  if (!animationRunning_ && !options_.guardMode) catchUpPulse();
  panel->setNeedsDisplay();
}

void App::catchUpPulse() {
  const double ticks = std::floor((ports_.loop.now() - launchedAt_) / 0.06 + 1e-9);
  if (ticks < 1) return;
  pulseT = ticks * 0.06;
  view->pulse = std::sin(3 * pulseT) * 0.5 + 0.5;
}

}  // namespace qn
