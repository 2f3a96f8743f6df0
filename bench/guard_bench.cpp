// The guard tick on the simulated desktop, 50 times a second in the companion: its cost per call
// for a hidden, a peeking and a shown worker, and the allocations it makes once steady (which
// must be none), counted by replacing the global allocator.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "companion/SimCompanion_testing.h"

namespace {

std::atomic<long> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

constexpr pid_t kWorker = 4242;

void guardTick(benchmark::State& state, const char* condition) {
  qn::test::SimCompanion sim;
  const auto worker = sim.workspace.add(kWorker);
  sim.workspace.add(777)->activate();
  auto window = std::make_shared<qn::SimElement>("window");
  window->set("AXSize", qn::Size{900, 600});
  sim.accessibility.app(kWorker)->set("AXMainWindow", window);
  sim.command(R"({"cmd":"init","pid":4242,"app":1})");
  sim.command(std::string(R"({"cmd":")") + condition + R"(","on":true})");
  sim.app->guardTick();
  const long before = allocations.load();
  for (auto _ : state) sim.app->guardTick();
  state.counters["allocs/call"] =
      double(allocations.load() - before) / double(std::max<int64_t>(1, state.iterations()));
  benchmark::DoNotOptimize(worker->hideCalls);
}

void BM_GuardTickHidden(benchmark::State& state) {
  guardTick(state, "hide");
}
BENCHMARK(BM_GuardTickHidden);

void BM_GuardTickPeeking(benchmark::State& state) {
  guardTick(state, "peek");
}
BENCHMARK(BM_GuardTickPeeking);

void BM_GuardTickShown(benchmark::State& state) {
  guardTick(state, "show");
}
BENCHMARK(BM_GuardTickShown);

}  // namespace

BENCHMARK_MAIN();
