#include <cmath>

#include "companion/worker/WorkerFixture_testing.h"

namespace qn::test {
namespace {

TEST(AxCheck, TrustedAtInitReportsOnceWithoutPromptOrPoll) {
  WorkerFixture sim;
  sim.command(R"({"cmd":"init","pid":4242,"app":1})");
  sim.loop.advance(5);
  ASSERT_EQ(sim.events(), (std::vector<nlohmann::json>{{{"ev", "ax"}, {"ok", true}}}));
  EXPECT_EQ(sim.accessibility.prompts, 0);
}

TEST(AxCheck, UntrustedPromptsOnceThenReportsTheGrantOnce) {
  WorkerFixture sim;
  sim.accessibility.trusted = false;
  sim.command(R"({"cmd":"init","pid":4242,"app":1})");
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "ax"}, {"ok", false}}}));
  EXPECT_EQ(sim.accessibility.prompts, 1);
  sim.loop.advance(3.5);
  EXPECT_TRUE(sim.take().empty());
  sim.accessibility.trusted = true;
  sim.loop.advance(1.0);
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "ax"}, {"ok", true}}}));
  sim.loop.advance(10);
  EXPECT_TRUE(sim.take().empty());
  EXPECT_EQ(sim.accessibility.prompts, 1);
}

TEST(AxCheck, ALaterInitReplacesTheRunningPoll) {
  WorkerFixture sim;
  sim.accessibility.trusted = false;
  sim.command(R"({"cmd":"init","pid":4242,"app":1})");
  sim.loop.advance(0.5);
  sim.command(R"({"cmd":"init","pid":4242,"app":1})");
  sim.accessibility.trusted = true;
  sim.loop.advance(3);
  const auto events = sim.events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[2], (nlohmann::json{{"ev", "ax"}, {"ok", true}}));
  EXPECT_EQ(sim.accessibility.prompts, 2);
}

TEST(AxCheck, AWorkerThatIsNotNativeIsNotChecked) {
  WorkerFixture sim;
  sim.accessibility.trusted = false;
  sim.command(R"({"cmd":"init","pid":4242,"app":0})");
  sim.loop.advance(2);
  EXPECT_TRUE(sim.events().empty());
  EXPECT_EQ(sim.accessibility.prompts, 0);
}

TEST(AxWin, TheMainWindowElseTheFirstWindowElseNone) {
  WorkerFixture sim;
  sim.init();
  EXPECT_EQ(sim.app->axWin(), sim.window);

  const auto first = std::make_shared<SimElement>("first");
  const auto second = std::make_shared<SimElement>("second");
  sim.application->set("AXMainWindow", SimElement::Other{})
      .set("AXWindows", std::vector<SimElementRef>{first, second});
  EXPECT_EQ(sim.app->axWin(), first);

  sim.application->set("AXWindows", std::vector<SimElementRef>{});
  EXPECT_EQ(sim.app->axWin(), nullptr);
  sim.application->set("AXWindows", std::string("not a list"));
  EXPECT_EQ(sim.app->axWin(), nullptr);
  EXPECT_TRUE(sim.app->axWins().empty());

  sim.app->pid = 0;
  EXPECT_EQ(sim.app->axWin(), nullptr);
}

TEST(AxSize, FallsBackWhenTheSizeCannotBeUsed) {
  WorkerFixture sim;
  sim.init();
  EXPECT_EQ(sim.app->axSize(sim.window).width, 1600);
  const struct {
    SimElement::Value value;
  } cases[] = {{SimElement::Other{}},
               {std::string("900x600")},
               {Size{std::nan(""), 10}},
               {Size{INFINITY, 10}},
               {Size{-5, 10}}};
  for (const auto& c : cases) {
    sim.window->set("AXSize", c.value);
    const Size size = sim.app->axSize(sim.window);
    EXPECT_EQ(size.width, 900);
    EXPECT_EQ(size.height, 600);
  }
  EXPECT_EQ(sim.app->axTitle(nullptr), "");
  sim.window->set("AXTitle", true);
  EXPECT_EQ(sim.app->axTitle(sim.window), "");
}

TEST(AxFrame, FiftyPointsWideMovesNothingFiftyOneMovesEveryWindowAndRaisesTheWorkerWindow) {
  WorkerFixture sim;
  sim.init();
  const auto other = std::make_shared<SimElement>("other");
  sim.application->set("AXWindows", std::vector<SimElementRef>{other, sim.window});

  EXPECT_FALSE(sim.app->axFrame(Rect{{5, 6}, {50, 300}}));
  EXPECT_FALSE(sim.app->axFrame(Rect{{5, 6}, {std::nan(""), 300}}));
  EXPECT_TRUE(sim.accessibility.writes.empty());
  EXPECT_TRUE(sim.window->actions.empty());

  EXPECT_TRUE(sim.app->axFrame(Rect{{5, 6}, {51, 300}}));
  const auto& writes = sim.accessibility.writes;
  ASSERT_EQ(writes.size(), 4u);
  // The other window first, size before position; then the worker window.
  EXPECT_EQ(writes[0].element, other);
  EXPECT_EQ(writes[0].attribute, "AXSize");
  EXPECT_EQ(writes[1].attribute, "AXPosition");
  EXPECT_EQ(writes[2].element, sim.window);
  EXPECT_EQ(writes[2].attribute, "AXSize");
  EXPECT_EQ(std::get<Size>(writes[2].value).width, 51);
  EXPECT_EQ(std::get<Point>(writes[3].value).y, 6);
  EXPECT_EQ(sim.window->actions, std::vector<std::string>{"AXRaise"});
  EXPECT_TRUE(other->actions.empty());
}

TEST(AxFrame, WithoutAWindowReturnsFalse) {
  WorkerFixture sim;
  sim.init();
  sim.application->attributes.clear();
  EXPECT_FALSE(sim.app->axFrame(Rect{{0, 0}, {400, 300}}));
}

}  // namespace
}  // namespace qn::test
