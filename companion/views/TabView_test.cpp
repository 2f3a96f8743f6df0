#include "companion/views/TabView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/sim/SimCanvas.h"
#include "tests/support/GeometryExpectations.h"

namespace qn {
namespace {

using test::expectColor;
using ::testing::ElementsAre;

SimCanvas render(const TabView& view) {
  SimCanvas canvas;
  const_cast<TabView&>(view).draw(canvas, Size{34, 94});
  return canvas;
}

TEST(TabView, ColourTable) {
  struct Case {
    std::string state;
    Color color;
  };
  const std::vector<Case> cases = {
      {"running", {0.25, 0.85, 0.45, 1}}, {"human", {1.0, 0.6, 0.15, 1}},
      {"held", {0.95, 0.78, 0.25, 1}},    {"ai", {0.68, 0.5, 1.0, 1}},
      {"yield", {0.35, 0.7, 1.0, 1}},     {"paused", {0.65, 0.65, 0.65, 1}},
      {"done", {0.3, 0.65, 1.0, 1}},      {"error", {1.0, 0.35, 0.35, 1}},
      {"starting", {0.6, 0.6, 0.6, 1}},   {"queued", {0.6, 0.6, 0.6, 1}},
      {"stopped", {0.6, 0.6, 0.6, 1}},    {"", {0.6, 0.6, 0.6, 1}},
      {"Running", {0.6, 0.6, 0.6, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    expectColor(TabView::color(c.state), c.color);
  }
}

TEST(TabView, Texts) {
  struct Case {
    std::string state;
    int64_t done, total;
    std::optional<std::pair<int64_t, int64_t>> multi;
    bool zh;
    std::vector<std::string> texts;
  };
  const std::vector<Case> cases = {
      {"human", 0, 0, std::nullopt, false, {"!", "‹"}},
      {"running", 0, 0, std::nullopt, false, {"AI", "‹"}},
      {"human", 0, -4, std::nullopt, false, {"!", "‹"}},
      {"running", 1, 3, std::nullopt, false, {"1", "/3", "‹"}},
      {"running", 1, 3, std::make_pair(2, 0), false, {"2", "jobs", "‹"}},
      {"running", 1, 3, std::make_pair(2, 0), true, {"2", "任务", "‹"}},
      {"running", 1, 3, std::make_pair(2, 3), false, {"2", "+3", "‹"}},
  };
  for (const auto& c : cases) {
    TabView view(c.zh);
    view.state = c.state;
    view.done = c.done;
    view.total = c.total;
    view.multi = c.multi;
    EXPECT_EQ(render(view).texts(), c.texts) << c.state << " " << c.total;
  }
}

TEST(TabView, TextPlacementAndFonts) {
  TabView view(false);
  view.done = 1;
  view.total = 3;
  const auto canvas = render(view);
  const auto* done = canvas.findText("1");
  const auto* total = canvas.findText("/3");
  ASSERT_NE(done, nullptr);
  ASSERT_NE(total, nullptr);
  EXPECT_DOUBLE_EQ(done->rect.origin.y, 33);
  EXPECT_DOUBLE_EQ(done->font.size, 13);
  EXPECT_EQ(done->font.weight, FontWeight::Bold);
  EXPECT_DOUBLE_EQ(total->rect.origin.y, 49);
  EXPECT_DOUBLE_EQ(total->font.size, 10);
  EXPECT_DOUBLE_EQ(total->color.alpha, 0.65);
  // Centred on the middle of the bounds.
  EXPECT_DOUBLE_EQ(total->rect.origin.x + total->rect.size.width / 2, 17);
  const auto* chevron = canvas.findText("‹");
  ASSERT_NE(chevron, nullptr);
  EXPECT_DOUBLE_EQ(chevron->rect.origin.y, 66);
  EXPECT_DOUBLE_EQ(chevron->font.size, 18);
  EXPECT_DOUBLE_EQ(chevron->color.alpha, 0.7);
}

TEST(TabView, Chevrons) {
  struct Case {
    bool left, shown;
    std::string chevron;
  };
  for (const Case& c : std::vector<Case>{
           {false, false, "‹"}, {false, true, "›"}, {true, false, "›"}, {true, true, "‹"}}) {
    TabView view(false);
    view.left = c.left;
    view.shown = c.shown;
    EXPECT_EQ(render(view).texts().back(), c.chevron) << c.left << c.shown;
  }
}

TEST(TabView, BodyWashHaloAndDot) {
  TabView view(false);
  view.state = "human";
  view.pulse = 0.5;
  view.left = true;
  auto canvas = render(view);
  ASSERT_GE(canvas.ops.size(), 4u);
  const auto& body = canvas.ops[0];
  EXPECT_EQ(body.kind, SimCanvas::Kind::RoundedRect);
  EXPECT_DOUBLE_EQ(body.rect.origin.x, -11);
  EXPECT_DOUBLE_EQ(body.rect.size.width, 45);
  EXPECT_DOUBLE_EQ(body.radius, 11);
  EXPECT_DOUBLE_EQ(body.color.alpha, 0.88);
  const auto& wash = canvas.ops[1];
  EXPECT_EQ(wash.kind, SimCanvas::Kind::RoundedRect);
  expectColor(wash.color, {1.0, 0.6, 0.15, 0.5 * 0.35 + 0.25});
  const auto& halo = canvas.ops[2];
  EXPECT_EQ(halo.kind, SimCanvas::Kind::Oval);
  EXPECT_DOUBLE_EQ(halo.rect.origin.x, 8);
  EXPECT_DOUBLE_EQ(halo.color.alpha, 0.11);
  const auto& dot = canvas.ops[3];
  EXPECT_DOUBLE_EQ(dot.rect.size.width, 10);
  EXPECT_DOUBLE_EQ(dot.color.alpha, 1);

  view.state = "running";
  view.hover = true;
  view.left = false;
  canvas = render(view);
  EXPECT_DOUBLE_EQ(canvas.ops[0].rect.origin.x, 0);
  EXPECT_DOUBLE_EQ(canvas.ops[0].color.alpha, 0.97);
  EXPECT_EQ(canvas.ops[1].kind, SimCanvas::Kind::Oval) << "no wash outside human";
  EXPECT_DOUBLE_EQ(canvas.ops[2].color.alpha, 0.5 * 0.45 + 0.55);
  EXPECT_DOUBLE_EQ(canvas.findText("‹")->color.alpha, 1.0);
}

struct Gestures : ::testing::Test {
  TabView view{false};
  int clicks = 0;
  int menus = 0;
  std::vector<std::pair<Point, bool>> drags;
  std::vector<bool> hovers;
  void SetUp() override {
    view.onClick = [this] { ++clicks; };
    view.onMenu = [this](Point) { ++menus; };
    view.onDrag = [this](Point p, bool ended) { drags.emplace_back(p, ended); };
    view.onHover = [this](bool inside) { hovers.push_back(inside); };
  }
};

TEST_F(Gestures, FivePointsIsAClick) {
  view.mouseDown({100, 100});
  view.mouseDragged({103, 104});
  view.mouseUp({103, 104});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(drags.empty());
}

TEST_F(Gestures, JustOverFivePointsIsADrag) {
  view.mouseDown({100, 100});
  view.mouseDragged({105.01, 100});
  view.mouseDragged({101, 100});
  view.mouseUp({90, 80});
  EXPECT_EQ(clicks, 0);
  ASSERT_EQ(drags.size(), 3u);
  EXPECT_FALSE(drags[0].second);
  EXPECT_DOUBLE_EQ(drags[0].first.x, 105.01);
  EXPECT_FALSE(drags[1].second) << "once dragging, small moves still drag";
  EXPECT_TRUE(drags[2].second);
  EXPECT_DOUBLE_EQ(drags[2].first.y, 80);
  // The next press starts afresh.
  view.mouseDown({0, 0});
  view.mouseUp({0, 0});
  EXPECT_EQ(clicks, 1);
}

TEST_F(Gestures, RightPressAndStrayEvents) {
  view.rightMouseDown({1, 1});
  view.mouseUp({1, 1});
  view.mouseDragged({50, 50});
  EXPECT_EQ(menus, 1);
  EXPECT_EQ(clicks, 0) << "a release without a left press is no click";
  EXPECT_TRUE(drags.empty());
}

TEST_F(Gestures, HoverAndMissingCallbacks) {
  view.mouseEntered();
  EXPECT_TRUE(view.hover);
  view.mouseExited();
  EXPECT_FALSE(view.hover);
  EXPECT_THAT(hovers, ElementsAre(true, false));
  TabView bare(false);
  bare.mouseEntered();
  bare.mouseDown({0, 0});
  bare.mouseDragged({40, 0});
  bare.mouseUp({40, 0});
  bare.rightMouseDown({0, 0});
  EXPECT_TRUE(bare.hover);
}

}  // namespace
}  // namespace qn
