// The worker window's ports on a desktop (bench/run.sh starts a private one):
//  - the guard's questions about a hidden worker (is there such a process, is it hidden, is it
//    active), answered from the X server's events, against asking the server each time, with
//    the X requests each costs;
//  - 500 characters typed into Chromium's text input at the companion's 6 ms pacing, against
//    the pacing alone; every run checks that the page got the whole text in order.
#include <benchmark/benchmark.h>

// Before X11's macros (DesktopTestSupport includes gtest first).
#include "tests/e2e/companion/DesktopTestSupport.h"

#include <cstdio>
#include <string>

#include "platform/gtk/X11ClientCache.h"
#include "platform/gtk/X11Clients.h"
#include "tests/e2e/companion/WorkerApps.h"

namespace {

constexpr double kPacing = 0.006;

qn::GtkWorker& hiddenWorker() {
  static qn::GtkWorker* worker = [] {
    auto* w = new qn::GtkWorker({});
    auto app = qn::backend().workspace().runningApplication(w->pid());
    if (app) app->hide();
    qn::spinUntil([&] { return app && app->isHidden(); });
    return w;
  }();
  return *worker;
}

void reportRequests(benchmark::State& state, unsigned long first) {
  state.counters["x_requests"] =
      benchmark::Counter(double(XNextRequest(qn::xdisplay()) - first) / double(state.iterations()));
}

void BM_GuardQuestionsFromEvents(benchmark::State& state) {
  const pid_t pid = hiddenWorker().pid();
  const unsigned long first = XNextRequest(qn::xdisplay());
  for (auto _ : state) {
    auto app = qn::backend().workspace().runningApplication(pid);
    benchmark::DoNotOptimize(app->isHidden());
    benchmark::DoNotOptimize(app->isActive());
  }
  reportRequests(state, first);
}
BENCHMARK(BM_GuardQuestionsFromEvents);

// The baseline: the same answers asked of the X server each time.
void BM_GuardQuestionsAskingTheServer(benchmark::State& state) {
  const pid_t pid = hiddenWorker().pid();
  const unsigned long first = XNextRequest(qn::xdisplay());
  for (auto _ : state) {
    bool hidden = true;
    const auto windows = qn::x11::windowsOf(pid);
    for (unsigned long window : windows) hidden = hidden && qn::x11::isHidden(window);
    const auto active = qn::x11::activeWindow();
    benchmark::DoNotOptimize(hidden && !windows.empty());
    benchmark::DoNotOptimize(active && qn::x11::windowPid(*active) == pid);
  }
  reportRequests(state, first);
}
BENCHMARK(BM_GuardQuestionsAskingTheServer);

std::u16string fiveHundredUnits() {
  std::u16string text;
  while (text.size() < 500) text += u"héllo wörld ";
  text.resize(500);
  return text;
}

std::string toUtf8(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    char buffer[8] = {};
    out.append(buffer, size_t(g_unichar_to_utf8(gunichar(unit), buffer)));
  }
  return out;
}

void BM_Type500IntoChromium(benchmark::State& state) {
  static qn::ChromiumWorker* chromium = nullptr;
  auto& ax = qn::backend().accessibility();
  if (chromium == nullptr) {
    qn::setAccessibilityEnabled(true);
    chromium = new qn::ChromiumWorker;
  }
  qn::AXRef app, input;
  qn::spinUntil([&] { return (app = ax.applicationElement(chromium->pid())) != nullptr; }, 10);
  // The text input is the page's first entry without a subrole, found breadth first.
  std::vector<qn::AXRef> queue{app ? ax.elementAttribute(app, "AXMainWindow") : nullptr};
  for (size_t i = 0; i < queue.size() && queue[i] && !input && i < 3000; ++i) {
    if (ax.stringAttribute(queue[i], "AXTitle") == "text" &&
        ax.stringAttribute(queue[i], "AXRole") == "AXTextField")
      input = queue[i];
    for (auto& child :
         ax.elementsAttribute(queue[i], "AXChildren").value_or(std::vector<qn::AXRef>{}))
      queue.push_back(child);
  }
  if (!chromium->ready() || !input || !ax.setBoolAttribute(input, "AXFocused", true)) {
    state.SkipWithError("no Chromium text input");
    return;
  }
  const std::u16string text = fiveHundredUnits();
  // The input keeps what earlier runs typed.
  static std::string expected;
  auto& keys = qn::backend().keyPoster();
  for (auto _ : state) {
    for (char16_t unit : text) {
      keys.post(chromium->pid(), qn::KeyEvent{0, unit, true});
      keys.post(chromium->pid(), qn::KeyEvent{0, unit, false});
      keys.pause(kPacing);
    }
    state.PauseTiming();
    expected += toUtf8(text);
    if (!qn::spinUntil([&] { return chromium->reported(expected); }, 20)) {
      const auto requests = chromium->server.requests();
      std::fprintf(stderr, "last report: %s\n", requests.empty() ? "" : requests.back().c_str());
      state.SkipWithError("the page did not get the whole text in order");
      break;
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Type500IntoChromium)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: the pacing alone.
void BM_Pacing500(benchmark::State& state) {
  for (auto _ : state)
    for (int i = 0; i < 500; ++i) qn::backend().keyPoster().pause(kPacing);
}
BENCHMARK(BM_Pacing500)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qn::backend();
  if (!qn::accessibilityBusUp()) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
