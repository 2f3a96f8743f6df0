#include "companion/App.h"

#include "companion/views/Panel.h"

namespace qn {

App::App(CompanionPorts ports, CompanionOptions options)
    : ports_(std::move(ports)), options_(std::move(options)) {}

App::~App() {
  animation_.cancel();
  slow_.cancel();
  orphanTimer_.cancel();
  axTimer.cancel();
  capTimer.cancel();
  guardTimer_.cancel();
  // The panels hold pointers to the views; they go first.
  panel.reset();
  bubble.reset();
  ask.reset();
  mir.reset();
  shield.reset();
}

std::unique_ptr<Panel> App::mk(Rect rect) {
  return ports_.panels.makePanel(rect, standardPanel());
}

std::string App::T(std::string_view zh, std::string_view en) const {
  return std::string(options_.zh ? zh : en);
}

std::function<void()> App::weakly(std::function<void(App&)> fn) {
  return [weak = weak_from_this(), fn = std::move(fn)] {
    if (const auto app = weak.lock()) fn(*app);
  };
}

}  // namespace qn
