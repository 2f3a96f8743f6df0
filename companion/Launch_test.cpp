#include <cmath>

#include <gtest/gtest.h>

#include "companion/SimCompanion_testing.h"

namespace qn {
namespace {

using test::SimCompanion;

TEST(Launch, PanelsAndTabPlace) {
  SimCompanion sim;
  ASSERT_EQ(sim.panels.made.size(), 4u) << "tab, bubble, ask dialog, mirror";
  for (auto* panel : sim.panels.made) {
    EXPECT_FALSE(panel->recipe.opaque);
    EXPECT_TRUE(panel->recipe.shadow);
    EXPECT_TRUE(panel->recipe.allWorkspaces);
    EXPECT_FALSE(panel->recipe.hidesOnDeactivate);
  }
  EXPECT_EQ(sim.panels.made[0]->level(), 25);
  EXPECT_EQ(sim.panels.made[1]->level(), 25);
  EXPECT_EQ(sim.panels.made[2]->level(), 25);
  EXPECT_TRUE(sim.panels.made[2]->movableByBackground) << "the ask dialog can be dragged";
  EXPECT_EQ(sim.panels.made[3]->level(), 3) << "the mirror floats lower";
  const Rect tab = sim.tabPanel().frame();
  EXPECT_DOUBLE_EQ(tab.origin.x, 1400 - 34);
  EXPECT_DOUBLE_EQ(tab.origin.y, (876 - 94) / 2.0);
  EXPECT_TRUE(sim.tabPanel().isVisible());
  EXPECT_EQ(sim.app->screenID, 1u);
  EXPECT_EQ(sim.app->panelDid, 0u);
}

TEST(Launch, GuardModeKeepsTabOffScreenAndDoesNotAnimate) {
  CompanionOptions options;
  options.guardMode = options.quietUI = true;
  SimCompanion sim(options);
  EXPECT_FALSE(sim.tabPanel().isVisible());
  sim.command(R"({"cmd":"state","state":"running"})");
  sim.loop.advance(1);
  EXPECT_DOUBLE_EQ(sim.app->view->pulse, 1.0);
}

TEST(Launch, AnchorWindowChoosesScreen) {
  CompanionOptions options;
  options.panelPids = {55};
  SimCompanion sim(options, false);
  // A second screen to the right, lower down: window-list y grows downwards.
  sim.screens.list.push_back(Screen{{{1400, -300}, {1000, 700}}, {{1400, -300}, {1000, 700}}, 2});
  sim.windowList.windows = std::vector<WindowInfo>{{55, 0, 1.0, {{1500, 500}, {600, 400}}}};
  sim.app->applicationDidFinishLaunching();
  EXPECT_EQ(sim.app->panelDid, 2u);
  EXPECT_EQ(sim.app->screenID, 2u);
  EXPECT_DOUBLE_EQ(sim.tabPanel().frame().origin.x, 2400 - 34);
  EXPECT_DOUBLE_EQ(sim.tabPanel().frame().origin.y, -300 + (700 - 94) / 2.0);
}

TEST(Launch, ScreenChangeMovesTabHome) {
  SimCompanion sim;
  sim.screens.list = {Screen{{{0, 0}, {800, 600}}, {{0, 0}, {800, 500}}, 4}};
  sim.screens.changed();
  EXPECT_EQ(sim.app->screenID, 4u);
  EXPECT_DOUBLE_EQ(sim.tabPanel().frame().origin.x, 800 - 34);
}

TEST(Launch, ClickAndDragThroughTheView) {
  SimCompanion sim;
  TabView& view = *sim.app->view;
  view.mouseDown({1383, 450});
  view.mouseUp({1383, 450});
  ASSERT_EQ(sim.lines.size(), 1u);
  EXPECT_EQ(sim.events()[0], nlohmann::json::parse(R"({"ev":"toggle"})"));
  view.mouseDown({1383, 450});
  view.mouseDragged({300, 700});
  EXPECT_TRUE(sim.app->dragging);
  view.mouseUp({300, 700});
  EXPECT_FALSE(sim.app->dragging);
  EXPECT_TRUE(sim.app->edgeLeft);
  EXPECT_TRUE(view.left);
  EXPECT_DOUBLE_EQ(sim.tabPanel().frame().origin.x, 0);
  EXPECT_DOUBLE_EQ(sim.app->relY, (700 - 47) / (876.0 - 94));
  EXPECT_EQ(sim.lines.size(), 1u) << "a drag is no click";
}

TEST(Launch, ClickOnParkedOrEndedJobPinsInsteadOfToggling) {
  SimCompanion sim(test::boardOptions());
  sim.command(R"({"cmd":"board","tasks":[{"id":"q","state":"queued"}]})");
  sim.loop.advance(30);
  sim.app->view->mouseDown({1383, 450});
  sim.app->view->mouseUp({1383, 450});
  EXPECT_TRUE(sim.lines.empty());
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 36);
  sim.command(R"({"cmd":"board","tasks":[{"id":"q","state":"running"}]})");
  sim.app->view->mouseDown({1383, 450});
  sim.app->view->mouseUp({1383, 450});
  ASSERT_EQ(sim.lines.size(), 1u);
  EXPECT_EQ(sim.events()[0], nlohmann::json::parse(R"({"ev":"toggle","id":"q"})"));
}

TEST(Launch, PulseFollowsTheTickOnlyWhileAnimating) {
  SimCompanion sim;
  const size_t idleTimers = sim.loop.activeTimerCount();
  sim.command(R"({"cmd":"state","state":"running"})");
  EXPECT_EQ(sim.loop.activeTimerCount(), idleTimers + 1) << "the animation tick starts";
  const int before = sim.tabPanel().redraws;
  sim.loop.advance(0.6);
  EXPECT_GE(sim.tabPanel().redraws - before, 9);
  EXPECT_NEAR(sim.app->view->pulse, std::sin(3 * 0.6) * 0.5 + 0.5, 1e-6);
  sim.command(R"({"cmd":"state","state":"queued"})");
  sim.loop.advance(0.1);
  EXPECT_EQ(sim.loop.activeTimerCount(), idleTimers) << "nothing to animate";
  sim.loop.advance(1.0);
  // A redraw while idle shows the phase the tick would have reached.
  sim.command(R"({"cmd":"state","state":"done"})");
  EXPECT_NEAR(sim.app->pulseT, 1.68, 1e-6);
  EXPECT_NEAR(sim.app->view->pulse, std::sin(3 * 1.68) * 0.5 + 0.5, 1e-6);
}

}  // namespace
}  // namespace qn
