// The built companion on a real desktop, driven through its pipes like its parent does.
// Runs under with-desktop.sh, which provides the X server and the window manager.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "base/ChildProcess.h"
#include "base/Decimal.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "tests/e2e/companion/CompanionProcess.h"
#include "tests/support/TestSupport.h"

extern char** environ;

namespace qn {
namespace {

std::string run(const std::string& executable, std::vector<std::string> arguments) {
  return test::runTool(executable, std::move(arguments));
}

void xdotool(std::vector<std::string> arguments) {
  run("/usr/bin/xdotool", std::move(arguments));
}

// The geometry "WxH+X+Y" of the companion's 34 x 94 tab window, as the X server has it.
std::string tabGeometry() {
  for (const auto& line : split(run("/usr/bin/xwininfo", {"-root", "-tree"}), '\n', true)) {
    if (line.find("\"brinket\"") == std::string::npos) continue;
    const size_t at = line.find("34x94+");
    if (at != std::string::npos) return line.substr(at, line.find(' ', at) - at);
  }
  return "";
}

struct Rgb {
  int r = -1, g = -1, b = -1;
};

// The colour of one pixel of a fresh screenshot, kept at the path.
Rgb pixel(int x, int y, const std::string& shot) {
  run("/usr/bin/import", {"-window", "root", shot});
  const std::string text =
      run("/usr/bin/convert",
          {shot, "-crop", "1x1+" + std::to_string(x) + "+" + std::to_string(y), "-format",
           "%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]", "info:-"});
  const auto parts = split(trimWhitespace(text), ',', false);
  if (parts.size() != 3) return {};
  return Rgb{int(parseInt64(parts[0]).value_or(-1)), int(parseInt64(parts[1]).value_or(-1)),
             int(parseInt64(parts[2]).value_or(-1))};
}

bool near(Rgb a, Rgb b) {
  return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
}

// Waits until the dot in the middle of the tab at (x, y) shows the colour.
bool dotShows(int tabX, int tabY, Rgb colour, const std::string& shot) {
  return test::eventually([&] { return near(pixel(tabX + 17, tabY + 18, shot), colour); }, 5);
}

bool windowHidden(pid_t pid) {
  const auto ids =
      split(run("/usr/bin/xdotool", {"search", "--pid", std::to_string(pid)}), '\n', true);
  for (const auto& id : ids) {
    const std::string state = run("/usr/bin/xprop", {"-id", id, "_NET_WM_STATE"});
    if (state.find("_NET_WM_STATE_HIDDEN") != std::string::npos) return true;
  }
  return false;
}

class CompanionDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SpawnOptions options;
    options.executable = QN_TEST_WINDOW;
    worker_ = ChildProcess::spawn(options, nullptr);
    ASSERT_TRUE(worker_);
    ASSERT_TRUE(test::eventually(
        [&] {
          return !run("/usr/bin/xdotool",
                      {"search", "--onlyvisible", "--pid", std::to_string(worker_->pid())})
                      .empty();
        },
        10));
  }
  void TearDown() override {
    if (worker_ && worker_->isRunning()) {
      worker_->sendSignal(SIGKILL);
      worker_->waitForExit(5);
    }
  }
  std::shared_ptr<ChildProcess> worker_;
};

TEST_F(CompanionDesktopTest, TabBoardClickDragHideAndEndOfInput) {
  CompanionProcess companion({"--board", "--anchor", std::to_string(worker_->pid())});
  ASSERT_TRUE(test::eventually([] { return tabGeometry() == "34x94+1366+403"; }, 10))
      << tabGeometry();

  const std::string shot = std::string(QN_SHOT_DIR) + "/companion-tab.png";
  companion.send(R"({"cmd":"board","tasks":[{"id":"e","state":"error"}]})");
  EXPECT_TRUE(dotShows(1366, 403, {255, 89, 89}, shot));
  companion.send(R"({"cmd":"board","tasks":[{"id":"d","state":"done","done":1,"total":3}]})");
  EXPECT_TRUE(dotShows(1366, 403, {77, 166, 255}, shot));

  // A real click on a running job's tab.
  companion.send(
      R"({"cmd":"board","tasks":[{"id":"a","state":"running"},{"id":"b","state":"queued"}],"running":1,"queued":1})");
  companion.send(R"({"cmd":"keys","seq":"sync"})");
  ASSERT_TRUE(companion.nextEvent(5).has_value());
  xdotool({"mousemove", "1383", "450", "click", "1"});
  const auto toggle = companion.nextEvent(5);
  ASSERT_TRUE(toggle.has_value());
  EXPECT_EQ(*toggle, nlohmann::json::parse(R"({"ev":"toggle","id":"a"})"));

  companion.send(
      R"({"cmd":"board","tasks":[{"id":"h","state":"human"},{"id":"a","state":"running"}],"running":2,"queued":3})");
  EXPECT_TRUE(dotShows(1366, 403, {255, 153, 38}, shot));

  // A drag to the left half moves the tab to the left edge at the pointer's height.
  xdotool({"mousemove", "1383", "450", "mousedown", "1"});
  xdotool({"mousemove", "1300", "450"});
  xdotool({"mousemove", "300", "450"});
  xdotool({"mouseup", "1"});
  EXPECT_TRUE(test::eventually([] { return tabGeometry() == "34x94+0+403"; }, 5)) << tabGeometry();
  companion.send(R"({"cmd":"keys","seq":2})");
  const auto answer = companion.nextEvent(5);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ((*answer)["seq"], 2) << "a drag is no click";

  companion.send(R"({"cmd":"init","pid":)" + std::to_string(worker_->pid()) + "}");
  EXPECT_TRUE(test::eventually([&] { return windowHidden(worker_->pid()); }, 5));

  // The parent goes away: the worker is closed and the companion ends.
  companion.closeInput();
  EXPECT_TRUE(worker_->waitForExit(6));
  EXPECT_TRUE(companion.waitForExit(6));
}

TEST_F(CompanionDesktopTest, BadInputIsDroppedAndQuitLeavesWorker) {
  CompanionProcess companion({});
  companion.send("not json");
  companion.send("{\"cmd\":\"keys\",\"seq\":\"\xff\"}");
  companion.send(std::string(100000, '['));
  companion.send(R"({"cmd":"init","pid":99999999999})");
  companion.send(R"({"cmd":"keys","seq":1})");
  const auto first = companion.nextEvent(5);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ((*first)["seq"], "\xEF\xBF\xBD");
  const auto second = companion.nextEvent(5);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ((*second)["seq"], 1);
  companion.send(R"({"cmd":"init","pid":)" + std::to_string(worker_->pid()) + "}");
  companion.send(R"({"cmd":"quit"})");
  EXPECT_TRUE(companion.waitForExit(5));
  EXPECT_TRUE(worker_->isRunning()) << "quit leaves the worker running";
}

// The peak resident memory of a process, in MiB.
double peakMiB(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/status");
  const std::string status((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
  const size_t at = status.find("VmHWM:");
  if (at == std::string::npos) return -1;
  const size_t end = status.find(" kB", at);
  return double(parseInt64(trimWhitespace(status.substr(at + 6, end - at - 6))).value_or(-1)) /
         1024;
}

TEST_F(CompanionDesktopTest, HugeLineIsSkippedWithBoundedMemory) {
  CompanionProcess companion({});
  companion.send(R"({"cmd":"keys","seq":0})");
  ASSERT_TRUE(companion.nextEvent(5).has_value());
  const double before = peakMiB(companion.pid());
  // 200 MiB without a line feed, then the end of that line and a command.
  const std::string block(1 << 20, 'x');
  companion.sendRaw(R"({"cmd":"keys","seq":"huge","d":")");
  for (int i = 0; i < 200; ++i) companion.sendRaw(block);
  companion.send(R"("})");
  companion.send(R"({"cmd":"keys","seq":1})");
  const auto answer = companion.nextEvent(20);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ((*answer)["seq"], 1);
  // Up to 64 MiB of it is held before it is dropped; holding all 200 MiB would show.
  EXPECT_LT(peakMiB(companion.pid()) - before, 160) << "the line was not held whole";
}

TEST_F(CompanionDesktopTest, GoneReaderOfOutputStillEndsWithTheWorker) {
  CompanionProcess companion({});
  companion.send(R"({"cmd":"init","pid":)" + std::to_string(worker_->pid()) + "}");
  companion.closeOutput();
  for (int n = 0; n < 50; ++n) companion.send(R"({"cmd":"keys","seq":)" + std::to_string(n) + "}");
  companion.closeInput();
  EXPECT_TRUE(worker_->waitForExit(6));
  EXPECT_TRUE(companion.waitForExit(6));
}

}  // namespace
}  // namespace qn
