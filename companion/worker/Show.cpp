#include <algorithm>
#include <cmath>

#include "companion/App.h"
#include "companion/ScreenGeometry.h"

namespace qn {

namespace {

// Truncation toward zero into the range of a JSON integer a parent can read.
int64_t truncated(double value) {
  if (!std::isfinite(value)) return 0;
  return int64_t(std::clamp(std::trunc(value), -1e15, 1e15));
}

}  // namespace

// The worker named by init, when a process with that pid still runs and is the one that ran then.
std::shared_ptr<RunningApplication> App::chrome() {
  if (pid <= 0) return nullptr;
  auto worker = ports_.workspace.runningApplication(pid);
  if (!worker || worker->startTime() != workerStart) return nullptr;
  return worker;
}

std::optional<Screen> App::mouseScreen() {
  return screenUnder(ports_.screens.mouseLocation(), ports_.screens.screens(),
                     ports_.screens.mainScreen());
}

// While the user types, a show for a person waits in 0.4 s steps so their keys do not land in
// the worker window.
void App::show(const std::string& reason) {
  const auto app = chrome();
  if (pid < 1 || !app) return;
  const double sinceKey = ports_.inputTiming.secondsSinceLastEvent(
      InputSourceState::CombinedSession, InputEventType::KeyDown);
  if (reason == "human" && sinceKey < 1.2) {
    pendingShow = true;
    ports_.loop.after(0.4, weakly([reason](App& self) {
                        if (self.pendingShow) self.show(reason);
                      }));
    return;
  }
  pendingShow = false;
  seenVisible = false;
  unpeek();
  setShown(true);
  app->unhide();
  app->activate();
  if (nativeApp) return;
  ports_.loop.after(0.9, weakly([reason](App& self) { self.verifyShown(reason, false); }));
  ports_.loop.after(2.2, weakly([reason](App& self) { self.verifyShown(reason, true); }));
}

// The first check only reports trouble; the second always reports.
void App::verifyShown(const std::string& reason, bool last) {
  if (!shown || pid <= 0) return;
  const auto windows = ports_.windowList.onScreenWindows();
  const auto screen = mouseScreen();
  const double H0 = h0();
  int64_t n = 0;
  bool ok = false;
  for (const auto& window : windows.value_or(std::vector<WindowInfo>{})) {
    if (window.ownerPid != pid || window.layer != 0) continue;
    if (!(window.bounds.size.width > 200 && window.bounds.size.height > 150)) continue;
    ++n;
    if (screen && insideRect(toWindowListSpace(window.bounds, H0), grown(screen->frame, 2)))
      ok = true;
  }
  if (ok && !last) return;
  emit({{"ev", "onscreen"}, {"ok", ok}, {"n", n}, {"reason", reason}});
}

void App::hideNow() {
  const auto front = ports_.workspace.frontmostApplication();
  const bool wasFront = front && front->processIdentifier() == pid;
  setShown(false);
  if (pid >= 1)
    if (const auto app = chrome()) app->hide();
  if (wasFront && lastFront) lastFront->activate();
}

void App::centerOnPanel() {
  const AXRef win = axWin();
  if (!win) return;
  const auto screen = home();
  if (!screen) return;
  const Rect vf = screen->visibleFrame;
  const Size s0 = axSize(win);
  const double w = std::min(vf.size.width - 40, std::max(s0.width, 320.0));
  const double h = std::min(vf.size.height - 40, std::max(s0.height, 220.0));
  axFrame(Rect{{midX(vf) - w / 2, h0() - (midY(vf) + h / 2)}, {w, h}});
}

void App::peek(const std::string& caption) {
  const auto app = pid > 0 ? chrome() : nullptr;
  const AXRef win = nativeApp && !shown && app ? axWin() : nullptr;
  const auto screen = win ? home() : std::nullopt;
  if (!win || !screen) {
    emit({{"ev", "peek"}, {"ok", false}});
    return;
  }
  const Rect vf = screen->visibleFrame;
  const Size s0 = axSize(win);
  // Scaled down to fit, never up; a side of 1 or less does not constrain.
  const double sx = std::min(vf.size.width * 0.72, 1000.0) / (s0.width > 1 ? s0.width : 1);
  const double sy = s0.height > 1 ? vf.size.height * 0.8 / s0.height : vf.size.height * 0.8;
  const double s = std::min(sx, sy);
  const double w = std::max(s < 1 ? s0.width * s : s0.width, 320.0);
  const double h = std::max(s < 1 ? s0.height * s : s0.height, 220.0);

  peeking = true;
  app->unhide();
  const double x = maxX(vf) - w - 60;
  const double y = midY(vf) - h / 2 - 15;
  axFrame(Rect{{x, h0() - (y + h)}, {w, h}});
  ports_.accessibility.performAction(win, "AXRaise");

  const Rect cover{{x, y}, {w, h + 30}};
  if (!shield) {
    shield = mk(cover);
    shield->setLevel(3);
    sv = std::make_unique<ShieldView>(options_.zh);
    sv->host = shield.get();
    sv->onClose = weakly([](App& self) { self.emit2toggle(); });
    sv->onHint = weakly([](App& self) {
      self.shield->setNeedsDisplay();
      self.ports_.loop.after(2.2, self.weakly([](App& later) {
        later.sv->hint = 0;
        later.shield->setNeedsDisplay();
      }));
    });
    shield->setContent(sv.get());
  }
  shield->setFrame(cover);
  sv->caption = liveViewCaption(caption);
  shield->setNeedsDisplay();
  shield->orderFrontRegardless();

  ports_.loop.after(0.25, weakly([](App& self) {
                      if (!self.peeking) return;
                      if (const AXRef again = self.axWin())
                        self.ports_.accessibility.performAction(again, "AXRaise");
                      self.shield->orderFrontRegardless();
                    }));

  ++peekNumber_;
  capWin.reset();
  sv->img.reset();
  capture();
  capTimer.cancel();
  capTimer = ports_.loop.every(0.4, weakly([](App& self) { self.capture(); }));
  emit({{"ev", "peek"}, {"ok", true}});
}

void App::unpeek() {
  if (!peeking) return;
  peeking = false;
  capTimer.cancel();
  if (sv) sv->img.reset();
  if (shield) shield->orderOut();
  if (!shown && pid >= 1)
    if (const auto app = chrome()) app->hide();
}

void App::place(const std::optional<std::string>& id, bool mouse) {
  const auto screen = mouse ? mouseScreen() : here();
  const Rect vf = screen ? screen->visibleFrame : Rect{};
  const double w = std::max(0.0, std::min(vf.size.width - 90, 1280.0));
  const double h = std::max(0.0, std::min(vf.size.height - 40, 860.0));
  const double x = midX(vf) - w / 2;
  const double y = h0() - (midY(vf) + h / 2);
  send({{"ev", "place"},
        {"x", truncated(x)},
        {"y", truncated(y)},
        {"w", truncated(w)},
        {"h", truncated(h)}},
       id);
}

}  // namespace qn
