// The bubble's refresh with nine jobs in board mode, the work every board does while the bubble
// is open: content, list rows, label measurement and geometry. On the simulated desktop this is
// the controller's own share; the desktop's text measurement comes on top.
#include <benchmark/benchmark.h>

#include <string>

#include "companion/SimCompanion_testing.h"

namespace {

void BM_BubbleShowNineJobs(benchmark::State& state) {
  qn::test::SimCompanion sim(qn::test::boardOptions());
  std::string tasks;
  for (int i = 1; i <= 9; ++i)
    tasks +=
        std::string(i > 1 ? "," : "") + R"({"id":"j)" + std::to_string(i) +
        R"(","title":"Supplier search for item )" + std::to_string(i) +
        R"(","state":"running","done":3,"total":10,"detail":"Reading page 3","speed":"normal"})";
  sim.board(R"("tasks":[)" + tasks +
            R"(],"running":9,"queued":0,"unl":{"en":{"line":"L","btn":"B"}})");
  for (auto _ : state) sim.app->bubbleShow(true);
  benchmark::DoNotOptimize(sim.bubblePanel().frame());
}
BENCHMARK(BM_BubbleShowNineJobs)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
