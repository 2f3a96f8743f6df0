#include "companion/ScreenGeometry.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace qn {
namespace {

WindowInfo window(int32_t pid, Rect bounds, std::optional<int> layer = 0,
                  std::optional<double> alpha = 1.0) {
  return WindowInfo{pid, layer, alpha, bounds};
}

TEST(PanelRect, QualifyingWindowsOfFirstPidThatHasOne) {
  const std::vector<WindowInfo> windows = {
      window(10, {{0, 0}, {199, 500}}),                // too narrow
      window(10, {{0, 0}, {500, 149}}),                // too low
      window(10, {{0, 0}, {900, 900}}, 3),             // another layer
      window(10, {{0, 0}, {900, 900}}, 0, 0.05),       // transparent
      window(10, {{0, 0}, {900, 900}}, std::nullopt),  // no layer
      WindowInfo{std::nullopt, 0, 1.0, {{0, 0}, {900, 900}}},
      window(20, {{5, 5}, {300, 200}}),
      window(20, {{7, 7}, {400, 300}}, 0, std::nullopt),  // no alpha: visible
      window(20, {{9, 9}, {300, 400}}),                   // same area, later
  };
  const auto rect = panelRect({10, 20}, windows);
  ASSERT_TRUE(rect.has_value());
  EXPECT_DOUBLE_EQ(rect->origin.x, 7);
  EXPECT_DOUBLE_EQ(rect->size.width, 400);
  EXPECT_FALSE(panelRect({10}, windows).has_value());
  EXPECT_FALSE(panelRect({}, windows).has_value());
  EXPECT_FALSE(panelRect({20}, std::nullopt).has_value());
  const auto exactly = panelRect({30}, std::vector<WindowInfo>{window(30, {{0, 0}, {200, 150}})});
  EXPECT_TRUE(exactly.has_value());
}

TEST(BestScreen, LargestOverlapTiesToLowerIndex) {
  const std::vector<Rect> frames = {{{0, 0}, {1000, 800}}, {{1000, 0}, {1000, 800}}};
  EXPECT_EQ(bestScreen({{900, 100}, {200, 300}}, frames), 0u);  // half and half
  EXPECT_EQ(bestScreen({{901, 100}, {200, 300}}, frames), 1u);
  EXPECT_FALSE(bestScreen({{3000, 0}, {100, 100}}, frames).has_value());
  EXPECT_FALSE(bestScreen({{1000, 0}, {0, 100}}, frames).has_value());
}

TEST(Coordinates, SecondScreenAboveThePrimary) {
  const Rect wl = toWindowListSpace({{0, 900}, {1920, 1080}}, 900);
  EXPECT_DOUBLE_EQ(wl.origin.y, -1080);
  EXPECT_DOUBLE_EQ(wl.size.height, 1080);
  EXPECT_DOUBLE_EQ(toWindowListSpace({{0, 0}, {1400, 900}}, 900).origin.y, 0);
}

const Screen kScreen{{{100, 0}, {1400, 900}}, {{100, 24}, {1400, 800}}, 7};

TEST(TabFrame, EdgesAndHeight) {
  const Rect right = tabFrame(kScreen, false, 0.5);
  EXPECT_DOUBLE_EQ(right.origin.x, 1500 - 34);
  EXPECT_DOUBLE_EQ(right.origin.y, 24 + (800 - 94) * 0.5);
  EXPECT_DOUBLE_EQ(right.size.width, 34);
  EXPECT_DOUBLE_EQ(right.size.height, 94);
  const Rect left = tabFrame(kScreen, true, 1);
  EXPECT_DOUBLE_EQ(left.origin.x, 100);
  EXPECT_DOUBLE_EQ(left.origin.y + 94, 824);
  EXPECT_DOUBLE_EQ(tabFrame(kScreen, true, 0).origin.y, 24);
}

TEST(DragMapping, Cases) {
  struct Case {
    Point p;
    bool edgeLeft;
    double relY;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<Case> cases = {
      {{800, 24 + 47}, false, 0},  // the exact middle selects the right edge
      {{799.9, 0}, true, 0},       // below the visible area
      {{1400, 5000}, false, 1},    // above it
      {{300, 24 + 47 + 353}, true, 0.5},
      {{nan, nan}, false, 1},  // nothing to compare: right edge, top
  };
  for (const auto& c : cases) {
    const EdgePlace place = dragMapping(c.p, kScreen);
    EXPECT_EQ(place.screenID, 7u);
    EXPECT_EQ(place.edgeLeft, c.edgeLeft) << c.p.x;
    EXPECT_DOUBLE_EQ(place.relY, c.relY) << c.p.y;
  }
}

TEST(DragMapping, VisibleAreaAsTallAsTheTab) {
  const Screen low{{{0, 0}, {500, 200}}, {{0, 50}, {500, 94}}, 1};
  EXPECT_DOUBLE_EQ(dragMapping({10, 50 + 47}, low).relY, 1);
  EXPECT_DOUBLE_EQ(dragMapping({10, 500}, low).relY, 1);
  EXPECT_DOUBLE_EQ(dragMapping({10, 50 + 46.9}, low).relY, 0);
}

TEST(ScreenUnder, ContainingThenMainThenFirst) {
  const std::vector<Screen> screens = {
      {{{0, 0}, {1000, 800}}, {{0, 0}, {1000, 800}}, 1},
      {{{1000, 0}, {1000, 800}}, {{1000, 0}, {1000, 800}}, 2},
  };
  const Screen main{{{0, 0}, {10, 10}}, {{0, 0}, {10, 10}}, 9};
  EXPECT_EQ(screenUnder({1500, 10}, screens, main)->displayId, 2u);
  EXPECT_EQ(screenUnder({-5, 10}, screens, main)->displayId, 9u);
  EXPECT_EQ(screenUnder({-5, 10}, screens, std::nullopt)->displayId, 1u);
  EXPECT_FALSE(screenUnder({-5, 10}, {}, std::nullopt).has_value());
}

}  // namespace
}  // namespace qn
