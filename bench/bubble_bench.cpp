// The bubble's refresh with nine jobs in board mode on the desktop backend: the work every board
// does while the bubble is open (content, list rows, label measurement with Pango, geometry).
// Run on a desktop (bench/run.sh starts a private one).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "companion/App.h"
#include "platform/gtk/GtkCompanionBackend.h"

namespace {

nlohmann::json nineJobs() {
  nlohmann::json tasks = nlohmann::json::array();
  for (int i = 1; i <= 9; ++i) {
    tasks.push_back({{"id", "j" + std::to_string(i)},
                     {"title", "Supplier search for item " + std::to_string(i)},
                     {"state", "running"},
                     {"done", 3},
                     {"total", 10},
                     {"detail", "Reading page 3 of the supplier list"},
                     {"speed", "normal"}});
  }
  return {{"cmd", "board"},
          {"tasks", tasks},
          {"running", 9},
          {"queued", 0},
          {"unl", {{"en", {{"line", "Unlimited mode is off"}, {"btn", "Turn on"}}}}}};
}

// Lets the desktop lay out and draw what the refresh asked for.
void pumpEvents(qn::MainLoop& loop) {
  loop.post([&loop] { loop.quit(); });
  loop.run();
}

void BM_BubbleShowNineJobs(benchmark::State& state) {
  static qn::GtkCompanionBackend backend;
  int argc = 0;
  char** argv = nullptr;
  if (!backend.init(argc, argv)) {
    state.SkipWithError("no display");
    return;
  }
  qn::CompanionOptions options;
  options.boardMode = true;
  auto app = std::make_shared<qn::App>(
      qn::CompanionPorts{backend.loop(), backend.panels(), backend.screens(), backend.windowList(),
                         backend.workspace(), backend.accessibility(), backend.inputTiming(),
                         backend.keyPoster(), backend.windowCapture(), backend.sound(),
                         [](std::string_view) {}, [] {}},
      options);
  app->applicationDidFinishLaunching();
  app->handle(nineJobs());
  app->bubbleShow(true);
  pumpEvents(backend.loop());
  for (auto _ : state) {
    app->bubbleShow(true);
    state.PauseTiming();
    pumpEvents(backend.loop());
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(app->bubble->frame());
}
BENCHMARK(BM_BubbleShowNineJobs)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
