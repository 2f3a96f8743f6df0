// The companion's whole path for one 1280 x 800 JPEG "frame" line (quality 85): framing the
// line, parsing it (simdjson into nlohmann), the main-loop hand-over, dispatch, base64, the JPEG
// decode and the mirror's picture. The baseline in the same run is TurboJPEG's own full-size
// decode of the same bytes into a buffer it keeps; the target is at most 1.3 times that.
#include <benchmark/benchmark.h>

#include <turbojpeg.h>

#include <cmath>
#include <string>

#include "base/Base64.h"
#include "base/ImageDecode.h"
#include "companion/LineReader.h"
#include "companion/SimCompanion_testing.h"
#include "tests/support/TestImages.h"

namespace {

// Soft gradients with fine detail, so the JPEG is as heavy as a web page's screenshot.
std::vector<uint8_t> pageLikeJpeg() {
  return qn::test::encodeJpeg(1280, 800, [](int x, int y) {
    const auto wave = [](double v) { return uint8_t(127 + 120 * std::sin(v)); };
    return qn::test::Rgba{wave(x * 0.05 + y * 0.01), wave(y * 0.07), wave((x ^ y) * 0.3)};
  });
}

const std::vector<uint8_t>& jpeg() {
  static const auto bytes = pageLikeJpeg();
  return bytes;
}

std::string frameLine() {
  return R"({"cmd":"frame","w":1280,"h":800,"d":")" + qn::test::encodeBase64(jpeg()) + "\"}\n";
}

void BM_TurboJpegDecodeBaseline(benchmark::State& state) {
  tjhandle handle = tjInitDecompress();
  std::vector<uint8_t> pixels(1280 * 800 * 4);
  for (auto _ : state) {
    const int rc = tjDecompress2(handle, jpeg().data(), jpeg().size(), pixels.data(), 1280,
                                 1280 * 4, 800, TJPF_BGRA, 0);
    benchmark::DoNotOptimize(rc);
    benchmark::ClobberMemory();
  }
  tjDestroy(handle);
}
BENCHMARK(BM_TurboJpegDecodeBaseline)->Unit(benchmark::kMillisecond);

void BM_WholeFramePath(benchmark::State& state) {
  qn::test::SimCompanion sim;
  sim.command(R"({"cmd":"mirror","on":true})");
  const std::string line = frameLine();
  qn::LineFramer framer;
  for (auto _ : state) {
    framer.feed(line, [&](std::string_view text) {
      auto command = qn::parseCommandLine(text);
      auto shared = std::make_shared<nlohmann::json>(std::move(*command));
      sim.loop.post([&sim, shared] { sim.app->handle(std::move(*shared)); });
    });
    sim.loop.runPending();
    benchmark::DoNotOptimize(sim.app->mv->img.get());
  }
  if (!sim.app->mv->img || sim.app->mv->img->width != 1280) state.SkipWithError("no picture");
  state.counters["frames/s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(std::to_string(line.size() / 1024) + " KiB line");
}
BENCHMARK(BM_WholeFramePath)->Unit(benchmark::kMillisecond)->UseRealTime();

// The stages alone, to see where the rest goes.
void BM_ParseLine(benchmark::State& state) {
  const std::string line = frameLine();
  for (auto _ : state) benchmark::DoNotOptimize(qn::parseCommandLine(line));
}
BENCHMARK(BM_ParseLine)->Unit(benchmark::kMillisecond);

void BM_Base64(benchmark::State& state) {
  const std::string text = qn::test::encodeBase64(jpeg());
  for (auto _ : state) benchmark::DoNotOptimize(qn::decodeBase64(text));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_Base64)->Unit(benchmark::kMillisecond);

void BM_DecodeImage(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(qn::decodeImage(jpeg()));
}
BENCHMARK(BM_DecodeImage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
