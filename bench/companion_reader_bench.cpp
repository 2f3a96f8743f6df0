// The companion's reader on one 400 KB frame line (one base64 string): the simdjson path that
// parses the line and hands the command to the main loop, against nlohmann's parser alone.
#include <benchmark/benchmark.h>

#include <string>

#include <nlohmann/json.hpp>

#include "companion/LineReader.h"
#include "platform/sim/SimMainLoop.h"

namespace {

std::string frameLine() {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string data;
  data.reserve(400 * 1024);
  for (size_t i = 0; i < 400 * 1024; ++i) data.push_back(alphabet[(i * 7919) % 64]);
  return R"({"cmd":"frame","id":"job-1","w":1280,"h":800,"d":")" + data + "\"}";
}

void BM_ReaderParseAndPost(benchmark::State& state) {
  const std::string line = frameLine();
  qn::SimMainLoop loop;
  size_t handled = 0;
  for (auto _ : state) {
    auto command = qn::parseCommandLine(line);
    auto shared = std::make_shared<nlohmann::json>(std::move(*command));
    loop.post([shared, &handled] { handled += shared->size(); });
    state.PauseTiming();
    loop.runPending();
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(handled);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(line.size()));
}
BENCHMARK(BM_ReaderParseAndPost)->Unit(benchmark::kMicrosecond);

void BM_NlohmannParseBaseline(benchmark::State& state) {
  const std::string line = frameLine();
  for (auto _ : state) {
    auto value = nlohmann::json::parse(line, nullptr, false);
    benchmark::DoNotOptimize(value);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(line.size()));
}
BENCHMARK(BM_NlohmannParseBaseline)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
