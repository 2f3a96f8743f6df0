// checkHealthSync against a live reference service and against a closed port.
#include <benchmark/benchmark.h>
#include <signal.h>

#include "base/ChildProcess.h"
#include "base/HttpGet.h"
#include "shell/SimShell_testing.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestBundle.h"
#include "tests/support/TestSupport.h"

namespace {

void BM_CheckHealthLiveService(benchmark::State& state) {
  qn::test::TempDir dir;
  const int port = qn::test::unusedPort();
  qn::SpawnOptions options;
  options.executable = qn::test::nodeExecutable();
  options.arguments = {QN_SERVICE_SCRIPT};
  qn::Environment environment = qn::Environment::current();
  environment.set("QUENTRA_PORT", std::to_string(port));
  options.environment = environment.toList();
  options.standardOutput = qn::ChildOutput::null();
  auto service = qn::ChildProcess::spawn(options, nullptr);
  qn::test::SimShell shell(dir.file("QUENTRA"), {});
  qn::test::eventually([&] { return shell.delegate->checkHealthSync(port).isQuentra; }, 10);
  for (auto _ : state) {
    benchmark::DoNotOptimize(shell.delegate->checkHealthSync(port));
  }
  service->sendSignal(SIGTERM);
  service->waitForExit(5);
}
BENCHMARK(BM_CheckHealthLiveService)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_CheckHealthClosedPort(benchmark::State& state) {
  qn::test::TempDir dir;
  const int port = qn::test::unusedPort();
  qn::test::SimShell shell(dir.file("QUENTRA"), {});
  for (auto _ : state) {
    benchmark::DoNotOptimize(shell.delegate->checkHealthSync(port));
  }
}
BENCHMARK(BM_CheckHealthClosedPort)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same request without the probe's thread and bounded wait: the baseline.
void BM_PlainHttpGetLiveFake(benchmark::State& state) {
  qn::test::FakeHttpServer server;
  const std::string url = *qn::loopbackURL(server.port(), "/api/health");
  for (auto _ : state) {
    benchmark::DoNotOptimize(qn::httpGet(url, 1.2));
  }
}
BENCHMARK(BM_PlainHttpGetLiveFake)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
