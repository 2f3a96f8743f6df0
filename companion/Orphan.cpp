#include "companion/App.h"

namespace qn {

// The parent is gone: the worker it named goes too, politely, then by force after 4 s; after
// 7.5 s the companion stops waiting.
void App::orphan() {
  const auto worker = quitting ? nullptr : chrome();
  if (!worker) {
    ports_.terminate();
    return;
  }
  worker->terminate();
  orphanWorker_ = worker;
  orphanTicks_ = 0;
  orphanTimer_ = ports_.loop.every(0.5, weakly([](App& app) { app.orphanTick(); }));
}

void App::orphanTick() {
  ++orphanTicks_;
  const auto& worker = orphanWorker_;
  if (worker->isTerminated()) {
    orphanTimer_.cancel();
    ports_.terminate();
  } else if (orphanTicks_ == 8) {
    worker->forceTerminate();
  } else if (orphanTicks_ >= 15) {
    orphanTimer_.cancel();
    ports_.terminate();
  }
}

}  // namespace qn
