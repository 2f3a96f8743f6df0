// The built companion controlling real worker windows on a private desktop with the
// accessibility bus: Chromium on a local page and the GTK test window. The companion runs as
// the service runs it, on pipes; the test reads the windows back from the X server.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/gtk/X11Clients.h"
#include "tests/e2e/companion/CompanionProcess.h"
#include "tests/e2e/companion/DesktopTestSupport.h"
#include "tests/e2e/companion/WorkerApps.h"

namespace qn {
namespace {

using nlohmann::json;

// The first event named ev within the seconds; the others read meanwhile are kept in seen.
std::optional<json> eventNamed(CompanionProcess& companion, const std::string& ev, double seconds,
                               std::vector<json>* seen = nullptr) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    const double left =
        std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
    auto event = companion.nextEvent(std::max(left, 0.01));
    if (!event) continue;
    if ((*event)["ev"] == ev) return event;
    if (seen != nullptr) seen->push_back(*event);
  }
  return std::nullopt;
}

json initFor(pid_t pid) {
  return {{"cmd", "init"}, {"pid", pid}, {"title", "Worker"}, {"app", 1}};
}

// The worker's first window, once it has one.
unsigned long windowOf(pid_t pid) {
  unsigned long window = 0;
  spinUntil([&] {
    const auto windows = x11::windowsOf(pid);
    window = windows.empty() ? 0 : windows.front();
    return window != 0;
  });
  return window;
}

bool near(double a, double b, double slack) {
  return std::abs(a - b) <= slack;
}

TEST(WorkerDesktop, AccessibilityOffIsReportedThenTheCompanionsPromptTurnsItOn) {
  ASSERT_TRUE(accessibilityBusUp());
  setAccessibilityEnabled(false);
  GtkWorker worker({"--entries"});
  ASSERT_NE(worker.window(), 0u);
  CompanionProcess companion({});
  companion.send(initFor(worker.pid()).dump());
  EXPECT_EQ(eventNamed(companion, "ax", 5), (json{{"ev", "ax"}, {"ok", false}}));
  EXPECT_EQ(eventNamed(companion, "ax", 2.5), (json{{"ev", "ax"}, {"ok", true}}));
  // The grant is reported once.
  EXPECT_FALSE(eventNamed(companion, "ax", 1.5));
}

// Chromium as the worker while the user's own window has the keyboard focus.
struct ChromiumFixture : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(accessibilityBusUp());
    setAccessibilityEnabled(true);
    chromium = std::make_unique<ChromiumWorker>(true);
    ASSERT_TRUE(chromium->ready());
    window = windowOf(chromium->pid());
    ASSERT_NE(window, 0u);
    user = std::make_unique<FocusedWindow>(QN_TEST_WINDOW);
    companion = std::make_unique<CompanionProcess>(std::vector<std::string>{});
    companion->send(initFor(chromium->pid()).dump());
    ASSERT_EQ(eventNamed(*companion, "ax", 5), (json{{"ev", "ax"}, {"ok", true}}));
    ASSERT_TRUE(spinUntil([&] { return x11::isHidden(window); }, 5)) << "init hides the worker";
  }

  json keysReply(const json& command) {
    companion->send(command.dump());
    return eventNamed(*companion, "keys", 10).value_or(json());
  }

  std::unique_ptr<ChromiumWorker> chromium;
  unsigned long window = 0;
  std::unique_ptr<FocusedWindow> user;
  std::unique_ptr<CompanionProcess> companion;

  void TearDown() override {
    if (!HasFailure() || !chromium) return;
    for (const auto& request : chromium->server.requests())
      std::cerr << "page: " << request << "\n";
  }
};

// Text reaches the hidden browser. Chromium drops named keys sent to an iconified window, so
// they are typed while it is peeking: on screen, but never active. Off in the suite: Chromium
// still loses some keys sent to a window it was told it has the focus of (a Backspace right
// after another, now and then a whole word), so this fails in about one run of three.
TEST_F(ChromiumFixture, DISABLED_KeysReachThePagesTextInputWhileTheUserKeepsTheFocus) {
  EXPECT_EQ(keysReply({{"cmd", "keys"}, {"text", "héllo wörld"}, {"seq", 1}}),
            (json{{"ev", "keys"}, {"n", 11}, {"seq", 1}}));
  EXPECT_TRUE(spinUntil([&] { return chromium->holds("héllo wörld"); }, 5));
  EXPECT_EQ(keysReply({{"cmd", "keys"}, {"text", "😀"}, {"seq", 2}}),
            (json{{"ev", "keys"}, {"n", 2}, {"seq", 2}}));
  EXPECT_TRUE(spinUntil([&] { return chromium->holds("héllo wörld😀"); }, 5));
  EXPECT_TRUE(x11::isHidden(window)) << "the worker stays hidden";
  EXPECT_TRUE(user->hasInputFocus()) << "the user's window keeps the keyboard";

  companion->send(R"({"cmd":"peek","on":true})");
  ASSERT_EQ(eventNamed(*companion, "peek", 5), (json{{"ev", "peek"}, {"ok", true}}));
  ASSERT_TRUE(spinUntil([&] { return !x11::isHidden(window); }, 5));
  // The browser deletes the emoji as one character, then the letter before it.
  EXPECT_EQ(keysReply({{"cmd", "key"}, {"key", "Backspace"}, {"seq", 3}}),
            (json{{"ev", "keys"}, {"n", 1}, {"seq", 3}}));
  EXPECT_TRUE(spinUntil([&] { return chromium->holds("héllo wörld"); }, 5));
  EXPECT_EQ(keysReply({{"cmd", "key"}, {"key", "Backspace"}, {"seq", 4}}),
            (json{{"ev", "keys"}, {"n", 1}, {"seq", 4}}));
  EXPECT_TRUE(spinUntil([&] { return chromium->holds("héllo wörl"); }, 5));
  EXPECT_EQ(keysReply({{"cmd", "key"}, {"key", "Enter"}, {"seq", 5}}),
            (json{{"ev", "keys"}, {"n", 1}, {"seq", 5}}));
  EXPECT_TRUE(spinUntil([&] { return chromium->enterReported(); }, 5));
  EXPECT_EQ(keysReply({{"cmd", "key"}, {"key", "enter"}, {"seq", 6}}),
            (json{{"ev", "keys"}, {"n", -1}, {"seq", 6}}));
  spinFor(0.3);
  EXPECT_TRUE(user->hasInputFocus()) << "the user's window keeps the keyboard";
  EXPECT_NE(x11::activeWindow(), window);
}

TEST_F(ChromiumFixture, ShowCentresTheWindowAndHideGivesTheFocusBack) {
  companion->send(R"({"cmd":"show"})");
  EXPECT_EQ(eventNamed(*companion, "visible", 5), (json{{"ev", "visible"}, {"v", true}}));
  ASSERT_TRUE(
      spinUntil([&] { return !x11::isHidden(window) && x11::activeWindow() == window; }, 5));
  // 900 x 600 centred on the 1400 x 900 screen.
  ASSERT_TRUE(spinUntil(
      [&] {
        const auto frame = x11::outerBounds(window);
        return frame && near(frame->origin.x, 250, 2) && near(frame->origin.y, 150, 2);
      },
      5))
      << "the window is centred";
  // The guard sees it on screen and leaves it there.
  spinFor(0.5);
  EXPECT_EQ(x11::activeWindow(), window);

  companion->send(R"({"cmd":"hide"})");
  EXPECT_EQ(eventNamed(*companion, "visible", 5), (json{{"ev", "visible"}, {"v", false}}));
  EXPECT_TRUE(
      spinUntil([&] { return x11::isHidden(window) && x11::activeWindow() == user->window; }, 5));
}

TEST_F(ChromiumFixture, PeekShowsThePageBehindTheShieldWhichTakesTheClicks) {
  companion->send(R"({"cmd":"peek","on":true,"caption":"job 1"})");
  EXPECT_EQ(eventNamed(*companion, "peek", 5), (json{{"ev", "peek"}, {"ok", true}}));
  // 900 x 600 fits: it stands 60 points from the right edge, the strip above it centred.
  ASSERT_TRUE(spinUntil(
      [&] {
        const auto frame = x11::outerBounds(window);
        return !x11::isHidden(window) && frame && near(frame->origin.x, 440, 2) &&
               near(frame->origin.y, 165, 2);
      },
      5))
      << "the worker stands beside the tab";
  // The capture arrives within a few ticks of 0.4 s.
  spinFor(2.0);
  saveScreenshot(std::string(QN_SHOT_DIR) + "/worker-peek.png");
  {
    const ScreenPixels screen;
    const unsigned char* page = screen.at(Point{890, 600});
    EXPECT_TRUE(std::abs(page[0] - kPageRed) < 40 && std::abs(page[1] - kPageGreen) < 40 &&
                std::abs(page[2] - kPageBlue) < 40)
        << "the page's colour inside the shield: " << int(page[0]) << "," << int(page[1]) << ","
        << int(page[2]);
    const unsigned char* border = screen.at(Point{441, 500});
    EXPECT_GT(border[1], 150) << "the shield's green border";
  }
  pointerTo(890, 600);
  xdotool({"click", "1"});
  spinFor(0.5);
  EXPECT_FALSE(chromium->clickReported()) << "the click stays on the shield";
  EXPECT_NE(x11::activeWindow(), window) << "peeking never activates the worker";

  companion->send(R"({"cmd":"peek","on":false})");
  EXPECT_TRUE(spinUntil([&] { return x11::isHidden(window); }, 5));
}

TEST_F(ChromiumFixture, EndOfInputClosesTheBrowserAndTheCompanion) {
  const pid_t browser = chromium->pid();
  companion->closeInput();
  EXPECT_TRUE(companion->waitForExit(10));
  EXPECT_TRUE(
      spinUntil([&] { return ::kill(browser, 0) != 0 || x11::windowsOf(browser).empty(); }, 5));
}

TEST(WorkerDesktop, TheGuardSendsBackAWorkerThatRaisesItself) {
  ASSERT_TRUE(accessibilityBusUp());
  setAccessibilityEnabled(true);
  GtkWorker worker({"--entries", "--raise-after", "2"});
  ASSERT_NE(worker.window(), 0u);
  FocusedWindow user(QN_TEST_WINDOW);
  CompanionProcess companion({});
  companion.send(initFor(worker.pid()).dump());
  ASSERT_TRUE(eventNamed(companion, "ax", 5));
  std::vector<json> seen;
  const auto note = eventNamed(companion, "note", 6, &seen);
  ASSERT_TRUE(note);
  EXPECT_EQ((*note)["text"], "页面想弹到前台，已收回（activate）");
  EXPECT_TRUE(spinUntil([&] { return x11::isHidden(worker.window()) && user.hasInputFocus(); }, 3));
  EXPECT_FALSE(eventNamed(companion, "note", 1.0)) << "one note for one leak";
}

TEST(WorkerDesktop, WorkingInTheShownWindowIsReportedAndAClosedWorkerIsLetGo) {
  ASSERT_TRUE(accessibilityBusUp());
  setAccessibilityEnabled(true);
  GtkWorker worker({"--entries"});
  ASSERT_NE(worker.window(), 0u);
  CompanionProcess companion({});
  companion.send(initFor(worker.pid()).dump());
  ASSERT_TRUE(eventNamed(companion, "ax", 5));
  companion.send(R"({"cmd":"show"})");
  ASSERT_TRUE(eventNamed(companion, "visible", 5));
  // Shown, the window is moved to the middle of the screen.
  std::optional<Rect> frame;
  ASSERT_TRUE(spinUntil(
      [&] {
        frame = x11::rootBounds(worker.window());
        return x11::activeWindow() == worker.window() && frame &&
               near(frame->origin.x + frame->size.width / 2, 700, 30);
      },
      5));
  spinFor(0.3);
  pointerTo(int(frame->origin.x + frame->size.width / 2), int(frame->origin.y + 20));
  xdotool({"click", "1"});
  EXPECT_EQ(eventNamed(companion, "user", 2), (json{{"ev", "user"}, {"active", true}}));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(eventNamed(companion, "user", 6), (json{{"ev", "user"}, {"active", false}}));
  const double quiet =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GT(quiet, 2.3);

  worker.kill();
  EXPECT_EQ(eventNamed(companion, "visible", 5), (json{{"ev", "visible"}, {"v", false}}));
  companion.send(R"({"cmd":"keys","text":"a","seq":9})");
  EXPECT_EQ(eventNamed(companion, "keys", 5), (json{{"ev", "keys"}, {"n", -1}, {"seq", 9}}));
}

}  // namespace
}  // namespace qn
