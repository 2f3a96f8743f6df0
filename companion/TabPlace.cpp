#include "companion/App.h"
#include "companion/ScreenGeometry.h"

namespace qn {

std::optional<Screen> App::panelScreen() {
  const auto rect = panelRect(options_.panelPids, ports_.windowList.onScreenWindows());
  if (!rect) return std::nullopt;
  const auto screens = ports_.screens.screens();
  std::vector<Rect> frames;
  for (const auto& screen : screens) frames.push_back(toWindowListSpace(screen.frame, h0()));
  const auto index = bestScreen(*rect, frames);
  if (!index) return std::nullopt;
  return screens[*index];
}

double App::h0() {
  const auto screens = ports_.screens.screens();
  return screens.empty() ? 0 : screens.front().frame.size.height;
}

std::optional<Screen> App::home() {
  if (auto s = panelScreen()) return s;
  const auto screens = ports_.screens.screens();
  if (!screens.empty()) return screens.front();
  return ports_.screens.mainScreen();
}

std::optional<Screen> App::here() {
  for (const auto& screen : ports_.screens.screens())
    if (screen.displayId == screenID) return screen;
  return home();
}

void App::layout() {
  const auto s = here();
  if (!s) return;
  screenID = s->displayId;
  panel->setFrame(tabFrame(*s, edgeLeft, relY));
  view->left = edgeLeft;
  redrawTab();
  if (bubble->isVisible()) bubbleShow(true);
}

void App::drag(Point point, bool ended) {
  dragging = !ended;
  const auto s = screenUnder(point, ports_.screens.screens(), ports_.screens.mainScreen());
  if (s) {
    const EdgePlace place = dragMapping(point, *s);
    screenID = place.screenID;
    edgeLeft = place.edgeLeft;
    relY = place.relY;
  }
  layout();
}

}  // namespace qn
