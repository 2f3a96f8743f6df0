// The companion's drawer, context menu and ask dialog on a real desktop: the built program,
// driven through its pipes like its parent does and with the real pointer. Controls are found
// through the accessibility tree, so the test clicks where the user would see them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/ChildProcess.h"
#include "base/Decimal.h"
#include "base/Text.h"
#include "tests/e2e/companion/Accessibility.h"
#include "tests/e2e/companion/CompanionProcess.h"
#include "tests/e2e/support/Accessibility.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

using nlohmann::json;

std::string xdotool(std::vector<std::string> arguments) {
  return trimWhitespace(test::runTool("/usr/bin/xdotool", std::move(arguments)));
}

void clickAt(int x, int y, const std::string& button = "1") {
  xdotool({"mousemove", std::to_string(x), std::to_string(y)});
  xdotool({"click", button});
}

// The tab sits at the right edge of the 1400 x 900 screen, level with its middle.
void hoverTab() {
  xdotool({"mousemove", "1383", "450"});
}

// A top-level window of the companion with the width, as "x y width height".
std::optional<ScreenFrame> companionWindow(int width) {
  const std::string size = std::to_string(width) + "x";
  for (const auto& line :
       split(test::runTool("/usr/bin/xwininfo", {"-root", "-tree"}), '\n', true)) {
    if (line.find("\"brinket\"") == std::string::npos) continue;
    const size_t at = line.find(" " + size);
    if (at == std::string::npos) continue;
    const auto geometry = trimWhitespace(line.substr(at, line.find(' ', at + 1) - at));
    const auto sizeAndPlace = split(geometry, '+', false);
    if (sizeAndPlace.size() != 3) continue;
    const auto wh = split(sizeAndPlace[0], 'x', false);
    const std::string id = trimWhitespace(line).substr(0, trimWhitespace(line).find(' '));
    if (test::runTool("/usr/bin/xwininfo", {"-id", id}).find("IsViewable") == std::string::npos)
      continue;
    return ScreenFrame{int(parseInt64(sizeAndPlace[1]).value_or(-1)),
                       int(parseInt64(sizeAndPlace[2]).value_or(-1)),
                       int(parseInt64(wh[0]).value_or(-1)), int(parseInt64(wh[1]).value_or(-1))};
  }
  return std::nullopt;
}

// Reads events until one with the name comes; the others are skipped.
std::optional<json> nextNamed(CompanionProcess& companion, const std::string& name,
                              double seconds = 10) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    auto event = companion.nextEvent(0.2);
    if (event && event->is_object() && event->value("ev", "") == name) return event;
  }
  return std::nullopt;
}

const char* const kTwoJobs =
    R"({"cmd":"board","tasks":[)"
    R"({"id":"a","title":"Supplier search: steel brackets","state":"running","done":3,"total":10,)"
    R"("detail":"Reading page 3 of the supplier list","note":"Next: compare prices","speed":"normal"},)"
    R"({"id":"b","title":"Price check: copper wire","state":"queued","ahead":0}],"running":1,"queued":1})";

class DrawerDesktopTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { bus_ = new test::AccessibilityBus(); }
  static void TearDownTestSuite() {
    delete bus_;
    bus_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(bus_->ready());
    SpawnOptions options;
    options.executable = QN_TEST_WINDOW;
    worker_ = ChildProcess::spawn(options, nullptr);
    ASSERT_TRUE(worker_);
    ASSERT_TRUE(test::eventually(
        [&] {
          workerWindow_ =
              xdotool({"search", "--onlyvisible", "--pid", std::to_string(worker_->pid())});
          return !workerWindow_.empty();
        },
        10));
    workerWindow_ = split(workerWindow_, '\n', true).front();
    ASSERT_TRUE(test::eventually(
        [&] {
          xdotool({"windowactivate", workerWindow_});
          return focusIsOnWorker();
        },
        10));
  }
  void TearDown() override {
    if (worker_ && worker_->isRunning()) {
      worker_->sendSignal(SIGKILL);
      worker_->waitForExit(5);
    }
  }

  // The companion on a board of two jobs in the interface language, once its tab is on screen.
  std::unique_ptr<CompanionProcess> boardWithTwoJobs(const std::string& language) {
    auto companion = std::make_unique<CompanionProcess>(
        std::vector<std::string>{"--board", "--anchor", std::to_string(worker_->pid())},
        std::vector<std::string>{"LANGUAGE=" + language});
    companion->send(kTwoJobs);
    if (!test::eventually([] { return companionWindow(34).has_value(); }, 10)) return nullptr;
    return companion;
  }

  bool focusIsOnWorker() { return xdotool({"getwindowfocus"}) == workerWindow_; }

  // Waits until the control shows, then clicks its middle.
  bool click(const CompanionProcess& companion, const std::string& role, const std::string& name) {
    std::optional<ScreenFrame> frame;
    if (!test::eventually(
            [&] { return (frame = showingControl(companion.pid(), role, name)).has_value(); }, 10))
      return false;
    clickAt(frame->centreX(), frame->centreY());
    return true;
  }

  static test::AccessibilityBus* bus_;
  std::shared_ptr<ChildProcess> worker_;
  std::string workerWindow_;
};

test::AccessibilityBus* DrawerDesktopTest::bus_ = nullptr;

struct Language {
  std::string code;
  std::string pause;
  std::string shot;
};

TEST_F(DrawerDesktopTest, HoverOpensTheBubbleBesideTheTabAndPauseWritesItsEvent) {
  const std::vector<Language> languages = {{"en", "Pause", "drawer-en.png"},
                                           {"zh_CN", "暂停", "drawer-zh.png"}};
  for (const auto& language : languages) {
    SCOPED_TRACE(language.code);
    auto started = boardWithTwoJobs(language.code);
    ASSERT_TRUE(started);
    CompanionProcess& companion = *started;
    hoverTab();
    std::optional<ScreenFrame> pause;
    ASSERT_TRUE(test::eventually(
        [&] {
          return (pause = showingControl(companion.pid(), "push button", language.pause))
              .has_value();
        },
        10));
    // Two jobs make the wide bubble, 2 points left of the tab at x 1366.
    const auto bubble = companionWindow(290);
    ASSERT_TRUE(bubble);
    EXPECT_EQ(bubble->x + bubble->width, 1364);
    EXPECT_GE(bubble->y, 0);
    EXPECT_LE(bubble->y + bubble->height, 900);
    EXPECT_GE(pause->x, bubble->x);
    EXPECT_LE(pause->x + pause->width, bubble->x + bubble->width);
    test::runTool("/usr/bin/import",
                  {"-window", "root", std::string(QN_SHOT_DIR) + "/" + language.shot});

    clickAt(pause->centreX(), pause->centreY());
    const auto event = nextNamed(companion, "menu");
    ASSERT_TRUE(event);
    EXPECT_EQ(*event, json::parse(R"({"ev":"menu","item":"pause","id":"a"})"));
    EXPECT_TRUE(focusIsOnWorker());
  }
}

TEST_F(DrawerDesktopTest, FastAsksFirstAndGoFasterWritesTheSpeed) {
  auto started = boardWithTwoJobs("en");
  ASSERT_TRUE(started);
  CompanionProcess& companion = *started;
  hoverTab();
  ASSERT_TRUE(click(companion, "toggle button", "Fast"));
  ASSERT_TRUE(test::eventually(
      [&] { return showingControl(companion.pid(), "push button", "Go faster").has_value(); }, 10));
  EXPECT_FALSE(showingControl(companion.pid(), "push button", "Pause"))
      << "the usual row gives way";
  EXPECT_FALSE(companion.nextEvent(0.5)) << "nothing is sent before the confirmation";

  ASSERT_TRUE(click(companion, "push button", "Go faster"));
  const auto event = nextNamed(companion, "speed");
  ASSERT_TRUE(event);
  EXPECT_EQ(*event, json::parse(R"({"ev":"speed","v":"fast","id":"a"})"));
  EXPECT_TRUE(focusIsOnWorker());
}

TEST_F(DrawerDesktopTest, RightClickOnTheTabOpensTheMenuAndStopWritesItsEvent) {
  auto started = boardWithTwoJobs("en");
  ASSERT_TRUE(started);
  CompanionProcess& companion = *started;
  clickAt(1383, 450, "3");
  ASSERT_TRUE(click(companion, "menu item", "Stop"));
  const auto event = nextNamed(companion, "menu");
  ASSERT_TRUE(event);
  EXPECT_EQ(*event, json::parse(R"({"ev":"menu","item":"stop","id":"a"})"));
}

TEST_F(DrawerDesktopTest, ConsentShowsAboveTheMiddleAndTheAnswerKeepsTheFocusElsewhere) {
  auto started = boardWithTwoJobs("en");
  ASSERT_TRUE(started);
  CompanionProcess& companion = *started;
  companion.send(
      R"({"cmd":"consent","id":"q1","ver":3,)"
      R"("en":{"title":"Search faster for a while?","body":"Pages will open closer together.",)"
      R"("tips":"Only for a spare account.","yes":"Allow","no":"Not now"},)"
      R"("zh":{"title":"要调快吗？","body":"页面会更密。","tips":"只建议备用号。","yes":"允许","no":"先不"}})");
  std::optional<ScreenFrame> allow;
  ASSERT_TRUE(test::eventually(
      [&] { return (allow = showingControl(companion.pid(), "push button", "Allow")).has_value(); },
      10));
  const auto dialog = companionWindow(440);
  ASSERT_TRUE(dialog);
  // Centred on the 1400 x 900 screen, its middle 60 points above the screen's.
  EXPECT_NEAR(dialog->x + dialog->width / 2.0, 700, 1);
  EXPECT_NEAR(dialog->y + dialog->height / 2.0, 390, 1);
  const auto notNow = showingControl(companion.pid(), "push button", "Not now");
  ASSERT_TRUE(notNow);
  EXPECT_LT(notNow->x, allow->x) << "the accepting button is on the right";
  EXPECT_TRUE(focusIsOnWorker());

  clickAt(allow->centreX(), allow->centreY());
  const auto event = nextNamed(companion, "consent");
  ASSERT_TRUE(event);
  EXPECT_EQ(*event, json::parse(R"({"ev":"consent","id":"q1","v":"yes","ver":3,"lang":"en"})"));
  EXPECT_TRUE(focusIsOnWorker());
  EXPECT_TRUE(test::eventually([] { return !companionWindow(440).has_value(); }, 5));
}

}  // namespace
}  // namespace qn
