#include "companion/views/ListView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "companion/views/TabView.h"
#include "platform/sim/SimCanvas.h"

namespace qn {
namespace {

using ::testing::ElementsAre;

Job job(const std::string& id, const std::string& state, const std::string& title = "") {
  Job j;
  j.id = id;
  j.state = state;
  j.title = title;
  return j;
}

SimCanvas render(ListView& list, double width = 278) {
  SimCanvas canvas;
  list.draw(canvas, Size{width, 24 * double(list.rows.size()) + 20});
  return canvas;
}

std::vector<const SimCanvas::Op*> opsOf(const SimCanvas& canvas, SimCanvas::Kind kind) {
  std::vector<const SimCanvas::Op*> list;
  for (const auto& op : canvas.ops)
    if (op.kind == kind) list.push_back(&op);
  return list;
}

TEST(ListView, WordsByState) {
  struct Case {
    std::string state;
    int64_t done, total, ahead;
    std::string zh, en;
  };
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  const std::vector<Case> cases = {
      {"queued", 0, 0, 0, "排队 1", "#1"},
      {"queued", 5, 9, 3, "排队 4", "#4"},
      {"queued", 0, 0, kMax, "排队 9223372036854775807", "#9223372036854775807"},
      {"human", 1, 2, 0, "需要你", "Needs you"},
      {"held", 1, 2, 0, "停住", "On hold"},
      {"ai", 1, 2, 0, "认路", "AI"},
      {"paused", 1, 2, 0, "暂停", "Paused"},
      {"error", 1, 2, 0, "出错", "Error"},
      {"stopped", 1, 2, 0, "已停", "Stopped"},
      {"done", 12, 20, 0, "✓ 12", "✓ 12"},
      {"running", 3, 10, 0, "3/10", "3/10"},
      {"starting", 0, 0, 0, "0/0", "0/0"},
      {"yield", 12345, 100000, 0, "12345/100000", "12345/100000"},
      {"Queued", 1, 2, 7, "1/2", "1/2"},
      {"", -3, -1, 0, "-3/-1", "-3/-1"},
  };
  for (const auto& c : cases) {
    Job j = job("x", c.state);
    j.done = c.done;
    j.total = c.total;
    j.ahead = c.ahead;
    EXPECT_EQ(ListView::word(j, true), c.zh) << c.state;
    EXPECT_EQ(ListView::word(j, false), c.en) << c.state;
  }
}

TEST(ListView, HitTestCountsWholeRowsOnly) {
  ListView list(false);
  list.rows = {job("a", "running"), job("b", "queued")};
  list.more = 3;
  struct Case {
    double y;
    int row;
  };
  const std::vector<Case> cases = {
      {0, 0},
      {23.9, 0},
      {24, 1},
      {47.9, 1},
      {48, -1} /* the more line */,
      {60, -1},
      {-0.5, -1},
      {-30, -1},
      {std::numeric_limits<double>::quiet_NaN(), -1},
      {1e300, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(list.at(Point{100, c.y}), c.row) << c.y;
}

TEST(ListView, PickReportsTheRowUnderThePressOnly) {
  ListView list(false);
  list.rows = {job("a", "running"), job("b", "queued")};
  list.sel = "a";
  std::vector<std::string> picked;
  list.mouseDown(Point{5, 30});  // no callback yet
  list.onPick = [&](const std::string& id) { picked.push_back(id); };
  list.mouseDown(Point{5, 30});
  list.mouseDown(Point{5, 2});
  list.mouseDown(Point{5, 50});
  EXPECT_THAT(picked, ElementsAre("b", "a")) << "the view reports; the controller decides";
  EXPECT_EQ(list.sel, "a");
}

TEST(ListView, HoverFollowsThePointerAndClearsOnExit) {
  ListView list(false);
  list.rows = {job("a", "running"), job("b", "queued")};
  int redraws = 0;
  list.onNeedsDisplay = [&] { ++redraws; };
  list.mouseMoved(Point{5, 30});
  EXPECT_EQ(list.hot, 1);
  list.mouseMoved(Point{9, 40});
  EXPECT_EQ(redraws, 1) << "the same row needs no redraw";
  list.mouseMoved(Point{5, 100});
  EXPECT_EQ(list.hot, -1);
  list.mouseMoved(Point{5, 1});
  list.mouseExited();
  EXPECT_EQ(list.hot, -1);
  EXPECT_EQ(redraws, 4);
}

TEST(ListView, RowGeometryAndAlphas) {
  ListView list(false);
  Job running = job("a", "running", "Alpha");
  running.done = 3;
  running.total = 10;
  list.rows = {running, job("b", "human", "Beta"), job("c", "done", "Gamma")};
  list.sel = "b";
  list.hot = 1;  // selected and hovered: the selected alpha wins
  auto canvas = render(list);

  const auto backgrounds = opsOf(canvas, SimCanvas::Kind::RoundedRect);
  ASSERT_EQ(backgrounds.size(), 1u);
  EXPECT_DOUBLE_EQ(backgrounds[0]->rect.origin.y, 25);
  EXPECT_DOUBLE_EQ(backgrounds[0]->rect.size.width, 278);
  EXPECT_DOUBLE_EQ(backgrounds[0]->rect.size.height, 22);
  EXPECT_DOUBLE_EQ(backgrounds[0]->radius, 6);
  EXPECT_DOUBLE_EQ(backgrounds[0]->color.alpha, 0.14);

  list.hot = 2;
  canvas = render(list);
  const auto hovered = opsOf(canvas, SimCanvas::Kind::RoundedRect);
  ASSERT_EQ(hovered.size(), 2u);
  EXPECT_DOUBLE_EQ(hovered[1]->rect.origin.y, 49);
  EXPECT_DOUBLE_EQ(hovered[1]->color.alpha, 0.07);

  const auto dots = opsOf(canvas, SimCanvas::Kind::Oval);
  ASSERT_EQ(dots.size(), 3u);
  EXPECT_DOUBLE_EQ(dots[2]->rect.origin.x, 8);
  EXPECT_DOUBLE_EQ(dots[2]->rect.origin.y, 48 + 8);
  EXPECT_DOUBLE_EQ(dots[2]->rect.size.width, 8);
  EXPECT_DOUBLE_EQ(dots[1]->color.red, TabView::color("human").red);
  EXPECT_DOUBLE_EQ(dots[1]->color.green, TabView::color("human").green);

  // "3/10" at 11 points: 4 × 6.6 wide, 13.75 high, right-aligned 8 points from the edge.
  const auto* word = canvas.findText("3/10");
  ASSERT_NE(word, nullptr);
  EXPECT_DOUBLE_EQ(word->rect.origin.x, 278 - 8 - 26.4);
  EXPECT_DOUBLE_EQ(word->rect.origin.y, (24 - 13.75) / 2);
  EXPECT_DOUBLE_EQ(word->color.alpha, 0.65);
  EXPECT_DOUBLE_EQ(word->font.size, 11);

  const auto* title = canvas.findText("Alpha");
  ASSERT_NE(title, nullptr);
  EXPECT_DOUBLE_EQ(title->rect.origin.x, 23);
  EXPECT_DOUBLE_EQ(title->rect.origin.y, 4);
  EXPECT_DOUBLE_EQ(title->rect.size.width, 278 - 23 - 26.4 - 16);
  EXPECT_DOUBLE_EQ(title->rect.size.height, 17);
  EXPECT_DOUBLE_EQ(title->color.alpha, 0.92);
  EXPECT_EQ(title->font.weight, FontWeight::Regular);
  EXPECT_EQ(canvas.findText("Beta")->font.weight, FontWeight::Semibold);
  EXPECT_DOUBLE_EQ(canvas.findText("Beta")->rect.origin.y, 28);
  EXPECT_EQ(canvas.findText("Beta")->font.size, 12);
  EXPECT_EQ(canvas.findText("2 more"), nullptr) << "no more line without more jobs";
}

TEST(ListView, MoreLine) {
  for (const bool zh : {false, true}) {
    ListView list(zh);
    list.rows = {job("a", "running"), job("b", "running")};
    list.more = 2;
    const auto canvas = render(list);
    const auto* line = canvas.findText(zh ? "还有 2 个" : "2 more");
    ASSERT_NE(line, nullptr);
    EXPECT_DOUBLE_EQ(line->rect.origin.x, 23);
    EXPECT_DOUBLE_EQ(line->rect.origin.y, 51);
    EXPECT_DOUBLE_EQ(line->color.alpha, 0.5);
    EXPECT_DOUBLE_EQ(line->font.size, 11);
  }
}

TEST(ListView, LongTitleIsCutBeforeTheWordAndHugeNumbersStayInside) {
  ListView list(false);
  Job huge = job("a", "running", std::string(100000, 'x'));
  huge.done = std::numeric_limits<int64_t>::min();
  huge.total = std::numeric_limits<int64_t>::min();
  Job plain = job("b", "paused", std::string(500, 'y'));
  list.rows = {huge, plain};
  const double width = 278;
  const auto canvas = render(list, width);
  for (const auto& op : canvas.ops) {
    EXPECT_GE(op.rect.origin.x, 0) << op.text.substr(0, 20);
    EXPECT_LE(op.rect.origin.x + op.rect.size.width, width) << op.text.substr(0, 20);
  }
  const auto* title = canvas.findText(plain.title);
  const auto* word = canvas.findText("Paused");
  ASSERT_NE(title, nullptr);
  ASSERT_NE(word, nullptr);
  EXPECT_DOUBLE_EQ(title->rect.origin.x + title->rect.size.width, word->rect.origin.x - 8);
  EXPECT_DOUBLE_EQ(word->rect.size.width, 6 * 6.6) << "the word is whole";
}

}  // namespace
}  // namespace qn
