#include <algorithm>

#include "companion/App.h"

namespace qn {

// The bubble's content and geometry come with the drawer; until then it opens and closes empty.
void App::bubbleShow(bool open) {
  if (!open) bubble->orderOut();
}

void App::pin(double seconds) {
  pinUntil = ports_.loop.now() + seconds;
  bubbleShow(true);
  ports_.loop.after(std::max(0.0, seconds + 0.1), weakly([](App& app) { app.closeSoon(); }));
}

void App::closeSoon() {
  ports_.loop.after(0.35, weakly([](App& app) {
                      if (app.view->hover || app.inDrawer || app.ports_.loop.now() < app.pinUntil)
                        return;
                      app.askFast = false;
                      app.bubbleShow(false);
                    }));
}

void App::setShown(bool v) {
  if (v == shown) return;
  shown = v;
  view->shown = v || mirrorOn;
  redrawTab();
  if (bubble->isVisible()) bubbleShow(true);
  emit({{"ev", "visible"}, {"v", v}});
}

}  // namespace qn
